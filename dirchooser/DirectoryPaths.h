#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace parvix {

// Directory paths in the form the directory list reports them: a root keeps its trailing separator
// ("/", "C:\"), any other directory has none ("/home", "C:\data"). Native separators only.

bool isRootPath(const QString& path);

// `directory` followed by one separator and `name`.
QString childPath(const QString& directory, const QString& name);

// The root, each parent in turn, and the directory itself.
QStringList pathChain(const QString& directory);

// What the list shows for a directory: its last component, or the root as it stands.
QString displayName(const QString& directory);

// Any spelling of a directory (Qt or native separators, trailing separators, "." and "..") in the
// form above; empty for an empty or relative path.
QString normalisedDirectory(const QString& path);

// A drive of the drive list: the directory at which it starts and the text the list shows for it.
struct Drive
{
    QString root;
    QString label;
};

// The drive that holds `directory`: the one with the longest root that contains it; -1 when none does.
qsizetype driveIndexOf(const QList<Drive>& drives, const QString& directory);

} // namespace parvix
