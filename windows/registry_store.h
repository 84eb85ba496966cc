#pragma once

#include "settings_store.h"

namespace pelmora {

// The settings store in the registry, under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
// each value a REG_SZ. A value of another type counts as missing.
class RegistryStore : public SettingsStore {
public:
    std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view text) override;
};

}  // namespace pelmora
