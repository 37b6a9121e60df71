#pragma once

#include "DirectoryPaths.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace parvix {

class DirectoryList;
class DirectorySource;
class PathLabel;
class Questions;

// The directory chooser: a drive list and a directory list. "Ok" writes the current directory followed
// by a separator into the join destination (Text4) and then the split destination (Text2), and hides
// the window; "cancel" and Escape only hide it. The title bar's close box closes it for good: the
// opener then destroys it.
//
// Its controls are its own; each bears its design name as object name (Label2, Label1, Dir1, Drive1,
// command1, Command2), by which tests find it.
class Form1 : public QDialog
{
    Q_OBJECT

public:
    // Creating the window is its load step: it is centred on the screen and opens at the process's
    // working directory. `source`, `questions` (which shows its boxes) and the two text boxes must
    // outlive it (the boxes may also be destroyed first: then nothing is written into them).
    Form1(DirectorySource& source, Questions& questions, QLineEdit* text4, QLineEdit* text2);
    ~Form1() override;

    // The chooser's result: the directory shown in Label1.
    QString result() const;

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
    QPointer<QLineEdit> m_text4;
    QPointer<QLineEdit> m_text2;
    QList<Drive> m_drives;
    bool m_wasClosed = false;
    bool m_shownBefore = false;
};

} // namespace parvix
