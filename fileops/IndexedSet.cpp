#include "IndexedSet.h"

#include "FileError.h"
#include "Naming.h"
#include "Platform.h"
#include "RecoveryFiles.h"
#include "PieceDigests.h"
#include "StopRequest.h"
#include "Texts.h"
#include "par2/Par2Reader.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace parvix {

namespace {

// The piece number of a set member's name: the stem, then only digits.
std::optional<std::int64_t> numberOf(const std::string& name, const std::string& stem)
{
    if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0)
        return std::nullopt;
    std::int64_t number = -1;
    const char* begin = name.data() + stem.size();
    const char* end = name.data() + name.size();
    const auto [at, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || at != end || *begin == '+' || *begin == '-')
        return std::nullopt;
    return number;
}

par2::Par2FileContents readContents(FileServices& files, const std::string& path, bool checkRecovery)
{
    const auto file = files.openRead(path);
    const auto length = static_cast<std::uint64_t>(files.fileLength(path));
    const auto read = [&](std::uint64_t offset, std::byte* buffer, std::size_t size) -> std::size_t {
        if (offset >= length)
            return 0;
        const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(size, length - offset));
        file->read(static_cast<std::int64_t>(offset), buffer, part);
        return part;
    };
    auto contents = par2::readPar2File(read, length, {checkRecovery});
    file->close();
    return contents;
}

par2::SetAssembler::Result assemble(FileServices& files, const std::vector<std::string>& sources, bool checkRecovery)
{
    par2::SetAssembler assembler;
    for (std::size_t i = 0; i < sources.size(); ++i)
        assembler.add(readContents(files, sources[i], checkRecovery), i);
    return assembler.finish();
}

} // namespace

void IndexedSet::checkRecovery(FileServices& files)
{
    if (m_recoveryChecked)
        return;
    auto assembled = assemble(files, m_sources, true);
    m_recovery.clear();
    if (assembled.problem == par2::SetProblem::None && assembled.set.id == m_set.id)
        m_recovery = std::move(assembled.recoverySlices);
    m_recoveryChecked = true;
}

std::optional<IndexedSet> IndexedSet::find(FileServices& files, const std::string& firstPiece, bool checkRecovery)
{
    const auto base = setBaseOf(firstPiece);
    if (!base || GetFileName(*base).empty())
        return std::nullopt;
    std::string folder;
    const bool inFolder = folderPart(*base, folder);
    const std::string prefix = inFolder ? folder + kSeparator : std::string();

    IndexedSet indexed;
    const std::string index = indexPath(*base);
    if (exists(files, index, ListingKind::SetMembers))
        indexed.m_sources.push_back(index);
    for (auto& volume : volumesOf(files, *base))
        indexed.m_sources.push_back(std::move(volume));
    if (indexed.m_sources.empty())
        return std::nullopt;

    auto assembled = assemble(files, indexed.m_sources, checkRecovery);
    indexed.m_recoveryChecked = checkRecovery;
    if (assembled.problem != par2::SetProblem::None)
        return std::nullopt;
    indexed.m_set = std::move(assembled.set);
    indexed.m_recovery = std::move(assembled.recoverySlices);

    // Every file of the set is a piece of this base, the first piece among them.
    const std::string stem = GetFileName(*base) + ".";
    std::map<std::int64_t, std::size_t> byNumber;
    for (std::size_t file = 0; file < indexed.m_set.files.size(); ++file) {
        const auto number = numberOf(indexed.m_set.files[file].name, stem);
        if (!number || !byNumber.emplace(*number, file).second)
            return std::nullopt;
    }
    if (byNumber.empty())
        return std::nullopt;
    for (const auto& [number, file] : byNumber) {
        const par2::InputFile& described = indexed.m_set.files[file];
        // A stranger's lengths must add up to a length a file can have.
        if (described.length > static_cast<std::uint64_t>(INT64_MAX) - indexed.m_total)
            return std::nullopt;
        indexed.m_total += described.length;
        IndexedPiece piece{prefix + described.name, file, described.length};
        piece.present = exists(files, piece.path, ListingKind::SetMembers);
        piece.rightLength = piece.present && static_cast<std::uint64_t>(files.fileLength(piece.path)) == piece.length;
        indexed.m_pieces.push_back(std::move(piece));
    }
    if (GetFileName(indexed.m_pieces.front().path) != GetFileName(firstPiece))
        return std::nullopt;
    return indexed;
}

std::uint32_t IndexedSet::slicesOf(std::size_t piece) const
{
    return static_cast<std::uint32_t>(m_set.files[m_pieces[piece].file].slices.size());
}

std::uint16_t IndexedSet::constant(const PieceSlice& slice) const
{
    return par2::inputSliceConstant(m_set.firstSlice(m_pieces[slice.piece].file) + slice.slice);
}

std::uint64_t IndexedSet::offsetOf(const PieceSlice& slice) const
{
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < slice.piece; ++i)
        offset += m_pieces[i].length;
    return offset + slice.slice * m_set.sliceSize;
}

std::uint64_t IndexedSet::sliceLength(const PieceSlice& slice) const
{
    return std::min(m_set.sliceSize, m_pieces[slice.piece].length - slice.slice * m_set.sliceSize);
}

std::vector<std::uint16_t> IndexedSet::constants(std::size_t piece) const
{
    std::vector<std::uint16_t> constants;
    for (std::uint32_t s = 0; s < slicesOf(piece); ++s)
        constants.push_back(constant({piece, s}));
    return constants;
}

std::vector<PieceSlice> IndexedSet::missingSlices() const
{
    std::vector<PieceSlice> missing;
    for (std::size_t piece = 0; piece < m_pieces.size(); ++piece) {
        if (!m_pieces[piece].rightLength) {
            for (std::uint32_t s = 0; s < slicesOf(piece); ++s)
                missing.push_back({piece, s});
        }
    }
    return missing;
}

std::vector<PieceSlice> IndexedSet::damagedSlices(std::size_t piece, const PieceDigest& digest) const
{
    std::vector<PieceSlice> damaged;
    const auto& expected = m_set.files[m_pieces[piece].file].slices;
    const auto* found = digest.par2 ? &digest.par2->slices : nullptr;
    for (std::uint32_t s = 0; s < expected.size(); ++s) {
        if (!found || s >= found->size() || (*found)[s] != expected[s])
            damaged.push_back({piece, s});
    }
    return damaged;
}

std::unique_ptr<par2::RepairDecoder> IndexedSet::loadRecovery(FileServices& files, std::size_t count,
                                                              const StopRequest* stop) const
{
    std::vector<std::uint32_t> exponents;
    for (std::size_t k = 0; k < count; ++k)
        exponents.push_back(m_recovery[k].exponent);
    auto decoder = std::make_unique<par2::RepairDecoder>(m_set.sliceSize, std::move(exponents));
    std::vector<std::byte> block(std::min<std::uint64_t>(m_set.sliceSize, PieceDigests::kBlock));
    for (std::size_t k = 0; k < count; ++k) {
        const auto file = files.openRead(m_sources[m_recovery[k].source]);
        for (std::uint64_t offset = 0; offset < m_set.sliceSize; offset += block.size()) {
            throwIfStopRequested(stop);
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), m_set.sliceSize - offset));
            file->read(static_cast<std::int64_t>(m_recovery[k].dataOffset + offset), block.data(), size);
            decoder->addRecovery(k, offset, block.data(), size);
        }
        file->close();
    }
    return decoder;
}

std::string IndexedSet::missingNotice() const
{
    NamedFiles missing;
    NamedFiles wrongLength;
    for (const auto& piece : m_pieces) {
        if (!piece.present)
            missing.add(GetFileName(piece.path));
        else if (!piece.rightLength)
            wrongLength.add(GetFileName(piece.path));
    }
    if (missing.empty() && wrongLength.empty())
        return {};
    const std::size_t needed = missingSlices().size();
    return missing.line(kMissingText) + wrongLength.line(kWrongLengthText) + "\r" +
           (needed <= recoveryCount() ? std::string("The recovery files can rebuild them")
                                      : "The recovery files cannot rebuild them，" +
                                            recoveryShortText(needed, recoveryCount()));
}

namespace {

void digestPiece(const IndexedSet& set, std::size_t piece, const PieceReader& read, PieceDigests& digests,
                 const StopRequest* stop)
{
    const auto length = static_cast<std::int64_t>(set.pieces()[piece].length);
    constexpr auto kBlock = static_cast<std::int64_t>(PieceDigests::kBlock);
    for (std::int64_t offset = 0; offset < length;) {
        throwIfStopRequested(stop);
        const auto size = static_cast<std::size_t>(std::min(kBlock, length - offset));
        read(piece, offset, digests.buffer(), size);
        digests.take(size);
        offset += static_cast<std::int64_t>(size);
    }
}

} // namespace

std::vector<PieceDigest> digestPieces(const IndexedSet& set, const std::vector<std::size_t>& pieces,
                                      const PieceReader& read, const StopRequest* stop)
{
    PieceDigests digests(set.set().sliceSize, nullptr);
    for (const std::size_t piece : pieces) {
        digests.beginPiece();
        digestPiece(set, piece, read, digests, stop);
        digests.endPiece();
    }
    return digests.finish();
}

void sumGoodSlices(const IndexedSet& set, par2::RepairDecoder& decoder, const std::vector<PieceSlice>& bad,
                   const PieceReader& read, const StopRequest* stop)
{
    DecoderSums sums(decoder);
    PieceDigests digests(set.set().sliceSize, &sums, false);
    for (std::size_t piece = 0; piece < set.pieces().size(); ++piece) {
        // A bad slice is left out of the sums (constant 0); a piece of bad slices only is not read.
        auto constants = set.constants(piece);
        for (const PieceSlice& slice : bad) {
            if (slice.piece == piece)
                constants[slice.slice] = 0;
        }
        if (std::all_of(constants.begin(), constants.end(), [](std::uint16_t c) { return c == 0; }))
            continue;
        digests.beginPiece(std::move(constants));
        digestPiece(set, piece, read, digests, stop);
        digests.endPiece();
    }
    digests.finish();
}

void PieceFiles::read(std::size_t piece, std::int64_t offset, std::byte* buffer, std::size_t size)
{
    if (piece != m_piece) {
        if (m_file)
            m_file->close();
        m_file.reset();
        m_file = m_files.openRead(m_set.pieces()[piece].path);
        m_piece = piece;
    }
    m_file->read(offset, buffer, size);
}

// The lines that name the bad pieces: missing, of a wrong length, damaged.
std::string badPiecesLines(const IndexedSet& set, const std::vector<PieceSlice>& bad)
{
    NamedFiles missing;
    NamedFiles wrongLength;
    NamedFiles damaged;
    std::size_t last = SIZE_MAX;
    for (const PieceSlice& slice : bad) {
        if (slice.piece == last)
            continue;
        last = slice.piece;
        const IndexedPiece& piece = set.pieces()[slice.piece];
        (!piece.present ? missing : !piece.rightLength ? wrongLength : damaged).add(GetFileName(piece.path));
    }
    return missing.line(kMissingText) + wrongLength.line(kWrongLengthText) + damaged.line(kDamagedText);
}

std::string recoveryShortText(std::size_t needed, std::size_t available)
{
    const std::size_t more = needed - std::min(needed, available);
    return std::to_string(more) + (more == 1 ? " more recovery slice is needed" : " more recovery slices are needed");
}

NamedFiles namesOf(const IndexedSet& set, const std::vector<std::size_t>& pieces)
{
    NamedFiles names;
    for (const std::size_t piece : pieces)
        names.add(GetFileName(set.pieces()[piece].path));
    return names;
}

} // namespace parvix
