// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/infosheet.h"

#include "core/stringids.h"
#include "core/stringtable.h"

#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <charconv>

namespace InfoSheet {

namespace {

// The fixed RTF pieces of the sheet, byte for byte.
const QString H1 =
    QStringLiteral(R"({\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl{\f0\fswiss Arial;})");
const QString H2 = QStringLiteral(R"({\f1\froman\fcharset2 Symbol;}{\f2\fswiss Arial;}})");
const QString TITLE =
    QStringLiteral(R"(\deflang1033\horzdoc{\*\fchars }{\*\lchars}\pard\plain\f2\fs24\b )");
const QString GAP = QStringLiteral(R"(\par \plain\f2\fs17 )");
const QString PARA = QStringLiteral(R"(\par \plain\f2\fs22 )");
const QString CONT = QStringLiteral(R"(\plain\f2\fs22 )");
const QString ULPARA = QStringLiteral(R"(\par \plain\f2\fs22\ul )");
const QString END = QStringLiteral(R"(\par })");

constexpr int logoMaxPixels = 300;
constexpr int twipsPerPixel = 15; // at 96 dpi

// Windows-1252 characters in 0x80 to 0x9F, with their bytes; the five unassigned are missing.
struct HighChar {
    char16_t code;
    quint8 byte;
};
constexpr std::array<HighChar, 27> cp1252High{
    {{0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
     {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
     {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
     {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
     {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}}};

// The character's byte in Windows-1252; 0 for characters the code page lacks (and controls).
quint8 codePageByte(char16_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return quint8(c);
    const auto it = std::find_if(cp1252High.begin(), cp1252High.end(),
                                 [c](const HighChar &h) { return h.code == c; });
    return it == cp1252High.end() ? 0 : it->byte;
}

bool inCodePage(char16_t c) {
    return codePageByte(c) != 0;
}

quint32 bigEndian32(const QByteArray &bytes, int at) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

QString petRef(const QString &petName, const QString &species) {
    if (!petName.isEmpty())
        return petName;
    const QString your = str(S::YourMasculine);
    if (species == str(S::Dog))
        return your + u' ' + species;
    if (species == str(S::Cat))
        return str(S::YourFeminine) + u' ' + species;
    if (species == str(S::Rabbit) || species == str(S::Hamster) || species == str(S::GuineaPig))
        return your + u' ' + species;
    return your + u' ' + str(S::Animal);
}

QString rtfEscaped(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += u'\\';
            out += qc;
        } else if (inCodePage(c)) {
            out += qc;
        } else {
            // RTF takes a signed 16-bit number per UTF-16 unit; '?' serves older readers.
            out += u"\\u" + QString::number(qint16(c)) + u'?';
        }
    }
    return out;
}

QByteArray rtf7Bit(QStringView text) {
    static constexpr char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}')
                out += '\\';
            out += char(c);
            continue;
        }
        const quint8 byte = codePageByte(c);
        if (byte != 0) {
            out += "\\'";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            // RTF takes a signed 16-bit number per UTF-16 unit; '?' serves older readers.
            char number[8];
            const auto end = std::to_chars(number, number + sizeof number, qint16(c)).ptr;
            out += "\\u";
            out += QByteArrayView(number, end - number);
            out += '?';
        }
    }
    return out;
}

std::pair<int, int> pngSize(const QByteArray &png) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (png.size() < 24 || !png.startsWith(signature) || png.mid(12, 4) != "IHDR")
        return {0, 0};
    const quint32 w = bigEndian32(png, 16);
    const quint32 h = bigEndian32(png, 20);
    if (w == 0 || h == 0 || w > 0x7fffffff || h > 0x7fffffff)
        return {0, 0};
    return {int(w), int(h)};
}

QByteArray rtfPngPicture(const QByteArray &png, int width, int height) {
    const auto [w, h] = pngSize(png);
    if (w == 0 || width <= 0 || height <= 0)
        return {};
    QByteArray out = "{\\pict\\pngblip\\picw" + QByteArray::number(w) + "\\pich" +
                     QByteArray::number(h) + "\\picwgoal" +
                     QByteArray::number(qint64(width) * twipsPerPixel) + "\\pichgoal" +
                     QByteArray::number(qint64(height) * twipsPerPixel) + ' ';
    const QByteArray hex = png.toHex();
    constexpr qsizetype line = 128;
    out.reserve(out.size() + hex.size() + hex.size() / line * 2 + 4);
    for (qsizetype i = 0; i < hex.size(); i += line) {
        if (i > 0)
            out += "\r\n";
        out += QByteArrayView(hex).sliced(i, std::min(line, hex.size() - i));
    }
    out += '}';
    return out;
}

QByteArray infoSheetRtf(const QString &petName, const QString &species, const QByteArray &logoPng,
                        const QString &ration, bool rationInFigures) {
    const QString ref = rtfEscaped(petRef(petName, species));
    QString rtf;
    rtf += H1 + H2;
    for (int i = 0; i < 5; ++i)
        rtf += GAP;
    rtf += TITLE + str(S::TipsTitle);
    rtf += GAP + GAP;
    if (!ration.isEmpty())
        rtf += PARA + u"\\b " + rtfEscaped(ration) + GAP;
    rtf += PARA + str(S::TipsQuestion) + GAP;
    rtf += PARA + str(S::TipsExercise) + str(S::TipsExerciseAdvice) + GAP;
    rtf += PARA + str(S::TipsOldCats) + GAP;
    rtf += PARA + str(S::TipsSmallPets) + GAP;
    rtf += PARA + str(S::TipsCaloriesStart) + ref + str(S::TipsCaloriesEnd) + GAP + GAP;
    rtf += CONT + str(S::TipsDiaryStart) + u' ' + ref + u' ' + str(S::TipsDiaryEnd) +
           str(S::TipsDiaryExamples);
    // Cutting by a third of what was fed would contradict the figure printed above.
    rtf += PARA + str(rationInFigures ? S::FeedExactRation : S::TipsCutByThird) + GAP;
    rtf += PARA + str(S::TipsFamilyStart) + u' ' + str(S::TipsFamilyMiddle) + u' ' + ref + u' ' +
           str(S::TipsFamilyEnd) + u' ';
    rtf += CONT + str(S::TipsSnacksMatter) + str(S::TipsSnacksCalories) +
           str(S::TipsSnacksAllowedStart) + u' ' + ref + u' ' + str(S::TipsSnacksAllowedEnd);
    rtf += PARA + str(S::TipsBoxWeigh) + str(S::TipsBoxPlace) + str(S::TipsBoxTake) +
           str(S::TipsBoxEmpty) + str(S::TipsBoxLearn) + GAP;
    rtf += ULPARA + str(S::TipsBeggingIf) + ref + u' ' + str(S::TipsBegs) + u' ';
    rtf += CONT + str(S::TipsBeggingAnswer) + str(S::TipsBeggingAttention) + u' ' + ref + u' ' +
           str(S::TipsBeggingLearns);
    rtf += END;

    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder.encode(rtf);

    const auto [w, h] = pngSize(logoPng);
    if (w > 0) {
        // At its pixel size, but never beyond 300 x 300, keeping its aspect.
        const double scale = std::min(1.0, double(logoMaxPixels) / std::max(w, h));
        const QByteArray picture =
            rtfPngPicture(logoPng, std::max(1, qRound(w * scale)), std::max(1, qRound(h * scale)));
        const qsizetype bodyStart = QByteArray(encoder.encode(H1 + H2)).size();
        bytes.insert(bodyStart, picture + "\\par ");
    }
    return bytes;
}

} // namespace InfoSheet
