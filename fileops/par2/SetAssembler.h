#pragma once

#include "par2/Par2Reader.h"
#include "par2/Par2Set.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace parvix::par2 {

// A recovery slice of the set and where to find it: in which of the caller's files, and at which offset.
struct RecoverySliceSource
{
    std::size_t source = 0;
    std::uint32_t exponent = 0;
    std::uint64_t dataOffset = 0;
    bool operator==(const RecoverySliceSource&) const = default;
};

enum class SetProblem
{
    None,
    NoMainPacket,           // no sound main packet was found
    SeveralSets,            // main packets of more than one recovery set
    BadMainPacket,          // a slice size that is 0 or no multiple of 4, too many slices, a file named twice
    MissingFileDescription, // a file of the set has no sound description
    MissingSliceChecksums,  // ... or no sound slice checksums
    ConflictingPackets,     // two sound packets say different things about one file, or the main packets differ
    SliceCountMismatch,     // a file's slice checksums do not fit its length
};

std::string_view setProblemText(SetProblem problem);

// Puts one recovery set together from what the index and any of its volumes hold. Volumes repeat the
// critical packets; a repeat must say the same as what came before.
class SetAssembler
{
public:
    // What one file holds; source is the caller's number for that file, handed back with its recovery slices.
    void add(const Par2FileContents& contents, std::size_t source);

    struct Result
    {
        SetProblem problem = SetProblem::None;
        Par2Set set; // complete when problem is None
        // The set's recovery slices of the right size, one for each exponent (the first found), by exponent.
        std::vector<RecoverySliceSource> recoverySlices;
    };
    Result finish() const;

private:
    std::vector<Par2FileContents> m_contents;
    std::vector<std::size_t> m_sources;
};

} // namespace parvix::par2
