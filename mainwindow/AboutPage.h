#pragma once

#include <QWidget>

class QFrame;

namespace parvix {

// The About page: the program's icon, name and version, the maker's web address, the mail link and an
// etched line. It keeps nothing: only the mail link reacts to the user. Controls are placed in the tab
// control's coordinates, as the design gives them.
class AboutPage : public QWidget
{
    Q_OBJECT

public:
    AboutPage();

private slots:
    void Label6_Click();

private:
    QFrame* makeLine(const char* name, int top, const QColor& colour);
};

} // namespace parvix
