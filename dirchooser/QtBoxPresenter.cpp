#include "QtBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace parvix {

Button QtBoxPresenter::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    switch (style) {
    case BoxStyle::Warning:
        icon = QMessageBox::Warning;
        break;
    case BoxStyle::Notice:
        icon = QMessageBox::Information;
        break;
    case BoxStyle::Confirmation:
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = QMessageBox::Yes;
        break;
    case BoxStyle::Question:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = QMessageBox::Yes;
        break;
    case BoxStyle::ReplaceQuestion:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = QMessageBox::No;
        break;
    case BoxStyle::DiskError:
        icon = QMessageBox::Critical;
        break;
    }

    // Our texts break lines with a lone carriage return, which a label does not break on.
    QString shown = QString::fromUtf8(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(icon, QString::fromUtf8(titleText(title)), shown, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Button::Yes;
    case QMessageBox::No:
        return Button::No;
    default:
        return Button::Ok;
    }
}

} // namespace parvix
