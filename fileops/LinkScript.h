#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvix {

// cmd reads at most 8,191 characters of a line; stay well below it.
inline constexpr std::size_t kLinkLineLimit = 8000;

// The lines of Link.bat (without line ends) that join `pieces` (file names, in order) into
// `destination` (a file name). One "copy/B" line while it fits; otherwise the first line copies the
// first run of pieces and each later line appends the next run to the destination. "%" is doubled,
// since cmd expands it even inside quotes.
std::vector<std::string> linkScriptLines(const std::vector<std::string>& pieces, std::string_view destination,
                                         std::size_t lineLimit = kLinkLineLimit);

// The path of Link.bat for a destination base: its folder part with the separator, then "Link.bat".
std::string linkScriptPath(std::string_view base);

} // namespace parvix
