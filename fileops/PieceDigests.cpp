#include "PieceDigests.h"

#include "Crc32.h"
#include "FileError.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

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

} // namespace

struct PieceDigests::Job
{
    enum class Kind
    {
        Begin,
        Block,
        End,
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
    std::thread thread;
};

PieceDigests::PieceDigests(std::uint64_t sliceSize, SliceSums* sums, bool hashSlices)
    : m_sliceSize(sliceSize), m_sums(sums), m_hashSlices(hashSlices)
{
    const std::size_t workers = workerCount();
    const std::size_t sumCount = sums ? sums->count() : 0;
    // Blocks held for the sums must leave the copy buffers to go on with.
    const std::size_t buffers = workers * 4 + (sumCount > 0 ? kBatch : 0);
    for (std::size_t i = 0; i < buffers; ++i) {
        m_buffers.emplace_back(new std::byte[kBlock]);
        m_free.push_back(i);
    }
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
    m_changed.notify_all();
    for (auto& worker : m_workers)
        worker->thread.join();
}

void PieceDigests::post(std::shared_ptr<Job> job)
{
    {
        const std::lock_guard lock(m_mutex);
        job->pending = m_workers.size();
        for (auto& worker : m_workers) {
            worker->queue.push_back(job);
            ++worker->busy;
        }
    }
    m_changed.notify_all();
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
    m_changed.wait(lock, [this] { return !m_free.empty(); });
    m_buffer = m_free.back();
    m_free.pop_back();
    return m_buffers[*m_buffer].get();
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
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
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
    }
    m_changed.notify_all();
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
    for (auto& job : worker.held) {
        if (--job->pending == 0)
            release(job->buffer);
    }
    {
        const std::lock_guard lock(m_mutex);
        worker.busy -= worker.held.size();
    }
    worker.held.clear();
    m_changed.notify_all();
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
            m_changed.wait(lock, [&] { return m_quit || !worker.queue.empty(); });
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
                worker.owner = job->piece % m_workers.size() == index;
                if (worker.owner) {
                    worker.crc = Crc32();
                    worker.length = 0;
                    worker.hasher.reset();
                    if (m_sliceSize > 0 && m_hashSlices)
                        worker.hasher.emplace(m_sliceSize);
                }
                break;
            case Job::Kind::Block: {
                const std::byte* bytes = m_buffers[job->buffer].get();
                if (worker.owner) {
                    worker.crc.update(bytes, job->size);
                    if (worker.hasher)
                        worker.hasher->update(bytes, job->size);
                    worker.length += static_cast<std::int64_t>(job->size);
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
                if (worker.owner) {
                    PieceDigest digest;
                    digest.length = worker.length;
                    digest.crc32 = worker.crc.value();
                    if (worker.hasher)
                        digest.par2 = worker.hasher->finish();
                    const std::lock_guard lock(m_mutex);
                    if (m_digests.size() <= job->piece)
                        m_digests.resize(job->piece + 1);
                    m_digests[job->piece] = std::move(digest);
                }
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
        if (job->kind == Job::Kind::Block && --job->pending == 0)
            release(job->buffer);
        {
            const std::lock_guard lock(m_mutex);
            --worker.busy;
        }
        m_changed.notify_all();
    }
}

} // namespace parvix
