#include "../ErrorMapping.h"

#include "../FileError.h"

#include <cerrno>

#ifdef _WIN32
#include "WindowsApi.h"

#include <string>
#endif

namespace parvix {

namespace {

struct Mapping
{
    unsigned long native;
    int number;
};

// Each failure goes to the message that tells the user what to do about it, and the same failure to the
// same message on every system. Both tables go by message; what fits none stays without one (75).
constexpr Mapping kErrnoTable[] = {
    // Nothing of that name, or a folder on the way missing (or a file in its place): the file cannot be
    // written where asked.
    {ENOENT, errnum::kFileNotFound},
    {ENOTDIR, errnum::kFileNotFound},
    {ENAMETOOLONG, errnum::kFileNotFound},
    {ELOOP, errnum::kFileNotFound},
    {EACCES, errnum::kPermissionDenied},
    {EPERM, errnum::kPermissionDenied},
    {EROFS, errnum::kPermissionDenied},
    {ETXTBSY, errnum::kPermissionDenied},
    {EBUSY, errnum::kPermissionDenied},
    // A folder where a file is expected.
    {EISDIR, errnum::kPermissionDenied},
    {ENOSPC, errnum::kDiskFull},
    {EFBIG, errnum::kDiskFull},
#ifdef EDQUOT
    {EDQUOT, errnum::kDiskFull},
#endif
    {EIO, errnum::kDeviceIo},
    {ENXIO, errnum::kDeviceUnavailable},
    {ENODEV, errnum::kDeviceUnavailable},
#ifdef ENOMEDIUM
    {ENOMEDIUM, errnum::kDeviceUnavailable},
#endif
#ifdef EMEDIUMTYPE
    {EMEDIUMTYPE, errnum::kDiskNotReady},
#endif
    {ENOMEM, errnum::kOutOfMemory},
    {EMFILE, errnum::kTooManyFiles},
    {ENFILE, errnum::kTooManyFiles},
};

// Win32 error codes, spelled out so the table compiles on every platform.
constexpr Mapping kWin32Table[] = {
    {2, errnum::kFileNotFound},         // ERROR_FILE_NOT_FOUND
    {3, errnum::kFileNotFound},         // ERROR_PATH_NOT_FOUND
    {267, errnum::kFileNotFound},       // ERROR_DIRECTORY: a file where a folder of the path should be
    {206, errnum::kFileNotFound},       // ERROR_FILENAME_EXCED_RANGE
    {123, errnum::kFileNotFound},       // ERROR_INVALID_NAME
    {161, errnum::kFileNotFound},       // ERROR_BAD_PATHNAME
    {1921, errnum::kFileNotFound},      // ERROR_CANT_RESOLVE_FILENAME: a loop of links
    {5, errnum::kPermissionDenied},     // ERROR_ACCESS_DENIED, also for a folder opened as a file
    {19, errnum::kPermissionDenied},    // ERROR_WRITE_PROTECT
    {32, errnum::kPermissionDenied},    // ERROR_SHARING_VIOLATION
    {33, errnum::kPermissionDenied},    // ERROR_LOCK_VIOLATION
    {336, errnum::kPermissionDenied},   // ERROR_DIRECTORY_NOT_SUPPORTED: a folder where a file is expected
    {39, errnum::kDiskFull},            // ERROR_HANDLE_DISK_FULL
    {112, errnum::kDiskFull},           // ERROR_DISK_FULL
    {223, errnum::kDiskFull},           // ERROR_FILE_TOO_LARGE
    {1295, errnum::kDiskFull},          // ERROR_DISK_QUOTA_EXCEEDED
    {23, errnum::kDeviceIo},            // ERROR_CRC
    {25, errnum::kDeviceIo},            // ERROR_SEEK
    {27, errnum::kDeviceIo},            // ERROR_SECTOR_NOT_FOUND
    {29, errnum::kDeviceIo},            // ERROR_WRITE_FAULT
    {30, errnum::kDeviceIo},            // ERROR_READ_FAULT
    {31, errnum::kDeviceIo},            // ERROR_GEN_FAILURE
    {1117, errnum::kDeviceIo},          // ERROR_IO_DEVICE
    {15, errnum::kDeviceUnavailable},   // ERROR_INVALID_DRIVE
    {20, errnum::kDeviceUnavailable},   // ERROR_BAD_UNIT
    {21, errnum::kDeviceUnavailable},   // ERROR_NOT_READY: a drive without its disk
    {55, errnum::kDeviceUnavailable},   // ERROR_DEV_NOT_EXIST
    {1112, errnum::kDeviceUnavailable}, // ERROR_NO_MEDIA_IN_DRIVE
    {1167, errnum::kDeviceUnavailable}, // ERROR_DEVICE_NOT_CONNECTED
    {26, errnum::kDiskNotReady},        // ERROR_NOT_DOS_DISK: a disk the system cannot read
    {1785, errnum::kDiskNotReady},      // ERROR_UNRECOGNIZED_MEDIA
    {8, errnum::kOutOfMemory},          // ERROR_NOT_ENOUGH_MEMORY
    {14, errnum::kOutOfMemory},         // ERROR_OUTOFMEMORY
    {4, errnum::kTooManyFiles},         // ERROR_TOO_MANY_OPEN_FILES
};

template <std::size_t N> int lookUp(const Mapping (&table)[N], unsigned long native)
{
    for (const auto& entry : table) {
        if (entry.native == native)
            return entry.number;
    }
    return errnum::kPathFileAccess;
}

} // namespace

int fileErrorFromErrno(int error)
{
    return lookUp(kErrnoTable, static_cast<unsigned long>(error));
}

int fileErrorFromWin32(unsigned long error)
{
    return lookUp(kWin32Table, error);
}

#ifdef _WIN32

namespace {

// "Q:\" for a path on drive letter Q ("Q:\…", "Q:…" or "\\?\Q:\…"); empty for any other path.
std::wstring driveRoot(std::wstring_view path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        path.remove_prefix(4);
    const bool letter =
        (path.size() >= 2) && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (letter && path[1] == L':')
        return std::wstring{path[0], L':', L'\\'};
    return {};
}

} // namespace

unsigned long driveAwareError(unsigned long error, std::wstring_view path)
{
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME)
        return error;
    const std::wstring root = driveRoot(path);
    if (!root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
        return ERROR_INVALID_DRIVE;
    return error;
}

int fileErrorFromWin32(unsigned long error, std::wstring_view path)
{
    return fileErrorFromWin32(driveAwareError(error, path));
}

#endif

} // namespace parvix
