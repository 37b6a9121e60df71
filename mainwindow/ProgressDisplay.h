#pragma once

#include "WindowDisplay.h"

#include <QProgressBar>

namespace parvix {

// ProgressBar1 and the window's pointer: how a cut or a join shows that it works. The operations'
// single-precision maximum and value are scaled onto the bar's steps; the hourglass is the
// application's pointer, since every window of the program is busy.
class ProgressDisplay : public QProgressBar
{
    Q_OBJECT

public:
    explicit ProgressDisplay(QWidget* parent = nullptr);
    // Gives the pointer back.
    ~ProgressDisplay() override;

    void setPointer(Pointer pointer);
    bool hourglass() const { return m_hourglass; }

    // The minimum stays 0.
    void setProgressMax(float maximum);
    void setProgressValue(float value);
    void showProgress() { show(); }
    void hideProgress() { hide(); }

private:
    bool m_hourglass = false;
    float m_maximum = 0;
    float m_value = 0;
};

} // namespace parvix
