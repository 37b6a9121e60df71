#pragma once

#include <QTabWidget>

namespace parvix {

// The tab control. Its pages are laid out in coordinates of the whole control (the row of tabs lies
// inside its top edge), so it tells where a page's own origin lies within it. The row of tabs is kept
// low enough that controls placed just below it on a page are not cut off.
class TabControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    // Where the pages' top-left corner lies in the control, for the control's current size, tabs and font.
    QPoint pageOrigin() const;
};

} // namespace parvix
