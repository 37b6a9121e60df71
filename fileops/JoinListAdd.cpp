#include "JoinListAdd.h"

#include "DiskErrorTable.h"
#include "Naming.h"
#include "PieceSet.h"
#include "Platform.h"
#include "WindowRequests.h"

#include <unordered_set>

namespace parvix {

namespace {

constexpr const char* kSetEntryListed = "The specify file has already existed in th list";
constexpr const char* kFileListed = "The specify file has already existed in th list!";

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

OperationResult JoinListAdd::run(const std::string& chosenPath)
{
    if (chosenPath.empty())
        return {Outcome::Stopped, std::nullopt};
    // What was appended before a failure stays in the list.
    return runWithErrorPath(
        [&] { return startsASet(chosenPath) ? addPieceSet(chosenPath) : addSingleFile(chosenPath); },
        [this](const FileError& error) {
            reportDiskError(m_window.questions(), error.number(), DiskErrorEntries::All);
        });
}

OperationResult JoinListAdd::addPieceSet(const std::string& chosenPath)
{
    const PieceSet set = PieceSet::find(m_files, chosenPath);

    std::unordered_set<std::string> listed;
    const std::int64_t count = m_window.joinListCount();
    listed.reserve(static_cast<std::size_t>(count) + set.pieces().size());
    for (std::int64_t i = 0; i < count; ++i)
        listed.insert(m_window.joinListEntry(i));

    for (const auto& piece : set.pieces()) {
        if (listed.count(piece.path) != 0) {
            m_window.messageBox(kSetEntryListed, BoxStyle::Notice, BoxTitle::Parvix);
            return {Outcome::Stopped, std::nullopt};
        }
        m_window.appendJoinList(piece.path);
        listed.insert(piece.path);
    }

    proposeJoinDestination(m_window, chosenPath);
    // What is wrong with the set is said once it is listed, so the user sees both together.
    if (const std::string notice = set.notice(); !notice.empty())
        m_window.messageBox(notice, BoxStyle::Notice, BoxTitle::Parvix);
    return {Outcome::Completed, std::nullopt};
}

OperationResult JoinListAdd::addSingleFile(const std::string& chosenPath)
{
    const std::int64_t count = m_window.joinListCount();
    for (std::int64_t i = 0; i < count; ++i) {
        if (m_window.joinListEntry(i) == chosenPath) {
            m_window.messageBox(kFileListed, BoxStyle::Notice, BoxTitle::Parvix);
            return {Outcome::Stopped, std::nullopt};
        }
    }
    m_window.appendJoinList(chosenPath);
    return {Outcome::Completed, std::nullopt};
}

} // namespace parvix
