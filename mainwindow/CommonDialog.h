#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace parvix {

// What a file-open dialog is asked to show, in the toolkit's terms.
struct FileDialogRequest
{
    QString title;
    QStringList nameFilters; // "label (*.a *.b)"
    int filterIndex = 0;     // of nameFilters, from 0
    QString directory;
    QString fileName; // preselected, may be empty
    bool fileMustExist = false;
};

struct FileDialogAnswer
{
    QString path;         // empty when cancelled
    int filterIndex = -1; // the filter chosen, from 0; -1 when unknown
};

// The one way the file-open dialog is shown; tests put in one that answers from a script.
class FileDialogPresenter
{
public:
    virtual ~FileDialogPresenter() = default;
    virtual FileDialogAnswer getOpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
};

class QtFileDialogPresenter : public FileDialogPresenter
{
public:
    FileDialogAnswer getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;
};

// The window's one file-open dialog object. Like the common dialog it stands for, it keeps its title,
// filter, initial folder, flags, chosen filter and file name between openings.
class CommonDialog : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    static constexpr int kHideReadOnly = 4;
    static constexpr int kFileMustExist = 4096;

    QString dialogTitle() const { return m_title; }
    void setDialogTitle(const QString& title) { m_title = title; }
    // "label|pattern|label|pattern…", several patterns of one entry separated by ";".
    QString filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    // The entry of the filter preselected, from 1; after an opening, the one the user chose.
    int filterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    QString initDir() const { return m_initDir; }
    void setInitDir(const QString& folder) { m_initDir = folder; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }

    // Shows the dialog for one existing file; returns its full path, or an empty text when cancelled.
    QString showOpen(QWidget* parent);

    // The dialog is shown through `presenter` (not owned); nullptr brings back the real dialog.
    void setPresenter(FileDialogPresenter* presenter) { m_presenter = presenter; }

private:
    FileDialogPresenter* m_presenter = nullptr;
    QtFileDialogPresenter m_realDialog;
    QString m_title;
    QString m_filter;
    int m_filterIndex = 1;
    QString m_initDir;
    int m_flags = 0;
    QString m_fileName;
};

// The "label|pattern|…" filter in the toolkit's form. Where "*.*" does not mean every file (names
// without a dot have no "." to match), it becomes "*".
QStringList qtNameFilters(const QString& filter);

// The folder the dialog opens in at first: "c:\my documents" on Windows, else the user's documents.
QString defaultInitialFolder();

} // namespace parvix
