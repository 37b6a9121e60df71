#include "ChunkedCopy.h"

#include "StopRequest.h"

#include <algorithm>

namespace parvix {

void ChunkedCopy::copy(File& from, std::int64_t fromOffset, File& to, std::int64_t toOffset, std::int64_t size,
                       Crc32& checksum)
{
    while (size > 0) {
        throwIfStopRequested(m_stop);
        const std::int64_t chunk = std::min(size, kChunk);
        if (!to.copyFrom(from, fromOffset, toOffset, chunk, &checksum)) {
            std::byte* bytes = m_buffer.reserve(static_cast<std::size_t>(chunk));
            from.read(fromOffset, bytes, static_cast<std::size_t>(chunk));
            checksum.update(bytes, static_cast<std::size_t>(chunk));
            to.write(toOffset, bytes, static_cast<std::size_t>(chunk));
        }
        fromOffset += chunk;
        toOffset += chunk;
        size -= chunk;
        m_copied(chunk);
    }
}

} // namespace parvix
