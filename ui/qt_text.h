#pragma once

#include <QString>

#include <string_view>

namespace pelmora {

// The core's UTF-8 text as Qt text.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace pelmora
