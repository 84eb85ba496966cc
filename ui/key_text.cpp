#include "key_text.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace pelmora {

namespace {

std::optional<char32_t> FromText(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text.toUcs4().value(0);
}

}  // namespace

std::optional<char32_t> KeyDelivered(const QEvent& event) {
    if (event.type() == QEvent::InputMethod) {
        return FromText(static_cast<const QInputMethodEvent&>(event).commitString());
    }
    if (event.type() != QEvent::KeyPress) return std::nullopt;
    const auto& key = static_cast<const QKeyEvent&>(event);
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return U'\r';
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return U'\t';
    return FromText(key.text());
}

}  // namespace pelmora
