#pragma once

#include "par2/FileHasher.h"
#include "par2/RecoveryEncoder.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace parvix {

// What the bytes of one piece give: their CRC-32, which the whole file's is made of, and, for a set with
// a PAR2 index, the piece's digest as a file of that set's slices.
struct PieceDigest
{
    std::int64_t length = 0;
    std::uint32_t crc32 = 0;
    std::optional<par2::FileDigest> par2;
};

// Recovery sums that the pieces' bytes are added into as they pass: a cut's recovery slices, or the sums
// from which a join rebuilds missing slices. Called on several threads at once, each for a range of sums
// of its own.
class SliceSums
{
public:
    virtual ~SliceSums() = default;
    virtual std::size_t count() const = 0;
    // Bytes of input slices into the sums first .. first + count - 1.
    virtual void add(std::span<const par2::SliceInput> inputs, std::size_t first, std::size_t count) = 0;
};

// Digests pieces on threads of their own while the caller copies them, so that hashing every byte costs
// the copy little time: the caller puts each block of a piece into one of a few buffers and goes on; one
// thread takes each piece's hashes (pieces take turns among the threads, since a hash takes its bytes in
// order), and every thread adds its share of the sums. Where the processor has vector lanes for MD5, a
// thread keeps the blocks of a few small pieces in a row and hashes them side by side. Memory stays at the
// few buffers, and those few pieces.
class PieceDigests
{
public:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    // `sliceSize` is the set's (0: the CRC only); `sums`, when given, takes the bytes of every slice with a
    // constant, and must outlive the digests. Without `hashSlices` the slices are summed, not hashed.
    PieceDigests(std::uint64_t sliceSize, SliceSums* sums, bool hashSlices = true);
    ~PieceDigests();
    PieceDigests(const PieceDigests&) = delete;
    PieceDigests& operator=(const PieceDigests&) = delete;

    // A piece begins; `constants` holds its slices' constants, one for each slice (0 for a slice left out
    // of the sums), or none for a piece whose bytes add nothing to them.
    void beginPiece(std::vector<std::uint16_t> constants = {});
    // A buffer of kBlock bytes for the piece's next bytes; waits while every buffer is in use.
    std::byte* buffer();
    // The first `size` bytes of the buffer go to the digests; the buffer is theirs until they are done.
    void take(std::size_t size);
    // The buffer goes back unused.
    void giveBack();
    void endPiece();

    // Waits until every piece is digested and hands the digests over in piece order. A failure on the way
    // (memory) is thrown here.
    std::vector<PieceDigest> finish();

private:
    struct Job;
    struct Worker;
    void post(std::shared_ptr<Job> job);
    std::size_t ownerOf(std::size_t piece) const;
    void run(std::size_t worker);
    void addHeld(Worker& worker);
    void release(std::size_t buffer);
    void drop(Job& job);
    void keepForLanes(Worker& worker, std::shared_ptr<Job> job);
    void dropKept(Job& job);
    void keep(std::size_t piece, PieceDigest digest);
    void digestWaiting(Worker& worker);
    void hashAlone(Worker& worker);

    std::uint64_t m_sliceSize;
    SliceSums* m_sums;
    bool m_hashSlices;
    // Pieces hashed side by side: as many as the vector lanes take (1: each on its own as it passes).
    std::size_t m_lanes = 1;
    std::size_t m_waitingLimit = 0; // blocks a worker keeps for its row at most
    std::size_t m_piece = 0; // the piece being given, counted from 0
    std::uint64_t m_inPiece = 0;
    std::optional<std::size_t> m_buffer; // the buffer handed out by buffer()

    std::mutex m_mutex;
    // Told by the workers when the copy may go on (a buffer free, or all work done); each worker has its
    // own for the work posted to it. Each side is woken only by what it waits for.
    std::condition_variable m_progress;
    // Room for every buffer, reserved at once and taken as the buffers are first needed; nothing where
    // the system has no such room, and each buffer is made on its own.
    class BlockArena
    {
    public:
        BlockArena() = default;
        explicit BlockArena(std::size_t size);
        ~BlockArena();
        BlockArena(const BlockArena&) = delete;
        BlockArena& operator=(BlockArena&& other) noexcept;
        std::byte* bytes() const { return m_bytes; }

    private:
        std::byte* m_base = nullptr;
        std::byte* m_bytes = nullptr;
        std::size_t m_length = 0;
    };
    BlockArena m_arena;
    std::vector<std::unique_ptr<std::byte[]>> m_owned;
    std::vector<std::byte*> m_buffers; // as many as may be needed, made when first needed
    std::vector<std::size_t> m_free;
    // Buffers handed out and not yet back, of which those kept for the lanes; the others are at most
    // m_copyBuffers, so that the copy waits for slow sums as it would without the lanes.
    std::size_t m_inUse = 0;
    std::size_t m_kept = 0;
    std::size_t m_copyBuffers = 0;
    std::vector<PieceDigest> m_digests;
    std::exception_ptr m_failure;
    bool m_quit = false;
    std::vector<std::unique_ptr<Worker>> m_workers;
};

} // namespace parvix
