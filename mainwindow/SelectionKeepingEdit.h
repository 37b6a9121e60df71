#pragma once

#include <QEvent>
#include <QLineEdit>

namespace parvix {

// A one-line text box that keeps its selection while it has no focus. The toolkit drops such a
// selection whenever the window is activated, which would undo the page-change rule's selection each
// time a message box closes.
class SelectionKeepingEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate)
            return QWidget::event(event);
        return QLineEdit::event(event);
    }
};

} // namespace parvix
