#include "JoinPage.h"

#include "CommonDialog.h"
#include "Controls.h"
#include "EnterKeyFilter.h"
#include "Fonts.h"
#include "SelectionKeepingEdit.h"
#include "WindowGeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace parvix {

namespace {

const QString kAddFilter =
    QStringLiteral("Cut file[*.001]|*.001|Sub split file[*.002,*.003,*.004,*.005,*.006,*.007,*.008,*.009]|"
                   "*.002;*.003;*.004;*.005;*.006;*.007;*.008;*.009|All files[*.*]|*.*");

} // namespace

JoinPage::JoinPage(CommonDialog& dialog) : m_dialog(dialog)
{
    setObjectName(QStringLiteral("SSTab1Page1"));
    auto* Label4 = makeLabel(this, "Label4", twipsRect(120, 360, 2835, 195),
                             QStringLiteral("Save as a destination file:"), songFont(9.75));
    Text4 = makeControl<SelectionKeepingEdit>(this, "Text4", twipsRect(120, 600, 6615, 390));
    Text4->setFont(songFont(9.75));
    // Named by its label, for a screen reader too.
    Label4->setBuddy(Text4);
    auto* Command10 = makeButton(this, "Command10", twipsRect(6840, 600, 375, 375), QStringLiteral("..."));
    Command10->setAccessibleName(QStringLiteral("Choose the directory of the destination file"));

    m_joinList = new JoinList(this);
    List1 = &m_joinList->box();
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 1080, 4815, 1620));
    List1->setAccessibleName(QStringLiteral("Join list"));

    auto* Frame3 = makeControl<QGroupBox>(this, "Frame3", twipsRect(5040, 1080, 2175, 1695));
    Frame3->setTitle(QStringLiteral("Join"));
    auto* Command4 = makeButton(Frame3, "Command4", twipsRect(360, 360, 735, 375), QStringLiteral("Add"));
    Command4->setToolTip(Command4->text());
    Command4->setFont(tahomaFont(9));
    auto* Command5 = makeButton(Frame3, "Command5", twipsRect(1200, 360, 735, 375), QStringLiteral("Delete"));
    Command5->setToolTip(QString::fromUtf8("删除选定文件"));
    Command5->setFont(tahomaFont(8.25));
    auto* Command6 = makeButton(Frame3, "Command6", twipsRect(600, 960, 1095, 375), QStringLiteral("Join"));
    Command6->setToolTip(Command6->text());

    connect(Command4, &QPushButton::clicked, this, &JoinPage::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &JoinPage::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &JoinPage::joinRequested);
    connect(Command10, &QPushButton::clicked, this, &JoinPage::directoryRequested);
    // The list's click: another entry selected, by the mouse, the keys or "Delete". The current row also
    // moves by itself (the focus coming in, the list emptied, its only entry deleted), which is no click.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        const int row = List1->currentRow();
        if (row >= 0 && List1->item(row)->isSelected())
            List1_Click();
    });
    auto* enter = new EnterKeyFilter({Text4, List1}, this);
    connect(enter, &EnterKeyFilter::entered, this, &JoinPage::joinRequested);
}

void JoinPage::setText4(const std::string& text)
{
    Text4->setText(QString::fromStdString(text));
    Text4->setCursorPosition(0);
}

void JoinPage::Command4_Click()
{
    m_dialog.setFlags(CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
    m_dialog.setFilter(kAddFilter);
    m_dialog.setFileName(QString());
    const QString chosen = m_dialog.showOpen(this);
    if (!chosen.isEmpty())
        emit addRequested(chosen);
}

void JoinPage::Command5_Click()
{
    m_joinList->flush();
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    // The list holds one selected entry at most; from the end, the first one found goes.
    int row = -1;
    for (QListWidgetItem* item : selected)
        row = std::max(row, List1->row(item));
    delete List1->takeItem(row);
    if (row > 0)
        List1->setCurrentRow(row - 1);
    else if (List1->count() > 0)
        List1->setCurrentRow(0);
}

void JoinPage::List1_Click()
{
    List1->setToolTip(m_joinList->entry(List1->currentRow()));
}

} // namespace parvix
