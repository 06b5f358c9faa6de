// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "output/launcher.h"
#include "views/aboutdialog.h"

#include "testhelpers.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <utility>

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

    bool hourglassLost = false;

    /**
     * Opens as the program does, with open_prog when given a user interface, and waits for
     * the result; -1 when none came. The hourglass must show until the result is there.
     */
    int openWaiting(Launcher &launcher, const QString &docName, UserInterface *ui = nullptr) {
        std::optional<int> result;
        const Launcher::Done done = [&](int r) { result = r; };
        if (ui)
            open_prog(launcher, *ui, docName, done);
        else
            launcher.open(docName, done);
        (void)QTest::qWaitFor(
            [&] {
                const QCursor *cursor = QApplication::overrideCursor();
                if (!result && !(cursor && cursor->shape() == Qt::WaitCursor))
                    hourglassLost = true;
                return result.has_value();
            },
            30000);
        if (QApplication::overrideCursor())
            hourglassLost = true;
        return result.value_or(-1);
    }

    /** A file whose name tells no type, so that xdg-open alone decides. */
    QString untyped() {
        const QString path = dir.filePath(QStringLiteral("x"));
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }

private slots:
    void cleanup() { QVERIFY(!std::exchange(hourglassLost, false)); }

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
        QCOMPARE(openWaiting(launcher, QStringLiteral("C:/x.doc"), &ui), result);
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
        openWaiting(launcher, dir.filePath(QStringLiteral("Anleitung.mht")), &ui);
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
        QCOMPARE(openWaiting(launcher, untyped()), result);
        QVERIFY(clock.elapsed() < 10000);
    }

    void theLinkArrivesUnchanged() {
        // One argument, no shell between: blanks, quotes and '&' arrive as typed.
        const QString out = dir.filePath(QStringLiteral("argument"));
        XdgLauncher launcher(script(QStringLiteral("echo-arg"),
                                    "printf '%s|%s' \"$1\" \"$#\" > '" + out.toUtf8() + "'"),
                             5000, script(QStringLiteral("mime-any"), "echo handler.desktop"));
        const QString link = QStringLiteral("mailto:a b@x.example?subject=K & \"O\";$(id)");
        QCOMPARE(openWaiting(launcher, link), 42);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), link + u"|1");
    }

    // A missing file is told before anything is asked or launched. Then the desktop is asked
    // for a handler of the link's scheme, or of the type the file's name tells and its parents:
    // xdg-mime cannot name a file's type under KDE without KDE's tools. xdg-open's own answer
    // for "no handler" is 3 in its generic mode and 4 under the big desktops.
    void handlerAskedFirst_data() {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<QByteArray>("kdeVersion");
        QTest::addColumn<bool>("mail");          // else the help
        QTest::addColumn<QByteArray>("handled"); // the type with a handler, if any
        QTest::addColumn<bool>("answers");       // xdg-mime can tell
        QTest::addColumn<bool>("helpThere");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("asked"); // xdg-mime calls
        const QString none = QStringLiteral("Ungültige Dateierweiterung");
        const QString missing = QStringLiteral("Datei wurde nicht gefunden");
        const QString unknown = QStringLiteral("Unbekannter Fehler");
        const QByteArray parent = "multipart/related";
        const QByteArray mailto = "x-scheme-handler/mailto";
        const auto row = [](const char *name, const QByteArray &desktop,
                            const QByteArray &kdeVersion, bool mail, const QByteArray &handled,
                            bool answers, bool helpThere, const QString &message, int asked) {
            QTest::newRow(name) << desktop << kdeVersion << mail << handled << answers << helpThere
                                << message << asked;
        };
        struct Desktop {
            const char *name;
            QByteArray value;
            QByteArray kdeVersion;
        };
        for (const Desktop &d : {Desktop{"GNOME", "GNOME", {}}, Desktop{"KDE", "KDE", {}},
                                 Desktop{"KDE 5", "KDE", "5"}, Desktop{"XFCE", "XFCE", {}},
                                 Desktop{"generic", {}, {}}}) {
            const auto name = [&](const char *what) {
                return (QLatin1StringView(d.name) + u", " + QLatin1StringView(what)).toUtf8();
            };
            const QByteArray v = d.value, k = d.kdeVersion;
            row(name("help, handled"), v, k, false, parent, true, true, {}, 2);
            row(name("help, no viewer"), v, k, false, {}, true, true, none, 2);
            row(name("help missing"), v, k, false, parent, true, false, missing, 0);
            row(name("mail, handled"), v, k, true, mailto, true, true, {}, 1);
            row(name("mail, no mail program"), v, k, true, {}, true, true, none, 1);
        }
        row("GNOME, help, viewer for its own type", "GNOME", {}, false, "application/x-mimearchive",
            true, true, {}, 1);
        // Content sniffing says message/rfc822, but the big desktops' openers go by the name.
        row("XFCE, help, only a mail reader", "XFCE", {}, false, "message/rfc822", true, true, none,
            2);
        // When xdg-mime cannot tell, xdg-open tries and its exit code decides.
        row("KDE 5, help, cannot tell, viewer", "KDE", "5", false, parent, false, true, {}, 1);
        row("KDE, mail, cannot tell, no mail program", "KDE", {}, true, {}, false, true, unknown,
            1);
        row("generic, help, cannot tell, no viewer", {}, {}, false, {}, false, true, none, 1);
        row("generic, help missing, cannot tell", {}, {}, false, parent, false, false, missing, 0);
    }
    void handlerAskedFirst() {
        QFETCH(QByteArray, desktop);
        QFETCH(QByteArray, kdeVersion);
        QFETCH(bool, mail);
        QFETCH(QByteArray, handled);
        QFETCH(bool, answers);
        QFETCH(bool, helpThere);
        QFETCH(QString, message);
        QFETCH(int, asked);
        QTemporaryDir bin;
        const QByteArray launched = bin.filePath(QStringLiteral("launched")).toUtf8();
        const QByteArray calls = bin.filePath(QStringLiteral("calls")).toUtf8();
        // As xdg-mime answers on a desktop without its own tools: the file type needs them
        // under KDE and comes from the content in the generic mode.
        script(QStringLiteral("xdg-mime"),
               "echo \"$*\" >> '" + calls +
                   "'\n"
                   "case \"$1 $2\" in\n"
                   "'query filetype') case \"$XDG_CURRENT_DESKTOP\" in\n"
                   "  KDE) ;;\n  '') echo message/rfc822 ;;\n"
                   "  *) echo application/x-mimearchive ;;\n  esac ;;\n"
                   "'query default') " +
                   (answers ? "[ \"$3\" = '" + handled +
                                  "' ] && echo korvalo-viewer.desktop\n"
                                  "  exit 0 ;;\n"
                            : QByteArray("exit 4 ;;\n")) +
                   "*) exit 1 ;;\nesac",
               bin.path());
        script(QStringLiteral("xdg-open"),
               ": > '" + launched + "'\n" +
                   (handled.isEmpty() ? "[ -z \"$XDG_CURRENT_DESKTOP\" ] && exit 3\nexit 4"
                                      : "exit 0"),
               bin.path());
        const QString help = bin.filePath(QStringLiteral("Anleitung.mht"));
        if (helpThere)
            QVERIFY(QFile(help).open(QIODevice::WriteOnly));
        const auto setEnv = [](const char *name, const QByteArray &value) {
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        const QByteArray path = qgetenv("PATH");
        const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
        const QByteArray oldKdeVersion = qgetenv("KDE_SESSION_VERSION");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        setEnv("XDG_CURRENT_DESKTOP", desktop);
        setEnv("KDE_SESSION_VERSION", kdeVersion);
        RecordingUserInterface ui;
        XdgLauncher launcher;
        openWaiting(launcher,
                    mail ? QStringLiteral("mailto:praxis@korvalo.example?subject=KORVALO") : help,
                    &ui);
        qputenv("PATH", path);
        setEnv("XDG_CURRENT_DESKTOP", oldDesktop);
        setEnv("KDE_SESSION_VERSION", oldKdeVersion);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(QFile::exists(QString::fromUtf8(launched)),
                 helpThere && (!answers || message.isEmpty()));
        QFile log(QString::fromUtf8(calls));
        const QStringList asks =
            log.open(QIODevice::ReadOnly)
                ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                : QStringList();
        QCOMPARE(asks.size(), asked);
        QVERIFY(asks.filter(QStringLiteral("filetype")).isEmpty());
    }

    // The window keeps working while the desktop is asked and the launcher starts.
    void answersWithoutWaiting() {
        XdgLauncher launcher(script(QStringLiteral("launch-slow"), "sleep 1"), 5000,
                             script(QStringLiteral("mime-slow"), "sleep 1\necho handler.desktop"));
        std::optional<int> result;
        QElapsedTimer clock;
        clock.start();
        launcher.open(QStringLiteral("mailto:a@x.example"), [&](int r) { result = r; });
        QVERIFY(clock.elapsed() < 500);
        QVERIFY(!result);
        QTRY_COMPARE_WITH_TIMEOUT(result, std::optional<int>(Launcher::success), 10000);
        QVERIFY(!QApplication::overrideCursor());
    }

    void noLauncherProgramMeansNoHandler() {
        XdgLauncher launcher(dir.filePath(QStringLiteral("not-there")));
        QCOMPARE(openWaiting(launcher, untyped()), Launcher::noAssociation);
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
