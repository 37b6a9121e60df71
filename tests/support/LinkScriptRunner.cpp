#include "LinkScriptRunner.h"

#include "TestPaths.h"

#include <map>
#include <stdexcept>
#include <vector>

namespace parvix::test {

namespace {

// A quoted name at `pos`, with cmd's "%%" turned back into "%".
std::string readQuoted(const std::string& line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        throw std::runtime_error("expected a quoted name at column " + std::to_string(pos) + " of: " + line);
    const auto end = line.find('"', pos + 1);
    if (end == std::string::npos)
        throw std::runtime_error("unterminated name in: " + line);
    std::string name;
    for (std::size_t i = pos + 1; i < end; ++i) {
        name += line[i];
        if (line[i] == '%') {
            if (i + 1 >= end || line[i + 1] != '%')
                throw std::runtime_error("a lone % in: " + line);
            ++i;
        }
    }
    pos = end + 1;
    return name;
}

} // namespace

LinkScriptResult runLinkScript(const std::string& folder)
{
    const std::string text = readFile(joinPath(folder, "Link.bat"));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos)
            throw std::runtime_error("Link.bat has a line without CR LF");
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (lines.empty())
        throw std::runtime_error("Link.bat is empty");

    std::map<std::string, std::string> written;
    LinkScriptResult result;
    const std::string prefix = "copy/B ";
    for (const auto& line : lines) {
        if (line.rfind(prefix, 0) != 0)
            throw std::runtime_error("not a copy/B line: " + line);
        std::size_t pos = prefix.size();
        std::vector<std::string> sources{readQuoted(line, pos)};
        while (pos < line.size() && line[pos] == '+') {
            ++pos;
            sources.push_back(readQuoted(line, pos));
        }
        if (pos >= line.size() || line[pos] != ' ')
            throw std::runtime_error("expected one space before the target in: " + line);
        ++pos;
        const std::string target = readQuoted(line, pos);
        if (pos != line.size())
            throw std::runtime_error("text after the target in: " + line);
        std::string bytes;
        for (const auto& source : sources) {
            const auto earlier = written.find(source);
            bytes += earlier != written.end() ? earlier->second : readFile(joinPath(folder, source));
        }
        written[target] = bytes;
        result = {target, bytes};
    }
    return result;
}

} // namespace parvix::test
