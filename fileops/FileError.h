#pragma once

#include <cerrno>
#include <cstdint>
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

// What a file service was doing when it failed: "open", "read", "rename a to", and the path it did it to.
struct FileAction
{
    std::string verb;
    std::string path;
};

// A failure of a file service or of the engine's own arithmetic. `number` is the table's file-error
// number; `native` is the operating system's own code (errno, or a Win32 error). The path and the
// system's words for the failure are kept so that a console can say which file failed, and why.
class FileError : public std::runtime_error
{
public:
    FileError(int number, int native, const std::string& description)
        : std::runtime_error(description), m_number(number), m_native(native)
    {
    }
    FileError(int number, int native, const FileAction& action, const std::string& reason)
        : std::runtime_error(action.verb + " " + action.path + ": " + reason), m_number(number), m_native(native),
          m_path(action.path), m_reason(reason)
    {
    }

    int number() const noexcept { return m_number; }
    int native() const noexcept { return m_native; }
    // The file that failed, and the system's reason; empty for a failure of no file.
    const std::string& path() const noexcept { return m_path; }
    const std::string& reason() const noexcept { return m_reason; }

private:
    int m_number;
    int m_native;
    std::string m_path;
    std::string m_reason;
};

// A failed allocation, reported through the error path like any failure of the disk.
inline FileError outOfMemoryError()
{
    return FileError(errnum::kOutOfMemory, ENOMEM, "out of memory");
}

// Too little room on the volume of `folder` for what is to be written there.
inline FileError noRoomError(const std::string& folder, std::int64_t needed, std::int64_t room)
{
    return FileError(errnum::kDiskFull, ENOSPC, {"write into", folder},
                     "not enough room: " + std::to_string(needed) + " bytes needed, " + std::to_string(room) + " free");
}

// A file that has become shorter than it was while it is read: its bytes are gone, which is an input
// error, and never made up with zeros. `native` is the system's code that stands for it.
inline FileError shrunkFileError(const std::string& path, int native)
{
    return FileError(errnum::kDeviceIo, native, {"read", path}, "unexpected end of file");
}

} // namespace parvix
