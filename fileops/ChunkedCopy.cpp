#include "ChunkedCopy.h"

#include "PieceDigests.h"
#include "StopRequest.h"

#include <algorithm>

namespace parvix {

ChunkedCopy::ChunkedCopy(const StopRequest* stop, PieceDigests& digests, std::function<void(std::int64_t)> copied)
    : m_stop(stop), m_digests(digests), m_copied(std::move(copied))
{
}

void ChunkedCopy::copy(File& from, std::int64_t fromOffset, File& to, std::int64_t toOffset, std::int64_t size)
{
    constexpr auto kBlock = static_cast<std::int64_t>(PieceDigests::kBlock);
    while (size > 0) {
        throwIfStopRequested(m_stop);
        const std::int64_t block = std::min(size, kBlock);
        std::byte* bytes = m_digests.buffer();
        const auto length = static_cast<std::size_t>(block);
        if (to.copyFrom(from, fromOffset, toOffset, block)) {
            from.read(fromOffset, bytes, length);
        } else {
            from.read(fromOffset, bytes, length);
            to.write(toOffset, bytes, length);
        }
        m_digests.take(length);
        fromOffset += block;
        toOffset += block;
        size -= block;
        m_copied(block);
    }
}

} // namespace parvix
