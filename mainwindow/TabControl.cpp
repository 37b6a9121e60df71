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
    auto* style = new TabRowStyle;
    style->setParent(this);
    setStyle(style);
    tabBar()->setStyle(style);
}

QPoint TabControl::pageOrigin() const
{
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}

} // namespace parvix
