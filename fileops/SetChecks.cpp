#include "SetChecks.h"

#include "CheckFile.h"
#include "DiskErrorTable.h"
#include "IndexedSet.h"
#include "Naming.h"
#include "PieceSet.h"
#include "StopRequest.h"
#include "Texts.h"

namespace parvix {

namespace {

constexpr const char* kNotChecked = "There is no check file beside the cutted files，their bytes are not checked";

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
                questions.messageBox(kNotChecked, BoxStyle::Notice, BoxTitle::Parvix);
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
                questions.messageBox(kNotChecked, BoxStyle::Notice, BoxTitle::Parvix);
            }
            result.outcome = sound ? Outcome::Completed : Outcome::Failed;
            return result;
        },
        [&](const FileError& error) { return failure<SetCheck>(questions, error); });
}

} // namespace parvix
