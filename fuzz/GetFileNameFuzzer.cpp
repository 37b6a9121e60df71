// GetFileName: what follows the last separator, the whole text without one, never a crash.
#include "FuzzCheck.h"
#include "Naming.h"
#include "Platform.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view path = asText(data, size);
    const std::string name = parvix::GetFileName(path);
    FUZZ_CHECK(name.find(parvix::kSeparator) == std::string::npos);
    FUZZ_CHECK(name.size() <= path.size());
    FUZZ_CHECK(path.substr(path.size() - name.size()) == name);
    if (name.size() < path.size())
        FUZZ_CHECK(path[path.size() - name.size() - 1] == parvix::kSeparator);
    // The name of a name is itself.
    FUZZ_CHECK(parvix::GetFileName(name) == name);
    return 0;
}
