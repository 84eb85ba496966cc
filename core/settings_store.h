#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The platform's per-user store of text values, addressed by application,
// section and key. Each front end supplies one; all text is UTF-8.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or `fallback` when the key is missing or cannot be read.
    virtual std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                                   std::string_view fallback) = 0;
    // Creates or replaces the value. A store that cannot be written is ignored.
    virtual void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                             std::string_view text) = 0;
    // Makes what was saved durable before the program ends at once.
    virtual void Flush() {}
};

}  // namespace pelmora
