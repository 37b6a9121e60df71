#include "PieceSet.h"

#include "PieceBuffer.h"
#include "PieceDigests.h"
#include "Naming.h"
#include "Platform.h"
#include "StopRequest.h"
#include "Texts.h"

#include <algorithm>
#include <charconv>

namespace parvix {

namespace {

// A notice names this many files of a kind, then says how many more there are.
constexpr std::size_t kNamedFiles = 3;

constexpr const char* kTooLong = "The last cutted file is longer than the first：";
constexpr const char* kLeftOut = "These files are not added, they are not named as cutted files：";
constexpr const char* kLeftOver = "These files are not added, they are left from an earlier cutting：";

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number as the naming rule writes it, with at least `width` digits.
std::string digitsOf(std::int64_t number, std::size_t width)
{
    std::string digits = std::to_string(number);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

// A first piece's number: zeros and a final 1, or zeros alone for a set numbered from zero. Its width is
// the set's; any other number ending in 001 (.1001) belongs to a set written with the rule's three digits.
std::size_t widthOf(std::string_view digits)
{
    const auto nonZero = digits.find_first_not_of('0');
    const bool first = digits.size() >= 3 &&
                       (nonZero == std::string_view::npos || (digits.back() == '1' && nonZero == digits.size() - 1));
    return first ? digits.size() : 3;
}

std::size_t trailingDigits(std::string_view name)
{
    std::size_t count = 0;
    while (count < name.size() && name[name.size() - 1 - count] >= '0' && name[name.size() - 1 - count] <= '9')
        ++count;
    return count;
}

std::optional<CheckFile> readCheckFile(FileServices& files, const std::string& path)
{
    const std::int64_t length = files.fileLength(path);
    if (length > kCheckFileLimit)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    auto file = files.openRead(path);
    file->read(0, reinterpret_cast<std::byte*>(text.data()), text.size());
    file->close();
    return parseCheckFile(text);
}

} // namespace

void NamedFiles::add(const std::string& name)
{
    if (first.size() < kNamedFiles)
        first.push_back(name);
    ++count;
}

std::string NamedFiles::text() const
{
    std::string text;
    for (std::size_t i = 0; i < first.size(); ++i)
        text += (i == 0 ? "" : ", ") + first[i];
    if (count > static_cast<std::int64_t>(first.size()))
        text += " and " + std::to_string(count - static_cast<std::int64_t>(first.size())) + " more";
    return text;
}

std::string NamedFiles::line(const char* heading) const
{
    return empty() ? std::string() : std::string("\r") + heading + text();
}

SetCheckFile findSetCheckFile(FileServices& files, const std::string& piecePath)
{
    // The base is what comes before the piece's "." and number.
    SetCheckFile check;
    const std::size_t digits = trailingDigits(GetFileName(piecePath));
    if (digits == 0 || digits >= piecePath.size() || piecePath[piecePath.size() - digits - 1] != '.')
        return check;
    const std::string base = piecePath.substr(0, piecePath.size() - digits - 1);
    if (GetFileName(base).empty())
        return check;
    check.path = checkFilePath(base);
    check.present = exists(files, check.path, ListingKind::SetMembers);
    if (check.present)
        check.content = readCheckFile(files, check.path);
    return check;
}

PieceSet PieceSet::find(FileServices& files, const std::string& firstPiece)
{
    const auto sep = lastSeparator(firstPiece);
    const std::string prefix = sep == std::string::npos ? std::string() : firstPiece.substr(0, sep + 1);
    const std::string name = firstPiece.substr(prefix.size());
    const std::string stem = name.substr(0, name.size() - trailingDigits(name));
    const std::size_t width = widthOf(std::string_view(name).substr(stem.size()));

    PieceSet set;
    std::vector<Piece> numbered;
    std::vector<std::string> leftOut;
    // A "*" or "?" in the stem (POSIX names may hold them) also matches other names: those must begin
    // with the stem's own text.
    for (auto& candidate : files.list(prefix + stem + "*", ListingKind::SetMembers)) {
        if (candidate.compare(0, stem.size(), stem) != 0)
            continue;
        const std::string_view number = std::string_view(candidate).substr(stem.size());
        if (!allDigits(number))
            continue; // report$txt.crc, report$txt.bak: not numbered at all
        std::int64_t value = -1;
        std::from_chars(number.data(), number.data() + number.size(), value);
        if (value < 0 || number != digitsOf(value, width)) {
            leftOut.push_back(candidate); // .01, .0002: another tool's names, or another set's
            continue;
        }
        numbered.push_back({prefix + candidate, value, 0});
    }
    std::sort(numbered.begin(), numbered.end(), [](const Piece& a, const Piece& b) { return a.number < b.number; });
    // ".000" starts a set numbered from zero only where ".001" follows it.
    if (!numbered.empty() && numbered.front().number == 0 && (numbered.size() < 2 || numbered[1].number != 1)) {
        leftOut.push_back(GetFileName(numbered.front().path));
        numbered.erase(numbered.begin());
    }
    // Named in an order that does not depend on the listing's.
    std::sort(leftOut.begin(), leftOut.end());
    for (const auto& name : leftOut)
        set.m_leftOut.add(name);

    set.m_checkFile = findSetCheckFile(files, firstPiece);
    const auto& check = set.m_checkFile.content;
    auto beyondCheckFile = [&](const Piece& piece) {
        if (!check || set.m_pieces.empty())
            return false;
        // As many pieces as the first one's length takes to reach the size, and no bytes past it.
        const Piece& first = set.m_pieces.front();
        const std::int64_t count = first.length > 0 ? pieceCount(check->size, first.length) : 0;
        return set.m_total >= check->size || (count > 0 && piece.number - first.number >= count);
    };
    for (auto& piece : numbered) {
        // Pieces beyond the check file's size are an older cut's; their lengths are not needed.
        if (beyondCheckFile(piece)) {
            set.m_leftOver.add(GetFileName(piece.path));
            continue;
        }
        piece.length = files.fileLength(piece.path);
        set.m_total += piece.length;
        set.m_pieces.push_back(std::move(piece));
    }
    set.findProblems(stem, width);
    return set;
}

void PieceSet::findProblems(const std::string& stem, std::size_t width)
{
    if (m_pieces.empty())
        return;
    // Gaps can be wide (a stray .100000 beside .001): only the first few names are formed.
    auto missing = [&](std::int64_t from, std::int64_t to) {
        for (std::int64_t n = from; n <= to && m_missing.first.size() < kNamedFiles; ++n)
            m_missing.first.push_back(stem + digitsOf(n, width));
        m_missing.count += to - from + 1;
    };
    for (std::size_t i = 1; i < m_pieces.size(); ++i) {
        if (m_pieces[i].number > m_pieces[i - 1].number + 1)
            missing(m_pieces[i - 1].number + 1, m_pieces[i].number - 1);
    }
    const Piece& first = m_pieces.front();
    const Piece& last = m_pieces.back();
    // Pieces missing after the last one found are known only from the check file's size.
    const auto& check = m_checkFile.content;
    if (check && m_total < check->size && first.length > 0) {
        const std::int64_t count = pieceCount(check->size, first.length);
        if (count - 1 > last.number - first.number)
            missing(last.number + 1, first.number + count - 1);
    }
    for (std::size_t i = 0; i + 1 < m_pieces.size(); ++i) {
        if (m_pieces[i].length != first.length)
            m_wrongLength.add(GetFileName(m_pieces[i].path));
    }
    if (m_pieces.size() > 1 && last.length > first.length)
        m_tooLong.add(GetFileName(last.path));
}

bool PieceSet::broken() const
{
    return !m_missing.empty() || !m_wrongLength.empty() || !m_tooLong.empty() ||
           (m_checkFile.content && m_total != m_checkFile.content->size);
}

std::string PieceSet::notice() const
{
    std::string text;
    text += m_missing.line(kMissingText) + m_wrongLength.line(kWrongLengthText) + m_tooLong.line(kTooLong);
    const std::string checkName = GetFileName(m_checkFile.path);
    if (m_checkFile.content && m_total != m_checkFile.content->size)
        text += "\r" + totalDiffersText(m_total, checkName, m_checkFile.content->size);
    text += m_leftOut.line(kLeftOut) + m_leftOver.line(kLeftOver);
    if (m_checkFile.present && !m_checkFile.content)
        text += "\r" + notACheckFileText(checkName);
    return text.empty() ? text : kCheckHeadingText + text;
}

std::uint32_t PieceSet::checksum(FileServices& files, const StopRequest* stop) const
{
    PieceBuffer buffer;
    Crc32 crc;
    for (const auto& piece : m_pieces) {
        const auto file = files.openRead(piece.path);
        constexpr auto kBlock = static_cast<std::int64_t>(PieceDigests::kBlock);
        for (std::int64_t offset = 0; offset < piece.length; offset += kBlock) {
            throwIfStopRequested(stop);
            const auto size = static_cast<std::size_t>(std::min(kBlock, piece.length - offset));
            std::byte* bytes = buffer.reserve(size);
            file->read(offset, bytes, size);
            crc.update(bytes, size);
        }
        file->close();
    }
    return crc.value();
}

} // namespace parvix
