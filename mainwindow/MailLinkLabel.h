#pragma once

#include <QLabel>

namespace parvix {

// A label that acts as a link: a click (press and release of the left button over it) is reported.
class MailLinkLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace parvix
