#pragma once

#include "par2/RecoveryEncoder.h"
#include "par2/RepairMatrix.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace parvix::par2 {

// Rebuilds missing input slices in the pass that reads the others. It keeps one sum per recovery slice
// offered, which starts as that recovery slice's data and to which every good input slice is added as it
// passes; solve() then picks the sums to use and rebuild() turns them into the missing slices.
//
// Holds exponents × slice size bytes, and rebuilds in that memory.
//
// An input slice that was added and later found damaged may stay added: what is rebuilt for it is then the
// difference to XOR onto its damaged bytes, instead of the slice itself.
//
// The add functions and rebuild() may run on several threads at once as RecoveryEncoder::add() may.
class RepairDecoder
{
public:
    RepairDecoder(std::uint64_t sliceSize, std::vector<std::uint32_t> exponents);

    // size bytes of the recovery slice offered k-th, found at offset within its data.
    void addRecovery(std::size_t k, std::uint64_t offset, const std::byte* data, std::size_t size);
    // size bytes of a good input slice with this constant, found at offset within it (as RecoveryEncoder::add).
    void addInput(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size);
    void addInput(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size,
                  std::size_t first, std::size_t count);
    void addInput(std::span<const SliceInput> inputs, std::size_t first, std::size_t count);

    // Chooses the sums that give the input slices with these constants (the missing ones, and any damaged
    // one that was added). False, changing nothing, when the recovery slices offered cannot give them.
    bool solve(std::span<const std::uint16_t> missingConstants);
    // Replaces the chosen sums by the missing slices over [offset, offset + size) of the slice (both even), or
    // all of it. Threads may share the work by ranges.
    void rebuild(std::uint64_t offset, std::uint64_t size);
    void rebuild();
    // The r-th missing slice of solve()'s list, padded to the slice size, once rebuilt.
    std::span<const std::byte> rebuilt(std::size_t r) const;

    std::size_t count() const { return m_sums.count(); }
    std::uint64_t sliceSize() const { return m_sums.sliceSize(); }

private:
    RecoveryEncoder m_sums;
    std::optional<RepairMatrix> m_matrix;
};

} // namespace parvix::par2
