#include "core/stringtable.h"
#include "files/appsettings.h"
#include "files/programfolder.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppSettings::applicationName);
    QApplication::setApplicationDisplayName(AppSettings::applicationName);

    AppSettings settings;
    settings.setValue(AppSettings::Path, ProgramFolder::path());

    QMainWindow window;
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowTitle(str(901));
    window.setCentralWidget(new QLabel(str(901)));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
