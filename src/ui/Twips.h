#pragma once

#include <QRect>

namespace convodesk::ui {

// Layouts are given in twips (1/1440 inch): 15 twips are one pixel at 96 dots per inch, which
// is also what Qt's logical pixels amount to on scaled desktops.
constexpr double twipsPerPixel = 15.0;

// The one rule from twips to pixels: nearest pixel, halves away from zero (7.5 -> 1, -7.5 -> -1).
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// Left, top, width and height in twips as a pixel rectangle (each value converted on its own).
QRect twipsRect(double left, double top, double width, double height);

} // namespace convodesk::ui
