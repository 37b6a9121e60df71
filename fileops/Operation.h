#pragma once

#include "FileError.h"

#include <optional>

namespace parvix {

enum class Outcome
{
    Completed, // the operation ran to its completion message
    Stopped,   // a check or a "No" ended it before anything on disk changed
    Failed,    // it ended through its error path
};

struct OperationResult
{
    Outcome outcome = Outcome::Stopped;
    // The failure that took the error path, whether or not the table had a message for it.
    std::optional<FileError> error;
};

} // namespace parvix
