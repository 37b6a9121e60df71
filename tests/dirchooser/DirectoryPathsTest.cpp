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
    const QByteArray table = "proc /proc proc rw,nosuid 0 0\n"
                             "/dev/sdb1 /mnt/data ext4 rw 0 0\n"
                             "sysfs /sys sysfs rw 0 0\n"
                             "/dev/sda1 / ext4 rw,relatime 0 0\n"
                             "tmpfs /dev/shm tmpfs rw 0 0\n"
                             "tmpfs /run tmpfs rw 0 0\n"
                             "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                             "/dev/sdc1 /run/media/me/STICK vfat rw 0 0\n"
                             "/dev/sdd1 /media/me/My\\040Disk ext4 rw 0 0\n"
                             "tmpfs /tmp tmpfs rw 0 0\n"
                             "cgroup2 /mnt/cg cgroup2 rw 0 0\n"
                             "/dev/sdb1 /mnt/data ext4 rw 0 0\n"
                             "/dev/sde1 /home ext4 rw 0 0\n"
                             "garbage\n"
                             "\n";
    EXPECT_EQ(mountPoints(table), (QStringList{q("/"), q("/home"), q("/media/me/My Disk"), q("/mnt/data"),
                                               q("/run/media/me/STICK"), q("/tmp")}));
}

TEST(MountTable, RootIsThereEvenWhenTheTableIsEmptyOrUnreadable)
{
    EXPECT_EQ(mountPoints(QByteArray()), QStringList{q("/")});
    EXPECT_EQ(mountPoints("overlay / overlay rw 0 0\noverlay / overlay rw 0 0\n"), QStringList{q("/")});
}

TEST(MountTable, EscapesDecodeButABackslashWithoutDigitsStays)
{
    EXPECT_EQ(mountPoints("x /a\\011b\\134c\\0 ext4 rw 0 0\n"), (QStringList{q("/"), q("/a\tb\\c\\0")}));
}

} // namespace
} // namespace parvix
