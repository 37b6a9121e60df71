#include "Par2TestSupport.h"
#include "TestPaths.h"

#include "Crc32.h"
#include "par2/FileHasher.h"
#include "par2/Md5.h"
#include "par2/Par2Set.h"
#include "par2/Par2Writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace parvix::par2;
using namespace parvix::test::par2;

namespace {

std::string hex(const Md5Hash& hash)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : hash) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

TEST(Par2Md5, KnownDigestsAndACopyThatGoesOnAlone)
{
    EXPECT_EQ(hex(Md5::of(nullptr, 0)), "d41d8cd98f00b204e9800998ecf8427e");
    const std::string text = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(hex(Md5::of(bytesOf(text), text.size())), "9e107d9d372bb6826bd81d3542a419d6");

    Md5 md5;
    md5.update(bytesOf(text), 4);
    Md5 copy(md5);
    md5.update(bytesOf(text) + 4, text.size() - 4);
    EXPECT_EQ(hex(copy.digest()), hex(Md5::of(bytesOf(text), 4)));
    EXPECT_EQ(hex(md5.digest()), "9e107d9d372bb6826bd81d3542a419d6");
    // A digest starts the object afresh.
    EXPECT_EQ(hex(md5.digest()), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Par2Set, InputSliceConstantsArePowersOfTwoOfFullOrder)
{
    const std::uint16_t first[] = {2, 4, 16, 128, 256, 2048, 8192, 16384, 4107, 32856, 17132};
    for (std::uint32_t i = 0; i < std::size(first); ++i)
        EXPECT_EQ(inputSliceConstant(i), first[i]) << i;
    // The last one: the 32768th exponent not divisible by 3, 5, 17 or 257 is 65534.
    EXPECT_EQ(inputSliceConstant(kMaxInputSlices - 1), slowPower(2, 65534));
}

TEST(Par2Set, RecoveryVolumesAreNamedAsPar2NamesThem)
{
    struct Case
    {
        std::uint32_t first, count, setEnd, largest;
        const char* name;
    };
    // Names that par2 create gave with -c/-r, -f and -n/-u.
    const Case cases[] = {
        {0, 5, 5, 5, "x.vol0+5.par2"},           {0, 10, 10, 10, "x.vol00+10.par2"},
        {0, 100, 100, 100, "x.vol000+100.par2"}, {95, 10, 105, 10, "x.vol095+10.par2"},
        {63, 37, 100, 37, "x.vol063+37.par2"},   {0, 512, 1000, 512, "x.vol0000+512.par2"},
        {4, 4, 12, 4, "x.vol04+4.par2"},         {1, 9, 10, 9, "x.vol01+9.par2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recoveryVolumeName("x", c.first, c.count, c.setEnd, c.largest), c.name);
    EXPECT_EQ(recoveryVolumeName("report$txt", 0, 12), "report$txt.vol00+12.par2");
}

TEST(Par2FileHasher, ChecksumsEveryPaddedSliceWhateverTheChunksAndSideBySide)
{
    struct Case
    {
        std::size_t length;
        std::uint64_t sliceSize;
        std::size_t chunk;
    };
    const Case cases[] = {
        {0, 8, 1},
        {5, 8, 1},
        {16384 + 3, 4096, 7},
        {3 * 4096, 4096, 4096},
        {20001, 20004, 999},
        {16384, 16384, 5000},
        {50000, 16388, 65536},
        // One slice each: these are also hashed together in vector lanes.
        {63, 64, 10},
        {64, 64, 64},
        {65, 68, 33},
        {16383, 16384, 100},
        {100000, 100000, 65536},
        {1447035, 1447036, 1048576},
    };
    const auto expectDigest = [](const FileDigest& file, const std::string& bytes, std::uint64_t sliceSize) {
        EXPECT_EQ(file.length, bytes.size());
        EXPECT_EQ(hex(file.md5), hex(Md5::of(bytesOf(bytes), bytes.size())));
        EXPECT_EQ(hex(file.md5First16k), hex(Md5::of(bytesOf(bytes), std::min<std::size_t>(bytes.size(), 16384))));
        ASSERT_EQ(file.slices.size(), (bytes.size() + sliceSize - 1) / sliceSize);
        for (std::size_t s = 0; s < file.slices.size(); ++s) {
            std::string slice = bytes.substr(s * sliceSize, sliceSize);
            slice.resize(sliceSize, '\0');
            parvix::Crc32 crc;
            crc.update(bytesOf(slice), slice.size());
            EXPECT_EQ(hex(file.slices[s].md5), hex(Md5::of(bytesOf(slice), slice.size()))) << "slice " << s;
            EXPECT_EQ(file.slices[s].crc32, crc.value()) << "slice " << s;
        }
    };
    // Side by side, one slice size for all: the largest, which pads every other file.
    const std::uint64_t sliceSize = cases[std::size(cases) - 1].sliceSize;
    std::vector<std::string> contents;
    contents.reserve(std::size(cases)); // the runs point into them
    std::vector<WholeFile> wholeFiles;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes, slices of " << c.sliceSize << ", chunks of "
                                        << c.chunk);
        const std::string& bytes = contents.emplace_back(parvix::test::patternBytes(c.length, 5 + c.length % 7));
        FileHasher hasher(c.sliceSize);
        for (std::size_t at = 0; at < bytes.size(); at += c.chunk)
            hasher.update(bytesOf(bytes) + at, std::min(c.chunk, bytes.size() - at));
        expectDigest(hasher.finish(), bytes, c.sliceSize);

        // In runs of the chunk's length, so that blocks of 64 bytes straddle them.
        WholeFile& file = wholeFiles.emplace_back();
        parvix::Crc32 crc;
        crc.update(bytesOf(bytes), bytes.size());
        file.crc32 = crc.value();
        for (std::size_t at = 0; at < bytes.size(); at += c.chunk)
            file.runs.emplace_back(bytesOf(bytes) + at, std::min(c.chunk, bytes.size() - at));
    }
    // Twice over, so that there are more of them than lanes.
    for (std::size_t i = 0; i < contents.size(); ++i)
        wholeFiles.push_back(wholeFiles[i]);
    const auto digests = digestSideBySide(wholeFiles, sliceSize);
    ASSERT_EQ(digests.size(), wholeFiles.size());
    for (std::size_t i = 0; i < digests.size(); ++i) {
        const std::string& bytes = contents[i % contents.size()];
        SCOPED_TRACE(testing::Message() << "side by side, file " << i << ", " << bytes.size() << " bytes");
        expectDigest(digests[i], bytes, sliceSize);
    }
}
