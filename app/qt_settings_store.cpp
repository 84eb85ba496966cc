#include "qt_settings_store.h"

#include "qt_text.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
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
    // Kept now too, in case another program rewrites the file meanwhile.
    KeepCopyIfDamaged();
    return *settings_;
}

void QtSettingsStore::KeepCopyIfDamaged() {
    const QString fileName = settings_->fileName();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray content = file.readAll();
    if (content.isEmpty() || content == kept_) return;
    // Parsed as a file of its own: a second QSettings on the same file would
    // share, and write, what this store has not yet written.
    QTemporaryDir folder;
    QFile parsed(folder.filePath(QStringLiteral("parsed.conf")));
    if (!folder.isValid() || !parsed.open(QIODevice::WriteOnly) || parsed.write(content) != content.size()) return;
    parsed.close();
    QSettings check(parsed.fileName(), QSettings::IniFormat);
    (void)check.allKeys();
    if (check.status() != QSettings::FormatError) return;

    // An older copy is never overwritten: the first free of
    // <file>.damaged, <file>.damaged.2, <file>.damaged.3, ...
    const QString base = fileName + QStringLiteral(".damaged");
    for (int n = 1; n <= 100; ++n) {
        QFile copy(n == 1 ? base : base + QLatin1Char('.') + QString::number(n));
        if (copy.exists()) continue;
        if (copy.open(QIODevice::NewOnly) && copy.write(content) == content.size()) kept_ = content;
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
    if (!settings_) return;
    // The file is shared by every program of the publisher, one group each,
    // and may have been damaged since it was read, by hand or by another
    // program. The rewrite keeps what parses, with our keys; what does not
    // parse survives only in the copy kept first.
    KeepCopyIfDamaged();
    // A store that cannot be written is not reported: the program ends regardless.
    settings_->sync();
}

}  // namespace pelmora
