#pragma once

#include <optional>

namespace pelmora {

// A point on the screen in twips (1/1440 inch; 15 to a pixel at 96 dots per inch).
struct TwipPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const TwipPoint&, const TwipPoint&) = default;
};

// Where the main window stands: its outer top-left corner, as each front end
// measures it in twips.
class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;

    // Nothing where the platform does not tell a window where it stands
    // (Wayland); the stored position is then left as it is.
    virtual std::optional<TwipPoint> TopLeft() const = 0;
    virtual void MoveTo(TwipPoint topLeft) = 0;
    // Whether the window's title bar would be on some screen with its corner
    // at `topLeft`; a window off every screen could not be reached.
    virtual bool TitleBarOnAScreen(TwipPoint topLeft) const = 0;
};

}  // namespace pelmora
