// The size text of "Customize": any text gives a number, and a piece size is either refused or a
// positive signed 64-bit count of bytes that is the typed kilobytes rounded.
#include "FuzzCheck.h"
#include "Naming.h"
#include "Platform.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = asText(data, size);

    const double number = parvix::readLeadingNumber(text);
    FUZZ_CHECK(!std::isnan(number));
    // Spaces inside the number are skipped, so taking them all out reads the same number.
    std::string withoutSpaces;
    for (char c : text) {
        if (c != ' ')
            withoutSpaces += c;
    }
    const double compact = parvix::readLeadingNumber(withoutSpaces);
    FUZZ_CHECK(compact == number || (compact == 0.0 && number == 0.0));

    const auto bytes = parvix::pieceSizeFromKilobytes(text);
    if (text.empty()) {
        FUZZ_CHECK(!bytes);
        return 0;
    }
    const double product = parvix::readLeadingNumber(parvix::trimSpaces(text)) * 1024.0;
    if (bytes) {
        FUZZ_CHECK(*bytes >= 1 && *bytes <= std::numeric_limits<std::int64_t>::max());
        FUZZ_CHECK(std::fabs(product - static_cast<double>(*bytes)) <= 0.5);
    } else {
        // Refused only for no number, 0 or less, less than half a byte, or too large for 64 bits.
        FUZZ_CHECK(!(product > 0.5) || product >= 9223372036854775807.5);
    }
    return 0;
}
