#include "Form1.h"

#include "DirectoryList.h"
#include "DirectorySource.h"
#include "DiskErrorTable.h"
#include "Fonts.h"
#include "PathLabel.h"
#include "Pictures.h"
#include "Platform.h"
#include "WindowGeometry.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace parvix {

namespace {

const QString kCaption = QStringLiteral("Please choose a directory");
const QString kLabel2Caption = QStringLiteral("Directory：");
const QString kLabel1Caption = QStringLiteral("Label1");
const QString kOkCaption = QStringLiteral("Ok");
const QString kCancelCaption = QStringLiteral("cancel");

} // namespace

Form1::Form1(DirectorySource& source, Questions& questions, QLineEdit* text4, QLineEdit* text2)
    : m_source(source), m_questions(questions), m_text4(text4), m_text2(text2)
{
    setWindowTitle(kCaption);
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(5190), twipsToPixels(3765));
    // The design's default font, as in the main window, not the desktop's, which may be another face.
    setFont(defaultFont());
    createControls();
    load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    Label2 = new QLabel(kLabel2Caption, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new PathLabel(kLabel1Caption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Dir1 = new DirectoryList(m_source, this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    command1 = new QPushButton(kOkCaption, this);
    command1->setObjectName(QStringLiteral("command1"));
    Command2 = new QPushButton(kCancelCaption, this);
    Command2->setObjectName(QStringLiteral("Command2"));

    Label2->setGeometry(twipsRect(240, 240, 810, 195));
    Label1->setGeometry(twipsRect(240, 480, 4695, 195));
    Dir1->setGeometry(twipsRect(240, 720, 4695, 2400));
    Drive1->setGeometry(twipsRect(240, 3240, 1935, 300));
    command1->setGeometry(twipsRect(2520, 3240, 1095, 375));
    Command2->setGeometry(twipsRect(3840, 3240, 1095, 375));

    // Our fonts are larger than the ones the layout was drawn for: let the heading and the labels grow
    // into the free space beside and below them (16 pixels to the next control), and the drive list to
    // the buttons' height, so no text is cut off.
    Label2->resize(std::max(Label2->width(), Label2->sizeHint().width()),
                   std::clamp(Label2->sizeHint().height(), Label2->height(), 16));
    Label1->resize(Label1->width(), std::clamp(Label1->sizeHint().height(), Label1->height(), 16));
    Drive1->resize(Drive1->width(), std::clamp(Drive1->sizeHint().height(), Drive1->height(), command1->height()));

    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &Form1::command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, command1);
    setTabOrder(command1, Command2);
}

void Form1::load()
{
    centreOnScreen(*this, QGuiApplication::primaryScreen());
    m_drives = m_source.drives();
    for (const Drive& drive : m_drives)
        Drive1->addItem(drive.label);
    QString start = normalisedDirectory(QDir::currentPath());
    if (start.isEmpty() && !m_drives.isEmpty())
        start = m_drives.first().root;
    connect(Dir1, &DirectoryList::pathChanged, this, &Form1::Dir1_Change);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    Dir1->showPath(start);
}

QString Form1::result() const
{
    return Label1->path();
}

void Form1::Dir1_Change(const QString& path)
{
    Label1->setPath(path);
    // Browsing can lead onto another mounted file system: the drive list follows without a drive step.
    const qsizetype drive = driveIndexOf(m_drives, path);
    if (drive >= 0 && drive != Drive1->currentIndex()) {
        const QSignalBlocker blocker(Drive1);
        Drive1->setCurrentIndex(static_cast<int>(drive));
    }
}

void Form1::Drive1_Change(int index)
{
    if (index < 0 || index >= m_drives.size())
        return;
    const Drive& drive = m_drives.at(index);
    const QString directory = m_source.currentDirectoryOf(drive);
    int error = Dir1->setPath(directory);
    // A remembered directory that has gone since must not lock the user out of its drive.
    if (error != 0 && directory != drive.root)
        error = Dir1->setPath(drive.root);
    // The drive list stays on the new drive, the directory list and Label1 on the old directory.
    if (error != 0)
        reportDiskError(m_questions, error, DiskErrorEntries::AllButFileNotFound);
}

void Form1::command1_Click()
{
    const QString chosen = result() + QLatin1Char(kSeparator);
    if (m_text4)
        m_text4->setText(chosen);
    if (m_text2)
        m_text2->setText(chosen);
    hide();
}

void Form1::Command2_Click()
{
    hide();
}

void Form1::reject()
{
    Command2_Click();
}

void Form1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The load step could only use the client size; centre the outer size once the frame is known.
    if (!m_shownBefore) {
        m_shownBefore = true;
        if (frameGeometry().size() != size())
            centreOnScreen(*this, QGuiApplication::primaryScreen());
    }
    Dir1->refresh();
    Dir1->setFocus();
}

void Form1::closeEvent(QCloseEvent* event)
{
    m_wasClosed = true;
    QDialog::closeEvent(event);
}

} // namespace parvix
