#include "main_window.h"

#include "density.h"
#include "identity.h"
#include "resource.h"
#include "wide_text.h"
#include "window_layout.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <optional>
#include <utility>

namespace pelmora {

namespace {

constexpr wchar_t kClassName[] = L"PelmoraForm1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Screen readers speak a polite live region when it announces a change.
// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}: UI Automation's LiveSetting property.
DEFINE_GUID(kLiveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb);
constexpr LONG kPolite = 1;
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

// Per-monitor density messages (Windows 8.1 and 10), by number: older
// headers lack them.
constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

std::optional<Command> CommandOf(int id) {
    switch (id) {
        case IDM_FILE_EXIT:
            return Command::Exit;
        case IDM_MODE_VAT:
            return Command::ModeVat;
        case IDM_MODE_CC:
            return Command::ModeCard;
        case IDM_MODE_CLEAR:
            return Command::ClearNumber;
        case IDM_HELP_ABOUT:
            return Command::About;
        default:
            return std::nullopt;
    }
}

}  // namespace

Form1::Form1(HINSTANCE instance) : dpi_(SystemDpi()) {
    const PixelLayout layout = LayoutAt(dpi_);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(
        instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass)) return;

    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN));
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, kStyle, TRUE, 0);
    const std::wstring title = Widen(identity::kProductName);
    if (!CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, menu, instance, this)) {
        hwnd_ = nullptr;
        return;
    }
    // Positions are stored at the system's density whatever monitor the
    // window stands on, so stored values keep their meaning.
    placement_.Attach(hwnd_, SystemDpi());
    CreateControls();
    LayOutAt(dpi_);
    presenter_.Show();
}

void Form1::CreateControls() {
    auto control = [this](DWORD exStyle, const wchar_t* kind, DWORD style) {
        return CreateWindowExW(exStyle, kind, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_, nullptr, nullptr,
                               nullptr);
    };
    // Created in tab order; a screen reader names the field by the label before it.
    Label1 = control(0, L"STATIC", SS_LEFT | SS_NOPREFIX);
    Text1 = control(WS_EX_CLIENTEDGE, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL);
    Label2 = control(0, L"STATIC", SS_CENTER | SS_NOPREFIX);
    // The limit holds for pasted text too.
    SendMessageW(Text1, EM_SETLIMITTEXT, kEntryLimit, 0);
    SetWindowSubclass(Text1, EntryProc, 1, reinterpret_cast<DWORD_PTR>(this));

    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&services)))) {
        VARIANT polite;
        VariantInit(&polite);
        polite.vt = VT_I4;
        polite.lVal = kPolite;
        // The prompt and the verdict line: a reader speaks each new text announced.
        for (HWND label : {Label1, Label2}) {
            services->SetHwndProp(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, polite);
        }
        services->Release();
    }
    // The field takes the focus once the form is complete.
    SetFocus(Text1);
}

void Form1::LayOutAt(int dpi) {
    dpi_ = dpi;
    const PixelLayout layout = LayoutAt(dpi);
    // A negative height asks for the characters' own height.
    HFONT face =
        CreateFontW(-layout.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Widen(kFontFace).c_str());
    const std::pair<HWND, PixelRect> places[] = {
        {Label1, layout.label1}, {Text1, layout.text1}, {Label2, layout.label2}};
    for (const auto& [control, place] : places) {
        SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(face), TRUE);
    }
    // The face of the old density, no longer drawn in.
    if (font_) DeleteObject(font_);
    font_ = face;
}

void Form1::ChangeDensity(int dpi, const RECT* suggested) {
    LayOutAt(dpi);
    // A minimised or maximised window keeps the frame it has; it gets the
    // form's size when it is restored.
    if (IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    KeepClientSize();
}

void Form1::KeepClientSize() {
    if (IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
    // The client area is the form's, whatever frame the system draws around
    // it: Windows' frame follows the density, Wine's does not.
    const PixelLayout layout = LayoutAt(dpi_);
    RECT client{};
    RECT frame{};
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &frame);
    const int wider = layout.clientWidth - client.right;
    const int taller = layout.clientHeight - client.bottom;
    if (wider || taller) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + wider, frame.bottom - frame.top + taller,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form1::Show(int how) {
    // A form of fixed size has no room to fill: a start asked to be
    // maximised (a shortcut's "Run: Maximized") shows it as it is. Windows
    // may maximise the first window shown all the same, by the start's own
    // settings, whatever it is asked here: that maximise is undone as it
    // comes (WM_SIZE).
    startedMaximised_ = how == SW_SHOWMAXIMIZED;
    ShowWindow(hwnd_, startedMaximised_ ? SW_SHOWNORMAL : how);
}

void Form1::FollowMonitorDensity() {
    if (const int dpi = WindowDpi(hwnd_); dpi != dpi_) ChangeDensity(dpi, nullptr);
}

void Form1::ShowPrompt(const std::string& text) { SetWindowTextW(Label1, Widen(text).c_str()); }

void Form1::ShowEntry(const std::string& text) { SetWindowTextW(Text1, Widen(text).c_str()); }

void Form1::ShowVerdict(const std::string& text) { SetWindowTextW(Label2, Widen(text).c_str()); }

void Form1::ShowMarks(bool vat, bool card) {
    HMENU menu = GetMenu(hwnd_);
    CheckMenuItem(menu, IDM_MODE_VAT, MF_BYCOMMAND | (vat ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_MODE_CC, MF_BYCOMMAND | (card ? MF_CHECKED : MF_UNCHECKED));
}

void Form1::AnnouncePrompt() { NotifyWinEvent(kLiveRegionChanged, Label1, OBJID_CLIENT, CHILDID_SELF); }

void Form1::AnnounceVerdict() { NotifyWinEvent(kLiveRegionChanged, Label2, OBJID_CLIENT, CHILDID_SELF); }

void Form1::ShowAbout(const std::string& title, const std::string& text) {
    // Owned by the window, which takes no input until it is dismissed.
    MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == Text1) {
                if (HIWORD(wParam) == EN_CHANGE) {
                    // Room for the limit even in surrogate pairs.
                    wchar_t text[kEntryLimit * 2 + 1] = {};
                    GetWindowTextW(Text1, text, static_cast<int>(std::size(text)));
                    presenter_.EntryEdited(Narrow(text));
                }
                return 0;
            }
            if (const auto command = CommandOf(LOWORD(wParam))) presenter_.Choose(*command);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SetFocus(Text1);
            return 0;
        case kDpiChanged:
            // Moved to a monitor of another density, or the density changed.
            ChangeDensity(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case kGetDpiScaledSize: {
            // The exact size at the new density, so that the rectangle Windows
            // then suggests is already right.
            const int dpi = static_cast<int>(wParam);
            const PixelLayout layout = LayoutAt(dpi);
            *reinterpret_cast<SIZE*>(lParam) = FrameSize(hwnd_, layout.clientWidth, layout.clientHeight, dpi);
            return TRUE;
        }
        case WM_SIZE:
            // The maximise of a start asked to be maximised is undone, once,
            // whenever it comes; any other truly maximises the window.
            if (wParam == SIZE_MAXIMIZED && std::exchange(startedMaximised_, false)) ShowWindow(hwnd_, SW_SHOWNORMAL);
            return 0;
        case WM_WINDOWPOSCHANGED:
            // A frame that changes after the window was sized (a window
            // manager's answer under Wine) leaves the form its size.
            if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE) && Label1) KeepClientSize();
            placement_.Remember();
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:
            presenter_.EndProgram();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // never holds a log-off up
        case WM_ENDSESSION:
            // Only a session that really ends: a log-off may still be called off.
            if (wParam) presenter_.EndProgram();
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Form1::EntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    // Every delivered character reaches the presenter first; the field then
    // handles it as usual, Enter included, unless it is a focus key (Tab).
    // Each half of a surrogate pair arrives on its own and counts as a character.
    if (message == WM_CHAR && !reinterpret_cast<Form1*>(self)->presenter_.KeyDelivered(static_cast<char32_t>(wParam))) {
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace pelmora
