#include "Crc32.h"

#include <algorithm>

// libdeflate where it is built for (several GB/s with the processor's carry-less multiply); zlib, whose
// static library Debian ships for MinGW, on Windows. zlib combines CRCs everywhere.
#ifndef PARVIX_CRC_ZLIB
#include <libdeflate.h>
#endif
#include <zlib.h>

namespace parvix {

void Crc32::update(const std::byte* bytes, std::size_t size)
{
#ifdef PARVIX_CRC_ZLIB
    // zlib counts in 32-bit lengths.
    while (size > 0) {
        const std::size_t step = std::min<std::size_t>(size, std::size_t{1} << 30);
        m_value = static_cast<std::uint32_t>(
            ::crc32(m_value, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(step)));
        bytes += step;
        size -= step;
    }
#else
    m_value = libdeflate_crc32(m_value, bytes, size);
#endif
}

std::uint32_t Crc32::combine(std::uint32_t first, std::uint32_t second, std::int64_t secondLength)
{
    // zlib's length is a long, of 32 bits on Windows: a longer run is shifted in steps.
    constexpr std::int64_t kStep = std::int64_t{1} << 30;
    uLong value = first;
    for (; secondLength > kStep; secondLength -= kStep)
        value = ::crc32_combine(value, 0, static_cast<z_off_t>(kStep));
    return static_cast<std::uint32_t>(::crc32_combine(value, second, static_cast<z_off_t>(secondLength)));
}

} // namespace parvix
