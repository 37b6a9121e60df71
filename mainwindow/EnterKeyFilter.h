#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace parvix {

// Enter in the inputs it watches starts a page's main action: the cut in Text1, Text2, Text3, on
// Option1 and on Check1, the join in Text4 and List1. The key still reaches the input.
class EnterKeyFilter : public QObject
{
    Q_OBJECT

public:
    // Watches `inputs`; owned by `parent`.
    EnterKeyFilter(const QList<QWidget*>& inputs, QObject* parent);

    // The key the inputs take for their character code 13: Enter or Return, alone or with Shift. With
    // Ctrl it types a line feed and with Alt it is no character at all, so neither counts.
    static bool isEnterKey(const QKeyEvent& key);

signals:
    void entered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace parvix
