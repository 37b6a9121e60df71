#include "Pictures.h"

namespace parvix {

// The pictures are built into the program under their file names (windowkit/CMakeLists.txt).

QPixmap bannerPicture()
{
    return QPixmap(QStringLiteral(":/banner.jpg"));
}

QIcon programIcon()
{
    QIcon icon(programIconPicture());
    icon.addFile(QStringLiteral(":/icon16.png"), QSize(16, 16));
    return icon;
}

QPixmap programIconPicture()
{
    return QPixmap(QStringLiteral(":/icon32.png"));
}

QCursor mailPointer()
{
    // The hot spot is the arrow's tip in the picture's top-left corner.
    return QCursor(QPixmap(QStringLiteral(":/mailpointer.png")), 0, 0);
}

} // namespace parvix
