// The end-to-end test's hands inside Wine. With no argument, prints the text of
// each control of the running program's window, one a line, in UTF-8. "marks"
// prints the Mode menu's check marks ("VAT on, card off"), "faces" the face,
// character height and weight each control draws in, "live" what a screen
// reader is told of the prompt and the verdict line ("polite polite"), "client"
// the client area's size and place on the screen ("305x84+3+62"), "place" the
// window's outer rectangle ("left top width height"), "density DPI SHIFT" tells
// the window, as Windows would, that its density changed and prints the
// rectangle suggested (the corner moved by SHIFT), the outer size the form
// then takes at that density and whether the old density's face is "kept"
// or "deleted", "about" whose the About box
// is and whether the window behind it takes input (waiting for the box);
// "state" whether the window is "minimised", "maximised" or "normal";
// "minimize", "maximize", "close" and "endsession" do that to the window
// ("endsession cancelled": a log-off asked for, then called off);
// "started-maximised" maximises it as Windows maximises the first window of
// a program started to run maximised, from inside it, and prints its state
// then; "monitor" prints the density of the monitor the window stands on,
// "awareness" how the window follows densities ("per-monitor", "system",
// "unaware"; "unknown" before Windows 10); "type"
// followed by UTF-16 units in hex types them into the window with the keyboard
// focus, as the character map does; "listen" prints, until the window goes,
// what a screen reader is told to speak: each live-region change, with the
// label and its name. "focus" waits until the entry field has the keyboard
// focus, "menu" until a menu is open.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void PrintLine(const char* prefix, const wchar_t* text) {
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s%s\n", prefix, utf8);
    std::fflush(stdout);
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
    wchar_t text[256] = {};
    SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    PrintLine("", text);
    return TRUE;
}

// Asks the hook inside the program's process (see probe_hook.cpp).
int AskInside(HWND window, WPARAM question, LPARAM detail = 0) {
    HMODULE hook = LoadLibraryW(L"probe_hook.dll");
    auto* proc = reinterpret_cast<HOOKPROC>(GetProcAddress(hook, "ReadInside"));
    if (!proc) return 2;
    HHOOK installed = SetWindowsHookExW(WH_CALLWNDPROC, proc, hook, GetWindowThreadProcessId(window, nullptr));
    if (!installed) return 3;
    RemovePropW(window, L"PelmoraProbeAnswer");
    SendMessageW(window, RegisterWindowMessageW(L"PelmoraProbeRequest"), question, detail);
    UnhookWindowsHookEx(installed);
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(window, L"PelmoraProbeAnswer")));
    wchar_t answer[256] = {};
    if (!atom || !GlobalGetAtomNameW(atom, answer, 256)) return 4;
    GlobalDeleteAtom(atom);
    PrintLine("", answer);
    return 0;
}

// The prompt's and the verdict line's live setting, as the stand-in for the
// system's annotations kept it: "polite polite" when both are polite.
int PrintLiveSettings(HWND window) {
    HWND label1 = GetWindow(window, GW_CHILD);
    HWND label2 = GetWindow(GetWindow(label1, GW_HWNDNEXT), GW_HWNDNEXT);
    const char* names[] = {"none", "off", "polite", "assertive"};
    for (HWND label : {label1, label2}) {
        const auto value = reinterpret_cast<UINT_PTR>(GetPropW(label, L"PelmoraLiveSetting"));
        std::printf("%s%s", label == label1 ? "" : " ", value < 4 ? names[value] : "?");
    }
    std::printf("\n");
    return 0;
}

int Type(HWND window, int count, char** units) {
    HWND field = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDNEXT);
    for (int i = 0; i < count; ++i) {
        const int before = GetWindowTextLengthW(field);
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = static_cast<WORD>(std::strtoul(units[i], nullptr, 16));
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        if (SendInput(2, keys, sizeof(INPUT)) != 2) return 6;
        // The next unit once the field shows this one, within 2 s.
        for (int wait = 0; wait < 200 && GetWindowTextLengthW(field) == before; ++wait) Sleep(10);
    }
    return 0;
}

HWND listened = nullptr;

void CALLBACK OnLiveRegion(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG child, DWORD, DWORD) {
    // The labels by their place among the controls: Label1, Text1, Label2.
    HWND label1 = GetWindow(listened, GW_CHILD);
    if (control != label1 && control != GetWindow(GetWindow(label1, GW_HWNDNEXT), GW_HWNDNEXT)) return;
    IAccessible* accessible = nullptr;
    VARIANT id;
    BSTR name = nullptr;
    if (FAILED(AccessibleObjectFromEvent(control, object, child, &accessible, &id))) return;
    accessible->get_accName(id, &name);
    PrintLine(control == label1 ? "Label1: " : "Label2: ", name ? name : L"");
    SysFreeString(name);
    accessible->Release();
}

// Waits up to 5 s for `ready`.
template <typename Ready>
int WaitFor(Ready ready, int failure) {
    for (int i = 0; i < 50; ++i) {
        if (ready()) return 0;
        Sleep(100);
    }
    return failure;
}

bool FieldHasFocus(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) &&
           thread.hwndFocus == GetWindow(GetWindow(window, GW_CHILD), GW_HWNDNEXT);
}

bool MenuOpen() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

int Listen(HWND window) {
    CoInitialize(nullptr);
    listened = window;
    // Every process's events, as a screen reader listens (Wine hooks no
    // other process's by its id); only this window's are printed.
    constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
    if (!SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, OnLiveRegion, 0, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS)) {
        return 7;
    }
    PrintLine("listening", L"");
    SetTimer(nullptr, 0, 100, nullptr);
    MSG message;
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

}  // namespace

bool AboutBoxUp() {
    HWND box = FindWindowW(L"#32770", L"About Dravon");
    return box && IsWindowVisible(box);
}

// A user32 or shcore function of a later Windows, or nothing.
template <typename Function>
Function* Later(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

int PrintAwareness(HWND window) {
    auto* context = Later<HANDLE WINAPI(HWND)>(L"user32", "GetWindowDpiAwarenessContext");
    auto* awareness = Later<int WINAPI(HANDLE)>(L"user32", "GetAwarenessFromDpiAwarenessContext");
    const char* names[] = {"unaware", "system", "per-monitor"};
    const int value = context && awareness ? awareness(context(window)) : -1;
    return std::puts(value >= 0 && value < 3 ? names[value] : "unknown"), 0;
}

int PrintMonitorDpi(HWND window) {
    auto* forMonitor = Later<HRESULT WINAPI(HMONITOR, int, UINT*, UINT*)>(L"shcore", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (!forMonitor || forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y) != S_OK) {
        HDC screen = GetDC(nullptr);
        y = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    return std::printf("%u\n", y), 0;
}

int main(int argc, char** argv) {
    // Sizes and places in the screen's own pixels, as the program sees them:
    // a program that is not aware of densities is told them scaled.
    if (auto* aware = Later<BOOL WINAPI(HANDLE)>(L"user32", "SetProcessDpiAwarenessContext")) {
        aware(reinterpret_cast<HANDLE>(-4));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    }
    HWND window = FindWindowW(L"PelmoraForm1", nullptr);
    if (!window) return 1;
    const char* command = argc > 1 ? argv[1] : "";
    if (std::strcmp(command, "marks") == 0) return AskInside(window, 0);
    if (std::strcmp(command, "faces") == 0) return AskInside(window, 1);
    if (std::strcmp(command, "density") == 0 && argc > 3) {
        return AskInside(window, 2, MAKELPARAM(std::atoi(argv[2]), static_cast<WORD>(std::atoi(argv[3]))));
    }
    if (std::strcmp(command, "live") == 0) return PrintLiveSettings(window);
    if (std::strcmp(command, "started-maximised") == 0) return AskInside(window, 3);
    if (std::strcmp(command, "monitor") == 0) return PrintMonitorDpi(window);
    if (std::strcmp(command, "awareness") == 0) return PrintAwareness(window);
    RECT rect{};
    if (std::strcmp(command, "client") == 0) {
        GetClientRect(window, &rect);
        POINT origin{};
        ClientToScreen(window, &origin);
        return std::printf("%ldx%ld+%ld+%ld\n", rect.right, rect.bottom, origin.x, origin.y), 0;
    }
    if (std::strcmp(command, "place") == 0) {
        GetWindowRect(window, &rect);
        return std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), 0;
    }
    if (std::strcmp(command, "about") == 0) {
        if (WaitFor(AboutBoxUp, 11)) return 11;
        const bool owned = GetWindow(FindWindowW(L"#32770", L"About Dravon"), GW_OWNER) == window;
        return std::printf("%s, %s\n", owned ? "owned by the window" : "not owned by the window",
                           IsWindowEnabled(window) ? "which takes input" : "which takes no input"),
               0;
    }
    if (std::strcmp(command, "type") == 0) return Type(window, argc - 2, argv + 2);
    if (std::strcmp(command, "listen") == 0) return Listen(window);
    if (std::strcmp(command, "focus") == 0) return WaitFor([window] { return FieldHasFocus(window); }, 9);
    if (std::strcmp(command, "menu") == 0) return WaitFor(MenuOpen, 10);
    if (std::strcmp(command, "state") == 0) {
        return std::puts(IsIconic(window) ? "minimised" : IsZoomed(window) ? "maximised" : "normal"), 0;
    }
    if (std::strcmp(command, "minimize") == 0) return ShowWindow(window, SW_MINIMIZE), IsIconic(window) ? 0 : 5;
    if (std::strcmp(command, "maximize") == 0) return ShowWindow(window, SW_MAXIMIZE), IsZoomed(window) ? 0 : 5;
    if (std::strcmp(command, "close") == 0) return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 5;
    if (std::strcmp(command, "endsession") == 0) {
        // As Windows does at log-off: ask, then tell whether the session
        // ends. A program that answers no would hold the log-off up.
        if (!SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) return 8;
        const bool cancelled = argc > 2 && std::strcmp(argv[2], "cancelled") == 0;
        SendMessageW(window, WM_ENDSESSION, cancelled ? FALSE : TRUE, ENDSESSION_LOGOFF);
        return 0;
    }
    EnumChildWindows(window, PrintText, 0);
    return 0;
}
