// The in-kernel copy of the native file services: the same bytes a read and a write would give, holes
// kept only where nothing old lies under them, and a source that is too short failing like a read.
#include "FileError.h"
#include "NativeFiles.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1024 * 1024;

// A file of `length` zero bytes (a hole) with `bytes` written at each offset.
void makeSparse(const std::string& path, std::size_t length, const std::vector<std::pair<std::size_t, std::string>>& at)
{
    {
        std::ofstream out(fs::path(path), std::ios::binary);
        for (const auto& [offset, bytes] : at) {
            out.seekp(static_cast<std::streamoff>(offset));
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    fs::resize_file(fs::path(path), length);
}

std::int64_t allocatedBytes(const std::string& path)
{
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return static_cast<std::int64_t>(st.st_blocks) * 512;
}

class CopyRange : public ::testing::Test
{
protected:
    // Copies [fromOffset, +size) of `source` to `toOffset` of `destination` (opened for reading and
    // writing, not emptied) and says whether the file did it itself.
    bool copy(const std::string& source, std::int64_t fromOffset, const std::string& destination, std::int64_t toOffset,
              std::int64_t size)
    {
        auto from = files->openRead(source);
        auto to = files->openReadWrite(destination);
        const bool copied = to->copyFrom(*from, fromOffset, toOffset, size);
        to->close();
        from->close();
        return copied;
    }

    TempDir dir;
    std::unique_ptr<FileServices> files = makeNativeFileServices();
};

TEST_F(CopyRange, CopiesTheRangeToThePositionGiven)
{
    struct Case
    {
        const char* name;
        std::int64_t from;
        std::int64_t to;
        std::int64_t size;
        std::size_t existing; // bytes already in the destination
    };
    const Case cases[] = {
        {"whole file into a new one", 0, 0, 3 * kMiB + 17, 0},
        {"middle of the source", 1000000, 0, 1447035, 0},
        {"appended at the end", 0, 5000, 2 * kMiB, 5000},
        {"over older, longer content", 6, 100, kMiB, 4 * kMiB},
        {"the last bytes of the source", 3 * kMiB + 17 - 65537, 0, 65537, 0},
    };
    const std::string sourceBytes = patternBytes(3 * kMiB + 17, 3);
    const std::string source = dir.file("source");
    writeFile(source, sourceBytes);
    // A hole after the bytes: most file systems leave the copy of a file without holes to the caller.
    fs::resize_file(fs::path(source), sourceBytes.size() + 4 * kMiB);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string destination = dir.file("destination");
        const std::string old = patternBytes(c.existing, 9);
        writeFile(destination, old);
        if (!copy(source, c.from, destination, c.to, c.size))
            GTEST_SKIP() << "this file system cannot copy inside the kernel";
        std::string expected = old;
        const auto end = static_cast<std::size_t>(c.to + c.size);
        if (expected.size() < end)
            expected.resize(end, '\0');
        expected.replace(static_cast<std::size_t>(c.to), static_cast<std::size_t>(c.size),
                         sourceBytes.substr(static_cast<std::size_t>(c.from), static_cast<std::size_t>(c.size)));
        const std::string got = readFile(destination);
        EXPECT_EQ(got.size(), expected.size());
        EXPECT_EQ(firstDifference(got, expected), std::string::npos);
    }
}

TEST_F(CopyRange, ASourceShorterThanTheRangeFailsLikeAReadAndWritesNothing)
{
    const std::string source = dir.file("source");
    const std::string destination = dir.file("destination");
    writeFile(source, patternBytes(kMiB));
    writeFile(destination, "");
    try {
        copy(source, 0, destination, 0, kMiB + 1);
        FAIL() << "no failure";
    } catch (const FileError& error) {
        EXPECT_EQ(error.number(), errnum::kDeviceIo);
    }
    EXPECT_EQ(fs::file_size(destination), 0u);
}

TEST_F(CopyRange, HolesStayHolesInANewFile)
{
    const std::string source = dir.file("sparse");
    const std::string data = patternBytes(64 * 1024, 5);
    // Data at the start and in the middle; the range ends in a hole, so its end must still be written.
    makeSparse(source, 64 * kMiB, {{0, data}, {20 * kMiB, data}});
    const std::string destination = dir.file("piece");
    writeFile(destination, "");
    if (!copy(source, 0, destination, 0, 48 * kMiB))
        GTEST_SKIP() << "this file system cannot copy inside the kernel";

    std::string expected(48 * kMiB, '\0');
    expected.replace(0, data.size(), data);
    expected.replace(20 * kMiB, data.size(), data);
    const std::string got = readFile(destination);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(firstDifference(got, expected), std::string::npos);
    // Only where the file system has no holes at all would this hold the whole 48 MiB.
    if (allocatedBytes(source) < static_cast<std::int64_t>(kMiB)) {
        EXPECT_LT(allocatedBytes(destination), static_cast<std::int64_t>(8 * kMiB));
    }
}

TEST_F(CopyRange, HolesOverOlderContentBecomeZeros)
{
    const std::string source = dir.file("sparse");
    const std::string data = patternBytes(4096, 5);
    makeSparse(source, 8 * kMiB, {{4 * kMiB, data}});
    const std::string destination = dir.file("joined");
    const std::string old(10 * kMiB, 'x');
    writeFile(destination, old);
    if (!copy(source, 0, destination, kMiB, 8 * kMiB))
        GTEST_SKIP() << "this file system cannot copy inside the kernel";

    std::string expected = old;
    expected.replace(kMiB, 8 * kMiB, std::string(8 * kMiB, '\0'));
    expected.replace(5 * kMiB, data.size(), data);
    const std::string got = readFile(destination);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(firstDifference(got, expected), std::string::npos);
}

TEST_F(CopyRange, AcrossFileSystemsItCopiesOrLeavesTheCopyToTheCaller)
{
    const fs::path shm = "/dev/shm";
    if (!fs::is_directory(shm))
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::string source = (shm / ("parvix-copy-range-" + std::to_string(::getpid()))).string();
    const std::string bytes = patternBytes(3 * kMiB, 7);
    writeFile(source, bytes);
    const std::string destination = dir.file("destination");
    writeFile(destination, "");
    const bool copied = copy(source, 0, destination, 0, static_cast<std::int64_t>(bytes.size()));
    fs::remove(source);
    // Refused: nothing written, the caller copies. Done: the whole range, exactly.
    EXPECT_EQ(readFile(destination), copied ? bytes : std::string());
}

TEST_F(CopyRange, ADestinationOpenedForReadingIsLeftToTheCaller)
{
    const std::string source = dir.file("source");
    const std::string destination = dir.file("destination");
    writeFile(source, patternBytes(kMiB));
    writeFile(destination, "");
    auto from = files->openRead(source);
    auto to = files->openRead(destination);
    EXPECT_FALSE(to->copyFrom(*from, 0, 0, kMiB));
    EXPECT_EQ(fs::file_size(destination), 0u);
}

} // namespace
} // namespace parvix::test
