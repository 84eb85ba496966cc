#pragma once

#include "window_placement.h"

class QWidget;

namespace pelmora {

class Form1;
class SettingsStore;

// The window's outer top-left corner in twips, 15 to a device-independent pixel.
class QtWindowPlacement : public WindowPlacement {
public:
    explicit QtWindowPlacement(QWidget& window) : window_(window) {}

    // Neither tells nor sets a position where the platform places windows
    // itself (Wayland).
    std::optional<TwipPoint> TopLeft() const override;
    void MoveTo(TwipPoint topLeft) override;
    bool TitleBarOnAScreen(TwipPoint topLeft) const override;

private:
    QWidget& window_;
};

// Before the window is first shown: a new window stands centred on the
// primary screen, then the start-up sequence restores position and mode.
void StartUpWindow(Form1& window, SettingsStore& store);

// When the program ends: the shut-down sequence's writes for this window.
void SaveWindowOnShutDown(Form1& window, SettingsStore& store);

}  // namespace pelmora
