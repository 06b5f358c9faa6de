// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

/**
 * Every file the program writes goes through here: written whole or not at all. A failed
 * write (a full disk, a folder without the right to write) leaves the earlier file as it was.
 */
namespace AtomicFile {

/**
 * Replaces the file at the path with the bytes; raises AppError when it cannot: 61 for a
 * full disk, 76 for a missing folder, 70 without the right to write, 75 otherwise.
 */
void write(const QString &path, const QByteArray &bytes);

/** The same without the error: false when the file could not be written. */
bool tryWrite(const QString &path, const QByteArray &bytes);

} // namespace AtomicFile
