#pragma once

#include "FileServices.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class QLabel;

namespace parvix {

class CommonDialog;
class CutPage;
class DesktopFiles;
class DirectoryChooserOpener;
class JoinPage;
class MessageBoxPresenter;
class OperationController;
class ProgressDisplay;
class TabControl;
class WindowBoxes;
class WindowRequestRouter;
class WindowRequests;

// The main window: a banner, the tab control with the Cut file, Join file and About pages, and the
// progress bar. It builds them, runs the page-change rule, opens the directory chooser and starts the
// operations the pages ask for; each part does its own work. Every control bears its design name as
// object name (Text1, Command3, CommonDialog1), by which tests and tools find it.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    // The window's message boxes go through `presenter` (not owned); nullptr brings back the real boxes.
    void setMessageBoxPresenter(MessageBoxPresenter* presenter);
    // The file services the operations run on (the native ones unless replaced).
    void setFileServices(std::unique_ptr<FileServices> files);

    // True while a cut, a join or an "Add" runs, or files handed over wait for their turn.
    bool operationRunning() const;

    // The index of the page in front; selectTab() brings another one to the front and runs the
    // page-change rule.
    int currentPage() const;
    void selectTab(int index);

    // Paths from the command line: the first decides the page (a first piece the Join file page with
    // its set, any other file the Cut file page, a missing one only its notice); on the Join file page
    // the later ones are added too.
    void openPaths(const QStringList& paths);
    // "Add" of one chosen file: a first piece brings its set. Every way of adding a file comes here.
    void addToJoinList(const QString& path);

    // The window as the engines see it, and the one operation it runs at a time.
    WindowRequests& requests();
    OperationController& operations() { return *m_operations; }

    CutPage& cutPage() { return *m_cutPage; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createBanner();
    void setFocusOrder();
    void load();
    void SSTab1_Click(int previousTab);
    void openDirectoryChooser();
    void cut();
    void join();

    int m_currentPage = 0;
    bool m_centredWithFrame = false;
    bool m_activatedOnce = false;

    // The controls on the window itself, by their design names; the pages hold their own.
    QLabel* Picture1 = nullptr;
    QLabel* Image3 = nullptr;
    TabControl* SSTab1 = nullptr;
    ProgressDisplay* ProgressBar1 = nullptr;
    // The one file-open dialog, shared by the source browse and "Add".
    CommonDialog* CommonDialog1 = nullptr;

    CutPage* m_cutPage = nullptr;
    JoinPage* m_joinPage = nullptr;

    std::unique_ptr<WindowBoxes> m_boxes;
    std::unique_ptr<WindowRequestRouter> m_requests;
    std::unique_ptr<OperationController> m_operations;
    DesktopFiles* m_desktopFiles = nullptr;
    // The directory chooser, created on the first "..." click.
    std::unique_ptr<DirectoryChooserOpener> m_directoryChooser;
};

} // namespace parvix
