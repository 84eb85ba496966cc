// Loaded into the program's own process by the probe's hook: a menu cannot be
// read from another process under Wine, so the marks are read here and left
// on the window as a property that any process can read.
#include "resource.h"

#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK ReadMenuMarks(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    static const UINT request = RegisterWindowMessageW(L"PelmoraProbeMenuMarks");
    if (code == HC_ACTION && call->message == request) {
        HMENU menu = GetMenu(call->hwnd);
        // One bit per item in menu order: 1 = VAT registration code, 2 = card
        // numbers; 4 says the marks were read.
        UINT_PTR marks = 4;
        if (GetMenuState(menu, IDM_MODE_VAT, MF_BYCOMMAND) & MF_CHECKED) marks |= 1;
        if (GetMenuState(menu, IDM_MODE_CC, MF_BYCOMMAND) & MF_CHECKED) marks |= 2;
        SetPropW(call->hwnd, L"PelmoraMenuMarks", reinterpret_cast<HANDLE>(marks));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
