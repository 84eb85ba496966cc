#pragma once

#include "window_layout.h"
#include "window_placement.h"

#include <windows.h>

namespace pelmora {

// Where the window stands: its outer top-left corner on the screen in twips.
// Stored positions are twips at the screen's real density, 15 to a pixel at
// 96 dots per inch, so they stay valid when the density changes.
class Win32WindowPlacement : public WindowPlacement {
public:
    // The window, once it exists, and the screen's density.
    void Attach(HWND window, int dpi);
    // Keeps where the window stands while it is neither minimised nor
    // maximised; called whenever it moves.
    void Remember();

    // Where the window last stood normally: a minimised window sits far off
    // the screen, which is no place to open it next time.
    std::optional<TwipPoint> TopLeft() const override;
    void MoveTo(TwipPoint topLeft) override;
    bool TitleBarOnAScreen(TwipPoint topLeft) const override;

private:
    HWND window_ = nullptr;
    int dpi_ = 96;
    POINT place_{};
};

}  // namespace pelmora
