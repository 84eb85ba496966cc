#pragma once

// QSettings as the judge of an edit of a shared settings file: it reads the
// file before and after, each from a file of its own, by name, as any other
// program of the publisher reads it.

#include "settings_reading.h"

#include <QDataStream>
#include <QList>
#include <QSettings>
#include <QTemporaryFile>

#include <map>
#include <string>

namespace pelmora::test_support {

inline QVariantMap ReadByQSettings(const QByteArray& bytes) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) return {{"(unread)", 1}};
    QSettings settings(file.fileName(), QSettings::IniFormat);
    QVariantMap keys;
    for (const QString& key : settings.allKeys())
        keys[key.split('/', Qt::SkipEmptyParts).join('/')] = settings.value(key);
    return keys;
}

inline bool SameValue(const QVariant& a, const QVariant& b) {
    auto stored = [](const QVariant& value) {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << value;
        return bytes;
    };
    return a.metaType() == b.metaType() && stored(a) == stored(b);
}

// Lines with their breaks, as they stand in the file.
inline QList<QByteArray> LinesOf(const QByteArray& bytes) {
    QList<QByteArray> lines{{}};
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        lines.back() += bytes[i];
        const bool pair = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if ((bytes[i] == '\n' || bytes[i] == '\r') && !pair) lines.append(QByteArray());
    }
    return lines;
}

// What is wrong with the store's edit of `before` that sets `values`;
// nothing where it holds. An edit may be refused (the bytes then stay as
// they were) unless `mustHold`.
inline std::string EditFault(const QByteArray& before, const std::map<QString, QString>& values, bool mustHold) {
    const QVariantMap truth = ReadByQSettings(before);
    const QVariantMap reading = QSettingsReading(before).value_or(QVariantMap{{"(unread)", 1}});
    for (const auto& [path, text] : values) {
        if (TextOf(reading.value(path)) != TextOf(truth.value(path)))
            return "the store reads " + path.toStdString() + " otherwise";
    }
    const SettingsEdit edit = EditSettings(before, reading, values);
    if (!edit.refusal.isEmpty()) {
        if (edit.bytes != before) return "refused, but the bytes changed";
        return mustHold ? "refused: " + edit.refusal.toStdString() : "";
    }
    const QVariantMap after = ReadByQSettings(edit.bytes);
    bool alreadySet = true;
    for (const auto& [path, text] : values) {
        const QVariant value = after.value(path);
        if (value.typeId() != QMetaType::QString || value.toString() != text) return path.toStdString() + " is not set";
        alreadySet = alreadySet && SameValue(truth.value(path), value);
    }
    if (alreadySet && edit.bytes != before) return "written though every value read as set";
    for (auto key = truth.begin(); key != truth.end(); ++key) {
        if (values.count(key.key()) == 0 && !SameValue(after.value(key.key()), key.value())) {
            return key.key().toStdString() + " reads otherwise";
        }
    }
    // Every line stays, in order and with its line break; a line of ours
    // keeps its key.
    auto lineBreak = [](const QByteArray& line) {
        return line.endsWith("\r\n") ? 2 : int(line.endsWith('\n') || line.endsWith('\r'));
    };
    auto kept = [&](const QByteArray& was, const QByteArray& is) {
        const int end = lineBreak(was);
        if (end > 0 && is.right(lineBreak(is)) != was.right(end)) return false;
        const QByteArray text = was.chopped(end);
        const qsizetype equals = text.indexOf('=');
        return is.chopped(lineBreak(is)) == text || (equals > 0 && is.startsWith(text.left(equals + 1)));
    };
    const QList<QByteArray> is = LinesOf(edit.bytes);
    qsizetype at = 0;
    for (const QByteArray& line : LinesOf(before)) {
        while (at < is.size() && !kept(line, is[at])) ++at;
        if (at++ == is.size()) return "a line is gone: " + line.toStdString();
    }
    return "";
}

}  // namespace pelmora::test_support
