#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The window's UTF-16 text and the core's UTF-8, converted at the edge.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace pelmora
