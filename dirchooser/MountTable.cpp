#include "MountTable.h"

#include <QFile>

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

// The table writes space, tab, newline and backslash in a mount point as a backslash and three octal digits.
QByteArray unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char d) { return d >= '0' && d <= '7'; })) {
                out.append(static_cast<char>(digits.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

} // namespace

QStringList mountPoints(const QByteArray& mountsText)
{
    QStringList points;
    const QList<QByteArray> lines = mountsText.split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        const QString point = QFile::decodeName(unescape(fields.at(1)));
        if (!point.startsWith(QLatin1Char('/')) || isKernelType(fields.at(2)) || isSystemPlace(point))
            continue;
        if (!points.contains(point))
            points.append(point);
    }
    const QString root = QStringLiteral("/");
    points.removeAll(root);
    std::sort(points.begin(), points.end());
    points.prepend(root);
    return points;
}

} // namespace parvix
