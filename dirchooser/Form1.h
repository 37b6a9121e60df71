#pragma once

#include "DirectoryPaths.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace parvix {

class DirectoryList;
class DirectorySource;
class PathLabel;
class Questions;

// The directory chooser: a drive list and a directory list. "Ok" hides the window with the current
// directory as its answer; "cancel" and Escape hide it without one. The title bar's close box closes it
// for good: the opener then destroys it.
//
// Its controls are its own; each bears its design name as object name (Label2, Label1, Dir1, Drive1,
// command1, Command2), by which tests find it.
class Form1 : public QDialog
{
    Q_OBJECT

public:
    // Creating the window is its load step: it is centred on the screen and opens at the process's
    // working directory. `source` and `questions` (which shows its boxes) must outlive it.
    Form1(DirectorySource& source, Questions& questions);
    ~Form1() override;

    // The directory shown in Label1, the one "Ok" answers with.
    QString directory() const;

    // Whether the window was closed with the title bar's close box (or any other close request) rather
    // than hidden by "Ok", "cancel" or Escape.
    bool wasClosed() const { return m_wasClosed; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void command1_Click();
    void Command2_Click();
    void Dir1_Change(const QString& path);
    void Drive1_Change(int index);

private:
    void createControls();
    void load();

    // The controls, by their design names.
    QLabel* Label2 = nullptr;
    PathLabel* Label1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    QComboBox* Drive1 = nullptr;
    QPushButton* command1 = nullptr;
    QPushButton* Command2 = nullptr;

    DirectorySource& m_source;
    Questions& m_questions;
    QList<Drive> m_drives;
    bool m_wasClosed = false;
    bool m_shownBefore = false;
};

} // namespace parvix
