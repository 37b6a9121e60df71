// The "$" derivation of the source browse: it replaces the fourth character from the end by "$" when
// the path holds a ".", keeps everything else byte for byte, and so keeps the number of characters.
#include "FuzzCheck.h"
#include "Naming.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

// Where each UTF-8 character starts; stray continuation bytes at the very start belong to the first
// character, as the derivation steps over them.
std::vector<std::size_t> characterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    return starts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view path = asText(data, size);
    const std::string base = parvix::deriveDestinationBase(path);
    const auto starts = characterStarts(path);
    FUZZ_CHECK(characterStarts(base).size() == starts.size());

    if (path.find('.') == std::string_view::npos || starts.size() < 4) {
        FUZZ_CHECK(base == path);
        return 0;
    }
    const std::size_t first = starts[starts.size() - 4];
    const std::size_t end = starts[starts.size() - 3];
    std::string expected(path.substr(0, first));
    expected += '$';
    expected += path.substr(end);
    FUZZ_CHECK(base == expected);
    return 0;
}
