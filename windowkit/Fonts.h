#pragma once

#include <QFont>

namespace parvix {

// The windows' fonts by their design names, each with fallbacks for systems that lack it. Sizes are in
// points at 96 dots per inch and become pixel sizes, so that text keeps its place in the fixed layout.
QFont defaultFont();
QFont tahomaFont(double points);
// "宋体" (SimSun), the GB2312 font of the design.
QFont songFont(double points);

} // namespace parvix
