#include "ChunkedCopy.h"

#include "StopRequest.h"

#include <algorithm>

namespace parvix {

void ChunkedCopy::copy(File& from, std::int64_t fromPosition, File& to, std::int64_t toPosition, std::int64_t size,
                       Crc32& checksum)
{
    while (size > 0) {
        throwIfStopRequested(m_stop);
        const std::int64_t chunk = std::min(size, kChunk);
        if (!m_files.copyRange(from, fromPosition, to, toPosition, chunk, &checksum)) {
            std::byte* bytes = m_buffer.reserve(static_cast<std::size_t>(chunk));
            from.read(fromPosition, bytes, static_cast<std::size_t>(chunk));
            checksum.update(bytes, static_cast<std::size_t>(chunk));
            to.write(toPosition, bytes, static_cast<std::size_t>(chunk));
        }
        fromPosition += chunk;
        toPosition += chunk;
        size -= chunk;
    }
}

} // namespace parvix
