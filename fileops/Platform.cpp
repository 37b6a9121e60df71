#include "Platform.h"

namespace parvix {

std::string trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::size_t lastSeparator(std::string_view path)
{
    return path.rfind(kSeparator);
}

bool folderPart(std::string_view path, std::string& folder)
{
    const auto sep = lastSeparator(path);
    if (sep == std::string_view::npos)
        return false;
    folder.assign(path.substr(0, sep));
    if (folder.empty())
        folder.assign(1, kSeparator);
    return true;
}

} // namespace parvix
