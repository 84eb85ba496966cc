#pragma once

#include "window_placement.h"

class QPoint;
class QWidget;

namespace pelmora {

// Where the window stands: its outer top-left corner in twips, 15 to a
// device-independent pixel.
class QtWindowPlacement : public WindowPlacement {
public:
    explicit QtWindowPlacement(QWidget& window) : window_(window) {}

    // Where a new window stands before any position is restored: centred on
    // the primary screen.
    void CentreOnPrimaryScreen();

    // Neither tells nor sets a position where the platform places windows
    // itself (Wayland).
    std::optional<TwipPoint> TopLeft() const override;
    void MoveTo(TwipPoint topLeft) override;
    bool TitleBarOnAScreen(TwipPoint topLeft) const override;

private:
    void MoveFrameTo(QPoint topLeft);

    QWidget& window_;
};

}  // namespace pelmora
