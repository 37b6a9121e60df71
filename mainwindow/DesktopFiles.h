#pragma once

#include <QObject>
#include <QStringList>

namespace parvix {

class Form2;

// The files the desktop hands the main window: paths from the command line and files dragged onto it
// from a file manager. The first path of a command line decides the page; files for the join list are
// added one after the other, each as "Add" adds it, once the one before has been added.
class DesktopFiles : public QObject
{
    Q_OBJECT

public:
    // Takes drops on `window` and on every control in it that would take them itself (the text boxes,
    // which would paste a file's name); owned by `window`.
    explicit DesktopFiles(Form2& window);

    // Paths from the command line.
    void openPaths(const QStringList& paths);
    // Files dropped on the window, in drop order, acted on for the page in front.
    void dropFiles(const QStringList& files);

    // Whether files for the join list still wait for their turn.
    bool waiting() const { return !m_waiting.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addWaitingFiles();
    bool isOrdinaryFile(const QString& path);
    void openForCut(const QString& path);
    void reportMissing(const QString& path);

    Form2& m_window;
    QStringList m_waiting;
};

} // namespace parvix
