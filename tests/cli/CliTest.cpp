#include "CheckFile.h"
#include "Crc32.h"
#include "LinkScriptRunner.h"
#include "Naming.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/wait.h>

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

class Cli : public ::testing::Test
{
protected:
    // Runs parvix-cli in the data folder with stdin from `input` (no terminal; none given: what the shell
    // prefix pipes in), capturing stdout and stderr; `shellPrefix` goes before the program on the shell's
    // command line.
    CliRun cli(const std::vector<std::string>& arguments, const std::string& shellPrefix = "",
               const std::string& input = "/dev/null")
    {
        std::string command = "cd " + shellQuoted(data.path()) + " && " + shellPrefix + shellQuoted(PARVIX_CLI_PATH);
        for (const auto& argument : arguments)
            command += " " + shellQuoted(argument);
        if (!input.empty())
            command += " <" + shellQuoted(input);
        command += " >" + shellQuoted(outFile) + " 2>" + shellQuoted(errFile);
        const int raw = std::system(command.c_str());
        CliRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = readFile(outFile);
        run.err = readFile(errFile);
        return run;
    }

    std::string path(const std::string& name) const { return data.file(name); }

    TempDir data;
    TempDir output;
    const std::string outFile = output.file("stdout");
    const std::string errFile = output.file("stderr");
};

// The check file's CRC of some bytes.
std::string crcOf(const std::string& bytes)
{
    Crc32 crc;
    crc.update(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size());
    return crcText(crc.value());
}

const std::string kCompletionLines = " is cutted completely!\n\nYou can run the link.bat to join automatically in "
                                     "the destination director \nAlso you can use the Parvix to join the file !\n";

TEST_F(Cli, CutsThreeMillionBytesIntoFloppyPieces)
{
    const std::string bytes = patternBytes(3000000);
    const std::string source = path("report.txt");
    writeFile(source, bytes);

    const auto run = cli({"cut", "--yes", source, path("report$txt")});

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, path("report$txt.001") + "\n" + path("report$txt.002") + "\n" + path("report$txt.003") + "\n" +
                           path("report.txt") + "\n");
    EXPECT_EQ(run.err, "Parvix: Are you sure ？The file " + source + " will to be cutted!  \nParvix: " + source +
                           kCompletionLines);
    EXPECT_EQ(fs::file_size(path("report$txt.001")), 1447035u);
    EXPECT_EQ(fs::file_size(path("report$txt.002")), 1447035u);
    EXPECT_EQ(fs::file_size(path("report$txt.003")), 105930u);
    EXPECT_EQ(readFile(path("Link.bat")),
              "copy/B \"report$txt.001\"+\"report$txt.002\"+\"report$txt.003\" \"report.txt\"\r\n");
    EXPECT_EQ(firstDifference(runLinkScript(data.path()).bytes, bytes), std::string::npos);
}

TEST_F(Cli, OptionsMayStandAnywhereAfterTheSubCommand)
{
    const std::string bytes = patternBytes(4000);
    writeFile(path("s.bin"), bytes);
    const std::vector<std::vector<std::string>> commands{
        {"cut", path("s.bin"), "--kb", "1.5", path("a$bin"), "--yes"},
        {"cut", "--kb=1.5", path("s.bin"), "--yes", path("b$bin")},
        {"cut", path("s.bin"), path("c$bin"), "--yes", "--kb", "1.5"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.at(4));
        const auto run = cli(command);
        EXPECT_EQ(run.status, 0) << run.err;
    }
    for (const char* base : {"a$bin", "b$bin", "c$bin"}) {
        SCOPED_TRACE(base);
        EXPECT_EQ(readFile(path(std::string(base) + ".001")), bytes.substr(0, 1536));
        EXPECT_EQ(readFile(path(std::string(base) + ".002")), bytes.substr(1536, 1536));
        EXPECT_EQ(readFile(path(std::string(base) + ".003")), bytes.substr(3072));
    }
}

const std::string kTryHelp = "Try 'parvix-cli --help' for more information.\n";

// -b reads sizes as `split -b` does: the same text cuts into pieces of the same lengths. --kb is read
// as the size box reads it, but with nothing after the number; -n says when it makes fewer pieces.
TEST_F(Cli, PieceSizesAreReadAsSplitReadsThem)
{
    writeFile(path("s.bin"), patternBytes(2500000));
    auto lengths = [](const std::vector<std::string>& pieces) {
        std::vector<std::uintmax_t> sizes;
        for (const auto& piece : pieces)
            sizes.push_back(fs::file_size(piece));
        return sizes;
    };
    for (const char* size : {"1M", "1MB", "999KiB", "612kB", "4000b", "123456"}) {
        SCOPED_TRACE(size);
        const TempDir pieces;
        ASSERT_EQ(std::system(("cd " + shellQuoted(pieces.path()) + " && split -b " + size + " " +
                               shellQuoted(path("s.bin")) + " x")
                                  .c_str()),
                  0);
        std::vector<std::string> split;
        for (const auto& entry : fs::directory_iterator(pieces.path()))
            split.push_back(entry.path().string());
        std::sort(split.begin(), split.end());

        const auto run = cli({"cut", "--yes", "-b", size, "s.bin", joinPath(pieces.path(), "p")});
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<std::string> cut;
        for (std::int64_t n = 1; fileExists(piecePath(joinPath(pieces.path(), "p"), n)); ++n)
            cut.push_back(piecePath(joinPath(pieces.path(), "p"), n));
        EXPECT_EQ(lengths(cut), lengths(split));
    }

    const auto kb = cli({"cut", "--yes", "--kb", "12abc", "s.bin", "x"});
    EXPECT_EQ(kb.status, 1);
    EXPECT_EQ(kb.err, "parvix-cli: invalid size in kilobytes '12abc': it is not a number\n" + kTryHelp);
    EXPECT_FALSE(fileExists(path("x.001")));

    writeFile(path("nine"), "123456789");
    const auto fewer = cli({"cut", "--yes", "-n", "4", "nine", "n"});
    EXPECT_EQ(fewer.status, 0);
    EXPECT_EQ(fewer.out, "./n.001\n./n.002\n./n.003\n./n\n");
    EXPECT_EQ(fewer.err.substr(fewer.err.rfind("parvix-cli: ")),
              "parvix-cli: 9 bytes in pieces of 3 bytes make 3 pieces, not 4\n");
}

TEST_F(Cli, WithoutATerminalTheQuestionIsAnsweredNo)
{
    const std::string source = path("s.bin");
    writeFile(source, patternBytes(3000));

    const auto run = cli({"cut", "--kb", "1", source, path("s$bin")});

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Parvix: Are you sure ？The file " + source + " will to be cutted!  \n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fileExists(path("s$bin.001")));
    EXPECT_FALSE(fileExists(path("Link.bat")));
}

TEST_F(Cli, ChecksStopWithStatusOneAndTheBoxTitle)
{
    writeFile(path("s.bin"), patternBytes(3000));
    // A Link.bat that a cut into out/ would replace.
    fs::create_directory(path("out"));
    fs::create_symlink("p.001", joinPath(path("out"), "Link.bat"));
    const struct
    {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        // Arguments are names as given: spaces around them are no typing to trim.
        {{"cut", "--yes", "  ", path("x")}, "Parvix: No  File\n"},
        {{"cut", "--yes", path("missing"), path("x")}, "Parvix: No" + path("missing") + "File\n"},
        {{"cut", "--yes", path("s.bin"), path("s.bin")},
         "Parvix: The specify destination file name has existed，Please rename\n"},
        {{"cut", "--kb", "2", path("s.bin"), joinPath(path("out"), "p")},
         "Parvix: The file  " + joinPath(path("out"), "Link.bat") +
             "  has already existed，Do you want to replace？\n"},
        {{"cut", "--yes", path("s.bin"), joinPath(path("nowhere"), "x")},
         "Tavrin: The specify destination path has not existed!\n"},
        {{"cut", "--yes", path("s.bin"), path("x")},
         "Parvix: The file you want to split is smaller than the size you specified\n"},
        {{"join", "--yes", "", path("s.bin")}, "Parvix: Please specify a file name !\n"},
        {{"join", "--yes", path("s.bin"), path("s.bin")}, "Parvix: The specify file has already existed in th list\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const auto run = cli(c.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(Cli, AFailureEndsWithStatusTwoAndKeepsTheWholePieces)
{
#if PARVIX_CLI_SANITIZED
    GTEST_SKIP() << "the sanitizer runtime in parvix-cli needs file descriptors of its own";
#endif
    // With eight descriptors a few pieces are written before no further one can be made.
    const std::string bytes = patternBytes(12000);
    writeFile(path("s.bin"), bytes);

    const auto run = cli({"cut", "--yes", "--kb", "1", "s.bin", "s$bin"}, "prlimit --nofile=8 ");

    EXPECT_EQ(run.status, 2);
    // The table has no message for it: the system's words say which piece, and why.
    const auto failed = run.err.rfind("parvix-cli: ./s$bin.");
    ASSERT_NE(failed, std::string::npos) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - 22), ": Too many open files\n") << run.err;
    // The join list as far as it got, every piece whole, and nothing else written; no proposal was made.
    std::size_t listed = 0;
    for (std::size_t start = 0; start < run.out.size(); start = run.out.find('\n', start) + 1, ++listed) {
        const std::string piece = "./s$bin" + pieceSuffix(static_cast<std::int64_t>(listed) + 1);
        EXPECT_EQ(run.out.substr(start, run.out.find('\n', start) - start), piece);
        EXPECT_EQ(readFile(path(piece.substr(2))), bytes.substr(listed * 1024, 1024));
    }
    EXPECT_GE(listed, 1u);
    EXPECT_LT(listed, 12u);
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator())),
              listed + 1)
        << "the source and the whole pieces";
}

// Memory stays at a few megabytes whatever the piece size: a piece of a gigabyte passes through its
// buffer a chunk at a time. The kernel cannot copy into /dev/null, nor (since Linux 5.19) from one file
// system to another, so there the bytes do pass through the buffer.
TEST_F(Cli, AGigabytePieceNeedsNoGigabyteOfMemory)
{
    if (PARVIX_CLI_SANITIZED)
        GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
    fs::create_symlink("/dev/null", path("out"));
    writeFile(path("piece.001"), "");
    fs::resize_file(fs::path(path("piece.001")), 1024ull * 1024 * 1024);
    const std::string limited = "ulimit -v 400000 && exec ";

    const auto join = cli({"join", "--yes", "./out", "piece.001"}, limited);
    EXPECT_EQ(join.status, 0) << join.err;

    // The pieces of the cut go to /dev/shm, another file system.
    const fs::path shm = "/dev/shm";
    if (!fs::is_directory(shm))
        GTEST_SKIP() << "no second file system at /dev/shm";
    const fs::path pieces = shm / fs::path(data.path()).filename();
    fs::create_directory(pieces);
    // Some data at its start: a source that is all hole would need no copy at all.
    writeFile(path("big.bin"), "data");
    fs::resize_file(fs::path(path("big.bin")), 1024ull * 1024 * 1024 + 1);

    const auto cut = cli({"cut", "--yes", "--kb", "1048576", "big.bin", (pieces / "big").string()}, limited);
    const bool secondPiece = fs::exists(pieces / "big.002");
    fs::remove_all(pieces);
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_TRUE(secondPiece);
}

TEST_F(Cli, JoinsThePiecesInTheOrderGiven)
{
    writeFile(path("a.001"), "first ");
    writeFile(path("a.002"), "second");
    const std::string destination = path("joined");

    // Out of the order of their numbers, as a shell's glob gives .1000 before .101, only when asked for.
    const auto refused = cli({"join", "--yes", destination, path("a.002"), path("a.001")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "parvix-cli: " + path("a.001") + " comes after " + path("a.002") +
                               ", not in the order of their numbers; give the pieces in that order, or add "
                               "--as-listed to join them as given\n");
    EXPECT_FALSE(fileExists(destination));
    // A piece left out, as a list typed by hand may leave it out.
    writeFile(path("a.003"), "third");
    const auto gap = cli({"join", "--yes", destination, path("a.001"), path("a.003")});
    EXPECT_EQ(gap.status, 1);
    EXPECT_EQ(gap.err, "parvix-cli: a piece is missing between " + path("a.001") + " and " + path("a.003") +
                           "; give every piece, or add --as-listed to join them as given\n");
    EXPECT_FALSE(fileExists(destination));

    const auto ok = cli({"join", destination, path("a.002"), "--yes", "--as-listed", path("a.001")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.err, "Parvix: Are you sure? the file  " + destination + "  will to be joined\nParvix: " + destination +
                          " is joined completely!\n");
    EXPECT_EQ(ok.out, "");
    EXPECT_EQ(readFile(destination), "secondfirst ");
}

TEST_F(Cli, AnExistingDestinationIsKeptWithoutATerminal)
{
    writeFile(path("a.001"), "new");
    const std::string destination = path("joined");
    writeFile(destination, "old content");

    const auto run = cli({"join", destination, path("a.001")});

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Parvix: There is no check file beside the cutted files，their bytes are not checked\n"
                       "Parvix: The file  " +
                           destination + "  has already existed，Do you want to replace？\n");
    EXPECT_EQ(readFile(destination), "old content");

    // A name with a space after it is another file's: the console takes it as given.
    const auto spaced = cli({"join", "--yes", destination + " ", path("a.001")});
    EXPECT_EQ(spaced.status, 0);
    EXPECT_EQ(readFile(destination), "old content");
    EXPECT_EQ(readFile(destination + " "), "new");

    const auto yes = cli({"join", "--yes", destination, path("a.001")});
    EXPECT_EQ(yes.status, 0);
    EXPECT_EQ(readFile(destination), "new");
}

TEST_F(Cli, AMissingPieceEndsTheJoinWithStatusTwo)
{
    writeFile(path("a.001"), "first");
    const auto run = cli({"join", "--yes", path("joined"), path("a.001"), path("a.002")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Parvix: Are you sure? the file  " + path("joined") +
                           "  will to be joined\nTavrin: The file cann't to be written!\nparvix-cli: " + path("a.002") +
                           ": No such file or directory\n");
    EXPECT_FALSE(fileExists(path("joined")));
}

// A cut writes the set's check file; "join DEST FIRST" joins the whole set and "verify FIRST" checks it,
// and both say when the bytes would not be the original's, or could not be checked.
TEST_F(Cli, ASetIsJoinedAndVerifiedByItsFirstPiece)
{
    writeFile(path("n.txt"), "123456789");                                                // its CRC-32 is CBF43926
    ASSERT_EQ(cli({"cut", "--yes", "--kb", "0.0029296875", "n.txt", "n$txt"}).status, 0); // three bytes a piece
    EXPECT_EQ(readFile(path("n$txt.crc")), "filename=n.txt\r\nsize=9\r\ncrc32=CBF43926\r\n");
    // The check file alone, as an earlier cut left it: a set with an index is checked by that instead.
    fs::remove(path("n$txt.par2"));
    const std::string checkLines = "filename=n.txt\nsize=9\ncrc32=CBF43926\n";
    const std::string confirmation = "Parvix: Are you sure? the file  ./j  will to be joined\n";
    const std::string joined = confirmation + "Parvix: ./j is joined completely!\n";
    const std::string missing = "Parvix: Please check the cutted files：\nThese cutted files are missing：n$txt.002\n"
                                "The cutted files have 6 bytes, but n$txt.crc says 9\n";
    const std::string anyway = "Parvix: The cutted files have 6 bytes, but n$txt.crc says 9，Do you want to join them "
                               "anyway？\n";
    const std::string notChecked =
        "Parvix: There is no check file beside the cutted files，their bytes are not checked\n";
    const std::string corrupted = "Parvix: The joined file is not the original file!\nIts CRC32 is " +
                                  crcOf("1234x6789") + ", but n$txt.crc says CBF43926\n./j is not written\n";
    const struct
    {
        const char* name;
        std::function<void()> change;
        int verifyStatus;
        std::string verifyOut;
        std::vector<std::string> joinOptions; // besides --yes
        int joinStatus;
        std::string joinErr;
        std::string result; // of the join, empty: not written
    } cases[] = {
        {"the set as cut", [] {}, 0, checkLines, {}, 0, joined, "123456789"},
        {"one corrupted byte",
         [&] { writeFile(path("n$txt.002"), "4x6"); },
         2,
         "filename=n.txt\nsize=9\ncrc32=" + crcOf("1234x6789") + "\n",
         {},
         2,
         confirmation + corrupted,
         ""},
        // As an editor may save it: a byte-order mark, CR line ends, keys in capitals. Still checked.
        {"the check file saved by an editor",
         [&] {
             writeFile(path("n$txt.crc"), "\xEF\xBB\xBF"
                                          "FILENAME=n.txt\rSIZE=9\rCRC32=cbf43926\r");
         },
         2,
         "filename=n.txt\nsize=9\ncrc32=" + crcOf("1234x6789") + "\n",
         {},
         2,
         confirmation + corrupted,
         ""},
        // Yes answers the questions of a sound run only; a set that fails its checks is kept out, unless
        // the user says so in as many words, and then the run is still no success.
        {"a missing middle piece",
         [&] { fs::remove(path("n$txt.002")); },
         2,
         "filename=n.txt\nsize=6\ncrc32=" + crcOf("123789") + "\n",
         {},
         1,
         missing + confirmation + anyway +
             "parvix-cli: the set fails its checks; add --join-damaged to join it all the same\n",
         ""},
        {"a missing middle piece, joined all the same",
         [] {},
         2,
         "filename=n.txt\nsize=6\ncrc32=" + crcOf("123789") + "\n",
         {"--join-damaged"},
         2,
         missing + confirmation + anyway + "Parvix: ./j is joined, but the cutted files failed their check\n",
         "123789"},
        // Nothing to check the bytes against: the pieces may well be sound, but nobody can tell.
        {"no check file",
         [&] {
             writeFile(path("n$txt.002"), "456");
             fs::remove(path("n$txt.crc"));
         },
         3,
         checkLines,
         {},
         0,
         notChecked + joined,
         "123456789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        const auto verify = cli({"verify", "n$txt.001"});
        EXPECT_EQ(verify.status, c.verifyStatus) << verify.err;
        EXPECT_EQ(verify.out, c.verifyOut);
        std::vector<std::string> join{"join", "--yes"};
        join.insert(join.end(), c.joinOptions.begin(), c.joinOptions.end());
        join.insert(join.end(), {"j", "n$txt.001"});
        const auto joinRun = cli(join);
        EXPECT_EQ(joinRun.status, c.joinStatus);
        EXPECT_EQ(joinRun.err, c.joinErr);
        EXPECT_EQ(fileExists(path("j")) ? readFile(path("j")) : "", c.result);
        fs::remove(path("j"));
    }
}

// A set cut with recovery travels both ways with par2: par2 verifies and repairs ours, and here verify,
// repair and join mend a set that split cut and par2 gave recovery; verify and repair tell by their exit
// status what they found: 0 sound, 2 not, 3 nothing to check against.
TEST_F(Cli, RecoverySetsTravelBothWaysWithPar2)
{
    if (std::system("par2 --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "par2 is not installed";
    // Pieces of 640 KiB; theirs in slices of 320 KiB, more than a repair carries over in one step.
    constexpr std::size_t kPiece = 640 * 1024;
    const std::string bytes = patternBytes(5 * kPiece + 777, 3);
    writeFile(path("s.bin"), bytes);
    ASSERT_EQ(cli({"cut", "-y", "-q", "--recovery", "2", "-b", "640K", "s.bin", "s"}).status, 0);
    const auto pieces = [&](const std::string& stem) {
        std::string joined;
        for (int n = 1; fileExists(path(stem + pieceSuffix(n))); ++n)
            joined += readFile(path(stem + pieceSuffix(n)));
        return joined;
    };
    const auto damage = [&](const std::string& name) {
        std::string piece = readFile(path(name));
        piece[100] = static_cast<char>(piece[100] ^ 1);
        writeFile(path(name), piece);
    };
    const auto par2 = [&](const std::string& arguments) {
        return std::system(("cd " + shellQuoted(data.path()) + " && par2 " + arguments + " >/dev/null 2>&1").c_str());
    };
    EXPECT_EQ(par2("verify -q s.par2"), 0);
    EXPECT_EQ(cli({"verify", "s.001"}).status, 0);

    fs::remove(path("s.003"));
    damage("s.005");
    const auto bad = cli({"verify", "s.001"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "Parvix: The cutted files are not sound!\nThese cutted files are missing：s.003\nThese cutted "
                       "files are damaged：s.005\n2 recovery slices exist, 2 are needed\n");
    EXPECT_EQ(par2("repair -q s.par2"), 0);
    EXPECT_EQ(firstDifference(pieces("s"), bytes), std::string::npos);

    fs::remove(path("s.002"));
    damage("s.004");
    damage("s.006");
    const auto short1 = cli({"repair", "s.001"});
    EXPECT_EQ(short1.status, 2);
    EXPECT_EQ(short1.err, "Parvix: The cutted files are not sound!\nThese cutted files are missing：s.002\nThese "
                          "cutted files are damaged：s.004, s.006\n1 more recovery slice is needed\n");
    writeFile(path("s.006"), bytes.substr(5 * kPiece));
    const auto repaired = cli({"repair", "s.001"});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_EQ(repaired.err, "Parvix: These cutted files are rebuilt：s.002, s.004\n");
    EXPECT_EQ(firstDifference(pieces("s"), bytes), std::string::npos);
    EXPECT_EQ(par2("verify -q s.par2"), 0);

    // Theirs: two slices to a piece, the last one short, and recovery in volumes of several sizes.
    ASSERT_EQ(std::system(("cd " + shellQuoted(data.path()) +
                           " && split -b 655360 -d -a 3 --numeric-suffixes=1 s.bin t. && par2 create -q -q -s327680 "
                           "-c6 t.par2 t.0* >/dev/null")
                              .c_str()),
              0);
    fs::remove(path("t.002"));
    damage("t.004");
    const auto joined = cli({"join", "-y", "t.out", "t.001"});
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_NE(joined.err.find("These cutted files are rebuilt：t.002, t.004\n"), std::string::npos) << joined.err;
    EXPECT_EQ(firstDifference(readFile(path("t.out")), bytes), std::string::npos);
    EXPECT_FALSE(fileExists(path("t.002"))) << "a join leaves the pieces as they are";
    EXPECT_EQ(cli({"repair", "t.001"}).status, 0);
    EXPECT_EQ(firstDifference(pieces("t"), bytes), std::string::npos);
    EXPECT_EQ(par2("verify -q t.par2"), 0);

    // Nothing to rebuild from, nor to check against.
    for (const auto& entry : fs::directory_iterator(data.path())) {
        if (entry.path().extension() == ".par2")
            fs::remove(entry.path());
    }
    EXPECT_EQ(cli({"repair", "t.001"}).status, 3);
}

// The sets that "split -d" numbers from zero, and sets whose base starts with a ".", are sets like any
// other: given their first piece, the whole set is joined and checked.
TEST_F(Cli, SetsNumberedFromZeroOrHiddenAreJoinedWhole)
{
    writeFile(path("x.000"), "ab");
    writeFile(path("x.001"), "cd");
    writeFile(path("x.002"), "e");
    writeFile(path("h.txt"), "123456789");
    ASSERT_EQ(cli({"cut", "--yes", "--kb", "0.0029296875", "h.txt", ".h$txt"}).status, 0);

    const auto zero = cli({"join", "--yes", "x", "x.000"});
    EXPECT_EQ(zero.status, 0) << zero.err;
    EXPECT_EQ(readFile(path("x")), "abcde");
    const auto hidden = cli({"join", "--yes", "h", ".h$txt.001"});
    EXPECT_EQ(hidden.status, 0) << hidden.err;
    EXPECT_EQ(readFile(path("h")), "123456789");
    EXPECT_EQ(cli({"verify", ".h$txt.001"}).status, 0);
}

// The progress line is for a terminal: under a pseudo-terminal a cut draws it, on a pipe nothing, and
// with --quiet neither it nor the question that --yes answers.
TEST_F(Cli, ProgressIsDrawnOnATerminalOnly)
{
    writeFile(path("big.bin"), "data");
    fs::resize_file(fs::path(path("big.bin")), 200 * 1024 * 1024);
    // script(1) runs it on a pseudo-terminal and copies what the terminal shows to its own output.
    auto onTerminal = [&](const std::vector<std::string>& arguments) {
        std::string command = shellQuoted(PARVIX_CLI_PATH);
        for (const auto& argument : arguments)
            command += " " + argument;
        const int status = std::system(("cd " + shellQuoted(data.path()) + " && script -qec " + shellQuoted(command) +
                                        " /dev/null </dev/null >" + shellQuoted(outFile) + " 2>&1")
                                           .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
        for (const auto& entry : fs::directory_iterator(data.path())) {
            if (entry.path().filename() != "big.bin")
                fs::remove(entry.path());
        }
        return readFile(outFile);
    };
    const std::vector<std::string> cut{"cut", "--yes", "-b", "10M", "big.bin", "big"};

    const std::string shown = onTerminal(cut);
    EXPECT_NE(shown.find("%  1.0 MiB of 200.0 MiB\033[K"), std::string::npos) << shown;
    EXPECT_NE(shown.find("big.020"), std::string::npos);

    std::vector<std::string> quiet = cut;
    quiet.insert(quiet.begin() + 1, "-q");
    EXPECT_EQ(onTerminal(quiet).substr(0, 30), "Parvix: big.bin is cutted comp");

    const auto pipe = cli(cut);
    EXPECT_EQ(pipe.status, 0);
    EXPECT_EQ(pipe.err,
              "Parvix: Are you sure ？The file big.bin will to be cutted!  \nParvix: big.bin" + kCompletionLines);
}

// Through pipes, as tar's output is cut and joined back into tar: one pass over what comes, the check
// file right though the length was known only at its end, and the joined bytes on standard output.
TEST_F(Cli, APipeIsCutAndJoinedBackInOnePass)
{
    const std::string bytes = patternBytes(3 * 1048576 + 5, 9);
    writeFile(output.file("tar"), bytes);
    // Through a pipe, not a file the shell hands over.
    const auto cut = cli({"cut", "-y", "-b", "1M", "-", "t$tar"}, "cat " + shellQuoted(output.file("tar")) + " | ", "");
    ASSERT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(cut.out, "./t$tar.001\n./t$tar.002\n./t$tar.003\n./t$tar.004\n./t.tar\n");
    EXPECT_EQ(readFile(path("t$tar.004")), bytes.substr(3 * 1048576));
    EXPECT_EQ(readFile(path("t$tar.crc")),
              "filename=t.tar\r\nsize=" + std::to_string(bytes.size()) + "\r\ncrc32=" + crcOf(bytes) + "\r\n");
    const auto joined = cli({"join", "-y", "-", "t$tar.001"});
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(joined.out.size(), bytes.size());
    EXPECT_EQ(firstDifference(joined.out, bytes), std::string::npos);
    // A damaged piece: its bytes still go out, nothing can mend them there, and the piece is named after them.
    writeFile(path("t$tar.002"), patternBytes(1048576, 10));
    const auto damaged = cli({"join", "-y", "-", "t$tar.001"});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.out.size(), bytes.size());
    EXPECT_NE(damaged.err.find("These cutted files are damaged：t$tar.002\nstandard output cannot take rebuilt"),
              std::string::npos)
        << damaged.err;
    // Nothing to cut: nothing written.
    const auto empty = cli({"cut", "-y", "-", "e"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_FALSE(fileExists(path("e.001")));
    // A set's first piece is what verify checks, never a stream.
    EXPECT_EQ(cli({"verify", "-"}).status, 1);
}

TEST_F(Cli, CutThenJoinGivesTheSourceBack)
{
    const std::string bytes = patternBytes(5000000, 3);
    writeFile(path("movie.avi"), bytes);
    fs::create_directory(path("pieces"));
    const std::string base = joinPath(path("pieces"), "movie$avi");

    const auto cut = cli({"cut", "--yes", path("movie.avi"), base});
    ASSERT_EQ(cut.status, 0) << cut.err;

    std::vector<std::string> lines;
    for (std::size_t start = 0; start < cut.out.size();) {
        const auto end = cut.out.find('\n', start);
        lines.push_back(cut.out.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.back(), joinPath(path("pieces"), "movie.avi"));
    std::vector<std::string> join{"join", "--yes", lines.back()};
    join.insert(join.end(), lines.begin(), lines.end() - 1);
    const auto joined = cli(join);
    ASSERT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(firstDifference(readFile(lines.back()), bytes), std::string::npos);
}

TEST_F(Cli, BareNamesAreInTheCurrentFolder)
{
    writeFile(path("s.bin"), patternBytes(2000));
    const auto cut = cli({"cut", "--yes", "--kb", "1", "s.bin", "s$bin"});
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(cut.out, "./s$bin.001\n./s$bin.002\n./s.bin\n");

    const auto join = cli({"join", "--yes", "joined", "s$bin.001", "s$bin.002"});
    EXPECT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(path("joined")), patternBytes(2000));
}

TEST_F(Cli, DoubleDashEndsTheOptions)
{
    writeFile(path("--yes"), patternBytes(2000));
    const auto run = cli({"cut", "--kb", "1", "--yes", "--", "--yes", "./p"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(path("p.002")));
}

TEST_F(Cli, AWrongCommandLineSaysWhatIsWrongAndWhereHelpIs)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"split"}, {"cut", "only-one"}, {"cut", "--bogus", "a", "b"}, {"cut", "a", "b", "--kb"}, {"join"}}) {
        SCOPED_TRACE(arguments.empty() ? "" : arguments.back());
        const auto run = cli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.substr(0, 12), "parvix-cli: ");
        EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), kTryHelp);
        EXPECT_EQ(run.out, "");
    }
    for (const char* help : {"--help", "-h"}) {
        const auto run = cli({"cut", help});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.substr(0, 26), "Usage: parvix-cli cut [-y]");
    }
    const auto version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "parvix-cli 1.53\n");
}

} // namespace
} // namespace parvix::test
