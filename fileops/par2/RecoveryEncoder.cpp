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
constexpr std::size_t kGroup = Galois16::kSplitGroup;

std::size_t roundUpToGroup(std::uint64_t size)
{
    return static_cast<std::size_t>((size + kGroup - 1) / kGroup * kGroup);
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
    format::checkSliceSize(sliceSize, SIZE_MAX - kGroup);
    // Whole groups of the split layout, the bytes past the slice staying zero.
    const std::size_t stride = roundUpToGroup(sliceSize);
    for (std::size_t k = 0; k < m_exponents.size(); ++k) {
        auto* bytes = static_cast<std::byte*>(::operator new[](stride, kAlignment));
        m_slices.emplace_back(bytes);
        std::memset(bytes, 0, stride);
    }
}

RecoveryEncoder::RecoveryEncoder(std::uint64_t sliceSize, std::uint32_t firstExponent, std::uint32_t count)
    : RecoveryEncoder(sliceSize, consecutive(firstExponent, count))
{
}

void RecoveryEncoder::toWordOrder() const
{
    if (!m_splitLayout)
        return;
    const std::size_t stride = roundUpToGroup(m_sliceSize);
    for (const auto& bytes : m_slices) {
        alignas(64) std::byte group[kGroup];
        for (std::size_t at = 0; at < stride; at += kGroup) {
            Galois16::fromSplitLayout(group, bytes.get() + at, kGroup);
            std::memcpy(bytes.get() + at, group, kGroup);
        }
    }
    m_splitLayout = false;
}

std::span<const std::byte> RecoveryEncoder::slice(std::size_t k) const
{
    toWordOrder();
    return {m_slices[k].get(), static_cast<std::size_t>(m_sliceSize)};
}

std::span<std::byte> RecoveryEncoder::slice(std::size_t k)
{
    toWordOrder();
    return {m_slices[k].get(), static_cast<std::size_t>(m_sliceSize)};
}

void RecoveryEncoder::add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size)
{
    add(constant, offset, data, size, 0, m_exponents.size());
}

void RecoveryEncoder::add(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size,
                          std::size_t first, std::size_t count)
{
    const SliceInput input{constant, offset, data, size};
    add(std::span(&input, 1), first, count);
}

void RecoveryEncoder::add(std::span<const SliceInput> inputs, std::size_t first, std::size_t count)
{
    if (first + count > m_exponents.size())
        throw std::out_of_range("no such recovery slices");
    std::uint64_t from = m_sliceSize;
    std::uint64_t to = 0;
    for (const auto& input : inputs) {
        if (input.offset > m_sliceSize || input.size > m_sliceSize - input.offset)
            throw std::out_of_range("the input lies outside the slice");
        if (input.size > 0) {
            from = std::min(from, input.offset);
            to = std::max(to, input.offset + input.size);
        }
    }
    if (!m_splitLayout)
        throw std::logic_error("input added after the slices were taken");
    if (from >= to || count == 0)
        return;
    const std::size_t end = first + count;

    // Stretch by stretch of the slice, a few inputs at a time, each in whole groups of the split layout:
    // the bytes of a group that an input does not hold are zeros, which add nothing (so a chunk that starts
    // or ends inside a word adds its byte alone).
    constexpr std::size_t kAtOnce = 4;
    alignas(64) std::byte staged[kAtOnce][kBlock];
    alignas(64) std::byte plain[kBlock];
    struct Staged
    {
        std::uint16_t constant;
        std::size_t at; // where its groups begin in the slice
        std::size_t span;
    };
    Staged parts[kAtOnce];
    for (std::uint64_t stretch = from - from % kBlock; stretch < to; stretch += kBlock) {
        for (std::size_t next = 0; next < inputs.size();) {
            std::size_t held = 0;
            for (; next < inputs.size() && held < kAtOnce; ++next) {
                const SliceInput& input = inputs[next];
                const std::uint64_t begin = std::max(stretch, input.offset);
                const std::uint64_t stop = std::min(stretch + kBlock, input.offset + input.size);
                if (begin >= stop)
                    continue;
                const auto lead = static_cast<std::size_t>(begin % kGroup);
                const auto step = static_cast<std::size_t>(stop - begin);
                const std::size_t span = roundUpToGroup(lead + step);
                const std::byte* bytes = input.data + (begin - input.offset);
                if (lead == 0 && step == span) {
                    Galois16::toSplitLayout(staged[held], bytes, span);
                } else {
                    std::memset(plain, 0, span);
                    std::memcpy(plain + lead, bytes, step);
                    Galois16::toSplitLayout(staged[held], plain, span);
                }
                parts[held++] = {input.constant, static_cast<std::size_t>(begin) - lead, span};
            }
            for (std::size_t k = first; k < end; ++k) {
                for (std::size_t j = 0; j < held; ++j)
                    Galois16::multiplyAddSplit(m_slices[k].get() + parts[j].at, staged[j], parts[j].span,
                                               Galois16::power(parts[j].constant, m_exponents[k]));
            }
        }
    }
}

} // namespace parvix::par2
