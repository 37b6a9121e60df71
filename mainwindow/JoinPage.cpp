#include "JoinPage.h"

#include "CommonDialog.h"
#include "Controls.h"
#include "Fonts.h"
#include "SelectionKeepingEdit.h"
#include "WindowGeometry.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace parvix {

namespace {

const QString kLabel4 = QStringLiteral("Save as a destination file:");
const QString kBrowse = QStringLiteral("...");
const QString kFrame3 = QStringLiteral("Join");
const QString kAdd = QStringLiteral("Add");
const QString kDelete = QStringLiteral("Delete");
const QString kDeleteTip = QString::fromUtf8("删除选定文件");
const QString kJoin = QStringLiteral("Join");
const QString kAddFilter =
    QStringLiteral("Cut file[*.001]|*.001|Sub split file[*.002,*.003,*.004,*.005,*.006,*.007,*.008,*.009]|"
                   "*.002;*.003;*.004;*.005;*.006;*.007;*.008;*.009|All files[*.*]|*.*");

// What a screen reader calls the controls that no label names.
const QString kCommand10Name = QStringLiteral("Choose the directory of the destination file");
const QString kList1Name = QStringLiteral("Join list");

} // namespace

JoinPage::JoinPage(CommonDialog& dialog) : m_dialog(dialog)
{
    setObjectName(QStringLiteral("SSTab1Page1"));
    Label4 = makeControl<QLabel>(this, "Label4", twipsRect(120, 360, 2835, 195));
    Label4->setText(kLabel4);
    Label4->setFont(songFont(9.75));
    growToContents(Label4);
    Text4 = makeControl<SelectionKeepingEdit>(this, "Text4", twipsRect(120, 600, 6615, 390));
    Text4->setFont(songFont(9.75));
    Label4->setBuddy(Text4);
    Command10 = makeControl<QPushButton>(this, "Command10", twipsRect(6840, 600, 375, 375));
    Command10->setText(kBrowse);
    Command10->setAccessibleName(kCommand10Name);

    m_joinList = new JoinList(this);
    List1 = &m_joinList->box();
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 1080, 4815, 1620));
    List1->setAccessibleName(kList1Name);

    Frame3 = makeControl<QGroupBox>(this, "Frame3", twipsRect(5040, 1080, 2175, 1695));
    Frame3->setTitle(kFrame3);
    Command4 = makeControl<QPushButton>(Frame3, "Command4", twipsRect(360, 360, 735, 375));
    Command4->setText(kAdd);
    Command4->setToolTip(kAdd);
    Command4->setFont(tahomaFont(9));
    Command5 = makeControl<QPushButton>(Frame3, "Command5", twipsRect(1200, 360, 735, 375));
    Command5->setText(kDelete);
    Command5->setToolTip(kDeleteTip);
    Command5->setFont(tahomaFont(8.25));
    Command6 = makeControl<QPushButton>(Frame3, "Command6", twipsRect(600, 960, 1095, 375));
    Command6->setText(kJoin);
    Command6->setToolTip(kJoin);

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
    // Enter in these inputs starts the join; the key still reaches the input.
    Text4->installEventFilter(this);
    List1->installEventFilter(this);
}

void JoinPage::setText4(const std::string& text)
{
    Text4->setText(QString::fromStdString(text));
    Text4->setCursorPosition(0);
}

bool JoinPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnterKey(*static_cast<QKeyEvent*>(event)))
        emit joinRequested();
    return QWidget::eventFilter(watched, event);
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
