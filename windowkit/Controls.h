#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

class QFont;
class QLabel;
class QPushButton;

namespace parvix {

// Makes a control of kind W on `parent`, with its design name as object name (by which tests and
// tools find it) and its place in the container's pixels.
template <typename W> W* makeControl(QWidget* parent, const char* name, const QRect& place)
{
    auto* control = new W(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(place);
    return control;
}

// Gives a window of the program its title, the program icon, a fixed client size in twips, the
// title-bar buttons of `flags` (besides the system menu and the close box) and the design's default font
// rather than the desktop's, which may be another face.
void setUpWindow(QWidget& window, const QString& title, Qt::WindowFlags flags, int widthTwips, int heightTwips);

// A label with its text in `font`, grown to its text where the font is wider than the design's.
QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place, const QString& text, const QFont& font);
// A button with its caption.
QPushButton* makeButton(QWidget* parent, const char* name, const QRect& place, const QString& caption);

// Grows `control` towards its size hint, never below its design size nor beyond `limit`, where a
// substitute font is wider or taller than the design's: its text is then not cut off.
void growToContents(QWidget* control, QSize limit = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

} // namespace parvix
