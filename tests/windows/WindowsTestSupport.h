#pragma once

#include <string>

namespace parvix::test {

// "Q:" for the first drive letter from Q on that no drive uses (the letters near the end of the
// alphabet are the least likely to be mapped).
std::string unusedDriveLetter();

// Sets the Win32 attributes of a file (FILE_ATTRIBUTE_HIDDEN and the like); fails the test when it cannot.
void setAttributes(const std::string& path, unsigned long attributes);

// Creates a file with the given bytes through the wide API, so that UTF-8 names work on Windows.
void writeWideFile(const std::string& utf8Path, const std::string& bytes);
std::string readWideFile(const std::string& utf8Path);
bool wideFileExists(const std::string& utf8Path);

} // namespace parvix::test
