#include "par2/FileHasher.h"

#include "par2/Md5Lanes.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <limits>
#include <optional>

namespace parvix::par2 {

namespace {

const std::array<std::byte, 64 * 1024> kZeros{};

template <class Hash>
void addZeros(Hash& md5, Crc32& crc, std::uint64_t count)
{
    while (count > 0) {
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(count, kZeros.size()));
        md5.update(kZeros.data(), step);
        crc.update(kZeros.data(), step);
        count -= step;
    }
}

} // namespace

FileHasher::FileHasher(std::uint64_t sliceSize) : m_sliceSize(sliceSize)
{
    assert(sliceSize > 0);
}

void FileHasher::update(const std::byte* bytes, std::size_t size)
{
    while (size > 0) {
        const bool firstSlice = m_length < m_sliceSize;
        std::uint64_t room = m_sliceSize - m_inSlice;
        if (m_length < kFirst16k)
            room = std::min(room, kFirst16k - m_length);
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(size, room));

        m_fileMd5.update(bytes, step);
        if (!firstSlice)
            m_sliceMd5.update(bytes, step);
        m_sliceCrc.update(bytes, step);
        m_length += step;
        m_inSlice += step;
        bytes += step;
        size -= step;

        if (m_length == kFirst16k)
            m_digest.md5First16k = Md5(m_fileMd5).digest();
        if (m_inSlice == m_sliceSize) {
            if (firstSlice) {
                Md5 copy(m_fileMd5);
                endSlice(copy);
            } else {
                endSlice(m_sliceMd5);
            }
        }
    }
}

void FileHasher::endSlice(Md5& sliceMd5)
{
    m_digest.slices.push_back({sliceMd5.digest(), m_sliceCrc.value()});
    m_sliceCrc = Crc32();
    m_inSlice = 0;
}

FileDigest FileHasher::finish()
{
    if (m_length < kFirst16k)
        m_digest.md5First16k = Md5(m_fileMd5).digest();
    if (m_inSlice > 0) {
        // The last slice is the first one too when the file is shorter than a slice.
        Md5 lastSlice = m_length < m_sliceSize ? Md5(m_fileMd5) : m_sliceMd5;
        addZeros(lastSlice, m_sliceCrc, m_sliceSize - m_inSlice);
        endSlice(lastSlice);
    }
    m_digest.length = m_length;
    m_digest.md5 = m_fileMd5.digest();
    return std::move(m_digest);
}

namespace {

// Where one file stands in its runs of bytes as its lane goes through them.
struct LaneCursor
{
    const WholeFile* file;
    Md5Lane md5;
    std::optional<Md5Hash> first16k;
    std::size_t run = 0;
    std::size_t at = 0;

    std::span<const std::byte> ahead() const { return file->runs[run].subspan(at); }
    bool snapDue() const { return md5.length() == kFirst16k && !first16k; }
    std::uint64_t untilSnap() const
    {
        return md5.length() < kFirst16k ? kFirst16k - md5.length() : std::numeric_limits<std::uint64_t>::max();
    }
    // Brings the lane to the start of a whole block that lies in one run and before the first 16 KiB's
    // end, taking odd bytes one by one on the way; false once the file is through.
    bool ready()
    {
        for (;;) {
            if (snapDue())
                first16k = md5.digest();
            if (run == file->runs.size())
                return false;
            const auto bytes = ahead();
            if (bytes.empty()) {
                ++run;
                at = 0;
                continue;
            }
            const std::uint64_t inBlock = md5.length() % 64;
            if (inBlock == 0 && bytes.size() >= 64 && untilSnap() >= 64)
                return true;
            const auto step = static_cast<std::size_t>(
                std::min<std::uint64_t>({bytes.size(), 64 - inBlock, untilSnap()}));
            md5.update(bytes.data(), step);
            at += step;
        }
    }
    std::size_t blocksAhead() const { return static_cast<std::size_t>(std::min<std::uint64_t>(ahead().size(), untilSnap()) / 64); }
};

} // namespace

std::vector<FileDigest> digestSideBySide(std::span<const WholeFile> files, std::uint64_t sliceSize)
{
    std::vector<LaneCursor> cursors;
    cursors.reserve(files.size());
    for (const WholeFile& file : files)
        cursors.push_back({&file, {}, {}});

    const std::size_t width = std::max<std::size_t>(md5LaneCount(), 1);
    for (std::size_t first = 0; first < cursors.size(); first += width) {
        const std::size_t end = std::min(cursors.size(), first + width);
        for (;;) {
            LaneCursor* used[kMd5Lanes];
            Md5Lane* lanes[kMd5Lanes];
            const std::byte* data[kMd5Lanes];
            std::size_t count = 0;
            std::size_t blocks = std::numeric_limits<std::size_t>::max();
            for (std::size_t i = first; i < end; ++i) {
                if (!cursors[i].ready())
                    continue;
                used[count] = &cursors[i];
                lanes[count] = &cursors[i].md5;
                data[count++] = cursors[i].ahead().data();
                blocks = std::min(blocks, cursors[i].blocksAhead());
            }
            if (count == 0)
                break;
            md5Blocks(lanes, data, count, blocks);
            for (std::size_t k = 0; k < count; ++k)
                used[k]->at += blocks * 64;
        }
    }

    std::vector<FileDigest> digests;
    digests.reserve(files.size());
    for (LaneCursor& cursor : cursors) {
        assert(cursor.md5.length() <= sliceSize);
        FileDigest digest;
        digest.length = cursor.md5.length();
        digest.md5 = cursor.md5.digest();
        digest.md5First16k = cursor.first16k.value_or(digest.md5);
        if (digest.length > 0) {
            Md5Lane slice = cursor.md5;
            Crc32 crc(cursor.file->crc32);
            addZeros(slice, crc, sliceSize - digest.length);
            digest.slices.push_back({slice.digest(), crc.value()});
        }
        digests.push_back(std::move(digest));
    }
    return digests;
}

} // namespace parvix::par2
