#include "SelectionKeepingEdit.h"

#include <QEvent>
#include <limits>

namespace parvix {

SelectionKeepingEdit::SelectionKeepingEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
}

bool SelectionKeepingEdit::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        return QWidget::event(event);
    return QLineEdit::event(event);
}

void SelectionKeepingEdit::focusOutEvent(QFocusEvent* event)
{
    const int start = selectionStart();
    const int length = static_cast<int>(selectedText().size());
    const bool caretAtStart = cursorPosition() == start;
    QLineEdit::focusOutEvent(event);
    if (start < 0 || hasSelectedText())
        return;
    // Selected again from the end the caret was at.
    if (caretAtStart)
        setSelection(start + length, -length);
    else
        setSelection(start, length);
}

} // namespace parvix
