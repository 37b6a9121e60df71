#include "SplitOperation.h"

#include "CheckFile.h"
#include "ChunkedCopy.h"
#include "Crc32.h"
#include "DiskErrorTable.h"
#include "JoinListAdd.h"
#include "LinkScript.h"
#include "Naming.h"
#include "PieceBuffer.h"
#include "Platform.h"
#include "RecoveryFiles.h"
#include "StopRequest.h"
#include "Texts.h"
#include "WindowRequests.h"
#include "par2/Md5.h"
#include "par2/Par2Set.h"
#include "par2/Par2Writer.h"

#include <algorithm>
#include <utility>

namespace parvix {

namespace {

// Whether a file of this path's name can be made: file systems take names of at most 255 bytes (or UTF-16
// units, which are no more).
bool nameFits(const std::string& path)
{
    return GetFileName(path).size() <= 255;
}

// Asked before a cut replaces what lies under its outputs' names: pieces, Link.bat, the check file.
std::string replaceOutputsText(const std::vector<std::string>& replaced)
{
    if (replaced.size() == 1)
        return replaceQuestionText(replaced.front());
    return "The " + std::to_string(replaced.size()) + " files  " + replaced.front() + " and " +
           std::to_string(replaced.size() - 1) + " more  have already existed，Do you want to replace them？";
}

std::string confirmationText(const std::string& source)
{
    return "Are you sure ？The file " + source + " will to be cutted!  ";
}

std::string completionText(const std::string& source)
{
    return source + " is cutted completely!\r\rYou can run the link.bat to join automatically in the destination "
                    "director \rAlso you can use the Parvix to join the file !";
}

// What a stopped cut kept: the whole pieces it listed.
std::string stoppedText(const std::string& source, const std::vector<std::string>& kept)
{
    std::string text = "The cutting of " + source + " is stopped!\r";
    if (kept.empty())
        return text + "No cutted file is kept";
    const std::string first = GetFileName(kept.front());
    if (kept.size() == 1)
        return text + "The whole cutted file " + first + " is kept, Link.bat is not written";
    return text + "The " + std::to_string(kept.size()) + " whole cutted files " + first + " to " +
           GetFileName(kept.back()) + " are kept, Link.bat is not written";
}

} // namespace

std::string missingSourceText(const std::string& source)
{
    return "No" + source + "File";
}

SplitOperation::SplitOperation(WindowParts window, FileServices& files, const StopRequest* stop)
    : m_window(window), m_files(files), m_stop(stop)
{
}

CutResult SplitOperation::run(const SplitInputs& inputs)
{
    try {
        return withErrorPath(
            [&]() -> CutResult {
                if (!checksPass(inputs) || !mayReplaceOutputs() ||
                    m_window.messageBox(confirmationText(m_source), BoxStyle::Confirmation, BoxTitle::Parvix) ==
                        Button::No)
                    return endedAs<CutResult>(Outcome::Stopped);
                std::string folder;
                folderPart(m_base, folder);
                m_files.removeLeftovers(folder);
                if (m_stream) {
                    cutStream();
                    if (m_pieces.empty())
                        return end({Outcome::Stopped, std::nullopt});
                } else {
                    ensureRoom();
                    cut();
                }
                finish();
                return end({Outcome::Completed, std::nullopt});
            },
            [this](const FileError& error) { return failed(error); });
    } catch (const StopRequested&) {
        return stopped();
    }
}

bool SplitOperation::checksPass(const SplitInputs& inputs)
{
    auto refuse = [this](const char* text, BoxStyle style, BoxTitle title, TextBox box, bool select) {
        m_window.messageBox(text, style, title);
        if (select)
            m_window.selectAll(box);
        m_window.focus(box);
        return false;
    };

    m_stream = inputs.fromStandardInput;
    m_recoveryAsked = std::max<std::int64_t>(0, inputs.recoveryPieces);
    m_oneInTwenty = inputs.recoveryOneInTwenty;
    m_source = m_stream ? "standard input" : inputs.typed ? trimSpaces(inputs.text1) : inputs.text1;
    if (m_source.empty())
        return refuse(kSelectFileText, BoxStyle::Warning, BoxTitle::Parvix, TextBox::Text1, false);
    if (m_source.back() == kSeparator)
        return refuse(kSelectFileText, BoxStyle::Warning, BoxTitle::Parvix, TextBox::Text1, true);
    if (!m_stream && !exists(m_files, m_source, ListingKind::OrdinaryFiles)) {
        const std::string text = missingSourceText(m_source);
        return refuse(text.c_str(), BoxStyle::Warning, BoxTitle::Parvix, TextBox::Text1, true);
    }

    m_base = inputs.typed ? trimSpaces(inputs.text2) : inputs.text2;
    if (m_base.empty())
        return refuse(kSelectFileText, BoxStyle::Warning, BoxTitle::Parvix, TextBox::Text2, false);
    if (m_base.back() == kSeparator) {
        m_window.messageBox(kSpecifyDestinationText, BoxStyle::Warning, BoxTitle::Parvix);
        m_window.caretToEnd(TextBox::Text2);
        m_window.focus(TextBox::Text2);
        return false;
    }
    if (exists(m_files, m_base, ListingKind::OrdinaryFiles))
        return refuse(kDestinationExistsText, BoxStyle::Notice, BoxTitle::Parvix, TextBox::Text2, true);
    // A base without any separator has no folder to write into: the same answer as a missing folder.
    std::string folder;
    if (!folderPart(m_base, folder) || !exists(m_files, folder, ListingKind::WithDirectories))
        return refuse(kSplitPathMissingText, BoxStyle::Warning, BoxTitle::Program, TextBox::Text2, true);

    std::optional<std::int64_t> size;
    if (m_stream && inputs.pieces)
        size.reset(); // as many pieces as a length that is not known yet gives: no size at all
    else if (inputs.pieceBytes)
        size = *inputs.pieceBytes > 0 ? inputs.pieceBytes : std::nullopt;
    else if (inputs.pieces)
        size = *inputs.pieces > 0 ? std::optional<std::int64_t>(1) : std::nullopt; // set once the length is known
    else if (inputs.option1)
        size = kFloppyPieceSize;
    else
        size = pieceSizeFromKilobytes(inputs.text3);
    if (!size) {
        m_window.messageBox(kInvalidSizeText, BoxStyle::Notice, BoxTitle::Parvix);
        m_window.focus(TextBox::Text3);
        return false;
    }
    m_pieceSize = *size;

    // What a stream holds is known once it is read.
    if (m_stream) {
        planRecovery(0);
        return !outputsClash() ||
               refuse(kDestinationExistsText, BoxStyle::Notice, BoxTitle::Parvix, TextBox::Text2, true);
    }
    m_length = m_files.fileLength(m_source);
    // As many pieces as asked for, each but the last of the same size and the last no larger.
    if (inputs.pieces)
        m_pieceSize = std::max<std::int64_t>(1, pieceCount(m_length, *inputs.pieces));
    if (m_pieceSize > m_length) {
        m_window.messageBox(kTooSmallText, BoxStyle::Notice, BoxTitle::Parvix);
        return false;
    }
    planRecovery(pieceCount(m_length, m_pieceSize));

    // Creating a piece (or Link.bat) over the source, over another output or into something that is no
    // file would lose bytes.
    if (outputsClash())
        return refuse(kDestinationExistsText, BoxStyle::Notice, BoxTitle::Parvix, TextBox::Text2, true);
    return true;
}

void SplitOperation::planRecovery(std::int64_t pieces)
{
    // A stream's count of pieces is known at its end (0 here): what it asks for is settled then.
    const std::int64_t asked = m_oneInTwenty ? std::max(m_recoveryAsked, (pieces + 19) / 20) : m_recoveryAsked;
    m_indexed = (pieces == 0 || indexable(pieces)) && nameFits(indexPath(m_base));
    m_recovery = !m_indexed ? 0 : pieces == 0 ? asked : std::min(asked, pieces);
    if (m_recovery > 0 && !nameFits(par2::recoveryVolumeName(m_base, 0, static_cast<std::uint32_t>(m_recovery))))
        m_recovery = 0;
}

bool SplitOperation::outputsClash()
{
    // Each output replaces what lies under its name, a link too, and never writes through one. It must
    // not replace the source's own name (the file its path leads to), whose bytes would go with it, nor a
    // folder, a device, a FIFO or a socket.
    const auto source = m_stream ? std::nullopt : m_files.identity(m_source);
    m_replaced.clear();
    m_replacedBytes = 0;
    // An output that leads nowhere fails when it is created, and says why.
    auto clashes = [&](const std::string& path) {
        const auto id = m_files.identity(path, AtLink::Replace);
        if (!id || id->kind == FileKind::None)
            return false;
        if (id->kind == FileKind::Other || (id->kind == FileKind::Regular && source && *id == *source))
            return true;
        m_replaced.push_back(path);
        // What an output replaces makes room for it.
        if (id->kind == FileKind::Regular)
            m_replacedBytes += m_files.fileLength(path);
        return false;
    };
    // A stream may take any number of pieces: those of an earlier set, as far as they are there, count.
    const std::int64_t pieces = m_stream ? INT64_MAX : pieceCount(m_length, m_pieceSize);
    for (std::int64_t n = 1; n <= pieces; ++n) {
        const std::string piece = piecePath(m_base, n);
        if (m_stream && m_replaced.size() + 1 < static_cast<std::size_t>(n))
            break;
        if (clashes(piece))
            return true;
    }
    if (clashes(linkScriptPath(m_base)) || clashes(checkFilePath(m_base)))
        return true;
    // The PAR2 files of an earlier cut would describe other pieces: the index is written anew or goes, and
    // so does every volume.
    const std::string index = indexPath(m_base);
    const std::size_t before = m_replaced.size();
    if (clashes(index))
        return true;
    m_stale.clear();
    if (!m_indexed && m_replaced.size() > before)
        m_stale.push_back(index);
    if (m_recovery > 0 && !m_stream && clashes(par2::recoveryVolumeName(m_base, 0, static_cast<std::uint32_t>(m_recovery))))
        return true;
    for (const auto& path : volumesOf(m_files, m_base)) {
        if (std::find(m_replaced.begin(), m_replaced.end(), path) != m_replaced.end())
            continue;
        if (clashes(path))
            return true;
        m_stale.push_back(path);
    }
    return false;
}

bool SplitOperation::mayReplaceOutputs()
{
    // An earlier set under the same names goes only when the user says so.
    if (m_replaced.empty())
        return true;
    if (m_window.messageBox(replaceOutputsText(m_replaced), BoxStyle::ReplaceQuestion, BoxTitle::Parvix) == Button::Yes)
        return true;
    m_window.selectAll(TextBox::Text2);
    m_window.focus(TextBox::Text2);
    return false;
}

void SplitOperation::ensureRoom()
{
    std::string folder;
    folderPart(m_base, folder);
    // Link.bat names every piece; the check file is a few lines.
    const std::int64_t pieces = pieceCount(m_length, m_pieceSize);
    const auto nameLength = static_cast<std::int64_t>(GetFileName(m_base).size());
    std::int64_t needed = m_length + pieces * (nameLength + 8) + 4096 - m_replacedBytes;
    if (m_indexed)
        needed += recoveryFilesSize(pieces, GetFileName(m_base).size() + 8, sliceSizeOf(m_pieceSize), m_recovery);
    if (const std::int64_t room = m_files.freeSpace(folder); needed > room)
        throw noRoomError(folder, needed, room);
}

void SplitOperation::cut()
{
    m_window.clearJoinList();
    m_window.setPointer(Pointer::Hourglass);
    const std::int64_t chosenSize = m_pieceSize;
    m_window.setProgressMax(static_cast<float>(m_length / chosenSize));
    m_window.setProgressValue(0.0f);
    m_window.showProgress();

    m_sourceFile = m_files.openRead(m_source);
    const auto constants = recoveryConstants();
    // A set too large for an index gets the pieces' CRCs only.
    PieceDigests digests(m_indexed ? sliceSizeOf(chosenSize) : 0, m_sums.get());
    ChunkedCopy copier(m_stop, digests, [this](std::int64_t chunk) { m_window.setBytesDone(m_copied += chunk, m_length); });
    std::int64_t position = 1;
    std::int64_t number = 1;
    std::int64_t size = chosenSize;
    while (position <= m_length) {
        throwIfStopRequested(m_stop);
        if (m_length - position < size)
            size = m_length - position + 1;
        m_piecePath = piecePath(m_base, number);
        m_window.setProgressValue(static_cast<float>(position / chosenSize));

        // Under a name of its own until it is whole: a failure, a stop or a kill never leaves a part of a
        // piece under a piece's name.
        m_pieceFile = m_files.createTemporary(m_piecePath, AtLink::Replace, m_pieceTemporary);
        digests.beginPiece(constants.empty() ? std::vector<std::uint16_t>{} : constants[number - 1]);
        copier.copy(*m_sourceFile, position - 1, *m_pieceFile, 0, size);
        digests.endPiece();
        // Listed as soon as it is whole: a failure while it is written keeps it if its bytes reach the device.
        m_pieces.push_back(m_piecePath);
        m_window.appendJoinList(m_piecePath);
        keepWriting(size);
        ++number;
        position += size;
    }
    m_sourceFile->close();
    m_sourceFile.reset();
    m_digests = digests.finish();
    flushPieces();
    // The source changed under the cut: the first bytes of a piece are not those its constant was chosen
    // by, so the recovery is made again from the pieces as they were written.
    for (std::size_t i = 0; i < constants.size(); ++i) {
        if (m_digests[i].par2->md5First16k != m_firstBlocks[i]) {
            encodeFromPieces();
            break;
        }
    }
}

std::vector<std::vector<std::uint16_t>> SplitOperation::recoveryConstants()
{
    // Each piece's bytes go into the recovery slices times its constant, which comes from the piece's
    // place in the set: the order of its File ID, made of its name, length and first 16 KiB. Those few
    // bytes of every piece are read first, so that the recovery is built in the one pass.
    if (m_recovery == 0)
        return {};
    const std::uint64_t sliceSize = sliceSizeOf(m_pieceSize);
    m_encoder = std::make_unique<par2::RecoveryEncoder>(sliceSize, 0, static_cast<std::uint32_t>(m_recovery));
    m_sums = std::make_unique<EncoderSums>(*m_encoder);
    std::vector<par2::SetLayout::FileKey> keys;
    m_firstBlocks.clear();
    PieceBuffer buffer;
    std::byte* bytes = buffer.reserve(par2::kFirst16k);
    for (std::int64_t number = 1, position = 0; position < m_length; ++number, position += m_pieceSize) {
        throwIfStopRequested(m_stop);
        const std::int64_t length = std::min(m_pieceSize, m_length - position);
        const auto head = static_cast<std::size_t>(std::min<std::int64_t>(length, par2::kFirst16k));
        m_sourceFile->read(position, bytes, head);
        m_firstBlocks.push_back(par2::Md5::of(bytes, head));
        keys.push_back({GetFileName(piecePath(m_base, number)), static_cast<std::uint64_t>(length), m_firstBlocks.back()});
    }
    const par2::SetLayout layout(sliceSize, keys);
    std::vector<std::vector<std::uint16_t>> constants;
    for (std::size_t i = 0; i < keys.size(); ++i)
        constants.push_back({layout.constant(i, 0)});
    return constants;
}

void SplitOperation::encodeFromPieces()
{
    // The recovery from the pieces as they lie: for a stream, whose pieces are known only at its end.
    const std::uint64_t sliceSize = sliceSizeOf(m_pieceSize);
    m_encoder = std::make_unique<par2::RecoveryEncoder>(sliceSize, 0, static_cast<std::uint32_t>(m_recovery));
    m_sums = std::make_unique<EncoderSums>(*m_encoder);
    std::vector<par2::SetLayout::FileKey> keys;
    for (std::size_t i = 0; i < m_pieces.size(); ++i)
        keys.push_back({GetFileName(m_pieces[i]), m_digests[i].par2->length, m_digests[i].par2->md5First16k});
    const par2::SetLayout layout(sliceSize, keys);
    PieceDigests digests(sliceSize, m_sums.get());
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        const auto file = m_files.openRead(m_pieces[i]);
        digests.beginPiece({layout.constant(i, 0)});
        const auto length = static_cast<std::int64_t>(m_digests[i].length);
        for (std::int64_t offset = 0; offset < length;) {
            throwIfStopRequested(m_stop);
            const auto size = static_cast<std::size_t>(std::min<std::int64_t>(length - offset, PieceDigests::kBlock));
            file->read(offset, digests.buffer(), size);
            digests.take(size);
            offset += static_cast<std::int64_t>(size);
        }
        digests.endPiece();
        file->close();
    }
    digests.finish();
}

void SplitOperation::cutStream()
{
    // One pass over what comes, a chunk at a time: a piece is begun only when there is a byte for it, so
    // that no empty piece follows the last.
    m_window.clearJoinList();
    m_window.setPointer(Pointer::Hourglass);
    m_window.setProgressMax(0.0f);
    m_window.setProgressValue(0.0f);
    m_window.showProgress();
    m_sourceFile = m_files.openStandardInput();
    // Each block is read into the digests' buffer, no further than the piece it belongs to.
    PieceDigests digests(sliceSizeOf(m_pieceSize), nullptr);
    for (std::int64_t number = 1;; ++number) {
        throwIfStopRequested(m_stop);
        std::byte* bytes = digests.buffer();
        std::size_t got = m_sourceFile->readNext(bytes, static_cast<std::size_t>(std::min<std::int64_t>(m_pieceSize, PieceDigests::kBlock)));
        if (got == 0) {
            digests.giveBack();
            break;
        }
        m_piecePath = piecePath(m_base, number);
        m_window.setProgressValue(static_cast<float>(number - 1));
        m_pieceFile = m_files.createTemporary(m_piecePath, AtLink::Replace, m_pieceTemporary);
        digests.beginPiece();
        std::int64_t size = 0;
        for (;;) {
            m_pieceFile->write(size, bytes, got);
            digests.take(got);
            size += static_cast<std::int64_t>(got);
            m_window.setBytesDone(m_copied += static_cast<std::int64_t>(got), -1);
            if (size == m_pieceSize)
                break;
            throwIfStopRequested(m_stop);
            bytes = digests.buffer();
            got = m_sourceFile->readNext(bytes, static_cast<std::size_t>(std::min<std::int64_t>(m_pieceSize - size, PieceDigests::kBlock)));
            if (got == 0) {
                digests.giveBack();
                break;
            }
        }
        digests.endPiece();
        m_pieces.push_back(m_piecePath);
        m_window.appendJoinList(m_piecePath);
        keepWriting(size);
    }
    m_digests = digests.finish();
    m_length = m_copied;
    m_sourceFile.reset();
    flushPieces();
    planRecovery(static_cast<std::int64_t>(m_pieces.size()));
    if (m_recovery > 0)
        encodeFromPieces();
}

void SplitOperation::keepWriting(std::int64_t size)
{
    // A written piece stays open while the device takes its bytes, up to a few dozen megabytes: waiting
    // for each piece at once would leave the device idle while the next one is copied, and flushing
    // each at once would make the file system write its records for every piece on its own. It takes
    // its name once its bytes are on the device.
    constexpr std::size_t kOpenPieces = 64;
    constexpr std::int64_t kBytesOnTheWay = 32 * 1024 * 1024;
    m_writing.push_back({std::move(m_pieceFile), std::exchange(m_pieceTemporary, {}), m_piecePath, size});
    m_writingBytes += size;
    settle(m_writing.back(), &File::startWriteBack);
    std::size_t done = 0;
    std::int64_t bytes = m_writingBytes;
    while (m_writing.size() - done > kOpenPieces || (m_writing.size() - done > 1 && bytes > kBytesOnTheWay)) {
        settle(m_writing[done], &File::awaitWriteBack);
        bytes -= m_writing[done].size;
        ++done;
    }
    putInPlace(done);
}

void SplitOperation::putInPlace(std::size_t count)
{
    // Renamed while still open, so that no other program takes it for a leftover in between.
    for (; count > 0; --count) {
        Written& oldest = m_writing.front();
        m_files.rename(oldest.temporary, oldest.path, AtLink::Replace);
        // In place from here, whatever its closing says.
        const std::unique_ptr<File> file = std::move(oldest.file);
        m_written.push_back(std::move(oldest.path));
        m_writingBytes -= oldest.size;
        m_writing.pop_front();
        file->close();
    }
}

void SplitOperation::settle(Written& piece, void (File::*wait)())
{
    try {
        ((*piece.file).*wait)();
    } catch (const FileError&) {
        piece.lost = true;
        throw;
    }
}

void SplitOperation::flushPieces()
{
    // The pieces still open are flushed and put in place; those put in place before are flushed by name:
    // that costs little, for the device has their bytes and the first flush writes the file system's
    // records of all of them.
    for (auto& piece : m_writing)
        settle(piece, &File::flush);
    putInPlace(m_writing.size());
    m_writingBytes = 0;
    for (const auto& path : m_written)
        m_files.flushFile(path);
    m_written.clear();
}

void SplitOperation::finish()
{
    // A path formed by the naming rule always has a "." after its last "$".
    m_proposal = proposeJoinDestination(m_window, m_pieces.front());
    if (m_proposal) {
        std::vector<std::string> names;
        names.reserve(m_pieces.size());
        for (const auto& piece : m_pieces)
            names.push_back(GetFileName(piece));
        const std::string joinedName = GetFileName(*m_proposal);
        writeTextFile(m_files, linkScriptPath(m_base), linkScriptLines(names, joinedName));
        std::uint32_t crc = 0;
        for (const auto& digest : m_digests)
            crc = Crc32::combine(crc, digest.crc32, digest.length);
        const CheckFile check{joinedName, m_length, crc};
        writeTextFile(m_files, checkFilePath(m_base), checkFileLines(check));
        m_checkFile = check;
    }
    if (m_indexed)
        writeRecovery();
    for (const auto& path : m_stale) {
        if (path != m_index && path != m_recoveryVolume)
            m_files.remove(path);
    }
    // The pieces' names are on the device too before the cut says it is complete.
    std::string folder;
    folderPart(m_base, folder);
    m_files.flushFolder(folder);
    if (m_recovery == 0 && (m_recoveryAsked > 0 || m_oneInTwenty))
        m_window.messageBox(indexable(static_cast<std::int64_t>(m_pieces.size())) ? kNameTooLongText : kNoRecoveryText,
                            BoxStyle::Notice, BoxTitle::Parvix);
}

void SplitOperation::writeRecovery()
{
    const par2::Par2Set set = setOfPieces(sliceSizeOf(m_pieceSize), m_pieces, m_digests);
    writeIndex(m_files, m_base, set);
    m_index = indexPath(m_base);
    if (m_encoder)
        m_recoveryVolume = writeRecoveryVolume(m_files, m_base, set, *m_encoder);
}

void SplitOperation::removePartialPiece()
{
    m_sourceFile.reset();
    if (!m_pieceFile)
        return;
    m_pieceFile.reset();
    const std::string temporary = std::exchange(m_pieceTemporary, {});
    try {
        m_files.remove(temporary);
    } catch (const FileError&) {
        // Gone with its folder, or left for the next cut into this folder to remove.
    }
}

CutResult SplitOperation::stopped()
{
    // The piece being written goes; the whole ones stay, on the device, and in the list. Keeping them
    // can fail too, and then says so like any failure.
    try {
        removePartialPiece();
        flushPieces();
        std::string folder;
        folderPart(m_base, folder);
        m_files.flushFolder(folder);
    } catch (const FileError& error) {
        return failed(error);
    }
    return end({Outcome::Interrupted, std::nullopt});
}

CutResult SplitOperation::failed(const FileError& error)
{
    // Said first, then the files are closed.
    reportDiskError(m_window, error.number(), DiskErrorEntries::All);
    removePartialPiece();
    // The whole pieces stay, as they are listed, once their bytes are on the device. One the device
    // failed to take goes, or it would pass for whole; so does one that cannot take its name, and
    // an earlier file under that name, which the cut was to replace and would pass for it.
    std::vector<std::string> gone;
    while (!m_writing.empty()) {
        Written& piece = m_writing.front();
        bool kept = false;
        if (!piece.lost) {
            try {
                piece.file->flush();
                m_files.rename(piece.temporary, piece.path, AtLink::Replace);
                kept = true;
            } catch (const FileError&) {
                // Goes below.
            }
        }
        if (!kept) {
            piece.file.reset();
            for (const auto* path : {&piece.temporary, &piece.path}) {
                try {
                    m_files.remove(*path);
                } catch (const FileError&) {
                    // Not there, or left for the next cut into this folder to remove.
                }
            }
            gone.push_back(std::move(piece.path));
        }
        m_writing.pop_front();
    }
    // The list shows the pieces there are.
    if (!gone.empty()) {
        std::erase_if(m_pieces, [&](const std::string& path) { return std::ranges::find(gone, path) != gone.end(); });
        m_window.clearJoinList();
        for (const auto& path : m_pieces)
            m_window.appendJoinList(path);
    }
    return end({Outcome::Failed, error});
}

CutResult SplitOperation::end(OperationResult result)
{
    // The one way out of a cut that got past its checks or failed on the way: a complete cut turns to the
    // join tab before its notice; a stopped one says what it kept (a failed one has said why), then
    // turns back to the cut tab. Either way the window is at rest again.
    const auto rest = [this] {
        m_window.setProgressValue(0.0f);
        m_window.hideProgress();
        m_window.setPointer(Pointer::Default);
    };
    if (result.outcome == Outcome::Completed) {
        rest();
        m_window.selectTab(kJoinTab);
        m_window.messageBox(completionText(m_source), BoxStyle::Notice, BoxTitle::Parvix);
    } else if (result.outcome == Outcome::Stopped) {
        // A stream that held nothing to cut.
        rest();
        m_window.messageBox(kTooSmallText, BoxStyle::Notice, BoxTitle::Parvix);
    } else {
        if (result.outcome == Outcome::Interrupted)
            m_window.messageBox(stoppedText(m_source, m_pieces), BoxStyle::Notice, BoxTitle::Parvix);
        m_window.selectTab(kSplitTab);
        rest();
    }
    auto made = endedAs<CutResult>(result.outcome, result.error);
    made.pieces = m_pieces;
    made.proposal = m_proposal;
    made.checkFile = m_checkFile;
    made.index = m_index;
    made.recoveryVolume = m_recoveryVolume;
    made.length = m_length;
    made.pieceSize = m_pieceSize;
    return made;
}

} // namespace parvix
