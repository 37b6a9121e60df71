#include "Texts.h"

namespace parvix {

std::string replaceQuestionText(const std::string& path)
{
    return "The file  " + path + "  has already existed，Do you want to replace？";
}

std::string notACheckFileText(const std::string& checkName)
{
    return checkName + " is not a check file，the cutted files are not checked";
}

std::string totalDiffersText(std::int64_t total, const std::string& checkName, std::int64_t size)
{
    return "The cutted files have " + std::to_string(total) + " bytes, but " + checkName + " says " +
           std::to_string(size);
}

} // namespace parvix
