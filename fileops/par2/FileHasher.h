#pragma once

#include "Crc32.h"
#include "par2/Md5.h"
#include "par2/Par2Set.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace parvix::par2 {

// What hashing a whole file gives a recovery set.
struct FileDigest
{
    std::uint64_t length = 0;
    Md5Hash md5{};
    Md5Hash md5First16k{};
    std::vector<SliceChecksum> slices; // the last one padded with zeros to the slice size
};

// Hashes a file whose bytes arrive in order, in chunks of any size, for a set of the given slice size:
// every byte goes once through the file's MD5 and CRC-32, and once more through its slice's MD5 unless it
// lies in the file's first slice (which shares the file's MD5 up to its end).
class FileHasher
{
public:
    explicit FileHasher(std::uint64_t sliceSize);

    void update(const std::byte* bytes, std::size_t size);

    std::uint64_t length() const { return m_length; }
    // The slices completed so far, so that a reader can judge each slice as soon as it has passed.
    const std::vector<SliceChecksum>& slices() const { return m_digest.slices; }

    // Completes the last slice with zeros and hands over the result; the hasher is spent.
    FileDigest finish();

private:
    void endSlice(Md5& sliceMd5);

    std::uint64_t m_sliceSize;
    std::uint64_t m_length = 0;
    std::uint64_t m_inSlice = 0; // bytes of the current slice so far
    Md5 m_fileMd5;
    Md5 m_sliceMd5; // used from the second slice on
    Crc32 m_sliceCrc;
    FileDigest m_digest;
};

// A whole file of at most one slice, as its bytes lie in memory, and their CRC-32.
struct WholeFile
{
    std::vector<std::span<const std::byte>> runs;
    std::uint32_t crc32 = 0;
};

// The digests of files of at most one slice each, as FileHasher gives them, with several files' MD5s
// worked out side by side in the processor's vector lanes.
std::vector<FileDigest> digestSideBySide(std::span<const WholeFile> files, std::uint64_t sliceSize);

} // namespace parvix::par2
