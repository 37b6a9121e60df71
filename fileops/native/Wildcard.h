#pragma once

#include "Internal.h"

#include <string_view>

namespace parvix {

// Matches a name against a pattern of "*" (any run) and "?" (any one character), character for character;
// a caller that ignores case folds both first. Iterative, with one backtrack point: linear enough for
// any name.
template <typename Char> bool matchesWildcard(std::basic_string_view<Char> name, std::basic_string_view<Char> pattern)
{
    constexpr auto none = std::basic_string_view<Char>::npos;
    std::size_t n = 0, p = 0, starP = none, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == Char('?') || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP != none) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace parvix
