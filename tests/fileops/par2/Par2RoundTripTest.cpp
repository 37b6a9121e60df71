#include "Par2TestSupport.h"
#include "TestPaths.h"

#include "par2/Par2Reader.h"
#include "par2/Par2Set.h"
#include "par2/Par2Writer.h"
#include "par2/RecoveryEncoder.h"
#include "par2/SetAssembler.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace parvix::par2;
using namespace parvix::test::par2;

namespace {

struct Written
{
    Par2Set set;
    std::vector<std::string> recovery; // by exponent
    std::string index;
    std::string volume;
};

// A set of three files (one empty) with `count` recovery slices, written as an index and one volume.
Written writeSet(std::uint64_t sliceSize, std::uint32_t count)
{
    const std::map<std::string, std::string> files = {
        {"report$txt.001", parvix::test::patternBytes(9000, 1)},
        {"report$txt.002", parvix::test::patternBytes(7001, 2)},
        {"sub/empty", ""},
    };
    Written out;
    out.set = setOfFiles(sliceSize, files);
    const RecoveryEncoder encoder = encodeSet(out.set, files, count);
    for (std::uint32_t k = 0; k < count; ++k)
        out.recovery.push_back(textOf(encoder.slice(k).data(), encoder.slice(k).size()));
    const std::vector<std::byte> index = criticalPackets(out.set);
    out.index = textOf(index.data(), index.size());
    out.volume = volumeOf(out.set, encoder);
    return out;
}

// How many bytes reading the file takes.
std::uint64_t bytesRead(const std::string& file)
{
    const ReadAt reader = readerOf(file);
    std::uint64_t total = 0;
    readPar2File(
        [&](std::uint64_t offset, std::byte* buffer, std::size_t size) {
            const std::size_t got = reader(offset, buffer, size);
            total += got;
            return got;
        },
        file.size());
    return total;
}

SetAssembler::Result assemble(const std::vector<std::string>& files)
{
    SetAssembler assembler;
    for (std::size_t i = 0; i < files.size(); ++i)
        assembler.add(readContents(files[i]), i);
    return assembler.finish();
}

} // namespace

TEST(Par2RoundTrip, IndexAndVolumeReadBackAsWritten)
{
    // One slice for each file, as the cut makes them; and several slices for each file with a short last one.
    // And a volume larger than the reader's window.
    for (const SetShape c : {SetShape{9000, 2}, SetShape{1024, 3}, SetShape{9000, 130}}) {
        SCOPED_TRACE(testing::Message() << "slices of " << c.sliceSize);
        Written written = writeSet(c.sliceSize, c.count);
        written.set.creator = std::string(kCreator);

        const Par2FileContents index = readContents(written.index);
        EXPECT_EQ(index.damagedPackets, 0u);
        EXPECT_EQ(index.creators.size(), 1u);
        EXPECT_TRUE(index.recoverySlices.empty());
        const SetAssembler::Result fromIndex = assemble({written.index});
        ASSERT_EQ(fromIndex.problem, SetProblem::None);
        EXPECT_EQ(fromIndex.set, written.set);

        const SetAssembler::Result fromVolume = assemble({written.volume});
        ASSERT_EQ(fromVolume.problem, SetProblem::None);
        EXPECT_EQ(fromVolume.set, written.set);
        ASSERT_EQ(fromVolume.recoverySlices.size(), c.count);
        for (std::uint32_t k = 0; k < c.count; ++k) {
            const RecoverySliceSource& slice = fromVolume.recoverySlices[k];
            EXPECT_EQ(slice.exponent, k);
            EXPECT_EQ(written.volume.substr(slice.dataOffset, c.sliceSize), written.recovery[k]) << "exponent " << k;
        }
        // Every byte is read once, however small the packets, but for a packet's start that straddles
        // the end of the reader's window.
        EXPECT_EQ(bytesRead(written.index), written.index.size());
        EXPECT_LE(bytesRead(written.volume), written.volume.size() + 4096);
    }
}

TEST(Par2RoundTrip, DamagedAndForeignBytesAreSkippedAndTheRestIsFound)
{
    const Written written = writeSet(1024, 2);
    const std::vector<std::byte> description = fileDescriptionPacket(written.set, written.set.files[0]);
    // Junk with a false start of a packet ahead of the volume, and one byte changed in a file description.
    const std::string junk = std::string("PAR2\0PKT", 8) + std::string(8, '\xFF') + "junk";
    std::string volume = junk + written.volume;
    const auto where = volume.find(textOf(description.data(), description.size()));
    ASSERT_NE(where, std::string::npos);
    volume[where + 100] = static_cast<char>(volume[where + 100] ^ 0x20);

    const Par2FileContents contents = readContents(volume);
    EXPECT_EQ(contents.damagedPackets, 2u);
    EXPECT_EQ(contents.recoverySlices.size(), 2u);
    EXPECT_EQ(assemble({volume}).problem, SetProblem::MissingFileDescription);

    // The index holds the description the volume lost.
    const SetAssembler::Result both = assemble({written.index, volume});
    ASSERT_EQ(both.problem, SetProblem::None);
    ASSERT_EQ(both.recoverySlices.size(), 2u);
    EXPECT_EQ(both.recoverySlices[1].source, 1u);
    EXPECT_EQ(volume.substr(both.recoverySlices[1].dataOffset, 1024), written.recovery[1]);

    // A file cut short stops the reading there, without a false packet.
    const std::string cut = written.volume.substr(0, written.volume.size() - 10);
    const Par2FileContents shortened = readContents(cut);
    EXPECT_EQ(shortened.recoverySlices.size(), 1u);
}

TEST(Par2RoundTrip, PacketsOfAnotherSetAreRefused)
{
    const Written one = writeSet(1024, 1);
    const Written other = writeSet(2048, 1);
    EXPECT_EQ(assemble({one.index, other.volume}).problem, SetProblem::SeveralSets);
}
