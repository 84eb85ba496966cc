#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace pelmora {

// A settings file's bytes in QSettings' INI format, found line by line as
// QSettings finds them, so that a value can be changed where QSettings reads
// it from: the file is shared with other programs and a person's hand, so
// only the program's own lines change. Values are not read here; QSettings
// reads them, and judges every edit.
class SettingsText {
public:
    explicit SettingsText(QByteArray bytes = {});

    // These bytes with each "group/key" of `values` set: the value on the
    // line of its group that QSettings reads it from replaced, on that line
    // only (never a line break), or a line added after the group's last
    // line, or the group added at the end. Every other byte stays.
    QByteArray With(const std::map<QString, QString>& values) const;

private:
    // One edit: the values found replaced, and, with `add`, the others added.
    QByteArray EditedOnce(const std::map<QString, QString>& values, bool add) const;

    // The bytes of a value: on its first line, without the blanks around it.
    struct Span {
        qsizetype start = 0;
        qsizetype end = 0;
    };
    QByteArray bytes_;
    // The line each key of a group is read from, by "group/key" (the general
    // group's lines are never ours to edit).
    std::map<QString, Span> values_;
    // Where a line added to a group goes: after its last line, by group.
    std::map<QString, qsizetype> groupEnds_;
};

}  // namespace pelmora
