#pragma once

#include "FileServices.h"
#include "Operation.h"

#include <optional>
#include <string>

namespace parvix {

class WindowRequests;

// Proposes the joined file's path from the path of a first piece: shows it in Text4, with the caret at
// its end when the piece's path holds a "$". Nothing, and Text4 keeps its text, when no name can be formed.
std::optional<std::string> proposeJoinDestination(WindowRequests& window, const std::string& firstPiece);

// "Add" of the join list, after the file dialog has returned a chosen path: a path ending in "001"
// brings its whole piece set (PieceSet), in the order of the piece numbers, and says in one notice what
// is wrong with it; any other path is added alone. Duplicates are refused; the join destination is
// proposed from a first piece.
class JoinListAdd
{
public:
    JoinListAdd(WindowRequests& window, FileServices& files);
    // `chosenPath` is what the dialog returned; an empty path (cancelled) changes nothing.
    OperationResult run(const std::string& chosenPath);

private:
    OperationResult addPieceSet(const std::string& chosenPath);
    OperationResult addSingleFile(const std::string& chosenPath);

    WindowRequests& m_window;
    FileServices& m_files;
};

} // namespace parvix
