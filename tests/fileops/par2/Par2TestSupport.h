#pragma once

#include "par2/FileHasher.h"
#include "par2/Par2Reader.h"
#include "par2/Par2Set.h"
#include "par2/Par2Writer.h"
#include "par2/RecoveryEncoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace parvix::test::par2 {

// GF(2^16) the long way: carry-less product, then reduction by x^16 + x^12 + x^3 + x + 1.
inline std::uint16_t slowMultiply(std::uint16_t a, std::uint16_t b)
{
    std::uint32_t product = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if ((b >> bit & 1) != 0)
            product ^= std::uint32_t{a} << bit;
    }
    for (int bit = 31; bit >= 16; --bit) {
        if ((product >> bit & 1) != 0)
            product ^= 0x1100Bu << (bit - 16);
    }
    return static_cast<std::uint16_t>(product);
}

inline std::uint16_t slowPower(std::uint16_t a, std::uint32_t e)
{
    std::uint16_t result = 1;
    for (std::uint32_t i = 0; i < e; ++i)
        result = slowMultiply(result, a);
    return result;
}

inline std::uint16_t wordAt(const std::string& bytes, std::size_t i)
{
    const auto low = i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
    const auto high = i + 1 < bytes.size() ? static_cast<std::uint8_t>(bytes[i + 1]) : 0;
    return static_cast<std::uint16_t>(low | high << 8);
}

// A recovery slice computed word by word from the input slices (each padded with zeros to sliceSize).
inline std::string slowRecovery(const std::vector<std::string>& slices, const std::vector<std::uint16_t>& constants,
                                std::uint32_t exponent, std::size_t sliceSize)
{
    std::string out(sliceSize, '\0');
    for (std::size_t s = 0; s < slices.size(); ++s) {
        const std::uint16_t factor = slowPower(constants[s], exponent);
        for (std::size_t i = 0; i < sliceSize; i += 2) {
            const std::uint16_t product = slowMultiply(wordAt(slices[s], i), factor);
            out[i] = static_cast<char>(out[i] ^ static_cast<char>(product & 0xFF));
            out[i + 1] = static_cast<char>(out[i + 1] ^ static_cast<char>(product >> 8));
        }
    }
    return out;
}

inline const std::byte* bytesOf(const std::string& text)
{
    return reinterpret_cast<const std::byte*>(text.data());
}

inline std::string textOf(const std::byte* bytes, std::size_t size)
{
    return {reinterpret_cast<const char*>(bytes), size};
}

// Reads from bytes in memory, as a file would.
inline parvix::par2::ReadAt readerOf(const std::string& file)
{
    return [&file](std::uint64_t offset, std::byte* buffer, std::size_t size) {
        const auto available = offset < file.size() ? file.size() - offset : 0;
        const std::size_t count = std::min<std::size_t>(size, available);
        std::memcpy(buffer, file.data() + offset, count);
        return count;
    };
}

inline parvix::par2::Par2FileContents readContents(const std::string& file)
{
    return parvix::par2::readPar2File(readerOf(file), file.size());
}

// A file's digest, hashed in chunks of the given size.
inline parvix::par2::InputFile hashFile(const std::string& name, const std::string& bytes, std::uint64_t sliceSize,
                                        std::size_t chunk = 4 * 1024 * 1024)
{
    parvix::par2::FileHasher hasher(sliceSize);
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        hasher.update(bytesOf(bytes) + at, std::min(chunk, bytes.size() - at));
    parvix::par2::FileDigest digest = hasher.finish();
    return {name, digest.length, digest.md5, digest.md5First16k, {}, std::move(digest.slices)};
}

// The set of these files, their bytes given by name, in slices of `sliceSize`.
inline parvix::par2::Par2Set setOfFiles(std::uint64_t sliceSize, const std::map<std::string, std::string>& files)
{
    std::vector<parvix::par2::InputFile> inputs;
    for (const auto& [name, bytes] : files)
        inputs.push_back(hashFile(name, bytes, sliceSize));
    return parvix::par2::makeSet(sliceSize, std::move(inputs));
}

// A test set's slice size, and how many recovery slices it gets.
struct SetShape
{
    std::uint64_t sliceSize;
    std::uint32_t count;
};

// The recovery slices with the exponents 0 .. count - 1 of a set whose files' bytes are given by name.
inline parvix::par2::RecoveryEncoder encodeSet(const parvix::par2::Par2Set& set,
                                               const std::map<std::string, std::string>& files, std::uint32_t count)
{
    parvix::par2::RecoveryEncoder encoder(set.sliceSize, 0, count);
    for (std::size_t f = 0; f < set.files.size(); ++f) {
        const std::string& bytes = files.at(set.files[f].name);
        for (std::uint32_t s = 0; s < set.files[f].slices.size(); ++s) {
            const std::string slice = bytes.substr(s * set.sliceSize, set.sliceSize);
            encoder.add(parvix::par2::inputSliceConstant(set.firstSlice(f) + s), 0, bytesOf(slice), slice.size());
        }
    }
    return encoder;
}

// A recovery volume of the encoder's slices, each packet's data hashed in pieces as a file service writes it.
inline std::string volumeOf(const parvix::par2::Par2Set& set, const parvix::par2::RecoveryEncoder& encoder)
{
    const parvix::par2::VolumeLayout layout(set, encoder.exponent(0), static_cast<std::uint32_t>(encoder.count()));
    std::string volume = textOf(layout.criticalPackets().data(), layout.criticalPackets().size());
    for (std::uint32_t k = 0; k < layout.count(); ++k) {
        const std::span<const std::byte> data = encoder.slice(k);
        parvix::par2::RecoveryPacketWriter packet(set.id, layout.exponent(k));
        for (std::size_t at = 0; at < data.size(); at += 1000)
            packet.update(data.data() + at, std::min<std::size_t>(1000, data.size() - at));
        if (volume.size() != layout.packetOffset(k))
            throw std::logic_error("the volume's layout puts a recovery packet elsewhere");
        const auto head = packet.head();
        volume += textOf(head.data(), head.size()) + textOf(data.data(), data.size());
    }
    if (volume.size() != layout.size())
        throw std::logic_error("the volume's layout gives another length");
    return volume;
}

} // namespace parvix::test::par2
