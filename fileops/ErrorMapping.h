#pragma once

namespace parvix {

// The file-error number for an errno value (POSIX builds).
int fileErrorFromErrno(int error);

// The file-error number for a Win32 error code (Windows builds; compiled everywhere so it is tested).
int fileErrorFromWin32(unsigned long error);

} // namespace parvix
