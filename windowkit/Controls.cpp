#include "Controls.h"

#include <QKeyEvent>
#include <algorithm>

namespace parvix {

void growToContents(QWidget* control, QSize limit)
{
    const QSize hint = control->sizeHint();
    const QSize design = control->size();
    control->resize(std::clamp(hint.width(), design.width(), std::max(design.width(), limit.width())),
                    std::clamp(hint.height(), design.height(), std::max(design.height(), limit.height())));
}

bool isEnterKey(const QKeyEvent& key)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.text() == QLatin1String("\r");
    const Qt::KeyboardModifiers others = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return enter && others == Qt::NoModifier;
}

} // namespace parvix
