#include "Twips.h"

#include <cmath>

namespace convodesk::ui {

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

double pixelsToTwips(int pixels) {
    return pixels * twipsPerPixel;
}

QRect twipsRect(double left, double top, double width, double height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace convodesk::ui
