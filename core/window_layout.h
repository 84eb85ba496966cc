#pragma once

namespace pelmora {

// The window is laid out in twips, 1/1440 inch: 15 to a pixel at 96 dots per
// inch, or to a device-independent pixel. Stored window positions are twips too.
inline constexpr int kTwipsPerInch = 1440;
// Qt's device-independent pixels are pixels at this density.
inline constexpr int kLogicalDpi = 96;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The client area below the menu bar, and the three controls in tab order
// within it: the prompt at the left, the entry field beside it on the same
// line, and the verdict line centred beneath both.
inline constexpr int kClientWidth = 4575;
inline constexpr int kClientHeight = 1260;
inline constexpr TwipRect kLabel1Rect{120, 120, 2175, 255};
inline constexpr TwipRect kText1Rect{2280, 60, 2175, 375};
inline constexpr TwipRect kLabel2Rect{930, 600, 2775, 255};

// The face and size of all three; each front end names the stand-ins for a
// face that is not installed.
inline constexpr const char* kFontFace = "MS Sans Serif";
inline constexpr double kFontPoints = 9.75;

// The entry field takes at most this many characters, typed or pasted.
inline constexpr int kEntryLimit = 20;

// Twips and pixels at a screen's density (dots per inch), both ways with the
// one rounding every window uses: to the nearest pixel, halves away from zero.
int PixelsFromTwips(double twips, int dpi);
double TwipsFromPixels(int pixels, int dpi);

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The form in pixels at a density: the client area's size, the controls, and
// the face's height (a character's height without its internal leading, as
// fonts are sized in points).
struct PixelLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    PixelRect label1;
    PixelRect text1;
    PixelRect label2;
    int fontHeight = 0;
};
PixelLayout LayoutAt(int dpi);

}  // namespace pelmora
