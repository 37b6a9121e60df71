#include "RecoveryFiles.h"

#include "Naming.h"
#include "par2/Par2Writer.h"

#include "Platform.h"

#include <algorithm>
#include <stdexcept>

namespace parvix {

std::uint64_t sliceSizeOf(std::int64_t pieceSize)
{
    return (static_cast<std::uint64_t>(pieceSize) + 3) / 4 * 4;
}

bool indexable(std::int64_t pieces)
{
    return pieces > 0 && pieces <= static_cast<std::int64_t>(par2::kMaxInputSlices);
}

std::optional<std::string> setBaseOf(const std::string& piecePath)
{
    const std::string name = GetFileName(piecePath);
    std::size_t digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits] >= '0' && name[name.size() - 1 - digits] <= '9')
        ++digits;
    if (digits == 0 || digits + 1 >= name.size() || name[name.size() - digits - 1] != '.')
        return std::nullopt;
    return piecePath.substr(0, piecePath.size() - digits - 1);
}

std::string indexPath(const std::string& base)
{
    return par2::indexFileName(base);
}

std::vector<std::string> volumesOf(FileServices& files, const std::string& base)
{
    // A "*" or "?" in the base (POSIX names may hold them) matches other names too: a volume's name
    // begins with the base's own.
    const std::string head = GetFileName(base) + ".vol";
    const std::string tail = ".par2";
    std::string folder;
    const std::string prefix = folderPart(base, folder) ? folder + kSeparator : std::string();
    std::vector<std::string> volumes;
    for (const auto& name : files.list(base + ".vol*.par2", ListingKind::SetMembers)) {
        if (name.size() >= head.size() + tail.size() && name.compare(0, head.size(), head) == 0 &&
            name.compare(name.size() - tail.size(), tail.size(), tail) == 0)
            volumes.push_back(prefix + name);
    }
    std::sort(volumes.begin(), volumes.end());
    return volumes;
}

par2::Par2Set setOfPieces(std::uint64_t sliceSize, const std::vector<std::string>& pieces,
                          const std::vector<PieceDigest>& digests)
{
    std::vector<par2::InputFile> files;
    files.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const par2::FileDigest& digest = *digests.at(i).par2;
        files.push_back({GetFileName(pieces[i]), digest.length, digest.md5, digest.md5First16k, {}, digest.slices});
    }
    return par2::makeSet(sliceSize, std::move(files));
}

void writeIndex(FileServices& files, const std::string& base, const par2::Par2Set& set)
{
    const std::vector<std::byte> packets = par2::criticalPackets(set);
    replaceFile(files, indexPath(base), [&](File& file) { file.write(0, packets.data(), packets.size()); });
}

std::string writeRecoveryVolume(FileServices& files, const std::string& base, const par2::Par2Set& set,
                                const par2::RecoveryEncoder& encoder)
{
    const auto count = static_cast<std::uint32_t>(encoder.count());
    const par2::VolumeLayout layout(set, 0, count);
    const std::string path = par2::recoveryVolumeName(base, 0, count);
    replaceFile(files, path, [&](File& file) {
        const auto& critical = layout.criticalPackets();
        file.write(0, critical.data(), critical.size());
        for (std::uint32_t k = 0; k < count; ++k) {
            const auto data = encoder.slice(k);
            par2::RecoveryPacketWriter packet(set.id, layout.exponent(k));
            packet.update(data.data(), data.size());
            file.write(static_cast<std::int64_t>(layout.dataOffset(k)), data.data(), data.size());
            const auto head = packet.head();
            file.write(static_cast<std::int64_t>(layout.packetOffset(k)), head.data(), head.size());
        }
    });
    return path;
}

std::int64_t recoveryFilesSize(std::int64_t pieces, std::size_t nameLength, std::uint64_t sliceSize,
                               std::int64_t recovery)
{
    // Per piece a description (about 130 bytes and its name) and its slices' checksums (about 100 bytes);
    // the main and creator packets besides. Each volume repeats the index.
    const std::int64_t index = 512 + pieces * (256 + static_cast<std::int64_t>(nameLength));
    if (recovery == 0)
        return index;
    return 2 * index + recovery * (static_cast<std::int64_t>(sliceSize) + static_cast<std::int64_t>(par2::kRecoveryPacketHead));
}

} // namespace parvix
