#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvix {

// The small text file beside a set of pieces that says what joining them must give back, in the format
// that file managers' split and combine functions write and read:
//   filename=report.txt
//   size=3000000
//   crc32=1A2B3C4D
struct CheckFile
{
    std::string fileName;    // the joined file's name, without a folder
    std::int64_t size = 0;   // its length in bytes
    std::uint32_t crc32 = 0; // the CRC-32 of its bytes
    bool operator==(const CheckFile&) const = default;
};

// Larger files are no check files; reading one stops there.
inline constexpr std::int64_t kCheckFileLimit = 64 * 1024;

// The check file of a destination base: the base followed by ".crc" (report$txt.crc).
std::string checkFilePath(std::string_view base);

// The three lines, without their line ends; a control character of the name becomes "?".
std::vector<std::string> checkFileLines(const CheckFile& check);

// Reads a check file as the file managers do, and as editors may have saved it: a byte-order mark (UTF-8,
// or UTF-16, which is read as such), lines ended by CR, LF or CR LF, "key=value" with spaces around key
// and value trimmed, the three keys in any order and in any case, other lines ignored, hex digits in
// either case. Nothing when a key is missing or its value is no number.
std::optional<CheckFile> parseCheckFile(std::string_view text);

// A CRC as the check file writes it: eight upper-case hex digits.
std::string crcText(std::uint32_t crc);

} // namespace parvix
