#include "ErrorMapping.h"

#include "DiskErrorTable.h"
#include "FileError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace parvix {
namespace {

struct Native
{
    unsigned long code;
    const char* name;
};

// Both systems' failures side by side, by the number each gets: one failure, one message, whichever
// system reports it. 75 has no message: only failures that fit no entry go there.
TEST(ErrorMapping, EachFailureGetsTheSameNumberOnLinuxAndWindows)
{
    const struct
    {
        int number;
        std::vector<Native> errnos;
        std::vector<Native> win32;
    } rows[] = {
        // A missing file, a folder missing on the path (or a file in its place), a name the system
        // cannot hold.
        {53,
         {{ENOENT, "ENOENT"}, {ENOTDIR, "ENOTDIR"}, {ENAMETOOLONG, "ENAMETOOLONG"}, {ELOOP, "ELOOP"}},
         {{2, "ERROR_FILE_NOT_FOUND"},
          {3, "ERROR_PATH_NOT_FOUND"},
          {267, "ERROR_DIRECTORY"},
          {206, "ERROR_FILENAME_EXCED_RANGE"},
          {123, "ERROR_INVALID_NAME"},
          {161, "ERROR_BAD_PATHNAME"},
          {1921, "ERROR_CANT_RESOLVE_FILENAME"}}},
        // Refused, read-only, held by another program, or a folder where a file is expected.
        {70,
         {{EACCES, "EACCES"},
          {EPERM, "EPERM"},
          {EROFS, "EROFS"},
          {ETXTBSY, "ETXTBSY"},
          {EBUSY, "EBUSY"},
          {EISDIR, "EISDIR"}},
         {{5, "ERROR_ACCESS_DENIED"},
          {19, "ERROR_WRITE_PROTECT"},
          {32, "ERROR_SHARING_VIOLATION"},
          {33, "ERROR_LOCK_VIOLATION"},
          {336, "ERROR_DIRECTORY_NOT_SUPPORTED"}}},
        {61,
         {{ENOSPC, "ENOSPC"},
          {EFBIG, "EFBIG"},
#ifdef EDQUOT
          {EDQUOT, "EDQUOT"}
#endif
         },
         {{39, "ERROR_HANDLE_DISK_FULL"},
          {112, "ERROR_DISK_FULL"},
          {223, "ERROR_FILE_TOO_LARGE"},
          {1295, "ERROR_DISK_QUOTA_EXCEEDED"}}},
        {57,
         {{EIO, "EIO"}},
         {{23, "ERROR_CRC"},
          {25, "ERROR_SEEK"},
          {27, "ERROR_SECTOR_NOT_FOUND"},
          {29, "ERROR_WRITE_FAULT"},
          {30, "ERROR_READ_FAULT"},
          {31, "ERROR_GEN_FAILURE"},
          {1117, "ERROR_IO_DEVICE"}}},
        // No such drive, or no disk in it.
        {68,
         {{ENXIO, "ENXIO"},
          {ENODEV, "ENODEV"},
#ifdef ENOMEDIUM
          {ENOMEDIUM, "ENOMEDIUM"}
#endif
         },
         {{15, "ERROR_INVALID_DRIVE"},
          {20, "ERROR_BAD_UNIT"},
          {21, "ERROR_NOT_READY"},
          {55, "ERROR_DEV_NOT_EXIST"},
          {1112, "ERROR_NO_MEDIA_IN_DRIVE"},
          {1167, "ERROR_DEVICE_NOT_CONNECTED"}}},
        // A disk that is there but cannot be read as one.
        {71,
         {
#ifdef EMEDIUMTYPE
             {EMEDIUMTYPE, "EMEDIUMTYPE"}
#endif
         },
         {{26, "ERROR_NOT_DOS_DISK"}, {1785, "ERROR_UNRECOGNIZED_MEDIA"}}},
        // Failures of the program rather than of the disk: no entry, as the table has none for them.
        {7, {{ENOMEM, "ENOMEM"}}, {{8, "ERROR_NOT_ENOUGH_MEMORY"}, {14, "ERROR_OUTOFMEMORY"}}},
        {67, {{EMFILE, "EMFILE"}, {ENFILE, "ENFILE"}}, {{4, "ERROR_TOO_MANY_OPEN_FILES"}}},
        {75,
         {{EINVAL, "EINVAL"}, {EEXIST, "EEXIST"}, {0, "0"}},
         {{0, "ERROR_SUCCESS"}, {87, "ERROR_INVALID_PARAMETER"}, {183, "ERROR_ALREADY_EXISTS"}}},
    };
    for (const auto& row : rows) {
        for (const Native& error : row.errnos)
            EXPECT_EQ(fileErrorFromErrno(static_cast<int>(error.code)), row.number) << error.name;
        for (const Native& error : row.win32)
            EXPECT_EQ(fileErrorFromWin32(error.code), row.number) << error.name;
    }
    for (int number : {7, 67, 75})
        EXPECT_EQ(diskErrorMessage(number, DiskErrorEntries::All), std::nullopt) << number;
}

} // namespace
} // namespace parvix
