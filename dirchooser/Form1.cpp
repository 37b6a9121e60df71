#include "Form1.h"

#include "DirectoryList.h"
#include "DirectorySource.h"
#include "DiskErrorTable.h"
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
    createControls();

    // Load step.
    centreOnScreen(*this, QGuiApplication::primaryScreen());
    m_drives = m_source.drives();
    for (const Drive& drive : m_drives)
        m_drive1->addItem(drive.label);
    QString start = normalisedDirectory(QDir::currentPath());
    if (start.isEmpty() && !m_drives.isEmpty())
        start = m_drives.first().root;
    connect(m_dir1, &DirectoryList::pathChanged, this, &Form1::dir1Changed);
    connect(m_drive1, &QComboBox::currentIndexChanged, this, &Form1::drive1Changed);
    m_dir1->showPath(start);
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_label2 = new QLabel(kLabel2Caption, this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label1 = new PathLabel(kLabel1Caption, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_dir1 = new DirectoryList(m_source, this);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_drive1 = new QComboBox(this);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_command1 = new QPushButton(kOkCaption, this);
    m_command1->setObjectName(QStringLiteral("command1"));
    m_command2 = new QPushButton(kCancelCaption, this);
    m_command2->setObjectName(QStringLiteral("Command2"));

    m_label2->setGeometry(twipsRect(240, 240, 810, 195));
    m_label1->setGeometry(twipsRect(240, 480, 4695, 195));
    m_dir1->setGeometry(twipsRect(240, 720, 4695, 2400));
    m_drive1->setGeometry(twipsRect(240, 3240, 1935, 300));
    m_command1->setGeometry(twipsRect(2520, 3240, 1095, 375));
    m_command2->setGeometry(twipsRect(3840, 3240, 1095, 375));

    // Our fonts are larger than the ones the layout was drawn for: let the heading and the labels grow
    // into the free space beside and below them (16 pixels to the next control), and the drive list to
    // the buttons' height, so no text is cut off.
    m_label2->resize(std::max(m_label2->width(), m_label2->sizeHint().width()),
                     std::clamp(m_label2->sizeHint().height(), m_label2->height(), 16));
    m_label1->resize(m_label1->width(), std::clamp(m_label1->sizeHint().height(), m_label1->height(), 16));
    m_drive1->resize(m_drive1->width(),
                     std::clamp(m_drive1->sizeHint().height(), m_drive1->height(), m_command1->height()));

    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &Form1::command1Click);
    connect(m_command2, &QPushButton::clicked, this, &Form1::command2Click);

    setTabOrder(m_dir1, m_drive1);
    setTabOrder(m_drive1, m_command1);
    setTabOrder(m_command1, m_command2);
}

QString Form1::result() const
{
    return m_label1->path();
}

void Form1::dir1Changed(const QString& path)
{
    m_label1->setPath(path);
    // Browsing can lead onto another mounted file system: the drive list follows without a drive step.
    const qsizetype drive = driveIndexOf(m_drives, path);
    if (drive >= 0 && drive != m_drive1->currentIndex()) {
        const QSignalBlocker blocker(m_drive1);
        m_drive1->setCurrentIndex(static_cast<int>(drive));
    }
}

void Form1::drive1Changed(int index)
{
    if (index < 0 || index >= m_drives.size())
        return;
    const Drive& drive = m_drives.at(index);
    const QString directory = m_source.currentDirectoryOf(drive);
    int error = m_dir1->setPath(directory);
    // A remembered directory that has gone since must not lock the user out of its drive.
    if (error != 0 && directory != drive.root)
        error = m_dir1->setPath(drive.root);
    // The drive list stays on the new drive, the directory list and Label1 on the old directory.
    if (error != 0)
        reportDiskError(m_questions, error, DiskErrorEntries::AllButFileNotFound);
}

void Form1::command1Click()
{
    const QString chosen = result() + QLatin1Char(kSeparator);
    if (m_text4)
        m_text4->setText(chosen);
    if (m_text2)
        m_text2->setText(chosen);
    hide();
}

void Form1::command2Click()
{
    hide();
}

void Form1::reject()
{
    command2Click();
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
    m_dir1->refresh();
    m_dir1->setFocus();
}

void Form1::closeEvent(QCloseEvent* event)
{
    m_wasClosed = true;
    QDialog::closeEvent(event);
}

} // namespace parvix
