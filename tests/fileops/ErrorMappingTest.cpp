#include "ErrorMapping.h"

#include "DiskErrorTable.h"
#include "FileError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace parvix {
namespace {

TEST(ErrorMapping, ErrnoValuesMapToTheTableNumbers)
{
    const struct
    {
        int error;
        const char* name;
        int number;
    } cases[] = {
        {ENOENT, "ENOENT", 53},
        {ENOTDIR, "ENOTDIR", 76},
        {EACCES, "EACCES", 70},
        {EPERM, "EPERM", 70},
        {EROFS, "EROFS", 70},
        {ETXTBSY, "ETXTBSY", 70},
        {ENOSPC, "ENOSPC", 61},
        {EFBIG, "EFBIG", 61},
        {EIO, "EIO", 57},
        {ENXIO, "ENXIO", 68},
        {ENODEV, "ENODEV", 68},
#ifdef EDQUOT
        {EDQUOT, "EDQUOT", 61},
#endif
#ifdef ENOMEDIUM
        {ENOMEDIUM, "ENOMEDIUM", 68},
#endif
        // Without an entry in the table: no message.
        {EINVAL, "EINVAL", 75},
        {EISDIR, "EISDIR", 75},
        {EEXIST, "EEXIST", 75},
        {ENAMETOOLONG, "ENAMETOOLONG", 75},
        {0, "0", 75},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileErrorFromErrno(c.error), c.number) << c.name;
}

TEST(ErrorMapping, OutOfMemoryAndTooManyFilesHaveNoMessage)
{
    for (int error : {ENOMEM, EMFILE, ENFILE}) {
        SCOPED_TRACE(error);
        EXPECT_EQ(diskErrorMessage(fileErrorFromErrno(error), DiskErrorEntries::All), std::nullopt);
    }
}

TEST(ErrorMapping, Win32ErrorsMapToTheTableNumbers)
{
    const struct
    {
        unsigned long error;
        const char* name;
        int number;
    } cases[] = {
        {2, "ERROR_FILE_NOT_FOUND", 53},
        {3, "ERROR_PATH_NOT_FOUND", 76},
        {5, "ERROR_ACCESS_DENIED", 70},
        {15, "ERROR_INVALID_DRIVE", 68},
        {19, "ERROR_WRITE_PROTECT", 70},
        {20, "ERROR_BAD_UNIT", 68},
        {21, "ERROR_NOT_READY", 71},
        {23, "ERROR_CRC", 57},
        {31, "ERROR_GEN_FAILURE", 57},
        {32, "ERROR_SHARING_VIOLATION", 70}, // a source another program holds locked
        {33, "ERROR_LOCK_VIOLATION", 70},
        {39, "ERROR_HANDLE_DISK_FULL", 61},
        {55, "ERROR_DEV_NOT_EXIST", 68},
        {112, "ERROR_DISK_FULL", 61},
        {1117, "ERROR_IO_DEVICE", 57},
        {0, "ERROR_SUCCESS", 75},
        {87, "ERROR_INVALID_PARAMETER", 75},
        {183, "ERROR_ALREADY_EXISTS", 75},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileErrorFromWin32(c.error), c.number) << c.name;
    for (unsigned long error : {8ul, 14ul, 4ul})
        EXPECT_EQ(diskErrorMessage(fileErrorFromWin32(error), DiskErrorEntries::All), std::nullopt) << error;
}

} // namespace
} // namespace parvix
