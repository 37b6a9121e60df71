#pragma once

#include <QLineEdit>

namespace parvix {

// A one-line text box that keeps its selection while it has no focus, as the system's text boxes do:
// the toolkit drops it whenever the focus leaves or the window is activated, which would undo a
// selection the user made, or the page-change rule's, each time a page is left or a message box closes.
// Paths can be long: it takes any length, not the toolkit's default of 32767 characters.
class SelectionKeepingEdit : public QLineEdit
{
public:
    explicit SelectionKeepingEdit(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace parvix
