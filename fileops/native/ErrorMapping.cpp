#include "../ErrorMapping.h"

#include "../FileError.h"

#include <cerrno>

namespace parvix {

namespace {

struct Mapping
{
    unsigned long native;
    int number;
};

constexpr Mapping kErrnoTable[] = {
    {ENOENT, errnum::kFileNotFound},
    {ENOTDIR, errnum::kPathNotFound},
    {EACCES, errnum::kPermissionDenied},
    {EPERM, errnum::kPermissionDenied},
    {EROFS, errnum::kPermissionDenied},
    {ETXTBSY, errnum::kPermissionDenied},
    {EBUSY, errnum::kPermissionDenied},
    {ENOSPC, errnum::kDiskFull},
    {EFBIG, errnum::kDiskFull},
    {EIO, errnum::kDeviceIo},
    {ENXIO, errnum::kDeviceUnavailable},
    {ENODEV, errnum::kDeviceUnavailable},
    {ENOMEM, errnum::kOutOfMemory},
    {EMFILE, errnum::kTooManyFiles},
    {ENFILE, errnum::kTooManyFiles},
#ifdef EDQUOT
    {EDQUOT, errnum::kDiskFull},
#endif
#ifdef ENOMEDIUM
    {ENOMEDIUM, errnum::kDeviceUnavailable},
#endif
};

// Win32 error codes, spelled out so the table compiles on every platform.
constexpr Mapping kWin32Table[] = {
    {2, errnum::kFileNotFound},        // ERROR_FILE_NOT_FOUND
    {3, errnum::kPathNotFound},        // ERROR_PATH_NOT_FOUND
    {5, errnum::kPermissionDenied},    // ERROR_ACCESS_DENIED
    {8, errnum::kOutOfMemory},         // ERROR_NOT_ENOUGH_MEMORY
    {14, errnum::kOutOfMemory},        // ERROR_OUTOFMEMORY
    {4, errnum::kTooManyFiles},        // ERROR_TOO_MANY_OPEN_FILES
    {15, errnum::kDeviceUnavailable},  // ERROR_INVALID_DRIVE
    {19, errnum::kPermissionDenied},   // ERROR_WRITE_PROTECT
    {20, errnum::kDeviceUnavailable},  // ERROR_BAD_UNIT
    {21, errnum::kDiskNotReady},       // ERROR_NOT_READY
    {23, errnum::kDeviceIo},           // ERROR_CRC
    {31, errnum::kDeviceIo},           // ERROR_GEN_FAILURE
    {32, errnum::kPermissionDenied},   // ERROR_SHARING_VIOLATION
    {33, errnum::kPermissionDenied},   // ERROR_LOCK_VIOLATION
    {39, errnum::kDiskFull},           // ERROR_HANDLE_DISK_FULL
    {55, errnum::kDeviceUnavailable},  // ERROR_DEV_NOT_EXIST
    {112, errnum::kDiskFull},          // ERROR_DISK_FULL
    {1117, errnum::kDeviceIo},         // ERROR_IO_DEVICE
};

template <std::size_t N>
int lookUp(const Mapping (&table)[N], unsigned long native)
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

} // namespace parvix
