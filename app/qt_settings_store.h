#pragma once

#include "settings_store.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

namespace pelmora {

// The settings store on QSettings. On Unix it is
// $XDG_CONFIG_HOME/<application>.conf with one group per section.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    // A store that cannot be read counts as having no keys; in a damaged one
    // the keys that can still be parsed are read.
    std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    // The value reaches the store at Flush() at the latest.
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view text) override;
    void Flush() override;

private:
    QSettings& Open(const QString& application);
    // Keeps the file unchanged beside itself if it does not parse, once for
    // each damaged content.
    void KeepCopyIfDamaged();

    std::unique_ptr<QSettings> settings_;
    QString application_;
    QByteArray kept_;
    bool unreadable_ = false;
};

}  // namespace pelmora
