#include "par2/FileHasher.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace parvix::par2 {

namespace {

const std::array<std::byte, 64 * 1024> kZeros{};

void addZeros(Md5& md5, Crc32& crc, std::uint64_t count)
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

} // namespace parvix::par2
