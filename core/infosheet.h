// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

/** The owner info sheet as RTF text: fixed pieces, the string table's advice and the pet. */
namespace InfoSheet {

/** The pet's name as typed, or a possessive and the species word ("Ihre Katze", "Ihr Tier"). */
QString petRef(const QString &petName, const QString &species);

/**
 * The whole sheet as Windows-1252 bytes. The pet's name is escaped; a PNG logo, when
 * given, stands at the top of the document above the title; the daily ration, when
 * given, in a paragraph of its own below it. A ration worked out in figures is to be fed
 * exactly, instead of the general advice to cut by a third.
 */
QByteArray infoSheetRtf(const QString &petName, const QString &species,
                        const QByteArray &logoPng = {}, const QString &ration = {},
                        bool rationInFigures = false);

/**
 * Text typed by a user, made safe for RTF: backslash and braces escaped, characters the
 * code page lacks (and control characters) as \uN? so every reader shows them as typed.
 */
QString rtfEscaped(const QString &text);

/** The same as 7-bit RTF: Windows-1252 characters beyond ASCII as \'hh. */
QByteArray rtf7Bit(QStringView text);

/**
 * A PNG picture as an RTF \pict group, shown at the given size in pixels at 96 dpi. Empty
 * when the bytes are not a PNG.
 */
QByteArray rtfPngPicture(const QByteArray &png, int width, int height);

/** Width and height from a PNG's header; {0, 0} when the bytes are not a PNG. */
std::pair<int, int> pngSize(const QByteArray &png);

} // namespace InfoSheet

using InfoSheet::infoSheetRtf;
using InfoSheet::petRef;
