#pragma once

#include "form_presenter.h"
#include "win32_window_placement.h"

#include <windows.h>

namespace pelmora {

// The program's only window on Windows: the prompt, the entry field and the
// verdict line under the File, Mode and Help menus. The window procedure
// hands each message to the presenter and carries out what it is told. A
// new window stands where Windows puts it.
class Form1 : private FormView {
public:
    // Creates the window and its controls, not yet shown.
    explicit Form1(HINSTANCE instance);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // No window where it could not be created.
    HWND Handle() const { return hwnd_; }
    FormPresenter& Presenter() { return presenter_; }
    WindowPlacement& Placement() { return placement_; }
    // Shows the window as the program was asked to start (SW_SHOW...); a
    // start asked to be maximised shows the form as it is.
    void Show(int how);
    // Laid out at the density of the monitor the window stands on, once it
    // has been placed: a restored place may be on a monitor of its own.
    void FollowMonitorDensity();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // The controls laid out, and drawn in the face, at `dpi`.
    void LayOutAt(int dpi);
    // The whole form at a new density: laid out, the window on `suggested`
    // (where Windows suggests one) and its client area the form's size.
    void ChangeDensity(int dpi, const RECT* suggested);
    // Sizes the window so that its client area is the form's at its density,
    // unless it is minimised or maximised.
    void KeepClientSize();

    void ShowPrompt(const std::string& text) override;
    void ShowEntry(const std::string& text) override;
    void ShowVerdict(const std::string& text) override;
    void ShowMarks(bool vat, bool card) override;
    void AnnouncePrompt() override;
    void AnnounceVerdict() override;
    void ShowAbout(const std::string& title, const std::string& text) override;

    FormPresenter presenter_{*this};
    Win32WindowPlacement placement_;
    HWND hwnd_ = nullptr;
    HWND Label1 = nullptr;
    HWND Text1 = nullptr;
    HWND Label2 = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;  // the density the form is laid out at
    // A start asked to be maximised, whose maximise is still to be undone.
    bool startedMaximised_ = false;
};

}  // namespace pelmora
