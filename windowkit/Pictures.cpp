#include "Pictures.h"

namespace parvix {

namespace {

const QString kBanner = QStringLiteral(":/banner.jpg");
const QString kIcon32 = QStringLiteral(":/icon32.png");
const QString kIcon16 = QStringLiteral(":/icon16.png");
const QString kMailPointer = QStringLiteral(":/mailpointer.png");

} // namespace

QPixmap bannerPicture()
{
    return QPixmap(kBanner);
}

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(kIcon32, QSize(32, 32));
    icon.addFile(kIcon16, QSize(16, 16));
    return icon;
}

QPixmap programIconPicture()
{
    return QPixmap(kIcon32);
}

QCursor mailPointer()
{
    // The hot spot is the arrow's tip in the picture's top-left corner.
    return QCursor(QPixmap(kMailPointer), 0, 0);
}

} // namespace parvix
