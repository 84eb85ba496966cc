#include "registry_store.h"

#include "wide_text.h"

#include <windows.h>

#include <vector>

namespace pelmora {

namespace {

std::wstring KeyPath(std::string_view application, std::string_view section) {
    return L"Software\\VB and VBA Program Settings\\" + Widen(application) + L"\\" + Widen(section);
}

}  // namespace

std::string RegistryStore::GetSetting(std::string_view application, std::string_view section, std::string_view key,
                                      std::string_view fallback) {
    const std::wstring path = KeyPath(application, section);
    const std::wstring name = Widen(key);
    // The value may grow between asking its size and reading it; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            break;
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        return Narrow(buffer.data());
    }
    return std::string(fallback);
}

void RegistryStore::SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                                std::string_view text) {
    const std::wstring value = Widen(text);
    // A key that cannot be written is ignored: the program ends regardless.
    RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), Widen(key).c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace pelmora
