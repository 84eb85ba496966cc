#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

namespace pelmora {

// A settings file's bytes, read as QSettings reads its INI format, and
// edited rather than regenerated: the file is shared with other programs,
// so only the lines our values are read from change.
class SettingsText {
public:
    explicit SettingsText(QByteArray bytes = {});

    const QByteArray& Bytes() const { return bytes_; }

    // The value of "group/key" as QSettings reads the whole file: the last
    // line of the group that sets it (or else a "group\key" line of the
    // general group), a list joined with commas; nothing where no line sets
    // it.
    std::optional<QString> Value(const QString& path) const;

    // These bytes with each "group/key" of `values` set: the line its value
    // is read from changed in place, or a line added at the end of its
    // group, or the group added at the end. Every other byte stays.
    // Nothing where the result would not read back as `values` (a damaged
    // line swallowing the place they would take).
    std::optional<SettingsText> With(const std::map<QString, QString>& values) const;

private:
    // Where a value stands in the bytes.
    struct Span {
        qsizetype start = 0;
        qsizetype end = 0;
        bool general = false;  // a "group\key" line of the general group
    };
    QByteArray bytes_;
    // The line each key's value is read from, by "group/key".
    std::map<QString, Span> values_;
    // Where a line added to a group goes: after its last line, by group.
    std::map<QString, qsizetype> groupEnds_;
};

}  // namespace pelmora
