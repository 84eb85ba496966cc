#pragma once

namespace pelmora {

// The window is laid out in twips, 1/1440 inch: 15 to a pixel at 96 dots per
// inch, or to a device-independent pixel. Stored window positions are twips too.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

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

}  // namespace pelmora
