#pragma once

#include "par2/Md5.h"
#include "par2/Par2Set.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvix::par2 {

// What our creator packets say.
inline constexpr std::string_view kCreator = "Parvix toolbox 1.53";

// The packets that describe a set, each whole: main, file description, slice checksums and creator.
std::vector<std::byte> mainPacket(const Par2Set& set);
std::vector<std::byte> fileDescriptionPacket(const Par2Set& set, const InputFile& file);
std::vector<std::byte> sliceChecksumPacket(const Par2Set& set, const InputFile& file);
std::vector<std::byte> creatorPacket(const Par2Set& set, std::string_view creator = kCreator);

// The main packet, then for each file its description and slice checksums, then the creator packet: all of
// the index file (BASE.par2), and the start of every recovery volume.
std::vector<std::byte> criticalPackets(const Par2Set& set, std::string_view creator = kCreator);

// The start of a recovery slice packet, header and exponent, before its data.
inline constexpr std::uint64_t kRecoveryPacketHead = 68;

// A recovery slice packet written as its data goes out: the data is added in order (the writer puts it at
// the packet's offset + kRecoveryPacketHead), and the head, which holds the hash of it all, comes last.
class RecoveryPacketWriter
{
public:
    RecoveryPacketWriter(const Md5Hash& setId, std::uint32_t exponent);
    void update(const std::byte* bytes, std::size_t size);
    // The head for the data added; the writer is then spent.
    std::array<std::byte, kRecoveryPacketHead> head();

private:
    Md5 m_md5;
    Md5Hash m_setId;
    std::uint32_t m_exponent;
    std::uint64_t m_dataSize = 0;
};

// Where things go in a recovery volume that holds `count` recovery slices with the exponents
// firstExponent, firstExponent + 1, ...: the critical packets first, then one recovery slice packet after
// another.
class VolumeLayout
{
public:
    VolumeLayout(const Par2Set& set, std::uint32_t firstExponent, std::uint32_t count,
                 std::string_view creator = kCreator);

    // The bytes at offset 0.
    const std::vector<std::byte>& criticalPackets() const { return m_critical; }
    std::uint32_t count() const { return m_count; }
    std::uint32_t exponent(std::uint32_t k) const { return m_firstExponent + k; }
    // Where the k-th recovery slice packet starts, and where its data starts.
    std::uint64_t packetOffset(std::uint32_t k) const;
    std::uint64_t dataOffset(std::uint32_t k) const { return packetOffset(k) + kRecoveryPacketHead; }
    // The volume's length.
    std::uint64_t size() const { return packetOffset(m_count); }

private:
    std::vector<std::byte> m_critical;
    std::uint64_t m_sliceSize;
    std::uint32_t m_firstExponent;
    std::uint32_t m_count;
};

// A recovery volume's name as par2 names it: "BASE.volFIRST+COUNT.par2", the first exponent written with
// as many digits as the end of the set's exponents needs (setEnd = the last exponent of the set + 1) and
// the count with as many as the largest volume's count needs, both padded with zeros. With one volume, the
// set's end is firstExponent + count and the largest count is count.
std::string recoveryVolumeName(std::string_view base, std::uint32_t firstExponent, std::uint32_t count);
std::string recoveryVolumeName(std::string_view base, std::uint32_t firstExponent, std::uint32_t count,
                               std::uint32_t setEnd, std::uint32_t largestCount);

// The index file's name: "BASE.par2".
std::string indexFileName(std::string_view base);

} // namespace parvix::par2
