#include "JoinListAdd.h"

#include "FaultInjectingFileServices.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
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
    OperationResult add(const std::string& chosen) { return JoinListAdd(window, *files).run(chosen); }
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

TEST_F(JoinListAddTest, PieceSetComesInNumberOrderWithoutStrangers)
{
    for (const char* name : {"A$B.003", "A$B.001", "A$B.005", "A$B.002", "A$B.004", "A$B.bak", "A$B.000", "A$B"})
        touch(name);
    std::filesystem::create_directory(at("A$B.006")); // a folder named like a piece
    touch(".A$B.007");                                 // hidden: not a piece of this set anyway
    touch("A$B.012");                                  // taken by pattern and number alone

    EXPECT_EQ(add(at("A$B.001")).outcome, Outcome::Completed);

    const std::vector<std::string> expected = {at("A$B.001"), at("A$B.002"), at("A$B.003"),
                                               at("A$B.004"), at("A$B.005"), at("A$B.012")};
    EXPECT_EQ(window.joinList, expected);
    EXPECT_EQ(window.text4, at("A.B"));
    EXPECT_EQ(window.requests().back(), "caretToEnd Text4");
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

    const auto result = JoinListAdd(window, faulty).run(at("p.001"));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.joinList, std::vector<std::string>{"earlier"});
    ASSERT_EQ(window.boxes().size(), 1u);
    EXPECT_EQ(window.boxes()[0], "box DiskError Tavrin: The specify drive cann't to be used\r\rNo disk in the drive");
}

TEST_F(JoinListAddTest, ThirtyThousandPiecesAddQuickly)
{
#ifdef _WIN32
    // Wine looks every new name up among all the others in its folder, so making 30,000 files takes
    // it minutes: the speed of Add is measured on real file systems only.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "creating 30,000 files takes minutes under Wine";
#endif
    for (int n = 1; n <= 30000; ++n)
        touch("many" + std::string(n < 10 ? ".00" : n < 100 ? ".0" : ".") + std::to_string(n), "");

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(add(at("many.001")).outcome, Outcome::Completed);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    ASSERT_EQ(window.joinList.size(), 30000u);
    EXPECT_EQ(window.joinList.back(), at("many.30000"));
    // Generous for sanitizer builds; the point is that it is not quadratic.
    EXPECT_LT(seconds, 5.0);
}

} // namespace
} // namespace parvix
