#pragma once

#include "BoxPresenter.h"

namespace parvix {

// Real message boxes, over the active window.
class QtBoxPresenter : public BoxPresenter
{
public:
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;
};

} // namespace parvix
