#include "wide_text.h"

#include "utf16_text.h"

namespace pelmora {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

std::wstring Widen(std::string_view text) {
    const std::u16string wide = Utf16FromUtf8(text);
    return {reinterpret_cast<const wchar_t*>(wide.data()), wide.size()};
}

std::string Narrow(std::wstring_view text) {
    return Utf8FromUtf16({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

}  // namespace pelmora
