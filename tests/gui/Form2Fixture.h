#pragma once

#include "FaultInjectingFileServices.h"
#include "Form2.h"
#include "GuiTestSupport.h"
#include "ProgressDisplay.h"
#include "SplitOperation.h"
#include "WindowRequests.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace parvix::test {

inline const QString kParvix = QStringLiteral("Parvix");
inline const QString kTavrin = QStringLiteral("Tavrin");

// The real main window, shown off screen, with its boxes and its file dialog answered by the test and
// a fresh temporary folder. Its controls are looked up once by their design names.
class Form2Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        form = std::make_unique<Form2>();
        form->setMessageBoxPresenter(&boxes);
        findControls();
        auto files = std::make_unique<FaultInjectingFileServices>();
        this->files = files.get();
        form->setFileServices(std::move(files));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void findControls()
    {
        CommonDialog1 = findControl<CommonDialog>(*form, "CommonDialog1");
        CommonDialog1->setPresenter(&dialogs);
        Picture1 = findControl<QLabel>(*form, "Picture1");
        ProgressBar1 = findControl<ProgressDisplay>(*form, "ProgressBar1");
        SSTab1 = findControl<QTabWidget>(*form, "SSTab1");
        Label2 = findControl<QLabel>(*form, "Label2");
        Text1 = findControl<QLineEdit>(*form, "Text1");
        Command1 = findControl<QPushButton>(*form, "Command1");
        Text2 = findControl<QLineEdit>(*form, "Text2");
        Command2 = findControl<QPushButton>(*form, "Command2");
        Option1 = findControl<QRadioButton>(*form, "Option1");
        Option2 = findControl<QRadioButton>(*form, "Option2");
        Text3 = findControl<QLineEdit>(*form, "Text3");
        Label1 = findControl<QLabel>(*form, "Label1");
        Check1 = findControl<QCheckBox>(*form, "Check1");
        Command3 = findControl<QPushButton>(*form, "Command3");
        Text4 = findControl<QLineEdit>(*form, "Text4");
        List1 = findControl<QListWidget>(*form, "List1");
        Command4 = findControl<QPushButton>(*form, "Command4");
        Command5 = findControl<QPushButton>(*form, "Command5");
        Command6 = findControl<QPushButton>(*form, "Command6");
        lblTitle = findControl<QLabel>(*form, "lblTitle");
        Label6 = findControl<QLabel>(*form, "Label6");
    }

    void TearDown() override
    {
        form.reset();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    // In the system's own spelling, as a user types it.
    QString path(const QString& name) const { return QDir::toNativeSeparators(m_dir.filePath(name)); }

    void clickTab(int index)
    {
        QTabBar* bar = SSTab1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    // Clicks as a user does, and waits until what the click started has ended.
    void click(QPushButton* button)
    {
        ASSERT_TRUE(button->isVisible());
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        waitUntilIdle();
    }

    void waitUntilIdle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->operationRunning(); }, 60000));
    }

    // The `index`-th box shown had this text, style and title.
    void expectBox(std::size_t index, const QString& text, BoxStyle style, const QString& title)
    {
        ASSERT_LT(index, boxes.shown.size());
        EXPECT_EQ(boxes.shown[index].text, text);
        EXPECT_EQ(boxes.shown[index].style, style);
        EXPECT_EQ(boxes.shown[index].title, title);
    }

    // The window once an operation has ended: the pointer as before, the progress bar hidden.
    void expectIdle()
    {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(ProgressBar1->isHidden());
    }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < List1->count(); ++i)
            entries.push_back(List1->item(i)->text());
        return entries;
    }

    // A source file of three floppy pieces cut from the Cut file page.
    QString cutThreePieces()
    {
        const QString source = path(QStringLiteral("report.txt"));
        writePatternFile(source, 2 * kFloppyPieceSize + 105930);
        clickTab(0);
        Text1->setText(source);
        Text2->setText(path(QStringLiteral("report$txt")));
        click(Command3);
        return source;
    }

    // The window's controls, by their design names.
    CommonDialog* CommonDialog1 = nullptr;
    QLabel* Picture1 = nullptr;
    ProgressDisplay* ProgressBar1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* Label6 = nullptr;

    QTemporaryDir m_dir;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FaultInjectingFileServices* files = nullptr;
    std::unique_ptr<Form2> form;
};

} // namespace parvix::test
