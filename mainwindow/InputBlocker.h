#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace parvix {

// The window's input guard. While it lives, the user's input to one window (clicks, keys, wheel, drops,
// its close box) is dropped, not deferred; painting, moving and the desktop's liveness checks go on.
// Other windows, such as a message box the window shows meanwhile, take input as usual. Of what it
// drops, Escape and the close box are the user's ways to ask for a stop: it reports them.
class InputBlocker : public QObject
{
    Q_OBJECT

public:
    explicit InputBlocker(QWidget& window);
    ~InputBlocker() override;

signals:
    void stopWished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;

    QPointer<QWidget> m_window;
};

} // namespace parvix
