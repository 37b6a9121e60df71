// A failure at every file-service call of a cut, a join and an "Add", with each number of the
// disk-error table and one without an entry: the right box or none, no file left open, the window
// back at rest, and nothing on disk changed but the operation's own outputs.
#include "FaultInjectingFileServices.h"
#include "ReliabilitySupport.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace parvix::test {
namespace {

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

bool isDiskErrorBox(const std::string& box)
{
    return box.rfind("box DiskError ", 0) == 0;
}

void expectTheBox(const RecordingWindow& window, int number)
{
    const auto boxes = window.boxes();
    const auto diskErrors = std::count_if(boxes.begin(), boxes.end(), isDiskErrorBox);
    const std::string& expected = kExpectedBoxes.at(number);
    if (expected.empty()) {
        EXPECT_EQ(diskErrors, 0) << "a number without an entry shows no box";
    } else {
        EXPECT_EQ(diskErrors, 1);
        EXPECT_EQ(lastBox(window), expected);
    }
}

// Everything below `folder` except `outputs` (relative paths), which the operation may write.
std::map<std::string, std::string> outsideOutputs(const std::string& folder, const std::set<std::string>& outputs)
{
    auto tree = snapshotTree(folder);
    for (const auto& output : outputs)
        tree.erase(output);
    return tree;
}

// Runs `operation` once without a fault to count its calls, then once for every call and number
// with that call failing. `check` asserts what must hold after each failed run. Without the kernel's
// copy every byte passes through read and write, so that their failures are reached too.
void failEveryCall(bool kernelCopy, const std::function<void(TempDir&)>& setUp,
                   const std::function<OperationResult(RecordingWindow&, FileServices&, TempDir&)>& operation,
                   const std::function<void(const RecordingWindow&, TempDir&, int number)>& check,
                   std::int64_t& callCount)
{
    auto native = makeNativeFileServices();
    {
        TempDir dir;
        setUp(dir);
        FaultInjectingFileServices files(*native);
        files.allowKernelCopy(kernelCopy);
        RecordingWindow window;
        ASSERT_EQ(operation(window, files, dir).outcome, Outcome::Completed) << lastBox(window);
        callCount = files.calls();
        ASSERT_GT(callCount, 0);
    }
    for (std::int64_t k = 1; k <= callCount; ++k) {
        for (const auto& [number, box] : kExpectedBoxes) {
            TempDir dir;
            setUp(dir);
            FaultInjectingFileServices files(*native);
            files.allowKernelCopy(kernelCopy);
            files.failCall(k, number);
            RecordingWindow window;

            const auto result = operation(window, files, dir);

            ASSERT_TRUE(files.fired());
            SCOPED_TRACE(std::string(kernelCopy ? "kernel copy, " : "buffered, ") + "call " + std::to_string(k) + " (" +
                         files.log()[static_cast<std::size_t>(k - 1)] + ") failing with " + std::to_string(number));
            EXPECT_EQ(result.outcome, Outcome::Failed);
            ASSERT_TRUE(result.error.has_value());
            EXPECT_EQ(result.error->number(), number);
            expectTheBox(window, number);
            EXPECT_EQ(files.openFiles(), 0) << "files left open";
            check(window, dir, number);
        }
    }
}

// --- Cut: src/movie.avi (50,000 bytes) into out/movie$avi.001 to .003 of 20 KiB, and out/Link.bat.

const std::string kCutBytes = patternBytes(50000, 3);
constexpr std::size_t kCutPiece = 20 * 1024;
const std::set<std::string> kCutOutputs = {"out/movie$avi.001", "out/movie$avi.002", "out/movie$avi.003",
                                           "out/Link.bat"};

void setUpCut(TempDir& dir)
{
    ::mkdir(dir.file("src").c_str(), 0755);
    ::mkdir(dir.file("out").c_str(), 0755);
    writeFile(dir.file("src/movie.avi"), kCutBytes);
    writeFile(dir.file("src/notes.txt"), "beside the source");
    writeFile(dir.file("out/keep.txt"), "beside the pieces");
    writeFile(dir.file("out/movie$avi.005"), "a stale piece of an earlier cut");
}

const std::string kEarlierEntry = "/earlier/entry.001";
const std::string kEarlierText4 = "earlier destination";

TEST(FaultAtEveryCall, Cut)
{
    std::map<std::string, std::string> untouched;
    {
        TempDir dir;
        setUpCut(dir);
        untouched = outsideOutputs(dir.path(), kCutOutputs);
    }
    const auto cut = [](RecordingWindow& window, FileServices& files, TempDir& dir) {
        window.joinList = {kEarlierEntry};
        window.text4 = kEarlierText4;
        return runCut(window, files, dir.file("src/movie.avi"), dir.file("out/movie$avi"), "20");
    };
    const auto check = [&](const RecordingWindow& window, TempDir& dir, int) {
        expectCutErrorPathState(window);
        EXPECT_EQ(outsideOutputs(dir.path(), kCutOutputs), untouched);
        const auto& requests = window.requests();
        if (std::find(requests.begin(), requests.end(), "clear") == requests.end()) {
            EXPECT_EQ(window.joinList, std::vector<std::string>{kEarlierEntry});
        } else {
            // The pieces written before the failure, whole and in order.
            ASSERT_LE(window.joinList.size(), 3u);
            for (std::size_t i = 0; i < window.joinList.size(); ++i) {
                EXPECT_EQ(window.joinList[i], dir.file("out/movie$avi.00" + std::to_string(i + 1)));
                EXPECT_EQ(readFile(window.joinList[i]), kCutBytes.substr(i * kCutPiece, kCutPiece));
            }
        }
        // Text4 changes only once every piece is written, just before Link.bat.
        if (window.text4 != kEarlierText4) {
            EXPECT_EQ(window.text4, dir.file("out/movie.avi"));
            EXPECT_EQ(window.joinList.size(), 3u);
        }
        if (fileExists(dir.file("out/Link.bat")))
            ADD_FAILURE() << "Link.bat written by a cut that failed";
    };
    for (const bool kernelCopy : {false, true}) {
        std::int64_t calls = 0;
        failEveryCall(kernelCopy, setUpCut, cut, check, calls);
        // Checks, three pieces (create, read, write, close each, or a copy), Link.bat.
        EXPECT_GE(calls, 12);
    }
}

// --- Join: in/a.001 to .003 into out/joined.bin, which exists (longer) or not.

const std::vector<std::string> kJoinPieces = {patternBytes(1000, 4), patternBytes(2000, 5), patternBytes(1500, 6)};
const std::string kOldDestination = patternBytes(9000, 8);

std::string joinedBytes()
{
    return kJoinPieces[0] + kJoinPieces[1] + kJoinPieces[2];
}

void setUpJoin(TempDir& dir, bool destinationExists)
{
    ::mkdir(dir.file("in").c_str(), 0755);
    ::mkdir(dir.file("out").c_str(), 0755);
    for (std::size_t i = 0; i < kJoinPieces.size(); ++i)
        writeFile(dir.file("in/a.00" + std::to_string(i + 1)), kJoinPieces[i]);
    writeFile(dir.file("in/other.txt"), "beside the pieces");
    writeFile(dir.file("out/keep.txt"), "beside the destination");
    if (destinationExists)
        writeFile(dir.file("out/joined.bin"), kOldDestination);
}

void joinFailingAtEveryCall(bool destinationExists)
{
    const std::set<std::string> outputs = {"out/joined.bin"};
    std::map<std::string, std::string> untouched;
    {
        TempDir dir;
        setUpJoin(dir, destinationExists);
        untouched = outsideOutputs(dir.path(), outputs);
    }
    const std::string old = destinationExists ? kOldDestination : std::string();
    const auto setUp = [&](TempDir& dir) { setUpJoin(dir, destinationExists); };
    const auto join = [](RecordingWindow& window, FileServices& files, TempDir& dir) {
        window.tab = kJoinTab;
        window.joinList = {dir.file("in/a.001"), dir.file("in/a.002"), dir.file("in/a.003")};
        return runJoin(window, files, dir.file("out/joined.bin"));
    };
    const auto check = [&](const RecordingWindow& window, TempDir& dir, int) {
        expectJoinErrorPathState(window, kJoinTab);
        EXPECT_EQ(window.joinList,
                  (std::vector<std::string>{dir.file("in/a.001"), dir.file("in/a.002"), dir.file("in/a.003")}));
        EXPECT_EQ(outsideOutputs(dir.path(), outputs), untouched);
        // The destination holds the joined bytes written before the failure over what it held (or, once
        // cut to length, exactly the joined bytes).
        const std::string path = dir.file("out/joined.bin");
        const std::string now = fileExists(path) ? readFile(path) : std::string();
        const std::string joined = joinedBytes();
        std::size_t same = 0;
        while (same < now.size() && same < joined.size() && now[same] == joined[same])
            ++same;
        const bool joinedOverOld = now.compare(same, std::string::npos, old, std::min(same, old.size())) == 0;
        EXPECT_TRUE(joinedOverOld || now == joined) << "the destination (" << now.size() << " bytes, the first " << same
                                                    << " joined) holds bytes that are neither joined nor its old ones";
    };
    for (const bool kernelCopy : {false, true}) {
        std::int64_t calls = 0;
        failEveryCall(kernelCopy, setUp, join, check, calls);
        EXPECT_GE(calls, 10);
    }
}

TEST(FaultAtEveryCall, JoinIntoANewFile)
{
    joinFailingAtEveryCall(false);
}

TEST(FaultAtEveryCall, JoinOverAnExistingFile)
{
    joinFailingAtEveryCall(true);
}

// --- "Add" of a piece set: it only lists, and a failure keeps the list and Text4 as they were.

void setUpAdd(TempDir& dir)
{
    for (const std::string name : {"a$b.001", "a$b.002", "a$b.003", "a$b.bak", "other.txt"})
        writeFile(dir.file(name), name);
}

TEST(FaultAtEveryCall, AddOfAPieceSet)
{
    std::map<std::string, std::string> untouched;
    {
        TempDir dir;
        setUpAdd(dir);
        untouched = snapshotTree(dir.path());
    }
    const auto add = [](RecordingWindow& window, FileServices& files, TempDir& dir) {
        window.tab = kJoinTab;
        window.joinList = {kEarlierEntry};
        window.text4 = kEarlierText4;
        return runAdd(window, files, dir.file("a$b.001"));
    };
    const auto check = [&](const RecordingWindow& window, TempDir& dir, int) {
        expectJoinErrorPathState(window, kJoinTab);
        EXPECT_EQ(window.joinList, std::vector<std::string>{kEarlierEntry});
        EXPECT_EQ(window.text4, kEarlierText4);
        EXPECT_EQ(snapshotTree(dir.path()), untouched);
    };
    std::int64_t calls = 0;
    failEveryCall(false, setUpAdd, add, check, calls);
    EXPECT_EQ(calls, 1); // one listing
}

} // namespace
} // namespace parvix::test
