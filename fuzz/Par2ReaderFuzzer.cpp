// The reader of PAR2 files, which come from strangers: any bytes give some packets or none, never a crash,
// never a read outside the file, and never a large allocation because a length field asks for one. A set
// that the packets make writes out and reads back the same.
#include "FuzzCheck.h"
#include "par2/Par2Reader.h"
#include "par2/Par2Writer.h"
#include "par2/SetAssembler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The largest single allocation allowed, in MiB: room for the reader's window and the largest packet body it
// keeps. libFuzzer's inputs are far smaller, so anything above comes from a length field.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static std::vector<char*> arguments(*argv, *argv + *argc);
    static char limit[] = "-malloc_limit_mb=8";
    arguments.insert(arguments.begin() + 1, limit);
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
    return 0;
}

namespace {

using namespace parvix::par2;

ReadAt readerOf(const unsigned char* data, std::size_t size)
{
    return [data, size](std::uint64_t offset, std::byte* buffer, std::size_t count) {
        FUZZ_CHECK(offset <= size && count <= size - offset);
        std::memcpy(buffer, data + offset, count);
        return count;
    };
}

SetAssembler::Result assemble(const Par2FileContents& contents)
{
    SetAssembler assembler;
    assembler.add(contents, 0);
    return assembler.finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    for (const bool checkRecoveryData : {true, false}) {
        const Par2FileContents contents = readPar2File(readerOf(data, size), size, {checkRecoveryData});
        FUZZ_CHECK(!contents.readFailed);
        for (const RecoverySlicePacket& slice : contents.recoverySlices)
            FUZZ_CHECK(slice.dataOffset <= size && slice.dataSize <= size - slice.dataOffset);

        const SetAssembler::Result result = assemble(contents);
        if (result.problem != SetProblem::None)
            continue;
        FUZZ_CHECK(result.set.sliceCount() <= kMaxInputSlices);
        for (const RecoverySliceSource& slice : result.recoverySlices)
            FUZZ_CHECK(slice.dataOffset + result.set.sliceSize <= size);

        const std::vector<std::byte> written = criticalPackets(result.set, result.set.creator);
        const auto* bytes = reinterpret_cast<const unsigned char*>(written.data());
        const SetAssembler::Result again = assemble(readPar2File(readerOf(bytes, written.size()), written.size()));
        FUZZ_CHECK(again.problem == SetProblem::None);
        FUZZ_CHECK(again.set == result.set);
    }
    return 0;
}
