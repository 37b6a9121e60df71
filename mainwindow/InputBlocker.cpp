#include "InputBlocker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace parvix {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlocker::InputBlocker(QWidget& window) : m_window(&window)
{
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    qApp->removeEventFilter(this);
}

bool InputBlocker::belongsToWindow(QObject* object) const
{
    if (m_window.isNull())
        return false;
    if (object->isWidgetType())
        return static_cast<QWidget*>(object)->window() == m_window;
    if (object->isWindowType())
        return static_cast<QWindow*>(object) == m_window->windowHandle();
    return false;
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(event->type()) || !belongsToWindow(watched))
        return QObject::eventFilter(watched, event);
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (escape || event->type() == QEvent::Close)
        emit stopWished();
    // Not accepted: a close request, for one, is refused rather than carried out.
    event->ignore();
    return true;
}

} // namespace parvix
