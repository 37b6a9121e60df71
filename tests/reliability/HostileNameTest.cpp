// Names that break careless code: spaces, quotes, "%", "&", "^", "!", shell syntax, line breaks,
// wildcards, non-ASCII letters, leading dashes, names at the length limit. Cut, "Add" and join carry
// them intact through the engines and parvix-cli; Link.bat quotes them for cmd; no shell ever sees
// them (a shell would have created the file "pwned").
#include "LinkScriptRunner.h"
#include "Naming.h"
#include "ReliabilitySupport.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvix::test {
namespace {

const std::string kCli = PARVIX_CLI_PATH;
const std::string kCompletionTail = " is cutted completely!\r\rYou can run the link.bat to join automatically in "
                                    "the destination director \rAlso you can use the Parvix to join the file !";

struct HostileName
{
    const char* label;
    std::string source;   // the source file's name
    std::string base;     // the destination base's name
    std::string proposal; // the destination that the join proposes for the pieces
    // The base and the proposal as Link.bat spells them for cmd ("%" doubled, "?" for a character it cannot
    // hold), where that is not as they are.
    std::string batchBase = {};
    std::string batchProposal = {};
    bool linkBatRuns = true; // false where Link.bat had to put "?" for a character: cmd cannot find that file
};

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

const std::vector<HostileName>& hostileNames()
{
    static const std::string l247 = repeated("L", 247);
    static const std::string e123 = repeated("é", 123);
    static const std::vector<HostileName> names = {
        {"spaces", "my movie.avi", "my movie$avi", "my movie.avi"},
        {"quotes", "it's \"quoted\".txt", "it's \"quoted\"$txt", "it's \"quoted\".txt", "it's ?quoted?$txt",
         "it's ?quoted?.txt", false},
        {"percent", "100% sure.txt", "100% sure$txt", "100% sure.txt", "100%% sure$txt", "100%% sure.txt"},
        {"variable", "%PATH%.cmd", "%PATH%$cmd", "%PATH%.cmd", "%%PATH%%$cmd", "%%PATH%%.cmd"},
        {"ampersand", "rock & roll.mp3", "rock & roll$mp3", "rock & roll.mp3"},
        {"caret and bang", "x^y!z.bin", "x^y!z$bin", "x^y!z.bin"},
        {"non-ASCII", "Ünïcødé 数据.txt", "Ünïcødé 数据$txt", "Ünïcødé 数据.txt"},
        {"leading dash", "-rf", "-rf pieces", "-rf pieces"},
        {"option-like", "--yes.txt", "--yes$txt", "--yes.txt"},
        {"command substitution", "$(touch pwned).sh", "$(touch pwned)$sh", "$(touch pwned).sh"},
        {"backquotes and semicolons", "`touch pwned`;touch pwned;.sh", "`touch pwned`;touch pwned;$sh",
         "`touch pwned`;touch pwned;.sh"},
        {"line break", "line\nbreak.txt", "line\nbreak$txt", "line\nbreak.txt", "line?break$txt", "line?break.txt",
         false},
        {"tab", "tab\there.txt", "tab\there$txt", "tab\there.txt", "tab?here$txt", "tab?here.txt", false},
        {"wildcards", "a*b?c[1].txt", "a*b?c[1]$txt", "a*b?c[1].txt"},
        // The longest names a folder takes: 255 bytes with the piece suffix.
        {"251-byte base", l247 + ".bin", l247 + "$bin", l247 + ".bin"},
        {"250-byte UTF-8 base", e123 + ".txt", e123 + "$txt", e123 + ".txt"},
    };
    return names;
}

// The Link.bat of a cut of `name` into three pieces.
std::string linkBatOf(const HostileName& name)
{
    const std::string& base = name.batchBase.empty() ? name.base : name.batchBase;
    const std::string& target = name.batchProposal.empty() ? name.proposal : name.batchProposal;
    return "copy/B \"" + base + ".001\"+\"" + base + ".002\"+\"" + base + ".003\" \"" + target + "\"\r\n";
}

void expectNoShellRan(const std::string& folder)
{
    EXPECT_FALSE(fileExists(joinPath(folder, "pwned")));
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_FALSE(fileExists(joinPath(cwd, "pwned")));
}

constexpr std::size_t kSourceSize = 2500; // three pieces of 1 KiB

// A folder of its own with the source file of a name in it, its bytes made from `seed`, and the paths of
// the base and the three pieces that a cut into it makes.
struct HostileFiles
{
    HostileFiles(const HostileName& name, int seed)
        : source(dir.file(name.source)), bytes(patternBytes(kSourceSize, seed)),
          base(dir.file(name.base)), pieces{base + ".001", base + ".002", base + ".003"}
    {
        writeFile(source, bytes);
    }

    TempDir dir;
    std::string source;
    std::string bytes;
    std::string base;
    std::vector<std::string> pieces;
};

TEST(HostileNames, CutAddAndJoinThroughTheEngines)
{
    auto files = makeNativeFileServices();
    for (const auto& name : hostileNames()) {
        SCOPED_TRACE(name.label);
        const HostileFiles set(name, 7);
        const std::string& proposal = name.proposal;
        // What the base's wildcards match is another set's: its recovery volume is not the cut's to replace.
        std::string other = name.base;
        std::replace(other.begin(), other.end(), '*', 'Z');
        std::replace(other.begin(), other.end(), '?', 'Q');
        const std::string otherVolume = set.dir.file(other + ".vol0+1.par2");
        if (other != name.base)
            writeFile(otherVolume, "another set's recovery");

        RecordingWindow window;
        ASSERT_EQ(runCut(window, *files, set.source, set.base, "1").outcome, Outcome::Completed) << lastBox(window);
        if (other != name.base) {
            EXPECT_EQ(readFile(otherVolume), "another set's recovery");
        }
        EXPECT_EQ(window.boxes(), (std::vector<std::string>{"box Confirmation Parvix: Are you sure ？The file " +
                                                                set.source + " will to be cutted!  ",
                                                            "box Notice Parvix: " + set.source + kCompletionTail}));
        EXPECT_EQ(window.joinList, set.pieces);
        EXPECT_EQ(window.text4, set.dir.file(proposal));
        EXPECT_EQ(concatenated(set.pieces), set.bytes);
        EXPECT_EQ(readFile(set.dir.file("Link.bat")), linkBatOf(name));
        if (name.linkBatRuns) {
            const auto script = runLinkScript(set.dir.path());
            EXPECT_EQ(script.target, proposal);
            EXPECT_EQ(script.bytes, set.bytes);
        }

        RecordingWindow joinWindow;
        ASSERT_EQ(runAdd(joinWindow, *files, set.pieces[0]).outcome, Outcome::Completed) << lastBox(joinWindow);
        EXPECT_EQ(joinWindow.joinList, set.pieces);
        EXPECT_EQ(joinWindow.text4, set.dir.file(proposal));

        const std::string joined = set.dir.file("joined");
        ASSERT_EQ(::mkdir(joined.c_str(), 0755), 0);
        const std::string destination = joinPath(joined, proposal);
        ASSERT_EQ(runJoin(joinWindow, *files, destination).outcome, Outcome::Completed) << lastBox(joinWindow);
        EXPECT_EQ(joinWindow.boxes(),
                  (std::vector<std::string>{"box Question Parvix: Are you sure? the file  " + destination +
                                                "  will to be joined",
                                            "box Notice Parvix: " + destination + " is joined completely!"}));
        EXPECT_EQ(readFile(destination), set.bytes);
        expectNoShellRan(set.dir.path());
    }
}

TEST(HostileNames, CutAndJoinThroughTheConsole)
{
    for (const auto& name : hostileNames()) {
        // The console prints one path a line: a name with a line break in it cannot be told apart there.
        if (name.source.find('\n') != std::string::npos)
            continue;
        SCOPED_TRACE(name.label);
        const HostileFiles set(name, 11);

        // The source as a relative name, so that a leading dash starts the argument itself.
        const auto cut = runProgram({kCli, "cut", "--yes", "--kb", "1", "--", name.source, set.base},
                                    {.workingDirectory = set.dir.path()});

        ASSERT_EQ(cut.status, 0) << cut.err;
        EXPECT_EQ(linesOf(cut.out),
                  (std::vector<std::string>{set.pieces[0], set.pieces[1], set.pieces[2], set.dir.file(name.proposal)}));
        EXPECT_EQ(cut.err, "Parvix: Are you sure ？The file " + name.source +
                               " will to be cutted!  \nParvix: " + name.source +
                               " is cutted completely!\n\nYou can run the link.bat to join automatically in the "
                               "destination director \nAlso you can use the Parvix to join the file !\n");

        ASSERT_EQ(::mkdir(set.dir.file("-out").c_str(), 0755), 0);
        const std::string destination = joinPath(set.dir.file("-out"), name.proposal);
        const auto join =
            runProgram({kCli, "join", "--yes", "--", destination, set.pieces[0], set.pieces[1], set.pieces[2]},
                       {.workingDirectory = set.dir.path()});

        ASSERT_EQ(join.status, 0) << join.err;
        EXPECT_EQ(linesOf(join.err).back(), "Parvix: " + destination + " is joined completely!");
        EXPECT_EQ(readFile(destination), set.bytes);
        expectNoShellRan(set.dir.path());
    }
}

TEST(HostileNames, AddOfASetWhoseNameHoldsWildcardsTakesOnlyThatSet)
{
    auto files = makeNativeFileServices();
    for (const std::string stem : {"a*b$txt", "a?b$txt", "*$txt"}) {
        SCOPED_TRACE(stem);
        TempDir dir;
        writeFile(dir.file(stem + ".001"), "one");
        writeFile(dir.file(stem + ".002"), "two");
        // Names the wildcards would match: the pieces of other sets.
        for (const std::string other : {"aXb$txt", "aXXb$txt"}) {
            for (const std::string suffix : {".001", ".002", ".003"})
                writeFile(dir.file(other + suffix), "other");
        }
        RecordingWindow window;

        ASSERT_EQ(runAdd(window, *files, dir.file(stem + ".001")).outcome, Outcome::Completed);

        EXPECT_EQ(window.joinList, (std::vector<std::string>{dir.file(stem + ".001"), dir.file(stem + ".002")}));
    }
}

TEST(HostileNames, BaseNameBeyondTheLimitCannotBeWritten)
{
    // A piece name of 256 bytes is refused by the file system: the piece cannot be written.
    auto files = makeNativeFileServices();
    TempDir dir;
    const std::string source = dir.file("movie.avi");
    writeFile(source, patternBytes(kSourceSize));
    const std::string base = dir.file(repeated("L", 252));
    RecordingWindow window;
    window.joinList = {"/earlier/x"};

    const auto result = runCut(window, *files, source, base, "1");

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.boxes(), (std::vector<std::string>{"box Confirmation Parvix: Are you sure ？The file " + source +
                                                            " will to be cutted!  ",
                                                        "box DiskError Tavrin: The file cann't to be written!"}));
    expectCutErrorPathState(window);
    EXPECT_TRUE(window.joinList.empty());

    const auto run = runProgram({kCli, "cut", "--yes", "--kb", "1", source, base});
    EXPECT_EQ(run.status, 2);
    const auto lines = linesOf(run.err);
    ASSERT_GE(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[lines.size() - 2], "Tavrin: The file cann't to be written!");
    EXPECT_EQ(lines.back(), "parvix-cli: " + base + ".001: File name too long");
}

} // namespace
} // namespace parvix::test
