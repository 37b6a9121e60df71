#include "NativeDirectorySource.h"

#include "ErrorMapping.h"
#include "FileError.h"

#include <QFile>

#include <algorithm>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include "MountTable.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace parvix {

namespace {

// Case-blind name order, the same whatever the user's locale.
void sortForDisplay(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

} // namespace

NativeDirectorySource::NativeDirectorySource(QList<Drive> drives) : m_fixedDrives(std::move(drives)) {}

#ifdef _WIN32

QList<Drive> NativeDirectorySource::drives()
{
    if (!m_fixedDrives) {
        m_lastDrives.clear();
        const DWORD mask = GetLogicalDrives();
        for (int i = 0; i < 26; ++i) {
            if (mask & (DWORD{1} << i)) {
                const QChar letter = QLatin1Char(static_cast<char>('a' + i));
                m_lastDrives.append(
                    {QString(letter.toUpper()) + QStringLiteral(":\\"), QString(letter) + QLatin1Char(':')});
            }
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

int NativeDirectorySource::subdirectories(const QString& directory, QStringList& names)
{
    const std::wstring pattern = childPath(directory, QStringLiteral("*")).toStdWString();
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) // an empty root
            return fileErrorFromWin32(error, pattern);
        names.clear();
        return 0;
    }
    QStringList found;
    do {
        const QString name = QString::fromWCharArray(data.cFileName);
        const DWORD hiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & hiddenOrSystem) &&
            name != QLatin1String(".") && name != QLatin1String(".."))
            found.append(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    sortForDisplay(found);
    names = found;
    return 0;
}

#else

QList<Drive> NativeDirectorySource::drives()
{
    if (m_fixedDrives)
        return *m_fixedDrives;
    QByteArray table;
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (file.open(QIODevice::ReadOnly))
        table = file.readAll();
    m_lastDrives.clear();
    for (const QString& point : mountPoints(table)) {
        // Single files can be mounted too (containers do it); only directories are drives.
        struct stat info;
        if (::stat(QFile::encodeName(point).constData(), &info) == 0 && !S_ISDIR(info.st_mode))
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

int NativeDirectorySource::subdirectories(const QString& directory, QStringList& names)
{
    const QByteArray path = QFile::encodeName(directory);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), &::closedir);
    if (!dir) {
        const int error = errno;
        // A directory whose mount point has gone fails as its drive, as one on a drive letter that has
        // gone does on Windows.
        const QList<Drive> known = m_fixedDrives ? *m_fixedDrives : m_lastDrives;
        const qsizetype drive = driveIndexOf(known, directory);
        struct stat info;
        if (error == ENOENT && drive >= 0 && ::stat(QFile::encodeName(known.at(drive).root).constData(), &info) != 0 &&
            errno == ENOENT)
            return errnum::kDeviceUnavailable;
        return fileErrorFromErrno(error);
    }
    QStringList found;
    while (const dirent* entry = ::readdir(dir.get())) {
        // Dot-directories are hidden ones here, as in file managers.
        if (entry->d_name[0] == '.')
            continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            const QByteArray full = path + (path.endsWith('/') ? "" : "/") + entry->d_name;
            isDirectory = ::stat(full.constData(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        if (isDirectory)
            found.append(QFile::decodeName(entry->d_name));
    }
    sortForDisplay(found);
    names = found;
    return 0;
}

#endif

} // namespace parvix
