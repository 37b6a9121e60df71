#pragma once

#include "Crc32.h"
#include "FileServices.h"
#include "PieceBuffer.h"

#include <cstdint>

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

    explicit ChunkedCopy(const StopRequest* stop) : m_stop(stop) {}

    // Offsets count from 0.
    void copy(File& from, std::int64_t fromOffset, File& to, std::int64_t toOffset, std::int64_t size, Crc32& checksum);

private:
    const StopRequest* m_stop;
    PieceBuffer m_buffer;
};

} // namespace parvix
