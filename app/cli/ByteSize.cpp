#include "ByteSize.h"

#include "Naming.h"
#include "SplitOperation.h"

#include <charconv>
#include <limits>
#include <stdexcept>

namespace parvix {

namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int64_t>::max();

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The white space that `split` skips before a number: the C locale's.
bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t digitsFrom(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

std::invalid_argument refused(const char* what, std::string_view text, const std::string& reason)
{
    return std::invalid_argument("invalid " + std::string(what) + " '" + std::string(text) + "': " + reason);
}

// The power of the base that a unit letter stands for; 0 for a letter that is no unit.
int unitPower(char letter)
{
    switch (letter) {
    case 'K':
    case 'k':
        return 1;
    case 'M':
    case 'm':
        return 2;
    case 'G':
        return 3;
    case 'T':
        return 4;
    case 'P':
        return 5;
    case 'E':
        return 6;
    case 'Z':
        return 7;
    case 'Y':
        return 8;
    default:
        return 0;
    }
}

} // namespace

std::int64_t parseByteSize(std::string_view text)
{
    constexpr const char* kWhat = "piece size";
    if (text == "floppy")
        return kFloppyPieceSize;
    if (text == "fat32")
        return kFat32PieceSize;

    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] == '-')
        throw refused(kWhat, text, "it is negative");
    if (i < text.size() && text[i] == '+')
        ++i;
    const std::size_t end = digitsFrom(text, i);
    if (end == i)
        throw refused(kWhat, text, "it is not a number");
    const std::string tooLarge = "it is more than " + std::to_string(kMaxCount) + " bytes";
    std::int64_t bytes = 0;
    if (std::from_chars(text.data() + i, text.data() + end, bytes).ec != std::errc())
        throw refused(kWhat, text, tooLarge);

    const std::string_view unit = text.substr(end);
    std::int64_t base = 1024;
    int power = 0;
    if (unit == "b") {
        base = 512;
        power = 1;
    } else if (!unit.empty()) {
        power = unitPower(unit[0]);
        const std::string_view rest = unit.substr(1);
        if (rest == "B" || rest == "D")
            base = 1000;
        else if (!rest.empty() && rest != "iB")
            power = 0;
        if (power == 0)
            throw refused(kWhat, text, "'" + std::string(unit) + "' is not a unit");
    }
    for (int n = 0; n < power; ++n) {
        if (bytes > kMaxCount / base)
            throw refused(kWhat, text, tooLarge);
        bytes *= base;
    }
    if (bytes == 0)
        throw refused(kWhat, text, "a piece holds at least 1 byte");
    return bytes;
}

std::int64_t parseKilobytes(std::string_view text)
{
    constexpr const char* kWhat = "size in kilobytes";
    // The box's own reading stops at the first character that cannot continue the number; here such a
    // character is refused, so that "1M" is not taken for 1 kilobyte.
    std::size_t i = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    std::size_t end = digitsFrom(text, i);
    bool digits = end > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fraction = end + 1;
        end = digitsFrom(text, fraction);
        digits = digits || end > fraction;
    }
    if (digits && end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        // An "e" without digits after it is no exponent, and so text after the number.
        if (const std::size_t exponentEnd = digitsFrom(text, exponent); exponentEnd > exponent)
            end = exponentEnd;
    }
    if (!digits || end != text.size())
        throw refused(kWhat, text, "it is not a number");
    const auto bytes = pieceSizeFromKilobytes(text);
    if (!bytes)
        throw refused(kWhat, text,
                      "it gives no piece size from 1 to " + std::to_string(std::numeric_limits<std::int64_t>::max()) +
                          " bytes");
    return *bytes;
}

EqualPieces equalPieces(std::int64_t length, std::int64_t count)
{
    const std::int64_t size = length / count + (length % count != 0 ? 1 : 0);
    const std::int64_t pieceSize = size > 0 ? size : 1;
    return {pieceSize, pieceCount(length, pieceSize)};
}

std::string kilobyteText(std::int64_t bytes)
{
    // 1,024 is 2 to the 10th, so a remainder r of bytes is r × 5^10 ten-thousand-millionths of a
    // kilobyte: ten decimals say it exactly, and the box reads them back to the same count.
    std::string text = std::to_string(bytes / 1024);
    const std::int64_t remainder = bytes % 1024;
    if (remainder == 0)
        return text;
    std::string fraction = std::to_string(remainder * 9765625);
    fraction.insert(0, 10 - fraction.size(), '0');
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return text + "." + fraction;
}

} // namespace parvix
