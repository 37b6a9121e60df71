#pragma once

#ifdef _WIN32
#include <string_view>
#endif

namespace parvix {

// The file-error number for an errno value (POSIX builds).
int fileErrorFromErrno(int error);

// The file-error number for a Win32 error code (Windows builds; compiled everywhere so it is tested).
int fileErrorFromWin32(unsigned long error);

#ifdef _WIN32
// Windows reports a path on a drive letter that does not exist as a missing file or folder. That is not
// a missing file but an unusable drive, and the user must hear so: the error of a failure on `path`,
// with that mended.
unsigned long driveAwareError(unsigned long error, std::wstring_view path);
// The file-error number for a failure on `path`, with that mended.
int fileErrorFromWin32(unsigned long error, std::wstring_view path);
#endif

} // namespace parvix
