#include "par2/Md5Lanes.h"

#include <algorithm>
#include <cstring>

// The vector rounds are written with GCC's vector extensions and built for AVX2, and for AVX-512's
// rotate and three-input logic where the processor has them. Not on Windows: GCC there does not keep
// the stack aligned for 32-byte values spilled to it. Clang names its shuffle otherwise, and builds
// only the fuzz targets here.
#if defined(__GNUC__) && !defined(__clang__) && (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
#define PARVIX_MD5_VECTORS 1
#endif

// Unrolled, the steps' rotations are by constants, which the compiler folds into the instructions.
#if defined(__GNUC__)
#define PARVIX_UNROLL_STEPS _Pragma("GCC unroll 64")
#else
#define PARVIX_UNROLL_STEPS
#endif

namespace parvix::par2 {

namespace {

constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr int messageWord(int step)
{
    switch (step / 16) {
    case 0:
        return step;
    case 1:
        return (5 * step + 1) % 16;
    case 2:
        return (3 * step + 5) % 16;
    default:
        return (7 * step) % 16;
    }
}

std::uint32_t littleEndian32(const std::byte* p)
{
    return std::to_integer<std::uint32_t>(p[0]) | std::to_integer<std::uint32_t>(p[1]) << 8 |
           std::to_integer<std::uint32_t>(p[2]) << 16 | std::to_integer<std::uint32_t>(p[3]) << 24;
}

// One of MD5's 64 steps, on words of either kind: one stream's, or a vector of one word for each lane.
template <class Word> inline void md5Step(int i, Word& a, Word& b, Word& c, Word& d, const Word& m)
{
    Word f{};
    switch (i / 16) {
    case 0:
        f = (b & c) | (~b & d);
        break;
    case 1:
        f = (d & b) | (~d & c);
        break;
    case 2:
        f = b ^ c ^ d;
        break;
    default:
        f = c ^ (b | ~d);
        break;
    }
    f += a + kSines[i] + m;
    a = d;
    d = c;
    c = b;
    const int shift = kShifts[i / 16][i % 4];
    b += (f << shift) | (f >> (32 - shift));
}

void compress(std::array<std::uint32_t, 4>& words, const std::byte* block)
{
    std::uint32_t m[16];
    for (int j = 0; j < 16; ++j)
        m[j] = littleEndian32(block + 4 * j);
    std::uint32_t a = words[0], b = words[1], c = words[2], d = words[3];
    PARVIX_UNROLL_STEPS
    for (int i = 0; i < 64; ++i)
        md5Step(i, a, b, c, d, m[messageWord(i)]);
    words[0] += a;
    words[1] += b;
    words[2] += c;
    words[3] += d;
}

#ifdef PARVIX_MD5_VECTORS

// Eight lanes to a vector; the streams go through in groups of eight, the groups' steps interleaved, for
// one group alone would wait on each step's result.
constexpr std::size_t kGroup = 8;
constexpr std::size_t kGroups = kMd5Lanes / kGroup;
using Vector = std::uint32_t __attribute__((vector_size(4 * kGroup)));

// The 16 words of block `block` of eight streams, as 16 vectors: word j of every stream in m[j].
[[gnu::always_inline]] inline void transpose(const std::byte* const* data, std::size_t block, Vector (&m)[16])
{
    // Each lane's block is read as two rows of eight words, and the rows turned into columns.
    for (int half = 0; half < 2; ++half) {
        Vector r[8];
        for (std::size_t l = 0; l < kGroup; ++l)
            std::memcpy(&r[l], data[l] + block * 64 + 32 * half, sizeof r[l]); // little-endian, as MD5 is
        Vector t[8];
        for (int k = 0; k < 8; k += 2) {
            t[k] = __builtin_shuffle(r[k], r[k + 1], Vector{0, 8, 1, 9, 4, 12, 5, 13});
            t[k + 1] = __builtin_shuffle(r[k], r[k + 1], Vector{2, 10, 3, 11, 6, 14, 7, 15});
        }
        Vector u[8];
        for (int k = 0; k < 8; k += 4) {
            u[k] = __builtin_shuffle(t[k], t[k + 2], Vector{0, 1, 8, 9, 4, 5, 12, 13});
            u[k + 1] = __builtin_shuffle(t[k], t[k + 2], Vector{2, 3, 10, 11, 6, 7, 14, 15});
            u[k + 2] = __builtin_shuffle(t[k + 1], t[k + 3], Vector{0, 1, 8, 9, 4, 5, 12, 13});
            u[k + 3] = __builtin_shuffle(t[k + 1], t[k + 3], Vector{2, 3, 10, 11, 6, 7, 14, 15});
        }
        for (int k = 0; k < 4; ++k) {
            m[8 * half + k] = __builtin_shuffle(u[k], u[k + 4], Vector{0, 1, 2, 3, 8, 9, 10, 11});
            m[8 * half + k + 4] = __builtin_shuffle(u[k], u[k + 4], Vector{4, 5, 6, 7, 12, 13, 14, 15});
        }
    }
}

// Lane l of group g's vectors is stream 8g + l. Built once for each instruction set by the functions below.
[[gnu::always_inline]] inline void vectorBlocks(std::uint32_t (&words)[4][kMd5Lanes], const std::byte* const* data,
                                                std::size_t blocks)
{
    Vector a[kGroups], b[kGroups], c[kGroups], d[kGroups];
    for (std::size_t g = 0; g < kGroups; ++g) {
        std::memcpy(&a[g], words[0] + kGroup * g, sizeof a[g]);
        std::memcpy(&b[g], words[1] + kGroup * g, sizeof b[g]);
        std::memcpy(&c[g], words[2] + kGroup * g, sizeof c[g]);
        std::memcpy(&d[g], words[3] + kGroup * g, sizeof d[g]);
    }
    for (std::size_t block = 0; block < blocks; ++block) {
        Vector m[kGroups][16];
        Vector a0[kGroups], b0[kGroups], c0[kGroups], d0[kGroups];
        for (std::size_t g = 0; g < kGroups; ++g) {
            transpose(data + kGroup * g, block, m[g]);
            a0[g] = a[g];
            b0[g] = b[g];
            c0[g] = c[g];
            d0[g] = d[g];
        }
        PARVIX_UNROLL_STEPS
        for (int i = 0; i < 64; ++i) {
            for (std::size_t g = 0; g < kGroups; ++g)
                md5Step(i, a[g], b[g], c[g], d[g], m[g][messageWord(i)]);
        }
        for (std::size_t g = 0; g < kGroups; ++g) {
            a[g] += a0[g];
            b[g] += b0[g];
            c[g] += c0[g];
            d[g] += d0[g];
        }
    }
    for (std::size_t g = 0; g < kGroups; ++g) {
        std::memcpy(words[0] + kGroup * g, &a[g], sizeof a[g]);
        std::memcpy(words[1] + kGroup * g, &b[g], sizeof b[g]);
        std::memcpy(words[2] + kGroup * g, &c[g], sizeof c[g]);
        std::memcpy(words[3] + kGroup * g, &d[g], sizeof d[g]);
    }
}

[[gnu::target("avx2")]] void blocksAvx2(std::uint32_t (&words)[4][kMd5Lanes], const std::byte* const* data,
                                        std::size_t blocks)
{
    vectorBlocks(words, data, blocks);
}

[[gnu::target("avx2,avx512f,avx512vl")]] void blocksAvx512(std::uint32_t (&words)[4][kMd5Lanes],
                                                           const std::byte* const* data, std::size_t blocks)
{
    vectorBlocks(words, data, blocks);
}

using VectorBlocks = void (*)(std::uint32_t (&)[4][kMd5Lanes], const std::byte* const*, std::size_t);

VectorBlocks vectorUnit()
{
    static const VectorBlocks unit = []() -> VectorBlocks {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"))
            return blocksAvx512;
        if (__builtin_cpu_supports("avx2"))
            return blocksAvx2;
        return nullptr;
    }();
    return unit;
}

#endif

} // namespace

void Md5Lane::update(const std::byte* bytes, std::size_t size)
{
    std::size_t held = m_length % 64;
    m_length += size;
    if (held > 0) {
        const std::size_t step = std::min(size, 64 - held);
        std::memcpy(m_tail.data() + held, bytes, step);
        bytes += step;
        size -= step;
        if (held + step < 64)
            return;
        compress(m_words, m_tail.data());
    }
    for (; size >= 64; bytes += 64, size -= 64)
        compress(m_words, bytes);
    std::memcpy(m_tail.data(), bytes, size);
}

Md5Hash Md5Lane::digest() const
{
    Md5Lane end = *this;
    std::byte padding[72] = {std::byte{0x80}};
    const std::uint64_t bits = m_length * 8;
    end.update(padding, 1 + (119 - m_length % 64) % 64);
    for (int i = 0; i < 8; ++i)
        padding[i] = static_cast<std::byte>(bits >> (8 * i));
    end.update(padding, 8);
    Md5Hash hash;
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 4; ++i)
            hash[static_cast<std::size_t>(4 * k + i)] = static_cast<std::uint8_t>(end.m_words[k] >> (8 * i));
    }
    return hash;
}

std::size_t md5LaneCount()
{
#ifdef PARVIX_MD5_VECTORS
    return vectorUnit() ? kMd5Lanes : 1;
#else
    return 1;
#endif
}

void md5Blocks(Md5Lane* const* lanes, const std::byte* const* data, std::size_t count, std::size_t blocks)
{
#ifdef PARVIX_MD5_VECTORS
    if (const VectorBlocks unit = vectorUnit(); unit && count > 1) {
        std::uint32_t words[4][kMd5Lanes];
        const std::byte* from[kMd5Lanes];
        // Lanes left over run over the first stream's bytes, and their results are dropped.
        for (std::size_t l = 0; l < kMd5Lanes; ++l) {
            const std::size_t lane = l < count ? l : 0;
            from[l] = data[lane];
            for (int k = 0; k < 4; ++k)
                words[k][l] = lanes[lane]->m_words[static_cast<std::size_t>(k)];
        }
        unit(words, from, blocks);
        for (std::size_t l = 0; l < count; ++l) {
            for (int k = 0; k < 4; ++k)
                lanes[l]->m_words[static_cast<std::size_t>(k)] = words[k][l];
            lanes[l]->m_length += blocks * 64;
        }
        return;
    }
#endif
    for (std::size_t l = 0; l < count; ++l) {
        for (std::size_t block = 0; block < blocks; ++block)
            compress(lanes[l]->m_words, data[l] + block * 64);
        lanes[l]->m_length += blocks * 64;
    }
}

} // namespace parvix::par2
