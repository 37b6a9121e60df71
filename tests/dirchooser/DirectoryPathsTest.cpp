#include "DirectoryPaths.h"
#include "MountTable.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace parvix {
namespace {

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

#ifndef _WIN32

TEST(DirectoryPaths, ChainRunsFromTheRootToTheDirectory)
{
    EXPECT_EQ(pathChain(q("/")), QStringList{q("/")});
    EXPECT_EQ(pathChain(q("/home")), (QStringList{q("/"), q("/home")}));
    EXPECT_EQ(pathChain(q("/home/a b/c")), (QStringList{q("/"), q("/home"), q("/home/a b"), q("/home/a b/c")}));
    EXPECT_EQ(pathChain(q("relative/dir")), QStringList{});
}

TEST(DirectoryPaths, OnlyTheRootKeepsItsSeparator)
{
    struct Case
    {
        const char* given;
        const char* normalised;
        bool root;
        const char* shown;
    };
    const Case cases[] = {
        {"/", "/", true, "/"},
        {"//", "/", true, "/"},
        {"/home/", "/home", false, "home"},
        {"/home//user/./docs/..", "/home/user", false, "user"},
        {"/a b/c\xc3\xa9", "/a b/c\xc3\xa9", false, "c\xc3\xa9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const QString normalised = normalisedDirectory(q(c.given));
        EXPECT_EQ(normalised, q(c.normalised));
        EXPECT_EQ(isRootPath(normalised), c.root);
        EXPECT_EQ(displayName(normalised), q(c.shown));
    }
    EXPECT_EQ(normalisedDirectory(QString()), QString());
    EXPECT_EQ(normalisedDirectory(q("relative")), QString());
}

TEST(DirectoryPaths, ChildOfTheRootGetsOneSeparator)
{
    EXPECT_EQ(childPath(q("/"), q("tmp")), q("/tmp"));
    EXPECT_EQ(childPath(q("/tmp"), q("x")), q("/tmp/x"));
}

TEST(DirectoryPaths, DirectoryBelongsToTheDeepestDriveHoldingIt)
{
    const QList<Drive> drives = {{q("/"), q("/")}, {q("/home"), q("/home")}, {q("/home/user/usb"), q("usb")}};
    struct Case
    {
        const char* directory;
        qsizetype drive;
    };
    const Case cases[] = {
        {"/", 0},
        {"/etc", 0},
        {"/home", 1},
        {"/home/user", 1},
        {"/homework", 0}, // a common prefix is not a parent
        {"/home/user/usb", 2},
        {"/home/user/usb/photos", 2},
        {"/home/user/usbkey", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(driveIndexOf(drives, q(c.directory)), c.drive);
    }
    EXPECT_EQ(driveIndexOf({{q("/mnt"), q("/mnt")}}, q("/etc")), -1);
}

#endif

TEST(MountTable, DrivesAreTheUsersFileSystemsRootFirst)
{
    const QList<Mount> mounts = {
        {q("/proc"), "proc"},
        {q("/mnt/data"), "ext4"},
        {q("/sys"), "sysfs"},
        {q("/"), "ext4"},
        {q("/dev/shm"), "tmpfs"},
        {q("/run"), "tmpfs"},
        {q("/run/user/1000"), "tmpfs"},
        {q("/run/media/me/STICK"), "vfat"},
        {q("/media/me/My Disk"), "ext4"},
        {q("/tmp"), "tmpfs"},
        {q("/mnt/cg"), "cgroup2"},
        {q("/mnt/data"), "ext4"},
        {q("/home"), "ext4"},
        {q("/var/lock/x"), "tmpfs"},
        {q("relative"), "ext4"},
    };
    EXPECT_EQ(mountPoints(mounts), (QStringList{q("/"), q("/home"), q("/media/me/My Disk"), q("/mnt/data"),
                                                q("/run/media/me/STICK"), q("/tmp")}));
}

TEST(MountTable, RootIsThereEvenWhenNoMountIsKnown)
{
    EXPECT_EQ(mountPoints({}), QStringList{q("/")});
    EXPECT_EQ(mountPoints({{q("/"), "overlay"}, {q("/"), "overlay"}}), QStringList{q("/")});
}

} // namespace
} // namespace parvix
