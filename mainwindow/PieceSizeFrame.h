#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace parvix {

// Frame2 of the Cut file page, the piece size: "1.44M" (Option1), or "Customize" (Option2) with the
// kilobytes typed in Text3 and "KB" (Label1) beside it. Text3 shows only while "Customize" is chosen,
// and keeps what was typed while hidden. Below them "Recovery" (Check1) asks the cut for recovery data
// beside the pieces; it keeps its state from cut to cut.
class PieceSizeFrame : public QGroupBox
{
    Q_OBJECT

public:
    explicit PieceSizeFrame(QWidget* page);

    bool floppySize() const;
    // "Recovery" checked: recovery data for one piece in every 20.
    bool recovery() const;
    QLineEdit* text3() const { return Text3; }
    // The inputs in which Enter starts the cut.
    QList<QWidget*> enterInputs() const;

private slots:
    void Option1_Click();
    void Option2_Click();

private:
    // Text3 and "KB" shown and Text3 enabled, with the focus, or all hidden.
    void showSizeBox(bool shown);
    void setOptionTabStops();

    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* Check1 = nullptr;
};

} // namespace parvix
