#include "Par2TestSupport.h"

#include "par2/Galois16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using parvix::par2::Galois16;
using namespace parvix::test::par2;

namespace {

std::vector<std::uint16_t> sampleValues()
{
    std::vector<std::uint16_t> values{0, 1, 2, 3, 0x8000, 0x100B, 0x8005, 0xFFFF, 0x1234};
    std::mt19937 random(7);
    while (values.size() < 80)
        values.push_back(static_cast<std::uint16_t>(random()));
    return values;
}

} // namespace

TEST(Galois16, UsesThePolynomialOfTheFormat)
{
    // x^15 · x = x^16, which the polynomial 0x1100B reduces to x^12 + x^3 + x + 1.
    EXPECT_EQ(Galois16::multiply(0x8000, 2), 0x100B);
}

TEST(Galois16, ProductsQuotientsInversesAndPowersMatchTheSlowField)
{
    const std::vector<std::uint16_t> values = sampleValues();
    for (const std::uint16_t a : values) {
        for (const std::uint16_t b : values) {
            ASSERT_EQ(Galois16::multiply(a, b), slowMultiply(a, b)) << a << " × " << b;
            if (b != 0) {
                ASSERT_EQ(slowMultiply(Galois16::divide(a, b), b), a) << a << " / " << b;
            }
        }
        if (a != 0) {
            EXPECT_EQ(slowMultiply(a, Galois16::inverse(a)), 1) << a;
        }
    }
    for (const std::uint16_t a : {std::uint16_t{0}, std::uint16_t{2}, std::uint16_t{3}, std::uint16_t{0xBEEF}}) {
        // 65535 is the order of the group: a^65535 = 1 and a^65536 = a for every a but 0.
        for (const std::uint32_t e : {0u, 1u, 2u, 5u, 255u, 65534u, 65535u, 65536u, 70000u})
            EXPECT_EQ(Galois16::power(a, e), slowPower(a, e)) << a << " ^ " << e;
    }
}

TEST(Galois16, RegionMultiplyAddMatchesWordByWord)
{
    struct Case
    {
        std::size_t destShift;
        std::size_t srcShift;
        std::size_t size;
        std::uint16_t factor;
    };
    // Equal and unequal alignment, an odd destination, and more than the copy made for unequal alignment.
    const Case cases[] = {{0, 0, 4096, 0x1234}, {0, 6, 40002, 0x8001}, {2, 1, 1000, 0xFFFF},
                          {3, 5, 98, 2},        {16, 16, 2, 0x100B},   {0, 0, 64, 1}};
    std::mt19937 random(3);
    for (const Case& c : cases) {
        std::vector<std::byte> src(c.size + 32), dest(c.size + 32);
        for (auto* buffer : {&src, &dest}) {
            for (std::byte& b : *buffer)
                b = static_cast<std::byte>(random());
        }
        const std::string whole = textOf(dest.data(), dest.size());
        const std::string before = whole.substr(c.destShift, c.size);
        const std::string source = textOf(src.data() + c.srcShift, c.size);
        Galois16::multiplyAdd(dest.data() + c.destShift, src.data() + c.srcShift, c.size, c.factor);
        const std::string after = textOf(dest.data(), dest.size());
        for (std::size_t i = 0; i < c.size; i += 2) {
            const auto expected =
                static_cast<std::uint16_t>(wordAt(before, i) ^ slowMultiply(wordAt(source, i), c.factor));
            ASSERT_EQ(wordAt(after, c.destShift + i), expected)
                << "word " << i / 2 << " of " << c.size << " bytes, factor " << c.factor << ", shifts " << c.destShift
                << "/" << c.srcShift;
        }
        EXPECT_EQ(after.substr(0, c.destShift), whole.substr(0, c.destShift)) << "before the region";
        EXPECT_EQ(after.substr(c.destShift + c.size), whole.substr(c.destShift + c.size)) << "after the region";
    }
}
