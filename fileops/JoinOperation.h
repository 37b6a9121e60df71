#pragma once

#include "CheckFile.h"
#include "FileServices.h"
#include "IndexedSet.h"
#include "Operation.h"
#include "PieceDigests.h"
#include "WindowRequests.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class StopRequest;

// What a join works on.
struct JoinInputs
{
    std::string text4;                    // the destination, as typed in Text4 or given on a console
    std::vector<std::string> pieces = {}; // the join list's entries, in its order
    // A destination typed into the window's box, whose spaces around it are no part of the path; a
    // console's argument is taken as given.
    bool typed = true;
    // The user chose to join pieces that are known not to give back the original.
    bool notOriginal = false;
    // A console's standard output in place of the destination (text4): written as the bytes come, with
    // no file to replace and nothing to ask.
    bool toStandardOutput = false;
};

// Concatenates the pieces, in their order, into the destination. A set whose PAR2 index lists the same
// pieces is checked slice by slice as it is copied, and its missing and damaged pieces are rebuilt from
// its recovery files in the joined file before it takes the destination's place.
class JoinOperation
{
public:
    // `stop`, when given, is looked at while the pieces are copied; a stop leaves the destination as it was.
    JoinOperation(WindowParts window, FileServices& files, const StopRequest* stop = nullptr);
    OperationResult run(const JoinInputs& inputs);

private:
    bool checksPass(const JoinInputs& inputs);
    bool isListed(const FileIdentity& destination);
    bool isBesideTheSet(const FileIdentity& destination);
    bool piecesReady();
    bool indexedPiecesReady();
    std::optional<IndexedSet> indexedSet();
    void ensureWritable();
    void copyPieces();
    void checkAgainstIndex(const std::vector<PieceDigest>& digests);
    void repair(const std::vector<PieceSlice>& bad);
    PieceReader joinedReader();
    OperationResult cannotRebuild(const std::vector<PieceSlice>& bad, std::size_t available);
    std::string unchangedText() const;
    void putInPlace();
    void closeDestination();
    void removeTemporary();
    void closeAll();
    OperationResult notTheOriginal();
    OperationResult end(const OperationResult& result, const std::string& text, BoxStyle style);

    WindowParts m_window;
    FileServices& m_files;
    const StopRequest* m_stop;

    std::vector<std::string> m_pieces;
    std::string m_destination;
    bool m_existed = false; // an ordinary file is there, which the joined one replaces
    bool m_direct = false;  // a device or standard output, written directly
    bool m_stream = false;  // standard output
    bool m_wrote = false;   // the destination was opened for the bytes
    // The listed pieces' lengths as they were checked, and their total.
    std::vector<std::int64_t> m_lengths;
    std::int64_t m_total = 0;
    // The set's check file, when the listed pieces' total is its size.
    std::optional<CheckFile> m_check;
    std::string m_checkName;
    bool m_notOriginal = false;
    std::uint32_t m_crc = 0;
    // The set as its index describes it, when the list is its pieces: the slices of pieces that are not
    // there, the sums from which the bad ones are rebuilt in the same pass, and the pieces rebuilt.
    std::optional<IndexedSet> m_indexed;
    std::vector<PieceSlice> m_missing;
    std::unique_ptr<par2::RepairDecoder> m_decoder;
    bool m_summedInPass = false;
    std::vector<std::size_t> m_rebuilt;
    // A check that ended the join with a message of its own.
    std::optional<OperationResult> m_refused;
    // The new file, until it takes the destination's place.
    std::string m_temporary;
    std::unique_ptr<File> m_destinationFile;
    std::unique_ptr<File> m_pieceFile;
};

} // namespace parvix
