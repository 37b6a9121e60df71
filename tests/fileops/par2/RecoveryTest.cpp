#include "Par2TestSupport.h"
#include "TestPaths.h"

#include "par2/Par2Set.h"
#include "par2/RecoveryEncoder.h"
#include "par2/RepairDecoder.h"
#include "par2/RepairMatrix.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace parvix::par2;
using namespace parvix::test::par2;

namespace {

constexpr std::size_t kSliceSize = 1000;

// Five input slices: full ones, a short one of odd length and a very short one.
std::vector<std::string> inputSlices()
{
    std::vector<std::string> slices;
    const std::size_t lengths[] = {1000, 1000, 999, 3, 1000};
    for (std::uint32_t i = 0; i < std::size(lengths); ++i)
        slices.push_back(parvix::test::patternBytes(lengths[i], 11 + i));
    return slices;
}

std::vector<std::uint16_t> constantsOf(std::size_t count)
{
    std::vector<std::uint16_t> constants;
    for (std::uint32_t i = 0; i < count; ++i)
        constants.push_back(inputSliceConstant(i));
    return constants;
}

std::string slice(const RecoveryEncoder& encoder, std::size_t k)
{
    return textOf(encoder.slice(k).data(), encoder.slice(k).size());
}

} // namespace

TEST(Par2Recovery, EncoderMatchesTheSlowSumWhateverTheChunksAndThreads)
{
    const std::vector<std::string> inputs = inputSlices();
    const std::vector<std::uint16_t> constants = constantsOf(inputs.size());
    const std::vector<std::uint32_t> exponents = {0, 1, 2, 7, 21845};

    // In chunks of 7 bytes (odd offsets, odd ends) from a buffer one byte off the alignment of the slices.
    RecoveryEncoder chunked(kSliceSize, exponents);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string shifted = "x" + inputs[i];
        for (std::size_t at = 0; at < inputs[i].size(); at += 7)
            chunked.add(constants[i], at, bytesOf(shifted) + 1 + at, std::min<std::size_t>(7, inputs[i].size() - at));
    }
    // Two threads on disjoint recovery slices, and two on the halves of every input slice (split where a
    // group of 32 bytes ends).
    RecoveryEncoder byRecovery(kSliceSize, exponents);
    RecoveryEncoder byHalves(kSliceSize, exponents);
    {
        std::vector<std::jthread> threads;
        for (const std::size_t first : {std::size_t{0}, std::size_t{2}}) {
            threads.emplace_back([&, first] {
                for (std::size_t i = 0; i < inputs.size(); ++i)
                    byRecovery.add(constants[i], 0, bytesOf(inputs[i]), inputs[i].size(), first, first == 0 ? 2 : 3);
            });
        }
        for (const std::size_t half : {std::size_t{0}, std::size_t{1}}) {
            threads.emplace_back([&, half] {
                for (std::size_t i = 0; i < inputs.size(); ++i) {
                    const std::size_t split = std::min<std::size_t>(512, inputs[i].size());
                    const std::size_t from = half == 0 ? 0 : split;
                    const std::size_t to = half == 0 ? split : inputs[i].size();
                    byHalves.add(constants[i], from, bytesOf(inputs[i]) + from, to - from);
                }
            });
        }
    }
    for (std::size_t k = 0; k < exponents.size(); ++k) {
        const std::string expected = slowRecovery(inputs, constants, exponents[k], kSliceSize);
        EXPECT_EQ(parvix::test::firstDifference(slice(chunked, k), expected), std::string::npos)
            << "exponent " << exponents[k];
        EXPECT_EQ(parvix::test::firstDifference(slice(byRecovery, k), expected), std::string::npos) << exponents[k];
        EXPECT_EQ(parvix::test::firstDifference(slice(byHalves, k), expected), std::string::npos) << exponents[k];
    }
}

TEST(Par2Recovery, DecoderRebuildsMissingAndDamagedSlicesPassingOverASingularChoice)
{
    const std::vector<std::string> inputs = inputSlices();
    const std::vector<std::uint16_t> constants = constantsOf(inputs.size());
    // Slices 0 and 2 have the constants 2^1 and 2^4: with the exponents 0 and 21845 their equations are one
    // and the same (3 × 21845 = 65535), so exponent 21845 is of no use and 1 must be taken instead.
    const std::vector<std::uint32_t> exponents = {0, 21845, 1, 3};
    std::vector<std::string> recovery;
    for (const std::uint32_t e : exponents)
        recovery.push_back(slowRecovery(inputs, constants, e, kSliceSize));

    // Slice 0 missing, slice 2 missing, slice 4 added and then found damaged.
    std::string damaged = inputs[4];
    damaged[10] = static_cast<char>(damaged[10] ^ 0x5A);
    RepairDecoder decoder(kSliceSize, exponents);
    for (std::size_t k = 0; k < exponents.size(); ++k)
        decoder.addRecovery(k, 0, bytesOf(recovery[k]), recovery[k].size());
    for (const std::size_t i : {1, 3})
        decoder.addInput(constants[i], 0, bytesOf(inputs[i]), inputs[i].size());
    decoder.addInput(constants[4], 0, bytesOf(damaged), damaged.size());

    // Five unknowns are one too many for four recovery slices; a failed solve leaves the sums as they were.
    EXPECT_FALSE(decoder.solve(constants));
    ASSERT_TRUE(decoder.solve(std::vector<std::uint16_t>{constants[0], constants[2], constants[4]}));
    {
        std::jthread first([&] { decoder.rebuild(0, 500); });
        std::jthread second([&] { decoder.rebuild(500, 500); });
    }
    auto padded = [](std::string bytes) {
        bytes.resize(kSliceSize, '\0');
        return bytes;
    };
    const auto rebuilt = [&](std::size_t r) { return textOf(decoder.rebuilt(r).data(), decoder.rebuilt(r).size()); };
    EXPECT_EQ(parvix::test::firstDifference(rebuilt(0), padded(inputs[0])), std::string::npos);
    EXPECT_EQ(parvix::test::firstDifference(rebuilt(1), padded(inputs[2])), std::string::npos);
    std::string mended = padded(damaged);
    const std::string difference = rebuilt(2);
    for (std::size_t i = 0; i < kSliceSize; ++i)
        mended[i] = static_cast<char>(mended[i] ^ difference[i]);
    EXPECT_EQ(parvix::test::firstDifference(mended, padded(inputs[4])), std::string::npos);

    const std::vector<std::uint16_t> pair = {constants[0], constants[2]};
    EXPECT_FALSE(solveRepair(pair, std::vector<std::uint32_t>{0, 21845}).has_value());
    const auto matrix = solveRepair(pair, std::vector<std::uint32_t>{0, 21845, 1});
    ASSERT_TRUE(matrix.has_value());
    EXPECT_EQ(matrix->rows, (std::vector<std::size_t>{0, 2}));
}
