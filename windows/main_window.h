#pragma once

#include "checker_state.h"
#include "registry_store.h"
#include "window_placement.h"

#include <windows.h>

namespace pelmora {

// The program's only window on Windows: the prompt, the entry field and the
// verdict line under the File, Mode and Help menus. Each event calls one
// operation of the checker state and then shows the state.
class Form1 : public WindowPlacement {
public:
    // Creates the window (not yet shown) and runs the start-up sequence.
    explicit Form1(HINSTANCE instance);

    // No window where it could not be created.
    HWND Handle() const { return hwnd_; }
    const CheckerState& State() const { return state_; }

    // Puts the checker state on the screen: prompt, entry, verdict and marks.
    void ShowState();

    std::optional<TwipPoint> TopLeft() const override;
    void MoveTo(TwipPoint topLeft) override;
    bool TitleBarOnAScreen(TwipPoint topLeft) const override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Command(int id);
    // Has a screen reader speak the label's text, the same text again included.
    void Announce(HWND label);
    // Keeps where the window stands while it is neither minimised nor maximised.
    void RememberPlace();
    [[noreturn]] void ShutDown();

    CheckerState state_;
    RegistryStore store_;
    HWND hwnd_ = nullptr;
    HWND Label1 = nullptr;
    HWND Text1 = nullptr;
    HWND Label2 = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    POINT place_{};
    unsigned shownEntryReplacements_ = 0;
};

}  // namespace pelmora
