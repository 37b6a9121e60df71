#pragma once

#include "FileServices.h"
#include "MessageBox.h"
#include "WindowRequests.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace parvix {

class CommonDialog;
class DirectoryChooserOpener;
class JoinList;
class MailLinkLabel;

// The main window: a banner, the tab control with the Cut file, Join file and About pages, and the
// progress bar. It is the engines' window: they reach it only through WindowRequests. Its controls are
// its own; each bears its design name as object name (Text1, Command3, CommonDialog1), by which tests
// and tools find it.
class Form2 : public QWidget, public WindowRequests
{
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    // The window's message boxes go through `presenter` (not owned); nullptr brings back the real boxes.
    void setMessageBoxPresenter(MessageBoxPresenter* presenter);
    // The file services the operations run on (the native ones unless replaced).
    void setFileServices(std::unique_ptr<FileServices> files);

    // True while a cut, a join or an "Add" runs; the window then takes no user input.
    bool operationRunning() const { return m_operationRunning; }

    // The index of the page in front (the tab control's current page).
    int currentPage() const;

    // Files handed over by the desktop. Paths from the command line: the first decides the page (a first
    // piece the Join file page with its set, any other file the Cut file page, a missing one only its
    // notice); on the Join file page the later ones are added too.
    void openPaths(const QStringList& paths);
    // Files dropped on the window, in drop order, acted on for the page in front.
    void dropFiles(const QStringList& files);
    // "Add" of one chosen file: a first piece brings its set. Every way of adding a file comes here.
    void addToJoinList(const QString& path);
    // What the source browse does with the file chosen: it goes into Text1, its derived base into Text2.
    void setCutSource(const QString& path);
    // The progress bar's values as the operations set them.
    float progressMax() const { return m_progressMax; }
    float progressValue() const { return m_progressValue; }

    // Questions
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // WindowDisplay
    void focus(TextBox box) override;
    void selectAll(TextBox box) override;
    void caretToEnd(TextBox box) override;
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    std::int64_t joinListCount() override;
    std::string joinListEntry(std::int64_t index) override;
    void setText4(const std::string& text) override;
    void setPointer(Pointer pointer) override;
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void showProgress() override;
    void hideProgress() override;
    void selectTab(int index) override;

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void Command1_Click();
    // "..." beside either destination. The directory chooser writes its folder into Text2 and Text4.
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command10_Click();
    void Option1_Click();
    void Option2_Click();

private:
    void createBanner();
    void createCutPage(QWidget* page);
    void createJoinPage(QWidget* page);
    void createAboutPage(QWidget* page);
    void setFocusOrder();
    void load();
    void SSTab1_Click(int previousTab);
    void Label6_Click();
    void List1_Click(int row);
    void setOptionTabStops();
    void openDirectoryChooser();
    QLineEdit* textBox(TextBox box) const;
    bool isOrdinaryFile(const QString& path);
    void openForCut(const QString& path);
    void runEngine(const std::function<void(WindowRequests&)>& operation);

    MessageBoxPresenter* m_presenter = nullptr;
    QtMessageBoxPresenter m_realBoxes;
    std::unique_ptr<FileServices> m_files;
    // The directory chooser, created on the first "..." click.
    std::unique_ptr<DirectoryChooserOpener> m_directoryChooser;

    QPoint m_pageOrigin;
    int m_currentPage = 0;
    bool m_centredWithFrame = false;
    bool m_activatedOnce = false;
    bool m_hourglass = false;
    bool m_operationRunning = false;
    float m_progressMax = 0;
    float m_progressValue = 0;

    // The controls, by their design names.
    QLabel* Picture1 = nullptr;
    QLabel* Image3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTabWidget* SSTab1 = nullptr;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command3 = nullptr;

    QLabel* Label4 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command10 = nullptr;
    // List1, with the entries on their way into it.
    JoinList* m_joinList = nullptr;
    QGroupBox* Frame3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    MailLinkLabel* Label6 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    // The one file-open dialog, shared by the source browse and "Add".
    CommonDialog* CommonDialog1 = nullptr;
};

} // namespace parvix
