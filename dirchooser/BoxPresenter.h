#pragma once

#include "WindowRequests.h"

#include <string>

namespace parvix {

// Shows a modal message box and returns the button pressed. The chooser shows its boxes only through
// this, so a test can answer them.
class BoxPresenter
{
public:
    virtual ~BoxPresenter() = default;

    // Line breaks in `text` are lone carriage returns.
    virtual Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) = 0;
};

} // namespace parvix
