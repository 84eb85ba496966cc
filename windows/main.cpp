#include "identity.h"
#include "program.h"
#include "resource.h"
#include "wide_text.h"

#include <objbase.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    pelmora::Program program(instance);
    HWND window = program.Window().Handle();
    if (!window) {
        // Nothing to show and nothing to wait for: say so and end.
        const std::wstring product = pelmora::Widen(pelmora::identity::kProductName);
        MessageBoxW(nullptr, (product + L" could not open its window.").c_str(), product.c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    program.EndProgramOnEveryRequest();
    program.Window().Show(show);
    UpdateWindow(window);
#ifdef PELMORA_QUIT_AFTER_FIRST_PAINT
    // The start-up benchmark: the window and its controls painted once, then out.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
#endif

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // F1, F2 and Shift+Del work from anywhere in the window.
        if (TranslateAcceleratorW(window, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
