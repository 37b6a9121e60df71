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

    void expectStops(const CheckCase& c)
    {
        expectStopped(c.name, c.answers, c.expected, [&] { return cut(c.inputs); });
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
         {kSplitPathMissing, "selectAll Text2", "focus Text2"}},
        {"base without any separator",
         floppy(source, "out$bin"),
         {kSplitPathMissing, "selectAll Text2", "focus Text2"}},
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
    // Nothing usable, 0 or less, 0 bytes after rounding, or a size beyond 64 bits: all refused at once.
    // Only spaces are skipped: a tab before the number leaves no number at the start.
    for (const char* text :
         {"0", "-5", "abc", "   ", "\t2", "0.0001", "0.00048828125", "9007199254740992", "1e400", "-1e400"})
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
        {"missing folder and bad size",
         customSize(source, "x", "0"),
         {kSplitPathMissing, "selectAll Text2", "focus Text2"}},
    };
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(SplitChecks, NoToAQuestionChangesNothing)
{
    expectStops({"No to the confirmation",
                 customSize("  " + source + "  ", base, "1"),
                 {splitConfirmation(source)},
                 {Button::No}});
    // An earlier set under the same names goes only on the user's word: one piece of it, then the whole set.
    const struct
    {
        std::string name;
        std::vector<std::string> earlier; // made before the case, beside the files of the cases before
        std::string question;
    } replacing[] = {
        {"No to replacing a piece", {"out$bin.002"}, replaceQuestion(path("out$bin.002"))},
        {"No to replacing a set",
         {"out$bin.001", "Link.bat", "out$bin.crc"},
         "box ReplaceQuestion Parvix: The 4 files  " + path("out$bin.001") +
             " and 3 more  have already existed，Do you want to replace them？"},
    };
    for (const auto& r : replacing) {
        for (const auto& name : r.earlier)
            makeFile(name, "older");
        expectStops(
            {r.name, customSize(source, base, "1"), {r.question, "selectAll Text2", "focus Text2"}, {Button::No}});
    }
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
TEST_F(SplitChecks, OutputsOverTheSourceOrSpecialFilesAreRefused)
{
    fs::create_hard_link(source, path("hard.001"));
    ASSERT_EQ(::mkfifo(path("fifo.002").c_str(), 0600), 0);
    makeSocket(path("socket.002"));
    fs::create_directory(path("piped"));
    ASSERT_EQ(::mkfifo(joinPath(path("piped"), "Link.bat").c_str(), 0600), 0);
    const Requests refused{kRename, "selectAll Text2", "focus Text2"};
    const CheckCase cases[] = {
        // Replacing another name of the source's bytes would take them away.
        {"a piece name that is the source's", customSize(source, path("hard"), "1"), refused},
        {"a FIFO under a piece name", customSize(source, path("fifo"), "1"), refused},
        {"a socket under a piece name", customSize(source, path("socket"), "1"), refused},
        {"a FIFO as Link.bat", customSize(source, joinPath(path("piped"), "f"), "1"), refused},
    };
    for (const auto& c : cases)
        expectStops(c);
}

// A link planted under an output's name is replaced by the output, and whatever it leads to, the
// source, another user's file, a name the link would create, stays as it was.
TEST_F(SplitChecks, LinksUnderTheOutputsNamesAreReplacedNotWrittenThrough)
{
    const std::string sourceBytes = readFile(source);
    const std::string victim = makeFile("important.conf", "keep me");
    // Each in a folder of its own, named like its base.
    const struct
    {
        const char* name;
        std::string link;   // in the folder
        std::string target; // what the link holds
        std::string base;
    } cases[] = {
        {"a piece to another user's file", "a.002", victim, "a"},
        {"a piece to the source", "b.001", source, "b"},
        {"Link.bat to the source", "Link.bat", source, "c"},
        {"Link.bat dangling, out of the folder", "Link.bat", path("created-by-the-cut"), "d"},
        {"the check file to another user's file", "e.crc", victim, "e"},
        {"a piece to itself", "f.002", "f.002", "f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = joinPath(path(c.base), c.link);
        const std::string base = joinPath(path(c.base), c.base);
        fs::create_directory(path(c.base));
        fs::create_symlink(c.target, link);
        window.clearRequests();
        const auto result = cut(customSize(source, base, "1"));
        EXPECT_EQ(result.outcome, Outcome::Completed);
        EXPECT_EQ(window.boxes().front(), replaceQuestion(link));
        EXPECT_FALSE(fs::is_symlink(link));
        EXPECT_EQ(readFile(source), sourceBytes);
        EXPECT_EQ(readFile(victim), "keep me");
        EXPECT_FALSE(fs::exists(path("created-by-the-cut")));
        EXPECT_EQ(readFile(base + ".002"), sourceBytes.substr(1024, 1024));
    }
}
#endif

} // namespace
} // namespace parvix::test
