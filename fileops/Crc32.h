#pragma once

#include <cstddef>
#include <cstdint>

namespace parvix {

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320), added to block by block.
class Crc32
{
public:
    Crc32() = default;
    // Goes on from the CRC of the bytes before.
    explicit Crc32(std::uint32_t sofar) : m_value(sofar) {}

    void update(const std::byte* bytes, std::size_t size);
    std::uint32_t value() const { return m_value; }

    // The CRC of two runs of bytes one after the other, from the CRC of each and the second's length: the
    // pieces of a file are digested apart, the whole file's CRC made of theirs.
    static std::uint32_t combine(std::uint32_t first, std::uint32_t second, std::int64_t secondLength);

private:
    std::uint32_t m_value = 0;
};

} // namespace parvix
