#include "EnterKeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

namespace parvix {

EnterKeyFilter::EnterKeyFilter(const QList<QWidget*>& inputs, QObject* parent) : QObject(parent)
{
    for (QWidget* input : inputs)
        input->installEventFilter(this);
}

bool EnterKeyFilter::isEnterKey(const QKeyEvent& key)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.text() == QLatin1String("\r");
    const Qt::KeyboardModifiers others = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return enter && others == Qt::NoModifier;
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnterKey(*static_cast<QKeyEvent*>(event)))
        emit entered();
    return QObject::eventFilter(watched, event);
}

} // namespace parvix
