#pragma once

#include "checker_state.h"
#include "settings_store.h"
#include "window_placement.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pelmora {

// What the window does for the presenter, each in its toolkit's way. The
// presenter decides what is shown and announced, and when; a window only
// carries it out.
class FormView {
public:
    virtual ~FormView() = default;

    virtual void ShowPrompt(const std::string& text) = 0;
    // Only when an operation replaced the entry (a mode switch, Clear
    // number): what the user types is never written back under the caret.
    virtual void ShowEntry(const std::string& text) = 0;
    virtual void ShowVerdict(const std::string& text) = 0;
    virtual void ShowMarks(bool vat, bool card) = 0;
    // Has a screen reader speak the prompt, or the verdict, now: the same
    // text again included.
    virtual void AnnouncePrompt() = 0;
    virtual void AnnounceVerdict() = 0;
    // The modal About box; returns when the user dismisses it.
    virtual void ShowAbout(const std::string& title, const std::string& text) = 0;
};

// The menu items, chosen from the menu or by their shortcut keys.
enum class Command : std::uint8_t { ModeVat, ModeCard, ClearNumber, About, Exit };

// The form's behaviour, the same for every window: the start-up, what each
// key and command does, what the window shows and announces, and the
// settings saved when the program ends.
class FormPresenter {
public:
    explicit FormPresenter(FormView& view) : view_(view) {}
    FormPresenter(const FormPresenter&) = delete;
    FormPresenter& operator=(const FormPresenter&) = delete;

    // Restores the position and the last mode from the store, then shows
    // the state. The placement and the store are kept for saving.
    void StartUp(WindowPlacement& window, SettingsStore& store);
    // How the program ends at once after its settings are saved; without
    // it, ending the program only saves them.
    void EndProgramWith(std::function<void()> endAtOnce) { endAtOnce_ = std::move(endAtOnce); }

    // Puts the whole state on the window (before the start-up too: the VAT
    // prompt and both marks).
    void Show();
    // A character delivered to the entry field. False for a key the field
    // must not see (Tab, which moves the focus).
    bool KeyDelivered(char32_t code);
    // What the field holds after the user changed it.
    void EntryEdited(std::string text) { state_.SetEntryText(std::move(text)); }
    void Choose(Command command);
    // File > Exit, the window closed in any way, the session's end, a
    // termination signal: the settings are saved, then the program ends at
    // once, with no further events.
    void EndProgram();
    // A save the program outlives, such as a session's checkpoint.
    void SaveSettings();

    const CheckerState& State() const { return state_; }

private:
    FormView& view_;
    CheckerState state_;
    WindowPlacement* window_ = nullptr;
    SettingsStore* store_ = nullptr;
    std::function<void()> endAtOnce_;
    unsigned shownEntryReplacements_ = 0;
};

}  // namespace pelmora
