#include "par2/Galois16.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <stdexcept>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

extern "C" {
#include <gf_complete.h>
}

namespace parvix::par2 {

static_assert(std::endian::native == std::endian::little, "GF-Complete reads the words in the machine's order");

namespace {

constexpr std::uint32_t kOrder = 65535; // of the multiplicative group

struct Field
{
    gf_t gf{};
    // The same field with regions in the split layout, where the library has it.
    gf_t split{};
    bool hasSplit = false;
    // Logarithms to the base 2, for power(): GF-Complete has no power of its own.
    std::vector<std::uint16_t> log = std::vector<std::uint16_t>(65536);
    std::vector<std::uint16_t> antilog = std::vector<std::uint16_t>(kOrder);

    Field()
    {
        if (gf_init_easy(&gf, 16) == 0)
            throw std::runtime_error("GF-Complete cannot set up GF(2^16)");
        hasSplit = gf_init_hard(&split, 16, GF_MULT_SPLIT_TABLE, GF_REGION_ALTMAP, GF_DIVIDE_DEFAULT, 0, 16, 4,
                                nullptr, nullptr) != 0;
        std::uint32_t x = 1;
        for (std::uint32_t e = 0; e < kOrder; ++e) {
            antilog[e] = static_cast<std::uint16_t>(x);
            log[x] = static_cast<std::uint16_t>(e);
            x = gf.multiply.w32(&gf, x, 2);
        }
    }
    // The library's tables go with the program, so that a leak check sees nothing left.
    ~Field()
    {
        if (hasSplit)
            gf_free(&split, 1);
        gf_free(&gf, 1);
    }
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;
};

// Built on first use, once, whichever thread comes first; never changed after.
Field& field()
{
    static Field instance;
    return instance;
}

// GF-Complete counts region sizes in an int.
constexpr std::size_t kRegionStep = std::size_t{1} << 30;

void regionMultiplyAdd(gf_t& gf, std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor)
{
    while (size > 0) {
        const std::size_t step = std::min(size, kRegionStep);
        gf.multiply_region.w32(&gf, const_cast<std::byte*>(src), dest, factor, static_cast<int>(step), 1);
        dest += step;
        src += step;
        size -= step;
    }
}

// The regions handed to GF-Complete are whole multiples of this.
constexpr std::size_t kRegionBlock = 64;

void wordByWord(Field& f, std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor)
{
    for (std::size_t i = 0; i < size; i += 2) {
        const auto word =
            static_cast<std::uint16_t>(std::to_integer<unsigned>(src[i]) | std::to_integer<unsigned>(src[i + 1]) << 8);
        const auto product = static_cast<std::uint16_t>(f.gf.multiply.w32(&f.gf, word, factor));
        dest[i] ^= static_cast<std::byte>(product & 0xFF);
        dest[i + 1] ^= static_cast<std::byte>(product >> 8);
    }
}

} // namespace

std::uint16_t Galois16::multiply(std::uint16_t a, std::uint16_t b)
{
    Field& f = field();
    return static_cast<std::uint16_t>(f.gf.multiply.w32(&f.gf, a, b));
}

std::uint16_t Galois16::divide(std::uint16_t a, std::uint16_t b)
{
    assert(b != 0);
    Field& f = field();
    return static_cast<std::uint16_t>(f.gf.divide.w32(&f.gf, a, b));
}

std::uint16_t Galois16::inverse(std::uint16_t a)
{
    assert(a != 0);
    Field& f = field();
    return static_cast<std::uint16_t>(f.gf.inverse.w32(&f.gf, a));
}

std::uint16_t Galois16::power(std::uint16_t a, std::uint64_t e)
{
    if (e == 0)
        return 1;
    if (a == 0)
        return 0;
    const Field& f = field();
    return f.antilog[(f.log[a] * (e % kOrder)) % kOrder];
}

void Galois16::multiplyAdd(std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor)
{
    assert(size % 2 == 0);
    if (factor == 0 || size == 0)
        return;
    if (factor == 1) {
        for (std::size_t i = 0; i < size; ++i)
            dest[i] ^= src[i];
        return;
    }
    Field& f = field();
    // GF-Complete goes wrong on regions shorter than its alignment and at odd addresses: it gets whole
    // blocks from 16-byte aligned addresses only, and the words around them are done here.
    const auto alignedFrom = [&] {
        if (reinterpret_cast<std::uintptr_t>(dest) % 2 != 0)
            return size;
        return std::min(size, (16 - reinterpret_cast<std::uintptr_t>(dest) % 16) % 16);
    }();
    wordByWord(f, dest, src, alignedFrom, factor);
    dest += alignedFrom;
    src += alignedFrom;
    size -= alignedFrom;
    const std::size_t tail = size % kRegionBlock;
    wordByWord(f, dest + size - tail, src + size - tail, tail, factor);
    size -= tail;

    if (reinterpret_cast<std::uintptr_t>(src) % 16 == 0) {
        regionMultiplyAdd(f.gf, dest, src, size, factor);
        return;
    }
    // The source is copied to an aligned place first.
    constexpr std::size_t kStage = 16 * 1024;
    alignas(64) std::byte stage[kStage];
    while (size > 0) {
        const std::size_t step = std::min(size, kStage);
        std::memcpy(stage, src, step);
        regionMultiplyAdd(f.gf, dest, stage, step, factor);
        dest += step;
        src += step;
        size -= step;
    }
}

namespace {

// Rearranges `size` bytes group by group, or copies them as they are where the field keeps words whole.
template <class Group> void eachGroup(std::byte* out, const std::byte* in, std::size_t size, bool split, Group group)
{
    assert(size % Galois16::kSplitGroup == 0);
    if (!split) {
        std::memcpy(out, in, size);
        return;
    }
    for (std::size_t at = 0; at < size; at += Galois16::kSplitGroup)
        group(out + at, in + at);
}

} // namespace

void Galois16::toSplitLayout(std::byte* out, const std::byte* in, std::size_t size)
{
    eachGroup(out, in, size, field().hasSplit, [](std::byte* to, const std::byte* from) {
#if defined(__SSE2__)
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        const __m128i low = _mm_set1_epi16(0x00FF);
        const __m128i highs = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        const __m128i lows = _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), highs);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), lows);
#else
        for (std::size_t w = 0; w < 16; ++w) {
            to[w] = from[2 * w + 1];
            to[16 + w] = from[2 * w];
        }
#endif
    });
}

void Galois16::fromSplitLayout(std::byte* out, const std::byte* in, std::size_t size)
{
    eachGroup(out, in, size, field().hasSplit, [](std::byte* to, const std::byte* from) {
#if defined(__SSE2__)
        const __m128i highs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i lows = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(lows, highs));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), _mm_unpackhi_epi8(lows, highs));
#else
        for (std::size_t w = 0; w < 16; ++w) {
            to[2 * w + 1] = from[w];
            to[2 * w] = from[16 + w];
        }
#endif
    });
}

void Galois16::multiplyAddSplit(std::byte* dest, const std::byte* src, std::size_t size, std::uint16_t factor)
{
    assert(size % kSplitGroup == 0);
    assert(reinterpret_cast<std::uintptr_t>(dest) % kSplitGroup == 0);
    assert(reinterpret_cast<std::uintptr_t>(src) % kSplitGroup == 0);
    Field& f = field();
    if (!f.hasSplit) {
        multiplyAdd(dest, src, size, factor);
        return;
    }
    if (factor == 0 || size == 0)
        return;
    if (factor == 1) {
        for (std::size_t i = 0; i < size; ++i)
            dest[i] ^= src[i];
        return;
    }
    regionMultiplyAdd(f.split, dest, src, size, factor);
}

} // namespace parvix::par2
