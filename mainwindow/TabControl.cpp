#include "TabControl.h"

#include <QProxyStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace parvix {

namespace {

// A row of tabs 22 pixels high: the pages' controls start 24 pixels below the control's top.
constexpr int kTabRowHeight = 22;

class TabRowStyle : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contentsSize,
                           const QWidget* widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
        if (type == CT_TabBarTab)
            size.setHeight(kTabRowHeight);
        return size;
    }
};

} // namespace

TabControl::TabControl(QWidget* parent) : QTabWidget(parent)
{
    // Told of a change before the control itself, which would otherwise hand the focus to the page
    // entered.
    auto* bar = new QTabBar;
    connect(bar, &QTabBar::currentChanged, this, &TabControl::keepFocusOffPages);
    setTabBar(bar);
    auto* style = new TabRowStyle;
    style->setParent(this);
    setStyle(style);
    bar->setStyle(style);
}

void TabControl::placePages()
{
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    const QPoint origin = style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
    for (int i = 0; i < count(); ++i) {
        QWidget* page = widget(i);
        page->setAutoFillBackground(true);
        page->setBackgroundRole(QPalette::Window);
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->move(control->pos() - origin);
    }
}

void TabControl::keepFocusOffPages()
{
    // The window's own focus widget: it may be inactive for a moment, while a message box closes.
    QWidget* focused = window()->focusWidget();
    QWidget* leaving = currentWidget();
    if (focused != nullptr && leaving != nullptr && leaving->isAncestorOf(focused))
        tabBar()->setFocus(Qt::OtherFocusReason);
}

} // namespace parvix
