#include "window_layout.h"

#include <cmath>

namespace pelmora {

int PixelsFromTwips(double twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch)); }

double TwipsFromPixels(int pixels, int dpi) { return static_cast<double>(pixels) * kTwipsPerInch / dpi; }

namespace {

PixelRect Pixels(TwipRect twips, int dpi) {
    return {PixelsFromTwips(twips.left, dpi), PixelsFromTwips(twips.top, dpi), PixelsFromTwips(twips.width, dpi),
            PixelsFromTwips(twips.height, dpi)};
}

}  // namespace

PixelLayout LayoutAt(int dpi) {
    // Points are 1/72 inch.
    return {PixelsFromTwips(kClientWidth, dpi), PixelsFromTwips(kClientHeight, dpi),
            Pixels(kLabel1Rect, dpi),           Pixels(kText1Rect, dpi),
            Pixels(kLabel2Rect, dpi),           static_cast<int>(std::lround(kFontPoints * dpi / 72))};
}

}  // namespace pelmora
