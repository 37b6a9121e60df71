#pragma once

#include <QListWidget>

namespace parvix {

class DirectorySource;

// A classic directory list: the current directory with its parents above it and its subdirectories
// below, each indented one step further than its parent. Opening an entry (double-click, or Enter on
// it) makes it the current directory; an entry that is only highlighted is not.
class DirectoryList : public QListWidget
{
    Q_OBJECT

public:
    explicit DirectoryList(DirectorySource& source, QWidget* parent = nullptr);

    // The current directory: a root with its trailing separator, any other directory without one.
    QString path() const { return m_path; }

    // Lists `directory` and makes it current. When it cannot be listed nothing changes and the failure's
    // file-error number is returned; otherwise 0.
    int setPath(const QString& directory);

    // Makes `directory` current even when it cannot be listed; it is then shown without subdirectories.
    void showPath(const QString& directory);

    // Lists the current directory again, for subdirectories made or removed meanwhile.
    void refresh();

signals:
    // After every change of the current directory (also when it is set to the same one again).
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QModelIndex& index);
    void fill(const QString& directory, const QStringList& subdirectories);

    DirectorySource& m_source;
    QString m_path;
};

} // namespace parvix
