#include "ProgressDisplay.h"

#include <QApplication>
#include <algorithm>
#include <cmath>

namespace parvix {

namespace {

// The bar counts in these steps; the operations' single-precision values are scaled to them.
constexpr int kProgressSteps = 1000;

const QString kAccessibleName = QStringLiteral("Progress");

} // namespace

ProgressDisplay::ProgressDisplay(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, kProgressSteps);
    setValue(0);
    setTextVisible(false);
    setAccessibleName(kAccessibleName);
    hide();
}

ProgressDisplay::~ProgressDisplay()
{
    setPointer(Pointer::Default);
}

void ProgressDisplay::setPointer(Pointer pointer)
{
    if (pointer == Pointer::Hourglass && !m_hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_hourglass = true;
    } else if (pointer == Pointer::Default && m_hourglass) {
        QApplication::restoreOverrideCursor();
        m_hourglass = false;
    }
}

void ProgressDisplay::setProgressMax(float maximum)
{
    m_maximum = maximum;
    setProgressValue(m_value);
}

void ProgressDisplay::setProgressValue(float value)
{
    m_value = value;
    int step = 0;
    // A maximum of 0 (a single piece) shows an empty bar rather than the toolkit's busy animation.
    if (m_maximum > 0 && std::isfinite(m_maximum) && std::isfinite(value)) {
        const double share = static_cast<double>(value) / static_cast<double>(m_maximum);
        step = static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kProgressSteps));
    }
    setValue(step);
}

} // namespace parvix
