// The checks before a cut: each stops with its own message and focus, and changes nothing else.
#include "EngineTestSupport.h"

#include "Platform.h"

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

const std::string kSelectFile = "box Warning Parvix: Please select a file to be cutted";
const std::string kSpecifyDestination = "box Warning Parvix: Please specify destination file name";
const std::string kRename = "box Notice Parvix: The specify destination file name has existed，Please rename";
const std::string kPathMissing = "box Warning Tavrin: The specify destination path has not existed!";
const std::string kInvalidSize = "box Notice Parvix: Invalid cutted file size value!";
const std::string kTooSmall = "box Notice Parvix: The file you want to split is smaller than the size you specified";

struct CheckCase
{
    std::string name;
    SplitInputs inputs;
    Requests expected;
    std::vector<Button> answers = {};
};

class SplitChecks : public EngineTest
{
protected:
    void SetUp() override
    {
        source = makeFile("src.bin", patternBytes(3000));
        makeFile("small.bin", patternBytes(1000, 2));
        makeFile("empty.bin", "");
        makeFile(".hidden", patternBytes(3000, 3));
        makeFile("x.001", patternBytes(3000, 4));
        makeFile("w.003", patternBytes(3000, 5));
        fs::create_directory(path("sub"));
        fs::create_directory(path("scripts"));
        makeFile(joinPath("scripts", "Link.bat"), patternBytes(3000, 6));
        base = path("out$bin");
        window.joinList = {"/old/piece.001", "/old/piece.002"};
        window.text4 = "/old/piece";
    }

    // Runs one case and checks that it stopped with exactly its requests and nothing else changed.
    void expectStops(const CheckCase& c)
    {
        SCOPED_TRACE(c.name);
        const auto before = snapshotTree(dir.path());
        window.clearRequests();
        for (Button answer : c.answers)
            window.answer({answer});
        const auto result = cut(c.inputs);
        EXPECT_EQ(result.outcome, Outcome::Stopped);
        EXPECT_FALSE(result.error.has_value());
        EXPECT_EQ(window.requests(), c.expected);
        EXPECT_EQ(window.pendingAnswers(), 0u);
        EXPECT_EQ(snapshotTree(dir.path()), before);
        EXPECT_EQ(window.joinList, (std::vector<std::string>{"/old/piece.001", "/old/piece.002"}));
        EXPECT_EQ(window.text4, "/old/piece");
    }

    std::string source;
    std::string base;
};

TEST_F(SplitChecks, SourceChecks)
{
    const std::string missing = path("missing.txt");
    const std::string folderWithSeparator = dir.path() + kSeparator;
    const CheckCase cases[] = {
        {"empty source", floppy("", base), {kSelectFile, "focus Text1"}},
        {"source of spaces", floppy("    ", base), {kSelectFile, "focus Text1"}},
        {"source ending in the separator",
         floppy(folderWithSeparator, base),
         {kSelectFile, "selectAll Text1", "focus Text1"}},
        {"source ending in the separator before spaces",
         floppy("  " + folderWithSeparator + "  ", base),
         {kSelectFile, "selectAll Text1", "focus Text1"}},
        {"missing source",
         floppy(missing, base),
         {"box Warning Parvix: No" + missing + "File", "selectAll Text1", "focus Text1"}},
        {"missing source between spaces",
         floppy("   " + missing + " ", base),
         {"box Warning Parvix: No" + missing + "File", "selectAll Text1", "focus Text1"}},
        // Only spaces are trimmed: a tab is part of the name.
        {"source with a tab after it",
         floppy(source + "\t", base),
         {"box Warning Parvix: No" + source + "\tFile", "selectAll Text1", "focus Text1"}},
        {"source that is a folder",
         floppy(path("sub"), base),
         {"box Warning Parvix: No" + path("sub") + "File", "selectAll Text1", "focus Text1"}},
#ifndef _WIN32
        // A dot-file is what a hidden file is here.
        {"hidden source",
         floppy(path(".hidden"), base),
         {"box Warning Parvix: No" + path(".hidden") + "File", "selectAll Text1", "focus Text1"}},
#endif
    };
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(SplitChecks, DestinationChecks)
{
    const CheckCase cases[] = {
        {"empty base", floppy(source, ""), {kSelectFile, "focus Text2"}},
        {"base of spaces", floppy(source, "   "), {kSelectFile, "focus Text2"}},
        {"base ending in the separator",
         floppy(source, dir.path() + kSeparator),
         {kSpecifyDestination, "caretToEnd Text2", "focus Text2"}},
        {"base naming the source", floppy(source, source), {kRename, "selectAll Text2", "focus Text2"}},
        {"base naming another file, between spaces",
         floppy(source, "  " + path("small.bin") + " "),
         {kRename, "selectAll Text2", "focus Text2"}},
        {"base in a missing folder",
         floppy(source, joinPath(path("nowhere"), "out$bin")),
         {kPathMissing, "selectAll Text2", "focus Text2"}},
        {"base without any separator", floppy(source, "out$bin"), {kPathMissing, "selectAll Text2", "focus Text2"}},
    };
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(SplitChecks, SizeChecks)
{
    std::vector<CheckCase> cases{
        {"size text empty", customSize(source, base, ""), {kInvalidSize, "focus Text3"}},
        {"size smaller than one piece", customSize(path("small.bin"), base, "1"), {kTooSmall}},
        {"empty source", floppy(path("empty.bin"), base), {kTooSmall}},
        {"source shorter than the floppy size", floppy(source, base), {kTooSmall}},
        {"size checked before the length", customSize(path("small.bin"), base, "abc"), {kInvalidSize, "focus Text3"}},
    };
    // Nothing usable, 0 or less, 0 bytes after rounding, or a size beyond 32 bits: all refused at once.
    // Only spaces are skipped: a tab before the number leaves no number at the start.
    for (const char* text : {"0", "-5", "abc", "   ", "\t2", "0.0001", "0.00048828125", "2097152", "1e400", "-1e400"})
        cases.push_back(
            {std::string("size text \"") + text + "\"", customSize(source, base, text), {kInvalidSize, "focus Text3"}});
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(SplitChecks, TheFirstFailingCheckWins)
{
    const CheckCase cases[] = {
        {"everything empty", customSize("", "", ""), {kSelectFile, "focus Text1"}},
        {"missing source and empty base",
         floppy(path("missing"), ""),
         {"box Warning Parvix: No" + path("missing") + "File", "selectAll Text1", "focus Text1"}},
        {"existing base and bad size", customSize(source, source, "abc"), {kRename, "selectAll Text2", "focus Text2"}},
        {"missing folder and bad size", customSize(source, "x", "0"), {kPathMissing, "selectAll Text2", "focus Text2"}},
    };
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(SplitChecks, NoToTheConfirmationChangesNothing)
{
    expectStops({"answer No", customSize("  " + source + "  ", base, "1"), {splitConfirmation(source)}, {Button::No}});
}

// Outputs that would replace the source or one another, or that lead to something that is no file.
TEST_F(SplitChecks, ClashingOutputsAreRefused)
{
    fs::create_directory(path("folder.002"));
    const Requests refused{kRename, "selectAll Text2", "focus Text2"};
    const CheckCase cases[] = {
        {"first piece is the source", customSize(path("x.001"), path("x"), "1"), refused},
        {"third piece is the source", customSize(path("w.003"), path("w"), "1"), refused},
        {"Link.bat is the source",
         customSize(joinPath(path("scripts"), "Link.bat"), joinPath(path("scripts"), "y"), "1"), refused},
        {"a folder under a piece name", customSize(source, path("folder"), "1"), refused},
    };
    for (const auto& c : cases)
        expectStops(c);
}

#ifndef _WIN32
TEST_F(SplitChecks, ClashingOutputsThroughLinksAndSpecialFilesAreRefused)
{
    fs::create_symlink(source, path("sym.002"));
    fs::create_hard_link(source, path("hard.001"));
    fs::create_directory(path("other"));
    fs::create_symlink(source, joinPath(path("other"), "Link.bat"));
    makeFile("pair.001", patternBytes(10, 7));
    fs::create_symlink(path("pair.001"), path("pair.002"));
    // Links that dangle until the cut creates their target: an earlier piece.
    fs::create_directory(path("dangling"));
    fs::create_symlink("d.001", joinPath(path("dangling"), "Link.bat"));
    fs::create_symlink(path("chain.step"), path("chain.003"));
    fs::create_symlink("./chain.001", path("chain.step"));
    fs::create_symlink("loop.002", path("loop.002"));
    ASSERT_EQ(::mkfifo(path("fifo.002").c_str(), 0600), 0);
    makeSocket(path("socket.002"));
    fs::create_symlink("/dev/null", path("device.002"));
    fs::create_directory(path("piped"));
    ASSERT_EQ(::mkfifo(joinPath(path("piped"), "Link.bat").c_str(), 0600), 0);
    fs::create_symlink(source, path("checked.crc"));
    const Requests refused{kRename, "selectAll Text2", "focus Text2"};
    const CheckCase cases[] = {
        {"symbolic link", customSize(source, path("sym"), "1"), refused},
        {"hard link", customSize(source, path("hard"), "1"), refused},
        {"Link.bat a link to the source", customSize(source, joinPath(path("other"), "z"), "1"), refused},
        // Piece 2 would overwrite piece 1 and the set would no longer join back.
        {"one piece a link to another", customSize(source, path("pair"), "1"), refused},
        {"Link.bat a dangling link to the first piece", customSize(source, joinPath(path("dangling"), "d"), "1"),
         refused},
        {"a chain of links from the third piece to the first", customSize(source, path("chain"), "1"), refused},
        {"a link that leads round in a loop", customSize(source, path("loop"), "1"), refused},
        {"a FIFO under a piece name", customSize(source, path("fifo"), "1"), refused},
        {"a socket under a piece name", customSize(source, path("socket"), "1"), refused},
        {"a device under a piece name", customSize(source, path("device"), "1"), refused},
        {"a FIFO as Link.bat", customSize(source, joinPath(path("piped"), "f"), "1"), refused},
        {"the check file a link to the source", customSize(source, path("checked"), "1"), refused},
    };
    for (const auto& c : cases)
        expectStops(c);
}
#endif

} // namespace
} // namespace parvix::test
