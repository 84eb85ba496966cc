#pragma once

#include "checker_state.h"
#include "win32_window_placement.h"

#include <windows.h>

#include <functional>

namespace pelmora {

// The program's only window on Windows: the prompt, the entry field and the
// verdict line under the File, Mode and Help menus. Each event calls one
// operation of the checker state and then shows the state. A new window
// stands where Windows puts it.
class Form1 {
public:
    // Creates the window and its controls, not yet shown.
    explicit Form1(HINSTANCE instance);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // No window where it could not be created.
    HWND Handle() const { return hwnd_; }
    CheckerState& State() { return state_; }
    WindowPlacement& Placement() { return placement_; }

    // Puts the checker state on the screen: prompt, entry, verdict and marks.
    void ShowState();

    // What closing the window, File > Exit and the end of the session run.
    void SetShutDown(std::function<void()> shutDown) { shutDown_ = std::move(shutDown); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Command(int id);
    // Has a screen reader speak the label's text, the same text again included.
    void Announce(HWND label);
    void EndProgram();

    CheckerState state_;
    Win32WindowPlacement placement_;
    std::function<void()> shutDown_;
    HWND hwnd_ = nullptr;
    HWND Label1 = nullptr;
    HWND Text1 = nullptr;
    HWND Label2 = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    unsigned shownEntryReplacements_ = 0;
};

}  // namespace pelmora
