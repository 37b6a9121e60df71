#include "par2/SetAssembler.h"

#include <algorithm>
#include <map>
#include <set>

namespace parvix::par2 {

std::string_view setProblemText(SetProblem problem)
{
    switch (problem) {
    case SetProblem::None:
        return "the recovery set is complete";
    case SetProblem::NoMainPacket:
        return "no readable main packet";
    case SetProblem::SeveralSets:
        return "packets of more than one recovery set";
    case SetProblem::BadMainPacket:
        return "the main packet describes no usable set";
    case SetProblem::MissingFileDescription:
        return "a file of the set has no readable description";
    case SetProblem::MissingSliceChecksums:
        return "a file of the set has no readable slice checksums";
    case SetProblem::ConflictingPackets:
        return "packets of the set contradict each other";
    case SetProblem::SliceCountMismatch:
        return "a file's slice checksums do not fit its length";
    }
    return "unknown problem";
}

void SetAssembler::add(const Par2FileContents& contents, std::size_t source)
{
    m_contents.push_back(contents);
    m_sources.push_back(source);
}

SetAssembler::Result SetAssembler::finish() const
{
    Result result;
    const MainPacket* main = nullptr;
    for (const Par2FileContents& contents : m_contents) {
        for (const MainPacket& candidate : contents.mains) {
            if (main == nullptr) {
                main = &candidate;
            } else if (candidate.setId != main->setId) {
                result.problem = SetProblem::SeveralSets;
                return result;
            } else if (candidate != *main) {
                result.problem = SetProblem::ConflictingPackets;
                return result;
            }
        }
    }
    if (main == nullptr) {
        result.problem = SetProblem::NoMainPacket;
        return result;
    }
    const std::uint64_t sliceSize = main->sliceSize;
    const std::set<Md5Hash> distinct(main->fileIds.begin(), main->fileIds.end());
    if (sliceSize == 0 || sliceSize % 4 != 0 || main->fileIds.size() > kMaxInputSlices ||
        distinct.size() != main->fileIds.size()) {
        result.problem = SetProblem::BadMainPacket;
        return result;
    }

    // The first sound packet for each file of the set; a later one must say the same.
    std::map<Md5Hash, const FileDescriptionPacket*> descriptions;
    std::map<Md5Hash, const SliceChecksumPacket*> checksums;
    const auto collect = [&](const auto& packets, auto& firsts) {
        for (const auto& packet : packets) {
            if (packet.setId != main->setId || !distinct.contains(packet.fileId))
                continue;
            const auto [at, added] = firsts.emplace(packet.fileId, &packet);
            if (!added && *at->second != packet)
                return false;
        }
        return true;
    };
    const CreatorPacket* creator = nullptr;
    for (const Par2FileContents& contents : m_contents) {
        if (!collect(contents.fileDescriptions, descriptions) || !collect(contents.sliceChecksums, checksums)) {
            result.problem = SetProblem::ConflictingPackets;
            return result;
        }
        for (const CreatorPacket& packet : contents.creators) {
            if (creator == nullptr && packet.setId == main->setId)
                creator = &packet;
        }
    }

    Par2Set& set = result.set;
    set.sliceSize = sliceSize;
    set.id = main->setId;
    set.nonRecoveryFiles = main->nonRecoveryFileIds;
    if (creator != nullptr)
        set.creator = creator->text;
    std::uint64_t slices = 0;
    std::set<std::string_view> names;
    for (const Md5Hash& id : main->fileIds) {
        const auto description = descriptions.find(id);
        if (description == descriptions.end()) {
            result.problem = SetProblem::MissingFileDescription;
            return result;
        }
        const auto checksum = checksums.find(id);
        if (checksum == checksums.end()) {
            result.problem = SetProblem::MissingSliceChecksums;
            return result;
        }
        const FileDescriptionPacket& file = *description->second;
        // Counted before anything is made of the length, which a stranger chooses freely.
        if (slicesOf(file.length, sliceSize) != checksum->second->slices.size()) {
            result.problem = SetProblem::SliceCountMismatch;
            return result;
        }
        slices += checksum->second->slices.size();
        if (slices > kMaxInputSlices || !names.insert(file.name).second) {
            result.problem = SetProblem::BadMainPacket;
            return result;
        }
        set.files.push_back({file.name, file.length, file.md5, file.md5First16k, id, checksum->second->slices});
    }

    std::set<std::uint32_t> exponents;
    for (std::size_t i = 0; i < m_contents.size(); ++i) {
        for (const RecoverySlicePacket& packet : m_contents[i].recoverySlices) {
            if (packet.setId == main->setId && packet.dataSize == sliceSize && exponents.insert(packet.exponent).second)
                result.recoverySlices.push_back({m_sources[i], packet.exponent, packet.dataOffset});
        }
    }
    std::sort(result.recoverySlices.begin(), result.recoverySlices.end(),
              [](const RecoverySliceSource& a, const RecoverySliceSource& b) { return a.exponent < b.exponent; });
    return result;
}

} // namespace parvix::par2
