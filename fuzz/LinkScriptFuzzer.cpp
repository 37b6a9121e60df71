// The lines of Link.bat for any piece names: each name stays inside its quotes and reads back intact
// ("%" doubled, since cmd expands it even inside quotes), the runs of the lines together list every
// piece in order, and no line is longer than the limit when each single name fits on a line.
#include "FuzzCheck.h"
#include "LinkScript.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct Line
{
    std::vector<std::string> sources;
    std::string target;
};

// A quoted item at `pos`, with "%%" read back as "%"; nothing when the quoting is broken.
std::optional<std::string> readQuoted(std::string_view line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string item;
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
        if (line[pos] == '%') {
            if (pos + 1 >= line.size() || line[pos + 1] != '%')
                return std::nullopt; // a lone "%" would be expanded by cmd
            ++pos;
        }
        item += line[pos];
    }
    if (pos >= line.size())
        return std::nullopt;
    ++pos;
    return item;
}

// copy/B "a"+"b"+… "target"
std::optional<Line> parse(std::string_view line)
{
    constexpr std::string_view prefix = "copy/B ";
    if (line.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    Line parsed;
    std::size_t pos = prefix.size();
    for (;;) {
        auto item = readQuoted(line, pos);
        if (!item)
            return std::nullopt;
        parsed.sources.push_back(std::move(*item));
        if (pos < line.size() && line[pos] == '+') {
            ++pos;
            continue;
        }
        if (pos >= line.size() || line[pos] != ' ')
            return std::nullopt;
        ++pos;
        break;
    }
    auto target = readQuoted(line, pos);
    if (!target || pos != line.size())
        return std::nullopt;
    parsed.target = std::move(*target);
    return parsed;
}

// A name as the script can hold it: characters that cannot stand inside cmd's quotes (and that no
// Windows file name holds) become the one-character wildcard.
std::string asScriptName(std::string_view name)
{
    std::string out;
    for (char c : name)
        out += (static_cast<unsigned char>(c) < 0x20 || c == '"') ? '?' : c;
    return out;
}

std::size_t quotedSize(std::string_view name)
{
    std::size_t size = name.size() + 2;
    for (char c : name)
        size += c == '%' ? 1 : 0;
    return size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 400);
    const std::string destination = input.ConsumeRandomLengthString(80);
    std::vector<std::string> pieces;
    do
        pieces.push_back(input.ConsumeRandomLengthString(80));
    while (input.remaining_bytes() > 0 && pieces.size() < 300);

    const auto lines = parvix::linkScriptLines(pieces, destination, limit);
    FUZZ_CHECK(!lines.empty());

    // A continuation line holds the destination, one piece and the destination again.
    bool eachNameFits = true;
    for (const auto& piece : pieces)
        eachNameFits =
            eachNameFits && 7 + quotedSize(destination) + 1 + quotedSize(piece) + 1 + quotedSize(destination) <= limit;

    const std::string target = asScriptName(destination);
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].find_first_of("\r\n") == std::string::npos);
        if (eachNameFits)
            FUZZ_CHECK(lines[i].size() <= limit);
        const auto line = parse(lines[i]);
        FUZZ_CHECK(line.has_value());
        FUZZ_CHECK(line->target == target);
        std::size_t first = 0;
        if (i > 0) {
            // Each later line appends its run to what the earlier lines built.
            FUZZ_CHECK(line->sources.size() >= 2);
            FUZZ_CHECK(line->sources[0] == target);
            first = 1;
        }
        listed.insert(listed.end(), line->sources.begin() + static_cast<std::ptrdiff_t>(first), line->sources.end());
    }
    FUZZ_CHECK(listed.size() == pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        FUZZ_CHECK(listed[i] == asScriptName(pieces[i]));
    return 0;
}
