// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/logoloader.h"

#include "files/appsettings.h"
#include "files/programfolder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace LogoLoader {

namespace {

constexpr int maxSide = 300;
// Beyond these a file is no logo: refused before it is decoded.
constexpr int maxFileSide = 4000;
constexpr qint64 maxFileBytes = 20 * 1024 * 1024;

} // namespace

QString logoPath(const QString &piclogoname, const AppSettings &settings) {
    if (piclogoname == smallLogoName)
        return ProgramFolder::dataFile(piclogoname);
    const QString stored = settings.value(AppSettings::applicationName,
                                          AppSettings::keyName(AppSettings::PicPath), QString());
    return stored.isEmpty() ? ProgramFolder::dataFile(piclogoname) : stored;
}

QImage readLogo(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxFileBytes)
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.width() > maxFileSide || size.height() > maxFileSide)
        return {};
    QImage image = reader.read();
    if (image.isNull() || image.width() > maxFileSide || image.height() > maxFileSide)
        return {};
    if (image.width() > maxSide || image.height() > maxSide)
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage LoadPic(const QString &piclogoname, const AppSettings &settings) {
    return readLogo(logoPath(piclogoname, settings));
}

QByteArray pngBytes(const QImage &image) {
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

} // namespace LogoLoader
