#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// UTF-16 text (the Windows controls') and the core's UTF-8, converted without
// loss: a surrogate pair is one character, and a surrogate standing alone, as
// a field holds for a moment while a character outside the Basic
// Multilingual Plane arrives in two halves, is kept as its own three bytes
// rather than replaced, so that converting back gives the same text.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace pelmora
