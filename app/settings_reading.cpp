#include "settings_reading.h"

#include "settings_file.h"
#include "settings_text.h"

#include <QDataStream>
#include <QIODevice>
#include <QSettings>
#include <QVariant>

namespace pelmora {

namespace {

bool ReadsAs(const QVariantMap& reading, const QString& path, const QString& text) {
    const QVariant value = reading.value(path);
    return value.typeId() == QMetaType::QString && value.toString() == text;
}

// Values without an equality of their own, and NaN, are the same when they
// are stored the same.
bool Same(const QVariant& a, const QVariant& b) {
    auto stored = [](const QVariant& value) {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << value;
        return bytes;
    };
    return a == b || (a.metaType() == b.metaType() && stored(a) == stored(b));
}

}  // namespace

std::optional<QVariantMap> QSettingsReading(const QByteArray& bytes) {
    const PrivateCopy copy(bytes);
    if (copy.Name().isEmpty()) return std::nullopt;
    QSettings settings(copy.Name(), QSettings::IniFormat);
    QVariantMap reading;
    for (const QString& key : settings.allKeys()) {
        reading.insert(key.split(u'/', Qt::SkipEmptyParts).join(u'/'), settings.value(key));
    }
    if (settings.status() == QSettings::AccessError) return std::nullopt;
    return reading;
}

std::optional<QString> TextOf(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    const int type = value.typeId();
    if (type == QMetaType::QStringList || type == QMetaType::QVariantList) return value.toStringList().join(u',');
    return value.toString();
}

SettingsEdit EditSettings(const QByteArray& bytes, const QVariantMap& reading,
                          const std::map<QString, QString>& values) {
    std::map<QString, QString> changes;
    for (const auto& [path, text] : values) {
        if (!ReadsAs(reading, path, text)) changes.emplace(path, text);
    }
    if (changes.empty()) return {bytes, reading, {}};
    SettingsEdit edit{SettingsText(bytes).With(changes), {}, {}};
    const std::optional<QVariantMap> after = QSettingsReading(edit.bytes);
    if (!after) return {bytes, reading, QStringLiteral("its edit cannot be checked")};
    edit.reading = *after;
    for (const auto& [path, text] : values) {
        if (!ReadsAs(edit.reading, path, text)) {
            return {bytes, reading, QStringLiteral("a damaged line takes the place of the program's own")};
        }
    }
    for (auto key = reading.begin(); key != reading.end(); ++key) {
        if (values.count(key.key()) == 0 &&
            !(edit.reading.contains(key.key()) && Same(edit.reading.value(key.key()), key.value()))) {
            return {bytes, reading, QStringLiteral("the edit would change another value, ") + key.key()};
        }
    }
    return edit;
}

}  // namespace pelmora
