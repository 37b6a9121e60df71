#pragma once

#include <QTabWidget>

namespace parvix {

// The tab control. The design places the pages' controls in coordinates of the whole control (the row
// of tabs lies inside its top edge); placePages() moves them into the pages' own. The row of tabs is
// kept low enough that controls placed just below it on a page are not cut off.
//
// A page change never moves the keyboard focus into the page entered: when the page left had the
// focus, the focus goes to the row of tabs, where the change was made.
class TabControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    // Once every page is added: moves each page's controls below the row of tabs, and gives the pages
    // the window's face colour, on which the About page's white line draws an etch.
    void placePages();

private:
    void keepFocusOffPages();
};

} // namespace parvix
