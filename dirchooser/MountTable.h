#pragma once

#include <QByteArray>
#include <QStringList>

namespace parvix {

// The directories at which the file systems listed in a mounts table (the text of /proc/self/mounts)
// are mounted, as a user thinks of drives: the root first, then the others in name order, each once,
// leaving out the kernel's own file systems (proc, sysfs, cgroup, ...) and what is mounted under
// /proc, /sys, /dev and /run (except removable media under /run/media).
QStringList mountPoints(const QByteArray& mountsText);

} // namespace parvix
