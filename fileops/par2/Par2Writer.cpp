#include "par2/Par2Writer.h"

#include "par2/PacketFormat.h"

#include <stdexcept>

namespace parvix::par2 {

namespace {

using namespace format;

void appendHash(std::vector<std::byte>& out, const Md5Hash& hash)
{
    appendBytes(out, hash.data(), hash.size());
}

// Text padded with zeros to a multiple of 4.
void appendText(std::vector<std::byte>& out, std::string_view text)
{
    appendBytes(out, text.data(), text.size());
    out.resize(out.size() + (4 - text.size() % 4) % 4);
}

// A packet around a body: header, hash over set ID, type and body.
std::vector<std::byte> packet(const Md5Hash& setId, const PacketType& type, const std::vector<std::byte>& body)
{
    std::vector<std::byte> out;
    out.reserve(kHeaderSize + body.size());
    appendBytes(out, kMagic.data(), kMagic.size());
    appendLe(out, kHeaderSize + body.size(), 8);
    out.resize(out.size() + 16); // the hash, filled in below
    appendHash(out, setId);
    appendBytes(out, type.data(), type.size());
    out.insert(out.end(), body.begin(), body.end());
    const Md5Hash hash = Md5::of(out.data() + kHashedFrom, out.size() - kHashedFrom);
    std::memcpy(out.data() + 16, hash.data(), hash.size());
    return out;
}

} // namespace

std::vector<std::byte> mainPacket(const Par2Set& set)
{
    std::vector<std::byte> body;
    appendLe(body, set.sliceSize, 8);
    appendLe(body, set.files.size(), 4);
    for (const InputFile& file : set.files)
        appendHash(body, file.id);
    for (const Md5Hash& id : set.nonRecoveryFiles)
        appendHash(body, id);
    return packet(set.id, kMainType, body);
}

std::vector<std::byte> fileDescriptionPacket(const Par2Set& set, const InputFile& file)
{
    std::vector<std::byte> body;
    appendHash(body, file.id);
    appendHash(body, file.md5);
    appendHash(body, file.md5First16k);
    appendLe(body, file.length, 8);
    appendText(body, file.name);
    return packet(set.id, kFileDescriptionType, body);
}

std::vector<std::byte> sliceChecksumPacket(const Par2Set& set, const InputFile& file)
{
    std::vector<std::byte> body;
    body.reserve(16 + 20 * file.slices.size());
    appendHash(body, file.id);
    for (const SliceChecksum& slice : file.slices) {
        appendHash(body, slice.md5);
        appendLe(body, slice.crc32, 4);
    }
    return packet(set.id, kSliceChecksumsType, body);
}

std::vector<std::byte> creatorPacket(const Par2Set& set, std::string_view creator)
{
    std::vector<std::byte> body;
    appendText(body, creator);
    return packet(set.id, kCreatorType, body);
}

std::vector<std::byte> criticalPackets(const Par2Set& set, std::string_view creator)
{
    std::vector<std::byte> out = mainPacket(set);
    for (const InputFile& file : set.files) {
        for (const auto& part : {fileDescriptionPacket(set, file), sliceChecksumPacket(set, file)})
            out.insert(out.end(), part.begin(), part.end());
    }
    const std::vector<std::byte> last = creatorPacket(set, creator);
    out.insert(out.end(), last.begin(), last.end());
    return out;
}

RecoveryPacketWriter::RecoveryPacketWriter(const Md5Hash& setId, std::uint32_t exponent)
    : m_setId(setId), m_exponent(exponent)
{
    std::byte hashed[36];
    std::memcpy(hashed, setId.data(), 16);
    std::memcpy(hashed + 16, kRecoverySliceType.data(), 16);
    putLe(hashed + 32, exponent, 4);
    m_md5.update(hashed, sizeof hashed);
}

void RecoveryPacketWriter::update(const std::byte* bytes, std::size_t size)
{
    m_md5.update(bytes, size);
    m_dataSize += size;
}

std::array<std::byte, kRecoveryPacketHead> RecoveryPacketWriter::head()
{
    std::array<std::byte, kRecoveryPacketHead> out{};
    std::memcpy(out.data(), kMagic.data(), kMagic.size());
    putLe(out.data() + 8, kRecoveryPacketHead + m_dataSize, 8);
    const Md5Hash hash = m_md5.digest();
    std::memcpy(out.data() + 16, hash.data(), 16);
    std::memcpy(out.data() + 32, m_setId.data(), 16);
    std::memcpy(out.data() + 48, kRecoverySliceType.data(), 16);
    putLe(out.data() + 64, m_exponent, 4);
    return out;
}

VolumeLayout::VolumeLayout(const Par2Set& set, std::uint32_t firstExponent, std::uint32_t count,
                           std::string_view creator)
    : m_critical(par2::criticalPackets(set, creator)), m_sliceSize(set.sliceSize), m_firstExponent(firstExponent),
      m_count(count)
{
}

std::uint64_t VolumeLayout::packetOffset(std::uint32_t k) const
{
    return m_critical.size() + std::uint64_t{k} * (kRecoveryPacketHead + m_sliceSize);
}

namespace {

int digitsOf(std::uint32_t value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

std::string padded(std::uint32_t value, int digits)
{
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(digits) - std::min<std::size_t>(text.size(), digits), '0') + text;
}

} // namespace

std::string recoveryVolumeName(std::string_view base, std::uint32_t firstExponent, std::uint32_t count)
{
    return recoveryVolumeName(base, firstExponent, count, firstExponent + count, count);
}

std::string recoveryVolumeName(std::string_view base, std::uint32_t firstExponent, std::uint32_t count,
                               std::uint32_t setEnd, std::uint32_t largestCount)
{
    return std::string(base) + ".vol" + padded(firstExponent, digitsOf(setEnd)) + "+" +
           padded(count, digitsOf(largestCount)) + ".par2";
}

std::string indexFileName(std::string_view base)
{
    return std::string(base) + ".par2";
}

} // namespace parvix::par2
