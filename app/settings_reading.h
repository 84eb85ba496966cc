#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <map>
#include <optional>

namespace pelmora {

// What QSettings itself reads from a settings file's bytes: every key, named
// as QSettings looks it up, with its value; the general group's
// "group\key" lines read before the named groups, as in any reading of the
// whole file. Nothing where the bytes cannot be shown to QSettings.
std::optional<QVariantMap> QSettingsReading(const QByteArray& bytes);

// A stored value as text: a list joined with commas; nothing for no value.
std::optional<QString> TextOf(const QVariant& value);

// An edit of a settings file, or why there is none.
struct SettingsEdit {
    QByteArray bytes;
    QVariantMap reading;  // what QSettings reads from `bytes`
    QString refusal;      // empty where the edit holds
};

// `bytes`, which QSettings reads as `reading`, with each "group/key" of
// `values` set where QSettings reads it (values that already read as set
// change nothing). QSettings judges the edit: each of these values reads as
// set and every other key it read before reads the same (one that a damaged
// value of ours had swallowed may come back); otherwise the refusal says why
// and the bytes are as they were.
SettingsEdit EditSettings(const QByteArray& bytes, const QVariantMap& reading,
                          const std::map<QString, QString>& values);

}  // namespace pelmora
