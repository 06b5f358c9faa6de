#include "files/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFolder {

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString dataFile(const QString &name) {
    const QString beside = path() + u'/' + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(path() + QStringLiteral("/../share/korvalo/") + name);
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString reportsFolder() {
    const QFileInfo beside(path() + QStringLiteral("/Reports"));
    if (beside.isDir() && beside.isWritable())
        return beside.filePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents + QStringLiteral("/Korvalo/Reports");
}

} // namespace ProgramFolder
