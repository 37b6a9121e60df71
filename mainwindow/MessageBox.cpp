#include "MessageBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace parvix {

namespace {

// The toolkit breaks any line of a box wider than 500 pixels, which would cut "…in the destination
// director" in two: the lines are kept whole as long as the box still fits on the screen. The toolkit
// sizes the box again at every layout request after it is shown, so the lines are made whole again
// each time.
class WholeLinesMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override
    {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest && isVisible())
            keepLinesWhole();
        return handled;
    }

    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        keepLinesWhole();
        if (!event->spontaneous() && !testAttribute(Qt::WA_Moved))
            adjustPosition(parentWidget());
    }

private:
    void keepLinesWhole()
    {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label == nullptr || !label->wordWrap() || layout() == nullptr)
            return;
        label->setWordWrap(false);
        layout()->activate();
        const QSize whole = layout()->totalMinimumSize();
        if (whole.width() > screen()->availableGeometry().width()) {
            label->setWordWrap(true);
            return;
        }
        setFixedSize(std::max(whole.width(), width()), whole.height());
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }
};

QMessageBox::Icon iconOf(BoxStyle style)
{
    switch (style) {
    case BoxStyle::Warning:
        return QMessageBox::Warning;
    case BoxStyle::Notice:
        return QMessageBox::Information;
    case BoxStyle::DiskError:
        return QMessageBox::Critical;
    case BoxStyle::Confirmation:
        return QMessageBox::NoIcon;
    case BoxStyle::Question:
    case BoxStyle::ReplaceQuestion:
    case BoxStyle::DamagedQuestion:
        break;
    }
    return QMessageBox::Question;
}

} // namespace

QString displayText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool loneReturn =
            shown[i] == QLatin1Char('\r') && (i + 1 == shown.size() || shown[i + 1] != QLatin1Char('\n'));
        if (loneReturn)
            shown[i] = QLatin1Char('\n');
    }
    return shown;
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const MessageBoxRequest& request)
{
    auto box = std::make_unique<WholeLinesMessageBox>(parent);
    box->setWindowTitle(request.title);
    box->setTextFormat(Qt::PlainText);
    box->setText(request.text);
    box->setAccessibleDescription(request.text);
    box->setIcon(iconOf(request.style));
    if (isYesNo(request.style)) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(noIsDefault(request.style) ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No); // closing a question counts as No
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    return box;
}

Button QtMessageBoxPresenter::present(QWidget* parent, const MessageBoxRequest& request)
{
    const auto box = makeMessageBox(parent, request);
    const QPointer<QMessageBox> outer = m_shown;
    m_shown = box.get();
    const int answer = box->exec();
    m_shown = outer;
    if (answer == QMessageBox::Yes)
        return Button::Yes;
    if (answer == QMessageBox::No)
        return Button::No;
    return Button::Ok;
}

void QtMessageBoxPresenter::dismiss()
{
    if (m_shown)
        m_shown->done(QMessageBox::No);
}

} // namespace parvix
