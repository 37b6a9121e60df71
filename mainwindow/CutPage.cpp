#include "CutPage.h"

#include "CommonDialog.h"
#include "Controls.h"
#include "EnterKeyFilter.h"
#include "Fonts.h"
#include "Naming.h"
#include "PieceSizeFrame.h"
#include "SelectionKeepingEdit.h"
#include "WindowGeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace parvix {

namespace {

const QString kDialogTitle = QString::fromUtf8("请打开一个要分割的文件");
const QString kDialogFilter = QString::fromUtf8("执行文件[*.exe]|*.exe|压缩文件[*.zip;*.arj;*.rar]|*.zip;*.rar;*.arj|"
                                                "图片文件[*.bmp,*.jpg,*.gif]|*.bmp;*.jpg;*.gif|所有文件[*.*]|*.*");
// Preselected: all files, what a user cutting a file most often wants to see.
constexpr int kAllFilesEntry = 4;

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

    auto* Frame1 = makeControl<QGroupBox>(this, "Frame1", twipsRect(120, 480, 5415, 2655));
    Frame1->setTitle(QStringLiteral("Cut File"));
    Frame1->setFont(tahomaFont(9));
    const QString browse = QStringLiteral("...");
    auto* Label2 = makeLabel(Frame1, "Label2", twipsRect(120, 480, 1485, 240), QStringLiteral("File to be Cutted:"),
                             tahomaFont(9.75));
    Text1 = makeControl<SelectionKeepingEdit>(Frame1, "Text1", twipsRect(120, 720, 4695, 390));
    auto* Command1 = makeButton(Frame1, "Command1", twipsRect(4920, 720, 375, 375), browse);
    Command1->setAccessibleName(QStringLiteral("Browse for the file to be cutted"));
    auto* Label3 =
        makeLabel(Frame1, "Label3", twipsRect(120, 1440, 1020, 240), QStringLiteral("Destination:"), tahomaFont(9.75));
    Text2 = makeControl<SelectionKeepingEdit>(Frame1, "Text2", twipsRect(120, 1680, 4695, 375));
    auto* Command2 = makeButton(Frame1, "Command2", twipsRect(4920, 1680, 375, 375), browse);
    Command2->setAccessibleName(QStringLiteral("Choose the destination directory"));
    // The text boxes are named by their labels, for a screen reader too.
    Label2->setBuddy(Text1);
    Label3->setBuddy(Text2);
    for (QWidget* control : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)})
        control->setFont(songFont(9.75));
    for (QWidget* control : {Command1, Command2})
        control->setFont(defaultFont());

    Frame2 = new PieceSizeFrame(this);
    auto* Command3 = makeButton(this, "Command3", twipsRect(5880, 2640, 1215, 375), QStringLiteral("Cut"));

    connect(Command1, &QPushButton::clicked, this, &CutPage::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CutPage::directoryRequested);
    connect(Command3, &QPushButton::clicked, this, &CutPage::cutRequested);
    auto* enter = new EnterKeyFilter(QList<QWidget*>{Text1, Text2} + Frame2->enterInputs(), this);
    connect(enter, &EnterKeyFilter::entered, this, &CutPage::cutRequested);
}

SplitInputs CutPage::inputs() const
{
    SplitInputs inputs{Text1->text().toStdString(), Text2->text().toStdString(), Frame2->floppySize(),
                       Frame2->text3()->text().toStdString()};
    inputs.recoveryOneInTwenty = Frame2->recovery();
    return inputs;
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
        return Frame2->text3();
    }
}

void CutPage::Command1_Click()
{
    m_dialog.setFlags(CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
    const QString chosen = m_dialog.showOpen(this);
    if (!chosen.isEmpty())
        setSource(chosen);
}

} // namespace parvix
