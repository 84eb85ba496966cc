#include "qt_settings_store.h"

#include "identity.h"
#include "qt_text.h"
#include "settings_file.h"
#include "settings_reading.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>

namespace pelmora {

namespace {

QString Path(std::string_view section, std::string_view key) {
    return ToQString(section) + QLatin1Char('/') + ToQString(key);
}

}  // namespace

void QtSettingsStore::Open(std::string_view application) {
    const QString fileName = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                             ToQString(application) + QStringLiteral(".conf");
    if (fileName == fileName_) return;
    if (!fileName_.isEmpty()) Flush();
    fileName_ = fileName;
    Read(ReadSettingsFile(fileName_).bytes);
}

void QtSettingsStore::Read(QByteArray bytes) {
    bytes_ = std::move(bytes);
    reading_ = QSettingsReading(bytes_).value_or(QVariantMap());
}

void QtSettingsStore::Tell(const QString& why) {
    if (std::exchange(told_, true)) return;
    std::fprintf(stderr, "%s: %s is left as it is and the settings are not saved: %s\n",
                 qPrintable(ToQString(identity::kProductName)), qPrintable(fileName_), qPrintable(why));
}

std::string QtSettingsStore::GetSetting(std::string_view application, std::string_view section, std::string_view key,
                                        std::string_view fallback) {
    Open(application);
    const QString path = Path(section, key);
    if (const auto saved = pending_.find(path); saved != pending_.end()) return saved->second.toStdString();
    const std::optional<QString> value = TextOf(reading_.value(path));
    return value ? value->toStdString() : std::string(fallback);
}

void QtSettingsStore::SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                                  std::string_view text) {
    Open(application);
    pending_[Path(section, key)] = ToQString(text);
}

void QtSettingsStore::Flush() {
    if (pending_.empty()) return;
    const std::map<QString, QString> values = std::exchange(pending_, {});
    if (!QDir().mkpath(QFileInfo(fileName_).absolutePath())) return Tell(QStringLiteral("its folder cannot be made"));
    // The lock every QSettings writer of the file takes, for moments: one
    // still held after a while belongs to a writer that hangs. A lock 5 s old
    // is taken over (Qt's own writers wait 30 s): a writer that died as it
    // took the lock left one that names no owner, whose end Qt cannot see.
    QLockFile lock(fileName_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(5000);
    if (!lock.tryLock(10000)) {
        return Tell(lock.error() == QLockFile::LockFailedError ? QStringLiteral("another program holds its lock")
                                                               : QStringLiteral("its lock cannot be taken"));
    }
    // Another program may write it meanwhile, with or without the lock: its
    // edit is kept, and ours made again on what it wrote.
    for (int attempt = 0;; ++attempt) {
        FileRead now = ReadSettingsFile(fileName_);
        if (!now.failure.isEmpty()) return Tell(now.failure);
        if (now.bytes != bytes_) Read(std::move(now.bytes));
        SettingsEdit edit = EditSettings(bytes_, reading_, values);
        if (!edit.refusal.isEmpty()) return Tell(edit.refusal);
        if (edit.bytes == bytes_) return;
        QString why;
        switch (ReplaceFile(fileName_, edit.bytes, now.stamp, why)) {
            case Replaced::Done:
                bytes_ = std::move(edit.bytes);
                reading_ = std::move(edit.reading);
                return;
            case Replaced::ChangedMeanwhile:
                if (attempt < 10) continue;
                return Tell(QStringLiteral("another program keeps writing it"));
            case Replaced::Failed:
                return Tell(why);
        }
    }
}

}  // namespace pelmora
