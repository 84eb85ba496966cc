#include "key_text.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace pelmora {

namespace {

std::optional<DeliveredKey> FromText(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    const char32_t code = text.toUcs4().value(0);
    if (code == U'\x7f') return std::nullopt;
    if (code == U'\r') return DeliveredKey{true, code};
    return DeliveredKey{false, code};
}

}  // namespace

std::optional<DeliveredKey> KeyDelivered(const QEvent& event) {
    if (event.type() == QEvent::InputMethod) {
        return FromText(static_cast<const QInputMethodEvent&>(event).commitString());
    }
    if (event.type() != QEvent::KeyPress) return std::nullopt;
    const auto& key = static_cast<const QKeyEvent&>(event);
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return DeliveredKey{true, U'\r'};
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return std::nullopt;
    return FromText(key.text());
}

}  // namespace pelmora
