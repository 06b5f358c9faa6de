// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/application.h"

#include "core/version.h"
#include "files/appsettings.h"
#include "shell/deferredicons.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

void setUpApplication() {
    QApplication::setApplicationName(AppSettings::applicationName);
    QApplication::setApplicationVersion(programVersion());
    // The desktop entry's name: by it the task bar finds the windows' icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.korvalo.korvalo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvalo/icons/korvalo.svg")));
    // A fresh copy of the style Qt chose, or of the one asked for with -style, underneath.
    QApplication::setStyle(
        new DeferredIconStyle(QStyleFactory::create(QApplication::style()->name())));

    // German throughout, whatever the machine's locale: standard buttons say "Ja", "Nein".
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    auto *qtTranslation = new QTranslator(qApp);
    if (qtTranslation->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslation);
}
