#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace parvix {

// A mounted file system: the directory it is mounted at and its type ("ext4", "proc", ...).
struct Mount
{
    QString point;
    QByteArray type;
};

// The directories at which the file systems of `mounts` are mounted, as a user thinks of drives: the root
// first, then the others in name order, each once, leaving out the kernel's own file systems (proc,
// sysfs, cgroup, ...) and what is mounted under /proc, /sys, /dev and /run (except removable media under
// /run/media).
QStringList mountPoints(const QList<Mount>& mounts);

} // namespace parvix
