// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/browsercontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <unistd.h>

namespace {

BrowserFactory loadFactory() {
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList errors;
    const QStringList dirs{programDir + u"/../plugins",
                           programDir + u"/../" + QLatin1StringView(KORVALO_MODULEDIR)};
    for (const QString &dir : dirs) {
        QLibrary module(QDir::cleanPath(dir) + u"/korvalo_browser");
        // Never unloaded: the web engine cannot be shut down and started again.
        if (auto factory = reinterpret_cast<BrowserFactory>(module.resolve(browserFactorySymbol)))
            return factory;
        errors.append(module.errorString());
    }
    qWarning("Browser module not loaded: %s", qPrintable(errors.join(u"; ")));
    return nullptr;
}

BrowserFactory factory() {
    static const BrowserFactory factory = loadFactory();
    return factory;
}

} // namespace

bool browserModuleAvailable() {
    return factory() != nullptr;
}

BrowserControl *createBrowserControl(QWidget *parent, const QString &home, const QString &search) {
    const BrowserFactory make = factory();
    return make ? make(parent, home, search) : nullptr;
}

void prepareBrowserEngine() {
    // The engine shares its GL context with Qt's; the application object makes one only when
    // asked before it exists, and the engine, loaded later, warns without it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
