#include "Naming.h"

#include "Platform.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace parvix {

std::string pieceSuffix(std::int64_t number)
{
    std::string digits = std::to_string(number);
    if (number < 10)
        return ".00" + digits;
    if (number < 100)
        return ".0" + digits;
    return "." + digits;
}

std::string piecePath(std::string_view base, std::int64_t number)
{
    std::string path(base);
    path += pieceSuffix(number);
    return path;
}

std::optional<std::string> proposeDestination(std::string_view piece)
{
    // A "$" in a folder name is part of that folder's name: only the file name's own "$" stands for the
    // extension's dot, or the proposal would lead into another folder.
    const auto sep = lastSeparator(piece);
    const auto nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    auto dollar = piece.rfind('$');
    if (dollar != std::string_view::npos && dollar < nameStart)
        dollar = std::string_view::npos;
    const auto dot = piece.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    if (dollar == std::string_view::npos)
        return std::string(piece.substr(0, dot));
    if (dot < dollar)
        return std::nullopt;
    std::string result(piece.substr(0, dollar));
    result += '.';
    result += piece.substr(dollar + 1, dot - dollar - 1);
    return result;
}

std::string GetFileName(std::string_view sFileName)
{
    const auto sep = lastSeparator(sFileName);
    if (sep == std::string_view::npos)
        return std::string(sFileName);
    return std::string(sFileName.substr(sep + 1));
}

namespace {

// Only the space character: a tab or a line break ends the number like any other character.
bool isSpace(char c)
{
    return c == ' ';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double readLeadingNumber(std::string_view text)
{
    // Gather the number's characters without the spaces, then convert without regard to the locale.
    std::string number;
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && isSpace(text[i]))
            ++i;
    };
    skipSpaces();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
        skipSpaces();
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isSpace(c))
            continue;
        if (isDigit(c)) {
            number += c;
            digits = true;
        } else if (c == '.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        while (j < text.size() && isSpace(text[j]))
            ++j;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            exponent += text[j++];
        }
        bool exponentDigits = false;
        for (; j < text.size(); ++j) {
            if (isSpace(text[j]))
                continue;
            if (!isDigit(text[j]))
                break;
            exponent += text[j];
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-')
        ++first;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

std::optional<std::int64_t> pieceSizeFromKilobytes(std::string_view sizeText)
{
    if (sizeText.empty())
        return std::nullopt;
    const double kilobytes = readLeadingNumber(trimSpaces(sizeText));
    if (!(kilobytes > 0.0))
        return std::nullopt;
    // Rounded to the nearest, a tie to the even one (the default rounding mode). Any size of a signed
    // 64-bit count fits: the largest double below 2^63 is the largest such size there is.
    const double rounded = std::nearbyint(kilobytes * 1024.0);
    if (rounded < 1.0 || rounded >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

double pieceNumberOfName(std::string_view name)
{
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot + 1 < name.size()) {
        const auto tail = name.substr(dot + 1);
        bool allDigits = true;
        for (char c : tail)
            allDigits = allDigits && isDigit(c);
        if (allDigits) {
            double value = 0.0;
            const auto [ptr, ec] = std::from_chars(tail.data(), tail.data() + tail.size(), value);
            (void)ptr;
            return ec == std::errc::result_out_of_range ? std::numeric_limits<double>::infinity() : value;
        }
    }
    return readLeadingNumber(name.size() > 3 ? name.substr(name.size() - 3) : name);
}

bool isFirstPieceName(std::string_view path)
{
    const auto sep = lastSeparator(path);
    const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = name.substr(dot + 1);
    if (extension.size() < 3 || (extension.back() != '1' && extension.back() != '0'))
        return false;
    for (std::size_t i = 0; i + 1 < extension.size(); ++i) {
        if (extension[i] != '0')
            return false;
    }
    return true;
}

std::string deriveDestinationBase(std::string_view path)
{
    // The extension's dot is the last "." of the file name, however long the extension; a "." in a
    // folder name is no extension's.
    const auto sep = lastSeparator(path);
    const auto nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const auto dot = path.rfind('.');
    std::string base(path);
    if (dot != std::string_view::npos && dot >= nameStart)
        base[dot] = '$';
    return base;
}

} // namespace parvix
