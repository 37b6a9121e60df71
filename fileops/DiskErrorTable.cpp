#include "DiskErrorTable.h"

#include "FileError.h"
#include "Texts.h"
#include "WindowQuestions.h"

#include <string>

namespace parvix {

std::optional<std::string_view> diskErrorMessage(int number, DiskErrorEntries entries)
{
    switch (number) {
    case errnum::kBadFileName:
    case errnum::kDeviceUnavailable:
        return kNoDiskText;
    case errnum::kFileNotFound:
        if (entries == DiskErrorEntries::AllButFileNotFound)
            return std::nullopt;
        return kFileCannotBeWrittenText;
    case errnum::kDeviceIo:
        return kDiskIoText;
    case errnum::kDiskFull:
        return kDiskFullText;
    case errnum::kPermissionDenied:
        return kProtectedText;
    case errnum::kDiskNotReady:
        return kDiskErrorText;
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
