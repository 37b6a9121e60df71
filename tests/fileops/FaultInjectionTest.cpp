// Failures of the file system at every call of a cut and of a join, and of the kernel's copy part-way
// through a piece: the error path reports them through the table, closes every file, resets the window
// and keeps what was written; a copy the kernel refuses is made through the buffer instead.
#include "EngineTestSupport.h"

#include "Naming.h"

#include <algorithm>
#include <filesystem>

#ifdef __linux__
#include <cerrno>
#include <iostream>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Faults of the kernel's copy, below the file services: once armed, every call moves at most
// kKernelCopyStep bytes, so that a piece takes several calls, and call number `failAt` fails with
// `error`, part-way through its piece unless it is the piece's first.
struct KernelCopyFaults
{
    bool armed = false;
    int calls = 0;
    int failAt = 0;
    int error = 0;
};
KernelCopyFaults kernelCopyFaults;
constexpr std::size_t kKernelCopyStep = 16 * 1024;

} // namespace

// Takes the place of the C library's copy_file_range for the native file services in this program.
extern "C" ssize_t copy_file_range(int in, loff_t* inOffset, int out, loff_t* outOffset, size_t length,
                                   unsigned int flags) noexcept
{
    if (kernelCopyFaults.armed) {
        if (++kernelCopyFaults.calls == kernelCopyFaults.failAt) {
            errno = kernelCopyFaults.error;
            return -1;
        }
        length = std::min(length, kKernelCopyStep);
    }
    return ::syscall(SYS_copy_file_range, in, inOffset, out, outOffset, length, flags);
}
#endif

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

bool contains(const Requests& requests, const std::string& line)
{
    return std::find(requests.begin(), requests.end(), line) != requests.end();
}

Requests tail(const Requests& requests, std::size_t count)
{
    return Requests(requests.end() - static_cast<std::ptrdiff_t>(std::min(count, requests.size())), requests.end());
}

// The box that a failure with this number ends with, if any.
Requests errorBox(int number)
{
    if (number == 57)
        return {"box DiskError Tavrin: DiskI/0 error"};
    if (number == 61)
        return {"box DiskError Tavrin: The disk room is not enough"};
    return {};
}

// The outcome of a run, and how many files were still open when the engine returned (while it still
// exists, so that its own destruction cannot close what the error path forgot).
struct Ran
{
    OperationResult result;
    int openFiles;
};

// Calls of a run without failures, counted through a fresh injector.
template <typename Run> std::int64_t countCalls(bool kernelCopy, Run run)
{
    TempDir dir;
    auto native = makeNativeFileServices();
    FaultInjectingFileServices files(*native);
    files.allowKernelCopy(kernelCopy);
    RecordingWindow window;
    const Ran ran = run(dir, files, window);
    EXPECT_EQ(ran.result.outcome, Outcome::Completed);
    EXPECT_EQ(ran.openFiles, 0);
    EXPECT_FALSE(files.fired());
    // Without the kernel's copy every byte must pass through read and write, so their failures are covered.
    const auto& log = files.log();
    const bool buffered =
        std::any_of(log.begin(), log.end(), [](const std::string& call) { return call.rfind("read ", 0) == 0; });
    EXPECT_TRUE(kernelCopy || buffered) << "no read in the buffered run";
    return files.calls();
}

constexpr int kNumbers[] = {61, 75};

#ifdef __linux__
// Runs a fixture once for every call of the kernel's copy it makes, with that call failing with each
// error. A failure of the disk takes the error path with its number (checked by `check`); a copy that
// the kernel refuses part-way is redone through the buffer, and the run completes (`completed`).
template <typename Fixture, typename Check, typename Completed>
void forEveryFailingKernelCopy(Fixture fixture, Check check, Completed completed)
{
    struct Disarm
    {
        ~Disarm() { kernelCopyFaults = {}; }
    } disarm;
    kernelCopyFaults = {true, 0, 0, 0};
    countCalls(true, fixture);
    const int total = kernelCopyFaults.calls;
    if (total < 4) {
        // A file system without the kernel's copy refuses the first call of each piece: nothing to fail.
        std::cout << "[   NOTE   ] the kernel does not copy between files here\n";
        return;
    }

    const struct
    {
        int error;
        int number; // 0: the run completes
    } errors[] = {{EIO, 57}, {ENOSPC, 61}, {EXDEV, 0}, {EINVAL, 0}};
    for (const auto& e : errors) {
        for (int k = 1; k <= total; ++k) {
            SCOPED_TRACE("kernel copy " + std::to_string(k) + " of " + std::to_string(total) + " failing with errno " +
                         std::to_string(e.error));
            TempDir dir;
            auto native = makeNativeFileServices();
            FaultInjectingFileServices files(*native);
            RecordingWindow window;
            kernelCopyFaults = {true, 0, k, e.error};

            const auto [result, openFiles] = fixture(dir, files, window);

            EXPECT_GE(kernelCopyFaults.calls, k) << "the failing copy was not reached";
            EXPECT_EQ(openFiles, 0) << "files left open";
            if (e.number == 0) {
                EXPECT_EQ(result.outcome, Outcome::Completed);
                completed(dir, window);
                continue;
            }
            EXPECT_EQ(result.outcome, Outcome::Failed);
            ASSERT_TRUE(result.error.has_value());
            EXPECT_EQ(result.error->number(), e.number);
            check(dir, files, window, e.number);
        }
    }
}
#endif

// Runs a fixture once for every call it makes, with that call failing, for every number and with and
// without the kernel's copy; checks what every failure shares and hands the run to `check`. On Linux
// the kernel's copy then fails part-way through a piece, and a run that completes goes to `completed`.
template <typename Fixture, typename Check, typename Completed>
void forEveryFailingCall(std::int64_t moreThan, Fixture fixture, Check check, Completed completed)
{
#ifdef __linux__
    forEveryFailingKernelCopy(fixture, check, completed);
    if (::testing::Test::HasFatalFailure())
        return;
#else
    (void)completed;
#endif
    for (const bool kernelCopy : {true, false}) {
        const std::int64_t total = countCalls(kernelCopy, fixture);
        ASSERT_GT(total, moreThan);

        for (const int number : kNumbers) {
            for (std::int64_t k = 1; k <= total; ++k) {
                SCOPED_TRACE("failing call " + std::to_string(k) + " with " + std::to_string(number) +
                             (kernelCopy ? ", kernel copy" : ", buffered copy"));
                TempDir dir;
                auto native = makeNativeFileServices();
                FaultInjectingFileServices files(*native);
                files.allowKernelCopy(kernelCopy);
                RecordingWindow window;
                files.failCall(k, number);

                const auto [result, openFiles] = fixture(dir, files, window);

                ASSERT_TRUE(files.fired());
                SCOPED_TRACE("failed: " + files.log().back());
                EXPECT_EQ(result.outcome, Outcome::Failed);
                ASSERT_TRUE(result.error.has_value());
                EXPECT_EQ(result.error->number(), number);
                EXPECT_EQ(openFiles, 0) << "files left open by the error path";
                check(dir, files, window, number);
            }
        }
    }
}

// Pieces of 64 KiB, so that the kernel's copy takes the first two; the third is shorter.
constexpr std::size_t kCutPiece = 64 * 1024;

Ran cutFixture(TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window, std::string& bytes)
{
    bytes = patternBytes(2 * kCutPiece + 18928);
    writeFile(dir.file("s.bin"), bytes);
    fs::create_directory(dir.file("out"));
    window.joinList = {"/old.001"};
    window.text4 = "/old";
    SplitOperation split(window, files);
    const auto result = split.run(customSize(dir.file("s.bin"), joinPath(dir.file("out"), "s$bin"), "64"));
    return {result, files.openFiles()};
}

TEST(FaultInjection, EveryCallOfACutCanFail)
{
    std::string bytes;
    const auto piecesAreWhole = [&](TempDir& dir, const RecordingWindow& window) {
        for (std::size_t i = 0; i < window.joinList.size(); ++i) {
            EXPECT_EQ(window.joinList[i], piecePath(joinPath(dir.file("out"), "s$bin"), static_cast<int>(i) + 1));
            EXPECT_SAME_BYTES(readFile(window.joinList[i]), bytes.substr(i * kCutPiece, kCutPiece));
        }
    };
    forEveryFailingCall(
        15, [&](TempDir& d, FaultInjectingFileServices& f, RecordingWindow& w) { return cutFixture(d, f, w, bytes); },
        [&](TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window, int number) {
            Requests expectedTail = errorBox(number);
            for (const char* line : {"tab 0", "value 0", "hide", "pointer Default"})
                expectedTail.push_back(line);
            EXPECT_EQ(tail(window.requests(), expectedTail.size()), expectedTail);
            EXPECT_EQ(window.boxes().size(), errorBox(number).size() + (contains(window.requests(), "clear") ? 1 : 0))
                << "the confirmation and the error box, nothing else";
            EXPECT_EQ(window.tab, 0);
            EXPECT_EQ(window.pointer, Pointer::Default);
            EXPECT_FALSE(window.progressShown);

            // The pieces written so far stay on disk and in the list; the list is only touched once cutting began.
            if (contains(window.requests(), "clear"))
                piecesAreWhole(dir, window);
            else
                EXPECT_EQ(window.joinList, std::vector<std::string>{"/old.001"});
            // Text4 changes only once all pieces are written and the source is closed; Link.bat is the last
            // thing written.
            const bool proposed = files.log().back().rfind("writeTextLines ", 0) == 0;
            EXPECT_EQ(window.text4, proposed ? joinPath(dir.file("out"), "s.bin") : "/old");
            EXPECT_EQ(contains(window.requests(), "text4 " + joinPath(dir.file("out"), "s.bin")), proposed);
            EXPECT_FALSE(fileExists(joinPath(dir.file("out"), "Link.bat")));
            EXPECT_EQ(readFile(dir.file("s.bin")), bytes);
        },
        [&](TempDir& dir, const RecordingWindow& window) {
            EXPECT_EQ(window.joinList.size(), 3u);
            piecesAreWhole(dir, window);
            EXPECT_TRUE(fileExists(joinPath(dir.file("out"), "Link.bat")));
        });
}

Ran joinFixture(TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window,
                std::vector<std::string>& contents)
{
    // The first two pieces are long enough for the kernel's copy.
    const std::string bytes = patternBytes(70000 + 65536 + 30000);
    contents = {bytes.substr(0, 70000), bytes.substr(70000, 65536), "", bytes.substr(135536)};
    window.joinList.clear();
    for (std::size_t i = 0; i < contents.size(); ++i) {
        window.joinList.push_back(dir.file("p.00" + std::to_string(i + 1)));
        writeFile(window.joinList.back(), contents[i]);
    }
    window.text4 = " " + dir.file("out.bin");
    JoinOperation join(window, files);
    const auto result = join.run(window.text4);
    return {result, files.openFiles()};
}

TEST(FaultInjection, EveryCallOfAJoinCanFail)
{
    std::vector<std::string> contents;
    forEveryFailingCall(
        12,
        [&](TempDir& d, FaultInjectingFileServices& f, RecordingWindow& w) { return joinFixture(d, f, w, contents); },
        [&](TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window, int number) {
            Requests expectedTail = errorBox(number);
            for (const char* line : {"pointer Default", "value 0", "hide"})
                expectedTail.push_back(line);
            EXPECT_EQ(tail(window.requests(), expectedTail.size()), expectedTail);
            for (const auto& line : window.requests())
                EXPECT_NE(line.rfind("tab ", 0), 0u) << "a join selects no tab";
            EXPECT_EQ(window.pointer, Pointer::Default);
            EXPECT_FALSE(window.progressShown);
            EXPECT_EQ(window.joinList.size(), 4u);

            // The destination holds exactly the pieces whose write completed.
            const std::string destination = dir.file("out.bin");
            if (!contains(window.requests(), "show")) {
                EXPECT_FALSE(fileExists(destination));
                return;
            }
            std::string written;
            std::size_t piece = 0;
            for (const auto& call : files.log()) {
                while (piece < contents.size() && contents[piece].empty())
                    ++piece;
                if (call == "write " + destination || call == "copyRange " + destination + " done")
                    written += contents.at(piece++);
            }
            std::string now = fileExists(destination) ? readFile(destination) : std::string();
            // The kernel's copy that failed part-way leaves the start of its piece behind the others.
            if (files.log().back() == "copyRange " + destination && now.size() > written.size()) {
                const std::string part = now.substr(written.size());
                EXPECT_EQ(part, contents.at(piece).substr(0, part.size()));
                now.resize(written.size());
            }
            EXPECT_SAME_BYTES(now, written);
        },
        [&](TempDir& dir, const RecordingWindow&) {
            EXPECT_SAME_BYTES(readFile(dir.file("out.bin")), contents[0] + contents[1] + contents[3]);
        });
}

// The error paths close a file by destroying it, after close() may have closed it already: both must give
// its descriptor back to the system, and the second close must do nothing.
TEST(File, ClosingTwiceAndDestroyingReleaseTheDescriptor)
{
    TempDir dir;
    const auto files = makeNativeFileServices();
    const std::string path = dir.file("f.bin");
    writeFile(path, "bytes");
    using Open = std::unique_ptr<File> (FileServices::*)(const std::string&);
    for (const Open open : {&FileServices::openRead, &FileServices::openReadWrite, &FileServices::createReplace}) {
        for (const bool closeFirst : {false, true}) {
            const int before = openDescriptors();
            {
                const auto file = (*files.*open)(path);
                EXPECT_EQ(openDescriptors(), before + 1);
                if (closeFirst) {
                    file->close();
                    EXPECT_EQ(openDescriptors(), before);
                    EXPECT_NO_THROW(file->close());
                }
            }
            EXPECT_EQ(openDescriptors(), before);
        }
    }
}

#ifndef _WIN32
// A real failure while cutting: piece 2 is a link into a folder that does not exist, so it cannot be
// created. The earlier piece stays.
TEST(FaultInjection, APieceThatCannotBeCreatedKeepsTheEarlierPieces)
{
    TempDir dir;
    auto files = makeNativeFileServices();
    RecordingWindow window;
    const std::string bytes = patternBytes(3000);
    writeFile(dir.file("s.bin"), bytes);
    fs::create_symlink(dir.file("gone/s.002"), dir.file("s$bin.002"));

    SplitOperation split(window, *files);
    const auto result = split.run(customSize(dir.file("s.bin"), dir.file("s$bin"), "1"));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.requests(), (Requests{splitConfirmation(dir.file("s.bin")), "clear", "pointer Hourglass", "max 2",
                                           "value 0", "show", "value 0", "append " + dir.file("s$bin.001"), "value 1",
                                           "box DiskError Tavrin: The file cann't to be written!", "tab 0", "value 0",
                                           "hide", "pointer Default"}));
    EXPECT_EQ(readFile(dir.file("s$bin.001")), bytes.substr(0, 1024));
    EXPECT_FALSE(fileExists(dir.file("Link.bat")));
}

TEST(FaultInjection, AFullDiskWhileJoining)
{
    TempDir dir;
    auto files = makeNativeFileServices();
    RecordingWindow window;
    writeFile(dir.file("a.001"), "first");
    writeFile(dir.file("a.002"), "second");
    window.joinList = {dir.file("a.001"), dir.file("a.002")};
    fs::create_symlink("/dev/full", dir.file("a"));

    JoinOperation join(window, *files);
    const auto result = join.run(dir.file("a"));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.requests(),
              (Requests{joinConfirmation(dir.file("a")), "pointer Hourglass", "max 1", "value 0", "show", "value 0",
                        "box DiskError Tavrin: The disk room is not enough", "pointer Default", "value 0", "hide"}));
}
#endif

} // namespace
} // namespace parvix::test
