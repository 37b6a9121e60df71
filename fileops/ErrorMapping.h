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
// The same for a failure on `path`: Windows reports a path on a drive letter that does not exist as a
// missing file or folder, which is the drive's failure, not the file's.
int fileErrorFromWin32(unsigned long error, std::wstring_view path);
#endif

} // namespace parvix
