#pragma once

#include "BoxPresenter.h"

namespace parvix {

// Shows the chooser's boxes through a window's own message-box request, so the main window's boxes
// and the chooser's are answered in one place.
class WindowBoxPresenter : public BoxPresenter
{
public:
    explicit WindowBoxPresenter(WindowRequests& window) : m_window(window) {}

    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        return m_window.messageBox(text, style, title);
    }

private:
    WindowRequests& m_window;
};

} // namespace parvix
