// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class AppSettings;

/** The logo pictures of the info sheet and the printouts. */
namespace LogoLoader {

/** The program's own small logo, which the user cannot replace. */
inline const QString smallLogoName = QStringLiteral("kvl_logo100.gif");
/** The default of the user's logo. */
inline const QString defaultLogoName = QStringLiteral("kvl_logo.gif");

/**
 * The file of a logo: the program's small logo always from the program's data files;
 * any other name from the setting "PicPath", or the data file of that name when the
 * setting is absent.
 */
QString logoPath(const QString &piclogoname, const AppSettings &settings);

/**
 * A picture file (BMP, GIF, PNG, JPEG) at most 300 x 300 pixels, larger ones scaled
 * down keeping their aspect. A null image when the file is missing, is no picture or is
 * too large to be sensible.
 */
QImage readLogo(const QString &path);

/** The picture of logoPath, as readLogo gives it. */
QImage LoadPic(const QString &piclogoname, const AppSettings &settings);

/** The picture as PNG for embedding; empty for a null image. */
QByteArray pngBytes(const QImage &image);

} // namespace LogoLoader
