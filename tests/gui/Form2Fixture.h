#pragma once

#include "Form2.h"
#include "GuiTestSupport.h"
#include "SplitOperation.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
// a fresh temporary folder.
class Form2Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        form = std::make_unique<Form2>();
        form->setMessageBoxPresenter(&boxes);
        form->CommonDialog1.setPresenter(&dialogs);
        auto files = std::make_unique<FailingFiles>();
        this->files = files.get();
        form->setFileServices(std::move(files));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
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
        QTabBar* bar = form->SSTab1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    void click(QPushButton* button)
    {
        ASSERT_TRUE(button->isVisible());
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < form->List1->count(); ++i)
            entries.push_back(form->List1->item(i)->text());
        return entries;
    }

    // A source file of three floppy pieces cut from the Cut file page.
    QString cutThreePieces()
    {
        const QString source = path(QStringLiteral("report.txt"));
        writePatternFile(source, 2 * kFloppyPieceSize + 105930);
        clickTab(0);
        form->Text1->setText(source);
        form->Text2->setText(path(QStringLiteral("report$txt")));
        click(form->Command3);
        return source;
    }

    QTemporaryDir m_dir;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FailingFiles* files = nullptr;
    std::unique_ptr<Form2> form;
};

} // namespace parvix::test
