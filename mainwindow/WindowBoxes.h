#pragma once

#include "MessageBox.h"
#include "WindowQuestions.h"

class QWidget;

namespace parvix {

class JoinList;
class ProgressDisplay;

// The window's one way to show a message box: the engines' boxes, the directory chooser's and the
// question before a stop all come here, and go to the presenter that tests replace. A box stands over
// the window, shows the join list as it is, and takes the arrow pointer even while the hourglass is up.
class WindowBoxes : public Questions
{
public:
    WindowBoxes(QWidget& window, ProgressDisplay& progress, JoinList& joinList);

    // `presenter` is not owned; nullptr brings back the real boxes.
    void setPresenter(MessageBoxPresenter* presenter) { m_presenter = presenter; }

    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;
    // Closes the box shown now, as No.
    void dismiss();

private:
    MessageBoxPresenter& presenter();

    QWidget& m_window;
    ProgressDisplay& m_progress;
    JoinList& m_joinList;
    MessageBoxPresenter* m_presenter = nullptr;
    QtMessageBoxPresenter m_realBoxes;
};

} // namespace parvix
