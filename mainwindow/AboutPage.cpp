#include "AboutPage.h"

#include "Controls.h"
#include "Fonts.h"
#include "MailLinkLabel.h"
#include "Pictures.h"
#include "WindowGeometry.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QUrl>

namespace parvix {

AboutPage::AboutPage()
{
    setObjectName(QStringLiteral("SSTab1Page2"));
    auto* picIcon = makeControl<QLabel>(this, "picIcon", twipsRect(720, 480, 480, 480));
    picIcon->setPixmap(programIconPicture());
    picIcon->setAccessibleName(QStringLiteral("Parvix toolbox"));

    QFont titleFont = tahomaFont(9);
    titleFont.setBold(true);
    auto* lblTitle = makeLabel(this, "lblTitle", twipsRect(1440, 600, 2565, 210),
                               QStringLiteral("Parvix toolbox  version 1.53"), titleFont);
    // The maker's web address, as plain text: it is no link.
    auto* lblDescription = makeControl<QLabel>(this, "lblDescription", twipsRect(1440, 960, 2175, 195));
    lblDescription->setTextFormat(Qt::PlainText);
    lblDescription->setText(QStringLiteral("www.example.com"));
    growToContents(lblDescription);
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    for (QWidget* label : {lblTitle, lblDescription})
        label->setPalette(black);
    makeControl<QLabel>(this, "lblVersion", twipsRect(1440, 1200, 1590, 195))->setText(QStringLiteral(" "));

    // The mail link is a small area without text, known by its pointer and tool tip.
    auto* Label6 = makeControl<MailLinkLabel>(this, "Label6", twipsRect(2160, 1440, 90, 180));
    QFont linkFont = songFont(9);
    linkFont.setUnderline(true);
    Label6->setFont(linkFont);
    QPalette blue = Label6->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label6->setPalette(blue);
    Label6->setCursor(mailPointer());
    Label6->setToolTip(QString::fromUtf8("写信给我"));
    Label6->setAccessibleName(QStringLiteral("Mail to the author"));
    connect(Label6, &MailLinkLabel::clicked, this, &AboutPage::Label6_Click);

    // Two lines, black over white, draw an etched separator.
    makeLine("Line1", 1800, Qt::black);
    makeLine("Line2", 1815, Qt::white);
}

QFrame* AboutPage::makeLine(const char* name, int top, const QColor& colour)
{
    const QRect ends = twipsRect(600, top, 6850 - 600, 0);
    auto* line = makeControl<QFrame>(this, name, QRect(ends.left(), ends.top(), ends.width(), 1));
    line->setFrameShape(QFrame::NoFrame);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    line->setAccessibleName(QStringLiteral("Separator"));
    return line;
}

void AboutPage::Label6_Click()
{
    // Handed to the desktop, which starts the mail program on its own; a failure shows nothing.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:author@example.com")));
}

} // namespace parvix
