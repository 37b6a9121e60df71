#include "JoinListAdd.h"

#include "DiskErrorTable.h"
#include "Naming.h"
#include "Platform.h"
#include "WindowRequests.h"

#include <algorithm>
#include <unordered_set>

namespace parvix {

namespace {

constexpr const char* kSetEntryListed = "The specify file has already existed in th list";
constexpr const char* kFileListed = "The specify file has already existed in th list!";

bool endsWith001(const std::string& path)
{
    return path.size() >= 3 && path.compare(path.size() - 3, 3, "001") == 0;
}

struct Match
{
    double number;
    std::string name;
};

} // namespace

std::optional<std::string> proposeJoinDestination(WindowRequests& window, const std::string& firstPiece)
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

JoinListAdd::JoinListAdd(WindowRequests& window, FileServices& files) : m_window(window), m_files(files) {}

OperationResult JoinListAdd::run(const std::string& chosenPath)
{
    if (chosenPath.empty())
        return {Outcome::Stopped, std::nullopt};
    // What was appended before a failure stays in the list.
    return runWithErrorPath(
        [&] { return endsWith001(chosenPath) ? addPieceSet(chosenPath) : addSingleFile(chosenPath); },
        [this](const FileError& error) { reportDiskError(m_window, error.number(), DiskErrorEntries::All); });
}

OperationResult JoinListAdd::addPieceSet(const std::string& chosenPath)
{
    const auto sep = lastSeparator(chosenPath);
    const std::string prefix = sep == std::string::npos ? std::string() : chosenPath.substr(0, sep + 1);
    const std::string pattern = chosenPath.substr(0, chosenPath.size() - 3) + "*";
    // A "*" or "?" in the chosen name itself (POSIX names may hold them) is a wildcard to the listing and
    // would bring in the pieces of other sets: then only names that begin with the chosen name's own
    // text belong to its set.
    const std::string stem = chosenPath.substr(prefix.size(), chosenPath.size() - 3 - prefix.size());
    const bool stemHasWildcards = stem.find_first_of("*?") != std::string::npos;

    // Listings come in no useful order (and .1000 sorts before .101 by name): join order is the
    // pieces' numbers, so append by number, then by name.
    std::vector<Match> matches;
    for (auto& name : m_files.list(pattern, ListingKind::OrdinaryFiles)) {
        if (stemHasWildcards && name.compare(0, stem.size(), stem) != 0)
            continue;
        const double number = pieceNumberOfName(name);
        if (number > 0)
            matches.push_back({number, std::move(name)});
    }
    std::sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return a.number != b.number ? a.number < b.number : a.name < b.name;
    });

    std::unordered_set<std::string> listed;
    const std::int64_t count = m_window.joinListCount();
    listed.reserve(static_cast<std::size_t>(count) + matches.size());
    for (std::int64_t i = 0; i < count; ++i)
        listed.insert(m_window.joinListEntry(i));

    for (const auto& match : matches) {
        std::string path = prefix + match.name;
        if (listed.count(path) != 0) {
            m_window.messageBox(kSetEntryListed, BoxStyle::Notice, BoxTitle::Parvix);
            return {Outcome::Stopped, std::nullopt};
        }
        m_window.appendJoinList(path);
        listed.insert(std::move(path));
    }

    proposeJoinDestination(m_window, chosenPath);
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
