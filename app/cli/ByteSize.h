#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvix {

// The largest file that FAT32 holds: the name "fat32" of -b.
inline constexpr std::int64_t kFat32PieceSize = 4294967295;

// A piece size in bytes as `split -b` reads it: white space, an optional "+", decimal digits, then
// optionally a unit: "b" (512), "K" or "k", "M" or "m", "G", "T", "P", "E", "Z", "Y" (powers of 1,024),
// any of them but "b" followed by "iB" (the same) or by "B" or "D" (powers of 1,000 instead). Also the
// names "floppy" (the window's "1.44M" size) and "fat32". Throws std::invalid_argument naming the text
// when it is not a number, is 0 or negative, has another unit or anything after it, or is more than
// the largest signed 64-bit count.
std::int64_t parseByteSize(std::string_view text);

// A piece size in kilobytes as the window's size box reads it ("1.5" is 1,536 bytes), but only a plain
// decimal number, with nothing before or after it. Throws std::invalid_argument naming the text when
// it is not such a number or gives no size the box would take.
std::int64_t parseKilobytes(std::string_view text);

// The piece size that cuts `length` bytes into `count` (more than 0) pieces: the length divided by the
// count, rounded up, at least 1. Every piece but the last has that size, so some lengths give fewer
// pieces than asked for (9 bytes in 4 pieces are 3 pieces of 3): `pieces` is the count it gives.
struct EqualPieces
{
    std::int64_t pieceSize = 0;
    std::int64_t pieces = 0;
};
EqualPieces equalPieces(std::int64_t length, std::int64_t count);

// A size in bytes written exactly as kilobytes, the way the size box takes it: 1,536 gives "1.5".
std::string kilobyteText(std::int64_t bytes);

} // namespace parvix
