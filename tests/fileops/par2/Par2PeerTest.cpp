// Our sets against par2, where it is installed: it must accept and use ours, and we must read and use its own.
#include "Par2TestSupport.h"
#include "TempDir.h"
#include "TestPaths.h"

#include "par2/Par2Set.h"
#include "par2/Par2Writer.h"
#include "par2/RecoveryEncoder.h"
#include "par2/RepairDecoder.h"
#include "par2/SetAssembler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace parvix::par2;
using namespace parvix::test::par2;
using parvix::test::readFile;
using parvix::test::writeFile;

namespace {

bool par2Installed()
{
#ifdef _WIN32
    return false;
#else
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        std::error_code error;
        if (end > start && std::filesystem::exists(folders.substr(start, end - start) + "/par2", error))
            return true;
        start = end + 1;
    }
    return false;
#endif
}

// par2 run in a folder, quietly; its exit status.
int par2(const parvix::test::TempDir& dir, const std::string& arguments)
{
#ifdef _WIN32
    (void)dir;
    (void)arguments;
    return -1;
#else
    const std::string command = "cd '" + dir.path() + "' && par2 " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

const std::map<std::string, std::string>& originals()
{
    static const std::map<std::string, std::string> files = {
        {"a.bin", parvix::test::patternBytes(30000, 21)},
        {"b.bin", parvix::test::patternBytes(25001, 22)},
        {"c.bin", parvix::test::patternBytes(4099, 23)},
    };
    return files;
}

void flipByte(const std::string& path, std::size_t at)
{
    std::string bytes = readFile(path);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    writeFile(path, bytes);
}

// Repairs the files of a set in the folder as a join would in one pass: every slice that checks is added to
// the sums as it passes, the others are rebuilt from `offered` recovery slices and written back. False when
// the recovery slices cannot rebuild them.
bool repairInOnePass(const parvix::test::TempDir& dir, const Par2Set& set,
                     const std::map<std::uint32_t, std::string>& recovery, std::size_t offered)
{
    std::vector<std::uint32_t> exponents;
    for (const auto& entry : recovery) {
        if (exponents.size() < offered)
            exponents.push_back(entry.first);
    }
    RepairDecoder decoder(set.sliceSize, exponents);
    for (std::size_t k = 0; k < exponents.size(); ++k)
        decoder.addRecovery(k, 0, bytesOf(recovery.at(exponents[k])), set.sliceSize);

    struct Missing
    {
        std::size_t file;
        std::size_t slice;
    };
    std::vector<Missing> missing;
    std::vector<std::uint16_t> constants;
    std::vector<std::string> contents;
    for (std::size_t f = 0; f < set.files.size(); ++f) {
        const InputFile& file = set.files[f];
        const std::string path = dir.file(file.name);
        const std::string bytes = parvix::test::fileExists(path) ? readFile(path) : std::string();
        const InputFile seen = hashFile(file.name, bytes, set.sliceSize);
        for (std::size_t s = 0; s < file.slices.size(); ++s) {
            const std::uint16_t constant = inputSliceConstant(set.firstSlice(f) + static_cast<std::uint32_t>(s));
            if (s < seen.slices.size() && seen.slices[s] == file.slices[s]) {
                const std::string slice = bytes.substr(s * set.sliceSize, set.sliceSize);
                decoder.addInput(constant, 0, bytesOf(slice), slice.size());
            } else {
                missing.push_back({f, s});
                constants.push_back(constant);
            }
        }
        contents.push_back(bytes);
    }
    if (!decoder.solve(constants))
        return false;
    decoder.rebuild();
    for (std::size_t r = 0; r < missing.size(); ++r) {
        const InputFile& file = set.files[missing[r].file];
        std::string& bytes = contents[missing[r].file];
        bytes.resize(file.length, '\0');
        const std::uint64_t at = missing[r].slice * set.sliceSize;
        const auto size = static_cast<std::size_t>(std::min(set.sliceSize, file.length - at));
        bytes.replace(at, size, textOf(decoder.rebuilt(r).data(), size));
    }
    for (std::size_t f = 0; f < set.files.size(); ++f)
        writeFile(dir.file(set.files[f].name), contents[f]);
    return true;
}

class Par2Peer : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!par2Installed())
            GTEST_SKIP() << "par2 is not installed";
        for (const auto& [name, bytes] : originals())
            writeFile(m_dir.file(name), bytes);
    }

    void expectOriginals()
    {
        for (const auto& [name, bytes] : originals())
            EXPECT_EQ(parvix::test::firstDifference(readFile(m_dir.file(name)), bytes), std::string::npos) << name;
    }

    parvix::test::TempDir m_dir;
};

} // namespace

TEST_F(Par2Peer, VerifiesAndRepairsFromOurIndexAndVolume)
{
    // One slice for each file as the cut makes them (the longest file rounded up to 4); and 4 KiB slices.
    for (const SetShape c : {SetShape{30000, 2}, SetShape{4096, 8}}) {
        SCOPED_TRACE(testing::Message() << "slices of " << c.sliceSize);
        const Par2Set set = setOfFiles(c.sliceSize, originals());
        const std::vector<std::byte> index = criticalPackets(set);
        writeFile(m_dir.file(indexFileName("set")), textOf(index.data(), index.size()));
        writeFile(m_dir.file(recoveryVolumeName("set", 0, c.count)),
                  volumeOf(set, encodeSet(set, originals(), c.count)));

        EXPECT_EQ(par2(m_dir, "verify -q set.par2"), 0);
        std::filesystem::remove(m_dir.file("b.bin"));
        flipByte(m_dir.file("a.bin"), 12345);
        EXPECT_EQ(par2(m_dir, "repair -q set.par2"), 0);
        expectOriginals();
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
            if (originals().count(entry.path().filename().string()) == 0)
                std::filesystem::remove(entry.path());
        }
    }
}

TEST_F(Par2Peer, ItsSetIsReadAndRepairedHereUnlessOneDamageTooMany)
{
    // 4 KiB slices: several for each file, and a short last one in each.
    ASSERT_EQ(par2(m_dir, "create -q -s4096 -c9 -n1 set.par2 a.bin b.bin c.bin"), 0);
    SetAssembler assembler;
    std::vector<std::string> par2Files;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
        if (entry.path().extension() == ".par2") {
            par2Files.push_back(readFile(entry.path().string()));
            assembler.add(readContents(par2Files.back()), par2Files.size() - 1);
        }
    }
    ASSERT_EQ(par2Files.size(), 2u);
    SetAssembler::Result result = assembler.finish();
    ASSERT_EQ(result.problem, SetProblem::None);
    ASSERT_EQ(result.recoverySlices.size(), 9u);

    // The same files make the same set here: File IDs, their order, the set ID and every checksum.
    Par2Set ours = setOfFiles(4096, originals());
    ours.creator = result.set.creator;
    EXPECT_EQ(result.set, ours);

    std::map<std::uint32_t, std::string> recovery;
    for (const RecoverySliceSource& slice : result.recoverySlices)
        recovery[slice.exponent] = par2Files[slice.source].substr(slice.dataOffset, 4096);

    // b.bin gone (7 slices) and one slice of c.bin damaged: 8 unknowns.
    std::filesystem::remove(m_dir.file("b.bin"));
    flipByte(m_dir.file("c.bin"), 4098);
    EXPECT_FALSE(repairInOnePass(m_dir, result.set, recovery, 7));
    EXPECT_FALSE(parvix::test::fileExists(m_dir.file("b.bin")));
    ASSERT_TRUE(repairInOnePass(m_dir, result.set, recovery, 9));
    expectOriginals();
}
