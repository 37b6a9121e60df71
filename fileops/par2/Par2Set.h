#pragma once

#include "par2/Md5.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvix::par2 {

// The checksums of one input slice; a file's last slice is padded with zeros to the slice size first.
struct SliceChecksum
{
    Md5Hash md5{};
    std::uint32_t crc32 = 0;
    bool operator==(const SliceChecksum&) const = default;
};

// One file of a recovery set.
struct InputFile
{
    std::string name; // as the set stores it, folders separated by '/'
    std::uint64_t length = 0;
    Md5Hash md5{};
    Md5Hash md5First16k{}; // of the first 16 KiB, or of the whole file when shorter
    Md5Hash id{};          // the File ID: see fileId()
    std::vector<SliceChecksum> slices;
    bool operator==(const InputFile&) const = default;
};

// Everything that describes a recovery set but its recovery data.
struct Par2Set
{
    std::uint64_t sliceSize = 0;           // a multiple of 4
    Md5Hash id{};                          // the recovery set ID
    std::vector<InputFile> files;          // in the order of their File IDs, which numbers the slices
    std::vector<Md5Hash> nonRecoveryFiles; // File IDs that a stranger's set names but does not protect
    std::string creator;                   // what the creator packet says, when one was read

    // Input slices of all files together, and where a file's slices start in that count.
    std::uint32_t sliceCount() const;
    std::uint32_t firstSlice(std::size_t file) const;
    bool operator==(const Par2Set&) const = default;
};

// The most input slices a set can have: one for each usable constant.
inline constexpr std::uint32_t kMaxInputSlices = 32768;
inline constexpr std::uint64_t kFirst16k = 16 * 1024;

// The File ID: the MD5 of the MD5 of the first 16 KiB, the length (8 bytes, little-endian) and the name.
Md5Hash fileId(const Md5Hash& md5First16k, std::uint64_t length, std::string_view name);

// The order of File IDs in a set: as 128-bit little-endian numbers.
bool fileIdLess(const Md5Hash& a, const Md5Hash& b);

// The recovery set ID: the MD5 of the main packet's body.
Md5Hash recoverySetId(std::uint64_t sliceSize, const std::vector<Md5Hash>& sortedFileIds,
                      const std::vector<Md5Hash>& sortedNonRecoveryIds = {});

// How many slices a file of this length has (0 for an empty file).
std::uint64_t slicesOf(std::uint64_t length, std::uint64_t sliceSize);

// The constant of the input slice with this number (counted over the whole set, from 0): the powers of 2
// whose exponent is divisible by none of 3, 5, 17 and 257, in increasing order of the exponent.
std::uint16_t inputSliceConstant(std::uint32_t index);

// Builds a set from its files in any order: computes their File IDs, sorts them and computes the set ID.
// Throws std::invalid_argument for a slice size that is 0 or no multiple of 4, two files of one name,
// a file whose slices do not match its length, or more than kMaxInputSlices slices.
Par2Set makeSet(std::uint64_t sliceSize, std::vector<InputFile> files);

// Where each file's slices will sit in a set, known before the files are read in full: from each file's
// name, length and the MD5 of its first 16 KiB, given in the caller's order.
class SetLayout
{
public:
    struct FileKey
    {
        std::string name;
        std::uint64_t length = 0;
        Md5Hash md5First16k{};
    };
    // Throws std::invalid_argument as makeSet does.
    SetLayout(std::uint64_t sliceSize, const std::vector<FileKey>& files);

    std::uint64_t sliceSize() const { return m_sliceSize; }
    const Md5Hash& fileId(std::size_t file) const { return m_ids[file]; }
    // The file's place in the set's order, and the number of its first slice there.
    std::size_t position(std::size_t file) const { return m_positions[file]; }
    std::uint32_t firstSlice(std::size_t file) const { return m_firstSlices[file]; }
    std::uint32_t sliceCount() const { return m_sliceCount; }
    // The constant of a slice of a file (slice counted from the start of the file).
    std::uint16_t constant(std::size_t file, std::uint32_t slice) const;
    // The recovery set ID, which depends on the same things.
    const Md5Hash& setId() const { return m_setId; }

private:
    std::uint64_t m_sliceSize;
    std::vector<Md5Hash> m_ids;
    std::vector<std::size_t> m_positions;
    std::vector<std::uint32_t> m_firstSlices;
    std::uint32_t m_sliceCount = 0;
    Md5Hash m_setId{};
};

} // namespace parvix::par2
