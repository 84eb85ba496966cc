#include "wide_text.h"

#include <windows.h>

namespace pelmora {

std::wstring Widen(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

std::string Narrow(std::wstring_view text) {
    // A surrogate standing alone, as the field holds for a moment while a
    // character outside the Basic Multilingual Plane arrives in two halves,
    // becomes U+FFFD: the core takes valid UTF-8 only. The field itself is
    // never written back from it.
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace pelmora
