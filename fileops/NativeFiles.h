#pragma once

#include "FileServices.h"

#include <memory>
#ifdef _WIN32
#include <string>
#include <string_view>
#endif

namespace parvix {

// The native file services of the platform the program was built for.
std::unique_ptr<FileServices> makeNativeFileServices();

#ifdef _WIN32
// The file services take UTF-8 paths; Windows speaks UTF-16. Text that is not valid in its encoding
// throws FileError.
std::wstring utf16FromUtf8(std::string_view text);
std::string utf8FromUtf16(std::wstring_view text);

// Matches a name against a pattern of "*" and "?" without regard to case, as the listing matches
// Windows file names.
bool matchesPatternIgnoringCase(std::wstring_view name, std::wstring_view pattern);
#endif

} // namespace parvix
