#include "density.h"

namespace pelmora {

namespace {

// A user32 function of a later Windows, or nothing where it is missing.
template <typename Function>
Function* Later(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}

}  // namespace

int SystemDpi() {
    static auto* const forSystem = Later<UINT WINAPI()>("GetDpiForSystem");
    if (forSystem) return static_cast<int>(forSystem());
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int WindowDpi(HWND window) {
    static auto* const forWindow = Later<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow ? forWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

SIZE FrameSize(HWND window, int width, int height, int dpi) {
    static auto* const adjustForDpi = Later<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, width, height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    if (!adjustForDpi || !adjustForDpi(&frame, style, menu, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, style, menu, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace pelmora
