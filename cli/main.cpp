// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/planexporter.h"
#include "core/version.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QtMessageHandler qtHandler = nullptr;

// The offscreen platform tells about window features it lacks; that is no news for callers
// of the exporter, whose stderr carries what the program would show.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (!text.startsWith(u"This plugin does not support "))
        qtHandler(type, context, text);
}

} // namespace

int main(int argc, char *argv[]) {
    // Printouts need widgets; without them no display is needed at all.
    bool printing = false;
    for (int i = 1; i < argc; ++i)
        printing = printing || std::strncmp(argv[i], "--pdf-", 6) == 0 ||
                   std::strcmp(argv[i], "--gdt-out") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qtHandler = qInstallMessageHandler(quietOffscreen);
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("korvalo-plan"));
    QCoreApplication::setApplicationVersion(programVersion());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runPlanExporter(QCoreApplication::arguments().mid(1), out, err);
}
