#include "core/apperror.h"
#include "core/errorreport.h"
#include "files/appsettings.h"
#include "files/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/startwindow.h"
#include "views/browsercontrol.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[]) {
    prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppSettings::applicationName);
    QApplication::setApplicationDisplayName(AppSettings::applicationName);
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(KORVALO_VERSION_MAJOR)
                                            .arg(KORVALO_VERSION_MINOR)
                                            .arg(KORVALO_VERSION_PATCH));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvalo/icons/korvalo.svg")));

    // German throughout, whatever the machine's locale: standard buttons say "Ja", "Nein".
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    QTranslator qtTranslation;
    if (qtTranslation.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    StartWindow start;
    start.show();
    start.stay(1000);

    AppSettings settings;
    QtUserInterface ui;
    try {
        // Lets the other programs of the family find this one.
        settings.setValue(AppSettings::Path, ProgramFolder::path());
    } catch (const AppError &e) {
        ReportError(ui, settings, QStringLiteral("XXX"), e, QStringLiteral("frmstart-Form_Load"));
    }

    MainWindow window;
    window.load();
    // The desktop hands us a case file that was opened with us.
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        window.openCaseFile(arguments.at(1));
    start.close();
    return QApplication::exec();
}
