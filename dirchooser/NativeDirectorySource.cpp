#include "NativeDirectorySource.h"

#include "ErrorMapping.h"
#include "FileError.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include "MountTable.h"

#include <cerrno>
#endif

namespace parvix {

namespace {

const QString kDot = QStringLiteral(".");
const QString kDotDot = QStringLiteral("..");

// Case-blind name order, the same whatever the user's locale.
void sortForDisplay(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

#ifdef _WIN32

// Whether `directory` opens though it lists nothing, not even ".": a drive's root has no such entry.
bool opensEmpty(const QString& directory)
{
    return isRootPath(directory) && QFileInfo(directory).isDir();
}

// Why `directory` would not open, as the Win32 error that opening it gives.
unsigned long openError(const QString& directory)
{
    const QFileInfo info(directory);
    if (info.isDir())
        return ERROR_ACCESS_DENIED;
    if (info.exists())
        return ERROR_DIRECTORY;
    // A drive without its disk has no root either; QStorageInfo tells it from a missing folder.
    const QStorageInfo volume(QDir::fromNativeSeparators(directory.left(3)));
    if (volume.isValid() && !volume.isReady())
        return ERROR_NOT_READY;
    return ERROR_PATH_NOT_FOUND;
}

#else

// Whether `directory` opens though it lists nothing, not even ".", as on the odd file system without
// such entries.
bool opensEmpty(const QString& directory)
{
    const QFileInfo info(directory);
    return info.isDir() && info.isReadable();
}

// Why `directory` would not open, as the errno that opening it gives.
int openError(const QString& directory)
{
    const QFileInfo info(directory);
    if (info.isDir())
        return EACCES; // there, but not readable
    if (info.exists())
        return ENOTDIR;
    // Nothing there as far as this user can see; the nearest directory on the way that is there may not
    // let them look inside.
    QFileInfo above(info.path());
    while (!above.exists() && !above.isRoot())
        above = QFileInfo(above.path());
    if (!above.isDir())
        return ENOTDIR;
    return above.isExecutable() ? ENOENT : EACCES;
}

#endif

} // namespace

NativeDirectorySource::NativeDirectorySource(QList<Drive> drives) : m_fixedDrives(std::move(drives)) {}

int NativeDirectorySource::subdirectories(const QString& directory, QStringList& names)
{
    // Links to directories are followed; hidden directories (dot-directories on POSIX, marked hidden on
    // Windows) are left out, but not "." and "..".
    QStringList found = QDir(QDir::fromNativeSeparators(directory)).entryList(QDir::Dirs, QDir::Unsorted);
    // QDir lists nothing from a directory it cannot open, and says no more; one that opens lists at least
    // itself as ".", but for a few cases that opensEmpty tells apart.
    if (found.isEmpty() && !opensEmpty(directory)) {
#ifdef _WIN32
        return fileErrorFromWin32(openError(directory), directory.toStdWString());
#else
        const int error = openError(directory);
        // A directory whose mount point has gone fails as its drive, as one on a drive letter that has
        // gone does on Windows.
        const QList<Drive> known = m_fixedDrives ? *m_fixedDrives : m_lastDrives;
        const qsizetype drive = driveIndexOf(known, directory);
        if (error == ENOENT && drive >= 0 && !QFileInfo::exists(known.at(drive).root))
            return errnum::kDeviceUnavailable;
        return fileErrorFromErrno(error);
#endif
    }
    found.removeAll(kDot);
    found.removeAll(kDotDot);
#ifdef _WIN32
    // System folders are hidden ones too, and a shortcut (.lnk) to a folder is a file.
    found.removeIf([&directory](const QString& name) {
        const DWORD attributes = GetFileAttributesW(childPath(directory, name).toStdWString().c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
               (attributes & FILE_ATTRIBUTE_SYSTEM);
    });
#endif
    sortForDisplay(found);
    names = found;
    return 0;
}

#ifdef _WIN32

QList<Drive> NativeDirectorySource::drives()
{
    if (!m_fixedDrives) {
        m_lastDrives.clear();
        for (const QFileInfo& drive : QDir::drives()) {
            const QChar letter = drive.filePath().at(0).toUpper();
            m_lastDrives.append(
                {QString(letter) + QStringLiteral(":\\"), QString(letter.toLower()) + QLatin1Char(':')});
        }
    }
    return m_fixedDrives ? *m_fixedDrives : m_lastDrives;
}

QString NativeDirectorySource::currentDirectoryOf(const Drive& drive)
{
    // "X:" without a separator names the drive's current directory.
    const std::wstring bare = drive.root.left(2).toStdWString();
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetFullPathNameW(bare.c_str(), MAX_PATH + 1, buffer, nullptr);
    if (length == 0 || length > MAX_PATH)
        return drive.root;
    const QString directory = normalisedDirectory(QString::fromWCharArray(buffer, static_cast<qsizetype>(length)));
    return directory.isEmpty() ? drive.root : directory;
}

void NativeDirectorySource::shown(const QString&) {}

#else

QList<Drive> NativeDirectorySource::drives()
{
    if (m_fixedDrives)
        return *m_fixedDrives;
    QList<Mount> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        mounts.append({volume.rootPath(), volume.fileSystemType()});
    m_lastDrives.clear();
    for (const QString& point : mountPoints(mounts)) {
        // Single files can be mounted too (containers do it); only directories are drives.
        const QFileInfo info(point);
        if (info.exists() && !info.isDir())
            continue;
        m_lastDrives.append({point, point});
    }
    return m_lastDrives;
}

QString NativeDirectorySource::currentDirectoryOf(const Drive& drive)
{
    return m_lastShown.value(drive.root, drive.root);
}

void NativeDirectorySource::shown(const QString& directory)
{
    const QList<Drive> known = m_fixedDrives ? *m_fixedDrives : m_lastDrives;
    const qsizetype index = driveIndexOf(known, directory);
    if (index >= 0)
        m_lastShown.insert(known.at(index).root, directory);
}

#endif

} // namespace parvix
