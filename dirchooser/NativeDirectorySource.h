#pragma once

#include "DirectorySource.h"

#include <QHash>
#include <optional>

namespace parvix {

// Drives and directories of the machine. On Windows the drives are the logical drives, each opening at
// the system's current directory of that drive. Elsewhere they are the mounted file systems, each
// opening at the last directory shown on it during this run, else at its root.
class NativeDirectorySource : public DirectorySource
{
public:
    NativeDirectorySource() = default;
    // A fixed drive list instead of the machine's (tests).
    explicit NativeDirectorySource(QList<Drive> drives);

    QList<Drive> drives() override;
    QString currentDirectoryOf(const Drive& drive) override;
    void shown(const QString& directory) override;
    int subdirectories(const QString& directory, QStringList& names) override;

private:
    std::optional<QList<Drive>> m_fixedDrives;
    QList<Drive> m_lastDrives;
    QHash<QString, QString> m_lastShown; // drive root -> directory
};

} // namespace parvix
