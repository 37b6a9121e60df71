// The main window as a user meets it: start-up, layout, the page-change rule, the mail link, and the
// cut and join run from its buttons on real files.
#include "Form2.h"
#include "Form2Fixture.h"
#include "MailLinkLabel.h"
#include "SplitOperation.h"
#include "StopRequest.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace parvix {
namespace {

using test::FaultInjectingFileServices;
using test::kParvix;
using test::kTavrin;

class Form2Test : public test::Form2Fixture
{
};

TEST_F(Form2Test, StartsCentredOnTheAboutPageWithTheInitialStates)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Parvix toolbox"));
    EXPECT_EQ(form->size(), QSize(492, 301));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);

    const QRect screen = form->screen()->geometry();
    const QRect outer = form->frameGeometry();
    EXPECT_LE(std::abs(outer.left() - (screen.left() + (screen.width() - outer.width()) / 2)), 1);
    EXPECT_LE(std::abs(outer.top() - (screen.top() + (screen.height() - outer.height()) / 2)), 1);

    EXPECT_EQ(SSTab1->currentIndex(), 2);
    EXPECT_TRUE(Option1->isChecked());
    EXPECT_FALSE(Option2->isChecked());
    EXPECT_TRUE(Text3->isHidden());
    EXPECT_FALSE(Text3->isEnabled());
    EXPECT_TRUE(Label1->isHidden());
    EXPECT_FALSE(Check1->isChecked());
    EXPECT_TRUE(ProgressBar1->isHidden());
    for (QLineEdit* box : {Text1, Text2, Text3, Text4})
        EXPECT_EQ(box->text(), QString()) << box->objectName().toStdString();
    EXPECT_EQ(List1->count(), 0);
    EXPECT_TRUE(boxes.shown.empty());
}

struct Placement
{
    const char* name;
    const char* container; // the design's container: the window, a page (the tab control) or a frame
    QRect twips;
    const char* caption;
};

TEST_F(Form2Test, EveryControlSitsWhereTheLayoutPutsItWithItsCaption)
{
    const Placement placements[] = {
        {"Picture1", "Form2", {0, 0, 7815, 1035}, ""},
        {"Image3", "Picture1", {240, 120, 3480, 900}, ""},
        {"SSTab1", "Form2", {0, 1080, 7335, 3375}, ""},
        {"Frame1", "SSTab1", {120, 480, 5415, 2655}, "Cut File"},
        {"Label2", "Frame1", {120, 480, 1485, 240}, "File to be Cutted:"},
        {"Text1", "Frame1", {120, 720, 4695, 390}, ""},
        {"Command1", "Frame1", {4920, 720, 375, 375}, "..."},
        {"Label3", "Frame1", {120, 1440, 1020, 240}, "Destination:"},
        {"Text2", "Frame1", {120, 1680, 4695, 375}, ""},
        {"Command2", "Frame1", {4920, 1680, 375, 375}, "..."},
        {"Frame2", "SSTab1", {5640, 600, 1575, 1695}, "Option"},
        {"Option1", "Frame2", {120, 240, 1095, 375}, "1.44M"},
        {"Option2", "Frame2", {120, 600, 1335, 375}, "Customize"},
        {"Text3", "Frame2", {120, 1080, 1095, 270}, ""},
        {"Label1", "Frame2", {1245, 1080, 210, 195}, "KB"},
        {"Check1", "Frame2", {120, 1380, 1335, 255}, "Recovery"},
        {"Command3", "SSTab1", {5880, 2640, 1215, 375}, "Cut"},
        {"Label4", "SSTab1", {120, 360, 2835, 195}, "Save as a destination file:"},
        {"Text4", "SSTab1", {120, 600, 6615, 390}, ""},
        {"Command10", "SSTab1", {6840, 600, 375, 375}, "..."},
        {"List1", "SSTab1", {120, 1080, 4815, 1620}, ""},
        {"Frame3", "SSTab1", {5040, 1080, 2175, 1695}, "Join"},
        {"Command4", "Frame3", {360, 360, 735, 375}, "Add"},
        {"Command5", "Frame3", {1200, 360, 735, 375}, "Delete"},
        {"Command6", "Frame3", {600, 960, 1095, 375}, "Join"},
        {"picIcon", "SSTab1", {720, 480, 480, 480}, ""},
        {"lblTitle", "SSTab1", {1440, 600, 2565, 210}, "Parvix toolbox  version 1.53"},
        {"lblDescription", "SSTab1", {1440, 960, 2175, 195}, "www.example.com"},
        {"lblVersion", "SSTab1", {1440, 1200, 1590, 195}, " "},
        {"Label6", "SSTab1", {2160, 1440, 90, 180}, ""},
        {"Line1", "SSTab1", {600, 1800, 6250, 15}, ""},
        {"Line2", "SSTab1", {600, 1815, 6250, 15}, ""},
    };
    for (const auto& p : placements) {
        SCOPED_TRACE(p.name);
        auto* widget = form->findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(widget, nullptr);
        QWidget* container = QLatin1String(p.container) == QLatin1String("Form2")
                                 ? form.get()
                                 : form->findChild<QWidget*>(QLatin1String(p.container));
        ASSERT_NE(container, nullptr);
        ASSERT_TRUE(container->isAncestorOf(widget));
        const QPoint topLeft = widget->mapTo(container, QPoint(0, 0));
        EXPECT_EQ(topLeft, QPoint(qRound(p.twips.left() / 15.0), qRound(p.twips.top() / 15.0)));
        const QSize design(qRound(p.twips.width() / 15.0), qRound(p.twips.height() / 15.0));
        if (qobject_cast<QLabel*>(widget) != nullptr && QLatin1String(p.name) != QLatin1String("Picture1")) {
            // A label may grow to its text where the substitute font is wider, never shrink.
            EXPECT_GE(widget->width(), design.width());
            EXPECT_GE(widget->height(), design.height());
            EXPECT_LE(widget->width(), widget->sizeHint().width() + design.width());
        } else if (QLatin1String(p.name).startsWith(QLatin1String("Line"))) {
            EXPECT_EQ(widget->width(), design.width());
            EXPECT_EQ(widget->height(), 1);
        } else {
            EXPECT_EQ(widget->size(), design);
        }
        const QString caption = QString::fromUtf8(p.caption);
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->pixmap().isNull()) {
            EXPECT_EQ(label->text(), caption);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), caption);
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_EQ(frame->title(), caption);
        }
    }
    // The banner is cut off at the window's right edge; the progress bar lies inside the window.
    EXPECT_GT(Picture1->geometry().right(), form->rect().right());
    EXPECT_EQ(ProgressBar1->size(), QSize(140, 17));
    EXPECT_TRUE(form->rect().contains(ProgressBar1->geometry()));
    EXPECT_TRUE(SSTab1->geometry().bottom() < form->height());
}

TEST_F(Form2Test, TabCaptionsFontsAndToolTipsAreExact)
{
    QTabBar* bar = SSTab1->tabBar();
    ASSERT_EQ(bar->count(), 3);
    EXPECT_EQ(bar->tabText(0), QStringLiteral("   Cut file  "));
    EXPECT_EQ(bar->tabText(1), QStringLiteral("   Join file   "));
    EXPECT_EQ(bar->tabText(2), QStringLiteral("  About  "));
    // Every tab fits in the one row.
    EXPECT_LE(bar->tabRect(2).right(), SSTab1->width());

    EXPECT_EQ(Command4->toolTip(), QStringLiteral("Add"));
    EXPECT_EQ(Command5->toolTip(), QString::fromUtf8("删除选定文件"));
    EXPECT_EQ(Command6->toolTip(), QStringLiteral("Join"));
    EXPECT_EQ(Label6->toolTip(), QString::fromUtf8("写信给我"));
    EXPECT_EQ(Check1->toolTip(), QStringLiteral("Write recovery data for one piece in every 20"));

    EXPECT_EQ(Text1->font().families().front(), QString::fromUtf8("宋体"));
    EXPECT_EQ(Label2->font().families().front(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Label2->font().pixelSize(), 13);   // 9.75 points
    EXPECT_EQ(Command5->font().pixelSize(), 11); // 8.25 points
    EXPECT_TRUE(lblTitle->font().bold());
    EXPECT_TRUE(Label6->font().underline());
    EXPECT_EQ(Label6->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(bar->font().families().front(), QString::fromUtf8("宋体"));
}

TEST_F(Form2Test, FocusMovesInTheDesignOrder)
{
    // From the first key: the tabs have the focus, the arrows switch pages, Tab enters the page in front,
    // and Ctrl+Tab and Ctrl+Shift+Tab switch pages from inside a page.
    QTabBar* bar = SSTab1->tabBar();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->hasFocus(); }));
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(form->currentPage(), 1);
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(form->currentPage(), 0);
    QTest::keyClick(bar, Qt::Key_Tab);
    EXPECT_TRUE(Text1->hasFocus());
    QTest::keyClick(Text1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->currentPage(), 1);
    List1->setFocus();
    QTest::keyClick(List1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->currentPage(), 0);

    auto tabThrough = [&](QWidget* first, int steps) {
        first->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return first->hasFocus(); }));
        auto name = [&](QWidget* w) { return w == SSTab1->tabBar() ? QStringLiteral("SSTab1") : w->objectName(); };
        QStringList names{name(first)};
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names.push_back(name(QApplication::focusWidget()));
        }
        return names.join(QLatin1Char(' '));
    };
    // Of the two option buttons only the selected one is a stop; hidden Text3 is passed over.
    clickTab(0);
    EXPECT_EQ(tabThrough(Text1, 7), QStringLiteral("Text1 Command1 Text2 Command2 Option1 Check1 Command3 SSTab1"));
    clickTab(1);
    EXPECT_EQ(tabThrough(SSTab1->tabBar(), 6),
              QStringLiteral("SSTab1 Text4 List1 Command4 Command5 Command6 Command10"));
}

struct PageChange
{
    int from;
    int to;
    bool text1Selected;
    bool text4Selected;
};

TEST_F(Form2Test, PageChangeSelectsByThePageLeftOnly)
{
    const PageChange cases[] = {
        {1, 0, true, false}, {0, 1, false, true}, {2, 0, false, true},
        {2, 1, false, true}, {1, 2, true, false}, {0, 2, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " -> " << c.to);
        SSTab1->setCurrentIndex(c.from);
        Text1->setText(QStringLiteral("/data/source.bin"));
        Text4->setText(QStringLiteral("/data/joined.bin"));
        Text1->setCursorPosition(3);
        Text4->setCursorPosition(2);
        clickTab(c.to);
        ASSERT_EQ(SSTab1->currentIndex(), c.to);
        EXPECT_EQ(Text1->hasSelectedText(), c.text1Selected);
        EXPECT_EQ(Text4->hasSelectedText(), c.text4Selected);
        QLineEdit* selected = c.text1Selected ? Text1 : Text4;
        EXPECT_EQ(selected->selectionStart(), 0);
        EXPECT_EQ(selected->selectedText(), selected->text());
        // The other box keeps its caret where it was.
        QLineEdit* other = c.text1Selected ? Text4 : Text1;
        EXPECT_EQ(other->cursorPosition(), c.text1Selected ? 2 : 3);
    }
}

TEST_F(Form2Test, SelectionsOutliveTheWindowBeingActivatedAgain)
{
    // As when a message box closes: another window is active for a while, then this one again.
    QWidget other;
    auto reactivate = [&] {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::qWait(20);
    };
    const QString source = cutThreePieces();
    // A second cut, started while the focus was last in the join list.
    List1->setFocus();
    clickTab(0);
    Text2->setText(path(QStringLiteral("again$txt")));
    click(Command3);
    reactivate();
    EXPECT_EQ(Text4->selectedText(), path(QStringLiteral("again.txt")));

    // The page-change rule's selection of Text1, with the focus elsewhere.
    List1->setFocus();
    clickTab(0);
    ASSERT_FALSE(Text1->hasFocus());
    reactivate();
    EXPECT_EQ(Text1->selectedText(), source);
}

TEST_F(Form2Test, PageChangeNeitherMovesTheFocusNorDropsASelection)
{
    QTabBar* bar = SSTab1->tabBar();
    bar->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->hasFocus(); }));
    Text4->setText(QStringLiteral("x"));
    form->selectTab(0);
    EXPECT_EQ(Text4->selectedText(), QStringLiteral("x"));
    EXPECT_TRUE(bar->hasFocus());

    // The focus does not follow into the page entered, from a click or from the program, and the box
    // that had it keeps the user's selection: Text1 after a visit to the About page.
    Text1->setText(QStringLiteral("/data/source.bin"));
    Text1->setFocus();
    Text1->setSelection(6, 6);
    clickTab(2);
    EXPECT_TRUE(bar->hasFocus());
    clickTab(0);
    EXPECT_EQ(Text1->selectedText(), QStringLiteral("source"));
    clickTab(1);
    Text4->setFocus();
    form->selectTab(0);
    EXPECT_TRUE(bar->hasFocus());
}

class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(Form2Test, MailLinkHandsAMailtoLinkToTheDesktop)
{
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    EXPECT_EQ(Label6->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(Label6->text(), QString());
    QTest::mouseClick(Label6, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front().scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(catcher.urls.front().path().endsWith(QStringLiteral("@example.com")));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form2Test, CutFromTheButtonWritesThePiecesAndTurnsToTheJoinPage)
{
    bool busySeen = false;
    files->onOpen = [&] {
        test::onWindowThread([&] {
            busySeen = busySeen || QTest::qWaitFor([&] {
                           return QApplication::overrideCursor() != nullptr &&
                                  QApplication::overrideCursor()->shape() == Qt::WaitCursor &&
                                  ProgressBar1->isVisible();
                       });
        });
    };
    const QString source = cutThreePieces();

    ASSERT_EQ(boxes.shown.size(), 2u);
    expectBox(0, QString::fromUtf8("Are you sure ？The file ") + source + QStringLiteral(" will to be cutted!  "),
              BoxStyle::Confirmation, kParvix);
    expectBox(1,
              source + QStringLiteral(" is cutted completely!\n\nYou can run the link.bat to join automatically in "
                                      "the destination director \nAlso you can use the Parvix to join the file !"),
              BoxStyle::Notice, kParvix);

    const QStringList expected = {path(QStringLiteral("report$txt.001")), path(QStringLiteral("report$txt.002")),
                                  path(QStringLiteral("report$txt.003"))};
    EXPECT_EQ(listEntries(), expected);
    QByteArray joined;
    for (const auto& piece : expected)
        joined += test::readWholeFile(piece);
    EXPECT_EQ(joined, test::readWholeFile(source));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("Link.bat"))));

    EXPECT_EQ(SSTab1->currentIndex(), 1);
    EXPECT_EQ(Text4->text(), source);
    EXPECT_EQ(Text4->selectedText(), source);
    EXPECT_TRUE(busySeen);
    expectIdle();
    EXPECT_EQ(ProgressBar1->value(), 0);
}

TEST_F(Form2Test, WhileACutRunsTheWindowLivesButTakesNoInputAndClosingAsksToStop)
{
    // Slow disks: every file takes a while to open, on the thread the engine runs on.
    files->onOpen = [] { std::this_thread::sleep_for(std::chrono::milliseconds(150)); };
    int ticks = 0;
    bool tried = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!form->operationRunning())
            return;
        ++ticks;
        if (tried || !ProgressBar1->isVisible())
            return;
        tried = true;
        clickTab(2);
        QTest::keyClicks(Text1, QStringLiteral("typed"));
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(path(QStringLiteral("report.txt")))});
        QDragEnterEvent drag(QPoint(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Text2, &drag);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Text2, &drop);
        EXPECT_FALSE(drop.isAccepted());
        QTest::keyClick(Text1, Qt::Key_Return);
        QTest::mouseClick(Command3, Qt::LeftButton);
        Command3->click(); // from the program itself: no second operation either
        EXPECT_FALSE(form->close());
    });
    timer.start();
    boxes.answer(Button::Yes);
    boxes.answer(Button::No);
    const QString source = cutThreePieces();
    timer.stop();

    EXPECT_TRUE(tried);
    EXPECT_GE(ticks, 20);
    EXPECT_TRUE(form->isVisible());
    // The confirmation, the question whether to stop, answered No, and the completion: no second cut.
    ASSERT_EQ(boxes.shown.size(), 3u);
    expectBox(1, QString::fromUtf8("Do you want to stop the cutting？"), BoxStyle::ReplaceQuestion, kParvix);
    EXPECT_EQ(boxes.shown[2].style, BoxStyle::Notice);
    EXPECT_EQ(SSTab1->currentIndex(), 1);
    EXPECT_EQ(Text1->text(), source);
    EXPECT_EQ(Text4->selectedText(), source);
    EXPECT_EQ(listEntries(),
              (QStringList{path(QStringLiteral("report$txt.001")), path(QStringLiteral("report$txt.002")),
                           path(QStringLiteral("report$txt.003"))}));
}

// Escape during a cut asks whether to stop it, and Yes does: the whole piece stays listed, the one being
// written goes, no Link.bat is written, and the window rests on the Cut file page after a notice of what
// was kept.
TEST_F(Form2Test, EscapeDuringACutAndYesStopsIt)
{
    // The second piece takes a while to be created, on the engine's thread: Escape comes meanwhile.
    std::atomic<int> opened = 0;
    files->onOpen = [&] {
        if (++opened == 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    };
    QTimer escape;
    escape.setInterval(10);
    QObject::connect(&escape, &QTimer::timeout, [&] {
        if (opened == 3) {
            escape.stop();
            QTest::keyClick(Text1, Qt::Key_Escape);
        }
    });
    escape.start();
    boxes.answer(Button::Yes);
    boxes.answer(Button::Yes);
    const QString source = cutThreePieces();

    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1].text, QString::fromUtf8("Do you want to stop the cutting？"));
    EXPECT_EQ(boxes.shown[2].text, QStringLiteral("The cutting of ") + source +
                                       QStringLiteral(" is stopped!\nThe whole cutted file report$txt.001 is kept, "
                                                      "Link.bat is not written"));
    EXPECT_EQ(boxes.shown[2].style, BoxStyle::Notice);
    EXPECT_EQ(listEntries(), QStringList{path(QStringLiteral("report$txt.001"))});
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("report$txt.001"), QStringLiteral("report.txt")}));
    EXPECT_EQ(SSTab1->currentIndex(), 0);
    expectIdle();
    EXPECT_FALSE(form->operationRunning());
}

TEST_F(Form2Test, CutAnsweredNoChangesNothing)
{
    const QString source = path(QStringLiteral("a.bin"));
    test::writePatternFile(source, 2 * kFloppyPieceSize);
    clickTab(0);
    Text1->setText(source);
    Text2->setText(path(QStringLiteral("a$bin")));
    boxes.answer(Button::No);
    click(Command3);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(SSTab1->currentIndex(), 0);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.bin")});
}

TEST_F(Form2Test, CutRefusalsShowTheirBoxesAndMoveTheFocus)
{
    clickTab(0);
    click(Command3);
    ASSERT_EQ(boxes.shown.size(), 1u);
    expectBox(0, QStringLiteral("Please select a file to be cutted"), BoxStyle::Warning, kParvix);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text1->hasFocus(); }));

    const QString source = path(QStringLiteral("b.bin"));
    test::writePatternFile(source, 100);
    Text1->setText(source);
    Text2->setText(path(QStringLiteral("missing/b$bin")));
    click(Command3);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("The specify destination path has not existed!"));
    EXPECT_EQ(boxes.shown[1].title, kTavrin);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text2->hasFocus(); }));
    EXPECT_EQ(Text2->selectedText(), Text2->text());
}

TEST_F(Form2Test, CutFailureReportsTheDiskErrorAndResetsPointerAndProgress)
{
    files->failOn(FaultInjectingFileServices::Call::CreateTemporary, 2, 61);
    bool busySeen = false;
    boxes.onShow = [&](const MessageBoxRequest& request) {
        if (request.style == BoxStyle::DiskError)
            busySeen = ProgressBar1->isVisible();
    };
    cutThreePieces();
    ASSERT_EQ(boxes.shown.size(), 2u);
    expectBox(1, QStringLiteral("The disk room is not enough"), BoxStyle::DiskError, kTavrin);
    EXPECT_TRUE(busySeen);
    expectIdle();
    EXPECT_EQ(SSTab1->currentIndex(), 0);
}

TEST_F(Form2Test, JoinFromTheButtonConcatenatesTheListedPieces)
{
    const QString source = cutThreePieces();
    boxes.shown.clear();
    const QString destination = path(QStringLiteral("joined.txt"));
    Text4->setText(destination);
    bool busySeen = false;
    files->onOpen = [&] {
        test::onWindowThread([&] {
            busySeen = busySeen || QTest::qWaitFor([&] {
                           return QApplication::overrideCursor() != nullptr && ProgressBar1->isVisible();
                       });
        });
    };
    click(Command6);

    ASSERT_EQ(boxes.shown.size(), 2u);
    expectBox(0, QStringLiteral("Are you sure? the file  ") + destination + QStringLiteral("  will to be joined"),
              BoxStyle::Question, kParvix);
    expectBox(1, destination + QStringLiteral(" is joined completely!"), BoxStyle::Notice, kParvix);
    EXPECT_EQ(test::readWholeFile(destination), test::readWholeFile(source));
    EXPECT_TRUE(busySeen);
    expectIdle();
    EXPECT_EQ(List1->count(), 3);
}

TEST_F(Form2Test, JoinOverAnExistingFileAsksWithNoAsTheDefault)
{
    const QString source = cutThreePieces();
    boxes.shown.clear();
    Text4->setText(source); // the proposal: the source itself, which exists
    boxes.answer(Button::No);
    const QByteArray before = test::readWholeFile(source);
    click(Command6);
    ASSERT_EQ(boxes.shown.size(), 1u);
    expectBox(
        0, QStringLiteral("The file  ") + source + QString::fromUtf8("  has already existed，Do you want to replace？"),
        BoxStyle::ReplaceQuestion, kParvix);
    EXPECT_EQ(test::readWholeFile(source), before);
}

TEST_F(Form2Test, JoinFailureReportsTheDiskErrorAndResetsPointerAndProgress)
{
    cutThreePieces();
    boxes.shown.clear();
    files->failOn(FaultInjectingFileServices::Call::OpenRead, 2, 70);
    Text4->setText(path(QStringLiteral("joined.txt")));
    click(Command6);
    ASSERT_EQ(boxes.shown.size(), 2u);
    expectBox(1, QStringLiteral("Disk is protected or file is protected"), BoxStyle::DiskError, kTavrin);
    expectIdle();
}

TEST_F(Form2Test, JoinWithAnEmptyDestinationAsksForAName)
{
    clickTab(1);
    click(Command6);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Please specify a file name !"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text4->hasFocus(); }));
}

struct ProgressCase
{
    float maximum;
    float value;
    int shown; // of 1000
};

TEST_F(Form2Test, ProgressScalesSinglePrecisionValuesOntoTheBar)
{
    const ProgressCase cases[] = {
        {0, 0, 0}, {4, 2, 500}, {4, 9, 1000}, {3, -1, 0}, {1e9f, 5e8f, 500}, {1, 1, 1000}, {0, 5, 0},
    };
    for (const auto& c : cases) {
        ProgressBar1->setProgressMax(c.maximum);
        ProgressBar1->setProgressValue(c.value);
        EXPECT_EQ(ProgressBar1->value(), c.shown) << c.maximum << " " << c.value;
        // Never the toolkit's "busy" bar, whose range is empty.
        EXPECT_LT(ProgressBar1->minimum(), ProgressBar1->maximum());
    }
    ProgressBar1->showProgress();
    EXPECT_TRUE(ProgressBar1->isVisible());
    ProgressBar1->hideProgress();
    EXPECT_TRUE(ProgressBar1->isHidden());
}

TEST_F(Form2Test, PointerRequestsNestNothingAndRestore)
{
    ProgressBar1->setPointer(Pointer::Hourglass);
    ProgressBar1->setPointer(Pointer::Hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Qt::CursorShape duringBox = Qt::WaitCursor;
    boxes.onShow = [&](const MessageBoxRequest&) { duringBox = QApplication::overrideCursor()->shape(); };
    form->parts().messageBox("x", BoxStyle::Notice, BoxTitle::Parvix);
    EXPECT_EQ(duringBox, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ProgressBar1->setPointer(Pointer::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ProgressBar1->setPointer(Pointer::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form2Test, TextRequestsSelectFocusAndMoveTheCaret)
{
    form->parts().setText4("/data/a.bin");
    EXPECT_EQ(Text4->text(), QStringLiteral("/data/a.bin"));
    EXPECT_EQ(Text4->cursorPosition(), 0);
    form->parts().caretToEnd(TextBox::Text4);
    EXPECT_EQ(Text4->cursorPosition(), 11);
    EXPECT_FALSE(Text4->hasSelectedText());
    Text2->setText(QStringLiteral("abc"));
    form->parts().selectAll(TextBox::Text2);
    EXPECT_EQ(Text2->selectionStart(), 0);
    EXPECT_EQ(Text2->selectedText(), QStringLiteral("abc"));
    form->parts().selectAll(TextBox::Text3); // empty: an empty selection
    EXPECT_FALSE(Text3->hasSelectedText());
    // Long paths are kept whole.
    const std::string longPath(40000, 'a');
    form->parts().setText4(longPath);
    EXPECT_EQ(Text4->text().size(), 40000);
}

TEST_F(Form2Test, JoinListTakesAHundredThousandEntries)
{
    form->parts().clearJoinList();
    for (int i = 0; i < 100000; ++i)
        form->parts().appendJoinList("/data/piece." + std::to_string(i));
    form->selectTab(1);
    ASSERT_EQ(List1->count(), 100000);
    EXPECT_EQ(List1->item(0)->text(), QStringLiteral("/data/piece.0"));
    EXPECT_EQ(List1->item(99999)->text(), QStringLiteral("/data/piece.99999"));
    form->parts().appendJoinList("/data/last");
    EXPECT_TRUE(QTest::qWaitFor([&] { return List1->count() == 100001; }));
    EXPECT_EQ(List1->item(100000)->text(), QStringLiteral("/data/last"));
    form->parts().clearJoinList();
    EXPECT_EQ(List1->count(), 0);
}

TEST_F(Form2Test, ClosingEndsTheProgramAlsoWithAHiddenWindowLeft)
{
    QWidget chooser;
    chooser.show();
    chooser.hide();
    QSignalSpy closed(form.get(), &Form2::closed);
    QTimer::singleShot(0, form.get(), &QWidget::close);
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(Form2Test, QuittingDuringACutLetsItEndWithItsLastBoxAnswered)
{
    files->onOpen = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    const QString source = path(QStringLiteral("report.txt"));
    test::writePatternFile(source, 2 * kFloppyPieceSize + 105930);
    clickTab(0);
    Text1->setText(source);
    Text2->setText(path(QStringLiteral("report$txt")));
    QTimer quit;
    QObject::connect(&quit, &QTimer::timeout, [&] {
        if (form->operationRunning() && ProgressBar1->isVisible()) {
            quit.stop();
            QCoreApplication::exit(7);
        }
    });
    quit.start(10);
    QTimer::singleShot(0, Command3, &QPushButton::click);
    EXPECT_EQ(QApplication::exec(), 7);
    EXPECT_FALSE(form->operationRunning());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].style, BoxStyle::Notice);
}

struct BoxStyleCase
{
    BoxStyle style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

TEST(MessageBox, StylesGiveTheirIconsButtonsAndDefaults)
{
    const BoxStyleCase cases[] = {
        {BoxStyle::Warning, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
        {BoxStyle::Notice, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {BoxStyle::DiskError, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {BoxStyle::Confirmation, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
        {BoxStyle::Question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
        {BoxStyle::ReplaceQuestion, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        const auto box = makeMessageBox(nullptr, {QStringLiteral("Parvix"), QStringLiteral("<b>a</b>"), c.style});
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Parvix"));
        EXPECT_EQ(box->text(), QStringLiteral("<b>a</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        if (c.buttons & QMessageBox::No) {
            EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
        }
    }
}

TEST(MessageBox, LoneCarriageReturnsBecomeLineBreaks)
{
    EXPECT_EQ(displayText("a\r\rb\rc"), QStringLiteral("a\n\nb\nc"));
    EXPECT_EQ(displayText("a\r\nb\r"), QStringLiteral("a\r\nb\n"));
    EXPECT_EQ(displayText(""), QString());
    EXPECT_EQ(displayText("已"), QString::fromUtf8("已"));
}

TEST(MessageBox, TheRealPresenterShowsTheBoxModallyAndReturnsTheButton)
{
    QtMessageBoxPresenter presenter;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Tavrin"));
            box->button(QMessageBox::No)->click();
        },
        Qt::QueuedConnection);
    EXPECT_EQ(presenter.present(nullptr, {QStringLiteral("Tavrin"), QStringLiteral("?"), BoxStyle::Question}),
              Button::No);

    // The completion notice keeps each of its lines whole.
    const QString notice = displayText("/home/user/Downloads/report.txt is cutted completely!\r\rYou can run the "
                                       "link.bat to join automatically in the destination director \rAlso you can "
                                       "use the Parvix to join the file !");
    QMetaObject::invokeMethod(
        qApp,
        [&notice] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            // Once the box has settled: the toolkit lays it out again a moment after showing it.
            QCoreApplication::sendPostedEvents();
            const QStringList lines = notice.split(QLatin1Char('\n'));
            EXPECT_EQ(label->height(), lines.size() * label->fontMetrics().lineSpacing());
            for (const QString& line : lines)
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(line)) << line.toStdString();
            box->button(QMessageBox::Ok)->click();
        },
        Qt::QueuedConnection);
    EXPECT_EQ(presenter.present(nullptr, {QStringLiteral("Parvix"), notice, BoxStyle::Notice}), Button::Ok);
}

TEST(MessageBox, TheDirectoryChoosersDiskErrorShowsWithStopIconOkAndTheProgramTitle)
{
    // The chooser's boxes are the main window's.
    Form2 window;
    WindowParts parts = window.parts();
    Questions& questions = parts;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), kTavrin);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(box->text(), QStringLiteral("The specify drive cann't to be used\n\nNo disk in the drive"));
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(questions.messageBox("The specify drive cann't to be used\r\rNo disk in the drive", BoxStyle::DiskError,
                                   BoxTitle::Program),
              Button::Ok);
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace parvix

#include "Form2Test.moc"
