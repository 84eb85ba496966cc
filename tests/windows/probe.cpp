// Prints the text of each control of the running program's window, one a
// line, in UTF-8: what the end-to-end test reads the window back with.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int main() {
    HWND window = FindWindowW(L"PelmoraForm1", nullptr);
    if (!window) return 1;
    EnumChildWindows(window, PrintText, 0);
    return 0;
}
