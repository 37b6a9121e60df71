#pragma once

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace parvix::test {

// A directory the chooser must not show: a dot-directory, on Windows also marked hidden.
inline void makeHiddenDirectory(const QString& parent, const QString& name)
{
    ASSERT_TRUE(QDir(parent).mkdir(name));
#ifdef _WIN32
    const QString path = QDir::toNativeSeparators(QDir(parent).filePath(name));
    ASSERT_TRUE(SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_ATTRIBUTE_HIDDEN));
#endif
}

// The root of a test's own drive: on Windows a drive letter nobody uses ("Q:\"), as there a drive is
// its letter and a folder of another drive cannot stand for one; elsewhere `path`.
inline QString missingDriveRoot(const QString& path)
{
#ifdef _WIN32
    Q_UNUSED(path);
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if (!(used & (DWORD{1} << (letter - 'A'))))
            return QLatin1Char(letter) + QStringLiteral(":\\");
    }
    return {};
#else
    return path;
#endif
}

} // namespace parvix::test
