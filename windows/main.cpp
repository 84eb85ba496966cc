#include "identity.h"
#include "main_window.h"
#include "resource.h"
#include "wide_text.h"

#include <objbase.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    pelmora::Form1 form(instance);
    if (!form.Handle()) {
        // Nothing to show and nothing to wait for: say so and end.
        const std::wstring product = pelmora::Widen(pelmora::identity::kProductName);
        MessageBoxW(nullptr, (product + L" could not open its window.").c_str(), product.c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    ShowWindow(form.Handle(), show);
    UpdateWindow(form.Handle());
#ifdef PELMORA_QUIT_AFTER_FIRST_PAINT
    // The start-up benchmark: the window and its controls painted once, then out.
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
#endif

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // F1, F2 and Shift+Del work from anywhere in the window.
        if (TranslateAcceleratorW(form.Handle(), accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
