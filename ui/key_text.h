#pragma once

#include <optional>

class QEvent;

namespace pelmora {

// What a key press or input-method event in the entry field delivers.
struct DeliveredKey {
    bool enter = false;  // carriage return: Return, keypad Enter, Ctrl+M
    char32_t code = 0;   // otherwise the character delivered
};

// The character an event delivers to the entry field, or nothing for keys
// that deliver none: arrows, Home, End, Delete (whose text is DEL), function
// keys, lone modifiers and the focus keys Tab and Backtab.
std::optional<DeliveredKey> KeyDelivered(const QEvent& event);

}  // namespace pelmora
