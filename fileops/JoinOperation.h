#pragma once

#include "FileServices.h"
#include "Operation.h"

#include <memory>
#include <string>

namespace parvix {

class StopRequest;
class WindowRequests;

// Concatenates the join list's pieces, in list order, into the destination typed in Text4.
class JoinOperation
{
public:
    // `stop`, when given, is looked at while the pieces are copied; a stop leaves the destination as it was.
    JoinOperation(WindowRequests& window, FileServices& files, const StopRequest* stop = nullptr);
    // `text4` is the destination as typed; the pieces are read from the join list.
    OperationResult run(const std::string& text4);

private:
    bool checksPass(const std::string& text4);
    bool isListed(const FileIdentity& destination);
    void copyPieces();
    void cleanUpAfterFailure(const FileError& error);

    WindowRequests& m_window;
    FileServices& m_files;
    const StopRequest* m_stop;

    std::string m_destination;
    std::unique_ptr<File> m_destinationFile;
    std::unique_ptr<File> m_pieceFile;
};

} // namespace parvix
