#include "LinkScript.h"

#include "Platform.h"

namespace parvix {

namespace {

// A name between double quotes for cmd. "%" is doubled, since cmd expands it even inside quotes. A
// double quote or a control character (a line break above all) would end the quoting or the line and
// let the rest of a hostile name run as commands; no Windows file name holds them, so they become the
// one-character wildcard "?".
std::string quoted(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20)
            c = '?';
        out += c;
        if (c == '%')
            out += '%';
    }
    out += '"';
    return out;
}

} // namespace

std::vector<std::string> linkScriptLines(const std::vector<std::string>& pieces, std::string_view destination,
                                         std::size_t lineLimit)
{
    const std::string prefix = "copy/B ";
    const std::string target = " " + quoted(destination);
    std::vector<std::string> lines;
    std::string line = prefix;
    bool lineHasPiece = false;
    for (const auto& piece : pieces) {
        const std::string item = quoted(piece);
        if (lineHasPiece && line.size() + 1 + item.size() + target.size() > lineLimit) {
            lines.push_back(line + target);
            // Each later line appends its run to what the earlier lines built.
            line = prefix + quoted(destination);
            lineHasPiece = true;
            line += '+';
            line += item;
            continue;
        }
        if (lineHasPiece)
            line += '+';
        line += item;
        lineHasPiece = true;
    }
    lines.push_back(line + target);
    return lines;
}

std::string linkScriptPath(std::string_view base)
{
    const auto sep = lastSeparator(base);
    std::string path(sep == std::string_view::npos ? std::string_view() : base.substr(0, sep + 1));
    path += "Link.bat";
    return path;
}

} // namespace parvix
