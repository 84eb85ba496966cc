#include "qt_settings_store.h"

#include "identity.h"
#include "qt_text.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <cstdio>

namespace pelmora {

namespace {

QString Path(std::string_view section, std::string_view key) {
    return ToQString(section) + QLatin1Char('/') + ToQString(key);
}

void Tell(const QString& fileName, const QString& why) {
    std::fprintf(stderr, "%s: %s is left as it is and the settings are not saved: %s\n", identity::kProductName.data(),
                 qPrintable(fileName), qPrintable(why));
}

}  // namespace

QtSettingsStore::QtSettingsStore() = default;
QtSettingsStore::~QtSettingsStore() = default;

QSettings& QtSettingsStore::Open(const QString& application) {
    if (settings_ && application_ == application) return *settings_;
    if (settings_) Flush();
    application_ = application;
    // An organisation without an application name gives <application>.conf
    // directly in the user's configuration folder.
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application, QString());
    settings_->setFallbacksEnabled(false);
    (void)settings_->allKeys();  // each group is parsed only when asked for
    const QString fileName = settings_->fileName();
    // QSettings parses a file once per process and shares what it parsed;
    // only that first parse tells whether the file is damaged.
    const bool firstParse = Known().find(fileName) == Known().end();
    std::optional<FileBytes>& safe = Known()[fileName];
    QString why;
    std::optional<FileBytes> read = ReadFile(fileName, why);
    // Should the file have changed since it was parsed, it is parsed again,
    // so that what was judged is what was read.
    settings_->sync();
    (void)settings_->allKeys();
    unreadable_ = settings_->status() == QSettings::AccessError;
    if (!read || StampOf(fileName) != read->stamp || (safe && safe->bytes == read->bytes)) return *settings_;
    // A damaged file is kept now, in case another program rewrites it
    // meanwhile; without a copy it is checked again before any write.
    const bool damaged = settings_->status() == QSettings::FormatError;
    if ((firstParse && !damaged) || !KeepIfDamaged(fileName, *read, firstParse)) safe = std::move(read);
    return *settings_;
}

std::map<QString, std::optional<FileBytes>>& QtSettingsStore::Known() {
    static std::map<QString, std::optional<FileBytes>> known;
    return known;
}

std::optional<QString> QtSettingsStore::SafeToRewrite() {
    const QString fileName = settings_->fileName();
    std::optional<FileBytes>& safe = Known()[fileName];
    const std::optional<FileStamp> stamp = StampOf(fileName);
    // No file (or no regular file, which cannot be rewritten): nothing to lose.
    if (!stamp || (safe && safe->stamp == *stamp)) return std::nullopt;
    QString why;
    std::optional<FileBytes> read = ReadFile(fileName, why);
    if (!read) return why;
    if (!safe || safe->bytes != read->bytes) {
        if (std::optional<QString> failed = KeepIfDamaged(fileName, *read, false)) return failed;
    }
    safe = std::move(read);
    return std::nullopt;
}

std::string QtSettingsStore::GetSetting(std::string_view application, std::string_view section, std::string_view key,
                                        std::string_view fallback) {
    QSettings& settings = Open(ToQString(application));
    const QString path = Path(section, key);
    if (const auto saved = pending_.find(path); saved != pending_.end()) return saved->second.toStdString();
    if (unreadable_) return std::string(fallback);
    const QVariant value = settings.value(path);
    if (!value.isValid()) return std::string(fallback);
    // An unquoted comma makes the file format split a value into a list.
    if (value.metaType().id() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                                  std::string_view text) {
    Open(ToQString(application));
    pending_[Path(section, key)] = ToQString(text);
}

void QtSettingsStore::Flush() {
    if (!settings_ || pending_.empty()) return;
    // Held back until now: QSettings writes whatever it holds when it goes,
    // and a file that cannot be kept must not be written at all.
    const std::map<QString, QString> values = std::exchange(pending_, {});
    if (const std::optional<QString> why = SafeToRewrite()) {
        Tell(settings_->fileName(), *why);
        return;
    }
    for (const auto& [path, text] : values) settings_->setValue(path, text);
    // The rewrite keeps every group that parses, with our keys; what does
    // not parse survives in the copy kept first. A store that cannot be
    // written is not reported: the program ends regardless.
    settings_->sync();
    QString why;
    if (std::optional<FileBytes> written = ReadFile(settings_->fileName(), why)) {
        Known()[settings_->fileName()] = std::move(written);
    }
}

}  // namespace pelmora
