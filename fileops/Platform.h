#pragma once

#include <string>
#include <string_view>

namespace parvix {

// The one path separator of the platform: every rule that speaks of the folder part of a path uses it.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Only the space character is trimmed; tabs and other blanks are part of what the user typed.
std::string trimSpaces(std::string_view text);

// Position of the last separator, or npos.
std::size_t lastSeparator(std::string_view path);

// The folder part of a path (everything before its last separator); an empty folder part means the root.
// Returns false when the path holds no separator at all.
bool folderPart(std::string_view path, std::string& folder);

} // namespace parvix
