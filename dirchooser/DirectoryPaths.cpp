#include "DirectoryPaths.h"

#include "Platform.h"

#include <QDir>

namespace parvix {

namespace {

const QChar kSep = QLatin1Char(kSeparator);

#ifdef _WIN32
constexpr Qt::CaseSensitivity kCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kCase = Qt::CaseSensitive;
#endif

// Length of the root at the start of an absolute path ("/" or "C:\"), 0 for anything else.
qsizetype rootLength(const QString& path)
{
#ifdef _WIN32
    if (path.size() >= 3 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':') && path.at(2) == kSep)
        return 3;
    return 0;
#else
    return path.startsWith(kSep) ? 1 : 0;
#endif
}

} // namespace

bool isRootPath(const QString& path)
{
    const qsizetype length = rootLength(path);
    return length > 0 && length == path.size();
}

QString childPath(const QString& directory, const QString& name)
{
    return directory.endsWith(kSep) ? directory + name : directory + kSep + name;
}

QStringList pathChain(const QString& directory)
{
    const qsizetype length = rootLength(directory);
    if (length == 0)
        return {};
    QString current = directory.left(length);
    QStringList chain{current};
    const QStringList parts = directory.mid(length).split(kSep, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        current = childPath(current, part);
        chain.append(current);
    }
    return chain;
}

QString displayName(const QString& directory)
{
    if (isRootPath(directory))
        return directory;
    return directory.mid(directory.lastIndexOf(kSep) + 1);
}

QString normalisedDirectory(const QString& path)
{
    if (path.isEmpty())
        return {};
    QString native = QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
#ifdef _WIN32
    // cleanPath leaves a bare drive "C:" for "C:/".
    if (native.size() == 2 && native.at(1) == QLatin1Char(':'))
        native += kSep;
#endif
    if (rootLength(native) == 0)
        return {};
    while (native.endsWith(kSep) && !isRootPath(native))
        native.chop(1);
    return native;
}

qsizetype driveIndexOf(const QList<Drive>& drives, const QString& directory)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < drives.size(); ++i) {
        const QString& root = drives.at(i).root;
        const bool contains = directory.compare(root, kCase) == 0 ||
                              directory.startsWith(root.endsWith(kSep) ? root : root + kSep, kCase);
        if (contains && (best < 0 || root.size() > drives.at(best).root.size()))
            best = i;
    }
    return best;
}

} // namespace parvix
