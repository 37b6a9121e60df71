// Files handed to the window by the desktop: paths on the command line and files dropped on it.
#include "Form2.h"
#include "Form2Fixture.h"
#include "GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

namespace parvix {
namespace {

using test::kParvix;

// "@" in an expected text stands for the temporary folder and its separator.
QString expand(const QString& folder, const char* text)
{
    QString result = QString::fromUtf8(text);
    return result.replace(QLatin1Char('@'), QDir::toNativeSeparators(folder + QLatin1Char('/')));
}

// Names ending in "/" are folders, the others empty files.
void makeFiles(const QString& folder, const std::vector<const char*>& names)
{
    for (const char* name : names) {
        const QString path = folder + QLatin1Char('/') + QString::fromUtf8(name);
        if (path.endsWith(QLatin1Char('/'))) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
}

struct ExpectedBox
{
    const char* text;
    BoxStyle style;
};

struct StartCase
{
    const char* name;
    std::vector<const char*> files;
    std::vector<const char*> arguments; // as typed in a shell started in the folder
    int page;
    const char* text1;
    const char* text2;
    std::vector<const char*> list;
    const char* text4;
    std::vector<ExpectedBox> boxes;
};

TEST(Form2DesktopFiles, StartsOnThePageTheFirstPathCallsFor)
{
    const char* const duplicate = "The specify file has already existed in th list!";
    const StartCase cases[] = {
        {"a first piece brings its set as Add does",
         {"report$txt.001", "report$txt.002", "report$txt.003", "report$txt.bak", "Link.bat", "other$txt.001"},
         {"@report$txt.001"},
         1,
         "",
         "",
         {"@report$txt.001", "@report$txt.002", "@report$txt.003"},
         "@report.txt",
         {}},
        {"a set past 999 pieces, listed by number",
         {"big$iso.001", "big$iso.002", "big$iso.999", "big$iso.1000", "big$iso.1001"},
         {"@big$iso.001"},
         1,
         "",
         "",
         {"@big$iso.001", "@big$iso.002", "@big$iso.999", "@big$iso.1000", "@big$iso.1001"},
         "@big.iso",
         {{"Please check the cutted files：\nThese cutted files are missing：big$iso.003, big$iso.004, big$iso.005 "
           "and 993 more",
           BoxStyle::Notice}}},
        {"a four-digit first piece",
         {"disc.0001", "disc.0002", "disc.0003"},
         {"@disc.0001"},
         1,
         "",
         "",
         {"@disc.0001", "@disc.0002", "@disc.0003"},
         "@disc",
         {}},
        {"a later piece ending in 001 is a file to cut",
         {"big$iso.001", "big$iso.1001"},
         {"@big$iso.1001"},
         0,
         "@big$iso.1001",
         "@big$iso$1001",
         {},
         "",
         {}},
        {"a plain file, named relative to the shell's folder",
         {"report.txt"},
         {"report.txt", "@report.txt"},
         0,
         "@report.txt",
         "@report$txt",
         {},
         "",
         {}},
        {"a missing path",
         {"report.txt"},
         {"@nothing.txt", "@report.txt"},
         2,
         "",
         "",
         {},
         "",
         {{"No@nothing.txtFile", BoxStyle::Warning}}},
        {"a folder", {"sub/"}, {"sub"}, 2, "", "", {}, "", {{"No@subFile", BoxStyle::Warning}}},
        {"later paths are each added as Add adds them",
         {"a$txt.001", "a$txt.002", "b.dat", "c$txt.001", "c$txt.002"},
         {"@a$txt.001", "@b.dat", "@a$txt.002", "@gone.dat", "@c$txt.001"},
         1,
         "",
         "",
         {"@a$txt.001", "@a$txt.002", "@b.dat", "@c$txt.001", "@c$txt.002"},
         "@c.txt",
         {{duplicate, BoxStyle::Notice}, {"No@gone.datFile", BoxStyle::Warning}}},
    };

    const QString shellFolder = QDir::currentPath();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        makeFiles(dir.path(), c.files);
        QStringList arguments;
        for (const char* argument : c.arguments)
            arguments.push_back(expand(dir.path(), argument));

        test::ScriptedBoxes boxes;
        Form2 form;
        form.setMessageBoxPresenter(&boxes);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        form.openPaths(arguments);
        QDir::setCurrent(shellFolder);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.operationRunning(); }));

        const auto* Text2 = test::findControl<QLineEdit>(form, "Text2");
        const auto* List1 = test::findControl<QListWidget>(form, "List1");
        EXPECT_EQ(form.currentPage(), c.page);
        EXPECT_EQ(test::findControl<QLineEdit>(form, "Text1")->text(), expand(dir.path(), c.text1));
        EXPECT_EQ(Text2->text(), expand(dir.path(), c.text2));
        if (c.page == 0) {
            EXPECT_EQ(form.focusWidget(), Text2);
        }
        QStringList expectedList;
        for (const char* entry : c.list)
            expectedList.push_back(expand(dir.path(), entry));
        QStringList list;
        for (int i = 0; i < List1->count(); ++i)
            list.push_back(List1->item(i)->text());
        EXPECT_EQ(list, expectedList);
        EXPECT_EQ(test::findControl<QLineEdit>(form, "Text4")->text(), expand(dir.path(), c.text4));
        ASSERT_EQ(boxes.shown.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(boxes.shown[i].text, expand(dir.path(), c.boxes[i].text));
            EXPECT_EQ(boxes.shown[i].style, c.boxes[i].style);
            EXPECT_EQ(boxes.shown[i].title, kParvix);
        }
    }
}

class Form2DropTest : public test::Form2Fixture
{
protected:
    // Drags `data` onto the middle of `target` and drops it there, as the window system delivers a drop
    // from a file manager; says whether the window took it.
    static bool dropOn(QWidget* target, const QMimeData& data)
    {
        const QPoint at = target->rect().center();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    // What a file manager hands over: the files' URLs, and their paths as text besides.
    static void carry(QMimeData& data, const QList<QUrl>& urls)
    {
        data.setUrls(urls);
        QStringList paths;
        for (const QUrl& url : urls)
            paths.push_back(url.toString());
        data.setText(paths.join(QLatin1Char('\n')));
    }

    QUrl url(const char* name) const { return QUrl::fromLocalFile(path(QString::fromUtf8(name))); }
};

TEST_F(Form2DropTest, DroppedFilesAreAddedOnTheJoinPageAndFillTheCutPage)
{
    makeFiles(m_dir.path(), {"c$txt.001", "c$txt.002", "c$txt.003", "plain.bin", "sub/"});
    const auto native = [this](const char* name) { return QDir::toNativeSeparators(path(QString::fromUtf8(name))); };

    clickTab(1);
    QMimeData toJoin;
    carry(toJoin,
          {url("sub"), QUrl(QStringLiteral("https://example.com/d$txt.001")), url("c$txt.001"), url("plain.bin")});
    ASSERT_TRUE(dropOn(List1->viewport(), toJoin));
    const QStringList joined = {native("c$txt.001"), native("c$txt.002"), native("c$txt.003"), native("plain.bin")};
    // The window acts on a drop once the drop itself has ended.
    EXPECT_TRUE(QTest::qWaitFor([&] { return List1->count() > 0; }));
    waitUntilIdle();
    EXPECT_EQ(listEntries(), joined);
    EXPECT_EQ(Text4->text(), native("c.txt"));
    EXPECT_TRUE(boxes.shown.empty());

    clickTab(0);
    QMimeData toCut;
    carry(toCut, {url("sub"), url("plain.bin"), url("c$txt.001")});
    ASSERT_TRUE(dropOn(Text1, toCut));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Text1->text().isEmpty(); }));
    EXPECT_EQ(Text1->text(), native("plain.bin"));
    EXPECT_EQ(Text2->text(), native("plain$bin"));
    EXPECT_EQ(form->focusWidget(), Text2);
}

} // namespace
} // namespace parvix
