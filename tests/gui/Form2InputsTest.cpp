// The inputs of the Cut file and Join file pages: the source browse and its derived destination, the
// piece-size options, Enter in the inputs, and the join list's Add and Delete on real folders.
#include "CutPage.h"
#include "Form2Fixture.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

namespace parvix {
namespace {

// Windows' own file dialog takes "*.*" for every file; Qt's elsewhere wants "*".
#ifdef Q_OS_WIN
const QString kAllFiles = QStringLiteral("(*.*)");
#else
const QString kAllFiles = QStringLiteral("(*)");
#endif

// An absolute path on this system from one written from the root ("data/x" gives /data/x or C:/data/x).
QString fromRoot(const char* path)
{
    return QDir::rootPath() + QString::fromUtf8(path);
}

using test::kParvix;

class Form2InputsTest : public test::Form2Fixture
{
protected:
    void touch(const QString& name, qint64 size = 10) { test::writePatternFile(path(name), size, size & 0xff); }

    void pressEnter(QWidget* widget)
    {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        waitUntilIdle();
    }
};

struct Derivation
{
    const char* chosen;
    const char* text2;
};

TEST_F(Form2InputsTest, SourceBrowseFillsTheSourceAndDerivesTheDestination)
{
    const Derivation cases[] = {
        {"/data/report.txt", "/data/report$txt"},   {"/data/photo.jpeg", "/data/photo$jpeg"},
        {"/data/archive.gz", "/data/archive$gz"},   {"/my.files/readme", "/my.files/readme"},
        {"/data/readme", "/data/readme"},           {"a.b", "a$b"},
        {"/数据/文件.文本档", "/数据/文件$文本档"}, {"/数据/报告.文本", "/数据/报告$文本"},
    };
    clickTab(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        // Paths as the dialog gives them, with the platform's separator.
        const QString chosen = QDir::toNativeSeparators(QString::fromUtf8(c.chosen));
        dialogs.choose(chosen);
        click(Command1);
        EXPECT_EQ(Text1->text(), chosen);
        EXPECT_EQ(Text2->text(), QDir::toNativeSeparators(QString::fromUtf8(c.text2)));
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(Option1->isChecked());
    EXPECT_EQ(SSTab1->currentIndex(), 0);
}

TEST_F(Form2InputsTest, SourceDialogOpensWithItsCreationSettings)
{
    clickTab(0);
    click(Command1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const FileDialogRequest& request = dialogs.shown[0];
    EXPECT_EQ(request.title, QString::fromUtf8("请打开一个要分割的文件"));
    const QStringList filters = {
        QString::fromUtf8("执行文件[*.exe] (*.exe)"),
        QString::fromUtf8("压缩文件[*.zip;*.arj;*.rar] (*.zip *.rar *.arj)"),
        QString::fromUtf8("图片文件[*.bmp,*.jpg,*.gif] (*.bmp *.jpg *.gif)"),
        QString::fromUtf8("所有文件[*.*] ") + kAllFiles,
    };
    EXPECT_EQ(request.nameFilters, filters);
    EXPECT_EQ(request.filterIndex, 3);
#ifdef Q_OS_WIN
    EXPECT_EQ(request.directory, QStringLiteral("c:\\my documents"));
#else
    EXPECT_EQ(request.directory, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
#endif
    EXPECT_TRUE(request.fileMustExist);
    EXPECT_EQ(CommonDialog1->flags(), 4100);
}

TEST_F(Form2InputsTest, CancellingTheSourceDialogChangesNothing)
{
    clickTab(0);
    dialogs.choose(fromRoot("data/report.txt"));
    click(Command1);
    Text1->setText(QStringLiteral("/typed/by/hand"));
    dialogs.cancel();
    click(Command1);
    EXPECT_EQ(Text1->text(), QStringLiteral("/typed/by/hand"));
    EXPECT_EQ(Text2->text(), fromRoot("data/report$txt"));
    // The dialog opened again where the file chosen before lies, with that file named.
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].directory, fromRoot("data"));
    EXPECT_EQ(dialogs.shown[1].fileName, fromRoot("data/report.txt"));
}

TEST_F(Form2InputsTest, TypingASourceNeverChangesTheDestination)
{
    clickTab(0);
    Text2->setText(QStringLiteral("/keep"));
    Text1->setFocus();
    QTest::keyClicks(Text1, QStringLiteral("/data/report.txt"));
    Text2->setFocus(); // the source box loses the focus
    EXPECT_EQ(Text2->text(), QStringLiteral("/keep"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form2InputsTest, OptionButtonsShowAndHideTheSizeBox)
{
    clickTab(0);
    QTest::mouseClick(Option2, Qt::LeftButton);
    EXPECT_TRUE(Option2->isChecked());
    EXPECT_TRUE(Text3->isVisible());
    EXPECT_TRUE(Text3->isEnabled());
    EXPECT_TRUE(Label1->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text3->hasFocus(); }));
    QTest::keyClicks(Text3, QStringLiteral("12ab"));

    QTest::mouseClick(Option1, Qt::LeftButton);
    EXPECT_TRUE(Option1->isChecked());
    EXPECT_TRUE(Text3->isHidden());
    EXPECT_FALSE(Text3->isEnabled());
    EXPECT_TRUE(Label1->isHidden());

    // A click on the selected button applies its state again; the size typed before is kept.
    QTest::mouseClick(Option1, Qt::LeftButton);
    EXPECT_TRUE(Text3->isHidden());
    QTest::mouseClick(Option2, Qt::LeftButton);
    QTest::mouseClick(Option2, Qt::LeftButton);
    EXPECT_TRUE(Text3->isVisible());
    EXPECT_EQ(Text3->text(), QStringLiteral("12ab"));
}

TEST_F(Form2InputsTest, TheSelectedOptionIsTheOnlyTabStopOfTheGroup)
{
    clickTab(0);
    auto next = [] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget()->objectName();
    };
    Command2->setFocus();
    EXPECT_EQ(next(), QStringLiteral("Option1"));
    EXPECT_EQ(next(), QStringLiteral("Check1"));
    EXPECT_EQ(next(), QStringLiteral("Command3"));
    QTest::mouseClick(Option2, Qt::LeftButton);
    Command2->setFocus();
    EXPECT_EQ(next(), QStringLiteral("Option2"));
    EXPECT_EQ(next(), QStringLiteral("Text3"));
    EXPECT_EQ(next(), QStringLiteral("Check1"));
    EXPECT_EQ(next(), QStringLiteral("Command3"));
    // The arrow keys still move between the two, applying the option.
    Option2->setFocus();
    QTest::keyClick(Option2, Qt::Key_Up);
    EXPECT_TRUE(Option1->isChecked());
    EXPECT_TRUE(Text3->isHidden());
}

TEST_F(Form2InputsTest, EnterInTheCutInputsStartsTheCutAndReachesTheInput)
{
    clickTab(0);
    QTest::mouseClick(Option2, Qt::LeftButton);
    for (QWidget* input : std::initializer_list<QWidget*>{Text1, Text2, Text3, Option1, Check1}) {
        SCOPED_TRACE(input->objectName().toStdString());
        boxes.shown.clear();
        if (input == Option1)
            QTest::mouseClick(Option1, Qt::LeftButton);
        auto* edit = qobject_cast<QLineEdit*>(input);
        std::unique_ptr<QSignalSpy> returned;
        if (edit != nullptr)
            returned = std::make_unique<QSignalSpy>(edit, &QLineEdit::returnPressed);
        pressEnter(input);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Please select a file to be cutted"));
        if (returned) {
            EXPECT_EQ(returned->count(), 1);
        }
    }
    // Enter is no click: the box is left as it was.
    EXPECT_FALSE(Check1->isChecked());
    // Enter on the other option button or on a button is no trigger, nor Enter with Ctrl or Alt.
    boxes.shown.clear();
    QTest::keyClick(Text1, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(Text2, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    QTest::mouseClick(Option2, Qt::LeftButton);
    pressEnter(Option2);
    pressEnter(Command1);
    EXPECT_TRUE(boxes.shown.empty());
    // Other keys pass into the inputs unfiltered.
    Text3->clear();
    QTest::keyClicks(Text3, QStringLiteral("x1 "));
    EXPECT_EQ(Text3->text(), QStringLiteral("x1 "));
}

TEST_F(Form2InputsTest, EnterInTheSizeBoxCutsWithTheTypedSize)
{
    const QString source = path(QStringLiteral("data.bin"));
    test::writePatternFile(source, 5000);
    clickTab(0);
    Text1->setText(source);
    Text2->setText(path(QStringLiteral("data$bin")));
    QTest::mouseClick(Option2, Qt::LeftButton);
    QTest::keyClicks(Text3, QStringLiteral("2"));
    pressEnter(Text3);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(listEntries(), (QStringList{path(QStringLiteral("data$bin.001")), path(QStringLiteral("data$bin.002")),
                                          path(QStringLiteral("data$bin.003"))}));
    EXPECT_EQ(QFile(path(QStringLiteral("data$bin.001"))).size(), 2048);
    EXPECT_EQ(QFile(path(QStringLiteral("data$bin.003"))).size(), 5000 - 4096);
}

TEST_F(Form2InputsTest, RecoveryIsAskedOfTheCutWhileCheckedAndOutlivesTheCut)
{
    clickTab(0);
    Text1->setText(path(QStringLiteral("report.txt")));
    EXPECT_FALSE(form->cutPage().inputs().recoveryOneInTwenty);
    QTest::mouseClick(Check1, Qt::LeftButton);
    const SplitInputs checked = form->cutPage().inputs();
    EXPECT_TRUE(checked.recoveryOneInTwenty);
    // The window asks for its share only, never a count of pieces, and the other inputs stay as typed.
    EXPECT_EQ(checked.recoveryPieces, 0);
    EXPECT_EQ(checked.text1, path(QStringLiteral("report.txt")).toStdString());
    EXPECT_TRUE(checked.option1);

    cutThreePieces();
    EXPECT_EQ(listEntries().size(), 3);
    EXPECT_EQ(SSTab1->currentIndex(), 1);
    EXPECT_TRUE(Check1->isChecked());
    clickTab(0);
    EXPECT_TRUE(form->cutPage().inputs().recoveryOneInTwenty);

    // Space toggles it as on any check box.
    Check1->setFocus();
    QTest::keyClick(Check1, Qt::Key_Space);
    EXPECT_FALSE(Check1->isChecked());
    EXPECT_FALSE(form->cutPage().inputs().recoveryOneInTwenty);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(Form2InputsTest, EnterInTheJoinInputsStartsTheJoin)
{
    clickTab(1);
    for (QWidget* input : std::initializer_list<QWidget*>{Text4, List1}) {
        SCOPED_TRACE(input->objectName().toStdString());
        boxes.shown.clear();
        pressEnter(input);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Please specify a file name !"));
    }
    boxes.shown.clear();
    pressEnter(Command4);
    pressEnter(Command5);
    QTest::keyClick(Text4, Qt::Key_Return, Qt::AltModifier);
    QTest::keyClick(List1, Qt::Key_Return, Qt::ControlModifier);
    waitUntilIdle();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form2InputsTest, AddSetsItsFilterAndLeavesItForTheSourceDialog)
{
    clickTab(1);
    CommonDialog1->setFileName(QStringLiteral("/data/x.bin"));
    click(Command4);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QStringList filters = {
        QStringLiteral("Cut file[*.001] (*.001)"),
        QStringLiteral("Sub split file[*.002,*.003,*.004,*.005,*.006,*.007,*.008,*.009] "
                       "(*.002 *.003 *.004 *.005 *.006 *.007 *.008 *.009)"),
        QStringLiteral("All files[*.*] ") + kAllFiles,
    };
    EXPECT_EQ(dialogs.shown[0].nameFilters, filters);
    EXPECT_EQ(dialogs.shown[0].fileName, QString());
    EXPECT_EQ(dialogs.shown[0].title, QString::fromUtf8("请打开一个要分割的文件"));
    EXPECT_TRUE(dialogs.shown[0].fileMustExist);
    EXPECT_EQ(List1->count(), 0); // cancelled: nothing changes
    EXPECT_TRUE(boxes.shown.empty());

    clickTab(0);
    click(Command1);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].nameFilters, filters);
}

TEST_F(Form2InputsTest, AddOfAFirstPieceBringsItsSetInNumberOrder)
{
    for (const char* name : {"A$B.003", "A$B.001", "A$B.005", "A$B.002", "A$B.004", "A$B.bak", "A$B.000", "Other.001"})
        touch(QString::fromUtf8(name));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("A$B.006")));
    clickTab(1);
    Text4->setText(QStringLiteral("old"));
    dialogs.choose(path(QStringLiteral("A$B.001")));
    click(Command4);

    // A ".000" beside ".001" starts a set numbered from zero.
    QStringList expected;
    for (const char* name : {"A$B.000", "A$B.001", "A$B.002", "A$B.003", "A$B.004", "A$B.005"})
        expected.push_back(path(QString::fromUtf8(name)));
    EXPECT_EQ(listEntries(), expected);
    EXPECT_EQ(Text4->text(), path(QStringLiteral("A.B")));
    EXPECT_EQ(Text4->cursorPosition(), Text4->text().size());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form2InputsTest, AddOfAThousandAndOnePiecesKeepsTheirNumberOrder)
{
    QStringList expected;
    for (int n = 1; n <= 1001; ++n) {
        const QString suffix = n < 10    ? QStringLiteral(".00%1")
                               : n < 100 ? QStringLiteral(".0%1")
                                         : QStringLiteral(".%1");
        const QString name = QStringLiteral("big$dat") + suffix.arg(n);
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        expected.push_back(path(name));
    }
    clickTab(1);
    dialogs.choose(path(QStringLiteral("big$dat.001")));
    click(Command4);
    ASSERT_EQ(List1->count(), 1001);
    EXPECT_EQ(listEntries(), expected);
    EXPECT_EQ(List1->item(999)->text(), path(QStringLiteral("big$dat.1000")));
    EXPECT_EQ(List1->item(1000)->text(), path(QStringLiteral("big$dat.1001")));
    EXPECT_EQ(Text4->text(), path(QStringLiteral("big.dat")));
}

TEST_F(Form2InputsTest, AddRefusesFilesAlreadyListed)
{
    for (const char* name : {"A$B.001", "A$B.002", "A$B.003"})
        touch(QString::fromUtf8(name));
    clickTab(1);
    dialogs.choose(path(QStringLiteral("A$B.003")));
    click(Command4);
    EXPECT_EQ(listEntries(), QStringList{path(QStringLiteral("A$B.003"))});
    EXPECT_EQ(Text4->text(), QString()); // a single file proposes nothing

    dialogs.choose(path(QStringLiteral("A$B.003")));
    click(Command4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    expectBox(0, QStringLiteral("The specify file has already existed in th list!"), BoxStyle::Notice, kParvix);
    EXPECT_EQ(List1->count(), 1);

    // The set: .001 and .002 go in, .003 is already there and ends the Add before the proposal.
    boxes.shown.clear();
    Text4->setText(QStringLiteral("kept"));
    dialogs.choose(path(QStringLiteral("A$B.001")));
    click(Command4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("The specify file has already existed in th list"));
    EXPECT_EQ(listEntries(), (QStringList{path(QStringLiteral("A$B.003")), path(QStringLiteral("A$B.001")),
                                          path(QStringLiteral("A$B.002"))}));
    EXPECT_EQ(Text4->text(), QStringLiteral("kept"));

    // The same set again: the first name is a duplicate, nothing is added.
    boxes.shown.clear();
    dialogs.choose(path(QStringLiteral("A$B.001")));
    click(Command4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(List1->count(), 3);
}

TEST_F(Form2InputsTest, AddOfAFirstPieceWithoutADollarProposesWithoutMovingTheCaret)
{
    touch(QStringLiteral("movie.001"));
    touch(QStringLiteral("movie.002"));
    clickTab(1);
    dialogs.choose(path(QStringLiteral("movie.001")));
    click(Command4);
    EXPECT_EQ(List1->count(), 2);
    EXPECT_EQ(Text4->text(), path(QStringLiteral("movie")));
    EXPECT_EQ(Text4->cursorPosition(), 0);
}

struct DeleteCase
{
    int entries;
    int selected; // -1: nothing selected
    QStringList left;
    int current;
};

TEST_F(Form2InputsTest, DeleteRemovesTheSelectedEntryAndSelectsTheOneBefore)
{
    const DeleteCase cases[] = {
        {3, 1, {QStringLiteral("a"), QStringLiteral("c")}, 0},
        {3, 0, {QStringLiteral("b"), QStringLiteral("c")}, 0},
        {3, 2, {QStringLiteral("a"), QStringLiteral("b")}, 1},
        {1, 0, {}, -1},
        {0, -1, {}, -1},
        {2, -1, {QStringLiteral("a"), QStringLiteral("b")}, -1},
    };
    clickTab(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.entries << " entries, selected " << c.selected);
        form->parts().clearJoinList();
        for (int i = 0; i < c.entries; ++i)
            form->parts().appendJoinList(std::string(1, static_cast<char>('a' + i)));
        form->selectTab(1);
        List1->clearSelection();
        List1->setCurrentRow(-1);
        if (c.selected >= 0)
            QTest::mouseClick(List1->viewport(), Qt::LeftButton, {},
                              List1->visualItemRect(List1->item(c.selected)).center());
        click(Command5);
        EXPECT_EQ(listEntries(), c.left);
        const auto selected = List1->selectedItems();
        if (c.current >= 0) {
            ASSERT_EQ(selected.size(), 1);
            EXPECT_EQ(List1->row(selected.front()), c.current);
            EXPECT_EQ(List1->toolTip(), selected.front()->text());
        } else if (c.selected >= 0) {
            EXPECT_TRUE(selected.isEmpty());
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form2InputsTest, TheListShowsItsCurrentEntryAsToolTip)
{
    form->parts().appendJoinList("/data/a.001");
    form->parts().appendJoinList("/data/a.002");
    clickTab(1);
    QTest::mouseClick(List1->viewport(), Qt::LeftButton, {}, List1->visualItemRect(List1->item(1)).center());
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/a.002"));
    List1->setFocus();
    QTest::keyClick(List1, Qt::Key_Up);
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/a.001"));

    // Nothing else changes it: neither emptying the list, nor deleting its only entry, nor the focus
    // coming in, after which the first Down selects the first entry.
    form->parts().clearJoinList();
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/a.001"));
    form->parts().appendJoinList("/data/b.001");
    form->selectTab(1);
    QTest::keyClick(List1, Qt::Key_Down);
    click(Command5);
    ASSERT_EQ(List1->count(), 0);
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/b.001"));
    form->parts().appendJoinList("/data/c.001");
    form->parts().appendJoinList("/data/c.002");
    form->selectTab(1);
    Command4->setFocus();
    QTest::keyClick(Command4, Qt::Key_Backtab);
    ASSERT_TRUE(List1->hasFocus());
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/b.001"));
    QTest::keyClick(List1, Qt::Key_Down);
    EXPECT_EQ(List1->toolTip(), QStringLiteral("/data/c.001"));
}

TEST_F(Form2InputsTest, TheTypicalRoadBrowseCutJoin)
{
    const QString source = path(QStringLiteral("report.txt"));
    test::writePatternFile(source, 3 * kFloppyPieceSize + 1234, 7);
    const QByteArray original = test::readWholeFile(source);

    clickTab(0);
    dialogs.choose(source);
    click(Command1);
    EXPECT_EQ(Text2->text(), path(QStringLiteral("report$txt")));
    click(Command3);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(SSTab1->currentIndex(), 1);
    EXPECT_EQ(List1->count(), 4);
    EXPECT_EQ(Text4->text(), source);

    // The joined file replaces the source, after the replace question and the confirmation.
    test::writePatternFile(source, 10, 99);
    boxes.shown.clear();
    click(Command6);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].style, BoxStyle::ReplaceQuestion);
    EXPECT_EQ(boxes.shown[1].style, BoxStyle::Question);
    EXPECT_EQ(boxes.shown[2].text, source + QStringLiteral(" is joined completely!"));
    EXPECT_EQ(test::readWholeFile(source), original);

    // Link.bat names the pieces and the joined file.
    const QByteArray link = test::readWholeFile(path(QStringLiteral("Link.bat")));
    EXPECT_TRUE(link.startsWith("copy/B "));
    EXPECT_TRUE(link.contains("report.txt"));
}

// Makes a directory the working directory for the life of the object.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const QString& directory) : m_old(QDir::currentPath())
    {
        m_set = QDir::setCurrent(directory);
    }
    ~WorkingDirectory() { QDir::setCurrent(m_old); }
    bool isSet() const { return m_set; }

private:
    QString m_old;
    bool m_set = false;
};

TEST_F(Form2InputsTest, BothDestinationBrowsesFillBothDestinationsFromTheDirectoryChooser)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("start/alpha/deep"))));
    // The chooser opens first at the working directory, afterwards where it was left.
    const WorkingDirectory start(path(QStringLiteral("start")));
    ASSERT_TRUE(start.isSet());
    struct Case
    {
        int page;
        QPushButton* browse;
        const char* open;
        const char* chosen;
    };
    const Case cases[] = {
        {0, Command2, "alpha", "start/alpha"},
        {1, test::findControl<QPushButton>(*form, "Command10"), "deep", "start/alpha/deep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        clickTab(c.page);
        bool chose = false;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (chooser == nullptr) {
                ADD_FAILURE() << "no directory chooser";
                return;
            }
            auto* list = chooser->findChild<QListWidget*>(QStringLiteral("Dir1"));
            auto* ok = chooser->findChild<QPushButton*>(QStringLiteral("command1"));
            const QList<QListWidgetItem*> entries =
                list ? list->findItems(QString::fromUtf8(c.open), Qt::MatchExactly) : QList<QListWidgetItem*>();
            if (ok == nullptr || entries.size() != 1) {
                ADD_FAILURE() << "no Ok, or no single entry " << c.open;
                chooser->hide();
                return;
            }
            // Highlighted, opened with Enter, and chosen.
            list->setCurrentItem(entries.first());
            QTest::keyClick(list, Qt::Key_Return);
            QTest::mouseClick(ok, Qt::LeftButton);
            chose = true;
        });
        QTest::mouseClick(c.browse, Qt::LeftButton);
        EXPECT_TRUE(chose);
        EXPECT_EQ(Text2->text(), path(QString::fromUtf8(c.chosen)) + QDir::separator());
        EXPECT_EQ(Text4->text(), path(QString::fromUtf8(c.chosen)) + QDir::separator());
    }
}

struct FilterCase
{
    const char* filter;
    QStringList expected;
};

TEST(CommonDialog, FiltersTakeTheToolkitsForm)
{
    const FilterCase cases[] = {
        {"Text[*.txt]|*.txt", {QStringLiteral("Text[*.txt] (*.txt)")}},
        {"A|*.a;*.b|B|*.c", {QStringLiteral("A (*.a *.b)"), QStringLiteral("B (*.c)")}},
        {"All|*.*", {QStringLiteral("All ") + kAllFiles}},
        {"", {}},
        {"Lonely label", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qtNameFilters(QString::fromUtf8(c.filter)), c.expected) << c.filter;
}

TEST(CommonDialog, KeepsItsSettingsAndTheChoiceBetweenOpenings)
{
    test::ScriptedDialogs dialogs;
    CommonDialog dialog;
    dialog.setPresenter(&dialogs);
    dialog.setDialogTitle(QStringLiteral("T"));
    dialog.setFilter(QStringLiteral("A|*.a|B|*.b"));
    dialog.setFilterIndex(2);
    dialog.setInitDir(QStringLiteral("/start"));
    dialog.setFlags(CommonDialog::kFileMustExist);

    dialogs.choose(fromRoot("x/y.a"), 0);
    EXPECT_EQ(dialog.showOpen(nullptr), fromRoot("x/y.a"));
    EXPECT_EQ(dialog.fileName(), fromRoot("x/y.a"));
    EXPECT_EQ(dialog.filterIndex(), 1);
    dialogs.cancel();
    EXPECT_EQ(dialog.showOpen(nullptr), QString());
    dialog.setFilter(QStringLiteral("Only|*.c"));
    dialog.setFilterIndex(3); // past the end: the first entry
    dialog.setFileName(QString());
    dialog.setFlags(0);
    dialog.showOpen(nullptr);

    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("T"));
    EXPECT_EQ(dialogs.shown[0].filterIndex, 1);
    EXPECT_EQ(dialogs.shown[0].directory, QStringLiteral("/start"));
    EXPECT_TRUE(dialogs.shown[0].fileMustExist);
    EXPECT_EQ(dialogs.shown[1].directory, fromRoot("x"));
    EXPECT_EQ(dialogs.shown[1].fileName, fromRoot("x/y.a"));
    EXPECT_EQ(dialogs.shown[1].filterIndex, 0);
    EXPECT_EQ(dialogs.shown[2].filterIndex, 0);
    EXPECT_EQ(dialogs.shown[2].directory, QStringLiteral("/start"));
    EXPECT_FALSE(dialogs.shown[2].fileMustExist);
}

TEST(CommonDialog, TheRealDialogOpensInTheNearestExistingFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileDialogPresenter presenter;
    FileDialogRequest request;
    request.title = QStringLiteral("Pick");
    request.nameFilters = qtNameFilters(QStringLiteral("A|*.a|All|*.*"));
    request.filterIndex = 1;
    request.directory = dir.filePath(QStringLiteral("missing/deeper"));
    request.fileMustExist = true;
    QString shownFolder;
    QString shownFilter;
    QString shownTitle;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shownFolder = dialog->directory().absolutePath();
            shownFilter = dialog->selectedNameFilter();
            shownTitle = dialog->windowTitle();
            dialog->reject();
        },
        Qt::QueuedConnection);
    const FileDialogAnswer answer = presenter.getOpenFileName(nullptr, request);
    EXPECT_EQ(answer.path, QString());
    EXPECT_EQ(shownFolder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(shownFilter, QStringLiteral("All")); // the label alone: its patterns are hidden
    EXPECT_EQ(shownTitle, QStringLiteral("Pick"));

    // Choosing a file returns its full path and the filter it was chosen under.
    const QString chosen = dir.filePath(QStringLiteral("x.a"));
    test::writePatternFile(chosen, 1);
    request.directory = dir.path();
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectNameFilter(request.nameFilters[0]);
            dialog->selectFile(chosen);
            QMetaObject::invokeMethod(dialog, "accept");
        },
        Qt::QueuedConnection);
    const FileDialogAnswer picked = presenter.getOpenFileName(nullptr, request);
    EXPECT_EQ(picked.path, QDir::toNativeSeparators(chosen));
    EXPECT_EQ(picked.filterIndex, 0);
}

} // namespace
} // namespace parvix
