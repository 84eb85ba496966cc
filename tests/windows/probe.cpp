// The end-to-end test's hands inside Wine. With no argument, prints the text
// of each control of the running program's window, one a line, in UTF-8.
// "marks" prints the Mode menu's check marks ("VAT on, card off"); "minimize",
// "close" and "endsession" do that to the window; "type" followed by UTF-16
// units in hex types them into the window with the keyboard focus, as the
// character map does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK PrintText(HWND child, LPARAM) {
    wchar_t text[256] = {};
    SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    return TRUE;
}

int PrintMarks(HWND window) {
    HMODULE hook = LoadLibraryW(L"marks_hook.dll");
    auto* proc = reinterpret_cast<HOOKPROC>(GetProcAddress(hook, "ReadMenuMarks"));
    if (!proc) return 2;
    HHOOK installed = SetWindowsHookExW(WH_CALLWNDPROC, proc, hook, GetWindowThreadProcessId(window, nullptr));
    if (!installed) return 3;
    RemovePropW(window, L"PelmoraMenuMarks");
    SendMessageW(window, RegisterWindowMessageW(L"PelmoraProbeMenuMarks"), 0, 0);
    UnhookWindowsHookEx(installed);
    const auto marks = reinterpret_cast<UINT_PTR>(GetPropW(window, L"PelmoraMenuMarks"));
    if (!(marks & 4)) return 4;
    std::printf("VAT %s, card %s\n", marks & 1 ? "on" : "off", marks & 2 ? "on" : "off");
    return 0;
}

int Type(int count, char** units) {
    for (int i = 0; i < count; ++i) {
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = static_cast<WORD>(std::strtoul(units[i], nullptr, 16));
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        if (SendInput(2, keys, sizeof(INPUT)) != 2) return 6;
        Sleep(20);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HWND window = FindWindowW(L"PelmoraForm1", nullptr);
    if (!window) return 1;
    const char* command = argc > 1 ? argv[1] : "";
    if (std::strcmp(command, "marks") == 0) return PrintMarks(window);
    if (std::strcmp(command, "type") == 0) return Type(argc - 2, argv + 2);
    if (std::strcmp(command, "minimize") == 0) return ShowWindow(window, SW_MINIMIZE), 0;
    if (std::strcmp(command, "close") == 0) return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 5;
    if (std::strcmp(command, "endsession") == 0) {
        // As Windows does at logoff: ask, then tell that the session ends.
        SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        return 0;
    }
    EnumChildWindows(window, PrintText, 0);
    return 0;
}
