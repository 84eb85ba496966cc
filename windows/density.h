#pragma once

#include <windows.h>

namespace pelmora {

// Screen densities, in dots per inch, on every Windows from 7 on: the
// functions that know a window's own monitor (Windows 10) are looked up when
// the program runs, and where they are missing every window has the
// system's density.

// The density positions are stored at: the primary monitor's when the user
// signed in, one coordinate space for every monitor.
int SystemDpi();
// The density of the monitor the window stands on.
int WindowDpi(HWND window);
// The window's outer size for a client area of `width` by `height` pixels
// at `dpi`, with its style and menu bar.
SIZE FrameSize(HWND window, int width, int height, int dpi);

}  // namespace pelmora
