#include "PathLabel.h"

namespace parvix {

PathLabel::PathLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void PathLabel::setPath(const QString& path)
{
    m_path = path;
    setToolTip(path);
    updateShownText();
}

void PathLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateShownText();
}

void PathLabel::updateShownText()
{
    setText(fontMetrics().elidedText(m_path, Qt::ElideMiddle, contentsRect().width()));
}

} // namespace parvix
