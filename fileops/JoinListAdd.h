#pragma once

#include "FileServices.h"
#include "Operation.h"
#include "WindowRequests.h"

#include <optional>
#include <string>
#include <vector>

namespace parvix {

// Proposes the joined file's path from the path of a first piece: shows it in Text4, with the caret at
// its end when the piece's path holds a "$". Nothing, and Text4 keeps its text, when no name can be formed.
std::optional<std::string> proposeJoinDestination(WindowParts& window, const std::string& firstPiece);

// What "Add" appended to the join list, besides how it ended.
struct AddResult : OperationResult
{
    std::vector<std::string> appended;
    // The joined file's path proposed in Text4, for a first piece.
    std::optional<std::string> proposal;
};

// "Add" of the join list, after the file dialog has returned a chosen path: a path ending in "001"
// brings its whole piece set (PieceSet), in the order of the piece numbers, and says in one notice what
// is wrong with it; any other path is added alone. Duplicates of what is listed are refused; the join
// destination is proposed from a first piece. It tells the window what to append and shows what it
// says; what is listed already it is given.
class JoinListAdd
{
public:
    JoinListAdd(WindowParts window, FileServices& files);
    // `chosenPath` is what the dialog returned, `listed` the join list's entries; an empty path
    // (cancelled) changes nothing.
    AddResult run(const std::string& chosenPath, const std::vector<std::string>& listed);

private:
    AddResult addPieceSet(const std::string& chosenPath, const std::vector<std::string>& listed);
    AddResult addSingleFile(const std::string& chosenPath, const std::vector<std::string>& listed);
    void append(AddResult& result, const std::string& entry);

    WindowParts m_window;
    FileServices& m_files;
};

} // namespace parvix
