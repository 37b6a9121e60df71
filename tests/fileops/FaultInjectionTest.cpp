// Failures of the file system at every call of a cut, a join and an "Add", with each number of the
// disk-error table and one without an entry, and of the kernel's copy part-way through a piece: the
// error path shows the right box or none, gives back every descriptor, resets the window and changes
// nothing on disk but what the operation had written; a copy the kernel refuses is made through the
// buffer instead.
#include "EngineTestSupport.h"

#include "CheckFile.h"
#include "Crc32.h"
#include "JoinListAdd.h"
#include "Naming.h"
#include "StopRequest.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <set>

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

using Call = FaultInjectingFileServices::Call;

bool contains(const Requests& requests, const std::string& line)
{
    return std::find(requests.begin(), requests.end(), line) != requests.end();
}

Requests tail(const Requests& requests, std::size_t count)
{
    return Requests(requests.end() - static_cast<std::ptrdiff_t>(std::min(count, requests.size())), requests.end());
}

// The table's numbers with the box each shows, and 75, which has no entry.
const std::map<int, std::string> kExpectedBoxes = {
    {52, "box DiskError Tavrin: The specify drive cann't to be used\r\rNo disk in the drive"},
    {53, "box DiskError Tavrin: The file cann't to be written!"},
    {57, "box DiskError Tavrin: DiskI/0 error"},
    {61, "box DiskError Tavrin: The disk room is not enough"},
    {68, "box DiskError Tavrin: The specify drive cann't to be used\r\rNo disk in the drive"},
    {70, "box DiskError Tavrin: Disk is protected or file is protected"},
    {71, "box DiskError Tavrin: Disk error"},
    {75, ""},
};

const std::vector<int> kAllNumbers = {52, 53, 57, 61, 68, 70, 71, 75};
// One number with a box and one without, for the scenarios whose many calls are about where the bytes go.
const std::vector<int> kTwoNumbers = {61, 75};

// The box that a failure with this number ends with, if any.
Requests errorBox(int number)
{
    const std::string& box = kExpectedBoxes.at(number);
    return box.empty() ? Requests{} : Requests{box};
}

// A path below the test folder, written with "/".
std::string at(const TempDir& dir, const std::string& relative)
{
    return dir.file(nativePath(relative));
}

// The outcome of a run, and what was still open when the engine returned (while it still exists, so
// that its own destruction cannot close what the error path forgot): wrapped files, and descriptors
// counted by the system.
struct Ran
{
    OperationResult result;
    int openFiles;
    int openDescriptors;
};

template <typename Engine, typename... Inputs>
Ran runEngine(FaultInjectingFileServices& files, RecordingWindow& window, const Inputs&... inputs)
{
    const int before = openDescriptors();
    Engine engine(window, files);
    const OperationResult result = engine.run(inputs...);
    return {result, files.openFiles(), openDescriptors() - before};
}

// An operation run again and again, each time with one call failing: the files it starts from, the
// run, and what must hold after a failure and after a run that completed all the same.
struct Scenario
{
    std::function<void(const TempDir&)> setUp;
    std::function<Ran(const TempDir&, FaultInjectingFileServices&, RecordingWindow&)> run;
    // Relative paths, written with "/", that the operation may write; nothing else on disk changes.
    std::set<std::string> outputs;
    std::function<void(const TempDir&, const FaultInjectingFileServices&, const RecordingWindow&, int number)> failed;
    std::function<void(const TempDir&, const RecordingWindow&)> completed;
    std::int64_t fewestCalls = 1;
    std::int64_t mostCalls = std::numeric_limits<std::int64_t>::max();
    // The numbers each call fails with.
    std::vector<int> numbers = kAllNumbers;
};

std::map<std::string, std::string> outsideOutputs(const TempDir& dir, const std::set<std::string>& outputs)
{
    auto tree = snapshotTree(dir.path());
    for (const auto& output : outputs)
        tree.erase(output);
    return tree;
}

// What every failed run shares: the result carries the number, the box shows it (or none for a number
// without an entry), no file is left open, the window is at rest and nothing but outputs changed.
void expectFailure(const Scenario& scenario, const TempDir& dir, const std::map<std::string, std::string>& untouched,
                   const FaultInjectingFileServices& files, const RecordingWindow& window, const Ran& ran, int number)
{
    EXPECT_EQ(ran.result.outcome, Outcome::Failed);
    ASSERT_TRUE(ran.result.error.has_value());
    EXPECT_EQ(ran.result.error->number(), number);
    EXPECT_EQ(ran.openFiles, 0) << "files left open by the error path";
    EXPECT_EQ(ran.openDescriptors, 0) << "descriptors left open by the error path";
    const auto boxes = window.boxes();
    const auto diskErrors = std::count_if(boxes.begin(), boxes.end(),
                                          [](const std::string& box) { return box.rfind("box DiskError ", 0) == 0; });
    EXPECT_EQ(diskErrors, static_cast<std::ptrdiff_t>(errorBox(number).size()));
    if (!errorBox(number).empty()) {
        EXPECT_EQ(boxes.back(), errorBox(number).front());
    }
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_FALSE(window.progressShown);
    EXPECT_EQ(window.progressValue, 0.0f);
    EXPECT_EQ(outsideOutputs(dir, scenario.outputs), untouched);
    scenario.failed(dir, files, window, number);
}

// Calls of a run without failures, counted through a fresh injector.
std::int64_t countCalls(const Scenario& scenario, bool kernelCopy)
{
    TempDir dir;
    scenario.setUp(dir);
    FaultInjectingFileServices files;
    files.allowKernelCopy(kernelCopy);
    RecordingWindow window;
    const Ran ran = scenario.run(dir, files, window);
    EXPECT_EQ(ran.result.outcome, Outcome::Completed) << (window.boxes().empty() ? "" : window.boxes().back());
    EXPECT_EQ(ran.openFiles, 0);
    EXPECT_FALSE(files.fired());
    // Without the kernel's copy every byte must pass through read and write, so their failures are covered.
    const auto& log = files.log();
    const auto callsOf = [&](const char* kind) {
        return std::any_of(log.begin(), log.end(), [&](const std::string& call) { return call.rfind(kind, 0) == 0; });
    };
    EXPECT_TRUE(kernelCopy || !callsOf("copyRange ") || callsOf("read ")) << "no read in the buffered run";
    EXPECT_GE(files.calls(), scenario.fewestCalls);
    EXPECT_LE(files.calls(), scenario.mostCalls);
    return ran.result.outcome == Outcome::Completed ? files.calls() : 0;
}

#ifdef __linux__
// Runs the scenario once for every call of the kernel's copy it makes, with that call failing with each
// error. A failure of the disk takes the error path with its number; a copy that the kernel refuses
// part-way is redone through the buffer, and the run completes.
void forEveryFailingKernelCopy(const Scenario& scenario, const std::map<std::string, std::string>& untouched)
{
    struct Disarm
    {
        ~Disarm() { kernelCopyFaults = {}; }
    } disarm;
    kernelCopyFaults = {true, 0, 0, 0};
    countCalls(scenario, true);
    const int total = kernelCopyFaults.calls;
    if (total == 0)
        return; // no piece is long enough for the kernel's copy
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
            scenario.setUp(dir);
            FaultInjectingFileServices files;
            RecordingWindow window;
            kernelCopyFaults = {true, 0, k, e.error};

            const Ran ran = scenario.run(dir, files, window);

            EXPECT_GE(kernelCopyFaults.calls, k) << "the failing copy was not reached";
            if (e.number != 0) {
                expectFailure(scenario, dir, untouched, files, window, ran, e.number);
                continue;
            }
            EXPECT_EQ(ran.result.outcome, Outcome::Completed);
            EXPECT_EQ(ran.openFiles, 0) << "files left open";
            EXPECT_EQ(ran.openDescriptors, 0) << "descriptors left open";
            scenario.completed(dir, window);
        }
    }
}
#endif

// Runs the scenario once for every call it makes, with that call failing, for every number and with
// and without the kernel's copy. On Linux the kernel's copy then fails part-way through a piece.
void forEveryFailingCall(const Scenario& scenario)
{
    std::map<std::string, std::string> untouched;
    {
        TempDir dir;
        scenario.setUp(dir);
        untouched = outsideOutputs(dir, scenario.outputs);
    }
#ifdef __linux__
    forEveryFailingKernelCopy(scenario, untouched);
    if (::testing::Test::HasFatalFailure())
        return;
#endif
#ifdef _WIN32
    // The Windows services have no copy of their own: both runs would be the same.
    const bool kernelCopies[] = {false};
#else
    const bool kernelCopies[] = {true, false};
#endif
    for (const bool kernelCopy : kernelCopies) {
        const std::int64_t total = countCalls(scenario, kernelCopy);
        for (const int number : scenario.numbers) {
            for (std::int64_t k = 1; k <= total; ++k) {
                SCOPED_TRACE("call " + std::to_string(k) + " failing with " + std::to_string(number) +
                             (kernelCopy ? ", kernel copy" : ", buffered copy"));
                TempDir dir;
                scenario.setUp(dir);
                FaultInjectingFileServices files;
                files.allowKernelCopy(kernelCopy);
                files.failOn(Call::Any, k, number);
                RecordingWindow window;

                const Ran ran = scenario.run(dir, files, window);

                ASSERT_TRUE(files.fired());
                SCOPED_TRACE("failed: " + files.log()[static_cast<std::size_t>(k - 1)]);
                expectFailure(scenario, dir, untouched, files, window, ran, number);
            }
        }
    }
}

const std::string kEarlierEntry = "/earlier/entry.001";
const std::string kEarlierText4 = "earlier destination";

// A cut of src/movie.avi into out/movie$avi.001 and on and out/Link.bat, beside other files and a stale
// piece of an earlier cut.
struct CutCase
{
    std::size_t length;
    std::size_t pieceSize; // in kilobytes
    std::vector<int> numbers;
};

Scenario cutScenario(const CutCase& c)
{
    const std::string bytes = patternBytes(c.length, 3);
    const std::size_t pieceSize = c.pieceSize * 1024;
    const std::size_t pieces = (c.length + pieceSize - 1) / pieceSize;
    // `lost`: pieces that may be missing from the list and the disk, for the device failed to take them.
    const auto piecesAreWhole = [=](const TempDir& dir, const RecordingWindow& window, std::size_t lost = 0) {
        ASSERT_LE(window.joinList.size(), pieces);
        std::size_t number = 1;
        for (const auto& entry : window.joinList) {
            for (; lost > 0 && number < pieces && entry != piecePath(at(dir, "out/movie$avi"), static_cast<int>(number));
                 --lost)
                ++number;
            EXPECT_EQ(entry, piecePath(at(dir, "out/movie$avi"), static_cast<int>(number)));
            ASSERT_TRUE(fileExists(entry)) << entry;
            EXPECT_SAME_BYTES(readFile(entry), bytes.substr((number - 1) * pieceSize, pieceSize));
            ++number;
        }
    };
    Scenario scenario;
    scenario.setUp = [=](const TempDir& dir) {
        fs::create_directory(at(dir, "src"));
        fs::create_directory(at(dir, "out"));
        writeFile(at(dir, "src/movie.avi"), bytes);
        writeFile(at(dir, "src/notes.txt"), "beside the source");
        writeFile(at(dir, "out/keep.txt"), "beside the pieces");
        writeFile(at(dir, "out/movie$avi.005"), "a stale piece of an earlier cut");
    };
    scenario.run = [=](const TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window) {
        window.joinList = {kEarlierEntry};
        window.text4 = kEarlierText4;
        auto inputs = customSize(at(dir, "src/movie.avi"), at(dir, "out/movie$avi"), std::to_string(c.pieceSize));
        inputs.recoveryPieces = 1;
        return runEngine<SplitOperation>(files, window, inputs);
    };
    for (std::size_t n = 1; n <= pieces; ++n)
        scenario.outputs.insert("out/movie$avi" + pieceSuffix(static_cast<std::int64_t>(n)));
    scenario.outputs.insert("out/Link.bat");
    scenario.outputs.insert("out/movie$avi.crc");
    scenario.outputs.insert("out/movie$avi.par2");
    scenario.outputs.insert("out/movie$avi.vol0+1.par2");
    scenario.failed = [=](const TempDir& dir, const FaultInjectingFileServices& files, const RecordingWindow& window,
                          int number) {
        // A piece whose bytes the device failed to take leaves the list after the error box.
        const auto& log = files.log();
        const bool lostBytes = std::any_of(log.begin(), log.end(), [](const std::string& call) {
            return (call.rfind("awaitWriteBack ", 0) == 0 || call.rfind("flush ", 0) == 0) && call.ends_with(" !");
        });
        Requests requests = window.requests();
        if (lostBytes) {
            while (requests.size() > 4 && (requests[requests.size() - 5] == "clear" ||
                                           requests[requests.size() - 5].rfind("append ", 0) == 0))
                requests.erase(requests.end() - 5);
        }
        Requests expectedTail = errorBox(number);
        for (const char* line : {"tab 0", "value 0", "hide", "pointer Default"})
            expectedTail.push_back(line);
        EXPECT_EQ(tail(requests, expectedTail.size()), expectedTail);
        for (const auto& box : window.boxes()) {
            EXPECT_TRUE(box == splitConfirmation(at(dir, "src/movie.avi")) || box == errorBox(number).at(0))
                << "the confirmation and the error box, nothing else: " << box;
        }
        EXPECT_EQ(window.tab, kSplitTab);

        // The pieces written so far stay on disk and in the list, but for one whose bytes the device failed to
        // take; the list is only touched once cutting began.
        if (contains(window.requests(), "clear"))
            piecesAreWhole(dir, window, lostBytes ? 1 : 0);
        else
            EXPECT_EQ(window.joinList, std::vector<std::string>{kEarlierEntry});
        // Text4 changes only once all pieces are written and the source is closed, right before Link.bat
        // and the check file are written.
        const std::string proposal = at(dir, "out/movie.avi");
        const bool proposed = contains(log, "createTemporary " + at(dir, "out/Link.bat")) ||
                              contains(log, "createTemporary " + at(dir, "out/Link.bat") + " !");
        EXPECT_EQ(window.text4, proposed ? proposal : kEarlierText4);
        EXPECT_EQ(contains(window.requests(), "text4 " + proposal), proposed);
        // Link.bat, the check file and the PAR2 files are there once put in place (a failed call's line ends
        // in " !").
        for (const char* name : {"out/Link.bat", "out/movie$avi.crc", "out/movie$avi.par2", "out/movie$avi.vol0+1.par2"}) {
            const std::string placed = " " + at(dir, name);
            const bool renamed = std::any_of(log.begin(), log.end(), [&](const std::string& call) {
                return call.rfind("rename ", 0) == 0 && call.size() >= placed.size() &&
                       call.compare(call.size() - placed.size(), placed.size(), placed) == 0;
            });
            EXPECT_EQ(fileExists(at(dir, name)), renamed) << name;
        }
    };
    scenario.completed = [=](const TempDir& dir, const RecordingWindow& window) {
        EXPECT_EQ(window.joinList.size(), pieces);
        piecesAreWhole(dir, window);
        EXPECT_TRUE(fileExists(at(dir, "out/Link.bat")));
        EXPECT_TRUE(fileExists(at(dir, "out/movie$avi.crc")));
        EXPECT_TRUE(fileExists(at(dir, "out/movie$avi.vol0+1.par2")));
        // The check file's CRC comes from the bytes as they were read (back) while copying.
        const auto check = parseCheckFile(readFile(at(dir, "out/movie$avi.crc")));
        ASSERT_TRUE(check.has_value());
        Crc32 crc;
        crc.update(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size());
        EXPECT_EQ(check->crc32, crc.value());
    };
    // Checks, the pieces (created, read, written and closed, or copied), Link.bat.
    scenario.fewestCalls = 4 + 4 * static_cast<std::int64_t>(pieces);
    scenario.numbers = c.numbers;
    return scenario;
}

TEST(FaultInjection, EveryCallOfACutCanFail)
{
    const CutCase cases[] = {
        {2 * 65536 + 18928, 64, kTwoNumbers}, // the kernel's copy takes the first two pieces; the third is shorter
        {50000, 20, kAllNumbers},             // every piece below the size the kernel's copy is tried at
        {614400 + 1000, 600, kTwoNumbers},    // the first piece is copied and read back in three passes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes in pieces of " + std::to_string(c.pieceSize) + " KB");
        forEveryFailingCall(cutScenario(c));
    }
}

// A join of in/a.001 and on, in list order, into out/joined.bin, which is new or holds older, longer bytes.
// A repairing join's pieces are cut with an index and recovery for two pieces; then the second is gone and
// the third damaged.
struct JoinCase
{
    std::vector<std::size_t> pieceLengths;
    bool destinationExists;
    std::vector<int> numbers;
    bool repairing = false;
};

Scenario joinScenario(const JoinCase& c)
{
    std::vector<std::string> pieces;
    std::string joined;
    for (std::size_t i = 0; i < c.pieceLengths.size(); ++i) {
        pieces.push_back(patternBytes(c.pieceLengths[i], static_cast<std::uint32_t>(4 + i)));
        joined += pieces.back();
    }
    const std::string old = c.destinationExists ? patternBytes(joined.size() + 4500, 8) : std::string();
    const auto listed = [=](const TempDir& dir) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            paths.push_back(at(dir, "in/a.00" + std::to_string(i + 1)));
        return paths;
    };
    Scenario scenario;
    scenario.setUp = [=](const TempDir& dir) {
        fs::create_directory(at(dir, "in"));
        fs::create_directory(at(dir, "out"));
        for (std::size_t i = 0; i < pieces.size(); ++i)
            writeFile(at(dir, "in/a.00" + std::to_string(i + 1)), pieces[i]);
        if (c.repairing) {
            writeFile(at(dir, "in/source"), joined);
            auto inputs = customSize(at(dir, "in/source"), at(dir, "in/a"), std::to_string(c.pieceLengths[0] / 1024));
            inputs.recoveryPieces = 2;
            RecordingWindow cutWindow;
            ASSERT_EQ(SplitOperation(cutWindow, *makeNativeFileServices()).run(inputs).outcome, Outcome::Completed);
            fs::remove(at(dir, "in/source"));
            fs::remove(at(dir, "in/a.002"));
            writeFile(at(dir, "in/a.003"), patternBytes(c.pieceLengths[2], 99));
        }
        writeFile(at(dir, "in/other.txt"), "beside the pieces");
        writeFile(at(dir, "out/keep.txt"), "beside the destination");
        if (c.destinationExists)
            writeFile(at(dir, "out/joined.bin"), old);
    };
    scenario.run = [=](const TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window) {
        window.tab = kJoinTab;
        window.joinList = listed(dir);
        return runEngine<JoinOperation>(files, window, JoinInputs{" " + at(dir, "out/joined.bin"), window.joinList});
    };
    scenario.outputs = {"out/joined.bin"};
    scenario.failed = [=](const TempDir& dir, const FaultInjectingFileServices& files, const RecordingWindow& window,
                          int number) {
        Requests expectedTail = errorBox(number);
        for (const char* line : {"pointer Default", "value 0", "hide"})
            expectedTail.push_back(line);
        EXPECT_EQ(tail(window.requests(), expectedTail.size()), expectedTail);
        for (const auto& line : window.requests())
            EXPECT_NE(line.rfind("tab ", 0), 0u) << "a join selects no tab";
        EXPECT_EQ(window.tab, kJoinTab);
        EXPECT_EQ(window.joinList, listed(dir));

        // The joined file takes the destination's place whole, or not at all: an earlier file keeps its bytes.
        const std::string destination = at(dir, "out/joined.bin");
        const auto& log = files.log();
        const bool replaced = std::any_of(log.begin(), log.end(), [&](const std::string& call) {
            return call.rfind("rename ", 0) == 0 && call.back() != '!';
        });
        if (replaced)
            EXPECT_SAME_BYTES(readFile(destination), joined);
        else if (c.destinationExists)
            EXPECT_SAME_BYTES(readFile(destination), old);
        else
            EXPECT_FALSE(fileExists(destination));
    };
    scenario.completed = [=](const TempDir& dir, const RecordingWindow&) {
        EXPECT_SAME_BYTES(readFile(at(dir, "out/joined.bin")), joined);
    };
    scenario.fewestCalls = 13;
    scenario.numbers = c.numbers;
    return scenario;
}

TEST(FaultInjection, EveryCallOfAJoinCanFail)
{
    const JoinCase cases[] = {
        // The kernel's copy takes the first two; an empty piece adds nothing.
        {{70000, 65536, 0, 30000}, false, kTwoNumbers},
        {{1000, 2000, 1500}, false, kTwoNumbers},
        {{1000, 2000, 1500}, true, kAllNumbers},
        {{2048, 2048, 2048, 1000}, true, kTwoNumbers, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pieceLengths.size()) + " pieces" + (c.destinationExists ? " over a file" : "") +
                     (c.repairing ? ", two rebuilt" : ""));
        forEveryFailingCall(joinScenario(c));
    }
}

// "Add" of a piece set only lists: a failure keeps the list and Text4 as they were.
TEST(FaultInjection, EveryCallOfAnAddCanFail)
{
    Scenario scenario;
    scenario.setUp = [](const TempDir& dir) {
        for (const std::string name : {"a$b.001", "a$b.002", "a$b.003", "a$b.bak", "other.txt"})
            writeFile(dir.file(name), name);
    };
    scenario.run = [](const TempDir& dir, FaultInjectingFileServices& files, RecordingWindow& window) {
        window.tab = kJoinTab;
        window.joinList = {kEarlierEntry};
        window.text4 = kEarlierText4;
        return runEngine<JoinListAdd>(files, window, dir.file("a$b.001"), window.joinList);
    };
    scenario.failed = [](const TempDir&, const FaultInjectingFileServices&, const RecordingWindow& window, int) {
        EXPECT_EQ(window.tab, kJoinTab);
        EXPECT_EQ(window.joinList, std::vector<std::string>{kEarlierEntry});
        EXPECT_EQ(window.text4, kEarlierText4);
    };
    scenario.mostCalls = 7; // the listings of the set, its index and volumes; the check file's; the three lengths
    forEveryFailingCall(scenario);
}

// A stop asked for as any file is opened: a cut keeps the whole pieces it wrote and listed, and nothing
// else (no piece half written, no Link.bat, no check file); a join, one that rebuilds pieces too, leaves
// its destination as it was.
TEST(Stop, AtEveryFileACutKeepsOnlyWholePiecesAndAJoinNothing)
{
    const std::string bytes = patternBytes(4 * 1024 + 300, 5);
    for (const char* kind : {"cut", "join", "repairing join"}) {
        const bool join = kind != std::string("cut");
        const bool repairing = kind == std::string("repairing join");
        for (int k = 1;; ++k) {
            SCOPED_TRACE(std::string(kind) + ", stop at the opening of file " + std::to_string(k));
            TempDir dir;
            fs::create_directory(at(dir, "out"));
            writeFile(at(dir, "movie.avi"), bytes);
            const std::string base = at(dir, "out/movie$avi");
            const std::string destination = at(dir, "out/movie.avi");
            RecordingWindow window;
            if (join) {
                auto inputs = customSize(at(dir, "movie.avi"), base, "1");
                inputs.recoveryPieces = repairing ? 2 : 0;
                ASSERT_EQ(SplitOperation(window, *makeNativeFileServices()).run(inputs).outcome, Outcome::Completed);
                if (repairing) {
                    fs::remove(base + ".002");
                    writeFile(base + ".004", patternBytes(1024, 9));
                }
                writeFile(destination, "an earlier file");
                window.clearRequests();
            }
            const auto before = snapshotTree(dir.path());
            FaultInjectingFileServices files;
            StopRequest stop;
            int opened = 0;
            files.onOpen = [&] {
                if (++opened == k)
                    stop.request();
            };

            const OperationResult result =
                join ? JoinOperation(window, files, &stop).run({destination, window.joinList})
                     : SplitOperation(window, files, &stop).run(customSize(at(dir, "movie.avi"), base, "1"));

            EXPECT_EQ(files.openFiles(), 0);
            if (result.outcome == Outcome::Completed) {
                EXPECT_GT(k, 1) << "a stop before the first file";
                break; // every opening has been tried
            }
            EXPECT_EQ(result.outcome, Outcome::Interrupted);
            EXPECT_EQ(window.pointer, Pointer::Default);
            EXPECT_FALSE(window.progressShown);
            if (join) {
                EXPECT_EQ(window.boxes().back(), "box Notice Parvix: The joining of " + destination + " is stopped!\r" +
                                                     destination + " is not changed");
                EXPECT_EQ(snapshotTree(dir.path()), before);
                continue;
            }
            auto after = snapshotTree(dir.path());
            std::vector<std::string> kept;
            for (const auto& [name, content] : after) {
                if (before.count(name) == 0)
                    kept.push_back(dir.file(nativePath(name)));
            }
            EXPECT_EQ(kept, window.joinList);
            for (std::size_t i = 0; i < kept.size(); ++i)
                EXPECT_SAME_BYTES(readFile(kept[i]), bytes.substr(i * 1024, 1024));
            std::string notice = "box Notice Parvix: The cutting of " + at(dir, "movie.avi") + " is stopped!\r";
            if (kept.empty())
                notice += "No cutted file is kept";
            else if (kept.size() == 1)
                notice += "The whole cutted file movie$avi.001 is kept, Link.bat is not written";
            else
                notice += "The " + std::to_string(kept.size()) + " whole cutted files movie$avi.001 to " +
                          GetFileName(kept.back()) + " are kept, Link.bat is not written";
            EXPECT_EQ(window.boxes().back(), notice);
            EXPECT_EQ(window.tab, kSplitTab);
        }
    }
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
    for (const Open open : {&FileServices::openRead, &FileServices::openReadWrite}) {
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
// A real failure while cutting: a folder takes piece 2's name while it is written, so that it cannot
// take its place. The earlier piece stays, and no part of piece 2 is left, under any name or in the list.
TEST(FaultInjection, APieceThatCannotTakeItsPlaceKeepsTheEarlierPieces)
{
    TempDir dir;
    FaultInjectingFileServices files;
    RecordingWindow window;
    const std::string bytes = patternBytes(3000);
    writeFile(dir.file("s.bin"), bytes);
    int opened = 0;
    files.onOpen = [&] {
        if (++opened == 3) { // the source, piece 1, piece 2
            fs::create_directory(dir.file("s$bin.002"));
            writeFile(dir.file("s$bin.002/inside"), "");
        }
    };

    SplitOperation split(window, files);
    const auto result = split.run(customSize(dir.file("s.bin"), dir.file("s$bin"), "1"));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(
        window.requests(),
        (Requests{splitConfirmation(dir.file("s.bin")), "clear", "pointer Hourglass", "max 2", "value 0", "show",
                  "value 0", "append " + dir.file("s$bin.001"), "value 1", "append " + dir.file("s$bin.002"), "value 2",
                  "append " + dir.file("s$bin.003"), "box DiskError Tavrin: Disk is protected or file is protected",
                  "clear", "append " + dir.file("s$bin.001"), "append " + dir.file("s$bin.003"), "tab 0", "value 0",
                  "hide", "pointer Default"}));
    EXPECT_EQ(readFile(dir.file("s$bin.001")), bytes.substr(0, 1024));
    EXPECT_EQ(readFile(dir.file("s$bin.003")), bytes.substr(2048));
    EXPECT_FALSE(fileExists(dir.file("Link.bat")));
    EXPECT_EQ(snapshotTree(dir.path()).size(), 5u) << "the source, pieces 1 and 3, the folder and its file";
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
    const auto result = join.run({dir.file("a"), window.joinList});

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(window.requests(),
              (Requests{joinConfirmation(dir.file("a")), "pointer Hourglass", "max 1", "value 0", "show", "value 0",
                        "box DiskError Tavrin: The disk room is not enough", "pointer Default", "value 0", "hide"}));
}
#endif

} // namespace
} // namespace parvix::test
