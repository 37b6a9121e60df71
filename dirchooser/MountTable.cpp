#include "MountTable.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace parvix {

namespace {

constexpr std::array<std::string_view, 21> kKernelTypes = {
    "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
    "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
    "proc",   "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "sysfs",    "tracefs",
};

bool isKernelType(const QByteArray& type)
{
    return std::find(kKernelTypes.begin(), kKernelTypes.end(), std::string_view(type.constData(), type.size())) !=
           kKernelTypes.end();
}

bool isUnder(const QString& path, const QString& directory)
{
    return path == directory || path.startsWith(directory + QLatin1Char('/'));
}

bool isSystemPlace(const QString& path)
{
    if (isUnder(path, QStringLiteral("/run/media")))
        return false;
    for (const char* place : {"/proc", "/sys", "/dev", "/run", "/var/run", "/var/lock"}) {
        if (isUnder(path, QLatin1String(place)))
            return true;
    }
    return false;
}

} // namespace

QStringList mountPoints(const QList<Mount>& mounts)
{
    QStringList points;
    for (const Mount& mount : mounts) {
        if (!mount.point.startsWith(QLatin1Char('/')) || isKernelType(mount.type) || isSystemPlace(mount.point))
            continue;
        if (!points.contains(mount.point))
            points.append(mount.point);
    }
    const QString root = QStringLiteral("/");
    points.removeAll(root);
    std::sort(points.begin(), points.end());
    points.prepend(root);
    return points;
}

} // namespace parvix
