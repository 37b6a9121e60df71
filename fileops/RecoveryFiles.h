#pragma once

#include "FileServices.h"
#include "PieceDigests.h"
#include "par2/Par2Set.h"
#include "par2/RecoveryEncoder.h"
#include "par2/RepairDecoder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

// The PAR 2.0 files beside a set of pieces, which the PAR2 tools of every platform read: the index
// BASE.par2, whose files are the pieces (named as they lie, without folder), and on request a recovery
// volume BASE.vol00+NN.par2 able to rebuild any NN pieces.

// The slice size of a cut's set: each piece is one slice (PAR2 pads the last slice of a file with zeros).
std::uint64_t sliceSizeOf(std::int64_t pieceSize);

// Whether a set of this many pieces can have an index: the format numbers at most 32,768 slices.
bool indexable(std::int64_t pieces);

// The base of the set a piece belongs to (D/report$txt for D/report$txt.001), or nothing for a path that
// names no piece.
std::optional<std::string> setBaseOf(const std::string& piecePath);

// The index's path for a base, and the paths of the recovery volumes beside it (BASE.vol*.par2), in
// the order of their names.
std::string indexPath(const std::string& base);
std::vector<std::string> volumesOf(FileServices& files, const std::string& base);

// The sums that the digests feed: `Add` of `Sums` takes each input slice's bytes.
template <typename Sums, void (Sums::*Add)(std::span<const par2::SliceInput>, std::size_t, std::size_t)>
class SumsFeed : public SliceSums
{
public:
    explicit SumsFeed(Sums& sums) : m_sums(sums) {}
    std::size_t count() const override { return m_sums.count(); }
    void add(std::span<const par2::SliceInput> inputs, std::size_t first, std::size_t count) override
    {
        (m_sums.*Add)(inputs, first, count);
    }

private:
    Sums& m_sums;
};

// The recovery slices' sums of a cut.
using EncoderSums = SumsFeed<par2::RecoveryEncoder, &par2::RecoveryEncoder::add>;
// The sums from which a join or a repair rebuilds slices, fed the good ones.
using DecoderSums = SumsFeed<par2::RepairDecoder, &par2::RepairDecoder::addInput>;

// The set that pieces of these names and digests make, one slice each.
par2::Par2Set setOfPieces(std::uint64_t sliceSize, const std::vector<std::string>& pieces,
                          const std::vector<PieceDigest>& digests);

// Writes the index of `set` beside the pieces, in place as replaceFile() puts a file.
void writeIndex(FileServices& files, const std::string& base, const par2::Par2Set& set);

// Writes the recovery volume of `set` that holds the encoder's recovery slices; returns its path.
std::string writeRecoveryVolume(FileServices& files, const std::string& base, const par2::Par2Set& set,
                                const par2::RecoveryEncoder& encoder);

// About how many bytes the index and a volume of `recovery` slices take, for the room a cut needs.
std::int64_t recoveryFilesSize(std::int64_t pieces, std::size_t nameLength, std::uint64_t sliceSize,
                               std::int64_t recovery);

} // namespace parvix
