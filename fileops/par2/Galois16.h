#pragma once

#include <cstddef>
#include <cstdint>

namespace parvix::par2 {

// Arithmetic in GF(2^16) with the generator polynomial x^16 + x^12 + x^3 + x + 1 (0x1100B), through
// GF-Complete. Words in memory are 16-bit little-endian. Every function may be called from any thread.
class Galois16
{
public:
    static std::uint16_t multiply(std::uint16_t a, std::uint16_t b);
    // b must not be 0.
    static std::uint16_t divide(std::uint16_t a, std::uint16_t b);
    // a must not be 0.
    static std::uint16_t inverse(std::uint16_t a);
    // a to the power e; 0 to the power 0 is 1.
    static std::uint16_t power(std::uint16_t a, std::uint64_t e);

    // dest ^= factor * src, word by word, over size bytes. size must be even; src and dest may have any
    // alignment, but where they agree modulo 16 no copy is made on the way.
    static void multiplyAdd(std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor);

    // The split layout, in which GF-Complete multiplies regions more than half as fast again: in each group
    // of 32 bytes, the high bytes of its 16 words, then their low bytes. A machine without it keeps the
    // words' own order, and these functions work on that.
    static constexpr std::size_t kSplitGroup = 32;
    // size is a multiple of kSplitGroup; in and out may have any alignment but must not overlap.
    static void toSplitLayout(std::byte* out, const std::byte* in, std::size_t size);
    static void fromSplitLayout(std::byte* out, const std::byte* in, std::size_t size);
    // multiplyAdd() on regions in the split layout: dest and src aligned to kSplitGroup, size a multiple of it.
    static void multiplyAddSplit(std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor);
};

} // namespace parvix::par2
