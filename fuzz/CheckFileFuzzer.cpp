// The check file: any text reads as one or as none, never a crash; what a cut writes reads back the same,
// whatever lines come around it.
#include "CheckFile.h"
#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const auto any = parvix::parseCheckFile(asText(data, size));
    if (any)
        FUZZ_CHECK(any->size >= 0);

    FuzzedDataProvider input(data, size);
    parvix::CheckFile written;
    written.size = input.ConsumeIntegralInRange<std::int64_t>(0, INT64_MAX);
    written.crc32 = input.ConsumeIntegral<std::uint32_t>();
    const std::string before = input.ConsumeRandomLengthString(64);
    written.fileName = input.ConsumeRandomLengthString(64);
    const std::string after = input.ConsumeRemainingBytesAsString();
    // A name is one line, without the spaces that reading trims; other lines hold no key of their own.
    const std::string& name = written.fileName;
    if (name.find_first_of("\r\n") != std::string::npos ||
        (!name.empty() && (name.front() == ' ' || name.back() == ' ' || name.front() == '\t' || name.back() == '\t')))
        return 0;
    if (before.find('=') != std::string::npos || after.find('=') != std::string::npos)
        return 0;
    std::string text = before + "\n";
    for (const auto& line : parvix::checkFileLines(written))
        text += line + "\r\n";
    text += after;
    FUZZ_CHECK(parvix::parseCheckFile(text) == std::optional<parvix::CheckFile>(written));
    return 0;
}
