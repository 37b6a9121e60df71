#include "DesktopFiles.h"

#include "CutPage.h"
#include "Form2.h"
#include "Naming.h"
#include "OperationController.h"
#include "SplitOperation.h"
#include "WindowRequests.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace parvix {

namespace {

// As the file dialog gives them: full paths with the platform's separators.
QString fullPath(const QString& path)
{
    return path.isEmpty() ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The local files a drag carries, in its order, as native paths; folders and other URLs left out.
QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!path.isEmpty() && !QFileInfo(path).isDir())
            files.push_back(QDir::toNativeSeparators(path));
    }
    return files;
}

} // namespace

DesktopFiles::DesktopFiles(Form2& window) : QObject(&window), m_window(window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->acceptDrops())
            control->installEventFilter(this);
    }
    connect(&window.operations(), &OperationController::finished, this, &DesktopFiles::addWaitingFiles);
}

void DesktopFiles::openPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const QString first = fullPath(paths.front());
    if (!isOrdinaryFile(first)) {
        reportMissing(first);
        return;
    }
    if (!isFirstPieceName(first.toStdString())) {
        // The Cut file page takes one source: later paths have no place there.
        m_window.selectTab(kSplitTab);
        openForCut(first);
        return;
    }
    m_window.selectTab(kJoinTab);
    for (const QString& path : paths)
        m_waiting.push_back(fullPath(path));
    addWaitingFiles();
}

void DesktopFiles::dropFiles(const QStringList& files)
{
    if (files.isEmpty())
        return;
    switch (m_window.currentPage()) {
    case kSplitTab:
        openForCut(files.front());
        break;
    case kJoinTab:
        m_waiting += files;
        addWaitingFiles();
        break;
    default:
        // The About page, in front at start-up, has no use for files: they go where the command line
        // would send them.
        openPaths(files);
        break;
    }
}

void DesktopFiles::addWaitingFiles()
{
    while (!m_waiting.isEmpty() && !m_window.operations().running()) {
        const QString path = m_waiting.takeFirst();
        if (isOrdinaryFile(path))
            m_window.addToJoinList(path);
        else
            reportMissing(path);
    }
}

bool DesktopFiles::isOrdinaryFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    // The cut's own test of its source, so that what it would call missing is missing here too.
    try {
        return exists(m_window.operations().files(), path.toStdString(), ListingKind::OrdinaryFiles);
    } catch (const FileError&) {
        return false;
    }
}

void DesktopFiles::openForCut(const QString& path)
{
    m_window.cutPage().setSource(path);
    m_window.cutPage().textBox(TextBox::Text2)->setFocus(Qt::OtherFocusReason);
}

void DesktopFiles::reportMissing(const QString& path)
{
    // The notice the Cut file page gives for a missing source.
    m_window.requests().messageBox(missingSourceText(path.toStdString()), BoxStyle::Warning, BoxTitle::Parvix);
}

bool DesktopFiles::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls())
        return QObject::eventFilter(watched, event); // text dragged into a text box stays the box's own
    const QStringList files = localFiles(drop->mimeData());
    // The files are only read: a drop is taken as a copy, never as a move the file manager would finish.
    if (files.isEmpty() || !(drop->possibleActions() & Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // Acted on once the drop has ended: "Add" may show a box, and the file manager that sent the
        // files would wait for it.
        QMetaObject::invokeMethod(
            this, [this, files] { dropFiles(files); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace parvix
