#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace parvix {

// While it lives, the user's input to one window (clicks, keys, wheel, drops, its close box) is
// dropped, not deferred; painting, moving and the desktop's liveness checks go on. Other windows, such
// as a message box the window shows meanwhile, take input as usual.
class InputBlocker : public QObject
{
public:
    explicit InputBlocker(QWidget& window);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;

    QPointer<QWidget> m_window;
};

} // namespace parvix
