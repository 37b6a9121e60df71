#include "Form2.h"

#include "CommonDialog.h"
#include "DirectoryChooserOpener.h"
#include "FileDropFilter.h"
#include "Fonts.h"
#include "JoinList.h"
#include "JoinListAdd.h"
#include "JoinOperation.h"
#include "MailLinkLabel.h"
#include "Naming.h"
#include "NativeFiles.h"
#include "OperationRunner.h"
#include "Pictures.h"
#include "SelectionKeepingEdit.h"
#include "SplitOperation.h"
#include "TabControl.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>

namespace parvix {

namespace {

const QString kWindowTitle = QStringLiteral("Parvix toolbox");
const QString kCutPageCaption = QStringLiteral("   Cut file  ");
const QString kJoinPageCaption = QStringLiteral("   Join file   ");
const QString kAboutPageCaption = QStringLiteral("  About  ");
constexpr int kAboutTab = 2;

// The progress bar counts in these steps; the operations' single-precision values are scaled to them.
constexpr int kProgressSteps = 1000;

// Gives a control its design name and place.
template <typename W> W* make(QWidget* parent, const char* name, const QRect& place)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(place);
    return widget;
}

// A label keeps its place but grows to its text where a substitute font is wider than the design's.
void growToText(QLabel* label)
{
    const QSize hint = label->sizeHint();
    label->resize(std::max(label->width(), hint.width()), std::max(label->height(), hint.height()));
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QRect& place)
{
    auto* box = make<SelectionKeepingEdit>(parent, name, place);
    // Paths can be long; the toolkit's default limit of 32767 characters would cut them.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

} // namespace

Form2::Form2(QWidget* parent) : QWidget(parent), m_files(makeNativeFileServices())
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(kWindowTitle);
    setWindowIcon(programIcon());
    // Fixed single border: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(7380), twipsToPixels(4515));
    setFont(defaultFont());

    createBanner();

    auto* tabs = new TabControl(this);
    SSTab1 = tabs;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(twipsRect(0, 1080, 7335, 3375));
    SSTab1->tabBar()->setFont(songFont(9.75));
    SSTab1->setDocumentMode(false);
    auto* cutPage = new QWidget;
    auto* joinPage = new QWidget;
    auto* aboutPage = new QWidget;
    cutPage->setObjectName(QStringLiteral("SSTab1Page0"));
    joinPage->setObjectName(QStringLiteral("SSTab1Page1"));
    aboutPage->setObjectName(QStringLiteral("SSTab1Page2"));
    // The pages take the window's face colour, on which the About page's white line draws an etch.
    for (QWidget* page : {cutPage, joinPage, aboutPage}) {
        page->setAutoFillBackground(true);
        page->setBackgroundRole(QPalette::Window);
    }
    SSTab1->addTab(cutPage, kCutPageCaption);
    SSTab1->addTab(joinPage, kJoinPageCaption);
    SSTab1->addTab(aboutPage, kAboutPageCaption);
    m_pageOrigin = tabs->pageOrigin();
    createCutPage(cutPage);
    createJoinPage(joinPage);
    createAboutPage(aboutPage);

    // Over the right of the banner, where it is seen whichever page is in front.
    ProgressBar1 = make<QProgressBar>(this, "ProgressBar1", twipsRect(5040, 390, 2100, 255));
    ProgressBar1->setRange(0, kProgressSteps);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    ProgressBar1->raise();

    setFocusOrder();

    SSTab1->setCurrentIndex(0);
    m_currentPage = 0;
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_currentPage;
        m_currentPage = index;
        SSTab1_Click(previous);
    });
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command10, &QPushButton::clicked, this, &Form2::Command10_Click);
    connect(Option1, &QRadioButton::clicked, this, &Form2::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form2::Option2_Click);
    connect(Option1, &QRadioButton::toggled, this, &Form2::setOptionTabStops);
    setOptionTabStops();
    QListWidget* const list1 = &m_joinList->box();
    connect(list1, &QListWidget::currentRowChanged, this, &Form2::List1_Click);
    // Enter in these inputs starts the cut or the join; the key still reaches the input.
    for (QWidget* input : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                           static_cast<QWidget*>(Option1), static_cast<QWidget*>(Text4), static_cast<QWidget*>(list1)})
        input->installEventFilter(this);
    connect(Label6, &MailLinkLabel::clicked, this, &Form2::Label6_Click);

    static const QString kDialogTitle = QString::fromUtf8("请打开一个要分割的文件");
    static const QString kDialogFilter =
        QString::fromUtf8("执行文件[*.exe]|*.exe|压缩文件[*.zip;*.arj;*.rar]|*.zip;*.rar;*.arj|"
                          "图片文件[*.bmp,*.jpg,*.gif]|*.bmp;*.jpg;*.gif|所有文件[*.*]|*.*");
    // Preselected: all files, what a user cutting a file most often wants to see.
    constexpr int kAllFilesEntry = 4;
    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
    CommonDialog1->setDialogTitle(kDialogTitle);
    CommonDialog1->setFilter(kDialogFilter);
    CommonDialog1->setFilterIndex(kAllFilesEntry);
    CommonDialog1->setInitDir(defaultInitialFolder());
    CommonDialog1->setFileName(QString());

    new FileDropFilter(*this);

    load();
}

Form2::~Form2()
{
    setPointer(Pointer::Default);
}

void Form2::createBanner()
{
    // Wider than the window: its right end is cut off by the window's edge.
    Picture1 = make<QLabel>(this, "Picture1", twipsRect(0, 0, 7815, 1035));
    Picture1->setFrameShape(QFrame::NoFrame);
    Picture1->setAutoFillBackground(true);
    Image3 = make<QLabel>(Picture1, "Image3", twipsRect(240, 120, 3480, 900));
    Image3->setPixmap(bannerPicture());
}

void Form2::createCutPage(QWidget* page)
{
    static const QString kFrame1 = QStringLiteral("Cut File");
    static const QString kLabel2 = QStringLiteral("File to be Cutted:");
    static const QString kBrowse = QStringLiteral("...");
    static const QString kLabel3 = QStringLiteral("Destination:");
    static const QString kFrame2 = QStringLiteral("Option");
    static const QString kOption1 = QStringLiteral("1.44M");
    static const QString kOption2 = QStringLiteral("Customize");
    static const QString kLabel1 = QStringLiteral("KB");
    static const QString kCommand3 = QStringLiteral("Cut");
    const QPoint origin = m_pageOrigin;

    Frame1 = make<QGroupBox>(page, "Frame1", twipsRect(120, 480, 5415, 2655).translated(-origin));
    Frame1->setTitle(kFrame1);
    Frame1->setFont(tahomaFont(9));
    Label2 = make<QLabel>(Frame1, "Label2", twipsRect(120, 480, 1485, 240));
    Label2->setText(kLabel2);
    Label2->setFont(tahomaFont(9.75));
    growToText(Label2);
    Text1 = makeTextBox(Frame1, "Text1", twipsRect(120, 720, 4695, 390));
    Text1->setFont(songFont(9.75));
    Command1 = make<QPushButton>(Frame1, "Command1", twipsRect(4920, 720, 375, 375));
    Command1->setText(kBrowse);
    Command1->setFont(defaultFont());
    Label3 = make<QLabel>(Frame1, "Label3", twipsRect(120, 1440, 1020, 240));
    Label3->setText(kLabel3);
    Label3->setFont(tahomaFont(9.75));
    growToText(Label3);
    Text2 = makeTextBox(Frame1, "Text2", twipsRect(120, 1680, 4695, 375));
    Text2->setFont(songFont(9.75));
    Command2 = make<QPushButton>(Frame1, "Command2", twipsRect(4920, 1680, 375, 375));
    Command2->setText(kBrowse);
    Command2->setFont(defaultFont());

    Frame2 = make<QGroupBox>(page, "Frame2", twipsRect(5640, 600, 1575, 1695).translated(-origin));
    Frame2->setTitle(kFrame2);
    Option1 = make<QRadioButton>(Frame2, "Option1", twipsRect(120, 240, 1095, 375));
    Option1->setText(kOption1);
    Option1->setChecked(true);
    Option2 = make<QRadioButton>(Frame2, "Option2", twipsRect(120, 600, 1335, 375));
    Option2->setText(kOption2);
    Text3 = makeTextBox(Frame2, "Text3", twipsRect(120, 1080, 1095, 270));
    Text3->setEnabled(false);
    Text3->hide();
    Label1 = make<QLabel>(Frame2, "Label1", twipsRect(1245, 1080, 210, 195));
    Label1->setText(kLabel1);
    Label1->setFont(songFont(9.75));
    growToText(Label1);
    Label1->hide();

    Command3 = make<QPushButton>(page, "Command3", twipsRect(5880, 2640, 1215, 375).translated(-origin));
    Command3->setText(kCommand3);
}

void Form2::createJoinPage(QWidget* page)
{
    static const QString kLabel4 = QStringLiteral("Save as a destination file:");
    static const QString kBrowse = QStringLiteral("...");
    static const QString kFrame3 = QStringLiteral("Join");
    static const QString kAdd = QStringLiteral("Add");
    static const QString kDelete = QStringLiteral("Delete");
    static const QString kDeleteTip = QString::fromUtf8("删除选定文件");
    static const QString kJoin = QStringLiteral("Join");
    const QPoint origin = m_pageOrigin;

    Label4 = make<QLabel>(page, "Label4", twipsRect(120, 360, 2835, 195).translated(-origin));
    Label4->setText(kLabel4);
    Label4->setFont(songFont(9.75));
    growToText(Label4);
    Text4 = makeTextBox(page, "Text4", twipsRect(120, 600, 6615, 390).translated(-origin));
    Text4->setFont(songFont(9.75));
    Command10 = make<QPushButton>(page, "Command10", twipsRect(6840, 600, 375, 375).translated(-origin));
    Command10->setText(kBrowse);

    auto* list = make<QListWidget>(page, "List1", twipsRect(120, 1080, 4815, 1620).translated(-origin));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setUniformItemSizes(true);
    m_joinList = new JoinList(*list);

    Frame3 = make<QGroupBox>(page, "Frame3", twipsRect(5040, 1080, 2175, 1695).translated(-origin));
    Frame3->setTitle(kFrame3);
    Command4 = make<QPushButton>(Frame3, "Command4", twipsRect(360, 360, 735, 375));
    Command4->setText(kAdd);
    Command4->setToolTip(kAdd);
    Command4->setFont(tahomaFont(9));
    Command5 = make<QPushButton>(Frame3, "Command5", twipsRect(1200, 360, 735, 375));
    Command5->setText(kDelete);
    Command5->setToolTip(kDeleteTip);
    Command5->setFont(tahomaFont(8.25));
    Command6 = make<QPushButton>(Frame3, "Command6", twipsRect(600, 960, 1095, 375));
    Command6->setText(kJoin);
    Command6->setToolTip(kJoin);
}

void Form2::createAboutPage(QWidget* page)
{
    static const QString kTitle = QStringLiteral("Parvix toolbox  version 1.53");
    static const QString kWebAddress = QStringLiteral("www.example.com");
    static const QString kVersion = QStringLiteral(" ");
    static const QString kMailTip = QString::fromUtf8("写信给我");
    const QPoint origin = m_pageOrigin;

    picIcon = make<QLabel>(page, "picIcon", twipsRect(720, 480, 480, 480).translated(-origin));
    picIcon->setPixmap(programIconPicture());

    QPalette black = page->palette();
    black.setColor(QPalette::WindowText, Qt::black);

    lblTitle = make<QLabel>(page, "lblTitle", twipsRect(1440, 600, 2565, 210).translated(-origin));
    lblTitle->setText(kTitle);
    QFont titleFont = tahomaFont(9);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setPalette(black);
    growToText(lblTitle);

    lblDescription = make<QLabel>(page, "lblDescription", twipsRect(1440, 960, 2175, 195).translated(-origin));
    lblDescription->setText(kWebAddress);
    lblDescription->setTextFormat(Qt::PlainText);
    lblDescription->setPalette(black);
    growToText(lblDescription);

    lblVersion = make<QLabel>(page, "lblVersion", twipsRect(1440, 1200, 1590, 195).translated(-origin));
    lblVersion->setText(kVersion);

    // The mail link is a small area without text, known by its pointer and tool tip.
    Label6 = make<MailLinkLabel>(page, "Label6", twipsRect(2160, 1440, 90, 180).translated(-origin));
    QFont linkFont = songFont(9);
    linkFont.setUnderline(true);
    Label6->setFont(linkFont);
    QPalette blue = Label6->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label6->setPalette(blue);
    Label6->setCursor(mailPointer());
    Label6->setToolTip(kMailTip);

    // Two lines, black over white, draw an etched separator.
    auto line = [&](const char* name, int top, const QColor& colour) {
        const QRect ends = twipsRect(600, top, 6850 - 600, 0);
        auto* frame = make<QFrame>(page, name, QRect(ends.left(), ends.top(), ends.width(), 1).translated(-origin));
        frame->setFrameShape(QFrame::NoFrame);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, colour);
        frame->setPalette(palette);
        frame->setAutoFillBackground(true);
        return frame;
    };
    Line1 = line("Line1", 1800, Qt::black);
    Line2 = line("Line2", 1815, Qt::white);
}

void Form2::setFocusOrder()
{
    QWidget* const list1 = &m_joinList->box();
    QWidget* const order[] = {Text1,  Command1, Text2, Command2, Option1,  Option2,  Text3,    Command3,
                              SSTab1, Text4,    list1, Command4, Command5, Command6, Command10};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
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
    // Closing in the middle of a write would leave a half-written file behind.
    if (m_operationRunning) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

int Form2::currentPage() const
{
    return SSTab1->currentIndex();
}

void Form2::SSTab1_Click(int previousTab)
{
    m_joinList->flush();
    // Only the page that was left matters, not the page entered.
    selectAll(previousTab == kJoinTab ? TextBox::Text1 : TextBox::Text4);
}

void Form2::Label6_Click()
{
    static const QString kMailLink = QStringLiteral("mailto:author@example.com");
    // Handed to the desktop, which starts the mail program on its own; a failure shows nothing.
    QDesktopServices::openUrl(QUrl(kMailLink));
}

void Form2::Command2_Click()
{
    openDirectoryChooser();
}

void Form2::Command10_Click()
{
    openDirectoryChooser();
}

void Form2::openDirectoryChooser()
{
    // The chooser's message boxes are this window's, so one presenter answers them all.
    if (!m_directoryChooser)
        m_directoryChooser = std::make_unique<DirectoryChooserOpener>(Text4, Text2, *this);
    m_directoryChooser->open();
}

// Files handed over by the desktop: the command line and drops.

void Form2::openPaths(const QStringList& paths)
{
    if (paths.isEmpty() || operationRunning())
        return;
    // As the file dialog gives them: full paths with the platform's separators.
    auto fullPath = [](const QString& path) {
        return path.isEmpty() ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    };
    // The notice the Cut file page gives for a missing source.
    auto reportMissing = [this](const QString& path) {
        messageBox(missingSourceText(path.toStdString()), BoxStyle::Warning, BoxTitle::Parvix);
    };

    const QString first = fullPath(paths.front());
    if (!isOrdinaryFile(first)) {
        reportMissing(first);
        return;
    }
    if (!isFirstPieceName(first.toStdString())) {
        // The Cut file page takes one source: later paths have no place there.
        selectTab(kSplitTab);
        openForCut(first);
        return;
    }
    selectTab(kJoinTab);
    addToJoinList(first);
    for (qsizetype i = 1; i < paths.size(); ++i) {
        const QString path = fullPath(paths[i]);
        if (isOrdinaryFile(path))
            addToJoinList(path);
        else
            reportMissing(path);
    }
}

void Form2::dropFiles(const QStringList& files)
{
    if (files.isEmpty() || operationRunning())
        return;
    switch (currentPage()) {
    case kSplitTab:
        openForCut(files.front());
        break;
    case kJoinTab:
        for (const QString& file : files)
            addToJoinList(file);
        break;
    default:
        // The About page, in front at start-up, has no use for files: they go where the command line
        // would send them.
        openPaths(files);
        break;
    }
}

void Form2::addToJoinList(const QString& path)
{
    if (path.isEmpty())
        return;
    runEngine(
        [this, chosen = path.toStdString()](WindowRequests& window) { JoinListAdd(window, *m_files).run(chosen); });
}

void Form2::setCutSource(const QString& path)
{
    Text1->setText(path);
    Text2->setText(QString::fromStdString(deriveDestinationBase(path.toStdString())));
}

bool Form2::isOrdinaryFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    // The cut's own test of its source, so that what it would call missing is missing here too.
    try {
        return exists(*m_files, path.toStdString(), ListingKind::OrdinaryFiles);
    } catch (const FileError&) {
        return false;
    }
}

void Form2::openForCut(const QString& path)
{
    setCutSource(path);
    focus(TextBox::Text2);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter =
            key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->text() == QLatin1String("\r");
        if (enter) {
            if (watched == Text1 || watched == Text2 || watched == Text3 || watched == Option1)
                Command3_Click();
            else if (watched == Text4 || watched == &m_joinList->box())
                Command6_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form2::Command1_Click()
{
    CommonDialog1->setFlags(CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
    const QString chosen = CommonDialog1->showOpen(this);
    if (chosen.isEmpty())
        return;
    setCutSource(chosen);
}

void Form2::Option1_Click()
{
    if (!Option1->isChecked())
        return;
    Text3->setEnabled(false);
    Text3->hide();
    Label1->hide();
}

void Form2::Option2_Click()
{
    if (!Option2->isChecked())
        return;
    Text3->setEnabled(true);
    Text3->show();
    Label1->show();
    Text3->setFocus(Qt::OtherFocusReason);
    // Chosen with an arrow key, the button takes the focus back once its click is handled: hand it on
    // again after that.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (Option2->hasFocus() && Text3->isEnabled())
                Text3->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

void Form2::setOptionTabStops()
{
    // The two option buttons are one stop for the Tab key: the selected one.
    Option1->setFocusPolicy(Option1->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    Option2->setFocusPolicy(Option2->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void Form2::Command4_Click()
{
    static const QString kAddFilter =
        QStringLiteral("Cut file[*.001]|*.001|Sub split file[*.002,*.003,*.004,*.005,*.006,*.007,*.008,*.009]|"
                       "*.002;*.003;*.004;*.005;*.006;*.007;*.008;*.009|All files[*.*]|*.*");
    CommonDialog1->setFlags(CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
    CommonDialog1->setFilter(kAddFilter);
    CommonDialog1->setFileName(QString());
    addToJoinList(CommonDialog1->showOpen(this));
}

void Form2::Command5_Click()
{
    QListWidget& list = m_joinList->box();
    const QModelIndexList selected = list.selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    // The list holds one selected entry at most; from the end, the first one found goes.
    int row = -1;
    for (const QModelIndex& index : selected)
        row = std::max(row, index.row());
    delete list.takeItem(row);
    if (row > 0)
        list.setCurrentRow(row - 1);
    else if (list.count() > 0)
        list.setCurrentRow(0);
}

void Form2::List1_Click(int row)
{
    m_joinList->box().setToolTip(m_joinList->entry(row));
}

void Form2::Command3_Click()
{
    const SplitInputs inputs{Text1->text().toStdString(), Text2->text().toStdString(), Option1->isChecked(),
                             Text3->text().toStdString()};
    runEngine([this, inputs](WindowRequests& window) { SplitOperation(window, *m_files).run(inputs); });
}

void Form2::Command6_Click()
{
    runEngine([this, text4 = Text4->text().toStdString()](WindowRequests& window) {
        JoinOperation(window, *m_files).run(text4);
    });
}

void Form2::runEngine(const std::function<void(WindowRequests&)>& operation)
{
    // A click that reached a handler anyway (from the program itself) never starts a second operation.
    if (m_operationRunning)
        return;
    m_operationRunning = true;
    m_joinList->setOperationRunning(true);
    struct Ended
    {
        Form2& form;
        ~Ended()
        {
            form.m_operationRunning = false;
            form.m_joinList->setOperationRunning(false);
        }
    } ended{*this};
    runOperation(*this, *this, operation);
}

void Form2::setMessageBoxPresenter(MessageBoxPresenter* presenter)
{
    m_presenter = presenter;
}

void Form2::setFileServices(std::unique_ptr<FileServices> files)
{
    m_files = std::move(files);
}

Button Form2::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    m_joinList->flush();
    const MessageBoxRequest request{QString::fromUtf8(titleText(title)), displayText(text), style};
    MessageBoxPresenter& presenter = m_presenter != nullptr ? *m_presenter : m_realBoxes;
    // The box itself takes the arrow even while an operation shows the hourglass.
    if (m_hourglass)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const Button answer = presenter.present(this, request);
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
    return answer;
}

QLineEdit* Form2::textBox(TextBox box) const
{
    switch (box) {
    case TextBox::Text1:
        return Text1;
    case TextBox::Text2:
        return Text2;
    case TextBox::Text3:
        return Text3;
    case TextBox::Text4:
        break;
    }
    return Text4;
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

void Form2::clearJoinList()
{
    m_joinList->clear();
}

void Form2::appendJoinList(const std::string& entry)
{
    m_joinList->append(QString::fromStdString(entry));
}

std::int64_t Form2::joinListCount()
{
    return m_joinList->count();
}

std::string Form2::joinListEntry(std::int64_t index)
{
    return m_joinList->entry(index).toStdString();
}

void Form2::setText4(const std::string& text)
{
    Text4->setText(QString::fromStdString(text));
    // A text set by the program leaves the caret at its start; the caller moves it where it wants.
    Text4->setCursorPosition(0);
}

void Form2::setPointer(Pointer pointer)
{
    if (pointer == Pointer::Hourglass && !m_hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_hourglass = true;
    } else if (pointer == Pointer::Default && m_hourglass) {
        QApplication::restoreOverrideCursor();
        m_hourglass = false;
    }
}

void Form2::setProgressMax(float maximum)
{
    m_progressMax = maximum;
    setProgressValue(m_progressValue);
}

void Form2::setProgressValue(float value)
{
    m_progressValue = value;
    int step = 0;
    // A maximum of 0 (a single piece) shows an empty bar rather than the toolkit's busy animation.
    if (m_progressMax > 0 && std::isfinite(m_progressMax) && std::isfinite(value)) {
        const double share = static_cast<double>(value) / static_cast<double>(m_progressMax);
        step = static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kProgressSteps));
    }
    ProgressBar1->setValue(step);
}

void Form2::showProgress()
{
    ProgressBar1->show();
}

void Form2::hideProgress()
{
    ProgressBar1->hide();
}

void Form2::selectTab(int index)
{
    m_joinList->flush();
    SSTab1->setCurrentIndex(index);
}

} // namespace parvix
