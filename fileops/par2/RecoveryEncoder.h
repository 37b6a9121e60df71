#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace parvix::par2 {

// Bytes of an input slice with its constant, found at offset within that slice.
struct SliceInput
{
    std::uint16_t constant;
    std::uint64_t offset;
    const std::byte* data;
    std::size_t size;
};

// Recovery slices computed in one pass over the input: each recovery slice is the sum, word by word, of
// every input slice times its constant raised to the recovery slice's exponent.
//
// Holds all its recovery slices in memory: exponents × slice size bytes, zeroed at the start.
//
// add() may run on several threads at once when the calls touch disjoint groups of 32 bytes (byte ranges
// split at multiples of 32) or disjoint recovery slices (the ranged add()); anything else needs the
// caller's lock. The slices are summed in the split layout of Galois16 and put in the words' own order
// when first taken (slice(), toWordOrder()); nothing can be added after that.
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
    // Several inputs at once, for the recovery slices first .. first + count - 1: each stretch of a recovery
    // slice then passes through the cache once for all of them, which is what adding waits on.
    void add(std::span<const SliceInput> inputs, std::size_t first, std::size_t count);

    std::uint64_t sliceSize() const { return m_sliceSize; }
    std::size_t count() const { return m_exponents.size(); }
    std::uint32_t exponent(std::size_t k) const { return m_exponents[k]; }
    std::span<const std::byte> slice(std::size_t k) const;
    std::span<std::byte> slice(std::size_t k);
    // What the first slice() does; for a caller that takes slices on several threads.
    void toWordOrder() const;

private:
    struct AlignedFree
    {
        void operator()(std::byte* bytes) const;
    };

    std::uint64_t m_sliceSize;
    std::vector<std::uint32_t> m_exponents;
    std::vector<std::unique_ptr<std::byte[], AlignedFree>> m_slices;
    mutable bool m_splitLayout = true;
};

} // namespace parvix::par2
