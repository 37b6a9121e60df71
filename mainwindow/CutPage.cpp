#include "CutPage.h"

#include "CommonDialog.h"
#include "Controls.h"
#include "Fonts.h"
#include "Naming.h"
#include "SelectionKeepingEdit.h"
#include "WindowGeometry.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace parvix {

namespace {

const QString kFrame1 = QStringLiteral("Cut File");
const QString kLabel2 = QStringLiteral("File to be Cutted:");
const QString kBrowse = QStringLiteral("...");
const QString kLabel3 = QStringLiteral("Destination:");
const QString kFrame2 = QStringLiteral("Option");
const QString kOption1 = QStringLiteral("1.44M");
const QString kOption2 = QStringLiteral("Customize");
const QString kLabel1 = QStringLiteral("KB");
const QString kCommand3 = QStringLiteral("Cut");
const QString kDialogTitle = QString::fromUtf8("请打开一个要分割的文件");
const QString kDialogFilter = QString::fromUtf8("执行文件[*.exe]|*.exe|压缩文件[*.zip;*.arj;*.rar]|*.zip;*.rar;*.arj|"
                                                "图片文件[*.bmp,*.jpg,*.gif]|*.bmp;*.jpg;*.gif|所有文件[*.*]|*.*");
// Preselected: all files, what a user cutting a file most often wants to see.
constexpr int kAllFilesEntry = 4;

// What a screen reader calls the controls that no label names.
const QString kCommand1Name = QStringLiteral("Browse for the file to be cutted");
const QString kCommand2Name = QStringLiteral("Choose the destination directory");
const QString kText3Name = QStringLiteral("Customize size in KB");

} // namespace

CutPage::CutPage(CommonDialog& dialog) : m_dialog(dialog)
{
    setObjectName(QStringLiteral("SSTab1Page0"));
    // The dialog's settings at the window's creation; "Add" changes its filter later.
    m_dialog.setDialogTitle(kDialogTitle);
    m_dialog.setFilter(kDialogFilter);
    m_dialog.setFilterIndex(kAllFilesEntry);
    m_dialog.setInitDir(defaultInitialFolder());
    m_dialog.setFileName(QString());

    Frame1 = makeControl<QGroupBox>(this, "Frame1", twipsRect(120, 480, 5415, 2655));
    Frame1->setTitle(kFrame1);
    Frame1->setFont(tahomaFont(9));
    Label2 = makeControl<QLabel>(Frame1, "Label2", twipsRect(120, 480, 1485, 240));
    Label2->setText(kLabel2);
    Label2->setFont(tahomaFont(9.75));
    growToContents(Label2);
    Text1 = makeControl<SelectionKeepingEdit>(Frame1, "Text1", twipsRect(120, 720, 4695, 390));
    Text1->setFont(songFont(9.75));
    Label2->setBuddy(Text1);
    Command1 = makeControl<QPushButton>(Frame1, "Command1", twipsRect(4920, 720, 375, 375));
    Command1->setText(kBrowse);
    Command1->setFont(defaultFont());
    Command1->setAccessibleName(kCommand1Name);
    Label3 = makeControl<QLabel>(Frame1, "Label3", twipsRect(120, 1440, 1020, 240));
    Label3->setText(kLabel3);
    Label3->setFont(tahomaFont(9.75));
    growToContents(Label3);
    Text2 = makeControl<SelectionKeepingEdit>(Frame1, "Text2", twipsRect(120, 1680, 4695, 375));
    Text2->setFont(songFont(9.75));
    Label3->setBuddy(Text2);
    Command2 = makeControl<QPushButton>(Frame1, "Command2", twipsRect(4920, 1680, 375, 375));
    Command2->setText(kBrowse);
    Command2->setFont(defaultFont());
    Command2->setAccessibleName(kCommand2Name);

    Frame2 = makeControl<QGroupBox>(this, "Frame2", twipsRect(5640, 600, 1575, 1695));
    Frame2->setTitle(kFrame2);
    Option1 = makeControl<QRadioButton>(Frame2, "Option1", twipsRect(120, 240, 1095, 375));
    Option1->setText(kOption1);
    Option1->setChecked(true);
    Option2 = makeControl<QRadioButton>(Frame2, "Option2", twipsRect(120, 600, 1335, 375));
    Option2->setText(kOption2);
    Text3 = makeControl<SelectionKeepingEdit>(Frame2, "Text3", twipsRect(120, 1080, 1095, 270));
    Text3->setEnabled(false);
    Text3->hide();
    Text3->setAccessibleName(kText3Name);
    Label1 = makeControl<QLabel>(Frame2, "Label1", twipsRect(1245, 1080, 210, 195));
    Label1->setText(kLabel1);
    Label1->setFont(songFont(9.75));
    growToContents(Label1);
    Label1->hide();

    Command3 = makeControl<QPushButton>(this, "Command3", twipsRect(5880, 2640, 1215, 375));
    Command3->setText(kCommand3);

    connect(Command1, &QPushButton::clicked, this, &CutPage::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CutPage::directoryRequested);
    connect(Command3, &QPushButton::clicked, this, &CutPage::cutRequested);
    connect(Option1, &QRadioButton::clicked, this, &CutPage::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &CutPage::Option2_Click);
    connect(Option1, &QRadioButton::toggled, this, &CutPage::setOptionTabStops);
    setOptionTabStops();
    // Enter in these inputs starts the cut; the key still reaches the input.
    for (QWidget* input : std::initializer_list<QWidget*>{Text1, Text2, Text3, Option1})
        input->installEventFilter(this);
}

SplitInputs CutPage::inputs() const
{
    return {Text1->text().toStdString(), Text2->text().toStdString(), Option1->isChecked(),
            Text3->text().toStdString()};
}

void CutPage::setSource(const QString& path)
{
    Text1->setText(path);
    Text2->setText(QString::fromStdString(deriveDestinationBase(path.toStdString())));
}

QLineEdit* CutPage::textBox(TextBox box) const
{
    switch (box) {
    case TextBox::Text1:
        return Text1;
    case TextBox::Text2:
        return Text2;
    default:
        return Text3;
    }
}

bool CutPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnterKey(*static_cast<QKeyEvent*>(event)))
        emit cutRequested();
    return QWidget::eventFilter(watched, event);
}

void CutPage::Command1_Click()
{
    m_dialog.setFlags(CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
    const QString chosen = m_dialog.showOpen(this);
    if (!chosen.isEmpty())
        setSource(chosen);
}

void CutPage::Option1_Click()
{
    if (!Option1->isChecked())
        return;
    Text3->setEnabled(false);
    Text3->hide();
    Label1->hide();
}

void CutPage::Option2_Click()
{
    if (!Option2->isChecked())
        return;
    Text3->setEnabled(true);
    Text3->show();
    Label1->show();
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

void CutPage::setOptionTabStops()
{
    // The two option buttons are one stop for the Tab key: the selected one.
    Option1->setFocusPolicy(Option1->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    Option2->setFocusPolicy(Option2->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace parvix
