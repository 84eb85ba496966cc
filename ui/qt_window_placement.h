#pragma once

#include "window_placement.h"

#include <QMargins>
#include <QPoint>

#include <optional>

class QWidget;

namespace pelmora {

// Where the window stands: its outer top-left corner in twips, 15 to a
// device-independent pixel.
class QtWindowPlacement : public WindowPlacement {
public:
    explicit QtWindowPlacement(QWidget& window) : window_(window) {}

    // Where a new window stands before any position is restored: centred on
    // the primary screen, by the frame the platform says it draws.
    void CentreOnPrimaryScreen();
    // Just before the window is first shown: one still centred is centred by
    // the frame an X window manager says it will add. Only such a window
    // asks.
    void BeforeShown();
    // The window stands elsewhere or has its frame: one still centred whose
    // frame is not the one it was centred by is centred by its own.
    void Moved();

    // Neither tells nor sets a position where the platform places windows
    // itself (Wayland).
    std::optional<TwipPoint> TopLeft() const override;
    void MoveTo(TwipPoint topLeft) override;
    bool TitleBarOnAScreen(TwipPoint topLeft) const override;

private:
    void CentreBy(const QMargins& frame);
    QPoint CentredCorner(const QMargins& frame) const;
    void MoveFrameTo(QPoint topLeft);

    QWidget& window_;
    // While the window stands where it was centred: that corner, and the
    // frame it was centred by.
    std::optional<QPoint> centredAt_;
    QMargins centredBy_;
};

}  // namespace pelmora
