// Loaded into the program's own process, where what Wine keeps from other
// processes can be read:
// - ReadInside, a hook the probe installs, answers the probe's request
//   message with the Mode menu's marks (wParam 0) or the face each control
//   is drawn in (wParam 1), left on the window as a global atom, tells the
//   window its density changed (wParam 2, see ChangeDensity), or maximises
//   it as Windows maximises a program's first window by the settings it was
//   started with (wParam 3, answering the window's state then);
// - a stand-in for the system's accessibility annotations (Wine's keep
//   none), registered in the test's prefix under the class the program asks
//   for: it keeps each label's LiveSetting as a property of the label.
#include "resource.h"

#include <windows.h>

#include <initguid.h>
#include <oleacc.h>

#include <string>

namespace {

std::wstring Marks(HWND window) {
    HMENU menu = GetMenu(window);
    const bool vat = GetMenuState(menu, IDM_MODE_VAT, MF_BYCOMMAND) & MF_CHECKED;
    const bool card = GetMenuState(menu, IDM_MODE_CC, MF_BYCOMMAND) & MF_CHECKED;
    return std::wstring(L"VAT ") + (vat ? L"on" : L"off") + L", card " + (card ? L"on" : L"off");
}

// The face the form asks for, as this system resolves it, then "face, height
// of a character, weight" as each control draws its text.
std::wstring Faces(HWND window) {
    HDC screen = GetDC(nullptr);
    HFONT asked = CreateFontW(0, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    HGDIOBJ before = SelectObject(screen, asked);
    wchar_t resolved[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, resolved);
    SelectObject(screen, before);
    DeleteObject(asked);
    ReleaseDC(nullptr, screen);
    std::wstring faces = std::wstring(resolved) + L": ";
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        HDC dc = GetDC(control);
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        faces += std::wstring(faces.back() == L' ' ? L"" : L"; ") + face + L" " +
                 std::to_wstring(metrics.tmHeight - metrics.tmInternalLeading) + L" " +
                 std::to_wstring(metrics.tmWeight);
    }
    return faces;
}

// As Windows tells a window its density changed: the rectangle suggested is
// the size it asks for, its corner moved by `shift` (where it asks for none,
// its size scaled from the old density's, as Windows scales it); "left top
// width height", then the outer size that the client area it then has, with
// the menu bar, takes at that density (AdjustWindowRectExForDpi), which the
// size asked for must be; whether the face drawn in before is "kept" as a
// GDI object or "deleted" (Wine counts no process's GDI objects); and
// whether it "asked" for a size or "did-not-ask".
std::wstring ChangeDensity(HWND window, int dpi, int shift) {
    const auto before = reinterpret_cast<HGDIOBJ>(SendMessageW(GetWindow(window, GW_CHILD), WM_GETFONT, 0, 0));
    RECT now{};
    GetWindowRect(window, &now);
    SIZE size{now.right - now.left, now.bottom - now.top};
    const bool asked =
        SendMessageW(window, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi, reinterpret_cast<LPARAM>(&size)) != FALSE;
    if (!asked) {
        using ForWindow = UINT WINAPI(HWND);
        auto* forWindow = reinterpret_cast<ForWindow*>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
        const int old = forWindow ? static_cast<int>(forWindow(window)) : 96;
        size = {MulDiv(now.right - now.left, dpi, old), MulDiv(now.bottom - now.top, dpi, old)};
    }
    RECT suggested{now.left + shift, now.top + shift, now.left + shift + size.cx, now.top + shift + size.cy};
    SendMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT form{};
    GetClientRect(window, &form);
    using Adjust = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
    auto* adjust = reinterpret_cast<Adjust*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "AdjustWindowRectExForDpi")));
    if (!adjust || !adjust(&form, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), TRUE,
                           static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), static_cast<UINT>(dpi))) {
        return L"no AdjustWindowRectExForDpi";
    }
    return std::to_wstring(suggested.left) + L" " + std::to_wstring(suggested.top) + L" " + std::to_wstring(size.cx) +
           L" " + std::to_wstring(size.cy) + L" " + std::to_wstring(form.right - form.left) + L" " +
           std::to_wstring(form.bottom - form.top) + (GetObjectType(before) ? L" kept" : L" deleted") +
           (asked ? L" asked" : L" did-not-ask");
}

// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}: UI Automation's LiveSetting property.
DEFINE_GUID(kLiveSetting, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb);

class Annotations
    : public IAccPropServices{public : HRESULT WINAPI QueryInterface(REFIID iid, void** out)
                                  override{* out = iid == IID_IUnknown || iid == IID_IAccPropServices ? this : nullptr;
return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
}  // namespace
ULONG WINAPI AddRef() override { return 2; }  // one static instance
ULONG WINAPI Release() override { return 1; }
HRESULT WINAPI SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property, VARIANT value) override {
    if (property != kLiveSetting || value.vt != VT_I4) return E_INVALIDARG;
    // What a screen reader is told of the label itself; 0 means no setting.
    const bool label = object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF;
    SetPropW(hwnd, L"PelmoraLiveSetting", reinterpret_cast<HANDLE>(label ? value.lVal + 1 : 0));
    return S_OK;
}
#define NOT_HERE \
    override { return E_NOTIMPL; }
HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT)
NOT_HERE
HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
NOT_HERE
HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) NOT_HERE HRESULT WINAPI
    SetHwndPropStr(HWND, DWORD, DWORD, MSAAPROPID, LPCWSTR)
NOT_HERE
HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
NOT_HERE
HRESULT WINAPI ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) NOT_HERE HRESULT WINAPI
    ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) NOT_HERE HRESULT WINAPI
    DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) NOT_HERE HRESULT WINAPI
    SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT)
NOT_HERE
HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR)
NOT_HERE
HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
NOT_HERE
HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) NOT_HERE HRESULT WINAPI
    ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) NOT_HERE HRESULT WINAPI
    DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) NOT_HERE
#undef NOT_HERE
}
annotations;

class Factory : public IClassFactory {
public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        return outer ? CLASS_E_NOAGGREGATION : annotations.QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
} factory;

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ReadInside(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    static const UINT request = RegisterWindowMessageW(L"PelmoraProbeRequest");
    if (code == HC_ACTION && call->message == request) {
        std::wstring answer;
        switch (call->wParam) {
            case 0:
                answer = Marks(call->hwnd);
                break;
            case 1:
                answer = Faces(call->hwnd);
                break;
            case 2:
                answer = ChangeDensity(call->hwnd, LOWORD(call->lParam), static_cast<short>(HIWORD(call->lParam)));
                break;
            default:
                ShowWindow(call->hwnd, SW_SHOWMAXIMIZED);
                answer = IsZoomed(call->hwnd) ? L"maximised" : L"normal";
        }
        SetPropW(call->hwnd, L"PelmoraProbeAnswer", reinterpret_cast<HANDLE>(GlobalAddAtomW(answer.c_str())));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID iid, void** out) {
    return factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
