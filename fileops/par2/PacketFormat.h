#pragma once

// The byte layout of packets, shared by the writer and the reader of par2/; not for other callers.

#include "par2/Md5.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace parvix::par2::format {

inline constexpr std::uint64_t kHeaderSize = 64;
// Where the MD5 of a packet starts counting: at its recovery set ID.
inline constexpr std::uint64_t kHashedFrom = 32;

using Magic = std::array<std::byte, 8>;
using PacketType = std::array<std::byte, 16>;

constexpr std::array<std::byte, 8> bytes8(std::string_view text)
{
    std::array<std::byte, 8> out{};
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<std::byte>(text[i]);
    return out;
}

constexpr PacketType packetType(std::string_view text)
{
    PacketType out{};
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<std::byte>(text[i]);
    return out;
}

using namespace std::string_view_literals;
inline constexpr Magic kMagic = bytes8("PAR2\0PKT"sv);
inline constexpr PacketType kMainType = packetType("PAR 2.0\0Main\0\0\0\0"sv);
inline constexpr PacketType kFileDescriptionType = packetType("PAR 2.0\0FileDesc"sv);
inline constexpr PacketType kSliceChecksumsType = packetType("PAR 2.0\0IFSC\0\0\0\0"sv);
inline constexpr PacketType kRecoverySliceType = packetType("PAR 2.0\0RecvSlic"sv);
inline constexpr PacketType kCreatorType = packetType("PAR 2.0\0Creator\0"sv);

inline void putLe(std::byte* at, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        at[i] = static_cast<std::byte>(value >> (8 * i));
}

inline std::uint64_t getLe(const std::byte* at, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= std::uint64_t{std::to_integer<std::uint8_t>(at[i])} << (8 * i);
    return value;
}

inline void appendLe(std::vector<std::byte>& out, std::uint64_t value, std::size_t width)
{
    out.resize(out.size() + width);
    putLe(out.data() + out.size() - width, value, width);
}

inline void appendBytes(std::vector<std::byte>& out, const void* bytes, std::size_t size)
{
    const auto* begin = static_cast<const std::byte*>(bytes);
    out.insert(out.end(), begin, begin + size);
}

// Slices are whole 32-bit words; `most` is the largest slice size the caller can hold.
inline void checkSliceSize(std::uint64_t sliceSize, std::uint64_t most = UINT64_MAX)
{
    if (sliceSize == 0 || sliceSize % 4 != 0 || sliceSize > most)
        throw std::invalid_argument("the slice size must be a positive multiple of 4");
}

inline Md5Hash getHash(const std::byte* at)
{
    Md5Hash hash{};
    std::memcpy(hash.data(), at, hash.size());
    return hash;
}

} // namespace parvix::par2::format
