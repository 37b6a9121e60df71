#pragma once

#include <cstddef>
#include <cstdint>

namespace parvix {

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320), added to block by block.
class Crc32
{
public:
    void update(const std::byte* bytes, std::size_t size);
    std::uint32_t value() const { return m_value; }

private:
    std::uint32_t m_value = 0;
};

} // namespace parvix
