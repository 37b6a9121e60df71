#pragma once

#include "DirectoryPaths.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace parvix {

// What the chooser needs from the operating system. The native source reads the machine's drives and
// directories; tests wrap it to fix the drive list and to make chosen directories fail.
class DirectorySource
{
public:
    virtual ~DirectorySource() = default;

    // The drives of the machine, the root first.
    virtual QList<Drive> drives() = 0;

    // The directory a drive opens at when it is chosen in the drive list.
    virtual QString currentDirectoryOf(const Drive& drive) = 0;

    // Told each directory the list shows, for currentDirectoryOf.
    virtual void shown(const QString& directory) = 0;

    // The names of the subdirectories of `directory` in display order. Returns 0, or the file-error
    // number of the failure to open the directory (then `names` is left alone).
    virtual int subdirectories(const QString& directory, QStringList& names) = 0;
};

} // namespace parvix
