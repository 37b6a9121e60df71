#pragma once

#include "Crc32.h"
#include "FileServices.h"
#include "Operation.h"
#include "WindowRequests.h"

#include <cstdint>
#include <deque>
#include <memory>
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
};

// The floppy size: 1.38 × 1,048,576 rounded.
inline constexpr std::int32_t kFloppyPieceSize = 1447035;

// The notice for a source that is not there (or not an ordinary file): "No" + path + "File".
std::string missingSourceText(const std::string& source);

// Cuts a file into numbered pieces beside the destination base, writes Link.bat, fills the join list
// and proposes the joined file's path; talks to the window only through its requests.
class SplitOperation
{
public:
    // `stop`, when given, is looked at while the pieces are written; a stop keeps the whole pieces.
    SplitOperation(WindowParts window, FileServices& files, const StopRequest* stop = nullptr);
    OperationResult run(const SplitInputs& inputs);

private:
    bool checksPass(const SplitInputs& inputs);
    bool outputsClash();
    bool mayReplaceOutputs();
    void ensureRoom();
    void cut();
    void keepWriting(std::int64_t size);
    void putInPlace(std::size_t count);
    void flushPieces();
    void finish();
    void removePartialPiece();
    OperationResult keepWholePieces();
    void cleanUpAfterFailure(const FileError& error);

    WindowParts m_window;
    FileServices& m_files;
    const StopRequest* m_stop;

    std::string m_source;
    std::string m_base;
    std::int64_t m_length = 0;
    std::int32_t m_pieceSize = 0;
    // Files already under the outputs' names, and their bytes, which the outputs replace.
    std::vector<std::string> m_replaced;
    std::int64_t m_replacedBytes = 0;
    Crc32 m_checksum;
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
    };
    std::deque<Written> m_writing;
    std::int64_t m_writingBytes = 0;
    std::vector<std::string> m_written;
};

} // namespace parvix
