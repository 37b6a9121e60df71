#include "Form1.h"
#include "DirectoryChooserOpener.h"
#include "DirectoryList.h"
#include "FileError.h"
#include "NativeDirectorySource.h"
#include "PathLabel.h"
#include "WindowRequests.h"

#include "QtPrinters.h"
#include "TestDirectories.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parvix {
namespace {

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

const QString kNoDisk = q("The specify drive cann't to be used\r\rNo disk in the drive");
const QString kSep = QString(QDir::separator());

struct ShownBox
{
    std::string text;
    BoxStyle style;
    BoxTitle title;
};

// Records every box and answers OK.
class RecordingPresenter : public Questions
{
public:
    explicit RecordingPresenter(std::vector<ShownBox>& boxes) : m_boxes(boxes) {}
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        m_boxes.push_back({text, style, title});
        return Button::Ok;
    }

private:
    std::vector<ShownBox>& m_boxes;
};

// The machine's directories under a fixed drive list, where chosen directories fail to open.
class TestSource : public DirectorySource
{
public:
    TestSource(QList<Drive> drives, QHash<QString, int>& failures) : m_native(std::move(drives)), m_failures(failures)
    {
    }
    QList<Drive> drives() override { return m_native.drives(); }
    QString currentDirectoryOf(const Drive& drive) override { return m_native.currentDirectoryOf(drive); }
    void shown(const QString& directory) override { m_native.shown(directory); }
    int subdirectories(const QString& directory, QStringList& names) override
    {
        if (const int error = m_failures.value(directory))
            return error;
        return m_native.subdirectories(directory, names);
    }

private:
    NativeDirectorySource m_native;
    QHash<QString, int>& m_failures;
};

class DirectoryChooser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tree.isValid());
        m_top = QDir::toNativeSeparators(m_tree.path());
        m_root = QDir::toNativeSeparators(QDir::rootPath());
        m_start = path("start");
        for (const char* dir : {"start/alpha/deep", "start/beta", "driveA/inner", "bad"})
            ASSERT_TRUE(QDir().mkpath(path(dir)));
        m_oldCwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_start));
    }

    void TearDown() override { QDir::setCurrent(m_oldCwd); }

    QString path(const char* relative) const { return QDir::toNativeSeparators(m_top + q("/") + q(relative)); }

    // The opener, with the test's drives: the root, then the given roots.
    DirectoryChooserOpener& opener(const QStringList& extraDrives = {})
    {
        if (!m_opener) {
            QList<Drive> drives{{m_root, m_root}};
            for (const QString& root : extraDrives)
                drives.append({root, root});
            m_opener =
                std::make_unique<DirectoryChooserOpener>(m_presenter, std::make_unique<TestSource>(drives, failures));
        }
        return *m_opener;
    }

    // Opens the chooser and runs `act` inside its modal loop; `act` has to hide or close it.
    void whileOpen(const std::function<void(Form1&)>& act)
    {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            Form1* form = m_opener->chooser();
            if (!form) {
                ADD_FAILURE() << "no chooser while open";
                return;
            }
            act(*form);
            acted = true;
            if (m_opener->chooser() == form && form->isVisible()) {
                ADD_FAILURE() << "the chooser is still open";
                form->hide();
            }
        });
        chosen = m_opener->open();
        EXPECT_TRUE(acted);
    }

    static DirectoryList* dir1(Form1& form) { return form.findChild<DirectoryList*>(q("Dir1")); }
    static QComboBox* drive1(Form1& form) { return form.findChild<QComboBox*>(q("Drive1")); }
    static QString label1(Form1& form) { return form.findChild<PathLabel*>(q("Label1"))->path(); }
    static QPushButton* button(Form1& form, const char* name) { return form.findChild<QPushButton*>(q(name)); }

    static QStringList entries(Form1& form)
    {
        QStringList texts;
        for (int row = 0; row < dir1(form)->count(); ++row)
            texts.append(dir1(form)->item(row)->text());
        return texts;
    }

    static QListWidgetItem* entry(Form1& form, const QString& text)
    {
        const QList<QListWidgetItem*> found = dir1(form)->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    static void doubleClick(Form1& form, const QString& text)
    {
        QListWidgetItem* item = entry(form, text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        dir1(form)->scrollToItem(item);
        // Through the window, so the list sees press, release, press (as double-click) and release.
        const QPoint at = dir1(form)->viewport()->mapTo(&form, dir1(form)->visualItemRect(item).center());
        QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, at);
    }

    static void click(Form1& form, const QString& text)
    {
        QListWidgetItem* item = entry(form, text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        dir1(form)->scrollToItem(item);
        QTest::mouseClick(dir1(form)->viewport(), Qt::LeftButton, {}, dir1(form)->visualItemRect(item).center());
    }

    // What the last opening answered: the directory "Ok" chose, followed by a separator.
    std::optional<QString> chosen;
    std::vector<ShownBox> boxes;
    QHash<QString, int> failures;
    QString m_start;
    QString m_root; // "/", or the system drive's root

private:
    QTemporaryDir m_tree;
    QString m_top;
    QString m_oldCwd;
    RecordingPresenter m_presenter{boxes};
    std::unique_ptr<DirectoryChooserOpener> m_opener;
};

TEST_F(DirectoryChooser, WindowAsDrawn)
{
    opener();
    whileOpen([&](Form1& form) {
        EXPECT_EQ(form.windowTitle(), q("Please choose a directory"));
        EXPECT_EQ(form.size(), QSize(346, 251));
        // The program icon, not an empty one.
        EXPECT_EQ(form.windowIcon().pixmap(QSize(32, 32)).size(), QSize(32, 32));
        EXPECT_EQ(form.windowIcon().pixmap(QSize(16, 16)).size(), QSize(16, 16));
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(form.parentWidget(), nullptr);
        EXPECT_TRUE(form.isModal());
        EXPECT_EQ(form.findChild<QLabel*>(q("Label2"))->text(), q("Directory\uff1a"));
        EXPECT_EQ(button(form, "command1")->text(), q("Ok"));
        EXPECT_EQ(button(form, "Command2")->text(), q("cancel"));
        EXPECT_TRUE(button(form, "command1")->isDefault());
        EXPECT_EQ(dir1(form)->geometry(), QRect(16, 48, 313, 160));
        EXPECT_EQ(button(form, "command1")->geometry(), QRect(168, 216, 73, 25));
        EXPECT_EQ(button(form, "Command2")->geometry(), QRect(256, 216, 73, 25));
        // The design's default font, as the main window's buttons have: 8.25 points.
        EXPECT_EQ(button(form, "command1")->font().families().front(), q("Microsoft Sans Serif"));
        EXPECT_EQ(dir1(form)->font().pixelSize(), 11);

        // Centred on the screen as the main window is: a half pixel goes to the top left.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect outer = form.frameGeometry();
        EXPECT_EQ(outer.topLeft(), screen.topLeft() + QPoint((screen.width() - outer.width()) / 2,
                                                             (screen.height() - outer.height()) / 2));

        // Dir1 has the focus, and Tab walks Drive1, "Ok", "cancel".
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        EXPECT_EQ(QApplication::focusWidget(), dir1(form));
        std::vector<QWidget*> order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.push_back(QApplication::focusWidget());
        }
        EXPECT_EQ(order, (std::vector<QWidget*>{drive1(form), button(form, "command1"), button(form, "Command2"),
                                                dir1(form)}));
        button(form, "Command2")->click();
    });
}

TEST_F(DirectoryChooser, ListShowsParentsAndSubdirectories)
{
    test::makeHiddenDirectory(m_start, q(".cache"));
    opener();
    whileOpen([&](Form1& form) {
        const QStringList chain =
            QDir::fromNativeSeparators(m_start.mid(m_root.size())).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QStringList expected = QStringList{m_root} + chain + QStringList{q("alpha"), q("beta")};
        EXPECT_EQ(entries(form), expected);
        // The current directory is the highlighted entry.
        EXPECT_EQ(dir1(form)->currentRow(), chain.size());
        EXPECT_EQ(label1(form), m_start);
        button(form, "Command2")->click();
    });
}

TEST_F(DirectoryChooser, DeepDirectoryShowsItselfAndItsFirstSubdirectories)
{
    const QString deep = path("start/1/2/3/4/5/6/7/8/9/10/11/12");
    for (const char* name : {"a", "b", "c", "d", "e"})
        ASSERT_TRUE(QDir().mkpath(deep + q("/") + q(name)));
    ASSERT_TRUE(QDir::setCurrent(deep));
    opener();
    whileOpen([&](Form1& form) {
        const QRect view = dir1(form)->viewport()->rect();
        for (const char* name : {"12", "a", "b", "c"}) {
            SCOPED_TRACE(name);
            ASSERT_NE(entry(form, q(name)), nullptr);
            EXPECT_TRUE(view.contains(dir1(form)->visualItemRect(entry(form, q(name)))));
        }
        button(form, "Command2")->click();
    });
}

TEST_F(DirectoryChooser, OkRightAfterOpeningWritesTheWorkingDirectoryIntoBothFields)
{
    opener();
    whileOpen([&](Form1& form) { QTest::mouseClick(button(form, "command1"), Qt::LeftButton); });
    EXPECT_EQ(chosen, m_start + kSep);
    ASSERT_NE(opener().chooser(), nullptr);
    EXPECT_FALSE(opener().chooser()->isVisible());
}

TEST_F(DirectoryChooser, OpeningADeeperDirectoryThenOkFillsBothFields)
{
    opener();
    whileOpen([&](Form1& form) {
        doubleClick(form, q("alpha"));
        EXPECT_EQ(label1(form), path("start/alpha"));
        EXPECT_EQ(entries(form).last(), q("deep"));
        doubleClick(form, q("deep"));
        EXPECT_EQ(label1(form), path("start/alpha/deep"));
        // Highlighting a parent does not open it.
        click(form, q("start"));
        EXPECT_EQ(label1(form), path("start/alpha/deep"));
        QTest::mouseClick(button(form, "command1"), Qt::LeftButton);
    });
    EXPECT_EQ(chosen, path("start/alpha/deep") + kSep);
}

TEST_F(DirectoryChooser, EnterOpensTheHighlightedEntryThenPressesOk)
{
    opener();
    whileOpen([&](Form1& form) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(dir1(form), Qt::Key_Down); // from "start" to "alpha"
        EXPECT_EQ(label1(form), m_start);
        QTest::keyClick(dir1(form), Qt::Key_Return);
        EXPECT_EQ(label1(form), path("start/alpha"));
        EXPECT_TRUE(form.isVisible());
        // Enter on the current directory itself is "Ok".
        QTest::keyClick(dir1(form), Qt::Key_Enter);
    });
    EXPECT_EQ(chosen, path("start/alpha") + kSep);
}

TEST_F(DirectoryChooser, RootGivesTwoSeparators)
{
    opener();
    whileOpen([&](Form1& form) {
        doubleClick(form, m_root);
        EXPECT_EQ(label1(form), m_root);
        button(form, "command1")->click();
    });
    EXPECT_EQ(chosen, m_root + kSep);
}

TEST_F(DirectoryChooser, CancelAndEscapeChangeNoField)
{
    struct Case
    {
        const char* name;
        std::function<void(Form1&)> dismiss;
    };
    const Case cases[] = {
        {"cancel", [](Form1& form) { QTest::mouseClick(button(form, "Command2"), Qt::LeftButton); }},
        {"Escape in the list", [](Form1& form) { QTest::keyClick(dir1(form), Qt::Key_Escape); }},
        {"Escape on Ok", [](Form1& form) { QTest::keyClick(button(form, "command1"), Qt::Key_Escape); }},
    };
    opener();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        whileOpen([&](Form1& form) {
            doubleClick(form, q("beta"));
            c.dismiss(form);
        });
        EXPECT_FALSE(chosen);
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(DirectoryChooser, ReopeningShowsTheLastDirectory)
{
    opener();
    Form1* first = nullptr;
    whileOpen([&](Form1& form) {
        first = &form;
        doubleClick(form, q("alpha"));
        button(form, "Command2")->click();
    });
    ASSERT_TRUE(QDir(path("start/alpha")).mkdir(q("made meanwhile")));
    whileOpen([&](Form1& form) {
        EXPECT_EQ(&form, first);
        EXPECT_EQ(label1(form), path("start/alpha"));
        EXPECT_TRUE(entries(form).contains(q("made meanwhile")));
        button(form, "command1")->click();
    });
    EXPECT_EQ(chosen, path("start/alpha") + kSep);
}

TEST_F(DirectoryChooser, CloseBoxDestroysItAndTheNextOpeningStartsAtTheWorkingDirectory)
{
    opener();
    whileOpen([&](Form1& form) {
        doubleClick(form, q("alpha"));
        form.close();
    });
    EXPECT_EQ(opener().chooser(), nullptr);
    EXPECT_FALSE(chosen);

    whileOpen([&](Form1& form) {
        EXPECT_EQ(label1(form), m_start);
        button(form, "command1")->click();
    });
    EXPECT_EQ(chosen, m_start + kSep);
}

TEST_F(DirectoryChooser, DirectoryThatHasGoneIsNotEntered)
{
    ASSERT_TRUE(QDir(m_start).mkdir(q("gone")));
    opener();
    whileOpen([&](Form1& form) {
        ASSERT_TRUE(QDir(m_start).rmdir(q("gone")));
        doubleClick(form, q("gone"));
        EXPECT_EQ(label1(form), m_start);
        EXPECT_EQ(entry(form, q("gone")), nullptr);
        button(form, "command1")->click();
    });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(chosen, m_start + kSep);
}

TEST_F(DirectoryChooser, FailedDriveStepReportsAndKeepsTheOldDirectory)
{
    struct Case
    {
        int number;
        QString message; // empty: no box
    };
    const Case cases[] = {
        {errnum::kBadFileName, kNoDisk},
        {errnum::kDeviceUnavailable, kNoDisk},
        {errnum::kDeviceIo, q("DiskI/0 error")},
        {errnum::kPermissionDenied, q("Disk is protected or file is protected")},
        {errnum::kDiskNotReady, q("Disk error")},
        {errnum::kFileNotFound, QString()},
        {errnum::kPathNotFound, QString()},
    };
    const QString bad = test::missingDriveRoot(path("bad"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        boxes.clear();
        failures.clear();
        failures.insert(bad, c.number);
        DirectoryChooserOpener& chooser = opener({bad});
        whileOpen([&](Form1& form) {
            doubleClick(form, q("alpha"));
            ASSERT_EQ(drive1(form)->currentIndex(), 0);
            QTest::keyClick(drive1(form), Qt::Key_Down);
            EXPECT_EQ(drive1(form)->currentIndex(), 1);
            EXPECT_EQ(drive1(form)->currentText(), bad);
            EXPECT_EQ(label1(form), path("start/alpha"));
            EXPECT_EQ(dir1(form)->path(), path("start/alpha"));
            EXPECT_TRUE(entries(form).contains(q("deep")));
            button(form, "command1")->click();
        });
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(QString::fromStdString(boxes[0].text), c.message);
            EXPECT_EQ(boxes[0].style, BoxStyle::DiskError);
            EXPECT_EQ(boxes[0].title, BoxTitle::Program);
        }
        EXPECT_EQ(chosen, path("start/alpha") + kSep);
        // Next case on a fresh chooser.
        whileOpen([&](Form1& form) { form.close(); });
        ASSERT_EQ(chooser.chooser(), nullptr);
    }
}

#ifndef _WIN32
// On Windows a drive opens at the system's current directory of that drive instead.
TEST_F(DirectoryChooser, DriveOpensAtTheLastDirectoryShownOnIt)
{
    opener({path("driveA")});
    whileOpen([&](Form1& form) {
        drive1(form)->setCurrentIndex(1);
        EXPECT_EQ(label1(form), path("driveA"));
        doubleClick(form, q("inner"));
        EXPECT_EQ(label1(form), path("driveA/inner"));

        drive1(form)->setCurrentIndex(0);
        EXPECT_EQ(label1(form), m_start);
        drive1(form)->setCurrentIndex(1);
        EXPECT_EQ(label1(form), path("driveA/inner"));

        // A remembered directory that has gone fails the drive step, which keeps the previous directory;
        // the table has no message for a missing directory.
        drive1(form)->setCurrentIndex(0);
        ASSERT_TRUE(QDir(path("driveA")).rmdir(q("inner")));
        drive1(form)->setCurrentIndex(1);
        EXPECT_EQ(label1(form), m_start);
        button(form, "Command2")->click();
    });
    EXPECT_TRUE(boxes.empty());
}
#endif

TEST_F(DirectoryChooser, BrowsingOntoAnotherDriveMovesTheDriveList)
{
    opener({path("start/alpha")});
    whileOpen([&](Form1& form) {
        EXPECT_EQ(drive1(form)->currentIndex(), 0);
        doubleClick(form, q("alpha"));
        EXPECT_EQ(drive1(form)->currentIndex(), 1);
        doubleClick(form, q("start"));
        EXPECT_EQ(drive1(form)->currentIndex(), 0);
        EXPECT_EQ(label1(form), m_start);
        button(form, "Command2")->click();
    });
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DirectoryChooser, HiddenChooserDoesNotKeepTheProgramRunning)
{
    QWidget mainWindow;
    mainWindow.show();
    opener();
    bool timedOut = false;
    QTimer::singleShot(0, [&] {
        whileOpen([&](Form1& form) { button(form, "command1")->click(); });
        mainWindow.close();
    });
    QTimer::singleShot(10000, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    ASSERT_NE(opener().chooser(), nullptr);
    EXPECT_FALSE(opener().chooser()->isVisible());
}

} // namespace
} // namespace parvix
