#include "PieceOrder.h"

#include "Naming.h"

namespace parvix {

std::optional<std::string> pieceOrderProblem(const std::vector<std::string>& pieces)
{
    double last = 0;
    std::string lastPiece;
    for (const auto& piece : pieces) {
        const std::string name = GetFileName(piece);
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || dot + 1 == name.size() ||
            name.find_first_not_of("0123456789", dot + 1) != std::string::npos)
            continue;
        const double number = pieceNumberOfName(name);
        if (!lastPiece.empty() && number <= last)
            return piece + " comes after " + lastPiece +
                   ", not in the order of their numbers; give the pieces in that order, or add --as-listed to join "
                   "them as given";
        if (!lastPiece.empty() && number > last + 1)
            return "a piece is missing between " + lastPiece + " and " + piece +
                   "; give every piece, or add --as-listed to join them as given";
        last = number;
        lastPiece = piece;
    }
    return std::nullopt;
}

} // namespace parvix
