#pragma once

#include "SplitOperation.h"
#include "WindowDisplay.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace parvix {

class CommonDialog;

// The Cut file page: the file to cut (Text1) with its browse button, the destination base (Text2) with
// the directory chooser's button, the piece size ("1.44M", or "Customize" with kilobytes in Text3) and
// "Cut". The cut itself is the window's to start: the page asks for it. Controls are placed in the tab
// control's coordinates, as the design gives them.
class CutPage : public QWidget
{
    Q_OBJECT

public:
    // `dialog` is the window's one file-open dialog, shared with "Add".
    explicit CutPage(CommonDialog& dialog);

    // The four inputs of a cut as the page holds them now.
    SplitInputs inputs() const;
    // A file to cut: it goes into Text1, the base derived from it into Text2.
    void setSource(const QString& path);
    // Text1, Text2 or Text3.
    QLineEdit* textBox(TextBox box) const;

signals:
    // "Cut", or Enter in Text1, Text2, Text3 or on Option1.
    void cutRequested();
    // "..." beside the destination.
    void directoryRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void Command1_Click();
    void Option1_Click();
    void Option2_Click();

private:
    void setOptionTabStops();

    CommonDialog& m_dialog;

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
};

} // namespace parvix
