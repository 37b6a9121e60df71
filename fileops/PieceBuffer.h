#pragma once

#include "FileError.h"

#include <cstddef>
#include <memory>
#include <new>

namespace parvix {

// The buffer a piece passes through. It is reused while pieces fit, so memory stays at one piece; a
// failed allocation is a FileError, never a crash.
class PieceBuffer
{
public:
    std::byte* reserve(std::size_t size)
    {
        if (size > m_capacity || !m_bytes) {
            m_bytes.reset(); // free the old piece first: never hold two
            m_capacity = 0;
            m_bytes.reset(new (std::nothrow) std::byte[size == 0 ? 1 : size]);
            if (!m_bytes)
                throw outOfMemoryError();
            m_capacity = size;
        }
        return m_bytes.get();
    }

private:
    std::unique_ptr<std::byte[]> m_bytes;
    std::size_t m_capacity = 0;
};

} // namespace parvix
