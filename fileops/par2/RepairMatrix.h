#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace parvix::par2 {

// How to rebuild m missing input slices from m recovery slices, once the good input slices' part has been
// taken out of those: missing slice r = sum over j of inverse[r × m + j] × (recovery slice rows[j]).
struct RepairMatrix
{
    std::vector<std::size_t> rows;      // indexes into the exponents offered, one for each missing slice
    std::vector<std::uint16_t> inverse; // m × m, row by row
};

// Chooses, among the recovery slices with the exponents offered (in the order offered), m whose equations
// for the m missing slices with these constants can be solved, and inverts them by Gaussian elimination over
// GF(2^16). An exponent whose equation adds nothing to those chosen before is passed over (some choices are
// singular even with distinct exponents). Nothing when no choice can solve: too few exponents, or every
// remaining choice singular.
std::optional<RepairMatrix> solveRepair(std::span<const std::uint16_t> missingConstants,
                                        std::span<const std::uint32_t> exponents);

} // namespace parvix::par2
