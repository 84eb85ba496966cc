#include "about_text.h"

#include "identity.h"

#include <string_view>
#include <vector>

namespace pelmora {

std::string AboutTitle() { return "About " + std::string(identity::kInternalName); }

std::string AboutText() {
    std::vector<std::string> lines = {
        std::string(identity::kProductName) + " (Win98) " + std::string(identity::kVersionText),
        "",
        std::string(identity::kRights),
        "",
        std::string(identity::kPublisher),
    };
    for (std::string_view line : identity::kPostalAddress) lines.emplace_back(line);
    lines.emplace_back("");
    lines.emplace_back(identity::kEmail);
    lines.emplace_back(identity::kWeb);

    std::string text = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) text += "\r\n" + lines[i];
    return text;
}

}  // namespace pelmora
