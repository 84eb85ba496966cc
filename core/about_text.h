#pragma once

#include <string>

namespace pelmora {

// The About box's title and text: product and version, rights notice,
// publisher, postal address, e-mail and web address, lines joined by "\r\n".
std::string AboutTitle();
std::string AboutText();

}  // namespace pelmora
