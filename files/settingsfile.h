// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

/**
 * A settings file in the INI form the desktop's Qt programs share, read and changed one line
 * at a time: a change replaces the one key's line or adds it to its section, and every other
 * byte (comments, the order, values other programs wrote in their own way) stays as it was.
 *
 * Values are read as they stand after "=", so "a,b" and "ä;ö" are not cut at the comma or the
 * semicolon; a value in quotes is read with the INI escapes. A value is written without quotes
 * unless it needs them to be read back the same by Qt's own reader.
 */
namespace SettingsFile {

/** The value of the key in the section of the file's bytes; nothing when it is not there. */
std::optional<QString> valueIn(const QByteArray &bytes, QStringView section, QStringView key);

/** The bytes with the key's value set: its line replaced, or added to the section's end. */
QByteArray withValue(const QByteArray &bytes, QStringView section, QStringView key,
                     const QString &text);

/** The value in the file; nothing when the file or the key is not there or cannot be read. */
std::optional<QString> value(const QString &path, QStringView section, QStringView key);

/**
 * Sets the value in the file, which is replaced atomically; nothing is written when the value
 * is already the one stored. Raises AppError: 70 when the file cannot be read (it is left as
 * it is) or written, 61 for a full disk, 75 otherwise.
 */
void setValue(const QString &path, QStringView section, QStringView key, const QString &text);

} // namespace SettingsFile
