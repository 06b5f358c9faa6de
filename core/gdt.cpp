// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/gdt.h"

#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace Gdt {

namespace {

// Qt 6 has no codec for CP437: its upper half, 0x80 to 0xFF.
constexpr std::array<char16_t, 128> cp437{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// What stands in for a character a set lacks: the German letters as the post office
// spells them without umlauts, typographic quotes, dashes and spaces as their plain kind.
struct Nearest {
    char16_t character;
    const char *text;
};
constexpr std::array nearest{
    Nearest{u'ä', "ae"},     Nearest{u'ö', "oe"},     Nearest{u'ü', "ue"},
    Nearest{u'Ä', "Ae"},     Nearest{u'Ö', "Oe"},     Nearest{u'Ü', "Ue"},
    Nearest{u'ß', "ss"},     Nearest{u'ẞ', "SS"},     Nearest{u'‘', "'"},
    Nearest{u'’', "'"},      Nearest{u'‚', "'"},      Nearest{u'‛', "'"},
    Nearest{u'′', "'"},      Nearest{u'‹', "'"},      Nearest{u'›', "'"},
    Nearest{u'´', "'"},      Nearest{u'“', "\""},     Nearest{u'”', "\""},
    Nearest{u'„', "\""},     Nearest{u'‟', "\""},     Nearest{u'″', "\""},
    Nearest{u'«', "\""},     Nearest{u'»', "\""},     Nearest{u'‐', "-"},
    Nearest{u'‑', "-"},      Nearest{u'‒', "-"},      Nearest{u'–', "-"},
    Nearest{u'—', "-"},      Nearest{u'―', "-"},      Nearest{u'−', "-"},
    Nearest{u'…', "..."},    Nearest{u'\u00A0', " "}, Nearest{u'\u2002', " "},
    Nearest{u'\u2003', " "}, Nearest{u'\u2009', " "}, Nearest{u'\u202F', " "},
};

constexpr bool isKnownType(qint64 type) {
    return type == RequestPatient || type == SendPatient || type == RequestExamination ||
           type == SendExamination || type == ShowExamination;
}

bool isDigits(QByteArrayView bytes) {
    return !bytes.isEmpty() &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/** The value of a digit text, or -1 when it is none or too long to be a length. */
qint64 digitValue(QByteArrayView bytes) {
    if (!isDigits(bytes) || bytes.size() > 12)
        return -1;
    qint64 value = 0;
    for (const char c : bytes)
        value = value * 10 + (c - '0');
    return value;
}

/** The set a 9206 content names, or nothing for a value we do not know. */
std::optional<Charset> charsetNamed(QByteArrayView content) {
    const qint64 value = digitValue(content.trimmed());
    return value >= 1 && value <= 3 ? std::optional(Charset(value)) : std::nullopt;
}

/** Raw bytes for a message: a line may hold anything. */
QString shown(QByteArrayView bytes) {
    return QString::fromLatin1(bytes.trimmed());
}

Error lineError(const QString &fileName, int line, const QString &reason) {
    return Error(line, str(S::GdtLineError).arg(fileName, QString::number(line), reason));
}

QString decode(QByteArrayView bytes, Charset charset) {
    if (charset == Charset::Latin1)
        return QString::fromLatin1(bytes);
    // A 7-bit file's stray upper bytes are read as the default set's rather than refused.
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte < 0x80 ? char16_t(byte) : cp437[byte - 0x80]);
    }
    return text;
}

/** The one byte that stands for a character in a set, or -1 when the set lacks it. */
int byteOf(char32_t c, Charset charset) {
    if (c < 0x80)
        return int(c);
    if (charset == Charset::Latin1)
        return c <= 0xFF ? int(c) : -1;
    if (charset == Charset::Cp437) {
        const auto it = std::find(cp437.begin(), cp437.end(), c);
        if (it != cp437.end())
            return 0x80 + int(it - cp437.begin());
    }
    return -1;
}

void appendNearest(QByteArray &out, char32_t c, Charset charset) {
    // An accented letter the set lacks may still have its base letter there (ǖ → ü → ue).
    for (char32_t base = c;;) {
        if (const int byte = byteOf(base, charset); byte >= 0) {
            out += char(byte);
            return;
        }
        const auto it = std::find_if(nearest.begin(), nearest.end(),
                                     [base](const Nearest &n) { return n.character == base; });
        if (it != nearest.end()) {
            out += it->text;
            return;
        }
        const QString parts = QChar::decomposition(base);
        if (QChar::decompositionTag(base) != QChar::Canonical || parts.isEmpty())
            break;
        base = parts.front().unicode();
    }
    out += '?';
}

/** The bytes of a text in a set, each character the set lacks as its nearest. */
QByteArray encode(QStringView text, Charset charset) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        appendNearest(out, c, charset);
    }
    return out;
}

/** The pieces of a content between its line breaks (CR LF, CR or LF). */
QList<QStringView> contentLines(QStringView content) {
    QList<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content[i] != u'\r' && content[i] != u'\n')
            continue;
        pieces.append(content.sliced(start, i - start));
        if (content[i] == u'\r' && i + 1 < content.size() && content[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    pieces.append(content.sliced(start));
    return pieces;
}

QByteArray padded(qint64 value, int digits) {
    return QByteArray::number(value).rightJustified(digits, '0');
}

QByteArray line(int id, QByteArrayView content) {
    QByteArray bytes = padded(content.size() + 9, 3) + padded(id, 4);
    bytes.append(content);
    return bytes.append("\r\n");
}

} // namespace

const Field *Record::find(int id) const {
    const auto it =
        std::find_if(fields.begin(), fields.end(), [id](const Field &f) { return f.id == id; });
    return it == fields.end() ? nullptr : &*it;
}

QStringList Record::values(int id) const {
    QStringList list;
    for (const Field &f : fields) {
        if (f.id == id)
            list.append(f.content);
    }
    return list;
}

Error::Error(int line, QString description)
    : AppError(AppError::InvalidFileFormat, std::move(description))
    , m_line(line) {}

Error missingFile(const QString &fileName) {
    return Error(0, str(S::GdtMissing).arg(fileName));
}

Record read(const QByteArray &bytes, const QString &fileName) {
    if (bytes.isEmpty())
        throw Error(0, str(S::GdtEmpty).arg(fileName));

    struct Line {
        int id;
        QByteArrayView content;
    };
    QList<Line> lines;
    Record record;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const int number = int(lines.size()) + 1;
        const auto fail = [&](const QString &reason) {
            return lineError(fileName, number, reason);
        };
        const qsizetype end = std::find_if(bytes.begin() + pos, bytes.end(),
                                           [](char c) { return c == '\r' || c == '\n'; }) -
                              bytes.begin();
        if (end == bytes.size() || (bytes[end] == '\r' && end + 1 == bytes.size()))
            throw fail(str(S::GdtUnterminated));
        if (bytes[end] != '\r' || bytes[end + 1] != '\n')
            throw fail(str(S::GdtBareBreak));
        const QByteArrayView text(bytes.constData() + pos, end - pos);
        const qsizetype size = text.size() + 2;
        if (text.size() < 7)
            throw fail(str(S::GdtLineTooShort).arg(size));
        if (!isDigits(text.first(3)))
            throw fail(str(S::GdtLengthNotDigits).arg(shown(text.first(3))));
        if (digitValue(text.first(3)) != size)
            throw fail(str(S::GdtLengthMismatch)
                           .arg(QString::fromLatin1(text.first(3)), QString::number(size)));
        if (!isDigits(text.sliced(3, 4)))
            throw fail(str(S::GdtFieldNotDigits).arg(shown(text.sliced(3, 4))));
        const Line parsed{int(digitValue(text.sliced(3, 4))), text.sliced(7)};
        if (number == 1) {
            if (parsed.id != RecordTypeField)
                throw fail(str(S::GdtNoRecordType).arg(QString::fromLatin1(text.sliced(3, 4))));
            const qint64 type = digitValue(parsed.content.trimmed());
            if (!isKnownType(type))
                throw fail(str(S::GdtUnknownRecordType).arg(shown(parsed.content)));
            record.type = int(type);
        }
        lines.append(parsed);
        pos = end + 2;
    }

    const auto numberOf = [&lines](int id) {
        const auto it =
            std::find_if(lines.begin(), lines.end(), [id](const Line &l) { return l.id == id; });
        return it == lines.end() ? 0 : int(it - lines.begin()) + 1;
    };
    auto charset = Charset::Cp437;
    if (const int at = numberOf(CharsetField)) {
        const auto named = charsetNamed(lines[at - 1].content);
        if (!named)
            throw lineError(fileName, at,
                            str(S::GdtUnknownCharset).arg(shown(lines[at - 1].content)));
        charset = *named;
    }
    const int lengthAt = numberOf(RecordLength);
    if (lengthAt == 0)
        throw Error(0, str(S::GdtNoRecordLength).arg(fileName));
    const QByteArrayView length = lines[lengthAt - 1].content.trimmed();
    if (digitValue(length) != bytes.size())
        throw lineError(
            fileName, lengthAt,
            str(S::GdtRecordLengthMismatch).arg(shown(length), QString::number(bytes.size())));

    for (qsizetype i = 1; i < lines.size(); ++i)
        record.fields.append({lines[i].id, decode(lines[i].content, charset), int(i) + 1});
    return record;
}

Charset charsetOf(const Record &record) {
    const Field *field = record.find(CharsetField);
    return (field ? charsetNamed(field->content.toLatin1()) : std::nullopt)
        .value_or(Charset::Cp437);
}

QByteArray write(const Record &record, Charset charset) {
    if (!isKnownType(record.type))
        throw AppError(AppError::InvalidArgument);
    QByteArray body = line(Version, "02.10") + line(CharsetField, padded(int(charset), 1));
    for (const Field &field : record.fields) {
        if (field.id == RecordLength || field.id == Version || field.id == CharsetField)
            continue;
        if (field.id < 0 || field.id > 9999)
            throw AppError(AppError::InvalidArgument);
        // Findings and result tables are running text that may take several lines of
        // the same field, broken between words; any other field is one value and is
        // cut at the longest content a line holds.
        const bool runningText = field.id == Finding || field.id == ResultText;
        for (const QStringView piece : contentLines(field.content)) {
            QByteArray bytes = encode(piece, charset);
            while (runningText && bytes.size() > maxContentBytes) {
                const qsizetype blank = bytes.lastIndexOf(' ', maxContentBytes);
                const qsizetype cut = blank > 0 ? blank : maxContentBytes;
                body += line(field.id, QByteArrayView(bytes).first(cut));
                bytes.remove(0, blank > 0 ? cut + 1 : cut);
            }
            body += line(field.id, QByteArrayView(bytes).first(
                                       std::min<qsizetype>(bytes.size(), maxContentBytes)));
        }
    }
    const QByteArray head = line(RecordTypeField, padded(record.type, 4));
    // The length line is always 14 bytes: 3 + 4 + five digits + CR LF.
    const qsizetype total = head.size() + 14 + body.size();
    if (total > 99999)
        throw AppError(AppError::Overflow, str(S::GdtTooLong).arg(total));
    return head + line(RecordLength, padded(total, 5)) + body;
}

Patient patient(const Record &record, NameOrder order, QDate today, const QString &fileName) {
    const auto text = [&record](int id) {
        const Field *field = record.find(id);
        return field ? field->content.trimmed() : QString();
    };
    Patient patient;
    patient.number = text(PatientNumber);
    // The number goes into the case file, one line in Windows-1252.
    if (std::any_of(patient.number.begin(), patient.number.end(),
                    [](QChar c) { return c.unicode() < 0x20 || c.unicode() > 0x7E; }))
        throw lineError(fileName, record.find(PatientNumber)->line,
                        str(S::GdtBadPatientNumber).arg(patient.number));
    patient.owner = text(order == NameOrder::OwnerThenAnimal ? Surname : FirstName);
    patient.animal = text(order == NameOrder::OwnerThenAnimal ? FirstName : Surname);
    if (const QString birth = text(BirthDate); !birth.isEmpty()) {
        const int at = record.find(BirthDate)->line;
        const bool digits = birth.size() == 8 && isDigits(birth.toLatin1());
        const QDate date = digits ? QDate::fromString(birth, u"ddMMyyyy") : QDate();
        if (!date.isValid())
            throw lineError(fileName, at, str(S::GdtBadBirthDate).arg(birth));
        if (date > today)
            throw lineError(fileName, at,
                            str(S::GdtFutureBirthDate).arg(GermanText::fromDate(date)));
        patient.birthDate = date;
        // A birthday not reached yet this year does not count; 29 February counts on 1 March.
        const bool reached =
            std::pair(today.month(), today.day()) >= std::pair(date.month(), date.day());
        patient.age = today.year() - date.year() - (reached ? 0 : 1);
    }
    const QString sex = text(Sex);
    patient.sex = sex == u"1"   ? PatientSex::Male
                  : sex == u"2" ? PatientSex::Female
                                : PatientSex::Unknown;
    if (QString weight = text(Weight); !weight.isEmpty()) {
        // Practice systems write either decimal mark.
        weight.replace(u',', u'.');
        bool ok = false;
        const double kg = QLocale::c().toDouble(weight, &ok);
        const bool plain = std::all_of(weight.begin(), weight.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || c == u'.';
        });
        if (!ok || !plain || !std::isfinite(kg) || kg <= 0)
            throw lineError(fileName, record.find(Weight)->line,
                            str(S::GdtBadWeight).arg(text(Weight)));
        patient.weight = kg;
    }
    return patient;
}

} // namespace Gdt
