#include "Controls.h"

#include "Fonts.h"
#include "Pictures.h"
#include "WindowGeometry.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace parvix {

void setUpWindow(QWidget& window, const QString& title, Qt::WindowFlags flags, int widthTwips, int heightTwips)
{
    window.setWindowTitle(title);
    window.setWindowIcon(programIcon());
    window.setWindowFlags(flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
    window.setFont(defaultFont());
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place, const QString& text, const QFont& font)
{
    auto* label = makeControl<QLabel>(parent, name, place);
    label->setText(text);
    label->setFont(font);
    growToContents(label);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& place, const QString& caption)
{
    auto* button = makeControl<QPushButton>(parent, name, place);
    button->setText(caption);
    return button;
}

void growToContents(QWidget* control, QSize limit)
{
    const QSize hint = control->sizeHint();
    const QSize design = control->size();
    control->resize(std::clamp(hint.width(), design.width(), std::max(design.width(), limit.width())),
                    std::clamp(hint.height(), design.height(), std::max(design.height(), limit.height())));
}

} // namespace parvix
