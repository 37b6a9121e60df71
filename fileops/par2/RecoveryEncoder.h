#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace parvix::par2 {

// Recovery slices computed in one pass over the input: each recovery slice is the sum, word by word, of
// every input slice times its constant raised to the recovery slice's exponent.
//
// Holds all its recovery slices in memory: exponents × slice size bytes, zeroed at the start.
//
// add() may run on several threads at once when the calls touch disjoint words (byte ranges split at
// even offsets) or disjoint recovery slices (the ranged add()); anything else needs the caller's lock.
class RecoveryEncoder
{
public:
    RecoveryEncoder(std::uint64_t sliceSize, std::vector<std::uint32_t> exponents);
    // The exponents firstExponent, firstExponent + 1, ... of one recovery volume.
    RecoveryEncoder(std::uint64_t sliceSize, std::uint32_t firstExponent, std::uint32_t count);

    // Adds size bytes of an input slice with this constant, found at offset within that slice. Bytes past a
    // short last slice are zeros and need no adding; so does the zero byte that completes an odd length.
    // offset + size must not pass the slice size.
    void add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size);
    // The same, for the recovery slices first .. first + count - 1 only.
    void add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size, std::size_t first,
             std::size_t count);

    std::uint64_t sliceSize() const { return m_sliceSize; }
    std::size_t count() const { return m_exponents.size(); }
    std::uint32_t exponent(std::size_t k) const { return m_exponents[k]; }
    std::span<const std::byte> slice(std::size_t k) const;
    std::span<std::byte> slice(std::size_t k);

private:
    struct AlignedFree
    {
        void operator()(std::byte* bytes) const;
    };

    std::uint64_t m_sliceSize;
    std::vector<std::uint32_t> m_exponents;
    std::vector<std::unique_ptr<std::byte[], AlignedFree>> m_slices;
};

} // namespace parvix::par2
