// The check file beside a set, read as file managers read theirs.
#include "CheckFile.h"
#include "Crc32.h"

#include <vector>

#include <gtest/gtest.h>

namespace parvix {
namespace {

// Text as an editor saves it in UTF-16 (little-endian) with its byte-order mark.
std::string utf16le(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(CheckFile, IsReadAsTheFileManagersReadIt)
{
    const CheckFile expected{"report.txt", 3000000, 0x1A2B3C4D};
    const struct
    {
        const char* name;
        std::string text;
        std::optional<CheckFile> read;
    } cases[] = {
        {"as a cut writes it", "filename=report.txt\r\nsize=3000000\r\ncrc32=1A2B3C4D\r\n", expected},
        {"LF, lower-case hex, no last line end", "filename=report.txt\nsize=3000000\ncrc32=1a2b3c4d", expected},
        {"any order, spaces around keys and values, other lines",
         "[parts]\r\n crc32 = 1A2B3C4D\r\nnote=x\r\nsize =3000000\r\n\r\nfilename= report.txt\r\n", expected},
        {"fewer than eight hex digits", "filename=a\nsize=0\ncrc32=0\n", CheckFile{"a", 0, 0}},
        {"the first line of a key counts", "filename=a\nfilename=b\nsize=1\nsize=2\ncrc32=FFFFFFFF\ncrc32=0\n",
         CheckFile{"a", 1, 0xFFFFFFFF}},
        {"a name with '=' in it", "filename=a=b.txt\nsize=1\ncrc32=1\n", CheckFile{"a=b.txt", 1, 1}},
        // As editors save it.
        {"a UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "filename=report.txt\r\nsize=3000000\r\ncrc32=1A2B3C4D\r\n",
         expected},
        {"CR line ends", "filename=report.txt\rsize=3000000\rcrc32=1A2B3C4D\r", expected},
        {"keys in capitals", "FileName=report.txt\nSIZE=3000000\nCRC32=1A2B3C4D\n", expected},
        {"UTF-16 with its mark", utf16le(u"filename=caf\u00e9.txt\r\nsize=3000000\r\ncrc32=1A2B3C4D\r\n"),
         CheckFile{"caf\xC3\xA9.txt", 3000000, 0x1A2B3C4D}},
        {"no size", "filename=report.txt\ncrc32=1A2B3C4D\n", std::nullopt},
        {"no CRC", "filename=report.txt\nsize=3000000\n", std::nullopt},
        {"no name", "size=3000000\ncrc32=1A2B3C4D\n", std::nullopt},
        {"a size that is no number", "filename=a\nsize=12ab\ncrc32=1\n", std::nullopt},
        {"a negative size", "filename=a\nsize=-1\ncrc32=1\n", std::nullopt},
        {"a CRC of nine digits", "filename=a\nsize=1\ncrc32=11A2B3C4D\n", std::nullopt},
        {"a CRC that is no hex", "filename=a\nsize=1\ncrc32=0x1A\n", std::nullopt},
        {"nothing", "", std::nullopt},
        {"a key of another case that is no key", "filename=a\nsize=1\ncrc=1\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = parseCheckFile(c.text);
        ASSERT_EQ(read.has_value(), c.read.has_value());
        if (read) {
            EXPECT_EQ(read->fileName, c.read->fileName);
            EXPECT_EQ(read->size, c.read->size);
            EXPECT_EQ(read->crc32, c.read->crc32);
        }
    }
}

// A name is one line: a line break in it cannot add lines of its own to what the cut writes.
TEST(CheckFile, ANameCannotAddLines)
{
    const CheckFile written{"x\nsize=1\rcrc32=DEADBEEF", 9, 0xCBF43926};
    const auto lines = checkFileLines(written);
    EXPECT_EQ(lines, (std::vector<std::string>{"filename=x?size=1?crc32=DEADBEEF", "size=9", "crc32=CBF43926"}));
    const auto read = parseCheckFile(lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size, 9);
    EXPECT_EQ(read->crc32, 0xCBF43926u);
}

// The check file's CRC is made of its pieces' CRCs: combined, they must give the CRC of the pieces one after
// the other, a run of more than 2 GiB too (zlib takes a 32-bit length on Windows).
TEST(Crc32, PiecesCombineIntoTheWholeFilesCrc)
{
    const auto crcOf = [](const std::vector<std::byte>& block, std::int64_t length) {
        Crc32 crc;
        for (std::int64_t done = 0; done < length; done += static_cast<std::int64_t>(block.size()))
            crc.update(block.data(), static_cast<std::size_t>(std::min<std::int64_t>(block.size(), length - done)));
        return crc.value();
    };
    std::vector<std::byte> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::byte>(i * 7 + i / 251);
    for (const std::int64_t second : {std::int64_t{0}, std::int64_t{1}, std::int64_t{1000}, (std::int64_t{5} << 29) + 3}) {
        SCOPED_TRACE(second);
        const std::uint32_t first = crcOf(block, 3000);
        Crc32 whole;
        whole.update(block.data(), 3000);
        for (std::int64_t done = 0; done < second; done += static_cast<std::int64_t>(block.size()))
            whole.update(block.data(), static_cast<std::size_t>(std::min<std::int64_t>(block.size(), second - done)));
        EXPECT_EQ(Crc32::combine(first, crcOf(block, second), second), whole.value());
    }
}

} // namespace
} // namespace parvix
