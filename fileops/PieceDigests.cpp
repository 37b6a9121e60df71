#include "PieceDigests.h"

#include "Crc32.h"
#include "FileError.h"
#include "par2/Md5Lanes.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace parvix {

namespace {

// As many threads as the machine has cores, at least two (the caller's copy and the hashes overlap), and
// no more than four: beyond that the disk, not the hashing, sets the pace.
std::size_t workerCount()
{
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 4);
}

// With sums to keep, a worker holds up to this many blocks and adds them together, so that the sums pass
// through the cache once for all of them.
constexpr std::size_t kBatch = 4;

// Every buffer, whatever the machine: a few for the copy, the rest for pieces hashed side by side.
constexpr std::size_t kMostBuffers = 58;

} // namespace

PieceDigests::BlockArena::BlockArena(std::size_t size)
{
#ifdef __linux__
    // Aligned to the large page, so that the system can back it with large pages: the first touch of each
    // small page would cost a fault, which under some hypervisors is dear.
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const std::size_t length = size + kLargePage;
    void* at = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (at == MAP_FAILED)
        return;
    m_base = static_cast<std::byte*>(at);
    m_length = length;
    const auto address = reinterpret_cast<std::uintptr_t>(at);
    m_bytes = m_base + ((kLargePage - address % kLargePage) % kLargePage);
#ifdef MADV_HUGEPAGE
    ::madvise(m_bytes, size, MADV_HUGEPAGE);
#endif
#else
    (void)size;
#endif
}

PieceDigests::BlockArena::~BlockArena()
{
#ifdef __linux__
    if (m_base)
        ::munmap(m_base, m_length);
#endif
}

PieceDigests::BlockArena& PieceDigests::BlockArena::operator=(BlockArena&& other) noexcept
{
    std::swap(m_base, other.m_base);
    std::swap(m_bytes, other.m_bytes);
    std::swap(m_length, other.m_length);
    return *this;
}

struct PieceDigests::Job
{
    enum class Kind
    {
        Begin,
        Block,
        End,
        Flush, // the pieces kept are hashed
    };
    Kind kind;
    std::size_t piece;
    std::vector<std::uint16_t> constants; // Begin
    std::size_t buffer = 0;               // Block: which buffer, how many bytes, where in the piece
    std::size_t size = 0;
    std::uint64_t offset = 0;
    std::atomic<std::size_t> pending{0}; // Block: the workers that have still to take it
};

struct PieceDigests::Worker
{
    std::deque<std::shared_ptr<Job>> queue;
    std::size_t busy = 0; // jobs posted to it and not yet done
    std::condition_variable work; // told when a job is posted to it, or when the work is over
    // Its share of the sums.
    std::size_t firstSum = 0;
    std::size_t sumCount = 0;
    // The piece passing now: its constants, and its hashes when it is this worker's.
    std::vector<std::uint16_t> constants;
    bool owner = false;
    Crc32 crc;
    std::optional<par2::FileHasher> hasher;
    std::int64_t length = 0;
    // Blocks held for the sums, and their slices' parts.
    std::vector<std::shared_ptr<Job>> held;
    std::vector<par2::SliceInput> parts;
    // This worker's pieces whose blocks are kept to be hashed side by side; the last may not have ended.
    struct Waiting
    {
        std::size_t piece;
        std::vector<std::shared_ptr<Job>> blocks;
        std::uint32_t crc32 = 0;
        bool ended = false;
    };
    std::vector<Waiting> waiting;
    std::size_t waitingBlocks = 0;
    std::thread thread;
};

PieceDigests::PieceDigests(std::uint64_t sliceSize, SliceSums* sums, bool hashSlices)
    : m_sliceSize(sliceSize), m_sums(sums), m_hashSlices(hashSlices)
{
    const std::size_t workers = workerCount();
    const std::size_t sumCount = sums ? sums->count() : 0;
    // Blocks held for the sums must leave the copy buffers to go on with. Blocks kept for the lanes come
    // on top: those of the pieces in a row that one worker has not yet had all of (up to the limit), and
    // of the row before while its worker catches up.
    m_copyBuffers = workers * 4 + (sumCount > 0 ? kBatch : 0);
    std::size_t buffers = m_copyBuffers;
    if (m_sliceSize > 0 && m_hashSlices && par2::md5LaneCount() > 1) {
        // A row has two blocks for each piece, since a small piece seldom fills its second block. A piece
        // that outgrows half of them is hashed on its own as it passes.
        m_waitingLimit = (kMostBuffers - m_copyBuffers) / 2 - 1;
        m_lanes = std::min(par2::md5LaneCount(), m_waitingLimit / 2);
        buffers += 2 * (m_waitingLimit + 1);
    }
    m_buffers.resize(buffers);
    m_arena = BlockArena(buffers * kBlock);
    if (!m_arena.bytes())
        m_owned.reserve(buffers);
    for (std::size_t w = 0; w < workers; ++w) {
        auto worker = std::make_unique<Worker>();
        worker->firstSum = sumCount * w / workers;
        worker->sumCount = sumCount * (w + 1) / workers - worker->firstSum;
        m_workers.push_back(std::move(worker));
    }
    // Started once every worker exists, for each may look at the others' number.
    for (std::size_t w = 0; w < workers; ++w)
        m_workers[w]->thread = std::thread([this, w] { run(w); });
}

PieceDigests::~PieceDigests()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    for (auto& worker : m_workers)
        worker->work.notify_one();
    for (auto& worker : m_workers)
        worker->thread.join();
}

void PieceDigests::post(std::shared_ptr<Job> job)
{
    // Without sums a piece concerns only the worker that hashes it: the others are not woken for it.
    const bool all = m_sums || job->kind == Job::Kind::Flush;
    const std::size_t first = all ? 0 : ownerOf(job->piece);
    const std::size_t end = all ? m_workers.size() : first + 1;
    {
        const std::lock_guard lock(m_mutex);
        job->pending = end - first;
        for (std::size_t w = first; w < end; ++w) {
            m_workers[w]->queue.push_back(job);
            ++m_workers[w]->busy;
        }
    }
    for (std::size_t w = first; w < end; ++w)
        m_workers[w]->work.notify_one();
}

std::size_t PieceDigests::ownerOf(std::size_t piece) const
{
    // Pieces side by side go to one worker together.
    return piece / m_lanes % m_workers.size();
}

void PieceDigests::beginPiece(std::vector<std::uint16_t> constants)
{
    m_inPiece = 0;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Begin;
    job->piece = m_piece;
    job->constants = std::move(constants);
    post(std::move(job));
}

std::byte* PieceDigests::buffer()
{
    std::unique_lock lock(m_mutex);
    m_progress.wait(lock, [this] {
        return m_inUse - m_kept < m_copyBuffers && (!m_free.empty() || !m_buffers.back());
    });
    if (m_free.empty()) {
        const auto unmade = std::find(m_buffers.begin(), m_buffers.end(), nullptr);
        const auto index = static_cast<std::size_t>(unmade - m_buffers.begin());
        if (m_arena.bytes()) {
            *unmade = m_arena.bytes() + index * kBlock;
        } else {
            m_owned.emplace_back(new std::byte[kBlock]);
            *unmade = m_owned.back().get();
        }
        m_free.push_back(index);
    }
    m_buffer = m_free.back();
    m_free.pop_back();
    ++m_inUse;
    return m_buffers[*m_buffer];
}

void PieceDigests::take(std::size_t size)
{
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Block;
    job->piece = m_piece;
    job->buffer = *std::exchange(m_buffer, std::nullopt);
    job->size = size;
    job->offset = m_inPiece;
    m_inPiece += size;
    post(std::move(job));
}

void PieceDigests::giveBack()
{
    release(*std::exchange(m_buffer, std::nullopt));
}

void PieceDigests::endPiece()
{
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::End;
    job->piece = m_piece++;
    post(std::move(job));
}

std::vector<PieceDigest> PieceDigests::finish()
{
    auto flush = std::make_shared<Job>();
    flush->kind = Job::Kind::Flush;
    flush->piece = m_piece;
    post(std::move(flush));
    std::unique_lock lock(m_mutex);
    m_progress.wait(lock, [this] {
        return std::all_of(m_workers.begin(), m_workers.end(), [](const auto& worker) { return worker->busy == 0; });
    });
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    return std::move(m_digests);
}

void PieceDigests::release(std::size_t buffer)
{
    {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(buffer);
        --m_inUse;
    }
    m_progress.notify_all();
}

void PieceDigests::drop(Job& job)
{
    if (--job.pending == 0)
        release(job.buffer);
}

void PieceDigests::keepForLanes(Worker& worker, std::shared_ptr<Job> job)
{
    // A turn of its own among the workers that must let its buffer go.
    ++job->pending;
    worker.waiting.back().blocks.push_back(std::move(job));
    ++worker.waitingBlocks;
    {
        const std::lock_guard lock(m_mutex);
        ++m_kept;
    }
    m_progress.notify_all();
}

void PieceDigests::dropKept(Job& job)
{
    {
        const std::lock_guard lock(m_mutex);
        --m_kept;
    }
    drop(job);
}

void PieceDigests::keep(std::size_t piece, PieceDigest digest)
{
    const std::lock_guard lock(m_mutex);
    if (m_digests.size() <= piece)
        m_digests.resize(piece + 1);
    m_digests[piece] = std::move(digest);
}

void PieceDigests::digestWaiting(Worker& worker)
{
    const auto open = std::find_if(worker.waiting.begin(), worker.waiting.end(), [](const auto& w) { return !w.ended; });
    if (open == worker.waiting.begin())
        return;
    std::vector<par2::WholeFile> files;
    for (auto piece = worker.waiting.begin(); piece != open; ++piece) {
        par2::WholeFile& file = files.emplace_back();
        file.crc32 = piece->crc32;
        for (const auto& block : piece->blocks)
            file.runs.emplace_back(m_buffers[block->buffer], block->size);
    }
    try {
        auto digests = par2::digestSideBySide(files, m_sliceSize);
        for (std::size_t i = 0; i < digests.size(); ++i) {
            PieceDigest digest;
            digest.length = static_cast<std::int64_t>(digests[i].length);
            digest.crc32 = worker.waiting[i].crc32;
            digest.par2 = std::move(digests[i]);
            keep(worker.waiting[i].piece, std::move(digest));
        }
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        if (!m_failure)
            m_failure = std::current_exception();
    }
    // The buffers go back whatever happened, for the copy waits on them.
    for (auto piece = worker.waiting.begin(); piece != open; ++piece) {
        for (const auto& block : piece->blocks)
            dropKept(*block);
        worker.waitingBlocks -= piece->blocks.size();
    }
    worker.waiting.erase(worker.waiting.begin(), open);
}

void PieceDigests::hashAlone(Worker& worker)
{
    // The piece still open is too long to be kept: it is hashed from here on as it passes.
    auto& piece = worker.waiting.back();
    worker.hasher.emplace(m_sliceSize);
    for (const auto& block : piece.blocks) {
        worker.hasher->update(m_buffers[block->buffer], block->size);
        dropKept(*block);
    }
    worker.waitingBlocks -= piece.blocks.size();
    worker.waiting.pop_back();
}

void PieceDigests::addHeld(Worker& worker)
{
    try {
        if (!worker.parts.empty())
            m_sums->add(worker.parts, worker.firstSum, worker.sumCount);
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        if (!m_failure)
            m_failure = std::current_exception();
    }
    worker.parts.clear();
    for (auto& job : worker.held)
        drop(*job);
    bool idle = false;
    {
        const std::lock_guard lock(m_mutex);
        worker.busy -= worker.held.size();
        idle = worker.busy == 0;
    }
    worker.held.clear();
    if (idle)
        m_progress.notify_all();
}

void PieceDigests::run(std::size_t index)
{
    Worker& worker = *m_workers[index];
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            // Blocks held are added as soon as nothing else waits, so that no one waits on them.
            if (worker.queue.empty() && !worker.held.empty()) {
                lock.unlock();
                addHeld(worker);
                continue;
            }
            worker.work.wait(lock, [&] { return m_quit || !worker.queue.empty(); });
            if (worker.queue.empty())
                return;
            job = std::move(worker.queue.front());
            worker.queue.pop_front();
        }
        bool held = false;
        try {
            switch (job->kind) {
            case Job::Kind::Begin:
                worker.constants = job->constants;
                worker.owner = ownerOf(job->piece) == index;
                if (worker.owner) {
                    worker.crc = Crc32();
                    worker.length = 0;
                    worker.hasher.reset();
                    if (m_lanes > 1)
                        worker.waiting.push_back({job->piece, {}});
                    else if (m_sliceSize > 0 && m_hashSlices)
                        worker.hasher.emplace(m_sliceSize);
                }
                break;
            case Job::Kind::Block: {
                const std::byte* bytes = m_buffers[job->buffer];
                if (worker.owner) {
                    worker.crc.update(bytes, job->size);
                    worker.length += static_cast<std::int64_t>(job->size);
                    if (worker.hasher) {
                        worker.hasher->update(bytes, job->size);
                    } else if (m_lanes > 1 && !worker.waiting.empty() && !worker.waiting.back().ended) {
                        keepForLanes(worker, job);
                        const std::size_t limit = m_waitingLimit;
                        if (worker.waitingBlocks > limit)
                            digestWaiting(worker);
                        if (static_cast<std::uint64_t>(worker.length) > m_sliceSize ||
                            worker.waiting.back().blocks.size() > limit / 2)
                            hashAlone(worker);
                    }
                }
                // Each slice's part of the block goes into this worker's share of the sums, with the other
                // blocks held. The block is held before its parts are noted, so that its buffer stays while
                // any part points into it.
                if (m_sums && worker.sumCount > 0 && !worker.constants.empty()) {
                    worker.held.push_back(job);
                    held = true;
                    std::uint64_t at = job->offset;
                    std::size_t done = 0;
                    while (done < job->size) {
                        const std::uint64_t slice = at / m_sliceSize;
                        const std::uint64_t within = at % m_sliceSize;
                        const auto part =
                            static_cast<std::size_t>(std::min<std::uint64_t>(job->size - done, m_sliceSize - within));
                        if (slice < worker.constants.size() && worker.constants[slice] != 0)
                            worker.parts.push_back({worker.constants[slice], within, bytes + done, part});
                        done += part;
                        at += part;
                    }
                }
                break;
            }
            case Job::Kind::End:
                if (!worker.owner)
                    break;
                if (!worker.waiting.empty() && !worker.waiting.back().ended) {
                    worker.waiting.back().crc32 = worker.crc.value();
                    worker.waiting.back().ended = true;
                } else {
                    PieceDigest digest;
                    digest.length = worker.length;
                    digest.crc32 = worker.crc.value();
                    if (worker.hasher)
                        digest.par2 = worker.hasher->finish();
                    keep(job->piece, std::move(digest));
                }
                // The last of a row: the next row is another worker's.
                if (m_lanes > 1 && job->piece % m_lanes == m_lanes - 1)
                    digestWaiting(worker);
                break;
            case Job::Kind::Flush:
                digestWaiting(worker);
                break;
            }
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
        }
        if (held) {
            if (worker.held.size() >= kBatch)
                addHeld(worker);
            continue;
        }
        if (job->kind == Job::Kind::Block)
            drop(*job);
        bool idle = false;
        {
            const std::lock_guard lock(m_mutex);
            idle = --worker.busy == 0;
        }
        if (idle)
            m_progress.notify_all();
    }
}

} // namespace parvix
