// Cuts that complete: the pieces, the join list, the proposal, Link.bat and the requests in order.
#include "EngineTestSupport.h"

#include "LinkScriptRunner.h"
#include "Naming.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

// The requests of a cut that completes, for pieces with the given progress values.
Requests completedCut(const std::string& source, const std::vector<std::string>& pieces, const std::string& maximum,
                      const std::vector<std::string>& values, const std::string& proposal, bool caretToEnd)
{
    Requests requests{splitConfirmation(source), "clear", "pointer Hourglass", "max " + maximum, "value 0", "show"};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        requests.push_back("value " + values.at(i));
        requests.push_back("append " + pieces[i]);
    }
    requests.push_back("text4 " + proposal);
    if (caretToEnd)
        requests.push_back("caretToEnd Text4");
    for (const char* line : {"value 0", "hide", "pointer Default", "tab 1"})
        requests.push_back(line);
    requests.push_back(splitCompletion(source));
    return requests;
}

std::vector<std::string> piecePaths(const std::string& base, int count)
{
    std::vector<std::string> paths;
    for (int n = 1; n <= count; ++n)
        paths.push_back(piecePath(base, n));
    return paths;
}

class SplitCut : public EngineTest
{
protected:
    // Checks that the pieces hold the source's bytes, each `size` long but the last.
    void expectPieces(const std::vector<std::string>& pieces, const std::string& bytes, std::size_t size)
    {
        ASSERT_EQ(pieces.size(), (bytes.size() + size - 1) / size);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            SCOPED_TRACE(pieces[i]);
            EXPECT_SAME_BYTES(readFile(pieces[i]), bytes.substr(i * size, size));
        }
    }
};

TEST_F(SplitCut, ThreeMillionBytesAtTheFloppySize)
{
    const std::string bytes = patternBytes(3000000);
    const std::string source = makeFile("report.txt", bytes);
    const std::string base = path("report$txt");
    window.joinList = {"/old/a.001"};
    window.text4 = "/old/a";

    const auto result = cut(floppy(source, base));

    EXPECT_EQ(result.outcome, Outcome::Completed);
    const auto pieces = piecePaths(base, 3);
    EXPECT_EQ(window.requests(), completedCut(source, pieces, "2", {"0", "1", "2"}, path("report.txt"), true));
    EXPECT_EQ(fs::file_size(pieces[0]), 1447035u);
    EXPECT_EQ(fs::file_size(pieces[1]), 1447035u);
    EXPECT_EQ(fs::file_size(pieces[2]), 105930u);
    expectPieces(pieces, bytes, 1447035);
    EXPECT_EQ(readFile(path("Link.bat")),
              "copy/B \"report$txt.001\"+\"report$txt.002\"+\"report$txt.003\" \"report.txt\"\r\n");
    EXPECT_EQ(window.joinList, pieces);
    EXPECT_EQ(window.text4, path("report.txt"));
    EXPECT_EQ(window.tab, kJoinTab);
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_FALSE(window.progressShown);
    EXPECT_SAME_BYTES(readFile(source), bytes);
    const auto joined = runLinkScript(dir.path());
    EXPECT_EQ(joined.target, "report.txt");
    EXPECT_SAME_BYTES(joined.bytes, bytes);
}

TEST_F(SplitCut, AnExactMultipleGivesNoEmptyLastPiece)
{
    const std::string bytes = patternBytes(2894070);
    const std::string source = makeFile("a.bin", bytes);
    const std::string base = path("a$bin");

    EXPECT_EQ(cut(floppy(source, base)).outcome, Outcome::Completed);

    const auto pieces = piecePaths(base, 2);
    EXPECT_EQ(window.requests(), completedCut(source, pieces, "2", {"0", "1"}, path("a.bin"), true));
    expectPieces(pieces, bytes, 1447035);
    EXPECT_FALSE(fileExists(piecePath(base, 3)));
    EXPECT_EQ(readFile(path("Link.bat")), "copy/B \"a$bin.001\"+\"a$bin.002\" \"a.bin\"\r\n");
}

TEST_F(SplitCut, ASourceOfExactlyOnePieceGivesOnePiece)
{
    const std::string bytes = patternBytes(1447035);
    const std::string source = makeFile("data", bytes);
    fs::create_directory(path("out"));
    const std::string base = joinPath(path("out"), "x");

    EXPECT_EQ(cut(floppy(source, base)).outcome, Outcome::Completed);

    // No "$": the proposal is the base itself and the caret of Text4 is left alone.
    EXPECT_EQ(window.requests(), completedCut(source, {piecePath(base, 1)}, "1", {"0"}, base, false));
    EXPECT_EQ(readFile(piecePath(base, 1)), bytes);
    EXPECT_EQ(readFile(joinPath(path("out"), "Link.bat")), "copy/B \"x.001\" \"x\"\r\n");
}

TEST_F(SplitCut, SizeTextsAreReadAsKilobytes)
{
    const std::string bytes = patternBytes(30000);
    const std::string source = makeFile("s.bin", bytes);
    const struct
    {
        const char* text;
        std::size_t size;
    } cases[] = {{"1.5", 1536}, {"12abc", 12288}, {" 1 2 ", 12288}, {"1e1", 10240}, {"29.296875", 30000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string base = path(std::string("p") + std::to_string(c.size) + "$bin");
        EXPECT_EQ(cut(customSize(source, base, c.text)).outcome, Outcome::Completed);
        const auto pieces = piecePaths(base, static_cast<int>((bytes.size() + c.size - 1) / c.size));
        EXPECT_EQ(window.joinList, pieces);
        expectPieces(pieces, bytes, c.size);
    }
}

TEST_F(SplitCut, OneBytePiecesShowTheirNumberAsProgress)
{
    const std::string source = makeFile("three", "abc");
    const std::string base = path("t");

    EXPECT_EQ(cut(customSize(source, base, "0.001")).outcome, Outcome::Completed);

    EXPECT_EQ(window.requests(), completedCut(source, piecePaths(base, 3), "3", {"1", "2", "3"}, base, false));
    EXPECT_EQ(readFile(piecePath(base, 3)), "c");
}

TEST_F(SplitCut, PieceOneThousandIsNamedDotOneThousand)
{
    const std::string bytes = patternBytes(2001);
    const std::string source = makeFile("many.bin", bytes);
    fs::create_directory(path("out"));
    const std::string base = joinPath(path("out"), "many$bin");

    EXPECT_EQ(cut(customSize(source, base, "0.002")).outcome, Outcome::Completed); // 2 bytes

    ASSERT_EQ(window.joinList.size(), 1001u);
    EXPECT_EQ(window.joinList[998], base + ".999");
    EXPECT_EQ(window.joinList[999], base + ".1000");
    EXPECT_EQ(window.joinList[1000], base + ".1001");
    expectPieces(window.joinList, bytes, 2);
    EXPECT_EQ(window.text4, joinPath(path("out"), "many.bin"));
    // So many names need more than one line; run together they still give the source back.
    const auto joined = runLinkScript(path("out"));
    EXPECT_EQ(joined.target, "many.bin");
    EXPECT_EQ(joined.bytes, bytes);
}

TEST_F(SplitCut, ALongerExistingPieceIsReplacedExactly)
{
    const std::string bytes = patternBytes(3000);
    const std::string source = makeFile("s.bin", bytes);
    const std::string base = path("s$bin");
    makeFile("s$bin.002", patternBytes(50000, 9));
    makeFile("s$bin.003", patternBytes(5, 9));

    EXPECT_EQ(cut(customSize(source, base, "1")).outcome, Outcome::Completed);

    expectPieces(piecePaths(base, 3), bytes, 1024);
}

TEST_F(SplitCut, AnExistingLinkBatIsReplacedByTheLaterCut)
{
    const std::string first = makeFile("first.bin", patternBytes(3000));
    const std::string second = makeFile("second.txt", patternBytes(500, 2));
    fs::create_directory(path("out"));

    EXPECT_EQ(cut(customSize(first, joinPath(path("out"), "first$bin"), "1")).outcome, Outcome::Completed);
    EXPECT_EQ(cut(customSize(second, joinPath(path("out"), "second$txt"), "0.48828125")).outcome, Outcome::Completed);

    EXPECT_EQ(readFile(joinPath(path("out"), "Link.bat")), "copy/B \"second$txt.001\" \"second.txt\"\r\n");
    EXPECT_EQ(window.joinList, std::vector<std::string>{joinPath(path("out"), "second$txt.001")});
}

// The PAR2 files are the cut's outputs like the pieces: an earlier cut's volume goes with the later cut
// into the same base (asked about first), and a name too long for the folder gets no recovery file and a
// notice that says so, the pieces and the rest being written all the same.
TEST_F(SplitCut, RecoveryFilesAreWrittenWhereTheirNamesFitAndEarlierOnesGo)
{
    const std::string source = makeFile("source.bin", patternBytes(3000));
    fs::create_directory(path("out"));
    const std::string base = joinPath(path("out"), "r");
    SplitInputs inputs = customSize(source, base, "1");
    inputs.recoveryPieces = 2;
    ASSERT_EQ(cut(inputs).outcome, Outcome::Completed);
    EXPECT_TRUE(fileExists(base + ".vol0+2.par2"));
    window.clearRequests();
    inputs.recoveryPieces = 0;
    ASSERT_EQ(cut(inputs).outcome, Outcome::Completed);
    EXPECT_EQ(window.boxes().at(0), "box ReplaceQuestion Parvix: The 7 files  " + base +
                                        ".001 and 6 more  have already existed，Do you want to replace them？");
    EXPECT_TRUE(fileExists(base + ".par2"));
    EXPECT_FALSE(fileExists(base + ".vol0+2.par2"));

    const std::string tooLong = "box Notice Parvix: The name of the cutted files is too long，no recovery file is written";
    const struct
    {
        std::size_t baseLength;
        bool index;
        bool volume;
    } cases[] = {{243, true, true}, {244, true, false}, {250, true, false}, {251, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baseLength);
        const std::string longBase = joinPath(path("out"), std::string(c.baseLength, 'n'));
        window.clearRequests();
        SplitInputs longInputs = customSize(source, longBase, "1");
        longInputs.recoveryPieces = 1;
        ASSERT_EQ(cut(longInputs).outcome, Outcome::Completed);
        EXPECT_EQ(fileExists(longBase + ".par2"), c.index);
        EXPECT_EQ(fileExists(longBase + ".vol0+1.par2"), c.volume);
        const auto boxes = window.boxes();
        EXPECT_EQ(std::count(boxes.begin(), boxes.end(), tooLong), c.volume ? 0 : 1);
        EXPECT_EQ(readFile(longBase + ".003"), patternBytes(3000).substr(2048));
    }
}

// Turning a folder's "$" into "." would propose a folder that does not exist, or another one that does.
// A file that a killed cut or join left behind under a temporary name goes with the next cut into its
// folder, unless a running program still holds it; files of the user's that look alike stay.
TEST_F(SplitCut, LeftoversOfWorkThatEndedAbruptlyAreRemoved)
{
    const std::string source = makeFile("movie.avi", patternBytes(3000));
    // One left by work that ended, and one that work going on still writes.
    std::string leftover;
    native->createTemporary(path("movie$avi.002"), AtLink::Replace, leftover)->close();
    std::string held;
    const auto written = native->createTemporary(path("other.bin"), AtLink::Follow, held);
    const std::string alike = makeFile(".bashrc.backup", "the user's");
    const std::string plain = makeFile("notes.parvix-part", "the user's too");

    EXPECT_EQ(cut(customSize(source, path("movie$avi"), "1")).outcome, Outcome::Completed);

    EXPECT_FALSE(fileExists(leftover));
    EXPECT_TRUE(fileExists(held));
    EXPECT_TRUE(fileExists(alike));
    EXPECT_TRUE(fileExists(plain));
}

TEST_F(SplitCut, ADollarOnlyInAFolderNameStaysInTheProposal)
{
    const std::string source = makeFile("movie", patternBytes(2000));
    fs::create_directory(path("a$b"));
    fs::create_directory(path("a.b"));
    const std::string base = joinPath(path("a$b"), "movie");

    EXPECT_EQ(cut(customSize(source, base, "1")).outcome, Outcome::Completed);

    const std::string proposal = joinPath(path("a$b"), "movie");
    EXPECT_EQ(window.requests(), completedCut(source, piecePaths(base, 2), "1", {"0", "1"}, proposal, true));
    EXPECT_EQ(readFile(joinPath(path("a$b"), "Link.bat")), "copy/B \"movie.001\"+\"movie.002\" \"movie\"\r\n");
}

TEST_F(SplitCut, InputsAreTrimmedOfSpacesOnly)
{
    const std::string bytes = patternBytes(2500);
    const std::string source = makeFile("s p.bin", bytes);
    const std::string base = path("s p$bin");

    EXPECT_EQ(cut(customSize("   " + source + "  ", "  " + base + "   ", "  1  ")).outcome, Outcome::Completed);

    EXPECT_EQ(window.requests(),
              completedCut(source, piecePaths(base, 3), "2", {"0", "1", "2"}, path("s p.bin"), true));
    expectPieces(window.joinList, bytes, 1024);
    EXPECT_EQ(readFile(path("Link.bat")), "copy/B \"s p$bin.001\"+\"s p$bin.002\"+\"s p$bin.003\" \"s p.bin\"\r\n");
}

TEST_F(SplitCut, PercentSignsInNamesAreDoubledInLinkBat)
{
    const std::string bytes = patternBytes(1500);
    const std::string source = makeFile("100%.txt", bytes);
    EXPECT_EQ(cut(customSize(source, path("100%$txt"), "1")).outcome, Outcome::Completed);
    EXPECT_EQ(readFile(path("Link.bat")), "copy/B \"100%%$txt.001\"+\"100%%$txt.002\" \"100%%.txt\"\r\n");
    EXPECT_EQ(runLinkScript(dir.path()).bytes, bytes);
}

TEST_F(SplitCut, ASourceBehindASymbolicLinkIsCut)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need privileges here";
#else
    const std::string bytes = patternBytes(2100);
    const std::string real = makeFile("real.bin", bytes);
    fs::create_symlink(real, path("link.bin"));
    EXPECT_EQ(cut(customSize(path("link.bin"), path("link$bin"), "1")).outcome, Outcome::Completed);
    expectPieces(window.joinList, bytes, 1024);
    EXPECT_EQ(readFile(real), bytes);
#endif
}

// A base whose "folder" is an existing file passes the folder test, as a listing finds it; the cut then
// fails before it writes, as for any folder missing on the way.
TEST_F(SplitCut, ABaseInsideAFileFailsBeforeAnythingIsWritten)
{
    const std::string source = makeFile("s.bin", patternBytes(3000));
    window.joinList = {"/old.001"};

    const auto result = cut(customSize(source, joinPath(source, "x"), "1"));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.requests(),
              (Requests{splitConfirmation(source), "box DiskError Tavrin: The file cann't to be written!", "tab 0",
                        "value 0", "hide", "pointer Default"}));
    EXPECT_EQ(window.joinList, std::vector<std::string>{"/old.001"});
}

#ifndef _WIN32
// GNU split is the reference: the same file and size give the same pieces, name for name.
TEST_F(SplitCut, PiecesMatchGnuSplit)
{
    const struct
    {
        std::size_t length;
        const char* text;
        std::size_t size;
    } cases[] = {
        {3000000, "", 1447035}, // the floppy size
        {10000, "1.5", 1536},
        {6990, "0.0068359375", 7}, // 999 pieces, the most that three digits name
        {4096, "2", 2048},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string ours = path("ours" + std::to_string(round));
        const std::string theirs = path("theirs" + std::to_string(round));
        ++round;
        fs::create_directory(ours);
        fs::create_directory(theirs);
        const std::string source = makeFile("src" + std::to_string(round), patternBytes(c.length, round));
        const SplitInputs inputs =
            *c.text ? customSize(source, joinPath(ours, "p"), c.text) : floppy(source, joinPath(ours, "p"));
        ASSERT_EQ(cut(inputs).outcome, Outcome::Completed);
        const std::string command = "split -b " + std::to_string(c.size) + " -d -a 3 --numeric-suffixes=1 '" + source +
                                    "' '" + joinPath(theirs, "p") + ".'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        auto ourTree = snapshotTree(ours);
        EXPECT_EQ(ourTree.erase("Link.bat"), 1u);
        EXPECT_EQ(ourTree.erase("p.crc"), 1u);
        EXPECT_EQ(ourTree.erase("p.par2"), 1u);
        const auto theirTree = snapshotTree(theirs);
        std::vector<std::string> ourNames, theirNames;
        for (const auto& entry : ourTree)
            ourNames.push_back(entry.first);
        for (const auto& entry : theirTree)
            theirNames.push_back(entry.first);
        EXPECT_EQ(ourNames.size(), (c.length + c.size - 1) / c.size);
        ASSERT_EQ(ourNames, theirNames);
        for (const auto& [name, bytes] : theirTree) {
            SCOPED_TRACE(name);
            EXPECT_SAME_BYTES(ourTree[name], bytes);
        }
    }
}
#endif

} // namespace
} // namespace parvix::test
