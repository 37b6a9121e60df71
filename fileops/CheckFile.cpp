#include "CheckFile.h"

#include <charconv>

namespace parvix {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool sameKey(std::string_view key, std::string_view expected)
{
    if (key.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != expected[i])
            return false;
    }
    return true;
}

// Text saved as UTF-16 by an editor, with its byte-order mark, as UTF-8.
std::string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::string out;
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

template <typename Number> std::optional<Number> numberOf(std::string_view text, int base)
{
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string checkFilePath(std::string_view base)
{
    return std::string(base) + ".crc";
}

std::vector<std::string> checkFileLines(const CheckFile& check)
{
    // A line break in a name would end its line and let the rest read as lines of their own.
    std::string name = check.fileName;
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return {"filename=" + name, "size=" + std::to_string(check.size), "crc32=" + crcText(check.crc32)};
}

std::optional<CheckFile> parseCheckFile(std::string_view text)
{
    // An editor may have saved it with a byte-order mark, or as UTF-16.
    std::string converted;
    if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) {
        converted = fromUtf16(text, text[0] == '\xFE');
        text = converted;
    } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::optional<std::string> fileName;
    std::optional<std::int64_t> size;
    std::optional<std::uint32_t> crc;
    bool seenSize = false;
    bool seenCrc = false;
    // A line ends at a CR, an LF or both.
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        // The first line of a key counts.
        if (sameKey(key, "filename") && !fileName) {
            fileName = std::string(value);
        } else if (sameKey(key, "size") && !seenSize) {
            seenSize = true;
            size = numberOf<std::int64_t>(value, 10);
        } else if (sameKey(key, "crc32") && !seenCrc) {
            seenCrc = true;
            if (value.size() <= 8)
                crc = numberOf<std::uint32_t>(value, 16);
        }
    }
    if (!fileName || !size || *size < 0 || !crc)
        return std::nullopt;
    return CheckFile{*fileName, *size, *crc};
}

std::string crcText(std::uint32_t crc)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, crc >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[crc & 0xF];
    return text;
}

} // namespace parvix
