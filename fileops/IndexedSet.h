#pragma once

#include "FileServices.h"
#include "PieceDigests.h"
#include "PieceSet.h"
#include "par2/Par2Set.h"
#include "par2/RepairDecoder.h"
#include "par2/SetAssembler.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class StopRequest;

// A piece as the set's index describes it, and whether it lies there as described.
struct IndexedPiece
{
    std::string path;
    std::size_t file = 0; // its file in the set
    std::uint64_t length = 0;
    bool present = false;     // an ordinary file is there...
    bool rightLength = false; // ... of the length the index gives
};

// A slice of a piece: the piece's place in the set's pieces(), the slice counted from the piece's start.
struct PieceSlice
{
    std::size_t piece = 0;
    std::uint32_t slice = 0;
    bool operator==(const PieceSlice&) const = default;
};

// A set of pieces as the PAR2 files beside them describe it: the index BASE.par2, which ours and those
// that `par2 create` made of pieces have, and the recovery volumes BASE.vol*.par2. Recovery files come
// from anyone; what does not read as a sound set is no index.
class IndexedSet
{
public:
    // The set of `firstPiece` (D/report$txt.001: D/report$txt.par2), when an index or a volume there
    // describes pieces of that base, numbered, the first one among them. `checkRecovery` reads the
    // recovery slices through to find damaged ones; without it they are only counted.
    static std::optional<IndexedSet> find(FileServices& files, const std::string& firstPiece, bool checkRecovery);

    const par2::Par2Set& set() const { return m_set; }
    // The pieces in their numbers' order.
    const std::vector<IndexedPiece>& pieces() const { return m_pieces; }
    std::uint64_t total() const { return m_total; }
    std::uint32_t slicesOf(std::size_t piece) const;
    // The constant of a slice, and its offset in the joined file.
    std::uint16_t constant(const PieceSlice& slice) const;
    std::uint64_t offsetOf(const PieceSlice& slice) const;
    std::uint64_t sliceLength(const PieceSlice& slice) const;
    // The constants of every slice of a piece.
    std::vector<std::uint16_t> constants(std::size_t piece) const;

    // The slices of the pieces that are not there as described.
    std::vector<PieceSlice> missingSlices() const;
    // The slices whose bytes, as digested, are not the index's.
    std::vector<PieceSlice> damagedSlices(std::size_t piece, const PieceDigest& digest) const;

    // The sound recovery slices, and how many there are.
    std::size_t recoveryCount() const { return m_recovery.size(); }
    // Reads the recovery files through and keeps only the recovery slices whose data checks, when find()
    // only counted them: what is to rebuild pieces must be sound.
    void checkRecovery(FileServices& files);
    // A decoder of `count` of them (at most recoveryCount()), each read into its sum.
    std::unique_ptr<par2::RepairDecoder> loadRecovery(FileServices& files, std::size_t count,
                                                      const StopRequest* stop) const;

    // The notice lines of the pieces missing or of a wrong length, and whether the recovery can rebuild
    // them; empty when every piece is there.
    std::string missingNotice() const;

private:
    par2::Par2Set m_set;
    std::vector<IndexedPiece> m_pieces;
    std::uint64_t m_total = 0;
    std::vector<std::string> m_sources; // the PAR2 files read, as the recovery slices number them
    std::vector<par2::RecoverySliceSource> m_recovery;
    bool m_recoveryChecked = false;
};

// Reads `size` bytes of a piece at `offset` within it: from the piece's file, or from its place in a
// joined file.
using PieceReader = std::function<void(std::size_t piece, std::int64_t offset, std::byte* buffer, std::size_t size)>;

// The digests of these pieces, read so, in their order.
std::vector<PieceDigest> digestPieces(const IndexedSet& set, const std::vector<std::size_t>& pieces,
                                      const PieceReader& read, const StopRequest* stop);

// Adds every slice but the bad ones to the decoder's sums, each piece read so.
void sumGoodSlices(const IndexedSet& set, par2::RepairDecoder& decoder, const std::vector<PieceSlice>& bad,
                   const PieceReader& read, const StopRequest* stop);

// Reads the pieces from their files, one open at a time.
class PieceFiles
{
public:
    PieceFiles(FileServices& files, const IndexedSet& set) : m_files(files), m_set(set) {}
    void read(std::size_t piece, std::int64_t offset, std::byte* buffer, std::size_t size);
    PieceReader reader()
    {
        return [this](std::size_t piece, std::int64_t offset, std::byte* buffer, std::size_t size) {
            read(piece, offset, buffer, size);
        };
    }

private:
    FileServices& m_files;
    const IndexedSet& m_set;
    std::size_t m_piece = SIZE_MAX;
    std::unique_ptr<File> m_file;
};

// "N more recovery slices are needed" when `needed` passes what is there.
std::string recoveryShortText(std::size_t needed, std::size_t available);

// The lines of a notice that name the pieces of these bad slices: missing, of a wrong length, damaged.
std::string badPiecesLines(const IndexedSet& set, const std::vector<PieceSlice>& bad);

// The names of these pieces, for a notice.
NamedFiles namesOf(const IndexedSet& set, const std::vector<std::size_t>& pieces);

} // namespace parvix
