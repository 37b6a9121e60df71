#include "MessageBox.h"

#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace parvix {

namespace {

// The toolkit breaks any line of a box wider than 500 pixels, which would cut "…in the destination
// director" in two: the lines are kept whole as long as the box still fits on the screen.
class WholeLinesMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
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
        if (!event->spontaneous() && !testAttribute(Qt::WA_Moved))
            adjustPosition(parentWidget());
    }
};

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
    switch (request.style) {
    case BoxStyle::Warning:
        box->setIcon(QMessageBox::Warning);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case BoxStyle::Notice:
        box->setIcon(QMessageBox::Information);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case BoxStyle::DiskError:
        box->setIcon(QMessageBox::Critical);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case BoxStyle::Confirmation:
        box->setIcon(QMessageBox::NoIcon);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    case BoxStyle::Question:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    case BoxStyle::ReplaceQuestion:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
        break;
    }
    if (box->standardButtons() == QMessageBox::Ok)
        box->setDefaultButton(QMessageBox::Ok);
    else
        box->setEscapeButton(QMessageBox::No); // closing a question counts as No
    return box;
}

Button QtMessageBoxPresenter::present(QWidget* parent, const MessageBoxRequest& request)
{
    const auto box = makeMessageBox(parent, request);
    const int answer = box->exec();
    if (answer == QMessageBox::Yes)
        return Button::Yes;
    if (answer == QMessageBox::No)
        return Button::No;
    return Button::Ok;
}

} // namespace parvix
