#pragma once

#include "par2/Md5.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvix::par2 {

// One MD5 stream in words of our own, so that several streams can go side by side through the lanes of
// the processor's vector registers. MD5 takes a stream's bytes strictly in order: one stream cannot go
// faster than one core's scalar rounds, but pieces hashed together go several times as fast.
class Md5Lane
{
public:
    void update(const std::byte* bytes, std::size_t size);
    // The digest of the bytes so far; the stream can go on.
    Md5Hash digest() const;
    std::uint64_t length() const { return m_length; }

private:
    friend void md5Blocks(Md5Lane* const* lanes, const std::byte* const* data, std::size_t count, std::size_t blocks);

    std::array<std::uint32_t, 4> m_words{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::uint64_t m_length = 0;
    std::array<std::byte, 64> m_tail{}; // the bytes past the last whole block
};

constexpr std::size_t kMd5Lanes = 16;

// How many streams md5Blocks takes at once with this processor's vector unit; 1 without one.
std::size_t md5LaneCount();

// Advances lanes[i] by `blocks` blocks of 64 bytes from data[i], for i < count <= kMd5Lanes. Every lane
// must stand at the end of a whole block.
void md5Blocks(Md5Lane* const* lanes, const std::byte* const* data, std::size_t count, std::size_t blocks);

} // namespace parvix::par2
