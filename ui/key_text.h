#pragma once

#include <optional>

class QEvent;

namespace pelmora {

// The character code a key press or input-method event delivers to the entry
// field: 13 for Return and keypad Enter (whatever text the platform gives
// them) and Ctrl+M, 9 for Tab and Shift+Tab, otherwise the first character of
// the event's text. Nothing for keys that deliver no text (arrows, Home, End,
// function keys, lone modifiers). What the code then does is the checker
// state's decision.
std::optional<char32_t> KeyDelivered(const QEvent& event);

}  // namespace pelmora
