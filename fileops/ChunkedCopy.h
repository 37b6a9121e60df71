#pragma once

#include "FileServices.h"

#include <cstdint>
#include <functional>

namespace parvix {

class PieceDigests;
class StopRequest;

// Copies a range of one file to another a block at a time, through a buffer or, where that saves work
// (holes to keep, a file system that shares or copies the blocks itself), by the kernel, and gives every
// byte to the digests (read back from the system's cache after the kernel's copy). Before each block it
// looks whether the user asked to stop, so that even a piece of gigabytes stops within a moment.
class ChunkedCopy
{
public:
    // `copied` is told the size of each block once it is copied.
    ChunkedCopy(const StopRequest* stop, PieceDigests& digests, std::function<void(std::int64_t)> copied);

    // Offsets count from 0. The caller begins and ends the piece with the digests.
    void copy(File& from, std::int64_t fromOffset, File& to, std::int64_t toOffset, std::int64_t size);

private:
    const StopRequest* m_stop;
    PieceDigests& m_digests;
    std::function<void(std::int64_t)> m_copied;
};

} // namespace parvix
