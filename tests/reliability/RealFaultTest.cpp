// Faults the machine really produces: a full disk, a read-only disk, missing permissions, a source
// that shrinks or goes away during a cut, a piece that goes away before a join, too many open files.
#include "FaultInjectingFileServices.h"
#include "ReliabilitySupport.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The error the next wait for written bytes meets, as the system reports a write that failed on its way
// to the device: once, to the first wait for it, and to no later flush of the file.
std::atomic<int> g_nextWaitFails{0};
// The file whose wait was failed.
std::atomic<ino_t> g_failedFile{0};

extern "C" int sync_file_range(int fd, off64_t offset, off64_t count, unsigned int flags)
{
    const auto result = ::syscall(SYS_sync_file_range, fd, offset, count, flags);
    if (result == 0 && (flags & SYNC_FILE_RANGE_WAIT_AFTER) != 0) {
        if (const int error = g_nextWaitFails.exchange(0); error != 0) {
            struct stat st {};
            ::fstat(fd, &st);
            g_failedFile = st.st_ino;
            errno = error;
            return -1;
        }
    }
    return static_cast<int>(result);
}

namespace parvix::test {
namespace {

constexpr std::size_t kPiece = 20 * 1024; // "--kb 20"

const std::string kCli = PARVIX_CLI_PATH;

// What a console user sees of a box: "TITLE: text", one per line.
std::string consoleLine(const std::string& box)
{
    const auto colon = box.find(' ', 4);
    return box.substr(colon + 1) + "\n";
}

// The names below a folder, without reading a gigabyte of content.
std::set<std::string> snapshotTreeNames(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::uintmax_t fileSize(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

void expectPiecesAreSlicesOf(const std::vector<std::string>& pieces, const std::string& bytes, std::size_t size)
{
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(readFile(pieces[i]), bytes.substr(i * size, size)) << pieces[i];
}

// Real file services that do something to the disk just before the `trigger`-th piece (or Link.bat)
// is created: the fault then meets the native code exactly as it would in use.
class TriggeringFileServices : public FaultInjectingFileServices
{
public:
    TriggeringFileServices(int trigger, std::function<void()> action)
    {
        onCreate = [this, trigger, action = std::move(action)] {
            if (++m_creates == trigger)
                action();
        };
    }

private:
    int m_creates = 0;
};

class RealFault : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = dir.file("movie.avi");
        bytes = patternBytes(200000);
        writeFile(source, bytes);
    }

    TempDir dir;
    std::string source;
    std::string bytes;
    std::unique_ptr<FileServices> files = makeNativeFileServices();
    RecordingWindow window;
};

// A cut or a join that the disk has no room for is refused before a byte is written: an earlier file
// under the joined name keeps its bytes, and nothing is left behind.
TEST_F(RealFault, AFullDiskIsFoundBeforeAnythingIsWritten)
{
    REQUIRE_MOUNTS();
    TmpfsMount disk(dir.file("disk"), "size=64k");
    const std::string earlier = patternBytes(20000, 9);
    writeFile(joinPath(disk.path(), "movie.avi"), earlier);
    const auto before = snapshotTree(disk.path());
    window.joinList = {"/earlier/entry.001"};

    const auto cut = runCut(window, *files, source, joinPath(disk.path(), "movie$avi"), "20");

    expectCutFailed(cut, window, kDiskFullBox);
    EXPECT_EQ(window.joinList, std::vector<std::string>{"/earlier/entry.001"});

    RecordingWindow joinWindow;
    joinWindow.tab = kJoinTab;
    for (int i = 0; i < 3; ++i) {
        joinWindow.joinList.push_back(dir.file("part" + std::to_string(i)));
        writeFile(joinWindow.joinList.back(), bytes.substr(static_cast<std::size_t>(i) * 30000, 30000));
    }
    joinWindow.answer({Button::Yes, Button::Yes});
    const auto join = runJoin(joinWindow, *files, joinPath(disk.path(), "movie.avi"));

    expectJoinFailed(join, joinWindow, kDiskFullBox, kJoinTab);
    EXPECT_EQ(snapshotTree(disk.path()), before);

    // The console says the same, and lists nothing.
    const auto run = runProgram({kCli, "cut", "--yes", "--kb", "20", source, joinPath(disk.path(), "movie$avi")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("Parvix: Are you sure ？The file " + source + " will to be cutted!  \n" +
                                consoleLine(kDiskFullBox) + "parvix-cli: " + disk.path() + ": not enough room: ",
                            0),
              0u)
        << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshotTree(disk.path()), before);
}

// Another program fills the disk while piece 2 is written: piece 1 stays whole, and no part of piece 2
// is left under any name to pass for a whole piece.
TEST_F(RealFault, ADiskThatFillsWhileCuttingKeepsOnlyWholePieces)
{
    REQUIRE_MOUNTS();
    TmpfsMount disk(dir.file("disk"), "size=1m");
    const std::string filler = joinPath(disk.path(), "filler");
    TriggeringFileServices services(2, [&] {
        struct statvfs st;
        ASSERT_EQ(::statvfs(disk.path().c_str(), &st), 0);
        writeFile(filler, std::string(st.f_bavail * st.f_frsize - 8192, 'f'));
    });
    const std::string base = joinPath(disk.path(), "movie$avi");

    const auto result = runCut(window, services, source, base, "20");

    expectCutFailed(result, window, kDiskFullBox);
    ASSERT_EQ(window.joinList, std::vector<std::string>{base + ".001"});
    EXPECT_EQ(readFile(base + ".001"), bytes.substr(0, kPiece));
    EXPECT_EQ(snapshotTreeNames(disk.path()), (std::set<std::string>{"filler", "movie$avi.001"}));
}

// A piece the device failed to write, found while the cut waits for its oldest pieces, fails the cut:
// the flush at the end would not hear of it again. Its bytes lie under no name, nor does an earlier piece
// pass for it; the pieces kept are whole.
TEST_F(RealFault, AWriteTheDeviceFailedFailsTheCut)
{
    writeFile(dir.file("movie$avi.001"), "an earlier cut's piece");
    g_nextWaitFails = EIO;
    const auto result = runCut(window, *files, source, dir.file("movie$avi"), "1");
    const int unused = g_nextWaitFails.exchange(0);

    EXPECT_EQ(unused, 0) << "the cut never waited for its pieces";
    expectCutFailed(result, window, kDiskIoBox);
    ASSERT_FALSE(window.joinList.empty());
    EXPECT_NE(window.joinList.front(), dir.file("movie$avi.001"));
    for (const auto& piece : window.joinList) {
        struct stat st {};
        ASSERT_EQ(::stat(piece.c_str(), &st), 0) << piece;
        EXPECT_NE(st.st_ino, g_failedFile.load()) << piece;
        const auto number = static_cast<std::size_t>(std::stoi(piece.substr(piece.rfind('.') + 1)));
        EXPECT_EQ(readFile(piece), bytes.substr((number - 1) * 1024, 1024)) << piece;
    }
    EXPECT_EQ(snapshotTreeNames(dir.path()).size(), window.joinList.size() + 1) << "the source and the pieces listed";
}

TEST_F(RealFault, NoFreeFileEntryWhileCuttingKeepsTheEarlierPieces)
{
    REQUIRE_MOUNTS();
    // Room for the folder itself and two files.
    TmpfsMount disk(dir.file("disk"), "size=1m,nr_inodes=3");

    const auto result = runCut(window, *files, source, joinPath(disk.path(), "movie$avi"), "20");

    expectCutFailed(result, window, kDiskFullBox);
    ASSERT_EQ(window.joinList.size(), 2u);
    expectPiecesAreSlicesOf(window.joinList, bytes, kPiece);
}

TEST_F(RealFault, ReadOnlyDiskRefusesCutAndJoin)
{
    REQUIRE_MOUNTS();
    TmpfsMount disk(dir.file("disk"), "size=1m");
    writeFile(joinPath(disk.path(), "movie.avi.001"), "earlier piece");
    disk.remountReadOnly();
    const auto before = snapshotTree(disk.path());
    window.joinList = {"/earlier/entry.001"};

    const auto cut = runCut(window, *files, source, joinPath(disk.path(), "movie$avi"), "20");

    expectCutFailed(cut, window, kProtectedBox);
    EXPECT_TRUE(window.joinList.empty()); // cleared once the cut began

    RecordingWindow joinWindow;
    joinWindow.tab = kJoinTab;
    joinWindow.joinList = {source};
    const auto join = runJoin(joinWindow, *files, joinPath(disk.path(), "movie.avi.001"));

    expectJoinFailed(join, joinWindow, kProtectedBox, kJoinTab);
    EXPECT_EQ(snapshotTree(disk.path()), before);

    // The console says the same, and which file failed, and why.
    const auto run = runProgram({kCli, "join", "--yes", joinPath(disk.path(), "new.avi"), source});
    EXPECT_EQ(run.status, 2);
    const auto lines = linesOf(run.err);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Tavrin: Disk is protected or file is protected");
    EXPECT_EQ(lines.back(), "parvix-cli: " + joinPath(disk.path(), "new.avi") + ": Read-only file system");
}

// Each case runs parvix-cli as the user nobody against files that only root may touch.
struct PermissionCase
{
    const char* name;
    // The file the console's second line names, in the folder.
    const char* failed;
    // Prepares the folder (owned by root) and returns the console's arguments.
    std::function<std::vector<std::string>(const std::string& folder, const std::string& bytes)> prepare;
    // What must hold afterwards (besides the message): nothing more when empty.
    std::function<void(const std::string& folder, const std::string& bytes)> check;
};

std::string inFolder(const std::string& folder, const std::string& name)
{
    return joinPath(folder, name);
}

void makePrivate(const std::string& path)
{
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    ASSERT_EQ(::chmod(path.c_str(), S_ISDIR(st.st_mode) ? 0700 : 0600), 0);
}

const PermissionCase kPermissionCases[] = {
    {"unreadable source", "src.bin",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "src.bin"), bytes);
         makePrivate(inFolder(folder, "src.bin"));
         return std::vector<std::string>{
             "cut", "--yes", "--kb", "20", inFolder(folder, "src.bin"), inFolder(folder, "out/src$bin")};
     },
     [](const std::string& folder, const std::string&) {
         EXPECT_FALSE(fileExists(inFolder(folder, "out/src$bin.001")));
     }},
    {"source in a folder nobody may enter",
     "private/src.bin",
     [](const std::string& folder, const std::string& bytes) {
         ::mkdir(inFolder(folder, "private").c_str(), 0700);
         writeFile(inFolder(folder, "private/src.bin"), bytes);
         return std::vector<std::string>{"cut", "--yes", inFolder(folder, "private/src.bin"),
                                         inFolder(folder, "out/src$bin")};
     },
     {}},
    {"destination folder not writable", "out/src$bin.001",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "src.bin"), bytes);
         openToEveryone(inFolder(folder, "src.bin"));
         ::chmod(inFolder(folder, "out").c_str(), 0755);
         return std::vector<std::string>{
             "cut", "--yes", "--kb", "20", inFolder(folder, "src.bin"), inFolder(folder, "out/src$bin")};
     },
     [](const std::string& folder, const std::string&) {
         EXPECT_FALSE(fileExists(inFolder(folder, "out/src$bin.001")));
     }},
    {"join destination folder not writable", "out/a",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "a.001"), bytes);
         ::chmod(inFolder(folder, "out").c_str(), 0755);
         return std::vector<std::string>{"join", "--yes", inFolder(folder, "out/a"), inFolder(folder, "a.001")};
     },
     [](const std::string& folder, const std::string&) { EXPECT_FALSE(fileExists(inFolder(folder, "out/a"))); }},
    {"unreadable second piece", "a.002",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "a.001"), bytes.substr(0, 1000));
         writeFile(inFolder(folder, "a.002"), bytes.substr(1000));
         makePrivate(inFolder(folder, "a.002"));
         return std::vector<std::string>{"join", "--yes", inFolder(folder, "out/a"), inFolder(folder, "a.001"),
                                         inFolder(folder, "a.002")};
     },
     [](const std::string& folder, const std::string&) {
         // Every piece is tried before anything is written.
         EXPECT_FALSE(fileExists(inFolder(folder, "out/a")));
     }},
    {"read-only existing destination", "out/a",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "a.001"), bytes);
         writeFile(inFolder(folder, "out/a"), "keep me");
         return std::vector<std::string>{"join", "--yes", inFolder(folder, "out/a"), inFolder(folder, "a.001")};
     },
     [](const std::string& folder, const std::string&) { EXPECT_EQ(readFile(inFolder(folder, "out/a")), "keep me"); }},
    // A check file only its owner may read: no crash, the one error path, and nothing written.
    {"unreadable check file, join", "s.crc",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "s.001"), bytes);
         writeFile(inFolder(folder, "s.crc"), "filename=s\r\nsize=50000\r\ncrc32=0\r\n");
         makePrivate(inFolder(folder, "s.crc"));
         return std::vector<std::string>{"join", "--yes", inFolder(folder, "out/s"), inFolder(folder, "s.001")};
     },
     [](const std::string& folder, const std::string&) { EXPECT_FALSE(fileExists(inFolder(folder, "out/s"))); }},
    {"unreadable check file, verify",
     "s.crc",
     [](const std::string& folder, const std::string& bytes) {
         writeFile(inFolder(folder, "s.001"), bytes);
         writeFile(inFolder(folder, "s.crc"), "filename=s\r\nsize=50000\r\ncrc32=0\r\n");
         makePrivate(inFolder(folder, "s.crc"));
         return std::vector<std::string>{"verify", inFolder(folder, "s.001")};
     },
     {}},
};

TEST(RealFaultPermission, PermissionDeniedShowsTheProtectedMessage)
{
    for (const auto& c : kPermissionCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ::mkdir(joinPath(dir.path(), "out").c_str(), 0777);
        ::chmod(joinPath(dir.path(), "out").c_str(), 0777); // past the umask: nobody may write here
        const std::string bytes = patternBytes(50000);
        auto arguments = c.prepare(dir.path(), bytes);
        arguments.insert(arguments.begin(), kCli);
        const auto before = snapshotTree(dir.path());

        const auto run = runProgram(arguments, {.asNobody = true, .maxOpenFiles = 0, .workingDirectory = {}});

        EXPECT_EQ(run.status, 2) << run.err;
        const auto lines = linesOf(run.err);
        ASSERT_GE(lines.size(), 2u) << run.err;
        EXPECT_EQ(lines[lines.size() - 2], "Tavrin: Disk is protected or file is protected");
        EXPECT_EQ(lines.back(), "parvix-cli: " + inFolder(dir.path(), c.failed) + ": Permission denied");
        if (c.check)
            c.check(dir.path(), bytes);
        // Only what the operation writes may have changed: nothing of what was there before.
        auto after = snapshotTree(dir.path());
        for (const auto& [name, content] : before) {
            if (name.rfind("out", 0) != 0) {
                EXPECT_EQ(after[name], content) << name;
            }
        }
    }
}

TEST(RealFaultPermission, AddOfASetInAFolderNobodyMayListShowsTheProtectedMessage)
{
    TempDir dir;
    const std::string folder = dir.file("pieces");
    ::mkdir(folder.c_str(), 0711); // nobody may enter it but not list it
    ::chmod(folder.c_str(), 0711);
    writeFile(joinPath(folder, "a$b.001"), "one");
    writeFile(joinPath(folder, "a$b.002"), "two");

    const std::string requests = runAsNobody([&] {
        RecordingWindow window;
        window.tab = kJoinTab;
        window.joinList = {"/earlier/x"};
        auto files = makeNativeFileServices();
        const auto result = runAdd(window, *files, joinPath(folder, "a$b.001"));
        std::string text = result.outcome == Outcome::Failed ? "failed\n" : "not failed\n";
        for (const auto& line : window.requests())
            text += line + "\n";
        text += "list " + std::to_string(window.joinList.size()) + " text4 " + window.text4;
        return text;
    });

    EXPECT_EQ(requests, "failed\n" + kProtectedBox + "\nlist 1 text4 ");
}

// The native read fails at the source's new end; the piece being cut gets no invented bytes.
TEST_F(RealFault, SourceTruncatedDuringTheCutFailsTheRead)
{
    for (const bool kernelCopy : {true, false}) {
        for (const std::size_t newLength : {std::size_t{0}, kPiece, kPiece + 7000}) {
            SCOPED_TRACE(std::string(kernelCopy ? "kernel copy, " : "buffered, ") + "truncated to " +
                         std::to_string(newLength));
            TempDir out;
            writeFile(source, bytes);
            RecordingWindow cutWindow;
            TriggeringFileServices services(2, [&] { ASSERT_EQ(::truncate(source.c_str(), newLength), 0); });
            services.allowKernelCopy(kernelCopy);
            const std::string base = out.file("movie$avi");

            const auto result = runCut(cutWindow, services, source, base, "20");

            expectCutFailed(result, cutWindow, kDiskIoBox);
            ASSERT_EQ(cutWindow.joinList.size(), 1u);
            EXPECT_EQ(readFile(base + ".001"), bytes.substr(0, kPiece));
            // No part of the second piece is left, under its name or any other, to pass for a whole one.
            EXPECT_EQ(snapshotTree(out.path()).size(), 1u);
        }
    }
}

TEST_F(RealFault, SourceRemovedDuringTheCutIsStillCutWhole)
{
    // The open source stays readable after its name is gone.
    TempDir out;
    TriggeringFileServices services(3, [&] { ASSERT_EQ(::unlink(source.c_str()), 0); });
    const std::string base = out.file("movie$avi");

    const auto result = runCut(window, services, source, base, "20");

    EXPECT_EQ(result.outcome, Outcome::Completed);
    ASSERT_EQ(window.joinList.size(), 10u);
    expectPiecesAreSlicesOf(window.joinList, bytes, kPiece);
    EXPECT_EQ(concatenated(window.joinList), bytes);
}

TEST_F(RealFault, SourceGrowingDuringTheCutIsCutAtItsEarlierLength)
{
    // The length is taken once, before the cut: bytes appended meanwhile are not half taken.
    TempDir out;
    TriggeringFileServices services(2, [&] {
        std::FILE* file = std::fopen(source.c_str(), "ab");
        ASSERT_NE(file, nullptr);
        std::fputs("appended during the cut", file);
        std::fclose(file);
    });
    const std::string base = out.file("movie$avi");

    const auto result = runCut(window, services, source, base, "20");

    EXPECT_EQ(result.outcome, Outcome::Completed);
    ASSERT_EQ(window.joinList.size(), 10u);
    EXPECT_EQ(concatenated(window.joinList), bytes);
}

TEST_F(RealFault, PieceRemovedBetweenAddAndJoin)
{
    TempDir out;
    const std::string base = out.file("movie$avi");
    ASSERT_EQ(runCut(window, *files, source, base, "20").outcome, Outcome::Completed);
    // A set without an index, whose missing piece nothing can rebuild: reading it fails.
    ASSERT_EQ(::unlink((base + ".par2").c_str()), 0);

    RecordingWindow joinWindow;
    joinWindow.tab = kJoinTab;
    ASSERT_EQ(runAdd(joinWindow, *files, base + ".001").outcome, Outcome::Completed);
    ASSERT_EQ(joinWindow.joinList.size(), 10u);
    ASSERT_EQ(::unlink((base + ".003").c_str()), 0);
    const std::string destination = out.file("joined.avi");

    const auto result = runJoin(joinWindow, *files, destination);

    expectJoinFailed(result, joinWindow, kNotWrittenBox, kJoinTab);
    EXPECT_FALSE(fileExists(destination));
    EXPECT_EQ(joinWindow.joinList.size(), 10u); // the list stays as it was

    // On the console.
    const auto run = runProgram({kCli, "join", "--yes", out.file("again.avi"), base + ".002", base + ".003"});
    EXPECT_EQ(run.status, 2);
    const auto lines = linesOf(run.err);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Tavrin: The file cann't to be written!");
    EXPECT_EQ(lines.back(), "parvix-cli: " + base + ".003: No such file or directory");
    EXPECT_FALSE(fileExists(out.file("again.avi")));
}

TEST_F(RealFault, PieceReplacedByAFolderEndsTheJoinAsAProtectedFile)
{
    TempDir out;
    writeFile(out.file("a.001"), "first");
    ASSERT_EQ(::mkdir(out.file("a.002").c_str(), 0755), 0);
    window.tab = kJoinTab;
    window.joinList = {out.file("a.001"), out.file("a.002")};
    const std::string destination = out.file("a");

    const auto result = runJoin(window, *files, destination);

    expectJoinFailed(result, window, "box DiskError Tavrin: Disk is protected or file is protected", kJoinTab);
    EXPECT_FALSE(fileExists(destination));
}

// SIGTERM (as Ctrl+C) stops a cut inside its one piece of a gigabyte, and a join, within half a second:
// the cut keeps no half piece and writes no Link.bat, the join leaves its destination as it was.
TEST_F(RealFault, ASignalStopsTheWorkWithinHalfASecond)
{
    TempDir out;
    // Allocated, not written: a gigabyte on the disk at once, which the kernel still copies byte for byte.
    const auto allocate = [](const std::string& path, off_t size) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::posix_fallocate(fd, 0, size), 0);
        ::close(fd);
    };
    allocate(out.file("big.bin"), off_t{1} << 30);
    allocate(out.file("a.001"), off_t{1} << 29);
    allocate(out.file("a.002"), off_t{1} << 29);
    writeFile(out.file("joined.bin"), "an earlier file");
    const auto before = snapshotTreeNames(out.path());
    // Waits until `written` shows up with some bytes in it, then stops the program and times its end.
    double seconds = 0;
    const auto stopOnce = [&](const std::function<bool()>& written) {
        return [&, written](int pid) {
            for (int i = 0; i < 2000 && !written(); ++i)
                ::usleep(1000);
            const auto start = std::chrono::steady_clock::now();
            ::kill(pid, SIGTERM);
            int status = 0;
            ::waitpid(pid, &status, WNOWAIT | WEXITED);
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
    };
#ifdef PARVIX_SANITIZED
    const double limit = 2.0;
#else
    const double limit = 0.5;
#endif

    const auto cut = runProgram({kCli, "cut", "--yes", "--kb", "1048576", out.file("big.bin"), out.file("big$bin")},
                                {.whileRunning = stopOnce([&] { return snapshotTreeNames(out.path()) != before; })});
    EXPECT_EQ(cut.status, 130) << cut.err;
    EXPECT_LT(seconds, limit);
    EXPECT_EQ(linesOf(cut.err).back(), "No cutted file is kept");
    EXPECT_EQ(snapshotTreeNames(out.path()), before);

    const auto join = runProgram({kCli, "join", "--yes", out.file("joined.bin"), out.file("a.001")},
                                 {.whileRunning = stopOnce([&] { return snapshotTreeNames(out.path()) != before; })});
    EXPECT_EQ(join.status, 130) << join.err;
    EXPECT_LT(seconds, limit);
    EXPECT_EQ(linesOf(join.err).back(), out.file("joined.bin") + " is not changed");
    EXPECT_EQ(readFile(out.file("joined.bin")), "an earlier file");
    EXPECT_EQ(snapshotTreeNames(out.path()), before);
}

// A cut killed outright (or a power cut) leaves its whole pieces under their names and the one it was
// writing under a temporary name only, which the next cut into that folder takes away.
TEST_F(RealFault, AKilledCutLeavesNoPartOfAPieceUnderItsName)
{
    TempDir out;
    const int fd = ::open(out.file("big.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::posix_fallocate(fd, 0, off_t{1} << 30), 0);
    ::close(fd);
    constexpr std::int64_t kBig = 64 * 1024 * 1024;

    const auto cut = runProgram({kCli, "cut", "--yes", "--kb", "65536", out.file("big.bin"), out.file("big$bin")},
                                {.whileRunning = [&](int pid) {
                                    for (int i = 0; i < 20000 && !fileExists(out.file("big$bin.002")); ++i)
                                        ::usleep(1000);
                                    ::kill(pid, SIGKILL);
                                }});
    EXPECT_EQ(cut.status, 128 + SIGKILL);

    std::set<std::string> temporary;
    for (const auto& name : snapshotTreeNames(out.path())) {
        if (name == "big.bin")
            continue;
        if (name.rfind("big$bin.", 0) == 0)
            EXPECT_EQ(fileSize(out.file(name)), kBig) << name << " is no whole piece";
        else
            temporary.insert(name);
    }
    EXPECT_FALSE(temporary.empty()) << "the piece that was being written";

    writeFile(out.file("small.bin"), "small");
    ASSERT_EQ(runProgram({kCli, "cut", "--yes", "--kb", "0.001", out.file("small.bin"), out.file("small$bin")}).status,
              0);
    for (const auto& name : temporary)
        EXPECT_FALSE(fileExists(out.file(name))) << name << " is left behind";
}

TEST_F(RealFault, TooManyOpenFilesEndsTheCutWithTheSystemsWords)
{
    // With room for one more file only, the source opens and its first piece cannot. The table has no
    // entry for it; the console adds the system's description.
#ifdef PARVIX_SANITIZED
    GTEST_SKIP() << "the sanitizer runtime in parvix-cli needs file descriptors of its own";
#endif
    TempDir out;
    const auto run = runProgram({kCli, "cut", "--yes", "--kb", "20", source, out.file("movie$avi")},
                                {.asNobody = false, .maxOpenFiles = 4, .workingDirectory = {}});

    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.err.find("Tavrin:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Too many open files"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(source), bytes);
}

} // namespace
} // namespace parvix::test
