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

// A result of an engine, of the kind `Result` (what the engine also gives back), that ended so.
template <typename Result = OperationResult>
Result endedAs(Outcome outcome, std::optional<FileError> error = std::nullopt, bool notOriginal = false)
{
    Result result;
    result.outcome = outcome;
    result.error = std::move(error);
    result.notOriginal = notOriginal;
    return result;
}

// Runs an engine's work; a failure, a failed allocation too, goes to `failed` (the engine's one error
// path), whose result is the work's.
template <typename Work, typename Failed> auto withErrorPath(Work&& work, Failed&& failed) -> decltype(work())
{
    try {
        try {
            return work();
        } catch (const std::bad_alloc&) {
            throw outOfMemoryError();
        }
    } catch (const FileError& error) {
        return failed(error);
    }
}

} // namespace parvix
