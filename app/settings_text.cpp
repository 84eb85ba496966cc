#include "settings_text.h"

#include <QByteArrayView>
#include <QStringEncoder>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace pelmora {

namespace {

bool IsBreak(char c) { return c == '\n' || c == '\r'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || IsBreak(c); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One line as QSettings splits the file: it ends at a line break or a
// semicolon outside quotes; a backslash takes the next character (a line
// break included, \r\n and \n\r as one) with it; a line that starts with a
// semicolon is a comment and is skipped.
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;  // the first '=' outside quotes
};

bool NextLine(QByteArrayView data, qsizetype& pos, Line& line) {
    const qsizetype size = data.size();
    qsizetype start = pos;
    while (start < size && IsSpace(data[start])) ++start;
    qsizetype equals = -1;
    bool quoted = false;
    qsizetype i = start;
    while (i < size) {
        const char c = data[i++];
        if (c == '=') {
            if (!quoted && equals < 0) equals = i - 1;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = data[i++];
                if (i < size && IsBreak(escaped) && IsBreak(data[i]) && data[i] != escaped) ++i;
            }
        } else if (c == ';' && i == start + 1) {
            while (i < size && !IsBreak(data[i])) ++i;
            while (i < size && IsSpace(data[i])) ++i;
            start = i;
        } else if ((c == ';' || IsBreak(c)) && !quoted) {
            --i;
            break;
        }
    }
    pos = i;
    line = {start, i, equals};
    return i > start;
}

// A key or group name as QSettings reads it: UTF-8, where a backslash is
// '/', and %XX and %UXXXX are characters, their digits read as QSettings
// reads them (a sign, a blank or 0x taken too).
QString UnescapedKey(QByteArrayView key) {
    const QString text = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        const qsizetype first = i + (i + 1 < text.size() && text[i + 1] == u'U' ? 2 : 1);
        const qsizetype digits = first == i + 2 ? 4 : 2;
        bool ok = text[i] == u'%' && i + 1 < text.size() && first + digits <= text.size();
        const char16_t code = ok ? QStringView(text).sliced(first, digits).toUShort(&ok, 16) : 0;
        result += ok ? QChar(code) : text[i];
        i = ok ? first + digits : i + 1;
    }
    return result;
}

QByteArray Hex(char16_t c) { return QByteArray::number(c, 16).toUpper(); }

QByteArray EscapedKey(const QString& key) {
    QByteArray result;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/') {
            result += '\\';
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' ||
                   u == '.') {
            result += static_cast<char>(u);
        } else {
            result += (u <= 0xFF ? "%" + Hex(u).rightJustified(2, '0') : "%U" + Hex(u).rightJustified(4, '0'));
        }
    }
    return result;
}

// A text value as QSettings writes one: '@' doubled at the start, control
// characters, quotes and backslashes escaped (and a hex digit after a
// numeric escape, which would join it), quoted where a separator or an
// outer blank would otherwise be lost.
QByteArray EscapedValue(const QString& text) {
    static constexpr std::pair<char16_t, const char*> kEscapes[] = {
        {u'\0', "\\0"}, {u'\a', "\\a"}, {u'\b', "\\b"}, {u'\f', "\\f"}, {u'\n', "\\n"},
        {u'\r', "\\r"}, {u'\t', "\\t"}, {u'\v', "\\v"}, {u'"', "\\\""}, {u'\\', "\\\\"},
    };
    QStringEncoder utf8(QStringEncoder::Utf8);
    QByteArray result;
    bool quote = false;
    bool numeric = false;  // the last escape was numeric
    for (const QChar c : text.startsWith(u'@') ? u'@' + text : text) {
        const char16_t u = c.unicode();
        quote = quote || u == ';' || u == ',' || u == '=';
        if (numeric && QByteArrayView("0123456789abcdefABCDEF").contains(static_cast<char>(u < 0x80 ? u : 0))) {
            result += "\\x" + Hex(u).toLower();
            continue;
        }
        const auto* escape =
            std::find_if(std::begin(kEscapes), std::end(kEscapes), [u](auto e) { return e.first == u; });
        numeric = u < 0x20 && (escape == std::end(kEscapes) || u == 0);
        if (escape != std::end(kEscapes)) {
            result += escape->second;
        } else if (u < 0x20) {
            result += "\\x" + Hex(u).toLower();
        } else {
            result += utf8(QStringView(&c, 1));
        }
    }
    if (quote || result.startsWith(' ') || result.endsWith(' ')) result = '"' + result + '"';
    return result;
}

// The length of the line break at `at`: \r\n is one.
qsizetype BreakLength(const QByteArray& bytes, qsizetype at) {
    if (at >= bytes.size() || !IsBreak(bytes[at])) return 0;
    return bytes.sliced(at).startsWith("\r\n") ? 2 : 1;
}

// The end of a line that ends at `end`, a comment after it included, short
// of its line break.
qsizetype LineEnd(QByteArrayView data, qsizetype end) {
    if (end < data.size() && data[end] == ';') {
        while (end < data.size() && !IsBreak(data[end])) ++end;
    }
    return end;
}

// The file's own line break, the first one it has.
QByteArray LineBreakOf(const QByteArray& bytes) {
    const qsizetype first = bytes.indexOf('\n');
    const qsizetype cr = bytes.indexOf('\r');
    if (cr >= 0 && (first < 0 || cr < first)) return cr + 1 == first ? "\r\n" : "\r";
    return "\n";
}

}  // namespace

SettingsText::SettingsText(QByteArray bytes) : bytes_(std::move(bytes)) {
    const QByteArrayView all(bytes_);
    qsizetype pos = all.startsWith("\xef\xbb\xbf") ? 3 : 0;
    std::optional<QString> group;  // none in the general group
    Line line;
    while (NextLine(all, pos, line)) {
        const QByteArrayView text = all.sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            group = UnescapedKey(text.first(close < 0 ? text.size() : close).sliced(1).trimmed());
        } else if (group && line.equals >= 0) {
            // A later line of the group is read instead of an earlier one.
            qsizetype start = line.equals + 1;
            qsizetype end = line.end;
            while (start < end && IsBlank(all[start])) ++start;
            for (qsizetype i = start; i < end; ++i) {
                if (IsBreak(all[i])) end = i;
            }
            while (end > start && IsBlank(all[end - 1])) --end;
            const QByteArrayView key = all.sliced(line.start, line.equals - line.start).trimmed();
            values_[*group + u'/' + UnescapedKey(key)] = {start, end};
        }
        if (group) groupEnds_[*group] = LineEnd(all, line.end);
    }
}

QByteArray SettingsText::With(const std::map<QString, QString>& values) const {
    // The values found first: one of ours cut to its first line gives back
    // the lines it had swallowed, and one of them may be read in its place,
    // or be the group's last line.
    QByteArray result = bytes_;
    for (int pass = 0; pass < 3; ++pass) {
        QByteArray again = SettingsText(result).EditedOnce(values, false);
        if (again == result) break;
        result = std::move(again);
    }
    return SettingsText(result).EditedOnce(values, true);
}

QByteArray SettingsText::EditedOnce(const std::map<QString, QString>& values, bool add) const {
    const QByteArray eol = LineBreakOf(bytes_);
    // Changes by place, made from the end backwards so that each place still
    // holds: up to where, what. A value and lines added at the same place
    // (an empty value at the end of the file) go in that order.
    std::map<qsizetype, std::pair<qsizetype, QByteArray>, std::greater<>> edits;
    std::map<QString, QByteArray> newGroups;
    for (const auto& [path, text] : values) {
        const QByteArray value = EscapedValue(text);
        if (const auto found = values_.find(path); found != values_.end()) {
            const auto [start, end] = found->second;
            if (QByteArrayView(bytes_).sliced(start, end - start) != value) {
                edits.try_emplace(start, end, QByteArray()).first->second.second.prepend(value);
            }
            continue;
        }
        if (!add) continue;
        const qsizetype slash = path.indexOf(u'/');
        const QByteArray line = EscapedKey(path.sliced(slash + 1)) + '=' + value;
        if (const auto end = groupEnds_.find(path.left(slash)); end != groupEnds_.end()) {
            // After the line break of the group's last line, with a break of
            // the same kind: every line keeps its own.
            const qsizetype at = end->second;
            const QByteArray ending = bytes_.sliced(at, BreakLength(bytes_, at));
            auto& added = edits.try_emplace(at + ending.size(), at + ending.size(), QByteArray()).first->second.second;
            added += ending.isEmpty() ? eol + line : line + ending;
        } else {
            newGroups[path.left(slash)] += line + eol;
        }
    }
    QByteArray result = bytes_;
    for (const auto& [start, change] : edits) result.replace(start, change.first - start, change.second);
    for (const auto& [group, lines] : newGroups) {
        // Apart by a blank line, the file's last line break repeated.
        if (!result.isEmpty() && !IsBreak(result.back())) result += eol;
        if (!result.isEmpty()) result += result.endsWith("\r\n") ? "\r\n" : result.right(1);
        result += '[' + EscapedKey(group) + ']' + eol + lines;
    }
    return result;
}

}  // namespace pelmora
