#include "PieceSizeFrame.h"

#include "Controls.h"
#include "Fonts.h"
#include "SelectionKeepingEdit.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace parvix {

namespace {

// The caption alone says little to a screen reader user: the name and the tool tip say what it does.
const QString kRecoveryName = QStringLiteral("Write recovery data");
const QString kRecoveryDescription = QStringLiteral("Write recovery data for one piece in every 20");

} // namespace

PieceSizeFrame::PieceSizeFrame(QWidget* page) : QGroupBox(page)
{
    setObjectName(QStringLiteral("Frame2"));
    setGeometry(twipsRect(5640, 600, 1575, 1695));
    setTitle(QStringLiteral("Option"));
    Option1 = makeControl<QRadioButton>(this, "Option1", twipsRect(120, 240, 1095, 375));
    Option1->setText(QStringLiteral("1.44M"));
    Option1->setChecked(true);
    Option2 = makeControl<QRadioButton>(this, "Option2", twipsRect(120, 600, 1335, 375));
    Option2->setText(QStringLiteral("Customize"));
    Text3 = makeControl<SelectionKeepingEdit>(this, "Text3", twipsRect(120, 1080, 1095, 270));
    Text3->setEnabled(false);
    Text3->hide();
    Text3->setAccessibleName(QStringLiteral("Customize size in KB"));
    Label1 = makeLabel(this, "Label1", twipsRect(1245, 1080, 210, 195), QStringLiteral("KB"), songFont(9.75));
    Label1->hide();
    Check1 = makeControl<QCheckBox>(this, "Check1", twipsRect(120, 1380, 1335, 255));
    Check1->setText(QStringLiteral("Recovery"));
    Check1->setAccessibleName(kRecoveryName);
    Check1->setAccessibleDescription(kRecoveryDescription);
    Check1->setToolTip(kRecoveryDescription);

    connect(Option1, &QRadioButton::clicked, this, &PieceSizeFrame::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &PieceSizeFrame::Option2_Click);
    connect(Option1, &QRadioButton::toggled, this, &PieceSizeFrame::setOptionTabStops);
    setOptionTabStops();
}

bool PieceSizeFrame::floppySize() const
{
    return Option1->isChecked();
}

bool PieceSizeFrame::recovery() const
{
    return Check1->isChecked();
}

QList<QWidget*> PieceSizeFrame::enterInputs() const
{
    return {Text3, Option1, Check1};
}

void PieceSizeFrame::Option1_Click()
{
    if (Option1->isChecked())
        showSizeBox(false);
}

void PieceSizeFrame::Option2_Click()
{
    if (Option2->isChecked())
        showSizeBox(true);
}

void PieceSizeFrame::showSizeBox(bool shown)
{
    Text3->setEnabled(shown);
    Text3->setVisible(shown);
    Label1->setVisible(shown);
    if (!shown)
        return;
    Text3->setFocus(Qt::OtherFocusReason);
    // Chosen with an arrow key, the button takes the focus back once its click is handled: hand it on
    // again after that.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (Option2->hasFocus() && Text3->isEnabled())
                Text3->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

void PieceSizeFrame::setOptionTabStops()
{
    // The two option buttons are one stop for the Tab key: the selected one.
    Option1->setFocusPolicy(Option1->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    Option2->setFocusPolicy(Option2->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace parvix
