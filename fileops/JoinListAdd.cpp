#include "JoinListAdd.h"

#include "DiskErrorTable.h"
#include "IndexedSet.h"
#include "Naming.h"
#include "PieceSet.h"
#include "Platform.h"
#include "Texts.h"
#include "WindowRequests.h"

#include <algorithm>
#include <unordered_set>

namespace parvix {

namespace {

// The set's text, with a "!" of its own.
const std::string kFileListed = std::string(kAlreadyListedText) + "!";

// A set's first piece: the name ends in "001", or its last extension is all zeros (".000"), the first of
// a set numbered from zero. The thousandth piece (".1000") is a piece of its own.
bool startsASet(const std::string& path)
{
    if (path.size() >= 3 && path.compare(path.size() - 3, 3, "001") == 0)
        return true;
    const std::string name = GetFileName(path);
    const auto dot = name.rfind('.');
    return dot != std::string::npos && name.size() - dot - 1 >= 3 &&
           name.find_first_not_of('0', dot + 1) == std::string::npos;
}

} // namespace

std::optional<std::string> proposeJoinDestination(WindowParts& window, const std::string& firstPiece)
{
    // Without a "." after the last "$" no name can be proposed; Text4 then keeps its text.
    auto proposal = proposeDestination(firstPiece);
    if (proposal) {
        window.setText4(*proposal);
        if (firstPiece.find('$') != std::string::npos)
            window.caretToEnd(TextBox::Text4);
    }
    return proposal;
}

JoinListAdd::JoinListAdd(WindowParts window, FileServices& files) : m_window(window), m_files(files) {}

AddResult JoinListAdd::run(const std::string& chosenPath, const std::vector<std::string>& listed)
{
    if (chosenPath.empty())
        return endedAs<AddResult>(Outcome::Stopped);
    return withErrorPath(
        [&] { return startsASet(chosenPath) ? addPieceSet(chosenPath, listed) : addSingleFile(chosenPath, listed); },
        [this](const FileError& error) {
            // Nothing is appended before the set is found, so a failure leaves the list as it was.
            reportDiskError(m_window, error.number(), DiskErrorEntries::All);
            return endedAs<AddResult>(Outcome::Failed, error);
        });
}

void JoinListAdd::append(AddResult& result, const std::string& entry)
{
    m_window.appendJoinList(entry);
    result.appended.push_back(entry);
}

AddResult JoinListAdd::addPieceSet(const std::string& chosenPath, const std::vector<std::string>& listed)
{
    // A set with an index is the pieces it names, those to be rebuilt too; one without is what lies there,
    // as far as its check file says.
    std::vector<std::string> pieces;
    std::string notice;
    if (const auto indexed = IndexedSet::find(m_files, chosenPath, false)) {
        for (const auto& piece : indexed->pieces())
            pieces.push_back(piece.path);
        if (notice = indexed->missingNotice(); !notice.empty())
            notice = kCheckHeadingText + notice;
    } else {
        const PieceSet set = PieceSet::find(m_files, chosenPath);
        for (const auto& piece : set.pieces())
            pieces.push_back(piece.path);
        notice = set.notice();
    }
    auto result = endedAs<AddResult>(Outcome::Completed);

    std::unordered_set<std::string> seen(listed.begin(), listed.end());
    for (const auto& piece : pieces) {
        if (!seen.insert(piece).second) {
            m_window.messageBox(kAlreadyListedText, BoxStyle::Notice, BoxTitle::Parvix);
            result.outcome = Outcome::Stopped;
            return result;
        }
        append(result, piece);
    }

    result.proposal = proposeJoinDestination(m_window, chosenPath);
    // What is wrong with the set is said once it is listed, so the user sees both together.
    if (!notice.empty())
        m_window.messageBox(notice, BoxStyle::Notice, BoxTitle::Parvix);
    return result;
}

AddResult JoinListAdd::addSingleFile(const std::string& chosenPath, const std::vector<std::string>& listed)
{
    if (std::find(listed.begin(), listed.end(), chosenPath) != listed.end()) {
        m_window.messageBox(kFileListed, BoxStyle::Notice, BoxTitle::Parvix);
        return endedAs<AddResult>(Outcome::Stopped);
    }
    auto result = endedAs<AddResult>(Outcome::Completed);
    append(result, chosenPath);
    return result;
}

} // namespace parvix
