// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/programfolder.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFolder {

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString dataFile(const QString &name) {
    return dataFile(name, path());
}

QString dataFile(const QString &name, const QString &programFolder) {
    // Beside the program in the build tree, <prefix>/share/korvalo once installed.
    const QString beside = programFolder + u'/' + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(programFolder + QStringLiteral("/../share/korvalo/") + name);
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString reportsFolder() {
    return reportsFolder(path());
}

QString reportsFolder(const QString &programFolder) {
    // An installed program lives in a system folder nobody may write to.
    const QFileInfo beside(programFolder + QStringLiteral("/Reports"));
    if (beside.isDir() && beside.isWritable())
        return beside.filePath();
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir::isAbsolutePath(documents)) // no home folder known: not the working folder
        documents = QDir::homePath();
    return QDir::cleanPath(documents + QStringLiteral("/Korvalo/Reports"));
}

QString caseFolderFor(UserInterface &ui) {
    const QString folder = reportsFolder();
    if (QDir().mkpath(folder))
        return folder;
    static bool told = false;
    if (!told) {
        told = true;
        ui.message(str(S::NoCaseFolder).arg(QDir::toNativeSeparators(folder)),
                   UserInterface::Icon::Exclamation, str(S::Product));
    }
    return QDir::homePath();
}

} // namespace ProgramFolder
