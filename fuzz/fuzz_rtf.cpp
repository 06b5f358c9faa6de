// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the RTF reader of the info sheet. Besides crashes, hangs and
// sanitizer reports it checks that what was read, written as RTF again (as the copy command
// does), is 7-bit clean and reads back to the same text, pictures and character formats,
// and that each half of the document written on its own reads back to that half's text.
#include "controls/rtfcodec.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &rtf = {}) {
    std::fprintf(stderr, "fuzz_rtf: %s\n%s\n", what, rtf.left(2000).constData());
    std::abort();
}

void quiet(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type == QtFatalMsg)
        fail(qUtf8Printable(text));
}

// The paragraphs' characters, joined by the separator the writer counts as one character.
QString rawText(const QTextDocument &document) {
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join(QChar::ParagraphSeparator);
}

// What a reader of the RTF would see: per paragraph the runs of text with the formats the
// writer keeps (font families aside: the writer names the default font), and the pictures.
QString appearance(const QTextDocument &document) {
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString props;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                for (int i = 0; i < fragment.length(); ++i)
                    out += QStringLiteral("[picture %1x%2]")
                               .arg(qRound(image.width()))
                               .arg(qRound(image.height()));
                props.clear();
                continue;
            }
            const QString these = QStringLiteral("<%1 %2%3%4>")
                                      .arg(format.fontPointSize())
                                      .arg(format.fontWeight() >= QFont::Bold ? u'b' : u'-')
                                      .arg(format.fontItalic() ? u'i' : u'-')
                                      .arg(format.fontUnderline() ? u'u' : u'-');
            if (these != props)
                out += these;
            props = these;
            out += fragment.text();
        }
        out += u"|\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray rtf =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument first;
    RtfCodec::readRtf(first, rtf);
    // Every character and paragraph costs at least one byte of input.
    if (first.characterCount() > qsizetype(size) + 1)
        fail("the document holds more characters than the input has bytes", rtf);

    const QByteArray written = RtfCodec::writeRtf(first, 0, first.characterCount());
    for (const char c : written) {
        if (quint8(c) >= 0x80 || c == '\0')
            fail("the written RTF is not 7-bit clean", written);
    }
    QTextDocument second;
    RtfCodec::readRtf(second, written);
    if (appearance(second) != appearance(first))
        fail("the written RTF reads back differently", written);

    // Copying a part, as the copy command copies the first 10,000 characters.
    const QString text = rawText(first);
    const int half = int(text.size() / 2);
    for (const auto &[start, length] : {std::pair{0, half}, std::pair{half, int(text.size())}}) {
        const QByteArray part = RtfCodec::writeRtf(first, start, length);
        QTextDocument read;
        RtfCodec::readRtf(read, part);
        if (rawText(read) != text.mid(start, length))
            fail("a part of the document reads back differently", part);
    }
    return 0;
}
