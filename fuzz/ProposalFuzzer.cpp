// The destination proposal: the first piece of any base proposes the base with the last "$" of its file
// name turned into "." (or the base itself without one); any other text gives a proposal or none, never a
// crash.
#include "FuzzCheck.h"
#include "Naming.h"
#include "Platform.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    {
        const std::string_view any = asText(data, size);
        const auto proposal = parvix::proposeDestination(any);
        if (proposal) {
            // The suffix goes and at most the "$" is replaced: never longer, same start.
            FUZZ_CHECK(proposal->size() < any.size());
            // Only a "$" of the file name is replaced.
            auto dollar = any.rfind('$');
            const auto separator = any.rfind(parvix::kSeparator);
            if (dollar != std::string_view::npos && separator != std::string_view::npos && dollar < separator)
                dollar = std::string_view::npos;
            const auto keep = dollar == std::string_view::npos ? proposal->size() : dollar;
            FUZZ_CHECK(any.substr(0, keep) == std::string_view(*proposal).substr(0, keep));
        }
    }

    FuzzedDataProvider input(data, size);
    const auto number = input.ConsumeBool()
                            ? input.ConsumeIntegralInRange<std::int64_t>(1, 2000)
                            : input.ConsumeIntegralInRange<std::int64_t>(1, std::numeric_limits<std::int64_t>::max());
    const std::string base = input.ConsumeRemainingBytesAsString();

    std::string expected = base;
    // Only a "$" of the file name stands for the dot; one in a folder name stays.
    const auto dollar = expected.rfind('$');
    const auto separator = expected.rfind(parvix::kSeparator);
    if (dollar != std::string::npos && (separator == std::string::npos || dollar > separator))
        expected[dollar] = '.';
    const auto proposal = parvix::proposeDestination(parvix::piecePath(base, number));
    FUZZ_CHECK(proposal.has_value());
    FUZZ_CHECK(*proposal == expected);
    return 0;
}
