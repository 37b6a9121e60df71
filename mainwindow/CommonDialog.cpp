#include "CommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace parvix {

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
#ifndef Q_OS_WIN
        for (auto& pattern : patterns) {
            if (pattern.trimmed() == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
#endif
        for (auto& pattern : patterns)
            pattern = pattern.trimmed();
        result.push_back(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return result;
}

QString defaultInitialFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\my documents");
#else
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#endif
}

QString CommonDialog::showOpen(QWidget* parent)
{
    FileDialogRequest request;
    request.title = m_title;
    request.nameFilters = qtNameFilters(m_filter);
    const int index = m_filterIndex - 1;
    request.filterIndex = index >= 0 && index < request.nameFilters.size() ? index : 0;
    // A file name with a folder opens the dialog in that folder; otherwise in the initial folder.
    const QFileInfo previous(m_fileName);
    request.directory = !m_fileName.isEmpty() && previous.isAbsolute() ? previous.absolutePath() : m_initDir;
    request.fileName = m_fileName;
    request.fileMustExist = (m_flags & kFileMustExist) != 0;

    FileDialogPresenter& presenter = m_presenter != nullptr ? *m_presenter : m_realDialog;
    const FileDialogAnswer answer = presenter.getOpenFileName(parent, request);
    if (answer.path.isEmpty())
        return {};
    m_fileName = answer.path;
    if (answer.filterIndex >= 0)
        m_filterIndex = answer.filterIndex + 1;
    return answer.path;
}

FileDialogAnswer QtFileDialogPresenter::getOpenFileName(QWidget* parent, const FileDialogRequest& request)
{
    // A folder that is not there would be taken for a file name: open in its nearest existing parent.
    QString folder = request.directory;
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).absolutePath();
        folder = up == folder ? QString() : up;
    }
    QFileDialog dialog(parent, request.title, folder.isEmpty() ? QDir::homePath() : folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The labels already name their patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    if (request.filterIndex < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters[request.filterIndex]);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // With the details hidden the dialog names the chosen filter by its label alone.
    const QString chosenFilter = dialog.selectedNameFilter();
    int chosenIndex = -1;
    for (qsizetype i = 0; i < request.nameFilters.size() && chosenIndex < 0; ++i) {
        const QString& entry = request.nameFilters[i];
        if (entry == chosenFilter || entry.left(entry.lastIndexOf(QLatin1String(" ("))) == chosenFilter)
            chosenIndex = static_cast<int>(i);
    }
    return {QDir::toNativeSeparators(dialog.selectedFiles().front()), chosenIndex};
}

} // namespace parvix
