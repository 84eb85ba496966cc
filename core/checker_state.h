#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace pelmora {

// The kinds of number the checker knows. Any other value of CurrentMode
// means that no mode is selected (only a stored setting can bring that about).
inline constexpr std::uint8_t kModeVat = 1;
inline constexpr std::uint8_t kModeCard = 2;

// The prompt captions of the two modes.
inline constexpr const char* kVatCaption = "VAT registration code";
inline constexpr const char* kCardCaption = "Credit card number";

// What a character delivered to the entry field does. Each front end turns its
// platform's key event into the character code and asks here, so that every
// key behaves the same on every platform.
enum class KeyKind : std::uint8_t {
    Enter,       // carriage return: Return, keypad Enter, Ctrl+M; runs the check
    Character,   // any other character, control characters included; clears the verdict
    Navigation,  // Tab: moves the focus, never reaches the field, leaves the verdict
    None,        // no character at all (DEL, as Delete and Ctrl+Backspace deliver)
};
KeyKind KindOfKey(char32_t code);

// Everything the main window knows beyond its layout: the mode, the prompt
// captions, and the visible state that the window's events change. The window
// forwards each event to one operation here and then shows the getters.
class CheckerState {
public:
    std::uint8_t CurrentMode = 0;
    // Prompt caption per mode; index 0 is never shown. Filled at start-up.
    std::array<std::string, 3> ModeCaptions;

    // Empties entry and result whatever the value; for mode 1 or 2 also
    // switches the prompt and the menu marks. Other values change nothing else.
    void SetMode(std::uint8_t mode);
    // Enter in the entry field: judge the entry by the current mode's check.
    void CheckEntry();
    // Any other character typed into the entry field: the verdict is stale.
    void OtherKey(char32_t code);
    // Empties the entry but keeps the last verdict showing.
    void ClearNumber();
    // A character delivered to the entry field: Enter checks, any other
    // character clears the verdict. Returns what kind of key it was, so that
    // the window knows whether to announce a verdict and whether the field
    // should see the key at all.
    KeyKind KeyPress(char32_t code);

    // What the user typed, as the field reports it.
    void SetEntryText(std::string text) { entry_ = std::move(text); }
    // Counts the operations that replaced the entry (mode switch, Clear
    // number). The window writes its field only when this moves on, never
    // back over what the user is typing.
    unsigned EntryReplacements() const { return entryReplacements_; }

    const std::string& PromptText() const { return prompt_; }
    const std::string& EntryText() const { return entry_; }
    const std::string& ResultText() const { return result_; }
    bool VatMark() const { return vatMark_; }
    bool CardMark() const { return cardMark_; }

private:
    std::string prompt_ = kVatCaption;
    std::string entry_;
    std::string result_;
    bool vatMark_ = true;
    bool cardMark_ = true;
    unsigned entryReplacements_ = 0;
};

}  // namespace pelmora
