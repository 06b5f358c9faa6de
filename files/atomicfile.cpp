// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/atomicfile.h"

#include "core/apperror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

AppError writeError(const QFileDevice &file, const QString &path) {
    const QFileInfo info(path);
    if (file.error() == QFileDevice::ResourceError)
        return AppError(AppError::DiskFull);
    if (!info.absoluteDir().exists())
        return AppError(AppError::PathNotFound);
    if (!QFileInfo(info.absolutePath()).isWritable() || (info.exists() && !info.isWritable()))
        return AppError(AppError::PermissionDenied);
    return AppError(AppError::PathFileAccess);
}

} // namespace

namespace AtomicFile {

void write(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(file, path);
    // QSaveFile's commit does not see a failed final flush (a full disk): a small file stays
    // in the buffer until then, and an empty one would be renamed over the old. Flush first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const AppError error = writeError(file, path);
        file.cancelWriting();
        throw error;
    }
    if (!file.commit())
        throw writeError(file, path);
}

bool tryWrite(const QString &path, const QByteArray &bytes) {
    try {
        write(path, bytes);
        return true;
    } catch (const AppError &) {
        return false;
    }
}

} // namespace AtomicFile
