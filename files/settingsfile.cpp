// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/settingsfile.h"

#include "core/apperror.h"
#include "files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cctype>

namespace {

/** One line of the file: where it stands, and what it is. */
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;   ///< before the line end
    bool header = false; ///< a section's header
    bool blank = true;   ///< nothing but blanks
    QByteArray section;  ///< for a section header
    QByteArray key;      ///< for a key line
    QByteArray value;    ///< as it stands after "=", trimmed
};

QList<Line> linesOf(const QByteArray &bytes) {
    QList<Line> lines;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype next = bytes.indexOf('\n', at);
        if (next < 0)
            next = bytes.size();
        Line line;
        line.start = at;
        line.end = next;
        if (line.end > line.start && bytes[line.end - 1] == '\r')
            --line.end;
        const QByteArray text = bytes.mid(line.start, line.end - line.start).trimmed();
        line.blank = text.isEmpty();
        line.header = text.startsWith('[');
        if (line.header) {
            // As lenient as Qt's reader: "[Settings" and "[Settings]]" both open "Settings".
            const qsizetype close = text.indexOf(']');
            line.section = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        } else if (const qsizetype eq = text.indexOf('=');
                   eq > 0 && !text.startsWith(';') && !text.startsWith('#')) {
            line.key = text.left(eq).trimmed();
            line.value = text.mid(eq + 1).trimmed();
        }
        lines << line;
        at = next + 1;
    }
    return lines;
}

/** The index of the key's last line in the section, and of the section's last line. */
struct Place {
    qsizetype keyLine = -1;
    qsizetype sectionEnd = -1; ///< the last line with content in the last such section
};

Place find(const QList<Line> &lines, const QByteArray &section, const QByteArray &key) {
    Place place;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        if (line.header) {
            inSection = line.section == section;
            if (inSection)
                place.sectionEnd = i;
            continue;
        }
        if (!inSection)
            continue;
        if (line.key == key)
            place.keyLine = i;
        if (!line.blank)
            place.sectionEnd = i;
    }
    return place;
}

/** A value in quotes, with the INI escapes; the raw text when it is more than one string. */
QString unquoted(const QByteArray &value) {
    QByteArray out;
    qsizetype i = 1;
    for (; i < value.size() && value[i] != '"'; ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            c = value[++i];
            switch (c) {
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            case 't':
                c = '\t';
                break;
            case '0':
                c = '\0';
                break;
            case 'x': {
                qsizetype digits = 0;
                while (digits < 4 && i + 1 + digits < value.size() &&
                       std::isxdigit(static_cast<unsigned char>(value[i + 1 + digits])))
                    ++digits;
                const QString unit =
                    QChar(char16_t(value.mid(i + 1, digits).toUShort(nullptr, 16)));
                out += unit.toUtf8();
                i += digits;
                continue;
            }
            default:
                break; // \\ and \" stand for themselves
            }
        }
        out += c;
    }
    if (i + 1 < value.size()) // a list of strings: what stands there
        return QString::fromUtf8(value);
    return QString::fromUtf8(out);
}

std::optional<QString> decoded(const QByteArray &value) {
    if (value.startsWith('"'))
        return unquoted(value);
    if (value.startsWith('@') && !value.startsWith("@@"))
        return std::nullopt; // "@Rect(…)": a value Qt stored with a type of its own
    QString text = QString::fromUtf8(value).replace(u"\\\\"_qs, u"\\"_qs);
    if (text.startsWith(u"@@"))
        text.remove(0, 1);
    return text;
}

/** The value as a line's right side: as it stands where Qt's reader takes it so. */
QByteArray encoded(const QString &text) {
    bool quote = text != text.trimmed() || text.startsWith(u'@');
    for (const QChar c : text)
        quote = quote || c.unicode() < 0x20 || c == u',' || c == u';' || c == u'"' || c == u'\\';
    if (!quote)
        return text.toUtf8();
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
        case '\\':
            out += '\\';
            out += c;
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

} // namespace

namespace SettingsFile {

std::optional<QString> valueIn(const QByteArray &bytes, QStringView section, QStringView key) {
    const QList<Line> lines = linesOf(bytes);
    const Place place = find(lines, section.toUtf8(), key.toUtf8());
    if (place.keyLine < 0)
        return std::nullopt;
    return decoded(lines[place.keyLine].value);
}

QByteArray withValue(const QByteArray &bytes, QStringView section, QStringView key,
                     const QString &text) {
    const QByteArray eol = bytes.contains("\r\n") ? "\r\n" : "\n";
    const QByteArray keyBytes = key.toUtf8();
    const QByteArray line = keyBytes + '=' + encoded(text);
    const QList<Line> lines = linesOf(bytes);
    const Place place = find(lines, section.toUtf8(), keyBytes);
    QByteArray out = bytes;
    if (place.keyLine >= 0) {
        const Line &old = lines[place.keyLine];
        return out.replace(old.start, old.end - old.start, line);
    }
    if (place.sectionEnd >= 0) {
        const Line &last = lines[place.sectionEnd];
        const bool ended = last.end < bytes.size(); // a line end follows
        return out.insert(last.end, ended ? QByteArray(eol + line) : QByteArray(eol + line + eol));
    }
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += eol;
    if (!out.trimmed().isEmpty())
        out += eol;
    return out + '[' + section.toUtf8() + ']' + eol + line + eol;
}

std::optional<QString> value(const QString &path, QStringView section, QStringView key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return valueIn(file.readAll(), section, key);
}

void setValue(const QString &path, QStringView section, QStringView key, const QString &text) {
    const QFileInfo info(path);
    if (info.isDir())
        throw AppError(AppError::PermissionDenied);
    QByteArray bytes;
    if (info.exists()) {
        // What cannot be read cannot be kept: the file stays as it is.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(AppError::PermissionDenied);
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw AppError(AppError::PathFileAccess);
    }
    if (valueIn(bytes, section, key) == text)
        return;
    QDir().mkpath(info.absolutePath());
    AtomicFile::write(path, withValue(bytes, section, key, text));
}

} // namespace SettingsFile
