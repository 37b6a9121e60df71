#include "par2/RecoveryEncoder.h"

#include "par2/Galois16.h"
#include "par2/PacketFormat.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>
#include <stdexcept>

namespace parvix::par2 {

namespace {

constexpr std::align_val_t kAlignment{64};
// Input is taken in blocks of this size, each added to every recovery slice while it is in the cache.
constexpr std::size_t kBlock = 32 * 1024;

// Adds the part of one word that a chunk holds (the other byte counts as zero).
void addWordPart(std::byte* word, std::uint16_t part, std::uint16_t factor)
{
    const std::uint16_t product = Galois16::multiply(part, factor);
    word[0] ^= static_cast<std::byte>(product & 0xFF);
    word[1] ^= static_cast<std::byte>(product >> 8);
}

std::vector<std::uint32_t> consecutive(std::uint32_t first, std::uint32_t count)
{
    std::vector<std::uint32_t> exponents(count);
    for (std::uint32_t k = 0; k < count; ++k)
        exponents[k] = first + k;
    return exponents;
}

} // namespace

void RecoveryEncoder::AlignedFree::operator()(std::byte* bytes) const
{
    ::operator delete[](bytes, kAlignment);
}

RecoveryEncoder::RecoveryEncoder(std::uint64_t sliceSize, std::vector<std::uint32_t> exponents)
    : m_sliceSize(sliceSize), m_exponents(std::move(exponents))
{
    // It holds each slice in memory.
    format::checkSliceSize(sliceSize, SIZE_MAX);
    for (std::size_t k = 0; k < m_exponents.size(); ++k) {
        auto* bytes = static_cast<std::byte*>(::operator new[](static_cast<std::size_t>(sliceSize), kAlignment));
        m_slices.emplace_back(bytes);
        std::memset(bytes, 0, static_cast<std::size_t>(sliceSize));
    }
}

RecoveryEncoder::RecoveryEncoder(std::uint64_t sliceSize, std::uint32_t firstExponent, std::uint32_t count)
    : RecoveryEncoder(sliceSize, consecutive(firstExponent, count))
{
}

std::span<const std::byte> RecoveryEncoder::slice(std::size_t k) const
{
    return {m_slices[k].get(), static_cast<std::size_t>(m_sliceSize)};
}

std::span<std::byte> RecoveryEncoder::slice(std::size_t k)
{
    return {m_slices[k].get(), static_cast<std::size_t>(m_sliceSize)};
}

void RecoveryEncoder::add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size)
{
    add(constant, offset, data, size, 0, m_exponents.size());
}

void RecoveryEncoder::add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size,
                          std::size_t first, std::size_t count)
{
    if (offset > m_sliceSize || size > m_sliceSize - offset || first + count > m_exponents.size())
        throw std::out_of_range("the input lies outside the slice");
    if (size == 0 || count == 0)
        return;
    const std::size_t end = first + count;
    auto at = static_cast<std::size_t>(offset);

    // A chunk that starts or ends inside a word adds its byte of that word on its own.
    if (at % 2 != 0) {
        const auto part = static_cast<std::uint16_t>(std::to_integer<unsigned>(data[0]) << 8);
        for (std::size_t k = first; k < end; ++k)
            addWordPart(m_slices[k].get() + at - 1, part, Galois16::power(constant, m_exponents[k]));
        ++at;
        ++data;
        --size;
    }
    if (size % 2 != 0) {
        const auto part = static_cast<std::uint16_t>(std::to_integer<unsigned>(data[size - 1]));
        for (std::size_t k = first; k < end; ++k)
            addWordPart(m_slices[k].get() + at + size - 1, part, Galois16::power(constant, m_exponents[k]));
        --size;
    }

    // The rest in blocks, copied beside the recovery slices' alignment when the caller's is another.
    alignas(64) std::byte stage[kBlock + 16];
    const bool aligned = (reinterpret_cast<std::uintptr_t>(data) - at) % 16 == 0;
    while (size > 0) {
        const std::size_t step = std::min(size, kBlock);
        const std::byte* source = data;
        if (!aligned) {
            std::memcpy(stage + at % 16, data, step);
            source = stage + at % 16;
        }
        for (std::size_t k = first; k < end; ++k)
            Galois16::multiplyAdd(m_slices[k].get() + at, source, step, Galois16::power(constant, m_exponents[k]));
        at += step;
        data += step;
        size -= step;
    }
}

} // namespace parvix::par2
