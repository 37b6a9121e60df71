#include "WindowBoxes.h"

#include "JoinList.h"
#include "ProgressDisplay.h"

#include <QApplication>

namespace parvix {

WindowBoxes::WindowBoxes(QWidget& window, ProgressDisplay& progress, JoinList& joinList)
    : m_window(window), m_progress(progress), m_joinList(joinList)
{
}

MessageBoxPresenter& WindowBoxes::presenter()
{
    return m_presenter != nullptr ? *m_presenter : m_realBoxes;
}

Button WindowBoxes::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    m_joinList.flush();
    const MessageBoxRequest request{QString::fromUtf8(titleText(title)), displayText(text), style};
    const bool hourglass = m_progress.hourglass();
    if (hourglass)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const Button answer = presenter().present(&m_window, request);
    if (hourglass)
        QApplication::restoreOverrideCursor();
    return answer;
}

void WindowBoxes::dismiss()
{
    presenter().dismiss();
}

} // namespace parvix
