#pragma once

#include "SplitOperation.h"
#include "WindowDisplay.h"

#include <QWidget>

class QLineEdit;

namespace parvix {

class CommonDialog;
class PieceSizeFrame;

// The Cut file page: the file to cut (Text1) with its browse button, the destination base (Text2) with
// the directory chooser's button, the piece size and "Recovery" (Frame2) and "Cut". The cut itself is
// the window's to start: the page asks for it. Controls are placed in the tab control's coordinates, as
// the design gives them; those the page acts on once built are its members.
class CutPage : public QWidget
{
    Q_OBJECT

public:
    // `dialog` is the window's one file-open dialog, shared with "Add".
    explicit CutPage(CommonDialog& dialog);

    // The inputs of a cut as the page holds them now.
    SplitInputs inputs() const;
    // A file to cut: it goes into Text1, the base derived from it into Text2.
    void setSource(const QString& path);
    // Text1, Text2 or Text3.
    QLineEdit* textBox(TextBox box) const;

signals:
    // "Cut", or Enter in Text1, Text2, Text3, on Option1 or on Check1.
    void cutRequested();
    // "..." beside the destination.
    void directoryRequested();

private slots:
    void Command1_Click();

private:
    CommonDialog& m_dialog;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    PieceSizeFrame* Frame2 = nullptr;
};

} // namespace parvix
