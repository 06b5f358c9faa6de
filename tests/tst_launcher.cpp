// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "output/launcher.h"
#include "views/aboutdialog.h"

#include "testhelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Icon = UserInterface::Icon;

class TestLauncher : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    /** A stand-in program: a shell script with the given body, in `folder` or else `dir`. */
    QString script(const QString &name, const QByteArray &body, const QString &folder = {}) {
        const QString path = QDir(folder.isEmpty() ? dir.path() : folder).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("#!/bin/sh\n" + body + '\n');
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

private slots:
    void messagesOfResults_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero") << 0 << "Unbekannter Fehler";
        QTest::newRow("file") << 2 << "Datei wurde nicht gefunden";
        QTest::newRow("path") << 3 << "Pfad wurde nicht gefunden";
        QTest::newRow("unlisted") << 4 << "Unbekannter Fehler";
        QTest::newRow("exe") << 11 << "Fehler in EXE Datei";
        QTest::newRow("association") << 31 << "Ungültige Dateierweiterung";
        QTest::newRow("dll") << 32 << "DLL wurde nicht gefunden";
        QTest::newRow("first success") << 33 << QString();
        QTest::newRow("success") << 42 << QString();
    }

    void messagesOfResults() {
        QFETCH(int, result);
        QFETCH(QString, message);
        RecordingUserInterface ui;
        FakeLauncher launcher;
        launcher.result = result;
        QCOMPARE(open_prog(launcher, ui, QStringLiteral("C:/x.doc")), result);
        QCOMPARE(launcher.opened, QStringList{QStringLiteral("C:/x.doc")});
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(ui.messages[0].text, message);
            QCOMPARE(ui.messages[0].icon, Icon::None);
            QCOMPARE(ui.messages[0].title, QStringLiteral("Korvalo"));
            QCOMPARE(ui.messages[0].buttons, UserInterface::Buttons::Ok);
        }
    }

    void realXdgOpenOnAMissingFile() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            QSKIP("xdg-open is not installed");
        RecordingUserInterface ui;
        XdgLauncher launcher;
        open_prog(launcher, ui, dir.filePath(QStringLiteral("Anleitung.mht")));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Datei wurde nicht gefunden"));
    }

    void exitCodesOfTheLauncher_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("result");
        QTest::newRow("opened") << QByteArray("exit 0") << 42;
        QTest::newRow("bad arguments") << QByteArray("exit 1") << 0;
        QTest::newRow("no such file") << QByteArray("exit 2") << 2;
        QTest::newRow("no handler") << QByteArray("exit 3") << 31;
        QTest::newRow("handler failed") << QByteArray("exit 4") << 0;
        QTest::newRow("killed") << QByteArray("kill -9 $$") << 0;
        // A launcher that waits for its handler has handed over: success, without waiting.
        QTest::newRow("still running") << QByteArray("sleep 30") << 42;
    }

    void exitCodesOfTheLauncher() {
        QFETCH(QByteArray, body);
        QFETCH(int, result);
        XdgLauncher launcher(script(QStringLiteral("launch"), body), 300);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(launcher.open(QStringLiteral("x")), result);
        QVERIFY(clock.elapsed() < 10000);
    }

    void theLinkArrivesUnchanged() {
        // One argument, no shell between: blanks, quotes and '&' arrive as typed.
        const QString out = dir.filePath(QStringLiteral("argument"));
        XdgLauncher launcher(script(QStringLiteral("echo-arg"),
                                    "printf '%s|%s' \"$1\" \"$#\" > '" + out.toUtf8() + "'"),
                             5000, script(QStringLiteral("mime-any"), "echo handler.desktop"));
        const QString link = QStringLiteral("mailto:a b@x.example?subject=K & \"O\";$(id)");
        QCOMPARE(launcher.open(link), 42);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), link + u"|1");
    }

    // The desktop is asked for a handler before anything is launched; xdg-open's own
    // answer for "no handler" is 3 in its generic mode and 4 under the big desktops.
    void handlerAskedFirst_data() {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<bool>("mail"); // else the help
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QString>("message");
        const QString none = QStringLiteral("Ungültige Dateierweiterung");
        QTest::newRow("GNOME, help, no viewer") << QByteArray("GNOME") << false << false << none;
        QTest::newRow("GNOME, mail, handled") << QByteArray("GNOME") << true << true << QString();
        QTest::newRow("KDE, mail, no mail program") << QByteArray("KDE") << true << false << none;
        QTest::newRow("XFCE, help, handled") << QByteArray("XFCE") << false << true << QString();
        QTest::newRow("generic, mail, no mail program") << QByteArray() << true << false << none;
    }
    void handlerAskedFirst() {
        QFETCH(QByteArray, desktop);
        QFETCH(bool, mail);
        QFETCH(bool, handled);
        QFETCH(QString, message);
        QTemporaryDir bin;
        const QString launched = bin.filePath(QStringLiteral("launched"));
        const QByteArray handler = handled ? "echo korvalo-viewer.desktop" : "true";
        script(QStringLiteral("xdg-mime"),
               "case \"$1 $2 $3\" in\n"
               "'query filetype '*.mht) echo application/x-mimearchive ;;\n"
               "'query default application/x-mimearchive'|"
               "'query default x-scheme-handler/mailto') " +
                   handler +
                   " ;;\n"
                   "*) exit 5 ;;\nesac",
               bin.path());
        script(QStringLiteral("xdg-open"),
               ": > '" + launched.toUtf8() + "'\n" +
                   (handled ? "exit 0" : "[ -z \"$XDG_CURRENT_DESKTOP\" ] && exit 3\nexit 4"),
               bin.path());
        const QString help = dir.filePath(QStringLiteral("Anleitung.mht"));
        QFile(help).open(QIODevice::WriteOnly);
        const QByteArray path = qgetenv("PATH");
        const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        RecordingUserInterface ui;
        XdgLauncher launcher;
        open_prog(launcher, ui,
                  mail ? QStringLiteral("mailto:praxis@korvalo.example?subject=KORVALO") : help);
        qputenv("PATH", path);
        qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(QFile::exists(launched), handled);
    }

    void noLauncherProgramMeansNoHandler() {
        XdgLauncher launcher(dir.filePath(QStringLiteral("not-there")));
        QCOMPARE(launcher.open(QStringLiteral("x")), Launcher::noAssociation);
    }

    void aboutBoxTexts() {
        RecordingUserInterface ui;
        AppSettings settings;
        const ErrorReporter errors = settings.errorReporter(ui);
        AboutDialog about(errors);
        const auto text = [&](const char *name) {
            return about.findChild<QLabel *>(QLatin1StringView(name))->text();
        };
        QCOMPARE(about.windowTitle(), QStringLiteral("Info "));
        QCOMPARE(text("lblTitle"), QStringLiteral("KORVALO ® Diätplanung für Heimtiere"));
        QCOMPARE(text("lblVersion"), QStringLiteral("Version 1.0.0"));
        QCOMPARE(text("lblDescription"),
                 QStringLiteral("® Diätplanung für Heimtiere - Korvalo Software / "
                                "Musterstraße 1, 12345 Musterstadt"));
        QVERIFY(text("lblCopyright").startsWith(QStringLiteral("Copyright")));
        QVERIFY(text("lblNotice").size() > 200);
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("picIcon"))->pixmap().isNull());
        QCOMPARE(AboutDialog::versionText(1, 2, 64), QStringLiteral("Version 1.2.64"));
        QVERIFY(ui.messages.isEmpty());
    }

    void systemInformation_data() {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<bool>("started");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("kde") << "kinfocenter" << true;
        QTest::newRow("gnome") << "gnome-system-monitor" << true;
    }

    void systemInformation() {
        QFETCH(QString, installed);
        QFETCH(bool, started);
        QTemporaryDir bin;
        const QString marker = bin.filePath(QStringLiteral("started"));
        if (!installed.isEmpty()) {
            QFile file(bin.filePath(installed));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n: > '" + marker.toUtf8() + "'\n");
            file.close();
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        RecordingUserInterface ui;
        AppSettings settings;
        const ErrorReporter errors = settings.errorReporter(ui);
        AboutDialog about(errors);
        about.show();
        about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
        qputenv("PATH", path);
        QVERIFY(about.isVisible()); // the box stays open either way
        if (started) {
            QVERIFY(ui.messages.isEmpty());
            QTRY_VERIFY(QFile::exists(marker));
        } else {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.messages[0].text,
                     QStringLiteral("Systeminformationsprogramm zur Zeit nicht verfügbar."));
            QCOMPARE(ui.messages[0].icon, Icon::None);
        }
        about.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
