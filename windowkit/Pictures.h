#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace parvix {

// The banner strip's picture, 232 x 60.
QPixmap bannerPicture();
// The program icon at 32 x 32 and 16 x 16.
QIcon programIcon();
// The 32 x 32 picture of the program icon, as the About page and the directory chooser show it.
QPixmap programIconPicture();
// The pointer shown over the mail link.
QCursor mailPointer();

} // namespace parvix
