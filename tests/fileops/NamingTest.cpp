#include "Naming.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <limits>

namespace parvix {
namespace {

using test::nativePath;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(Naming, PieceSuffixHasAtLeastThreeDigitsAndNoLimit)
{
    const struct
    {
        std::int64_t number;
        const char* suffix;
    } cases[] = {
        {1, ".001"},
        {9, ".009"},
        {10, ".010"},
        {42, ".042"},
        {99, ".099"},
        {100, ".100"},
        {999, ".999"},
        {1000, ".1000"},
        {1001, ".1001"},
        {32767, ".32767"},
        {32768, ".32768"},
        {100000, ".100000"},
        {5000000000LL, ".5000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pieceSuffix(c.number), c.suffix) << "piece " << c.number;
}

TEST(Naming, PiecePathAppendsTheSuffixToTheWholeBase)
{
    EXPECT_EQ(piecePath(nativePath("D:/out/movie$avi"), 1), nativePath("D:/out/movie$avi.001"));
    EXPECT_EQ(piecePath(nativePath("D:/out/movie$avi"), 42), nativePath("D:/out/movie$avi.042"));
    EXPECT_EQ(piecePath(nativePath("D:/out/movie$avi"), 1000), nativePath("D:/out/movie$avi.1000"));
    // Nothing of the base is replaced: its own dots and an existing extension stay.
    EXPECT_EQ(piecePath(nativePath("/o.k/a.b"), 7), nativePath("/o.k/a.b.007"));
    EXPECT_EQ(piecePath("", 2), ".002");
}

TEST(Naming, ProposeDestinationTurnsTheLastDollarIntoADotAndDropsTheSuffix)
{
    const struct
    {
        const char* piece;
        const char* proposal;
    } cases[] = {
        {"D:/out/movie$avi.001", "D:/out/movie.avi"},
        {"D:/out/movie.001", "D:/out/movie"},
        {"D:/out/report$txt.1000", "D:/out/report.txt"},
        {"D:/out/a$b$c.001", "D:/out/a$b.c"}, // only the last "$" counts
        {"D:/a$b/movie.001", "D:/a$b/movie"}, // a "$" in a folder name is that folder's
        {"D:/a$b.c/r.001", "D:/a$b.c/r"},
        {"D:/a$b/m$avi.001", "D:/a$b/m.avi"},
        {"D:/out/movie$.001", "D:/out/movie."}, // nothing between "$" and "."
        {"D:/out/x.y.001", "D:/out/x.y"},       // only the last "." goes
        {"D:/o.ut/movie.001", "D:/o.ut/movie"},
        {"movie$avi.001", "movie.avi"},
        {"$.001", "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.piece);
        EXPECT_EQ(proposeDestination(nativePath(c.piece)), std::optional<std::string>(nativePath(c.proposal)));
    }
}

TEST(Naming, ProposeDestinationGivesNothingWithoutADotAfterTheLastDollar)
{
    for (const char* piece : {"D:/out/movie", "D:/out/a.b$c", "D:/o.ut/movie$avi", "", "$", "movie$avi"}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(proposeDestination(nativePath(piece)), std::nullopt);
    }
}

TEST(Naming, GetFileNameIsEverythingAfterTheLastSeparator)
{
    const struct
    {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:/data/report.001", "report.001"},
        {"report.001", "report.001"},
        {"C:/data/", ""},
        {"", ""},
        {"/", ""},
        {"/x", "x"},
        {"a/b/c$d.042", "c$d.042"},
        {"C:/da ta/re port.txt ", "re port.txt "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileName(nativePath(c.path)), c.name);
    }
#ifndef _WIN32
    // A backslash is an ordinary character of a name here.
    EXPECT_EQ(GetFileName("C:\\data\\report.001"), "C:\\data\\report.001");
    EXPECT_EQ(GetFileName("/tmp/a\\b"), "a\\b");
#endif
}

TEST(Naming, ReadLeadingNumberReadsTheNumberAtTheStart)
{
    const struct
    {
        const char* text;
        double value;
    } cases[] = {
        {"1.5", 1.5},
        {"12abc", 12},
        {"12 abc", 12},
        {"", 0},
        {"0", 0},
        {"-5", -5},
        {"+7", 7},
        {"- 5", -5},
        {"abc", 0},
        {" 1 2", 12}, // spaces inside the number are skipped, and only spaces
        {"1 2 3", 123},
        {"\t7", 0},
        {"1\t5", 1},
        {"1\r\n5", 1},
        {"1 . 5", 1.5},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"--5", 0},
        {"1.2.3", 1.2},
        {"1,5", 1}, // the decimal point is "." whatever the locale
        {"5-3", 5},
        {"1e3", 1000},
        {"1E3", 1000},
        {"1 e 3", 1000},
        {"2.5e2", 250},
        {"1e+2", 100},
        {"1e-3", 0.001},
        {"1e", 1}, // an exponent without digits is no exponent
        {"1e+", 1},
        {"1ex", 1},
        {"0x10", 0},
        {"inf", 0},
        {"nan", 0},
        {"e5", 0},
        {"1e400", kInfinity},
        {"-1e400", -kInfinity},
        {"1e-400", 0},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLeadingNumber(c.text), c.value) << "text \"" << c.text << "\"";
}

TEST(Naming, PieceSizeFromKilobytesRoundsToTheNearestByteWithTiesToEven)
{
    const struct
    {
        const char* text;
        std::optional<std::int64_t> size;
    } cases[] = {
        {"1.5", 1536},
        {"12abc", 12288},
        {"1", 1024},
        {"1440", 1474560},
        {"1.44", 1475}, // 1474.56
        {" 1 2", 12288},
        {"  2  ", 2048},
        {"1e3", 1024000},
        {"0.5", 512},
        {"0.001", 1},                        // 1.024 bytes
        {"0.00146484375", 2},                // 1.5 bytes: tie, to the even 2
        {"0.00244140625", 2},                // 2.5 bytes: tie, to the even 2
        {"1.00048828125", 1024},             // 1024.5 bytes
        {"1.00146484375", 1026},             // 1025.5 bytes
        {"2097151.9990234375", 2147483647},  // 2 GiB less a byte
        {"2097152", 2147483648},             // and past it
        {"4194303", 4294966272},             // 4 GiB less 1 KiB: the pieces a FAT32 stick takes
        {"8796093022207", 9007199254739968}, // far past 32 bits
        // Refused: nothing usable, 0 or less, 0 bytes after rounding, or beyond a signed 64-bit count.
        {"", std::nullopt},
        {" ", std::nullopt},
        {"0", std::nullopt},
        {"-5", std::nullopt},
        {"-0.5", std::nullopt},
        {"abc", std::nullopt},
        {"0.0001", std::nullopt},        // 0.1024 bytes
        {"0.00048828125", std::nullopt}, // 0.5 bytes: tie, to the even 0
        {"1e-400", std::nullopt},
        {"9007199254740992", std::nullopt}, // 2^63 bytes
        {"1e400", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pieceSizeFromKilobytes(c.text), c.size) << "text \"" << c.text << "\"";
}

TEST(Naming, DeriveDestinationBaseGivesTheNameBackThroughThePieces)
{
    const struct
    {
        const char* path;
        const char* base;
    } cases[] = {
        {"C:/data/report.txt", "C:/data/report$txt"},
        {"C:/data/photo.jpeg", "C:/data/photo$jpeg"},
        {"C:/data/archive.gz", "C:/data/archive$gz"},
        {"C:/data/archive.tar.gz", "C:/data/archive.tar$gz"},
        {"C:/my.files/readme", "C:/my.files/readme"}, // a "." only in a folder name
        {"C:/data/readme", "C:/data/readme"},         // no "." anywhere: unchanged
        {"/données/café.txt", "/données/café$txt"},
        {"/фото/снимок.jpg", "/фото/снимок$jpg"},
        {"/d/.bashrc", "/d/$bashrc"},
        {"/d/file.", "/d/file$"},
        {"a.b", "a$b"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string base = deriveDestinationBase(nativePath(c.path));
        EXPECT_EQ(base, nativePath(c.base));
        // The first piece's proposal is the file the user chose.
        if (*c.path != '\0') {
            EXPECT_EQ(proposeDestination(piecePath(base, 1)), nativePath(c.path));
        }
    }
}

TEST(Naming, PieceNumberOfNameReadsTheDigitsAfterTheLastDot)
{
    const struct
    {
        const char* name;
        double number;
    } cases[] = {
        {"A$B.001", 1},   {"A$B.010", 10},  {"A$B.012", 12},
        {"x.999", 999},   {"x.1000", 1000}, // the thousandth piece is a piece
        {"x.1001", 1001}, {"x.0001", 1},    {"x.000", 0},
        {"A$B.bak", 0},   {"Link.bat", 0},  {"x001", 1}, // no dot: the last three characters
        {"x.1a3", 1},     {"12", 12},       {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pieceNumberOfName(c.name), c.number) << "name \"" << c.name << "\"";
}

} // namespace
} // namespace parvix
