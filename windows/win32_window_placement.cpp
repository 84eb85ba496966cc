#include "win32_window_placement.h"

namespace pelmora {

void Win32WindowPlacement::Attach(HWND window, int dpi) {
    window_ = window;
    dpi_ = dpi;
    Remember();
}

void Win32WindowPlacement::Remember() {
    // Screen coordinates from the window's own rectangle, as SetWindowPos
    // takes them, whatever panels share the screen.
    RECT frame{};
    if (!IsIconic(window_) && !IsZoomed(window_) && GetWindowRect(window_, &frame)) place_ = {frame.left, frame.top};
}

std::optional<TwipPoint> Win32WindowPlacement::TopLeft() const {
    return TwipPoint{TwipsFromPixels(place_.x, dpi_), TwipsFromPixels(place_.y, dpi_)};
}

void Win32WindowPlacement::MoveTo(TwipPoint topLeft) {
    SetWindowPos(window_, nullptr, PixelsFromTwips(topLeft.x, dpi_), PixelsFromTwips(topLeft.y, dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32WindowPlacement::TitleBarOnAScreen(TwipPoint topLeft) const {
    RECT frame{};
    GetWindowRect(window_, &frame);
    const POINT titleBarMiddle{
        PixelsFromTwips(topLeft.x, dpi_) + (frame.right - frame.left) / 2,
        PixelsFromTwips(topLeft.y, dpi_) + GetSystemMetrics(SM_CYCAPTION) / 2 + GetSystemMetrics(SM_CYFIXEDFRAME)};
    return MonitorFromPoint(titleBarMiddle, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace pelmora
