// The "$" derivation of the source browse: the last "." of the file name becomes "$", nothing else
// changes, and the first piece's proposal gives the chosen file back.
#include "FuzzCheck.h"
#include "Naming.h"
#include "Platform.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view path = asText(data, size);
    const std::string base = parvix::deriveDestinationBase(path);
    FUZZ_CHECK(base.size() == path.size());

    const auto sep = parvix::lastSeparator(path);
    const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    const auto dot = name.rfind('.');
    std::string expected(path);
    if (dot != std::string_view::npos)
        expected[path.size() - name.size() + dot] = '$';
    FUZZ_CHECK(base == expected);

    // The name comes back, unless a "$" of its own stands after the "$" put in (or, without a ".",
    // anywhere), which the proposal would take for the extension's.
    const std::size_t after = dot == std::string_view::npos ? 0 : dot + 1;
    if (!name.empty() && name.find('$', after) == std::string_view::npos)
        FUZZ_CHECK(parvix::proposeDestination(parvix::piecePath(base, 1)) == std::string(path));
    return 0;
}
