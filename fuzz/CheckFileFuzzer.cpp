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
    // A name without the spaces that reading trims; other lines hold no key of their own, and do not
    // begin with a UTF-16 byte-order mark, which would make the whole text UTF-16.
    const std::string& name = written.fileName;
    if (!name.empty() && (name.front() == ' ' || name.back() == ' ' || name.front() == '\t' || name.back() == '\t'))
        return 0;
    if (before.find('=') != std::string::npos || after.find('=') != std::string::npos)
        return 0;
    if (before.rfind("\xFF\xFE", 0) == 0 || before.rfind("\xFE\xFF", 0) == 0)
        return 0;
    std::string text = before + "\n";
    for (const auto& line : parvix::checkFileLines(written))
        text += line + "\r\n";
    text += after;
    // Control characters of the name are written as "?", so that the name stays one line.
    parvix::CheckFile expected = written;
    for (char& c : expected.fileName) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    FUZZ_CHECK(parvix::parseCheckFile(text) == std::optional<parvix::CheckFile>(expected));
    return 0;
}
