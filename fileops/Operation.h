#pragma once

#include "FileError.h"

#include <new>
#include <optional>

namespace parvix {

enum class Outcome
{
    Completed,   // the operation ran to its completion message
    Stopped,     // a check or a "No" ended it before anything on disk changed
    Failed,      // it ended through its error path
    Interrupted, // the user stopped it while it wrote; what it kept is said in its last notice
};

struct OperationResult
{
    Outcome outcome = Outcome::Stopped;
    // The failure that took the error path, whether or not the table had a message for it.
    std::optional<FileError> error;
    // Completed, but the result is known not to be the original: the user joined a set that failed its
    // check when asked whether to join it anyway.
    bool notOriginal = false;
};

// Runs an engine's work; a failure, a failed allocation too, goes to `cleanUp` (the engine's one error
// path) and becomes the result.
template <typename Work, typename CleanUp> OperationResult runWithErrorPath(Work&& work, CleanUp&& cleanUp)
{
    try {
        try {
            return work();
        } catch (const std::bad_alloc&) {
            throw outOfMemoryError();
        }
    } catch (const FileError& error) {
        cleanUp(error);
        return {Outcome::Failed, error};
    }
}

} // namespace parvix
