#pragma once

#include <optional>
#include <string_view>

namespace parvix {

class Questions;

// Which entries of the table a caller uses: the engines use all of them, the drive change of the
// directory chooser all but "file not found".
enum class DiskErrorEntries
{
    All,
    AllButFileNotFound,
};

// The table's message for an error number, or nothing when the caller's entries do not list it.
std::optional<std::string_view> diskErrorMessage(int number, DiskErrorEntries entries);

// Shows the table's message in the disk-error box and waits for it to be closed; a number without an
// entry shows nothing. Changes nothing else.
void reportDiskError(Questions& questions, int number, DiskErrorEntries entries);

} // namespace parvix
