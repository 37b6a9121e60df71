#pragma once

#include "WindowQuestions.h"

#include <QPointer>
#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace parvix {

// A message box as the user sees it: the title shown and the text with its line breaks.
struct MessageBoxRequest
{
    QString title;
    QString text;
    BoxStyle style = BoxStyle::Notice;
};

// The one way the window shows a message box. The real one shows a modal QMessageBox; tests put in one
// that records the request and answers it.
class MessageBoxPresenter
{
public:
    virtual ~MessageBoxPresenter() = default;
    // Shows the box and returns the button pressed.
    virtual Button present(QWidget* parent, const MessageBoxRequest& request) = 0;
    // Closes the box being shown, if any, as if No had been pressed: its present() then returns.
    virtual void dismiss() = 0;
};

class QtMessageBoxPresenter : public MessageBoxPresenter
{
public:
    Button present(QWidget* parent, const MessageBoxRequest& request) override;
    void dismiss() override;

private:
    QPointer<QMessageBox> m_shown;
};

// The engines' texts break lines with a lone carriage return; the toolkit breaks them with a line feed.
QString displayText(const std::string& text);

// The box for a request: icon, buttons and default button of its style, the title, the text as plain
// text (a path holding "<" must not turn into markup), which a screen reader reads as its description.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const MessageBoxRequest& request);

} // namespace parvix
