// The piece number that "Add" reads from a name: the name of piece n reads as n whatever comes
// before its suffix, and no name crashes the reader.
#include "FuzzCheck.h"
#include "Naming.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FUZZ_CHECK(!std::isnan(parvix::pieceNumberOfName(asText(data, size))));

    FuzzedDataProvider input(data, size);
    const auto number = input.ConsumeBool()
                            ? input.ConsumeIntegralInRange<std::int64_t>(1, 40000)
                            : input.ConsumeIntegralInRange<std::int64_t>(1, std::numeric_limits<std::int64_t>::max());
    const std::string name = input.ConsumeRemainingBytesAsString() + parvix::pieceSuffix(number);
    FUZZ_CHECK(parvix::pieceNumberOfName(name) == static_cast<double>(number));
    return 0;
}
