// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/rtfcodec.h"

#include "controls/logoloader.h"
#include "core/infosheet.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Bounds that keep hostile input from costing more than a real sheet does.
constexpr qsizetype maxDepth = 100;
constexpr int maxWordLetters = 32;
constexpr qsizetype maxPictureBytes = 32 * 1024 * 1024;
constexpr int maxPictureSide = 4000;
constexpr qint64 maxPicturePixels = 32LL * 1024 * 1024; // all pictures of a document
constexpr int twipsPerPixel = 15;                       // at 96 dpi

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int font = -1; // -1: the document's default font
    bool operator==(const CharProps &) const = default;
};

enum class Dest { Text, Skip, FontTable, Pict };

struct State {
    Dest dest = Dest::Text;
    CharProps chars;
    Qt::Alignment align = Qt::AlignLeft;
    int uc = 1;
};

struct Picture {
    QByteArray type;
    QByteArray data;
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    int nibble = -1;
    bool tooLarge = false;
};

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The bytes that end a run of text.
bool isSpecial(char c) {
    return c == '{' || c == '}' || c == '\\';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The control words the reader acts on; every other word is passed over.
enum class Word {
    Other,
    Bin,
    Rtf,
    FontTable,
    Pict,
    Shppict,
    Skipped,
    F,
    U,
    Uc,
    AnsiCpg,
    Deff,
    Par,
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Plain,
    B,
    I,
    Ul,
    UlNone,
    Fs,
    Tab,
    Line,
    PngBlip,
    JpegBlip,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote
};

// One lookup per control word instead of a comparison with each known word in turn.
Word wordOf(QByteArrayView word) {
    static const QHash<QByteArrayView, Word> words{
        {"bin", Word::Bin},
        {"rtf", Word::Rtf},
        {"fonttbl", Word::FontTable},
        {"pict", Word::Pict},
        {"shppict", Word::Shppict},
        {"f", Word::F},
        {"u", Word::U},
        {"uc", Word::Uc},
        {"ansicpg", Word::AnsiCpg},
        {"deff", Word::Deff},
        {"par", Word::Par},
        {"pard", Word::Pard},
        {"ql", Word::Ql},
        {"qc", Word::Qc},
        {"qr", Word::Qr},
        {"qj", Word::Qj},
        {"plain", Word::Plain},
        {"b", Word::B},
        {"i", Word::I},
        {"ul", Word::Ul},
        {"ulnone", Word::UlNone},
        {"fs", Word::Fs},
        {"tab", Word::Tab},
        {"line", Word::Line},
        {"pngblip", Word::PngBlip},
        {"jpegblip", Word::JpegBlip},
        {"picwgoal", Word::PicWGoal},
        {"pichgoal", Word::PicHGoal},
        {"picscalex", Word::PicScaleX},
        {"picscaley", Word::PicScaleY},
        {"emdash", Word::EmDash},
        {"endash", Word::EnDash},
        {"bullet", Word::Bullet},
        {"lquote", Word::LQuote},
        {"rquote", Word::RQuote},
        {"ldblquote", Word::LDblQuote},
        {"rdblquote", Word::RDblQuote},
        // Destinations whose text is not part of the document.
        {"colortbl", Word::Skipped},
        {"stylesheet", Word::Skipped},
        {"info", Word::Skipped},
        {"header", Word::Skipped},
        {"headerl", Word::Skipped},
        {"headerr", Word::Skipped},
        {"headerf", Word::Skipped},
        {"footer", Word::Skipped},
        {"footerl", Word::Skipped},
        {"footerr", Word::Skipped},
        {"footerf", Word::Skipped},
        {"footnote", Word::Skipped},
        {"pntext", Word::Skipped},
        {"object", Word::Skipped},
        {"nonshppict", Word::Skipped},
        {"listtable", Word::Skipped},
        {"listoverridetable", Word::Skipped},
        {"revtbl", Word::Skipped},
        {"fldinst", Word::Skipped},
        {"themedata", Word::Skipped},
        {"datastore", Word::Skipped},
        {"latentstyles", Word::Skipped}};
    return words.value(word, Word::Other);
}

// The 256 characters of each single-byte Windows code page, decoded once for all readers.
const std::array<QChar, 256> *codePageChars(int number) {
    struct Page {
        int number;
        std::array<QChar, 256> chars;
    };
    static const std::vector<Page> pages = [] {
        std::vector<Page> out;
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        for (const int number : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
            QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(number)));
            const QString chars = decoder.isValid() ? decoder.decode(all) : QString();
            if (chars.size() != 256)
                continue;
            Page page{number, {}};
            std::copy(chars.begin(), chars.end(), page.chars.begin());
            out.push_back(page);
        }
        return out;
    }();
    for (const Page &page : pages) {
        if (page.number == number)
            return &page.chars;
    }
    return nullptr;
}

// Whether every chunk of a PNG lies within its bytes. libpng allocates what a chunk claims
// (up to 2 GB) before it finds the data missing: a 400-byte sheet could ask for that much.
bool pngChunksFit(const QByteArray &png) {
    constexpr qsizetype signature = 8, frame = 12; // length, type, CRC
    for (qsizetype at = signature; at + frame <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint64(png.size() - at - frame))
            return false;
        at += frame + qsizetype(length);
    }
    return true;
}

class RtfReader {
public:
    RtfReader(QTextDocument &document, const QByteArray &rtf)
        : m_doc(document)
        , m_in(rtf)
        , m_data(rtf.constData())
        , m_cursor(&document) {
        for (int b = 0; b < 256; ++b)
            m_codePage[b] = QChar(b); // Latin-1 until the code page is known
        setCodePage(1252);
    }

    void run() {
        m_cursor.beginEditBlock();
        m_states.push_back(State{});
        const qsizetype n = m_in.size();
        while (m_pos < n && !m_ended) {
            const char c = m_data[m_pos];
            if (c == '{') {
                ++m_pos;
                openGroup();
            } else if (c == '}') {
                ++m_pos;
                closeGroup();
            } else if (c == '\\') {
                control();
            } else {
                textBytes();
            }
        }
        flush();
        setAlignment(state().align);
        m_cursor.endEditBlock();
    }

private:
    State &state() { return m_states.back(); }

    void openGroup() {
        m_star = false;
        m_skipChars = 0;
        if (m_overflow > 0 || qsizetype(m_states.size()) > maxDepth) {
            ++m_overflow;
            return;
        }
        m_states.push_back(m_states.back());
    }

    void closeGroup() {
        m_star = false;
        m_skipChars = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_states.size() <= 1) {
            m_ended = true; // the document's group is closed; what follows is not read
            return;
        }
        const Dest closed = m_states.back().dest;
        m_states.pop_back();
        if (closed == Dest::Pict && state().dest != Dest::Pict)
            finishPicture();
        if (m_states.size() == 1 && m_seenDocument)
            m_ended = true;
    }

    void control() {
        const qsizetype n = m_in.size();
        if (m_pos + 1 >= n) {
            m_pos = n;
            return;
        }
        const char next = m_data[m_pos + 1];
        if (!isLetter(next)) {
            m_pos += 2;
            symbol(next);
            return;
        }
        qsizetype start = ++m_pos;
        while (m_pos < n && isLetter(m_data[m_pos]))
            ++m_pos;
        const QByteArrayView word =
            QByteArrayView(m_in).sliced(start, std::min<qsizetype>(m_pos - start, maxWordLetters));
        bool hasParam = false;
        qint64 param = 0;
        bool negative = false;
        if (m_pos + 1 < n && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < n && isDigit(m_data[m_pos])) {
            hasParam = true;
            param = std::min<qint64>(param * 10 + (m_data[m_pos] - '0'), 1LL << 40);
            ++m_pos;
        }
        if (m_pos < n && m_data[m_pos] == ' ')
            ++m_pos;
        if (negative)
            param = -param;
        const int value = int(std::clamp<qint64>(param, INT_MIN, INT_MAX));
        const Word known = wordOf(word);
        known == Word::Bin ? binary(hasParam ? param : 0) : controlWord(known, hasParam, value);
    }

    void binary(qint64 count) {
        const qint64 length = std::clamp<qint64>(count, 0, m_in.size() - m_pos);
        if (state().dest == Dest::Pict)
            appendPictureBytes(QByteArrayView(m_in).sliced(m_pos, length));
        m_pos += length;
    }

    void symbol(char c) {
        m_star = false;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            textChar(QChar::fromLatin1(c));
            break;
        case '\'':
            if (m_pos + 1 < m_in.size() && isHex(m_data[m_pos]) && isHex(m_data[m_pos + 1])) {
                const int byte = hexValue(m_data[m_pos]) * 16 + hexValue(m_data[m_pos + 1]);
                m_pos += 2;
                textByte(quint8(byte));
            }
            break;
        case '*':
            m_star = true;
            break;
        case '~':
            textChar(QChar(0x00A0));
            break;
        case '_':
            textChar(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            break;
        }
    }

    void controlWord(Word word, bool hasParam, int value) {
        const bool star = std::exchange(m_star, false);
        State &s = state();
        if (s.dest == Dest::Skip)
            return;
        if (m_skipChars > 0) {
            --m_skipChars; // a control word stands in for a Unicode character here
            return;
        }
        if (star && word != Word::Shppict) {
            s.dest = Dest::Skip;
            return;
        }
        if (word == Word::Rtf) {
            m_seenDocument = true;
            return;
        }
        if (word == Word::FontTable) {
            s.dest = Dest::FontTable;
            return;
        }
        if (word == Word::Pict) {
            flush();
            m_picture = Picture{};
            s.dest = Dest::Pict;
            return;
        }
        if (word == Word::Skipped) {
            s.dest = Dest::Skip;
            return;
        }
        if (s.dest == Dest::Pict) {
            pictureWord(word, value);
            return;
        }
        if (word == Word::F) {
            if (s.dest == Dest::FontTable) {
                m_fontEntry = value;
                m_fontName.clear();
            } else {
                s.chars.font = value;
            }
            return;
        }
        if (s.dest == Dest::FontTable)
            return; // font family, charset and pitch do not matter here
        const auto on = [&] { return !hasParam || value != 0; };
        switch (word) {
        case Word::U:
            if (hasParam) {
                textChar(QChar(char16_t(value))); // a signed 16-bit number per UTF-16 unit
                m_skipChars = s.uc;
            }
            break;
        case Word::Uc:
            s.uc = std::clamp(value, 0, 16);
            break;
        case Word::AnsiCpg:
            setCodePage(value);
            break;
        case Word::Deff:
            m_defaultFont = value;
            m_formats.clear();
            break;
        case Word::Par:
            paragraph();
            break;
        case Word::Pard:
        case Word::Ql:
            s.align = Qt::AlignLeft;
            break;
        case Word::Qc:
            s.align = Qt::AlignHCenter;
            break;
        case Word::Qr:
            s.align = Qt::AlignRight;
            break;
        case Word::Qj:
            s.align = Qt::AlignJustify;
            break;
        case Word::Plain:
            s.chars = CharProps{};
            break;
        case Word::B:
            s.chars.bold = on();
            break;
        case Word::I:
            s.chars.italic = on();
            break;
        case Word::Ul:
            s.chars.underline = on();
            break;
        case Word::UlNone:
            s.chars.underline = false;
            break;
        case Word::Fs:
            s.chars.halfPoints = value > 0 ? std::min(value, 3276) : 24;
            break;
        case Word::Tab:
            textChar(QChar(u'\t'));
            break;
        case Word::Line:
            textChar(QChar(QChar::LineSeparator));
            break;
        case Word::EmDash:
            textChar(QChar(0x2014));
            break;
        case Word::EnDash:
            textChar(QChar(0x2013));
            break;
        case Word::Bullet:
            textChar(QChar(0x2022));
            break;
        case Word::LQuote:
            textChar(QChar(0x2018));
            break;
        case Word::RQuote:
            textChar(QChar(0x2019));
            break;
        case Word::LDblQuote:
            textChar(QChar(0x201C));
            break;
        case Word::RDblQuote:
            textChar(QChar(0x201D));
            break;
        default:
            break;
        }
    }

    void pictureWord(Word word, int value) {
        switch (word) {
        case Word::PngBlip:
            m_picture.type = "png";
            break;
        case Word::JpegBlip:
            m_picture.type = "jpeg";
            break;
        case Word::PicWGoal:
            m_picture.goalWidth = value;
            break;
        case Word::PicHGoal:
            m_picture.goalHeight = value;
            break;
        case Word::PicScaleX:
            m_picture.scaleX = value;
            break;
        case Word::PicScaleY:
            m_picture.scaleY = value;
            break;
        default:
            break;
        }
    }

    // The plain bytes up to the next group or control word, in one go: most of a document
    // is such runs, and each byte need not be checked against the state on its own.
    void textBytes() {
        const qsizetype n = m_in.size();
        const qsizetype start = m_pos;
        while (m_pos < n && !isSpecial(m_data[m_pos]))
            ++m_pos;
        const State &s = state();
        qsizetype i = start;
        const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
        // Bytes that stand in for the character of a \uN, and bytes outside the text, one
        // by one; the rest of the run goes to the text in one go.
        for (; i < m_pos && (s.dest != Dest::Text || m_skipChars > 0); ++i) {
            if (!lineEnd(m_data[i]))
                textByte(quint8(m_data[i]));
        }
        while (i < m_pos && lineEnd(m_data[i]))
            ++i;
        if (i == m_pos)
            return;
        if (!m_pending.isEmpty() && !(m_pendingProps == s.chars))
            flush();
        if (m_pending.isEmpty())
            m_pendingProps = s.chars;
        m_pending.reserve(m_pending.size() + (m_pos - i));
        for (; i < m_pos; ++i) {
            if (!lineEnd(m_data[i]))
                m_pending += m_codePage[quint8(m_data[i])];
        }
    }

    void textByte(quint8 byte) {
        if (state().dest == Dest::Pict) {
            pictureHex(char(byte));
            return;
        }
        textChar(m_codePage[byte]);
    }

    void textChar(QChar c) {
        State &s = state();
        if (s.dest == Dest::Skip || s.dest == Dest::Pict)
            return;
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        if (s.dest == Dest::FontTable) {
            if (c == u';') {
                if (m_fontEntry >= 0 && m_fonts.size() < 1000) {
                    m_fonts.insert(m_fontEntry, m_fontName.trimmed());
                    m_formats.clear();
                }
                m_fontEntry = -1;
            } else if (m_fontName.size() < 200) {
                m_fontName += c;
            }
            return;
        }
        if (!m_pending.isEmpty() && !(m_pendingProps == s.chars))
            flush();
        if (m_pending.isEmpty())
            m_pendingProps = s.chars;
        m_pending += c;
    }

    // A document switches between a few formats: each is made once.
    const QTextCharFormat &charFormat(const CharProps &p) {
        for (const auto &[props, format] : m_formats) {
            if (props == p)
                return format;
        }
        QTextCharFormat f;
        const QString family = m_fonts.value(p.font >= 0 ? p.font : m_defaultFont);
        if (!family.isEmpty())
            f.setFontFamilies(QStringList{family});
        f.setFontPointSize(std::max(1, p.halfPoints) / 2.0);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        if (m_formats.size() >= 16)
            m_formats.clear();
        m_formats.emplace_back(p, f);
        return m_formats.back().second;
    }

    void flush() {
        if (m_pending.isEmpty())
            return;
        m_cursor.insertText(m_pending, charFormat(m_pendingProps));
        m_pending.clear();
    }

    void paragraph() {
        if (state().dest != Dest::Text)
            return;
        flush();
        // An empty paragraph is as high as the font in force at its end.
        const QTextCharFormat format = charFormat(state().chars);
        if (m_cursor.block().length() <= 1)
            m_cursor.setBlockCharFormat(format);
        setAlignment(state().align);
        m_cursor.insertBlock(QTextBlockFormat(), format);
    }

    // Paragraph formatting in force at the paragraph's end applies to all of it.
    void setAlignment(Qt::Alignment align) {
        if (m_cursor.blockFormat().alignment() == align)
            return;
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(align);
        m_cursor.setBlockFormat(block);
    }

    void setCodePage(int number) {
        // The single-byte Windows code pages; anything else is read as Windows-1252.
        if ((number < 1250 || number > 1258) && number != 874)
            number = 1252;
        if (number == m_codePageNumber)
            return;
        const std::array<QChar, 256> *chars = codePageChars(number);
        if (!chars) {
            if (number != 1252)
                setCodePage(1252);
            return;
        }
        m_codePage = *chars;
        m_codePageNumber = number;
    }

    void pictureHex(char c) {
        if (!isHex(c))
            return;
        if (m_picture.nibble < 0) {
            m_picture.nibble = hexValue(c);
            return;
        }
        const char byte = char(m_picture.nibble * 16 + hexValue(c));
        m_picture.nibble = -1;
        appendPictureBytes(QByteArrayView(&byte, 1));
    }

    void appendPictureBytes(QByteArrayView bytes) {
        if (m_picture.tooLarge || m_picture.data.size() + bytes.size() > maxPictureBytes) {
            m_picture.tooLarge = true;
            m_picture.data.clear();
            return;
        }
        m_picture.data += bytes;
    }

    void finishPicture() {
        const Picture picture = std::exchange(m_picture, Picture{});
        if (picture.type.isEmpty() || picture.tooLarge || picture.data.isEmpty())
            return;
        if (picture.type == "png" && !pngChunksFit(picture.data))
            return;
        QBuffer buffer;
        buffer.setData(picture.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, picture.type);
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > maxPictureSide || size.height() > maxPictureSide ||
            m_pixels + qint64(size.width()) * size.height() > maxPicturePixels)
            return;
        const QImage image = reader.read();
        if (image.isNull() || image.size() != size)
            return;
        m_pixels += qint64(size.width()) * size.height();

        const auto shown = [](int goal, int pixels, int scale) {
            const double base = goal > 0 ? goal / double(twipsPerPixel) : pixels;
            const double scaled = base * std::clamp(scale > 0 ? scale : 100, 1, 1000) / 100.0;
            return std::clamp(scaled, 1.0, double(maxPictureSide));
        };
        const QString name = u"rtfpict:" + QString::number(++m_pictures);
        m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(shown(picture.goalWidth, image.width(), picture.scaleX));
        format.setHeight(shown(picture.goalHeight, image.height(), picture.scaleY));
        m_cursor.insertImage(format);
    }

    QTextDocument &m_doc;
    const QByteArray &m_in;
    const char *const m_data; // read byte by byte, each index checked against the size first
    QTextCursor m_cursor;
    qsizetype m_pos = 0;
    std::vector<State> m_states; // no shared copies: the top is looked at for every byte
    qsizetype m_overflow = 0;
    bool m_star = false;
    bool m_ended = false;
    bool m_seenDocument = false;
    int m_skipChars = 0;
    std::array<QChar, 256> m_codePage{};
    int m_codePageNumber = 0;
    QHash<int, QString> m_fonts;
    int m_defaultFont = 0;
    int m_fontEntry = -1;
    QString m_fontName;
    QString m_pending;
    CharProps m_pendingProps;
    std::vector<std::pair<CharProps, QTextCharFormat>> m_formats; // made for these properties
    Picture m_picture;
    qint64 m_pixels = 0;
    int m_pictures = 0;
};

// Text of a run as 7-bit RTF, tabs and line breaks as control words.
QByteArray runText(QStringView text) {
    QByteArray out;
    qsizetype from = 0;
    const auto piece = [&](qsizetype to) {
        if (to > from)
            out += InfoSheet::rtf7Bit(text.sliced(from, to - from));
    };
    qsizetype tab = text.indexOf(u'\t');
    qsizetype line = text.indexOf(QChar::LineSeparator);
    while (tab >= 0 || line >= 0) {
        const bool isTab = line < 0 || (tab >= 0 && tab < line);
        const qsizetype at = isTab ? tab : line;
        piece(at);
        out += isTab ? "\\tab " : "\\line ";
        from = at + 1;
        (isTab ? tab : line) = text.indexOf(isTab ? QChar(u'\t') : QChar::LineSeparator, from);
    }
    piece(text.size());
    return out;
}

} // namespace

void RtfCodec::readRtf(QTextDocument &document, const QByteArray &rtf) {
    document.clear();
    // One edit, not one per run of text: otherwise each insertion lays out its paragraph
    // again to place the cursor, and leaves a step to undo.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    RtfReader reader(document, rtf);
    reader.run();
    document.setUndoRedoEnabled(undo);
}

QByteArray RtfCodec::writeRtf(const QTextDocument &document, int start, int length) {
    const qint64 end =
        std::min<qint64>(qint64(start) + std::max(length, 0), document.characterCount() - 1);
    start = std::max(start, 0);

    QStringList fonts{document.defaultFont().family()};
    const auto fontNumber = [&](const QTextCharFormat &f) {
        const QStringList families = f.fontFamilies().toStringList();
        const QString family = families.isEmpty() ? fonts.first() : families.first();
        if (!fonts.contains(family))
            fonts << family;
        return fonts.indexOf(family);
    };
    const double defaultSize = document.defaultFont().pointSizeF();
    const auto describe = [&](const QTextCharFormat &f) -> QByteArray {
        const double size = f.fontPointSize() > 0 ? f.fontPointSize() : defaultSize;
        QByteArray p = "\\f" + QByteArray::number(fontNumber(f)) + "\\fs" +
                       QByteArray::number(qRound(size * 2));
        if (f.fontWeight() >= QFont::Bold)
            p += "\\b";
        if (f.fontItalic())
            p += "\\i";
        if (f.fontUnderline())
            p += "\\ul";
        return p + ' ';
    };
    // A sheet has a handful of formats and thousands of runs.
    QHash<int, QByteArray> described;
    const auto props = [&](int index, const QTextCharFormat &f) -> QByteArray {
        auto it = described.constFind(index);
        if (it == described.constEnd())
            it = described.insert(index, describe(f));
        return *it;
    };

    QByteArray body;
    for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        body += "\\pard\\plain";
        body += props(block.charFormatIndex(), block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const qint64 from = std::max<qint64>(fragment.position(), start);
            const qint64 to = std::min<qint64>(fragment.position() + fragment.length(), end);
            if (from >= to)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const QByteArray png = LogoLoader::pngBytes(
                    document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                        .value<QImage>());
                for (qint64 i = from; i < to; ++i)
                    body += InfoSheet::rtfPngPicture(png, qRound(image.width()),
                                                     qRound(image.height()));
                continue;
            }
            body += "{\\plain";
            body += props(fragment.charFormatIndex(), format);
            body +=
                runText(QStringView(fragment.text()).sliced(from - fragment.position(), to - from));
            body += '}';
        }
        if (block.position() + block.length() - 1 < end)
            body += "\\par\r\n";
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fnil " + runText(fonts[i]) + ";}";
    rtf += "}\r\n";
    rtf += body;
    rtf += '}';
    return rtf;
}
