#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

class QKeyEvent;

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

// Grows `control` towards its size hint, never below its design size nor beyond `limit`, where a
// substitute font is wider or taller than the design's: its text is then not cut off.
void growToContents(QWidget* control, QSize limit = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

// The key that the inputs take for their character code 13: Enter or Return, alone or with Shift.
// With Ctrl it types a line feed and with Alt it is no character at all, so neither counts.
bool isEnterKey(const QKeyEvent& key);

} // namespace parvix
