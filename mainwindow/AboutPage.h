#pragma once

#include <QWidget>

class QFrame;
class QLabel;

namespace parvix {

class MailLinkLabel;

// The About page: the program's icon, name and version, the maker's web address, the mail link and an
// etched line. Only the mail link reacts to the user. Controls are placed in the tab control's
// coordinates, as the design gives them.
class AboutPage : public QWidget
{
    Q_OBJECT

public:
    AboutPage();

private slots:
    void Label6_Click();

private:
    QFrame* makeLine(const char* name, int top, const QColor& colour);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    MailLinkLabel* Label6 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
};

} // namespace parvix
