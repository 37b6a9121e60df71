// The engines on Windows paths: drive letters, "\" and the attributes that hide a file.
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "SplitOperation.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace parvix {
namespace {

using test::RecordingWindow;
using test::TempDir;

constexpr const char* kDriveBox = "box DiskError Tavrin: The specify drive cann't to be used\r\rNo disk in the drive";

class WindowsEngineTest : public ::testing::Test
{
protected:
    OperationResult split(const std::string& source, const std::string& base, const std::string& kb = "1")
    {
        SplitOperation operation(window, files);
        return operation.run({source, base, false, kb});
    }

    OperationResult join(const std::string& destination, const std::vector<std::string>& pieces)
    {
        window.joinList = pieces;
        JoinOperation operation(window, files);
        return operation.run({destination, pieces});
    }

    TempDir dir;
    std::unique_ptr<FileServices> native = makeNativeFileServices();
    FileServices& files = *native;
    RecordingWindow window;
};

TEST_F(WindowsEngineTest, ASourceOnAMissingDriveShowsTheDriveMessage)
{
    const std::string source = test::unusedDriveLetter() + "\\a.txt";
    const auto result = split(source, dir.file("a$txt"));
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.boxes(), std::vector<std::string>{kDriveBox});
    EXPECT_EQ(window.tab, kSplitTab);
}

TEST_F(WindowsEngineTest, AMissingSourceOnAnExistingDriveNamesItsPath)
{
    const std::string source = dir.file("a.txt");
    const auto result = split(source, dir.file("a$txt"));
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_EQ(window.boxes(), std::vector<std::string>{"box Warning Parvix: No" + source + "File"});
    ASSERT_EQ(source.substr(1, 2), ":\\"); // the text reads like NoC:\…\a.txtFile
}

// A hidden or system file is no source, yet as a join's destination it is not replaced without asking.
TEST_F(WindowsEngineTest, HiddenAndSystemFilesAreMissingSourcesButAskedAboutAsDestinations)
{
    for (const unsigned long attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        const std::string source = dir.file("source" + std::to_string(attribute) + ".txt");
        test::writeWideFile(source, test::patternBytes(3000));
        test::setAttributes(source, attribute);
        window.clearRequests();
        EXPECT_EQ(split(source, dir.file("out$txt")).outcome, Outcome::Stopped);
        EXPECT_EQ(window.boxes(), std::vector<std::string>{"box Warning Parvix: No" + source + "File"});
        EXPECT_FALSE(test::wideFileExists(dir.file("out$txt.001")));

        window.clearRequests();
        window.answer({Button::No});
        EXPECT_EQ(join(source, {dir.file("piece.001")}).outcome, Outcome::Stopped);
        EXPECT_EQ(window.boxes(), std::vector<std::string>{"box ReplaceQuestion Parvix: The file  " + source +
                                                           "  has already existed，Do you want to replace？"});
    }
}

TEST_F(WindowsEngineTest, ADestinationOnAMissingDriveShowsTheDriveMessage)
{
    const std::string source = dir.file("a.txt");
    test::writeWideFile(source, test::patternBytes(3000));
    const std::string drive = test::unusedDriveLetter();

    EXPECT_EQ(split(source, drive + "\\out\\a$txt").outcome, Outcome::Failed);
    EXPECT_EQ(window.boxes(), std::vector<std::string>{kDriveBox});

    window.clearRequests();
    EXPECT_EQ(join(drive + "\\out\\a.txt", {source}).outcome, Outcome::Failed);
    EXPECT_EQ(window.boxes(), std::vector<std::string>{kDriveBox});
}

TEST_F(WindowsEngineTest, ABaseInAFolderThatDoesNotExistOnAnExistingDrive)
{
    const std::string source = dir.file("a.txt");
    test::writeWideFile(source, test::patternBytes(3000));
    EXPECT_EQ(split(source, dir.file("none\\a$txt")).outcome, Outcome::Stopped);
    EXPECT_EQ(window.boxes(),
              std::vector<std::string>{"box Warning Tavrin: The specify destination path has not existed!"});
}

TEST_F(WindowsEngineTest, CutAndJoinOnWindowsPathsWithALinkBatInTheOemCodePage)
{
    if (GetOEMCP() != 437 && GetOEMCP() != 850)
        GTEST_SKIP() << "expects the OEM code page 437 or 850, this system uses " << GetOEMCP();
    const std::string content = test::patternBytes(2500, 7);
    const std::string source = dir.file("caf\xc3\xa9.txt"); // "café.txt"
    test::writeWideFile(source, content);

    ASSERT_EQ(split(source, dir.file("caf\xc3\xa9$txt")).outcome, Outcome::Completed);
    ASSERT_EQ(window.joinList.size(), 3u);
    EXPECT_EQ(window.joinList[2], dir.file("caf\xc3\xa9$txt.003"));
    EXPECT_EQ(window.text4, dir.file("caf\xc3\xa9.txt"));
    EXPECT_EQ(test::readWideFile(dir.file("Link.bat")),
              "copy/B \"caf\x82$txt.001\"+\"caf\x82$txt.002\"+\"caf\x82$txt.003\" \"caf\x82.txt\"\r\n");

    const std::string joined = dir.file("joined.bin");
    ASSERT_EQ(join(joined, window.joinList).outcome, Outcome::Completed);
    EXPECT_EQ(test::readWideFile(joined), content);
}

} // namespace
} // namespace parvix
