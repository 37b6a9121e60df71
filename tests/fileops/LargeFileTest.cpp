// A source of more than 2 GiB: positions, lengths and the write position need 64 bits.
#include "EngineTestSupport.h"

#include <filesystem>
#include <fstream>

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr std::uint64_t kLength = 2 * kGiB + 1000;
constexpr std::uint64_t kPiece = kGiB; // "1048576" kilobytes

struct Block
{
    std::uint64_t offset;
    std::string bytes;
};

// Non-zero bytes where 32-bit arithmetic would go wrong: at the start, across the piece boundaries,
// across 2 GiB (2^31) and at the very end; zeros (holes) everywhere else.
std::vector<Block> markedBlocks()
{
    const struct
    {
        std::uint64_t offset;
        std::size_t size;
    } places[] = {
        {0, 4096},
        {kPiece - 2048, 4096},   // across the end of the first piece
        {2 * kGiB - 3000, 3500}, // across 2^31, where a signed 32-bit position ends
        {2 * kGiB + 600, 400},   // up to the last byte
    };
    std::vector<Block> blocks;
    std::uint32_t seed = 11;
    for (const auto& place : places)
        blocks.push_back({place.offset, patternBytes(place.size, seed++)});
    return blocks;
}

void makeSparseFile(const std::string& path, const std::vector<Block>& blocks, std::uint64_t length = kLength)
{
    {
        std::ofstream out(fs::path(path), std::ios::binary);
        for (const auto& block : blocks) {
            out.seekp(static_cast<std::streamoff>(block.offset));
            out.write(block.bytes.data(), static_cast<std::streamsize>(block.bytes.size()));
        }
        ASSERT_TRUE(out.good());
    }
    fs::resize_file(fs::path(path), length);
}

std::string readRange(const std::string& path, std::uint64_t offset, std::size_t size)
{
    std::ifstream in(fs::path(path), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// The bytes at `offset` of the pieces, each `piece` long but the last, taken as one file.
std::string readAcrossPieces(const std::vector<std::string>& pieces, std::uint64_t offset, std::size_t size,
                             std::uint64_t piece = kPiece)
{
    std::string bytes;
    while (bytes.size() < size) {
        const auto index = static_cast<std::size_t>(offset / piece);
        const std::uint64_t within = offset % piece;
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(size - bytes.size(), piece - within));
        const std::string part = readRange(pieces.at(index), within, take);
        if (part.empty())
            break;
        bytes += part;
        offset += part.size();
    }
    return bytes;
}

// Compares two files in chunks; returns the offset of the first difference, or -1.
std::int64_t firstDifferentOffset(const std::string& a, const std::string& b)
{
    std::ifstream first(fs::path(a), std::ios::binary), second(fs::path(b), std::ios::binary);
    std::string x(16 << 20, '\0'), y(16 << 20, '\0');
    std::int64_t offset = 0;
    for (;;) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        const auto got = first.gcount();
        if (got != second.gcount())
            return offset + std::min(got, second.gcount());
        if (got == 0)
            return -1;
        if (std::char_traits<char>::compare(x.data(), y.data(), static_cast<std::size_t>(got)) != 0) {
            for (std::streamsize i = 0; i < got; ++i) {
                if (x[static_cast<std::size_t>(i)] != y[static_cast<std::size_t>(i)])
                    return offset + i;
            }
        }
        offset += got;
    }
}

TEST(LargeFile, CutAndJoinAFileOfMoreThanTwoGibibytes)
{
    TempDir dir;
    const auto space = fs::space(fs::path(dir.path()));
    if (space.available < 5 * kGiB)
        GTEST_SKIP() << "needs 5 GiB of free disk space, " << space.available << " bytes available";

    const auto blocks = markedBlocks();
    const std::string source = dir.file("big.bin");
    makeSparseFile(source, blocks);
    ASSERT_EQ(fs::file_size(source), kLength);
    fs::create_directory(dir.file("out"));
    const std::string base = joinPath(dir.file("out"), "big$bin");

    auto native = makeNativeFileServices();
    FaultInjectingFileServices files(*native);
    RecordingWindow window;
    {
        SplitOperation split(window, files);
        ASSERT_EQ(split.run(customSize(source, base, "1048576")).outcome, Outcome::Completed);
    }
    EXPECT_EQ(files.openFiles(), 0);
    EXPECT_EQ(window.requests(),
              (Requests{splitConfirmation(source), "clear", "pointer Hourglass", "max 2", "value 0", "show", "value 0",
                        "append " + base + ".001", "value 1", "append " + base + ".002", "value 2",
                        "append " + base + ".003", "text4 " + joinPath(dir.file("out"), "big.bin"), "caretToEnd Text4",
                        "value 0", "hide", "pointer Default", "tab 1", splitCompletion(source)}));
    const auto pieces = window.joinList;
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(fs::file_size(pieces[0]), kPiece);
    EXPECT_EQ(fs::file_size(pieces[1]), kPiece);
    EXPECT_EQ(fs::file_size(pieces[2]), 1000u);
    for (const auto& block : blocks) {
        SCOPED_TRACE("block at " + std::to_string(block.offset));
        EXPECT_SAME_BYTES(readAcrossPieces(pieces, block.offset, block.bytes.size()), block.bytes);
    }
    EXPECT_EQ(readAcrossPieces(pieces, kGiB + 12345, 4), std::string(4, '\0'));
    EXPECT_EQ(readFile(joinPath(dir.file("out"), "Link.bat")),
              "copy/B \"big$bin.001\"+\"big$bin.002\"+\"big$bin.003\" \"big.bin\"\r\n");

    window.clearRequests();
    {
        JoinOperation join(window, files);
        ASSERT_EQ(join.run({window.text4, window.joinList}).outcome, Outcome::Completed);
    }
    EXPECT_EQ(files.openFiles(), 0);
    const std::string joined = window.text4;
    EXPECT_EQ(window.requests(),
              (Requests{joinConfirmation(joined), "pointer Hourglass", "max 2", "value 0", "show", "value 0", "value 1",
                        "value 2", "pointer Default", joinCompletion(joined), "value 0", "hide"}));
    EXPECT_EQ(fs::file_size(joined), kLength);
    for (const auto& block : blocks) {
        SCOPED_TRACE("joined block at " + std::to_string(block.offset));
        EXPECT_SAME_BYTES(readRange(joined, block.offset, block.bytes.size()), block.bytes);
    }
    EXPECT_EQ(firstDifferentOffset(source, joined), -1);
}

// The most common reason to cut a file: a FAT32 stick, whose largest file is 4 GiB less a byte. Pieces of
// 4,194,303 KB fit it, and every length and position of them needs more than 32 bits.
TEST(LargeFile, PiecesForAFat32StickPastFourGibibytes)
{
    constexpr std::uint64_t kFat32Piece = 4194303ull * 1024; // 4 GiB less 1 KiB
    constexpr std::uint64_t kNine = 9 * kGiB;
    TempDir dir;
    const std::string source = dir.file("disc.iso");
    std::vector<Block> blocks;
    std::uint32_t seed = 31;
    // Across the first piece's end and 2^32 just after it, across the second's and 2^33, and at the end.
    for (const std::uint64_t offset : {std::uint64_t{0}, kFat32Piece - 500, 2 * kFat32Piece - 10, kNine - 4096})
        blocks.push_back({offset, patternBytes(4096, seed++)});
    makeSparseFile(source, blocks, kNine);
    const std::string base = dir.file("disc$iso");

    auto native = makeNativeFileServices();
    RecordingWindow window;
    const CutResult cut = SplitOperation(window, *native).run(customSize(source, base, "4194303"));
    ASSERT_EQ(cut.outcome, Outcome::Completed) << (window.boxes().empty() ? "" : window.boxes().back());
    ASSERT_EQ(cut.pieces.size(), 3u);
    EXPECT_EQ(fs::file_size(cut.pieces[0]), kFat32Piece);
    EXPECT_EQ(fs::file_size(cut.pieces[1]), kFat32Piece);
    EXPECT_EQ(fs::file_size(cut.pieces[2]), kNine - 2 * kFat32Piece);
    for (const auto& block : blocks) {
        SCOPED_TRACE("block at " + std::to_string(block.offset));
        EXPECT_SAME_BYTES(readAcrossPieces(cut.pieces, block.offset, block.bytes.size(), kFat32Piece), block.bytes);
    }

    ASSERT_EQ(JoinOperation(window, *native).run({dir.file("back.iso"), cut.pieces}).outcome, Outcome::Completed);
    EXPECT_EQ(fs::file_size(dir.file("back.iso")), kNine);
    EXPECT_EQ(firstDifferentOffset(source, dir.file("back.iso")), -1);
}

} // namespace
} // namespace parvix::test
