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
    return {"filename=" + check.fileName, "size=" + std::to_string(check.size), "crc32=" + crcText(check.crc32)};
}

std::optional<CheckFile> parseCheckFile(std::string_view text)
{
    std::optional<std::string> fileName;
    std::optional<std::int64_t> size;
    std::optional<std::uint32_t> crc;
    bool seenSize = false;
    bool seenCrc = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        // The first line of a key counts.
        if (key == "filename" && !fileName) {
            fileName = std::string(value);
        } else if (key == "size" && !seenSize) {
            seenSize = true;
            size = numberOf<std::int64_t>(value, 10);
        } else if (key == "crc32" && !seenCrc) {
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
