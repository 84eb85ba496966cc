#include "checker_state.h"

#include "number_checks.h"

namespace pelmora {

KeyKind KindOfKey(char32_t code) {
    switch (code) {
        case U'\r':
            return KeyKind::Enter;
        case U'\t':
            return KeyKind::Navigation;
        case 0:
        case 0x7f:
            return KeyKind::None;
        default:
            return KeyKind::Character;
    }
}

void CheckerState::SetMode(std::uint8_t mode) {
    result_.clear();
    entry_.clear();
    ++entryReplacements_;
    if (mode != kModeVat && mode != kModeCard) return;
    CurrentMode = mode;
    vatMark_ = mode == kModeVat;
    cardMark_ = mode == kModeCard;
    prompt_ = ModeCaptions[CurrentMode];
}

void CheckerState::CheckEntry() {
    if (CurrentMode == kModeVat) {
        result_ = CheckVat(entry_);
    } else if (CurrentMode == kModeCard) {
        result_ = CheckCC(entry_);
    }
    // The entry stays as typed, so a digit can be corrected and Enter pressed again.
}

void CheckerState::OtherKey(char32_t /*code*/) { result_.clear(); }

void CheckerState::ClearNumber() {
    entry_.clear();
    ++entryReplacements_;
}

KeyKind CheckerState::KeyPress(char32_t code) {
    const KeyKind kind = KindOfKey(code);
    if (kind == KeyKind::Enter) CheckEntry();
    if (kind == KeyKind::Character) OtherKey(code);
    return kind;
}

}  // namespace pelmora
