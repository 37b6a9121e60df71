#include "JoinListAdd.h"

#include "FaultInjectingFileServices.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace parvix {
namespace {

using test::joinPath;
using test::RecordingWindow;
using test::TempDir;
using test::writeFile;

constexpr const char* kSetDuplicate = "box Notice Parvix: The specify file has already existed in th list";
constexpr const char* kFileDuplicate = "box Notice Parvix: The specify file has already existed in th list!";

class JoinListAddTest : public ::testing::Test
{
protected:
    AddResult add(const std::string& chosen) { return JoinListAdd(window, *files).run(chosen, window.joinList); }
    std::string at(const std::string& name) const { return joinPath(dir.path(), name); }
    void touch(const std::string& name, const std::string& bytes = "x") { writeFile(at(name), bytes); }

    TempDir dir;
    RecordingWindow window;
    std::unique_ptr<FileServices> files = makeNativeFileServices();
};

TEST_F(JoinListAddTest, CancelledDialogChangesNothing)
{
    window.text4 = "keep";
    EXPECT_EQ(add("").outcome, Outcome::Stopped);
    EXPECT_TRUE(window.requests().empty());
    EXPECT_EQ(window.text4, "keep");
}

// A set is taken by its names as the naming rule writes them, in number order, and up to its check
// file's size; one notice says what is wrong with it.
TEST_F(JoinListAddTest, APieceSetIsListedAndCheckedInOneNotice)
{
    const std::string kHeading = "box Notice Parvix: Please check the cutted files：";
    const std::string kCheck = "filename=A.B\r\nsize=2500\r\ncrc32=00000000\r\n";
    const struct
    {
        const char* name;
        std::vector<std::pair<std::string, std::size_t>> files; // name and length
        std::string checkFile;                                  // A$B.crc, when not empty
        std::vector<std::string> listed;
        std::string notice; // after the heading; empty: no notice
        const char* chosen = "A$B.001";
        const char* text4 = "A.B";
    } cases[] = {
        {"in number order, without strangers",
         {{"A$B.003", 1000}, {"A$B.001", 1000}, {"A$B.002", 1000}, {"A$B.bak", 5}, {"A$B", 5}, {".A$B.004", 1000}},
         "",
         {"A$B.001", "A$B.002", "A$B.003"},
         ""},
        {"a missing middle piece",
         {{"A$B.001", 1000}, {"A$B.002", 1000}, {"A$B.004", 1000}, {"A$B.005", 10}},
         "",
         {"A$B.001", "A$B.002", "A$B.004", "A$B.005"},
         "\rThese cutted files are missing：A$B.003"},
        {"a missing last piece, known from the check file",
         {{"A$B.001", 1000}, {"A$B.002", 1000}},
         kCheck,
         {"A$B.001", "A$B.002"},
         "\rThese cutted files are missing：A$B.003\rThe cutted files have 2000 bytes, but A$B.crc says 2500"},
        {"a short middle piece",
         {{"A$B.001", 1000}, {"A$B.002", 100}, {"A$B.003", 500}},
         kCheck,
         {"A$B.001", "A$B.002", "A$B.003"},
         "\rThese cutted files have a wrong size：A$B.002\rThe cutted files have 1600 bytes, but A$B.crc says 2500"},
        {"a last piece longer than the first",
         {{"A$B.001", 1000}, {"A$B.002", 1500}},
         "",
         {"A$B.001", "A$B.002"},
         "\rThe last cutted file is longer than the first：A$B.002"},
        {"pieces of an older cut after a shorter one",
         {{"A$B.001", 1000}, {"A$B.002", 1000}, {"A$B.003", 500}, {"A$B.004", 1000}, {"A$B.005", 1000}},
         "filename=A.B\nsize=2500\ncrc32=1a2b3c4d\n",
         {"A$B.001", "A$B.002", "A$B.003"},
         "\rThese files are not added, they are left from an earlier cutting：A$B.004, A$B.005"},
        {"a set numbered from zero",
         {{"A$B.000", 1000}, {"A$B.001", 1000}, {"A$B.002", 3}},
         "",
         {"A$B.000", "A$B.001", "A$B.002"},
         ""},
        {"a set numbered from zero, by its first piece",
         {{"A$B.000", 1000}, {"A$B.001", 1000}, {"A$B.002", 3}},
         "",
         {"A$B.000", "A$B.001", "A$B.002"},
         "",
         "A$B.000"},
#ifndef _WIN32
        // The user named the set: a leading "." hides it from browsing, not from its own first piece.
        // (On Windows a hidden file is one marked so, and the set's hidden pieces stay out.)
        {"a base that starts with a dot, and its check file",
         {{".h$txt.001", 1000}, {".h$txt.002", 10}, {".h$txt.crc", 1}},
         "",
         {".h$txt.001", ".h$txt.002"},
         "\r.h$txt.crc is not a check file，the cutted files are not checked",
         ".h$txt.001",
         ".h.txt"},
#endif
        {"strays and a truncated piece",
         {{"A$B.001", 1000}, {"A$B.002", 100}, {"A$B.003", 5}, {"A$B.01", 1000}, {"A$B.0002", 1000}, {"A$B.015", 1}},
         "",
         {"A$B.001", "A$B.002", "A$B.003", "A$B.015"},
         "\rThese cutted files are missing：A$B.004, A$B.005, A$B.006 and 8 more"
         "\rThese cutted files have a wrong size：A$B.002, A$B.003"
         "\rThese files are not added, they are not named as cutted files：A$B.0002, A$B.01"},
        {"a check file without its size",
         {{"A$B.001", 1000}, {"A$B.002", 10}},
         "filename=A.B\ncrc32=0\n",
         {"A$B.001", "A$B.002"},
         "\rA$B.crc is not a check file，the cutted files are not checked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        for (const auto& [name, length] : c.files)
            writeFile(joinPath(folder.path(), name), std::string(length, 'x'));
        if (!c.checkFile.empty())
            writeFile(joinPath(folder.path(), "A$B.crc"), c.checkFile);
        RecordingWindow window;

        EXPECT_EQ(JoinListAdd(window, *files).run(joinPath(folder.path(), c.chosen), {}).outcome, Outcome::Completed);

        std::vector<std::string> listed;
        for (const auto& name : c.listed)
            listed.push_back(joinPath(folder.path(), name));
        EXPECT_EQ(window.joinList, listed);
        EXPECT_EQ(window.text4, joinPath(folder.path(), c.text4));
        // The notice comes last, once the set is listed and its destination proposed.
        EXPECT_EQ(window.requests().back(), c.notice.empty() ? "caretToEnd Text4" : kHeading + c.notice);
    }
}

TEST_F(JoinListAddTest, SetsBeyond999KeepTheirOrder)
{
    for (int n = 1; n <= 1001; ++n)
        touch("big.bin" + std::string(n < 10 ? ".00" : n < 100 ? ".0" : ".") + std::to_string(n));

    ASSERT_EQ(add(at("big.bin.001")).outcome, Outcome::Completed);

    ASSERT_EQ(window.joinList.size(), 1001u);
    EXPECT_EQ(window.joinList[998], at("big.bin.999"));
    EXPECT_EQ(window.joinList[999], at("big.bin.1000"));
    EXPECT_EQ(window.joinList[1000], at("big.bin.1001"));
    // Without a "$" the proposal drops the suffix and the caret stays where it was.
    EXPECT_EQ(window.text4, at("big.bin"));
    EXPECT_EQ(window.requests().back(), "text4 " + at("big.bin"));
}

TEST_F(JoinListAddTest, SecondAddOfASetStopsAtTheFirstDuplicate)
{
    for (const char* name : {"s$t.001", "s$t.002", "s$t.003"})
        touch(name);
    window.joinList = {at("s$t.002")};
    window.text4 = "before";

    EXPECT_EQ(add(at("s$t.001")).outcome, Outcome::Stopped);

    // .001 goes in, .002 is the duplicate: the add ends there and Text4 stays.
    EXPECT_EQ(window.joinList, (std::vector<std::string>{at("s$t.002"), at("s$t.001")}));
    EXPECT_EQ(window.boxes(), std::vector<std::string>{kSetDuplicate});
    EXPECT_EQ(window.text4, "before");
}

TEST_F(JoinListAddTest, SingleFileIsAddedOnceAndLeavesText4)
{
    touch("s$t.003");
    window.text4 = "before";

    EXPECT_EQ(add(at("s$t.003")).outcome, Outcome::Completed);
    EXPECT_EQ(add(at("s$t.003")).outcome, Outcome::Stopped);

    EXPECT_EQ(window.joinList, std::vector<std::string>{at("s$t.003")});
    EXPECT_EQ(window.boxes(), std::vector<std::string>{kFileDuplicate});
    EXPECT_EQ(window.text4, "before");
}

TEST_F(JoinListAddTest, NoProposalKeepsText4)
{
    touch("x.y$z001"); // ends in 001 but has no "." after its "$"
    window.text4 = "before";

    EXPECT_EQ(add(at("x.y$z001")).outcome, Outcome::Completed);
    EXPECT_EQ(window.text4, "before");
}

TEST_F(JoinListAddTest, ListingFailureIsReportedAndKeepsTheList)
{
    touch("p.001");
    window.joinList = {"earlier"};
    test::FaultInjectingFileServices faulty(*files);
    faulty.failOn(test::FaultInjectingFileServices::Call::Any, 1, errnum::kDeviceUnavailable);

    const auto result = JoinListAdd(window, faulty).run(at("p.001"), window.joinList);

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.joinList, std::vector<std::string>{"earlier"});
    ASSERT_EQ(window.boxes().size(), 1u);
    EXPECT_EQ(window.boxes()[0], "box DiskError Tavrin: The specify drive cann't to be used\r\rNo disk in the drive");
}

TEST_F(JoinListAddTest, ThirtyThousandPiecesAddInNumberOrder)
{
#ifdef _WIN32
    // Wine looks every new name up among all the others in its folder, so making 30,000 files takes
    // it minutes.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "creating 30,000 files takes minutes under Wine";
#endif
    for (int n = 1; n <= 30000; ++n)
        touch("many" + std::string(n < 10 ? ".00" : n < 100 ? ".0" : ".") + std::to_string(n), "");

    ASSERT_EQ(add(at("many.001")).outcome, Outcome::Completed);

    // How long it takes is measured by bench/run.sh ("add 30000 pieces").
    ASSERT_EQ(window.joinList.size(), 30000u);
    EXPECT_EQ(window.joinList[998], at("many.999"));
    EXPECT_EQ(window.joinList[999], at("many.1000"));
    EXPECT_EQ(window.joinList[9999], at("many.10000"));
    EXPECT_EQ(window.joinList.back(), at("many.30000"));
}

} // namespace
} // namespace parvix
