// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

class QTextDocument;

/**
 * The RTF reader and writer of the info sheet, without widgets. The reader takes what the
 * program writes (runs of plain, bold, underlined and sized text in the declared code page,
 * Unicode escapes, PNG and JPEG pictures) and skips the rest.
 */
namespace RtfCodec {

/** Reads RTF into a document, replacing its content; never fails, whatever the bytes. */
void readRtf(QTextDocument &document, const QByteArray &rtf);

/**
 * RTF (Windows-1252, 7-bit clean) of the characters from start, length of them, counting
 * each paragraph end as one character; pictures included.
 */
QByteArray writeRtf(const QTextDocument &document, int start, int length);

} // namespace RtfCodec
