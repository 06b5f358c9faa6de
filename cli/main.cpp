#include "cli/planexporter.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvalo-plan"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runPlanExporter(app.arguments().mid(1), out, err);
}
