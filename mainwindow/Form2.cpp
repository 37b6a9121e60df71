#include "Form2.h"

#include "AboutPage.h"
#include "CommonDialog.h"
#include "Controls.h"
#include "CutPage.h"
#include "DesktopFiles.h"
#include "DirectoryChooserOpener.h"
#include "Fonts.h"
#include "JoinListAdd.h"
#include "JoinOperation.h"
#include "JoinPage.h"
#include "NativeFiles.h"
#include "OperationController.h"
#include "Pictures.h"
#include "ProgressDisplay.h"
#include "SplitOperation.h"
#include "TabControl.h"
#include "WindowBoxes.h"
#include "WindowGeometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

namespace parvix {

namespace {

const QString kWindowTitle = QStringLiteral("Parvix toolbox");
// The tabs' captions, spaces included, in page order.
const QString kPageCaptions[] = {QStringLiteral("   Cut file  "), QStringLiteral("   Join file   "),
                                 QStringLiteral("  About  ")};
constexpr int kAboutTab = 2;

} // namespace

Form2::Form2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    // Fixed single border: minimise and close, no maximise.
    setUpWindow(*this, kWindowTitle, Qt::Window | Qt::WindowMinimizeButtonHint, 7380, 4515);

    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
    createBanner();

    SSTab1 = makeControl<TabControl>(this, "SSTab1", twipsRect(0, 1080, 7335, 3375));
    SSTab1->tabBar()->setFont(songFont(9.75));
    m_cutPage = new CutPage(*CommonDialog1);
    m_joinPage = new JoinPage(*CommonDialog1);
    SSTab1->addTab(m_cutPage, kPageCaptions[kSplitTab]);
    SSTab1->addTab(m_joinPage, kPageCaptions[kJoinTab]);
    SSTab1->addTab(new AboutPage, kPageCaptions[kAboutTab]);
    SSTab1->placePages();

    // Over the right of the banner, where it is seen whichever page is in front.
    ProgressBar1 = makeControl<ProgressDisplay>(this, "ProgressBar1", twipsRect(5040, 390, 2100, 255));
    ProgressBar1->raise();
    setFocusOrder();

    m_boxes = std::make_unique<WindowBoxes>(*this, *ProgressBar1, m_joinPage->joinList());
    m_operations = std::make_unique<OperationController>(*this, parts(), *m_boxes, makeNativeFileServices());
    connect(m_operations.get(), &OperationController::runningChanged, &m_joinPage->joinList(),
            &JoinList::setOperationRunning);
    m_desktopFiles = new DesktopFiles(*this);

    SSTab1->setCurrentIndex(0);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_currentPage;
        m_currentPage = index;
        SSTab1_Click(previous);
    });
    connect(m_cutPage, &CutPage::cutRequested, this, &Form2::cut);
    connect(m_cutPage, &CutPage::directoryRequested, this, &Form2::openDirectoryChooser);
    connect(m_joinPage, &JoinPage::joinRequested, this, &Form2::join);
    connect(m_joinPage, &JoinPage::addRequested, this, &Form2::addToJoinList);
    connect(m_joinPage, &JoinPage::directoryRequested, this, &Form2::openDirectoryChooser);

    load();
}

Form2::~Form2() = default;

void Form2::createBanner()
{
    // Wider than the window: its right end is cut off by the window's edge.
    Picture1 = makeControl<QLabel>(this, "Picture1", twipsRect(0, 0, 7815, 1035));
    Picture1->setFrameShape(QFrame::NoFrame);
    Picture1->setAutoFillBackground(true);
    Image3 = makeControl<QLabel>(Picture1, "Image3", twipsRect(240, 120, 3480, 900));
    Image3->setPixmap(bannerPicture());
    Image3->setAccessibleName(kWindowTitle);
}

void Form2::setFocusOrder()
{
    static const char* const kOrder[] = {"Text1",    "Command1", "Text2",    "Command2", "Option1", "Option2",
                                         "Text3",    "Check1",   "Command3", "SSTab1",   "Text4",   "List1",
                                         "Command4", "Command5", "Command6", "Command10"};
    QWidget* previous = nullptr;
    for (const char* name : kOrder) {
        QWidget* control = findChild<QWidget*>(QLatin1String(name));
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
}

void Form2::load()
{
    centreOnScreen(*this, screen());
    SSTab1->setCurrentIndex(kAboutTab);
    // The keyboard works from the first key: Left and Right switch pages, Tab enters the page in front.
    SSTab1->setFocus(Qt::OtherFocusReason);
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Without this, a desktop that does not hand the keyboard to new windows (or none at all) leaves
    // the window deaf to keys until it is clicked.
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        activateWindow();
    }
    // The frame's size is known only once the window is on the screen; centre again with it, once.
    if (!m_centredWithFrame && frameGeometry().size() != size()) {
        m_centredWithFrame = true;
        centreOnScreen(*this, screen());
    }
}

void Form2::closeEvent(QCloseEvent* event)
{
    // While an operation runs the close request never gets here: the input guard turns it into the
    // question whether to stop.
    QWidget::closeEvent(event);
    emit closed();
}

void Form2::setMessageBoxPresenter(MessageBoxPresenter* presenter)
{
    m_boxes->setPresenter(presenter);
}

void Form2::setFileServices(std::unique_ptr<FileServices> files)
{
    m_operations->setFileServices(std::move(files));
}

bool Form2::operationRunning() const
{
    return m_operations->running() || m_desktopFiles->waiting();
}

WindowParts Form2::parts()
{
    return WindowParts(*m_boxes, *ProgressBar1, m_joinPage, this, ProgressBar1, this);
}

QLineEdit* Form2::textBox(TextBox box) const
{
    return box == TextBox::Text4 ? m_joinPage->text4() : m_cutPage->textBox(box);
}

void Form2::focus(TextBox box)
{
    textBox(box)->setFocus(Qt::OtherFocusReason);
}

void Form2::selectAll(TextBox box)
{
    QLineEdit* edit = textBox(box);
    edit->setSelection(0, static_cast<int>(edit->text().size()));
}

void Form2::caretToEnd(TextBox box)
{
    QLineEdit* edit = textBox(box);
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

int Form2::currentPage() const
{
    return SSTab1->currentIndex();
}

void Form2::selectTab(int index)
{
    m_joinPage->joinList().flush();
    SSTab1->setCurrentIndex(index);
}

void Form2::SSTab1_Click(int previousTab)
{
    m_joinPage->joinList().flush();
    // Only the page that was left matters, not the page entered.
    selectAll(previousTab == kJoinTab ? TextBox::Text1 : TextBox::Text4);
}

void Form2::openDirectoryChooser()
{
    // The chooser's message boxes are this window's, so one presenter answers them all.
    if (!m_directoryChooser)
        m_directoryChooser = std::make_unique<DirectoryChooserOpener>(*m_boxes);
    const std::optional<QString> chosen = m_directoryChooser->open();
    if (!chosen)
        return;
    // Whichever "..." opened it, both destinations take the folder: the join's first.
    m_joinPage->text4()->setText(*chosen);
    m_cutPage->textBox(TextBox::Text2)->setText(*chosen);
}

void Form2::openPaths(const QStringList& paths)
{
    m_desktopFiles->openPaths(paths);
}

void Form2::cut()
{
    m_operations->start(
        OperationController::Kind::Cut,
        [inputs = m_cutPage->inputs()](WindowParts window, FileServices& files, const StopRequest* stop) {
            return OperationResult(SplitOperation(window, files, stop).run(inputs));
        });
}

void Form2::join()
{
    JoinInputs inputs{m_joinPage->text4()->text().toStdString(), m_joinPage->joinList().entries()};
    m_operations->start(OperationController::Kind::Join,
                        [inputs = std::move(inputs)](WindowParts window, FileServices& files, const StopRequest* stop) {
                            return JoinOperation(window, files, stop).run(inputs);
                        });
}

void Form2::addToJoinList(const QString& path)
{
    if (path.isEmpty())
        return;
    m_operations->start(OperationController::Kind::Add,
                        [chosen = path.toStdString(), listed = m_joinPage->joinList().entries()](
                            WindowParts window, FileServices& files, const StopRequest*) -> OperationResult {
                            return JoinListAdd(window, files).run(chosen, listed);
                        });
}

} // namespace parvix
