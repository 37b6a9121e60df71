#pragma once

#include "CheckFile.h"
#include "FileServices.h"
#include "Operation.h"
#include "PieceDigests.h"
#include "WindowRequests.h"
#include "par2/Md5.h"
#include "par2/RecoveryEncoder.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class StopRequest;

// The four inputs of a cut, as the split tab holds them when "Cut" is pressed.
struct SplitInputs
{
    std::string text1;   // source path, as typed
    std::string text2;   // destination base path, as typed
    bool option1 = true; // "1.44M" selected
    std::string text3;   // size in kilobytes, read only when option1 is not selected
    // Texts typed into the window's boxes, whose spaces around them are no part of a path; a console's
    // arguments are taken as given.
    bool typed = true;
    // A console's size, in place of option1 and text3: the piece size in bytes, or the number of pieces
    // to cut into (the source's length over it, rounded up, is the size).
    std::optional<std::int64_t> pieceBytes = std::nullopt;
    std::optional<std::int64_t> pieces = std::nullopt;
    // A console's standard input in place of the source (text1): read to its end in one pass, its
    // length known only then.
    bool fromStandardInput = false;
    // Recovery data beside the index: able to rebuild this many pieces, or (the window's "Recovery")
    // one piece in every 20 begun, at least one.
    std::int64_t recoveryPieces = 0;
    bool recoveryOneInTwenty = false;
};

// The floppy size: 1.38 × 1,048,576 rounded.
inline constexpr std::int64_t kFloppyPieceSize = 1447035;

// The notice for a source that is not there (or not an ordinary file): "No" + path + "File".
std::string missingSourceText(const std::string& source);

// What a cut made, besides how it ended.
struct CutResult : OperationResult
{
    // The whole pieces, in their order: those the join list was told of as they were written.
    std::vector<std::string> pieces;
    // The joined file's path, proposed in Text4, and what the check file beside the pieces says.
    std::optional<std::string> proposal;
    std::optional<CheckFile> checkFile;
    // The PAR2 index and recovery volume written beside them, when they were.
    std::optional<std::string> index;
    std::optional<std::string> recoveryVolume;
    // The source's length, and the size of every piece but the last.
    std::int64_t length = 0;
    std::int64_t pieceSize = 0;
};

// Cuts a file into numbered pieces beside the destination base, writes Link.bat, the check file, the
// PAR2 index and any recovery asked for, tells the join list of each piece as it is written and proposes the joined file's path; talks to the
// window only through its requests, and never reads it back.
class SplitOperation
{
public:
    // `stop`, when given, is looked at while the pieces are written; a stop keeps the whole pieces.
    SplitOperation(WindowParts window, FileServices& files, const StopRequest* stop = nullptr);
    CutResult run(const SplitInputs& inputs);

private:
    bool checksPass(const SplitInputs& inputs);
    void planRecovery(std::int64_t pieces);
    bool outputsClash();
    bool mayReplaceOutputs();
    void ensureRoom();
    void cut();
    void cutStream();
    std::vector<std::vector<std::uint16_t>> recoveryConstants();
    void encodeFromPieces();
    void writeRecovery();
    void keepWriting(std::int64_t size);
    void putInPlace(std::size_t count);
    void flushPieces();
    void finish();
    void removePartialPiece();
    CutResult stopped();
    CutResult failed(const FileError& error);
    CutResult end(OperationResult result);

    WindowParts m_window;
    FileServices& m_files;
    const StopRequest* m_stop;

    std::string m_source;
    bool m_stream = false;
    std::string m_base;
    std::int64_t m_length = 0;
    std::int64_t m_pieceSize = 0;
    std::int64_t m_copied = 0;
    // Files already under the outputs' names, and their bytes, which the outputs replace.
    std::vector<std::string> m_replaced;
    std::int64_t m_replacedBytes = 0;
    // The recovery asked for (a count of pieces, or one in every 20), how many recovery slices the set
    // gets, and whether the set may have an index at all; earlier PAR2 files of the base that the new
    // ones do not replace, which go once the cut is complete.
    std::int64_t m_recoveryAsked = 0;
    bool m_oneInTwenty = false;
    std::int64_t m_recovery = 0;
    bool m_indexed = true;
    std::vector<std::string> m_stale;
    // What each piece's bytes gave, and the recovery slices built from them.
    std::vector<PieceDigest> m_digests;
    std::unique_ptr<par2::RecoveryEncoder> m_encoder;
    std::unique_ptr<SliceSums> m_sums;
    // The MD5 of each piece's first 16 KiB, which its recovery constant was chosen by.
    std::vector<par2::Md5Hash> m_firstBlocks;
    std::unique_ptr<File> m_sourceFile;
    // The piece being written, under a temporary name until it is whole; those written whole, on their
    // way to the device, still open and under their temporary names; and those in place, closed before
    // they were flushed.
    std::string m_piecePath;
    std::string m_pieceTemporary;
    std::unique_ptr<File> m_pieceFile;
    struct Written
    {
        std::unique_ptr<File> file;
        std::string temporary;
        std::string path;
        std::int64_t size;
        // The device failed to take its bytes, and says so only once.
        bool lost = false;
    };
    // Waits for a piece's bytes on the device, by `wait` (File::awaitWriteBack or File::flush).
    static void settle(Written& piece, void (File::*wait)());
    std::deque<Written> m_writing;
    std::int64_t m_writingBytes = 0;
    std::vector<std::string> m_written;
    // What it made: every whole piece, the proposal, the check file.
    std::vector<std::string> m_pieces;
    std::optional<std::string> m_proposal;
    std::optional<CheckFile> m_checkFile;
    std::optional<std::string> m_index;
    std::optional<std::string> m_recoveryVolume;
};

} // namespace parvix
