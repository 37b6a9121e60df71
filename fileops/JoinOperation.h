#pragma once

#include "CheckFile.h"
#include "Crc32.h"
#include "FileServices.h"
#include "Operation.h"
#include "WindowRequests.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class StopRequest;

// Concatenates the join list's pieces, in list order, into the destination typed in Text4.
class JoinOperation
{
public:
    // `stop`, when given, is looked at while the pieces are copied; a stop leaves the destination as it was.
    JoinOperation(WindowParts window, FileServices& files, const StopRequest* stop = nullptr);
    // `text4` is the destination as typed into the window (`typed`: spaces around it are trimmed) or as
    // a console was given it; the pieces are read from the join list. `notOriginal`: the user chose to
    // join pieces that are known not to give back the original.
    OperationResult run(const std::string& text4, bool typed = true, bool notOriginal = false);

private:
    bool checksPass(const std::string& text4, bool typed);
    bool isListed(const FileIdentity& destination);
    bool isBesideTheSet(const FileIdentity& destination);
    bool piecesReady();
    void ensureWritable();
    void copyPieces();
    void putInPlace();
    void closeDestination();
    void removeTemporary();
    OperationResult notTheOriginal();
    OperationResult leaveAsItWas();
    void cleanUpAfterFailure(const FileError& error);

    WindowParts m_window;
    FileServices& m_files;
    const StopRequest* m_stop;

    std::string m_destination;
    bool m_existed = false; // an ordinary file is there, which the joined one replaces
    bool m_direct = false;  // a device, written directly
    // The listed pieces' lengths as they were checked, and their total.
    std::vector<std::int64_t> m_lengths;
    std::int64_t m_total = 0;
    // The set's check file, when the listed pieces' total is its size.
    std::optional<CheckFile> m_check;
    std::string m_checkName;
    bool m_notOriginal = false;
    Crc32 m_checksum;
    // The new file, until it takes the destination's place.
    std::string m_temporary;
    std::unique_ptr<File> m_destinationFile;
    std::unique_ptr<File> m_pieceFile;
};

} // namespace parvix
