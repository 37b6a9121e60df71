#include "NativeDirectorySource.h"
#include "FileError.h"

#include "QtPrinters.h"
#include "TestDirectories.h"
#ifndef _WIN32
#include "Sandbox.h"
#endif

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace parvix {
namespace {

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(NativeDirectorySource, ListsSubdirectoriesOnlyInCaseBlindOrder)
{
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    const QDir dir(tree.path());
    // Two names that differ in case only are one name on Windows.
#ifdef _WIN32
    for (const char* name : {"beta", "Alpha", "gamma"})
#else
    for (const char* name : {"beta", "Alpha", "gamma", "alpha"})
#endif
        ASSERT_TRUE(dir.mkdir(q(name)));
    test::makeHiddenDirectory(tree.path(), q(".hidden"));
    QFile file(dir.filePath(q("file.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
#ifndef _WIN32
    ASSERT_TRUE(QFile::link(dir.filePath(q("gamma")), dir.filePath(q("linked"))));
    ASSERT_TRUE(QFile::link(dir.filePath(q("nowhere")), dir.filePath(q("dangling"))));
    ASSERT_TRUE(QFile::link(dir.filePath(q("file.txt")), dir.filePath(q("filelink"))));
#endif

    NativeDirectorySource source;
    QStringList names;
    const QString top = QDir::toNativeSeparators(tree.path());
    ASSERT_EQ(source.subdirectories(top, names), 0);
#ifndef _WIN32
    EXPECT_EQ(names, (QStringList{q("Alpha"), q("alpha"), q("beta"), q("gamma"), q("linked")}));
#else
    EXPECT_EQ(names, (QStringList{q("Alpha"), q("beta"), q("gamma")}));
#endif

    // An empty directory opens, with nothing in it.
    EXPECT_EQ(source.subdirectories(childPath(top, q("beta")), names), 0);
    EXPECT_EQ(names, QStringList{});
}

TEST(NativeDirectorySource, FailuresCarryTheEnginesErrorNumbers)
{
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    QFile file(QDir(tree.path()).filePath(q("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString top = QDir::toNativeSeparators(tree.path());
    const QString gone = test::missingDriveRoot(tree.path() + q("/gone"));
    ASSERT_FALSE(gone.isEmpty());

    const struct
    {
        QString directory;
        int number;
    } cases[] = {
        {childPath(top, q("missing")), errnum::kFileNotFound},
        {childPath(top, q("plain")), errnum::kFileNotFound}, // a file where the folder should be
        {gone, errnum::kDeviceUnavailable},
        {childPath(gone, q("data")), errnum::kDeviceUnavailable},
    };
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    NativeDirectorySource source({{root, root}, {gone, gone}});
    for (const auto& c : cases) {
        QStringList names{q("untouched")};
        EXPECT_EQ(source.subdirectories(c.directory, names), c.number) << c.directory.toStdString();
        EXPECT_EQ(names, QStringList{q("untouched")});
    }
}

#ifndef _WIN32

TEST(NativeDirectorySource, ADirectoryClosedToTheUserIsProtected)
{
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    const QDir dir(tree.path());
    for (const char* name : {"closed/inner", "unsearchable/inner"})
        ASSERT_TRUE(dir.mkpath(q(name)));
    test::openToEveryone(QFile::encodeName(tree.path()).toStdString());
    const QByteArray closed = QFile::encodeName(dir.filePath(q("closed")));
    const QByteArray unsearchable = QFile::encodeName(dir.filePath(q("unsearchable")));
    ASSERT_EQ(::chmod(closed.constData(), 0), 0);
    ASSERT_EQ(::chmod(unsearchable.constData(), 0444), 0); // names can be read, but nothing inside reached

    const struct
    {
        const char* directory;
        int number;
        QStringList names;
    } cases[] = {
        {"closed", errnum::kPermissionDenied, {}},
        {"closed/inner", errnum::kPermissionDenied, {}},
        {"unsearchable", 0, {q("inner")}},
        {"unsearchable/inner", errnum::kPermissionDenied, {}},
    };
    // What a directory gave, as one line: the child process reports in text.
    const auto line = [](const char* directory, int number, const QStringList& names) {
        return std::string(directory) + ": " + std::to_string(number) + " " + names.join(q(",")).toStdString() + "\n";
    };
    std::string expected;
    for (const auto& c : cases)
        expected += line(c.directory, c.number, c.names);
    // Root may open anything: the directories are read as another user.
    const std::string seen = test::runAsNobody([&] {
        NativeDirectorySource source({{q("/"), q("/")}});
        std::string text;
        for (const auto& c : cases) {
            QStringList names;
            const int number = source.subdirectories(dir.filePath(q(c.directory)), names);
            text += line(c.directory, number, names);
        }
        return text;
    });
    EXPECT_EQ(seen, expected);

    ::chmod(closed.constData(), 0755);
    ::chmod(unsearchable.constData(), 0755);
}

TEST(NativeDirectorySource, MachineDrivesStartAtTheRoot)
{
    NativeDirectorySource source;
    const QList<Drive> drives = source.drives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first().root, q("/"));
    for (const Drive& drive : drives)
        EXPECT_TRUE(QFileInfo(drive.root).isDir()) << drive.root.toStdString();
}

TEST(NativeDirectorySource, DriveOpensAtTheLastDirectoryShownOnIt)
{
    NativeDirectorySource source({{q("/"), q("/")}, {q("/mnt/usb"), q("/mnt/usb")}});
    const Drive root = source.drives().at(0);
    const Drive usb = source.drives().at(1);
    EXPECT_EQ(source.currentDirectoryOf(usb), q("/mnt/usb"));

    source.shown(q("/mnt/usb/photos/2020"));
    source.shown(q("/etc"));
    EXPECT_EQ(source.currentDirectoryOf(usb), q("/mnt/usb/photos/2020"));
    EXPECT_EQ(source.currentDirectoryOf(root), q("/etc"));

    source.shown(q("/mnt/usb"));
    EXPECT_EQ(source.currentDirectoryOf(usb), q("/mnt/usb"));
}

#endif

} // namespace
} // namespace parvix
