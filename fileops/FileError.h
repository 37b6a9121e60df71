#pragma once

#include <cerrno>
#include <stdexcept>
#include <string>

namespace parvix {

// Error numbers of the file-error table, and the few run-time failures that have no entry in it.
namespace errnum {
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIo = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kDiskNotReady = 71;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kTooManyFiles = 67;
} // namespace errnum

// A failure of a file service or of the engine's own arithmetic. `number` is the table's file-error
// number; `native` is the operating system's own code (errno, or a Win32 error), kept so that a
// console can print the system's description when the table has no message for it.
class FileError : public std::runtime_error
{
public:
    FileError(int number, int native, const std::string& description)
        : std::runtime_error(description), m_number(number), m_native(native)
    {
    }

    int number() const noexcept { return m_number; }
    int native() const noexcept { return m_native; }

private:
    int m_number;
    int m_native;
};

// A failed allocation, reported through the error path like any failure of the disk.
inline FileError outOfMemoryError()
{
    return FileError(errnum::kOutOfMemory, ENOMEM, "out of memory");
}

// A file that has become shorter than it was while it is read: its bytes are gone, which is an input
// error, and never made up with zeros. `native` is the system's code that stands for it.
inline FileError shrunkFileError(const std::string& path, int native)
{
    return FileError(errnum::kDeviceIo, native, "read " + path + ": unexpected end of file");
}

} // namespace parvix
