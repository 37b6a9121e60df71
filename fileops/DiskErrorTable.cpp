#include "DiskErrorTable.h"

#include "FileError.h"
#include "WindowQuestions.h"

#include <string>

namespace parvix {

namespace {

// Line breaks in messages are a lone carriage return.
constexpr std::string_view kNoDisk = "The specify drive cann't to be used\r\rNo disk in the drive";
constexpr std::string_view kFileCannotBeWritten = "The file cann't to be written!";
constexpr std::string_view kDiskIo = "DiskI/0 error";
constexpr std::string_view kDiskFull = "The disk room is not enough";
constexpr std::string_view kProtected = "Disk is protected or file is protected";
constexpr std::string_view kDiskError = "Disk error";

} // namespace

std::optional<std::string_view> diskErrorMessage(int number, DiskErrorEntries entries)
{
    switch (number) {
    case errnum::kBadFileName:
    case errnum::kDeviceUnavailable:
        return kNoDisk;
    case errnum::kFileNotFound:
        if (entries == DiskErrorEntries::AllButFileNotFound)
            return std::nullopt;
        return kFileCannotBeWritten;
    case errnum::kDeviceIo:
        return kDiskIo;
    case errnum::kDiskFull:
        return kDiskFull;
    case errnum::kPermissionDenied:
        return kProtected;
    case errnum::kDiskNotReady:
        return kDiskError;
    default:
        return std::nullopt;
    }
}

void reportDiskError(Questions& questions, int number, DiskErrorEntries entries)
{
    if (const auto message = diskErrorMessage(number, entries))
        questions.messageBox(std::string(*message), BoxStyle::DiskError, BoxTitle::Program);
}

} // namespace parvix
