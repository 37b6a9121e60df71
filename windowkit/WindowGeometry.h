#pragma once

#include <QRect>

class QScreen;
class QWidget;

namespace parvix {

// Both windows are laid out in twips at 96 dots per inch: 15 twips to a pixel, to the nearest pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// Moves `window` so that its outer frame stands in the middle of `screen`, a half pixel rounded towards
// the top left. Nothing happens without a screen.
void centreOnScreen(QWidget& window, const QScreen* screen);

} // namespace parvix
