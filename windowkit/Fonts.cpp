#include "Fonts.h"

#include <QStringList>
#include <cmath>

namespace parvix {

namespace {

int pixelsOfPoints(double points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont makeFont(const QStringList& families, double points)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelsOfPoints(points));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

QFont defaultFont()
{
    static const QStringList families{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
    return makeFont(families, 8.25);
}

QFont tahomaFont(double points)
{
    static const QStringList families{QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                                      QStringLiteral("DejaVu Sans")};
    return makeFont(families, points);
}

QFont songFont(double points)
{
    static const QStringList families{QString::fromUtf8("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")};
    return makeFont(families, points);
}

} // namespace parvix
