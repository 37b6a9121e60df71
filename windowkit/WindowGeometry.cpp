#include "WindowGeometry.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace parvix {

void centreOnScreen(QWidget& window, const QScreen* screen)
{
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const QSize outer = window.frameGeometry().size();
    const float left = (static_cast<float>(area.width()) - static_cast<float>(outer.width())) / 2.0f;
    const float top = (static_cast<float>(area.height()) - static_cast<float>(outer.height())) / 2.0f;
    window.move(area.x() + static_cast<int>(std::floor(left)), area.y() + static_cast<int>(std::floor(top)));
}

} // namespace parvix
