// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the RTF reader of the info sheet. Besides crashes, hangs and
// sanitizer reports it checks that what was read, written as RTF again (as the copy command
// does), is 7-bit clean and reads back to the same text, pictures and character formats,
// or, for inputs of odd length, that a part of the document written on its own reads back to
// that part's text.
#include "controls/rtfcodec.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

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
// Runs with equal formats are joined: the reader may cut a run where the writer did not.
struct Run {
    double size = 0;
    int flags = 0; // bold, italic, underline; -1 for a picture, -2 for a paragraph's end
    QString text;
    bool operator==(const Run &) const = default;
};

std::vector<Run> appearance(const QTextDocument &document) {
    std::vector<Run> out;
    const auto add = [&](Run run) {
        if (run.flags >= 0 && !out.empty() && out.back().flags == run.flags &&
            out.back().size == run.size)
            out.back().text += run.text;
        else
            out.push_back(std::move(run));
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                for (int i = 0; i < fragment.length(); ++i)
                    add({double(qRound(image.width())), -1,
                         QString::number(qRound(image.height()))});
                continue;
            }
            add({format.fontPointSize(),
                 (format.fontWeight() >= QFont::Bold ? 1 : 0) | (format.fontItalic() ? 2 : 0) |
                     (format.fontUnderline() ? 4 : 0),
                 fragment.text()});
        }
        add({0, -2, {}});
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

    // One of the two round trips per input, by the parity of its length: each costs a write
    // and a read, and a mutation that inserts or erases a byte moves an input to the other.
    const auto sevenBit = [](const QByteArray &written) {
        for (const char c : written) {
            if (quint8(c) >= 0x80 || c == '\0')
                fail("the written RTF is not 7-bit clean", written);
        }
    };
    if (size % 2 == 0) {
        const QByteArray written = RtfCodec::writeRtf(first, 0, first.characterCount());
        sevenBit(written);
        QTextDocument second;
        RtfCodec::readRtf(second, written);
        if (appearance(second) != appearance(first))
            fail("the written RTF reads back differently", written);
    } else {
        // Copying a part, as the copy command copies the first 10,000 characters: the middle
        // half, so that the part both starts and ends inside the text.
        const QString text = rawText(first);
        const int start = int(text.size() / 4);
        const int length = int(text.size() / 2);
        const QByteArray part = RtfCodec::writeRtf(first, start, length);
        sevenBit(part);
        QTextDocument read;
        RtfCodec::readRtf(read, part);
        if (rawText(read) != text.mid(start, length))
            fail("a part of the document reads back differently", part);
    }
    return 0;
}
