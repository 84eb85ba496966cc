#include "settings_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace pelmora {

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

QSettings& SettingsStore::Open(const QString& application) {
    if (settings_ && application_ == application) return *settings_;
    if (settings_) settings_->sync();
    application_ = application;
#ifdef Q_OS_WIN
    settings_ = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application,
        QSettings::NativeFormat);
#else
    // An organisation without an application name gives <application>.conf
    // directly in the user's configuration folder.
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application, QString());
#endif
    settings_->setFallbacksEnabled(false);
    unreadable_ = settings_->status() != QSettings::NoError;
    return *settings_;
}

QString SettingsStore::GetSetting(const QString& application, const QString& section, const QString& key,
                                  const QString& fallback) {
    QSettings& settings = Open(application);
    if (unreadable_) return fallback;
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid()) return fallback;
    // An unquoted comma makes the file format split a value into a list.
    if (value.metaType().id() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::SaveSetting(const QString& application, const QString& section, const QString& key,
                                const QString& text) {
    QSettings& settings = Open(application);
    if (unreadable_) {
        // Whatever could not be parsed is replaced by a well-formed store.
        settings.clear();
        unreadable_ = false;
    }
    settings.setValue(section + QLatin1Char('/') + key, text);
}

bool SettingsStore::Sync() {
    if (!settings_) return true;
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace pelmora
