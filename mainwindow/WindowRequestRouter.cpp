#include "WindowRequestRouter.h"

#include "Form2.h"

#include <QLineEdit>

namespace parvix {

WindowRequestRouter::WindowRequestRouter(WindowBoxes& boxes, CutPage& cutPage, JoinPage& joinPage,
                                         ProgressDisplay& progress, Form2& window)
    : m_boxes(boxes), m_cutPage(cutPage), m_joinPage(joinPage), m_progress(progress), m_window(window)
{
}

QLineEdit* WindowRequestRouter::textBox(TextBox box) const
{
    return box == TextBox::Text4 ? m_joinPage.text4() : m_cutPage.textBox(box);
}

void WindowRequestRouter::focus(TextBox box)
{
    textBox(box)->setFocus(Qt::OtherFocusReason);
}

void WindowRequestRouter::selectAll(TextBox box)
{
    QLineEdit* edit = textBox(box);
    edit->setSelection(0, static_cast<int>(edit->text().size()));
}

void WindowRequestRouter::caretToEnd(TextBox box)
{
    QLineEdit* edit = textBox(box);
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

void WindowRequestRouter::selectTab(int index)
{
    m_window.selectTab(index);
}

} // namespace parvix
