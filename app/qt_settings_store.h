#pragma once

#include "settings_store.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <map>

namespace pelmora {

// The settings store of the Unix desktop: $XDG_CONFIG_HOME/<application>.conf
// in QSettings' INI format, one group per section.
//
// The file is shared by every program of the publisher, one group each, and
// may hold comments, other programs' lines and damaged lines. It is read once,
// its values as QSettings reads them, and at Flush edited: only the lines our
// values are read from change, QSettings judges the edit before it is made,
// and the result replaces the file in one step under the lock QSettings
// takes, only over the bytes the edit was made on. What cannot be read,
// edited or replaced is left exactly as it is.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore() = default;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    // A file that cannot be read counts as having no keys.
    std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    // The value reaches the file at Flush().
    void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view text) override;
    // Writes what was saved, unless nothing changed; where the file cannot be
    // read, edited or replaced, says why on standard error (once a run) and
    // leaves it.
    void Flush() override;

private:
    void Open(std::string_view application);
    void Read(QByteArray bytes);
    void Tell(const QString& why);

    QString fileName_;
    // The file as last read or written, and what QSettings reads from it.
    QByteArray bytes_;
    QVariantMap reading_;
    // Written at the next Flush, by "group/key".
    std::map<QString, QString> pending_;
    bool told_ = false;
};

}  // namespace pelmora
