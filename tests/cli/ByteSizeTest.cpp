#include "ByteSize.h"

#include "Naming.h"

#include <gtest/gtest.h>

#include <limits>
#include <span>
#include <stdexcept>

namespace parvix {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// The message of a refused text, or what was made of a text that was taken.
template <typename Parse> std::string refusal(Parse parse, const std::string& text)
{
    try {
        return "taken as " + std::to_string(parse(text));
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
}

// A text and what is made of it: "taken as N", or the reason it is refused for.
struct Reading
{
    const char* text;
    std::string result;
};

// Each text is taken as its case says, or refused with "invalid WHAT 'TEXT': REASON".
template <typename Parse> void expectReadings(Parse parse, const std::string& what, std::span<const Reading> cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(refusal(parse, c.text), c.result.starts_with("taken")
                                              ? c.result
                                              : "invalid " + what + " '" + std::string(c.text) + "': " + c.result);
    }
}

TEST(ByteSize, ReadsUnitsAsSplitDoes)
{
    const struct
    {
        const char* text;
        std::int64_t bytes;
    } cases[] = {
        {"1", 1},
        {"010", 10},
        {" +1K", 1024},
        {"1k", 1024},
        {"1KiB", 1024},
        {"1KB", 1000},
        {"1kB", 1000},
        {"1KD", 1000},
        {"1b", 512},
        {"3m", 3145728},
        {"3MB", 3000000},
        {"2G", 2147483648},
        {"5GB", 5000000000},
        {"1TiB", 1099511627776},
        {"1P", 1125899906842624},
        {"7E", 8070450532247928832},
        {"9EB", 9000000000000000000},
        {"9223372036854775807", kMax},
        {"floppy", 1447035},
        {"fat32", 4294967295},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(refusal(parseByteSize, c.text), "taken as " + std::to_string(c.bytes));
    }
}

TEST(ByteSize, RefusesWhatSplitRefusesNamingTheText)
{
    const std::string tooLarge = "it is more than 9223372036854775807 bytes";
    const Reading cases[] = {
        {"", "it is not a number"},
        {"K", "it is not a number"},
        {"0", "a piece holds at least 1 byte"},
        {"0M", "a piece holds at least 1 byte"},
        {"-1", "it is negative"},
        {"1.5M", "'.5M' is not a unit"},
        {"1K ", "'K ' is not a unit"},
        {"1g", "'g' is not a unit"},
        {"1Kb", "'Kb' is not a unit"},
        {"1KiD", "'KiD' is not a unit"},
        {"1bB", "'bB' is not a unit"},
        {"Floppy", "it is not a number"},
        {"9223372036854775808", tooLarge},
        {"8E", tooLarge},
        {"10EB", tooLarge},
        {"1Z", tooLarge},
    };
    expectReadings(parseByteSize, "piece size", cases);
}

TEST(ByteSize, KilobytesAreReadAsTheSizeBoxReadsThemWithNothingAfter)
{
    const std::string outOfRange = "it gives no piece size from 1 to 9223372036854775807 bytes";
    const Reading cases[] = {
        {"1.5", "taken as 1536"},
        {"+.5", "taken as 512"},
        {"2e1", "taken as 20480"},
        {"0.0029296875", "taken as 3"},
        {"12abc", "it is not a number"},
        {"1M", "it is not a number"},
        {" 1", "it is not a number"},
        {"1e", "it is not a number"},
        {"", "it is not a number"},
        {"0", outOfRange},
        {"-5", outOfRange},
        {"0.0001", outOfRange},
        // A FAT32 stick's largest file takes pieces of 4 GiB less 1 KiB.
        {"4194303", "taken as 4294966272"},
        {"9007199254740992", outOfRange}, // 2^63 bytes
    };
    expectReadings(parseKilobytes, "size in kilobytes", cases);
}

TEST(ByteSize, EqualPiecesRoundUpAndSayHowManyThereAre)
{
    const struct
    {
        std::int64_t length;
        std::int64_t count;
        std::int64_t pieceSize;
        std::int64_t pieces;
    } cases[] = {
        {10, 4, 3, 4}, {9, 4, 3, 3}, {10, 6, 2, 5}, {3, 5, 1, 3}, {0, 3, 1, 0}, {kMax, 2, kMax / 2 + 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " in " + std::to_string(c.count));
        const EqualPieces equal = equalPieces(c.length, c.count);
        EXPECT_EQ(equal.pieceSize, c.pieceSize);
        EXPECT_EQ(equal.pieces, c.pieces);
    }
}

// The engine takes its size as the box's text in kilobytes: every byte count must come back whole.
TEST(ByteSize, KilobyteTextGivesTheSameBytesBack)
{
    EXPECT_EQ(kilobyteText(1536), "1.5");
    for (const std::int64_t bytes : {1, 1023, 1025, 1447035, 2147483647}) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(pieceSizeFromKilobytes(kilobyteText(bytes)).value_or(0), bytes);
    }
}

} // namespace
} // namespace parvix
