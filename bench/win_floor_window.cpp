// The floor for the Windows start-up: a bare Win32 window with the same
// menus, two labels and an entry field of the same sizes, and no logic,
// painted once; then it quits the same way.
#include "resource.h"

#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"Floor";
    RegisterClassExW(&windowClass);
    HWND hwnd = CreateWindowExW(0, L"Floor", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, 311, 130, nullptr,
                                LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN)), instance, nullptr);
    CreateWindowExW(0, L"STATIC", L"VAT registration code", WS_CHILD | WS_VISIBLE, 8, 8, 145, 17, hwnd, nullptr,
                    nullptr, nullptr);
    CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 152, 4, 145, 25, hwnd, nullptr,
                    nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER, 62, 40, 185, 17, hwnd, nullptr, nullptr,
                    nullptr);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
}
