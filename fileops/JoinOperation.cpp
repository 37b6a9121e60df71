#include "JoinOperation.h"

#include "DiskErrorTable.h"
#include "PieceBuffer.h"
#include "Platform.h"
#include "WindowRequests.h"

namespace parvix {

namespace {

constexpr const char* kSpecifyName = "Please specify a file name !";
constexpr const char* kEnterName = "Please enter the file name";
constexpr const char* kPathMissing = "The specify path is not existed!";
constexpr const char* kAddPieces = "Please add the cutted files";
constexpr const char* kAlreadyListed = "The specify file has already existed in th list";

std::string replaceText(const std::string& destination)
{
    return "The file  " + destination + "  has already existed，Do you want to replace？";
}

std::string confirmationText(const std::string& destination)
{
    return "Are you sure? the file  " + destination + "  will to be joined";
}

std::string completionText(const std::string& destination)
{
    return destination + " is joined completely!";
}

} // namespace

JoinOperation::JoinOperation(WindowRequests& window, FileServices& files, const StopRequest* stop)
    : m_window(window), m_files(files), m_stop(stop)
{
}

OperationResult JoinOperation::run(const std::string& text4)
{
    return runWithErrorPath(
        [&]() -> OperationResult {
            if (!checksPass(text4))
                return {Outcome::Stopped, std::nullopt};
            m_window.setPointer(Pointer::Hourglass);
            m_window.setProgressMax(static_cast<float>(m_window.joinListCount() - 1));
            m_window.setProgressValue(0.0f);
            m_window.showProgress();
            copyPieces();
            m_window.setPointer(Pointer::Default);
            m_window.messageBox(completionText(m_destination), BoxStyle::Notice, BoxTitle::Parvix);
            m_window.setProgressValue(0.0f);
            m_window.hideProgress();
            return {Outcome::Completed, std::nullopt};
        },
        [this](const FileError& error) { cleanUpAfterFailure(error); });
}

bool JoinOperation::checksPass(const std::string& text4)
{
    auto refuse = [this](const char* text, BoxStyle style, BoxTitle title) {
        m_window.messageBox(text, style, title);
        m_window.selectAll(TextBox::Text4);
        m_window.focus(TextBox::Text4);
        return false;
    };

    m_destination = trimSpaces(text4);
    if (m_destination.empty()) {
        m_window.messageBox(kSpecifyName, BoxStyle::Warning, BoxTitle::Parvix);
        m_window.focus(TextBox::Text4);
        return false;
    }
    if (m_destination.back() == kSeparator)
        return refuse(kEnterName, BoxStyle::Warning, BoxTitle::Parvix);
    // A destination without any separator has no folder: the same answer as a missing folder.
    std::string folder;
    if (!folderPart(m_destination, folder) || !exists(m_files, folder, ListingKind::WithDirectories))
        return refuse(kPathMissing, BoxStyle::Warning, BoxTitle::Program);
    if (m_window.joinListCount() == 0) {
        m_window.messageBox(kAddPieces, BoxStyle::Warning, BoxTitle::Parvix);
        return false;
    }
    // Writing into a file that is still to be read would corrupt the result.
    const auto destinationId = m_files.identity(m_destination);
    const bool there = destinationId && destinationId->kind != FileKind::None;
    if (there && isListed(*destinationId))
        return refuse(kAlreadyListed, BoxStyle::Warning, BoxTitle::Parvix);
    // The question is for an ordinary file, a hidden one too. A folder, a FIFO or a socket fails when it
    // is opened; a device takes the bytes.
    if (there && destinationId->kind == FileKind::Regular) {
        if (m_window.messageBox(replaceText(m_destination), BoxStyle::ReplaceQuestion, BoxTitle::Parvix) ==
            Button::No) {
            m_window.selectAll(TextBox::Text4);
            m_window.focus(TextBox::Text4);
            return false;
        }
    }
    return m_window.messageBox(confirmationText(m_destination), BoxStyle::Question, BoxTitle::Parvix) == Button::Yes;
}

bool JoinOperation::isListed(const FileIdentity& destination)
{
    const std::int64_t count = m_window.joinListCount();
    for (std::int64_t i = 0; i < count; ++i) {
        if (m_files.identity(m_window.joinListEntry(i)) == destination)
            return true;
    }
    return false;
}

void JoinOperation::copyPieces()
{
    m_destinationFile = m_files.openReadWrite(m_destination);
    PieceBuffer buffer;
    std::int64_t position = 1;
    const std::int64_t count = m_window.joinListCount();
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string path = m_window.joinListEntry(i);
        const std::int64_t length = m_files.fileLength(path);
        m_window.setProgressValue(static_cast<float>(i));
        if (length == 0)
            continue; // an empty piece adds nothing
        m_pieceFile = m_files.openRead(path);
        if (!m_files.copyRange(*m_pieceFile, 1, *m_destinationFile, position, length)) {
            std::byte* bytes = buffer.reserve(static_cast<std::size_t>(length));
            m_pieceFile->read(1, bytes, static_cast<std::size_t>(length));
            m_pieceFile->close();
            m_pieceFile.reset();
            m_destinationFile->write(position, bytes, static_cast<std::size_t>(length));
        } else {
            m_pieceFile->close();
            m_pieceFile.reset();
        }
        position += length;
    }
    // An earlier, longer destination keeps nothing of its old content.
    m_destinationFile->truncate(position - 1);
    m_destinationFile->close();
    m_destinationFile.reset();
}

void JoinOperation::cleanUpAfterFailure(const FileError& error)
{
    reportDiskError(m_window, error.number(), DiskErrorEntries::All);
    m_destinationFile.reset();
    m_pieceFile.reset();
    m_window.setPointer(Pointer::Default);
    m_window.setProgressValue(0.0f);
    m_window.hideProgress();
}

} // namespace parvix
