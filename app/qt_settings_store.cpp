#include "qt_settings_store.h"

#include "qt_text.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace pelmora {

namespace {

QString Path(std::string_view section, std::string_view key) {
    return ToQString(section) + QLatin1Char('/') + ToQString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore() = default;
QtSettingsStore::~QtSettingsStore() = default;

QSettings& QtSettingsStore::Open(const QString& application) {
    if (settings_ && application_ == application) return *settings_;
    if (settings_) settings_->sync();
    application_ = application;
    // An organisation without an application name gives <application>.conf
    // directly in the user's configuration folder.
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application, QString());
    settings_->setFallbacksEnabled(false);
    unreadable_ = settings_->status() == QSettings::AccessError;
    // The file is shared by every program of the publisher, one group each.
    // What could be parsed is kept and written back with our keys; the
    // damaged original is kept beside it, since the rewrite cannot hold
    // what could not be parsed.
    if (settings_->status() == QSettings::FormatError) KeepDamagedCopy(settings_->fileName());
    return *settings_;
}

void QtSettingsStore::KeepDamagedCopy(const QString& fileName) {
    // An older copy is never overwritten: the first free of
    // <file>.damaged, <file>.damaged.2, <file>.damaged.3, ...
    const QString base = fileName + QStringLiteral(".damaged");
    for (int n = 1; n <= 100; ++n) {
        const QString copy = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
        if (QFile::exists(copy)) continue;
        QFile::copy(fileName, copy);
        return;
    }
}

std::string QtSettingsStore::GetSetting(std::string_view application, std::string_view section, std::string_view key,
                                        std::string_view fallback) {
    QSettings& settings = Open(ToQString(application));
    if (unreadable_) return std::string(fallback);
    const QVariant value = settings.value(Path(section, key));
    if (!value.isValid()) return std::string(fallback);
    // An unquoted comma makes the file format split a value into a list.
    if (value.metaType().id() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                                  std::string_view text) {
    Open(ToQString(application)).setValue(Path(section, key), ToQString(text));
}

void QtSettingsStore::Flush() {
    // A store that cannot be written is not reported: the program ends regardless.
    if (settings_) settings_->sync();
}

}  // namespace pelmora
