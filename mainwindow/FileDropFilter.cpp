#include "FileDropFilter.h"

#include "Form2.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace parvix {

FileDropFilter::FileDropFilter(Form2& form) : QObject(&form), m_form(form)
{
    form.setAcceptDrops(true);
    form.installEventFilter(this);
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (control->acceptDrops())
            control->installEventFilter(this);
    }
}

QStringList FileDropFilter::localFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (path.isEmpty() || QFileInfo(path).isDir())
            continue;
        files.push_back(QDir::toNativeSeparators(path));
    }
    return files;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (m_form.operationRunning()) {
        // Like every other input while a cut or a join works: nothing is taken, not even text.
        drop->ignore();
        return true;
    }
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
        Form2* form = &m_form;
        QMetaObject::invokeMethod(
            form, [form, files] { form->dropFiles(files); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace parvix
