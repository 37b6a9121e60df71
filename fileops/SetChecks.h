#pragma once

#include "FileServices.h"
#include "Operation.h"
#include "WindowQuestions.h"

#include <string>
#include <vector>

namespace parvix {

class StopRequest;

// A whole set by its first piece, as the console takes it (the window has "Add" for it): what to join,
// and a check of the set without joining it. Both say what is wrong with the set, and a failure of the
// disk ends them through the disk-error table, as any engine's does.

// The pieces of a set to join, and whether the user chose to join them although they cannot give back
// the original (notOriginal).
struct SetToJoin : OperationResult
{
    std::vector<std::string> pieces;
};

// The set of `first`, as "Add" finds it. What is wrong with it is said first, and that nothing can
// check its bytes when it has no check file. A set that cannot give back its original is taken only
// when the user answers Yes to joining it anyway; a No ends it as Stopped.
SetToJoin findSetToJoin(FileServices& files, Questions& questions, const std::string& first);

// A set checked as a join would check it, without writing anything.
struct SetCheck : OperationResult
{
    // The lines of a check file for what the set joins to, as far as the pieces were read.
    std::vector<std::string> checkFileLines;
    // Whether the bytes were checked against a check file: sound pieces without one may still not be
    // the original's bytes.
    bool checked = false;
};

// Completed when the set is whole and, as far as it can tell, sound; Failed when it is not. A stop asked
// for while the pieces are read ends it as Interrupted.
SetCheck verifySet(FileServices& files, Questions& questions, const std::string& first, const StopRequest* stop);

// Rebuilds the missing and damaged pieces of a set with an index in place, each through a temporary file
// and a rename, from the set's recovery files. Completed when the set is sound in the end (it may have
// been already), Failed when the recovery is not enough; `checked` is false when the set has no index.
SetCheck repairSet(FileServices& files, Questions& questions, const std::string& first, const StopRequest* stop);

} // namespace parvix
