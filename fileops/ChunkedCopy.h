#pragma once

#include "Crc32.h"
#include "FileServices.h"
#include "PieceBuffer.h"

#include <cstdint>
#include <functional>

namespace parvix {

class StopRequest;

// Copies ranges between open files a chunk at a time, by the kernel where it can and otherwise through
// one buffer, adding every byte to a CRC. Before each chunk it looks whether the user asked to stop, so
// that even a piece of gigabytes stops within a moment.
class ChunkedCopy
{
public:
    // Small enough to stop within half a second on a slow stick, large enough to cost nothing.
    static constexpr std::int64_t kChunk = 4 * 1024 * 1024;

    // `copied` is told the size of each chunk once it is copied.
    ChunkedCopy(const StopRequest* stop, std::function<void(std::int64_t)> copied)
        : m_stop(stop), m_copied(std::move(copied))
    {
    }

    // Offsets count from 0.
    void copy(File& from, std::int64_t fromOffset, File& to, std::int64_t toOffset, std::int64_t size, Crc32& checksum);

private:
    const StopRequest* m_stop;
    std::function<void(std::int64_t)> m_copied;
    PieceBuffer m_buffer;
};

} // namespace parvix
