#pragma once

#include "CutPage.h"
#include "JoinPage.h"
#include "ProgressDisplay.h"
#include "WindowBoxes.h"
#include "WindowRequests.h"

namespace parvix {

class Form2;

// The window as the engines see it: each request goes to the part of the window it is about — the
// boxes, the text boxes of the two pages, the join list, the progress bar and pointer, the page in
// front. Used on the window's thread only.
class WindowRequestRouter : public WindowRequests
{
public:
    WindowRequestRouter(WindowBoxes& boxes, CutPage& cutPage, JoinPage& joinPage, ProgressDisplay& progress,
                        Form2& window);

    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        return m_boxes.messageBox(text, style, title);
    }

    void focus(TextBox box) override;
    void selectAll(TextBox box) override;
    void caretToEnd(TextBox box) override;

    void clearJoinList() override { m_joinPage.clearJoinList(); }
    void appendJoinList(const std::string& entry) override { m_joinPage.appendJoinList(entry); }
    std::int64_t joinListCount() override { return m_joinPage.joinListCount(); }
    std::string joinListEntry(std::int64_t index) override { return m_joinPage.joinListEntry(index); }
    void setText4(const std::string& text) override { m_joinPage.setText4(text); }

    void setPointer(Pointer pointer) override { m_progress.setPointer(pointer); }
    void setProgressMax(float maximum) override { m_progress.setProgressMax(maximum); }
    void setProgressValue(float value) override { m_progress.setProgressValue(value); }
    void showProgress() override { m_progress.showProgress(); }
    void hideProgress() override { m_progress.hideProgress(); }

    void selectTab(int index) override;

private:
    QLineEdit* textBox(TextBox box) const;

    WindowBoxes& m_boxes;
    CutPage& m_cutPage;
    JoinPage& m_joinPage;
    ProgressDisplay& m_progress;
    Form2& m_window;
};

} // namespace parvix
