#include "Form1.h"

#include "Controls.h"
#include "DirectoryList.h"
#include "DirectorySource.h"
#include "DiskErrorTable.h"
#include "PathLabel.h"
#include "WindowGeometry.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace parvix {

namespace {

const QString kCaption = QStringLiteral("Please choose a directory");
const QString kLabel2Caption = QStringLiteral("Directory：");
const QString kLabel1Caption = QStringLiteral("Label1");
const QString kOkCaption = QStringLiteral("Ok");
const QString kCancelCaption = QStringLiteral("cancel");

} // namespace

Form1::Form1(DirectorySource& source, Questions& questions) : m_source(source), m_questions(questions)
{
    // No minimise and no maximise button.
    setUpWindow(*this, kCaption, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint, 5190, 3765);
    createControls();
    load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    Label2 = makeControl<QLabel>(this, "Label2", twipsRect(240, 240, 810, 195));
    Label2->setText(kLabel2Caption);
    Label1 = makeControl<PathLabel>(this, "Label1", twipsRect(240, 480, 4695, 195));
    Label1->setPath(kLabel1Caption);
    Dir1 = new DirectoryList(m_source, this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(twipsRect(240, 720, 4695, 2400));
    Dir1->setAccessibleName(QStringLiteral("Directories"));
    Drive1 = makeControl<QComboBox>(this, "Drive1", twipsRect(240, 3240, 1935, 300));
    Drive1->setAccessibleName(QStringLiteral("Drives"));
    command1 = makeControl<QPushButton>(this, "command1", twipsRect(2520, 3240, 1095, 375));
    command1->setText(kOkCaption);
    Command2 = makeControl<QPushButton>(this, "Command2", twipsRect(3840, 3240, 1095, 375));
    Command2->setText(kCancelCaption);

    // Our fonts are larger than the ones the layout was drawn for: let the heading and the labels grow
    // into the free space beside and below them (16 pixels to the next control), and the drive list to
    // the buttons' height, so no text is cut off.
    growToContents(Label2, QSize(QWIDGETSIZE_MAX, 16));
    growToContents(Label1, QSize(Label1->width(), 16));
    growToContents(Drive1, QSize(Drive1->width(), command1->height()));

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

QString Form1::directory() const
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
    // On failure the drive list stays on the new drive, the directory list and Label1 on the old directory.
    if (const int error = Dir1->setPath(m_source.currentDirectoryOf(drive)))
        reportDiskError(m_questions, error, DiskErrorEntries::AllButFileNotFound);
}

void Form1::command1_Click()
{
    done(Accepted);
}

void Form1::Command2_Click()
{
    done(Rejected);
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
