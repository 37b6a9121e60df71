#pragma once

#include "JoinList.h"
#include "WindowDisplay.h"

#include <QWidget>
#include <string>

class QLineEdit;
class QListWidget;

namespace parvix {

class CommonDialog;

// The Join file page: the joined file's path (Text4) with the directory chooser's button, the join list
// (List1) and the buttons that add to it, delete from it and join it. It holds the join list's side of
// the engines' requests; the join and "Add" themselves are the window's to start. Controls are placed
// in the tab control's coordinates, as the design gives them; those the page acts on once built are its
// members.
class JoinPage : public QWidget, public JoinListDisplay
{
    Q_OBJECT

public:
    // `dialog` is the window's one file-open dialog, shared with the source browse.
    explicit JoinPage(CommonDialog& dialog);

    QLineEdit* text4() const { return Text4; }
    JoinList& joinList() const { return *m_joinList; }

    // The join list and its destination, as the engines change them.
    void clearJoinList() override { m_joinList->clear(); }
    void appendJoinList(const std::string& entry) override { m_joinList->append(QString::fromStdString(entry)); }
    // The caret goes to the start; the caller moves it where it wants.
    void setText4(const std::string& text) override;

signals:
    // "Join", or Enter in Text4 or List1.
    void joinRequested();
    // "Add", with the file chosen in its dialog.
    void addRequested(const QString& path);
    // "..." beside the destination.
    void directoryRequested();

private slots:
    void Command4_Click();
    void Command5_Click();
    void List1_Click();

private:
    QLineEdit* Text4 = nullptr;
    // List1, with the entries on their way into it.
    JoinList* m_joinList = nullptr;
    QListWidget* List1 = nullptr;
    // The window's, for "Add".
    CommonDialog& m_dialog;
};

} // namespace parvix
