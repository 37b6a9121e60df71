#pragma once

#include "par2/Md5.h"
#include "par2/Par2Set.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parvix::par2 {

// Reads size bytes at a 0-based offset into buffer; returns how many it read (fewer only where the file
// cannot be read further).
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::byte* buffer, std::size_t size)>;

struct MainPacket
{
    Md5Hash setId{};
    std::uint64_t sliceSize = 0;
    std::vector<Md5Hash> fileIds;
    std::vector<Md5Hash> nonRecoveryFileIds;
    bool operator==(const MainPacket&) const = default;
};

struct FileDescriptionPacket
{
    Md5Hash setId{};
    Md5Hash fileId{};
    Md5Hash md5{};
    Md5Hash md5First16k{};
    std::uint64_t length = 0;
    std::string name; // without the zeros that pad it
    bool operator==(const FileDescriptionPacket&) const = default;
};

struct SliceChecksumPacket
{
    Md5Hash setId{};
    Md5Hash fileId{};
    std::vector<SliceChecksum> slices;
    bool operator==(const SliceChecksumPacket&) const = default;
};

// A recovery slice is described, not loaded: its data lies at dataOffset in the file read.
struct RecoverySlicePacket
{
    Md5Hash setId{};
    std::uint32_t exponent = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataSize = 0;
    bool operator==(const RecoverySlicePacket&) const = default;
};

struct CreatorPacket
{
    Md5Hash setId{};
    std::string text;
    bool operator==(const CreatorPacket&) const = default;
};

// The packets found in one PAR2 file, in the order found (repeats included).
struct Par2FileContents
{
    std::vector<MainPacket> mains;
    std::vector<FileDescriptionPacket> fileDescriptions;
    std::vector<SliceChecksumPacket> sliceChecksums;
    std::vector<RecoverySlicePacket> recoverySlices;
    std::vector<CreatorPacket> creators;
    std::uint32_t damagedPackets = 0; // a packet's start whose length, hash or body did not hold
    std::uint32_t skippedPackets = 0; // sound packets of kinds not read here, or too large for their kind
    bool readFailed = false;          // the read callback stopped short: what follows was not seen
};

struct ReadOptions
{
    // The MD5 of a recovery slice packet covers all its data, so checking it reads the whole file. Without
    // the check a damaged slice shows only when what it rebuilt fails its slice checksums.
    bool checkRecoveryData = true;
};

// Finds the packets of a PAR2 file of the given length, which may come from anyone: a packet counts when
// it starts with the magic, its length is a multiple of 4 of at least 64 that fits in the file, and its MD5
// checks; after anything else the search goes on from the next magic. Memory stays small and bounded
// whatever the file says: bodies are read in blocks, and only bodies of the kinds read, up to the largest
// size a sound one can have, are kept.
Par2FileContents readPar2File(const ReadAt& read, std::uint64_t length, const ReadOptions& options = {});

} // namespace parvix::par2
