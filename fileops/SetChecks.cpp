#include "SetChecks.h"

#include "CheckFile.h"
#include "DiskErrorTable.h"
#include "IndexedSet.h"
#include "RecoveryFiles.h"
#include "par2/FileHasher.h"

#include <algorithm>
#include "Naming.h"
#include "PieceSet.h"
#include "StopRequest.h"
#include "Texts.h"

namespace parvix {

namespace {

// What a check of a set with an index found: the bad slices, and the digests of the pieces there.
struct IndexedCheck
{
    std::vector<PieceSlice> bad;
    std::vector<PieceDigest> digests; // by piece; empty for a piece not there as described
};

IndexedCheck checkIndexed(FileServices& files, const IndexedSet& set, const StopRequest* stop)
{
    IndexedCheck check;
    check.bad = set.missingSlices();
    std::vector<std::size_t> there;
    for (std::size_t i = 0; i < set.pieces().size(); ++i) {
        if (set.pieces()[i].rightLength)
            there.push_back(i);
    }
    PieceFiles pieces(files, set);
    const auto digests = digestPieces(set, there, pieces.reader(), stop);
    check.digests.resize(set.pieces().size());
    for (std::size_t k = 0; k < there.size(); ++k) {
        check.digests[there[k]] = digests[k];
        const auto damaged = set.damagedSlices(there[k], digests[k]);
        check.bad.insert(check.bad.end(), damaged.begin(), damaged.end());
    }
    std::sort(check.bad.begin(), check.bad.end(), [](const PieceSlice& a, const PieceSlice& b) {
        return a.piece != b.piece ? a.piece < b.piece : a.slice < b.slice;
    });
    return check;
}

std::string recoveryCountText(std::size_t available, std::size_t needed)
{
    return std::to_string(available) + (available == 1 ? " recovery slice exists, " : " recovery slices exist, ") +
           std::to_string(needed) + (needed == 1 ? " is needed" : " are needed");
}

// The check file lines of what the pieces there join to.
std::vector<std::string> joinedLines(const std::string& first, const IndexedSet& set, const IndexedCheck& check)
{
    std::uint32_t crc = 0;
    std::int64_t size = 0;
    for (const auto& digest : check.digests) {
        crc = Crc32::combine(crc, digest.crc32, digest.length);
        size += digest.length;
    }
    (void)set;
    const auto proposal = proposeDestination(first);
    return checkFileLines({GetFileName(proposal.value_or(first)), size, crc});
}

// Rebuilt bytes that are not the index's: recovery data that passed its packet's checksum and is still
// wrong, as a stranger may make it.
struct WrongRebuild
{
};

// Writes each piece with bad slices anew beside itself: its good slices from the piece, the bad ones as
// rebuilt. A piece takes its name only once its bytes are checked against the index.
bool rebuildPieces(FileServices& files, const IndexedSet& set, const std::vector<PieceSlice>& bad,
                   const par2::RepairDecoder& decoder, const StopRequest* stop)
{
    try {
        for (std::size_t r = 0; r < bad.size();) {
            const std::size_t piece = bad[r].piece;
            const IndexedPiece& described = set.pieces()[piece];
            replaceFile(files, described.path, [&](File& file) {
                std::unique_ptr<File> old;
                if (described.rightLength)
                    old = files.openRead(described.path);
                par2::FileHasher hasher(set.set().sliceSize);
                // A slice may be gigabytes: a rebuilt one is written from where it was rebuilt, a good one
                // is carried over a quarter of a megabyte at a time.
                constexpr std::size_t kStep = 256 * 1024;
                std::vector<std::byte> bytes;
                for (std::uint32_t s = 0; s < set.slicesOf(piece); ++s) {
                    const PieceSlice slice{piece, s};
                    const auto length = static_cast<std::size_t>(set.sliceLength(slice));
                    const auto offset = static_cast<std::int64_t>(s * set.set().sliceSize);
                    if (r < bad.size() && bad[r] == slice) {
                        throwIfStopRequested(stop);
                        const std::byte* rebuilt = decoder.rebuilt(r++).data();
                        hasher.update(rebuilt, length);
                        file.write(offset, rebuilt, length);
                        continue;
                    }
                    bytes.resize(std::min(length, kStep));
                    for (std::size_t done = 0; done < length; done += kStep) {
                        throwIfStopRequested(stop);
                        const std::size_t step = std::min(kStep, length - done);
                        const auto at = offset + static_cast<std::int64_t>(done);
                        old->read(at, bytes.data(), step);
                        hasher.update(bytes.data(), step);
                        file.write(at, bytes.data(), step);
                    }
                }
                if (old)
                    old->close();
                PieceDigest digest;
                digest.par2 = hasher.finish();
                if (!set.damagedSlices(piece, digest).empty())
                    throw WrongRebuild();
            });
        }
    } catch (const WrongRebuild&) {
        return false;
    }
    return true;
}

SetCheck verifyIndexed(FileServices& files, Questions& questions, const std::string& first, const IndexedSet& set,
                       const StopRequest* stop)
{
    SetCheck result;
    result.checked = true;
    IndexedCheck check;
    try {
        check = checkIndexed(files, set, stop);
    } catch (const StopRequested&) {
        result.outcome = Outcome::Interrupted;
        return result;
    }
    result.checkFileLines = joinedLines(first, set, check);
    if (!check.bad.empty()) {
        questions.messageBox(kNotSoundText + badPiecesLines(set, check.bad) + "\r" +
                                 recoveryCountText(set.recoveryCount(), check.bad.size()),
                             BoxStyle::Warning, BoxTitle::Parvix);
        result.outcome = Outcome::Failed;
        return result;
    }
    result.outcome = Outcome::Completed;
    return result;
}

// A failure of the disk, said through the table, as what a check gives back.
template <typename Result> Result failure(Questions& questions, const FileError& error)
{
    reportDiskError(questions, error.number(), DiskErrorEntries::All);
    Result failed;
    failed.outcome = Outcome::Failed;
    failed.error = error;
    return failed;
}

} // namespace

SetToJoin findSetToJoin(FileServices& files, Questions& questions, const std::string& first)
{
    return withErrorPath(
        [&] {
            // A set with an index is the pieces it names; what is wrong with them the join mends, or says.
            if (const auto indexed = IndexedSet::find(files, first, false)) {
                if (const std::string notice = indexed->missingNotice(); !notice.empty())
                    questions.messageBox(kCheckHeadingText + notice, BoxStyle::Notice, BoxTitle::Parvix);
                SetToJoin found;
                found.outcome = Outcome::Completed;
                for (const auto& piece : indexed->pieces())
                    found.pieces.push_back(piece.path);
                return found;
            }
            const PieceSet set = PieceSet::find(files, first);
            if (const std::string notice = set.notice(); !notice.empty())
                questions.messageBox(notice, BoxStyle::Notice, BoxTitle::Parvix);
            if (!set.checkFile().present && !set.pieces().empty())
                questions.messageBox(kNotCheckedText, BoxStyle::Notice, BoxTitle::Parvix);
            SetToJoin found;
            found.outcome = Outcome::Completed;
            // A total other than the check file's is asked about by the join itself.
            const auto& check = set.checkFile().content;
            if (set.broken() && !(check && set.total() != check->size)) {
                if (questions.messageBox(kJoinAnywayText, BoxStyle::DamagedQuestion, BoxTitle::Parvix) == Button::No) {
                    found.outcome = Outcome::Stopped;
                    return found;
                }
                found.notOriginal = true;
            }
            for (const auto& piece : set.pieces())
                found.pieces.push_back(piece.path);
            return found;
        },
        [&](const FileError& error) { return failure<SetToJoin>(questions, error); });
}

SetCheck verifySet(FileServices& files, Questions& questions, const std::string& first, const StopRequest* stop)
{
    return withErrorPath(
        [&] {
            if (const auto indexed = IndexedSet::find(files, first, true))
                return verifyIndexed(files, questions, first, *indexed, stop);
            SetCheck result;
            const PieceSet set = PieceSet::find(files, first);
            if (const std::string notice = set.notice(); !notice.empty())
                questions.messageBox(notice, BoxStyle::Notice, BoxTitle::Parvix);
            std::uint32_t crc = 0;
            try {
                crc = set.checksum(files, stop);
            } catch (const StopRequested&) {
                result.outcome = Outcome::Interrupted;
                return result;
            }
            const auto proposal = proposeDestination(first);
            result.checkFileLines = checkFileLines({GetFileName(proposal.value_or(first)), set.total(), crc});

            const auto& check = set.checkFile();
            bool sound = !set.broken() && !set.pieces().empty();
            result.checked = check.content.has_value();
            if (check.content && sound && crc != check.content->crc32) {
                questions.messageBox("The cutted files are not the original file!\rTheir CRC32 is " + crcText(crc) +
                                         ", but " + GetFileName(check.path) + " says " + crcText(check.content->crc32),
                                     BoxStyle::Warning, BoxTitle::Parvix);
                sound = false;
            } else if (!check.present && sound) {
                // A check file that reads as none has been said in the notice.
                questions.messageBox(kNotCheckedText, BoxStyle::Notice, BoxTitle::Parvix);
            }
            result.outcome = sound ? Outcome::Completed : Outcome::Failed;
            return result;
        },
        [&](const FileError& error) { return failure<SetCheck>(questions, error); });
}

SetCheck repairSet(FileServices& files, Questions& questions, const std::string& first, const StopRequest* stop)
{
    return withErrorPath(
        [&] {
            SetCheck result;
            const auto set = IndexedSet::find(files, first, true);
            if (!set) {
                questions.messageBox(kNoIndexText, BoxStyle::Notice, BoxTitle::Parvix);
                return result;
            }
            result.checked = true;
            try {
                const IndexedCheck check = checkIndexed(files, *set, stop);
                if (check.bad.empty()) {
                    questions.messageBox(kSoundText, BoxStyle::Notice, BoxTitle::Parvix);
                    result.outcome = Outcome::Completed;
                    return result;
                }
                const std::size_t available = set->recoveryCount();
                std::vector<std::uint16_t> constants;
                for (const PieceSlice& slice : check.bad)
                    constants.push_back(set->constant(slice));
                std::unique_ptr<par2::RepairDecoder> decoder;
                if (available >= check.bad.size()) {
                    decoder = set->loadRecovery(files, std::min(available, check.bad.size() + 2), stop);
                    PieceFiles pieces(files, *set);
                    sumGoodSlices(*set, *decoder, check.bad, pieces.reader(), stop);
                }
                if (!decoder || !decoder->solve(constants)) {
                    questions.messageBox(kNotSoundText + badPiecesLines(*set, check.bad) + "\r" +
                                             recoveryShortText(check.bad.size(), decoder ? 0 : available),
                                         BoxStyle::Warning, BoxTitle::Parvix);
                    result.outcome = Outcome::Failed;
                    return result;
                }
                decoder->rebuild();
                if (!rebuildPieces(files, *set, check.bad, *decoder, stop)) {
                    questions.messageBox(kNotSoundText + badPiecesLines(*set, check.bad) + "\r" + kWrongRebuildText,
                                         BoxStyle::Warning, BoxTitle::Parvix);
                    result.outcome = Outcome::Failed;
                    return result;
                }
                NamedFiles rebuilt;
                std::size_t last = SIZE_MAX;
                for (const PieceSlice& slice : check.bad) {
                    if (slice.piece != last)
                        rebuilt.add(GetFileName(set->pieces()[slice.piece].path));
                    last = slice.piece;
                }
                questions.messageBox(kRebuiltText + rebuilt.text(), BoxStyle::Notice, BoxTitle::Parvix);
                result.outcome = Outcome::Completed;
            } catch (const StopRequested&) {
                result.outcome = Outcome::Interrupted;
            }
            return result;
        },
        [&](const FileError& error) { return failure<SetCheck>(questions, error); });
}

} // namespace parvix
