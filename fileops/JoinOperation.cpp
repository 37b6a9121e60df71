#include "JoinOperation.h"

#include "ChunkedCopy.h"
#include "Crc32.h"
#include "PieceDigests.h"
#include "DiskErrorTable.h"
#include "LinkScript.h"
#include "Naming.h"
#include "PieceSet.h"
#include "Platform.h"
#include "RecoveryFiles.h"
#include "StopRequest.h"
#include "Texts.h"
#include "WindowRequests.h"

#include <algorithm>
#include <utility>

namespace parvix {

namespace {

// In place of a count of recovery slices: those there rebuilt wrong bytes.
constexpr std::size_t kWrongBytes = SIZE_MAX;

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

OperationResult JoinOperation::run(const JoinInputs& inputs)
{
    m_pieces = inputs.pieces;
    m_notOriginal = inputs.notOriginal;
    try {
        return withErrorPath(
            [&]() -> OperationResult {
                if (!checksPass(inputs) || !piecesReady())
                    return m_refused.value_or(OperationResult{Outcome::Stopped, std::nullopt});
                ensureWritable();
                m_window.setPointer(Pointer::Hourglass);
                m_window.setProgressMax(static_cast<float>(m_pieces.size()) - 1.0f);
                m_window.setProgressValue(0.0f);
                m_window.showProgress();
                copyPieces();
                if (m_refused) {
                    closeAll();
                    return *m_refused;
                }
                if (m_check && m_crc != m_check->crc32)
                    return notTheOriginal();
                putInPlace();
                if (!m_rebuilt.empty())
                    m_window.messageBox(kRebuiltText + namesOf(*m_indexed, m_rebuilt).text(), BoxStyle::Notice,
                                        BoxTitle::Parvix);
                return end({Outcome::Completed, std::nullopt, m_notOriginal},
                           completionText(m_destination, m_notOriginal), BoxStyle::Notice);
            },
            [this](const FileError& error) {
                // Said first, then the files are closed.
                reportDiskError(m_window, error.number(), DiskErrorEntries::All);
                closeAll();
                return end({Outcome::Failed, error}, {}, BoxStyle::Notice);
            });
    } catch (const StopRequested&) {
        closeAll();
        std::string text = "The joining of " + m_destination + " is stopped!\r";
        text += m_direct ? "The bytes written so far stay in " + m_destination
                         : (m_existed ? m_destination + " is not changed" : "Nothing is written");
        return end({Outcome::Interrupted, std::nullopt}, text, BoxStyle::Notice);
    }
}

OperationResult JoinOperation::notTheOriginal()
{
    closeAll();
    std::string text = "The joined file is not the original file!\rIts CRC32 is " + crcText(m_crc) +
                       ", but " + m_checkName + " says " + crcText(m_check->crc32) + "\r";
    text += unchangedText();
    return end({Outcome::Failed, std::nullopt}, text, BoxStyle::Warning);
}

std::string JoinOperation::unchangedText() const
{
    if (m_direct)
        return m_destination + (m_wrote ? " has taken the bytes all the same" : " is not changed");
    return m_destination + (m_existed ? " is not changed" : " is not written");
}

OperationResult JoinOperation::cannotRebuild(const std::vector<PieceSlice>& bad, std::size_t available)
{
    std::string text = kCannotRebuildText + badPiecesLines(*m_indexed, bad) + "\r";
    if (m_direct)
        text += m_destination + " cannot take rebuilt cutted files";
    else
        text += available == kWrongBytes ? kWrongRebuildText : recoveryShortText(bad.size(), available);
    text += "\r" + unchangedText();
    closeAll();
    return end({Outcome::Failed, std::nullopt}, text, BoxStyle::Warning);
}

bool JoinOperation::checksPass(const JoinInputs& inputs)
{
    auto refuse = [this](const char* text, BoxStyle style, BoxTitle title) {
        m_window.messageBox(text, style, title);
        m_window.selectAll(TextBox::Text4);
        m_window.focus(TextBox::Text4);
        return false;
    };

    if (inputs.toStandardOutput) {
        // A stream the user chose to fill: no file to check, replace or confirm.
        m_stream = m_direct = true;
        m_destination = "standard output";
        if (m_pieces.empty())
            m_window.messageBox(kAddPiecesText, BoxStyle::Warning, BoxTitle::Parvix);
        return !m_pieces.empty();
    }
    m_destination = inputs.typed ? trimSpaces(inputs.text4) : inputs.text4;
    if (m_destination.empty()) {
        m_window.messageBox(kSpecifyNameText, BoxStyle::Warning, BoxTitle::Parvix);
        m_window.focus(TextBox::Text4);
        return false;
    }
    if (m_destination.back() == kSeparator)
        return refuse(kEnterNameText, BoxStyle::Warning, BoxTitle::Parvix);
    // A destination without any separator has no folder: the same answer as a missing folder.
    std::string folder;
    if (!folderPart(m_destination, folder) || !exists(m_files, folder, ListingKind::WithDirectories))
        return refuse(kJoinPathMissingText, BoxStyle::Warning, BoxTitle::Program);
    if (m_pieces.empty()) {
        m_window.messageBox(kAddPiecesText, BoxStyle::Warning, BoxTitle::Parvix);
        return false;
    }
    // Writing into a file that is still to be read would corrupt the result.
    const auto destinationId = m_files.identity(m_destination);
    const bool there = destinationId && destinationId->kind != FileKind::None;
    if (there && isListed(*destinationId))
        return refuse(kAlreadyListedText, BoxStyle::Warning, BoxTitle::Parvix);
    // Nor may it take the place of what checks the pieces or joins them without the tool.
    if (there && isBesideTheSet(*destinationId))
        return refuse(kBesideTheSetText, BoxStyle::Warning, BoxTitle::Parvix);
    // The question is for an ordinary file, a hidden one too. A folder, a FIFO or a socket fails when it
    // is opened; a device takes the bytes directly.
    m_existed = there && destinationId->kind == FileKind::Regular;
    m_direct = there && destinationId->kind == FileKind::Other;
    if (m_existed) {
        if (m_window.messageBox(replaceQuestionText(m_destination), BoxStyle::ReplaceQuestion, BoxTitle::Parvix) ==
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
    for (const auto& piece : m_pieces) {
        if (m_files.identity(piece) == destination)
            return true;
    }
    return false;
}

bool JoinOperation::isBesideTheSet(const FileIdentity& destination)
{
    const std::string& first = m_pieces.front();
    std::vector<std::string> beside{linkScriptPath(first)};
    if (const SetCheckFile check = findSetCheckFile(m_files, first); check.present)
        beside.push_back(check.path);
    if (const auto base = setBaseOf(first)) {
        beside.push_back(indexPath(*base));
        for (auto& volume : volumesOf(m_files, *base))
            beside.push_back(std::move(volume));
    }
    for (const auto& path : beside) {
        if (m_files.identity(path) == destination)
            return true;
    }
    return false;
}

std::optional<IndexedSet> JoinOperation::indexedSet()
{
    // The index governs a list that is its pieces, in their order; any other list is joined as listed.
    // The recovery files are read through only when something is to be rebuilt.
    auto set = IndexedSet::find(m_files, m_pieces.front(), false);
    if (!set || set->pieces().size() != m_pieces.size())
        return std::nullopt;
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        if (set->pieces()[i].path != m_pieces[i])
            return std::nullopt;
    }
    return set;
}

bool JoinOperation::indexedPiecesReady()
{
    // The pieces that are there as the index describes them can be read before a byte is written; the
    // others are rebuilt, when the recovery files can.
    m_total = static_cast<std::int64_t>(m_indexed->total());
    for (const auto& piece : m_indexed->pieces()) {
        m_lengths.push_back(static_cast<std::int64_t>(piece.length));
        if (piece.rightLength)
            m_files.openRead(piece.path)->close();
    }
    m_missing = m_indexed->missingSlices();
    if (!m_missing.empty() && !m_direct)
        m_indexed->checkRecovery(m_files);
    if (!m_missing.empty() && (m_direct || m_indexed->recoveryCount() < m_missing.size())) {
        m_refused = cannotRebuild(m_missing, m_indexed->recoveryCount());
        return false;
    }
    // The check file of the same cut checks the whole once more.
    if (const SetCheckFile check = findSetCheckFile(m_files, m_pieces.front());
        check.content && check.content->size == m_total) {
        m_check = check.content;
        m_checkName = GetFileName(check.path);
    }
    return true;
}

bool JoinOperation::piecesReady()
{
    m_lengths.clear();
    m_indexed = indexedSet();
    if (m_indexed)
        return indexedPiecesReady();
    // Every piece is there and can be read before a byte is written.
    m_lengths.reserve(m_pieces.size());
    m_total = 0;
    for (const auto& path : m_pieces) {
        m_lengths.push_back(m_files.fileLength(path));
        m_total += m_lengths.back();
        m_files.openRead(path)->close();
    }

    const SetCheckFile check = findSetCheckFile(m_files, m_pieces.front());
    if (!check.present)
        return true;
    const std::string checkName = GetFileName(check.path);
    if (!check.content) {
        m_window.messageBox(notACheckFileText(checkName), BoxStyle::Notice, BoxTitle::Parvix);
        return true;
    }
    if (m_total == check.content->size) {
        m_check = check.content;
        m_checkName = checkName;
        return true;
    }
    const std::string question =
        totalDiffersText(m_total, checkName, check.content->size) + "，" + std::string(kJoinAnywayText);
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
    if (m_stream)
        m_destinationFile = m_files.openStandardOutput();
    else if (m_direct)
        m_destinationFile = m_files.openReadWrite(m_destination);
    else
        m_destinationFile = m_files.createTemporary(m_destination, AtLink::Follow, m_temporary);
    m_wrote = true;
    // Pieces are missing: what rebuilds them is summed in this pass, with room for one damaged piece more.
    std::unique_ptr<SliceSums> sums;
    if (!m_missing.empty()) {
        m_decoder = m_indexed->loadRecovery(m_files, std::min(m_indexed->recoveryCount(), m_missing.size() + 1), m_stop);
        sums = std::make_unique<DecoderSums>(*m_decoder);
        m_summedInPass = true;
    }
    std::int64_t position = 0;
    std::vector<PieceDigest> results;
    {
        // The copy's buffers go before any rebuilt piece is read back with buffers of its own.
        std::int64_t copied = 0;
        PieceDigests digests(m_indexed ? m_indexed->set().sliceSize : 0, sums.get());
        ChunkedCopy copier(m_stop, digests, [&](std::int64_t chunk) { m_window.setBytesDone(copied += chunk, m_total); });
        for (std::size_t i = 0; i < m_lengths.size(); ++i) {
            throwIfStopRequested(m_stop);
            const std::int64_t length = m_lengths[i];
            m_window.setProgressValue(static_cast<float>(i));
            // An empty piece adds nothing; one to be rebuilt leaves its place for now.
            if (length == 0 || (m_indexed && !m_indexed->pieces()[i].rightLength)) {
                position += length;
                continue;
            }
            m_pieceFile = m_files.openRead(m_pieces[i]);
            digests.beginPiece(m_decoder ? m_indexed->constants(i) : std::vector<std::uint16_t>{});
            copier.copy(*m_pieceFile, 0, *m_destinationFile, position, length);
            digests.endPiece();
            m_pieceFile->close();
            m_pieceFile.reset();
            position += length;
        }
        results = digests.finish();
    }
    sums.reset();
    if (m_indexed) {
        if (!m_direct)
            m_destinationFile->truncate(position); // a missing last piece
        checkAgainstIndex(results);
    } else {
        for (const auto& digest : results)
            m_crc = Crc32::combine(m_crc, digest.crc32, digest.length);
    }
    if (m_refused)
        return;
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

void JoinOperation::checkAgainstIndex(const std::vector<PieceDigest>& digests)
{
    // Each piece copied is judged by its slices' checksums; the bad slices are those of the pieces not
    // there and the damaged ones.
    std::vector<PieceDigest> byPiece(m_lengths.size());
    std::vector<PieceSlice> bad = m_missing;
    std::size_t next = 0;
    for (std::size_t i = 0; i < m_lengths.size(); ++i) {
        if (m_lengths[i] == 0 || !m_indexed->pieces()[i].rightLength)
            continue;
        byPiece[i] = digests.at(next++);
        const auto damaged = m_indexed->damagedSlices(i, byPiece[i]);
        bad.insert(bad.end(), damaged.begin(), damaged.end());
    }
    std::sort(bad.begin(), bad.end(), [](const PieceSlice& a, const PieceSlice& b) {
        return a.piece != b.piece ? a.piece < b.piece : a.slice < b.slice;
    });
    if (!bad.empty()) {
        // A device or a stream has taken the bytes: nothing can be mended there.
        if (m_direct) {
            m_refused = cannotRebuild(bad, 0);
            return;
        }
        repair(bad);
        if (m_refused)
            return;
        const auto again = digestPieces(*m_indexed, m_rebuilt, joinedReader(), m_stop);
        for (std::size_t r = 0; r < m_rebuilt.size(); ++r) {
            byPiece[m_rebuilt[r]] = again[r];
            if (!m_indexed->damagedSlices(m_rebuilt[r], again[r]).empty()) {
                // Recovery data that passed its own checksum and still rebuilt wrong bytes.
                m_refused = cannotRebuild(bad, kWrongBytes);
                return;
            }
        }
    }
    for (std::size_t i = 0; i < m_lengths.size(); ++i)
        m_crc = Crc32::combine(m_crc, byPiece[i].crc32, m_lengths[i]);
}

void JoinOperation::repair(const std::vector<PieceSlice>& bad)
{
    std::vector<std::uint16_t> constants;
    for (const PieceSlice& slice : bad)
        constants.push_back(m_indexed->constant(slice));
    // The sums of this pass do when they are enough; otherwise the joined file is read once more into sums
    // of as many recovery slices as the bad ones need.
    if (!m_decoder || m_decoder->count() < bad.size() || !m_decoder->solve(constants)) {
        m_summedInPass = false;
        m_indexed->checkRecovery(m_files);
        const std::size_t available = m_indexed->recoveryCount();
        if (available < bad.size()) {
            m_refused = cannotRebuild(bad, available);
            return;
        }
        m_decoder.reset();
        m_decoder = m_indexed->loadRecovery(m_files, std::min(available, bad.size() + 2), m_stop);
        sumGoodSlices(*m_indexed, *m_decoder, bad, joinedReader(), m_stop);
        if (!m_decoder->solve(constants)) {
            m_refused = cannotRebuild(bad, 0); // the recovery slices there are no use for these
            return;
        }
    }
    m_decoder->rebuild();
    // A slice summed in the pass as it was, damaged, comes back as the difference to its right bytes.
    // It is mended a quarter of a megabyte at a time: a slice may be gigabytes, and is held once already.
    constexpr std::size_t kStep = 256 * 1024;
    std::vector<std::byte> old;
    for (std::size_t r = 0; r < bad.size(); ++r) {
        throwIfStopRequested(m_stop);
        const PieceSlice& slice = bad[r];
        const auto offset = static_cast<std::int64_t>(m_indexed->offsetOf(slice));
        const auto length = static_cast<std::size_t>(m_indexed->sliceLength(slice));
        const std::byte* bytes = m_decoder->rebuilt(r).data();
        if (m_summedInPass && m_indexed->pieces()[slice.piece].rightLength) {
            old.resize(std::min(length, kStep));
            for (std::size_t done = 0; done < length; done += kStep) {
                const std::size_t step = std::min(kStep, length - done);
                const auto at = offset + static_cast<std::int64_t>(done);
                m_destinationFile->read(at, old.data(), step);
                for (std::size_t i = 0; i < step; ++i)
                    old[i] ^= bytes[done + i];
                m_destinationFile->write(at, old.data(), step);
            }
        } else {
            m_destinationFile->write(offset, bytes, length);
        }
        if (m_rebuilt.empty() || m_rebuilt.back() != slice.piece)
            m_rebuilt.push_back(slice.piece);
    }
    m_decoder.reset();
}

PieceReader JoinOperation::joinedReader()
{
    // The pieces as they lie in the joined file.
    return [this](std::size_t piece, std::int64_t offset, std::byte* buffer, std::size_t size) {
        m_destinationFile->read(static_cast<std::int64_t>(m_indexed->offsetOf({piece, 0})) + offset, buffer, size);
    };
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

void JoinOperation::closeAll()
{
    m_pieceFile.reset();
    m_destinationFile.reset();
    removeTemporary();
}

OperationResult JoinOperation::end(const OperationResult& result, const std::string& text, BoxStyle style)
{
    // The one way out of a join that began: a complete join gives the pointer back as it says so; a
    // stopped, failed or refused one says so first (a disk error has been reported already). The
    // progress bar goes once the box is closed.
    if (result.outcome == Outcome::Completed) {
        m_window.setPointer(Pointer::Default);
        m_window.messageBox(text, style, BoxTitle::Parvix);
    } else {
        if (!text.empty())
            m_window.messageBox(text, style, BoxTitle::Parvix);
        m_window.setPointer(Pointer::Default);
    }
    m_window.setProgressValue(0.0f);
    m_window.hideProgress();
    return result;
}

} // namespace parvix
