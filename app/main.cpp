// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/browsercontrol.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "files/appsettings.h"
#include "files/programfolder.h"
#include "shell/application.h"
#include "shell/mainwindow.h"
#include "shell/startwindow.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    prepareBrowserEngine();
    QApplication app(argc, argv);
    setUpApplication();

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
    // The desktop hands us a case file that was opened with us.
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        window.openCaseFile(arguments.at(1));
    start.close();
    return QApplication::exec();
}
