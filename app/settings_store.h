#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace pelmora {

// The per-user store of text values, addressed by application, section and
// key. On Unix it is $XDG_CONFIG_HOME/<application>.conf with one group per
// section; on Windows the registry under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or `fallback` when the key is missing or the store
    // cannot be read or parsed (which counts as having no keys).
    QString GetSetting(const QString& application, const QString& section, const QString& key,
                       const QString& fallback = QString());
    // Creates or replaces the value; it reaches the store at Sync() at the latest.
    void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& text);
    // Writes pending values; false when the store could not be written.
    bool Sync();

private:
    QSettings& Open(const QString& application);

    std::unique_ptr<QSettings> settings_;
    QString application_;
    bool unreadable_ = false;
};

}  // namespace pelmora
