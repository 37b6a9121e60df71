#include "JoinOperation.h"

#include "ChunkedCopy.h"
#include "DiskErrorTable.h"
#include "LinkScript.h"
#include "Naming.h"
#include "PieceSet.h"
#include "Platform.h"
#include "StopRequest.h"
#include "WindowRequests.h"

#include <utility>

namespace parvix {

namespace {

constexpr const char* kSpecifyName = "Please specify a file name !";
constexpr const char* kEnterName = "Please enter the file name";
constexpr const char* kPathMissing = "The specify path is not existed!";
constexpr const char* kAddPieces = "Please add the cutted files";
constexpr const char* kAlreadyListed = "The specify file has already existed in th list";
constexpr const char* kBesideTheSet = "The specify file is one of the cutted files，Please rename";

std::string replaceText(const std::string& destination)
{
    return "The file  " + destination + "  has already existed，Do you want to replace？";
}

std::string confirmationText(const std::string& destination)
{
    return "Are you sure? the file  " + destination + "  will to be joined";
}

std::string completionText(const std::string& destination, bool notOriginal)
{
    // Joined although the user was told that the pieces cannot give back the original: never "completely".
    if (notOriginal)
        return destination + " is joined, but the cutted files failed their check";
    return destination + " is joined completely!";
}

} // namespace

JoinOperation::JoinOperation(WindowParts window, FileServices& files, const StopRequest* stop)
    : m_window(window), m_files(files), m_stop(stop)
{
}

OperationResult JoinOperation::run(const std::string& text4, bool typed, bool notOriginal)
{
    m_notOriginal = notOriginal;
    try {
        return runWithErrorPath(
            [&]() -> OperationResult {
                if (!checksPass(text4, typed) || !piecesReady())
                    return {Outcome::Stopped, std::nullopt};
                ensureWritable();
                m_window.setPointer(Pointer::Hourglass);
                m_window.setProgressMax(static_cast<float>(m_window.joinListCount() - 1));
                m_window.setProgressValue(0.0f);
                m_window.showProgress();
                copyPieces();
                if (m_check && m_checksum.value() != m_check->crc32)
                    return notTheOriginal();
                putInPlace();
                m_window.setPointer(Pointer::Default);
                m_window.messageBox(completionText(m_destination, m_notOriginal), BoxStyle::Notice, BoxTitle::Parvix);
                m_window.setProgressValue(0.0f);
                m_window.hideProgress();
                return {Outcome::Completed, std::nullopt, m_notOriginal};
            },
            [this](const FileError& error) { cleanUpAfterFailure(error); });
    } catch (const StopRequested&) {
        return runWithErrorPath([this] { return leaveAsItWas(); },
                                [this](const FileError& error) { cleanUpAfterFailure(error); });
    }
}

bool JoinOperation::checksPass(const std::string& text4, bool typed)
{
    auto refuse = [this](const char* text, BoxStyle style, BoxTitle title) {
        m_window.messageBox(text, style, title);
        m_window.selectAll(TextBox::Text4);
        m_window.focus(TextBox::Text4);
        return false;
    };

    m_destination = typed ? trimSpaces(text4) : text4;
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
    // Nor may it take the place of what checks the pieces or joins them without the tool.
    if (there && isBesideTheSet(*destinationId))
        return refuse(kBesideTheSet, BoxStyle::Warning, BoxTitle::Parvix);
    // The question is for an ordinary file, a hidden one too. A folder, a FIFO or a socket fails when it
    // is opened; a device takes the bytes directly.
    m_existed = there && destinationId->kind == FileKind::Regular;
    m_direct = there && destinationId->kind == FileKind::Other;
    if (m_existed) {
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

bool JoinOperation::isBesideTheSet(const FileIdentity& destination)
{
    const std::string first = m_window.joinListEntry(0);
    std::vector<std::string> beside{linkScriptPath(first)};
    if (const SetCheckFile check = findSetCheckFile(m_files, first); check.present)
        beside.push_back(check.path);
    for (const auto& path : beside) {
        if (m_files.identity(path) == destination)
            return true;
    }
    return false;
}

bool JoinOperation::piecesReady()
{
    // Every piece is there and can be read before a byte is written.
    const std::int64_t count = m_window.joinListCount();
    m_lengths.clear();
    m_lengths.reserve(static_cast<std::size_t>(count));
    m_total = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string path = m_window.joinListEntry(i);
        m_lengths.push_back(m_files.fileLength(path));
        m_total += m_lengths.back();
        m_files.openRead(path)->close();
    }

    const SetCheckFile check = findSetCheckFile(m_files, m_window.joinListEntry(0));
    if (!check.present)
        return true;
    const std::string checkName = GetFileName(check.path);
    if (!check.content) {
        m_window.messageBox(checkName + " is not a check file，the cutted files are not checked", BoxStyle::Notice,
                            BoxTitle::Parvix);
        return true;
    }
    if (m_total == check.content->size) {
        m_check = check.content;
        m_checkName = checkName;
        return true;
    }
    const std::string question = "The cutted files have " + std::to_string(m_total) + " bytes, but " + checkName +
                                 " says " + std::to_string(check.content->size) + "，Do you want to join them anyway？";
    if (m_window.messageBox(question, BoxStyle::DamagedQuestion, BoxTitle::Parvix) == Button::No)
        return false;
    m_notOriginal = true;
    return true;
}

void JoinOperation::ensureWritable()
{
    if (m_direct)
        return;
    // A file that may not be written is not replaced either, though its folder would let a new one in.
    if (m_existed)
        m_files.openReadWrite(m_destination)->close();
    std::string folder;
    folderPart(m_destination, folder);
    m_files.removeLeftovers(folder);
    if (const std::int64_t room = m_files.freeSpace(folder); m_total > room)
        throw noRoomError(folder, m_total, room);
}

void JoinOperation::copyPieces()
{
    // A file that exists is replaced only once the new one is whole; a device takes the bytes as they come.
    if (m_direct)
        m_destinationFile = m_files.openReadWrite(m_destination);
    else
        m_destinationFile = m_files.createTemporary(m_destination, AtLink::Follow, m_temporary);
    ChunkedCopy copier(m_stop);
    std::int64_t position = 0;
    for (std::size_t i = 0; i < m_lengths.size(); ++i) {
        throwIfStopRequested(m_stop);
        const std::int64_t length = m_lengths[i];
        m_window.setProgressValue(static_cast<float>(i));
        if (length == 0)
            continue; // an empty piece adds nothing
        m_pieceFile = m_files.openRead(m_window.joinListEntry(static_cast<std::int64_t>(i)));
        copier.copy(*m_pieceFile, 0, *m_destinationFile, position, length, m_checksum);
        m_pieceFile->close();
        m_pieceFile.reset();
        position += length;
    }
    // A device has no length to cut; an earlier, longer file is never written into.
    if (m_direct) {
        m_destinationFile->truncate(position);
        m_destinationFile->flush();
        closeDestination();
        return;
    }
    // The new file stays open until it is in place, so that no other program takes it for a leftover.
    m_destinationFile->flush();
}

void JoinOperation::putInPlace()
{
    if (m_direct)
        return;
    m_files.rename(m_temporary, m_destination, AtLink::Follow);
    m_temporary.clear();
    closeDestination();
    std::string folder;
    folderPart(m_destination, folder);
    m_files.flushFolder(folder);
}

void JoinOperation::closeDestination()
{
    m_destinationFile->close();
    m_destinationFile.reset();
}

void JoinOperation::removeTemporary()
{
    if (m_temporary.empty())
        return;
    const std::string temporary = std::exchange(m_temporary, {});
    try {
        m_files.remove(temporary);
    } catch (const FileError&) {
        // Already reported, or gone with its folder: nothing more to do about it.
    }
}

OperationResult JoinOperation::notTheOriginal()
{
    m_destinationFile.reset();
    removeTemporary();
    m_window.setPointer(Pointer::Default);
    std::string text = "The joined file is not the original file!\rIts CRC32 is " + crcText(m_checksum.value()) +
                       ", but " + m_checkName + " says " + crcText(m_check->crc32) + "\r";
    text += m_direct ? m_destination + " has taken the bytes all the same"
                     : m_destination + (m_existed ? " is not changed" : " is not written");
    m_window.messageBox(text, BoxStyle::Warning, BoxTitle::Parvix);
    m_window.setProgressValue(0.0f);
    m_window.hideProgress();
    return {Outcome::Failed, std::nullopt};
}

OperationResult JoinOperation::leaveAsItWas()
{
    m_pieceFile.reset();
    m_destinationFile.reset();
    removeTemporary();
    std::string text = "The joining of " + m_destination + " is stopped!\r";
    text += m_direct ? "The bytes written so far stay in " + m_destination
                     : (m_existed ? m_destination + " is not changed" : "Nothing is written");
    m_window.messageBox(text, BoxStyle::Notice, BoxTitle::Parvix);
    m_window.setPointer(Pointer::Default);
    m_window.setProgressValue(0.0f);
    m_window.hideProgress();
    return {Outcome::Interrupted, std::nullopt};
}

void JoinOperation::cleanUpAfterFailure(const FileError& error)
{
    reportDiskError(m_window.questions(), error.number(), DiskErrorEntries::All);
    m_destinationFile.reset();
    m_pieceFile.reset();
    removeTemporary();
    m_window.setPointer(Pointer::Default);
    m_window.setProgressValue(0.0f);
    m_window.hideProgress();
}

} // namespace parvix
