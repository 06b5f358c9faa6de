// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/browsercontrol.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "files/appsettings.h"
#include "files/programfolder.h"
#include "shell/application.h"
#include "shell/commandline.h"
#include "shell/gdtbridge.h"
#include "shell/mainwindow.h"
#include "shell/startwindow.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    // Read before the application object, which needs a display: --help and --version do not.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Request request = CommandLine::read(arguments);
    if (request.action != CommandLine::Request::Action::Start) {
        const bool printed = request.action == CommandLine::Request::Action::Print;
        QTextStream(printed ? stdout : stderr) << request.text;
        return printed ? 0 : 1;
    }

    prepareBrowserEngine();
    QApplication app(argc, argv);
    setUpApplication();
    // The practice system starts us for each patient; a Korvalo running already takes the
    // request from the file it watches.
    if (!request.gdtFile.isEmpty() && GdtBridge::takenByRunningProgram(request.gdtFile))
        return 0;

    StartWindow start;
    start.show();
    start.stay(1000);

    AppSettings settings;
    QtUserInterface ui;
    const QString folder = ProgramFolder::path();
    try {
        // Lets the other programs of the family find this one.
        settings.setValue(AppSettings::Path, folder);
    } catch (const AppError &e) {
        // The long form names the file that could not be written.
        settings.errorReporter(ui).ReportError(e, QStringLiteral("frmstart-Form_Load"),
                                               folder + u"; " + AppSettings::fileName());
    }

    MainWindow window;
    window.load();
    // The desktop hands us a case file that was opened with us, a restored session the one
    // that was open.
    if (!request.caseFile.isEmpty())
        window.openCaseFile(request.caseFile);
    else if (!request.gdtFile.isEmpty())
        window.openGdtRequest(request.gdtFile);
    start.close();
    return QApplication::exec();
}
