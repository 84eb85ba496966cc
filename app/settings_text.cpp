#include "settings_text.h"

#include <QByteArrayView>
#include <QDataStream>
#include <QIODevice>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace pelmora {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// One logical line as QSettings splits the file: it ends at a line break or
// a semicolon outside quotes; a backslash takes the next character (a line
// break included) with it; a line that starts with a semicolon is a comment
// and is skipped.
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;
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
        } else if (IsBreak(c) && !quoted) {
            --i;
            break;
        } else if (c == '\\' && i < size) {
            const char escaped = data[i++];
            // \r\n and \n\r count as one line break.
            if (i < size && IsBreak(escaped) && IsBreak(data[i]) && data[i] != escaped) ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && !IsBreak(data[i])) ++i;
                while (i < size && IsSpace(data[i])) ++i;
                start = i;
            } else if (!quoted) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line = {start, i, equals};
    return i > start;
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// A key or group name: %XX and %UXXXX are characters, a backslash is '/'.
QString UnescapedKey(QByteArrayView key) {
    QString result;
    result.reserve(key.size());
    for (qsizetype i = 0; i < key.size();) {
        const char c = key[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            result += QString::fromUtf8(key.sliced(i));  // what follows is decoded whole
            break;
        }
        if (c == '\\') {
            result += u'/';
            ++i;
            continue;
        }
        const qsizetype digits = (c == '%' && i + 1 < key.size() && key[i + 1] == 'U') ? 4 : 2;
        const qsizetype first = i + (digits == 4 ? 2 : 1);
        char16_t code = 0;
        bool ok = c == '%' && first + digits <= key.size();
        for (qsizetype d = 0; ok && d < digits; ++d) {
            const int value = HexValue(QLatin1Char(key[first + d]));
            ok = value >= 0;
            code = static_cast<char16_t>(code * 16 + value);
        }
        result += ok ? QChar(code) : QLatin1Char(c);
        i = ok ? first + digits : i + 1;
    }
    return result;
}

QByteArray EscapedKey(const QString& key) {
    QByteArray result;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/') {
            result += '\\';
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' ||
                   u == '.') {
            result += static_cast<char>(u);
        } else if (u <= 0xFF) {
            result += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        } else {
            result += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
        }
    }
    return result;
}

// A text value as QSettings writes one: '@' doubled at the start, control
// characters, quotes and backslashes escaped, quoted where a separator or an
// outer blank would otherwise be lost.
QByteArray EscapedValue(QString text) {
    if (text.contains(QChar::Null)) {
        text = QStringLiteral("@String(") + text + u')';
    } else if (text.startsWith(u'@')) {
        text.prepend(u'@');
    }
    QByteArray result;
    QString plain;  // written as UTF-8 in runs, so that surrogate pairs stay whole
    bool quote = false;
    bool escapeHexDigit = false;  // after \x or \0, a hex digit would join the escape
    auto escape = [&](const QByteArray& escaped) {
        result += plain.toUtf8() + escaped;
        plain.clear();
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        quote = quote || u == ';' || u == ',' || u == '=';
        if (escapeHexDigit && HexValue(c) >= 0) {
            escape("\\x" + QByteArray::number(u, 16));
            continue;
        }
        escapeHexDigit =
            u < 0x20 && u != '\a' && u != '\b' && u != '\f' && u != '\n' && u != '\r' && u != '\t' && u != '\v';
        switch (u) {
            case '\a':
                escape("\\a");
                break;
            case '\b':
                escape("\\b");
                break;
            case '\f':
                escape("\\f");
                break;
            case '\n':
                escape("\\n");
                break;
            case '\r':
                escape("\\r");
                break;
            case '\t':
                escape("\\t");
                break;
            case '\v':
                escape("\\v");
                break;
            case '"':
                escape("\\\"");
                break;
            case '\\':
                escape("\\\\");
                break;
            case 0:
                escape("\\0");
                break;
            default:
                if (u < 0x20) {
                    escape("\\x" + QByteArray::number(u, 16));
                } else {
                    plain += c;
                }
        }
    }
    escape({});
    if (quote || result.startsWith(' ') || result.endsWith(' ')) result = '"' + result + '"';
    return result;
}

// What \a, \n, \" and the like stand for; 0 for any other letter.
char NamedEscape(char e) {
    switch (e) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        case '"':
        case '?':
        case '\'':
        case '\\':
            return e;
        default:
            return 0;
    }
}

// A value's text as QSettings reads it: quotes and escapes undone, blanks
// around unquoted text dropped, unquoted commas making a list.
QStringList UnescapedValue(QByteArrayView s, bool& isList) {
    QStringList items;
    QString current;
    isList = false;
    bool inQuotes = false;
    bool quoted = false;
    qsizetype i = 0;
    qsizetype keep = 0;  // trailing blanks before here are kept
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        keep = current.size();
    };
    auto chopBlanks = [&] {
        while (current.size() > keep && (current.back() == u' ' || current.back() == u'\t')) current.chop(1);
    };
    // A numeric escape: digits of `base` as far as they go.
    auto number = [&](int base) {
        char16_t code = 0;
        for (int digit; i < s.size() && (digit = HexValue(QLatin1Char(s[i]))) >= 0 && digit < base; ++i) {
            code = static_cast<char16_t>(code * base + digit);
        }
        current += QChar(code);
        keep = current.size();
    };
    skipBlanks();
    bool ended = false;  // the text ended in the middle of an escape
    while (i < s.size() && !ended) {
        const char c = s[i];
        if (c == '\\') {
            if (++i >= s.size()) {
                ended = true;
                break;
            }
            const char e = s[i++];
            if (const char named = NamedEscape(e)) {
                current += QLatin1Char(named);
            } else if (e == 'x') {
                if (i >= s.size()) ended = true;
                if (!ended && HexValue(QLatin1Char(s[i])) >= 0) number(16);
                ended = ended || i >= s.size();
            } else if (e >= '0' && e <= '7') {
                --i;
                number(8);
                ended = i >= s.size();
            } else if (IsBreak(e) && i < s.size() && IsBreak(s[i]) && s[i] != e) {
                ++i;
            }
            keep = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (!quoted) chopBlanks();
            isList = true;
            items.append(std::exchange(current, {}));
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < s.size() && s[j] != '\\' && s[j] != '"' && s[j] != ',') ++j;
            current += QString::fromUtf8(s.sliced(i, j - i));
            i = j;
        }
    }
    if (!ended && !quoted) chopBlanks();
    items.append(current);
    return items;
}

// A stored text as QSettings gives it back as a string; nothing for a value
// stored as invalid.
std::optional<QString> TextOf(const QString& s) {
    if (!s.startsWith(u'@')) return s;
    if (s.endsWith(u')')) {
        if (s.startsWith(QLatin1String("@ByteArray(")) || s.startsWith(QLatin1String("@String("))) {
            const qsizetype open = s.indexOf(u'(') + 1;
            return s.sliced(open, s.size() - open - 1);
        }
        const bool variant = s.startsWith(QLatin1String("@Variant("));
        if (variant || s.startsWith(QLatin1String("@DateTime("))) {
            QByteArray data = s.sliced(variant ? 9 : 10).chopped(1).toLatin1();
            QDataStream stream(&data, QIODevice::ReadOnly);
            stream.setVersion(QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            if (!value.isValid()) return std::nullopt;
            return value.toString();
        }
        if (s.startsWith(QLatin1String("@Rect(")) || s.startsWith(QLatin1String("@Size(")) ||
            s.startsWith(QLatin1String("@Point("))) {
            return QString();
        }
        if (s == QLatin1String("@Invalid()")) return std::nullopt;
    }
    if (s.startsWith(QLatin1String("@@"))) return s.sliced(1);
    return s;
}

// The end of the line that ends at `end`, a comment after it included, short
// of its line break.
qsizetype LineEnd(QByteArrayView data, qsizetype end) {
    if (end < data.size() && data[end] == ';') {
        while (end < data.size() && !IsBreak(data[end])) ++end;
    }
    return end;
}

}  // namespace

SettingsText::SettingsText(QByteArray bytes) : bytes_(std::move(bytes)) {
    const QByteArrayView all(bytes_);
    qsizetype pos = all.startsWith("\xef\xbb\xbf") ? 3 : 0;
    QString group;  // "" or "name/"
    Line line;
    while (NextLine(all, pos, line)) {
        const QByteArrayView text = all.sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            qsizetype close = text.indexOf(']');
            if (close < 0) close = text.size();  // damaged, but still a group
            const QByteArrayView name = text.sliced(1, close - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0) {
                group.clear();
            } else {
                group = (name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.sliced(1))
                                                                            : UnescapedKey(name)) +
                        u'/';
            }
        } else if (line.equals >= 0) {
            const QString path = group + UnescapedKey(all.sliced(line.start, line.equals - line.start).trimmed());
            // Every named group is read after the general one, whose
            // "group\key" lines it overrides wherever they stand.
            const auto known = values_.find(path);
            if (known == values_.end() || !group.isEmpty() || known->second.general) {
                // The blanks around a value are not part of it.
                qsizetype start = line.equals + 1;
                qsizetype end = line.end;
                while (start < end && (all[start] == ' ' || all[start] == '\t')) ++start;
                while (end > start && (all[end - 1] == ' ' || all[end - 1] == '\t') && all[end - 2] != '\\') --end;
                values_[path] = {start, end, group.isEmpty()};
            }
        }
        if (!group.isEmpty()) groupEnds_[group.chopped(1)] = LineEnd(all, line.end);
    }
}

std::optional<QString> SettingsText::Value(const QString& path) const {
    const auto found = values_.find(path);
    if (found == values_.end()) return std::nullopt;
    const auto [start, end, general] = found->second;
    bool isList = false;
    const QStringList items = UnescapedValue(QByteArrayView(bytes_).sliced(start, end - start), isList);
    if (!isList) return TextOf(items.front());
    // A list with a typed item is a list of values, which has no text.
    for (const QString& item : items) {
        if (item.startsWith(u'@')) return QString();
    }
    return items.join(u',');
}

std::optional<SettingsText> SettingsText::With(const std::map<QString, QString>& values) const {
    const qsizetype firstBreak = bytes_.indexOf('\n');
    const QByteArray eol = firstBreak > 0 && bytes_[firstBreak - 1] == '\r' ? "\r\n" : "\n";
    // Changes by position, made from the end backwards so that each position
    // still holds: where, up to where, what.
    std::map<qsizetype, std::pair<qsizetype, QByteArray>, std::greater<>> edits;
    std::map<QString, QByteArray> newGroups;
    std::vector<std::pair<QString, QByteArray>> added;
    for (const auto& [path, text] : values) {
        if (Value(path) == text) continue;
        // A value read from the general group is overridden in its own
        // group, where every reader finds it.
        if (const auto found = values_.find(path); found != values_.end() && !found->second.general) {
            edits[found->second.start] = {found->second.end, EscapedValue(text)};
            continue;
        }
        const qsizetype slash = path.indexOf(u'/');
        added.emplace_back(path.left(slash), EscapedKey(path.sliced(slash + 1)) + '=' + EscapedValue(text));
    }
    // After any change at the same place: an empty value at a group's end.
    for (const auto& [group, line] : added) {
        if (const auto end = groupEnds_.find(group); end != groupEnds_.end()) {
            auto& edit = edits.try_emplace(end->second, end->second, QByteArray()).first->second;
            edit.second += eol + line;
        } else {
            newGroups[group] += line + eol;
        }
    }
    QByteArray result = bytes_;
    for (const auto& [start, change] : edits) result.replace(start, change.first - start, change.second);
    for (const auto& [group, lines] : newGroups) {
        if (!result.isEmpty() && !IsBreak(result.back())) result += eol;
        if (!result.isEmpty()) result += eol;
        QByteArray name = EscapedKey(group);
        if (name.compare("general", Qt::CaseInsensitive) == 0) name.prepend('%');
        result += '[' + name + ']' + eol + lines;
    }
    if (result == bytes_) return *this;
    SettingsText edited(std::move(result));
    for (const auto& [path, text] : values) {
        if (edited.Value(path) != text) return std::nullopt;
    }
    return edited;
}

}  // namespace pelmora
