#pragma once

#include <optional>
#include <string>
#include <vector>

namespace parvix {

// Why pieces given one by one would not join into their original: a shell's glob lists .1000 before
// .101, and a list typed by hand may skip or repeat a piece. Nothing when their numbers follow one
// another; names without a number say nothing about the order.
std::optional<std::string> pieceOrderProblem(const std::vector<std::string>& pieces);

} // namespace parvix
