#pragma once

#include "damaged_copy.h"
#include "settings_store.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>

class QSettings;

namespace pelmora {

// The settings store on QSettings. On Unix it is
// $XDG_CONFIG_HOME/<application>.conf with one group per section.
//
// The file is shared by every program of the publisher, one group each, and
// may be damaged, by hand or by another program. A damaged file is read as
// far as it parses, and is never rewritten before a complete copy of it is
// kept beside it; where no copy can be kept, it is not rewritten at all.
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
    // The value reaches the store at Flush().
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view text) override;
    // Writes what was saved, unless the file's bytes could be lost by it;
    // then it says why on standard error and leaves the file as it is.
    void Flush() override;

private:
    QSettings& Open(const QString& application);
    // Nothing once the file's bytes survive a rewrite (they parse, or are
    // kept in a copy), else why they might not.
    std::optional<QString> SafeToRewrite();
    // Per file, for the whole process: its bytes as last read or written,
    // once known to survive a rewrite. While the file still holds them,
    // nothing is checked again.
    static std::map<QString, std::optional<FileBytes>>& Known();

    std::unique_ptr<QSettings> settings_;
    QString application_;
    // Written at the next Flush, by key path.
    std::map<QString, QString> pending_;
    bool unreadable_ = false;
};

}  // namespace pelmora
