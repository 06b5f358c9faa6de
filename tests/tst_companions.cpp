// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/apperror.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "output/companions.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using Icon = UserInterface::Icon;
using Answer = UserInterface::Answer;

namespace {

const QString dosis = u"Korvalo Dosis"_s;
const QString dosisProgram = u"korvalo-dosis"_s;

QSettings store(const QString &application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, application);
}

/** Writes down what the launcher asks of the desktop; one window, number 7, may be open. */
class FakeCompanions : public Companions {
public:
    std::optional<Window> findWindow(const QString &title) override {
        steps << u"find "_s + title;
        return title == openTitle ? std::optional<Window>(7) : std::nullopt;
    }
    bool isMinimised(Window) override { return minimised; }
    void restore(Window window) override { steps << u"restore "_s + QString::number(window); }
    void bringToFront(Window window) override { steps << u"front "_s + QString::number(window); }
    void startProgram(const QString &file) override {
        steps << u"start "_s + file;
        if (startError)
            throw AppError(startError);
    }
    bool isRunning(const QString &) override { return running; }

    QString openTitle;
    bool running = false;
    bool minimised = false;
    int startError = 0;
    QStringList steps;
};

/** The real desktop, except that programs are only written down instead of started. */
class NoStartCompanions : public X11Companions {
public:
    void startProgram(const QString &file) override { started << file; }
    QStringList started;
};

/** What the test looks at on the X server, through a connection of its own. */
class XServer {
public:
    XServer()
        : m_c(xcb_connect(nullptr, nullptr)) {
        if (!xcb_connection_has_error(m_c))
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~XServer() { xcb_disconnect(m_c); }
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool viewable(xcb_window_t window) const {
        auto *reply =
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr);
        const bool result = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return result;
    }

    /** The window itself, or the frame it sits in. */
    xcb_window_t topLevel(xcb_window_t window) const {
        auto *tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, window), nullptr);
        const xcb_window_t parent = tree ? tree->parent : XCB_NONE;
        std::free(tree);
        return parent == m_root || parent == XCB_NONE ? window : parent;
    }

    xcb_window_t topmost() const {
        auto *tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, m_root), nullptr);
        const int count = tree ? xcb_query_tree_children_length(tree) : 0;
        const xcb_window_t result = count ? xcb_query_tree_children(tree)[count - 1] : XCB_NONE;
        std::free(tree);
        return result;
    }

    xcb_window_t focus() const {
        auto *reply = xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr);
        const xcb_window_t result = reply ? reply->focus : XCB_NONE;
        std::free(reply);
        return result;
    }

    /** The first value of WM_STATE, 0 (withdrawn) when it has none. */
    std::uint32_t wmState(xcb_window_t window) const {
        const QByteArray name = "WM_STATE";
        auto *atom = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, name.size(), name.constData()), nullptr);
        const xcb_atom_t wmState = atom ? atom->atom : XCB_NONE;
        std::free(atom);
        auto *reply = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, window, wmState, wmState, 0, 2), nullptr);
        std::uint32_t result = 0;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
            result = *static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        std::free(reply);
        return result;
    }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root = XCB_NONE;
};

constexpr std::uint32_t iconicState = 3;

} // namespace

class TestCompanions : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_windows;

    /** A companionwindow process showing `title`; its window, or 0 when it did not come up. */
    xcb_window_t openWindow(const QString &title, const QStringList &options = {}) {
        auto &process = m_windows.emplace_back(std::make_unique<QProcess>());
        process->setProgram(QStringLiteral(COMPANIONWINDOW));
        process->setArguments(QStringList{title} + options);
        process->start();
        while (!process->canReadLine()) {
            if (!process->waitForReadyRead(10000))
                return XCB_NONE;
        }
        const QByteArray line = process->readLine().trimmed();
        return line.startsWith("ready ") ? line.mid(6).toUInt(nullptr, 0) : XCB_NONE;
    }

    void registerCompanion(const QString &program, const QString &folder) {
        AppSettings().setValue(program, AppSettings::keyName(AppSettings::Path), folder);
    }

private slots:
    void init() {
        store(AppSettings::applicationName).clear();
        store(dosisProgram).clear();
        store(u"korvalo-traechtigkeit"_s).clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() {
        for (const auto &process : m_windows) {
            process->kill();
            process->waitForFinished();
        }
        m_windows.clear();
    }

    void steps_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("openTitle");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("startError");
        QTest::addColumn<QString>("errorValue");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");

        const QString find = u"find Korvalo Dosis"_s;
        const QString start = u"start /opt/korvalo/korvalo-dosis"_s;
        const QString missing = u"Fehler 53 - Datei nicht gefunden - Korvalo Dosis"_s;
        const QString access = u"Fehler!  75  -  Fehler beim Zugriff auf Pfad/Datei"_s;

        QTest::newRow("not registered") << false << QString() << QString() << false << 0 << u"0"_s
                                        << QStringList() << QString() << QString();
        QTest::newRow("not registered, its window open")
            << false << QString() << dosis << false << 0 << u"0"_s << QStringList() << QString()
            << QString();
        QTest::newRow("registered as absent") << true << u"XXXXX"_s << QString() << false << 0
                                              << u"0"_s << QStringList() << QString() << QString();
        QTest::newRow("empty folder")
            << true << QString() << QString() << false << 0 << u"0"_s
            << QStringList{find, u"start /korvalo-dosis"_s} << QString() << QString();
        QTest::newRow("not running")
            << true << u"/opt/korvalo"_s << QString() << false << 0 << u"0"_s
            << QStringList{find, start} << QString() << QString();
        QTest::newRow("running") << true << u"/opt/korvalo"_s << dosis << false << 0 << u"0"_s
                                 << QStringList{find, u"front 7"_s} << QString() << QString();
        QTest::newRow("running minimised")
            << true << u"/opt/korvalo"_s << dosis << true << 0 << u"0"_s
            << QStringList{find, u"restore 7"_s, u"front 7"_s} << QString() << QString();
        QTest::newRow("program file missing")
            << true << u"/opt/korvalo"_s << QString() << false << 53 << u"0"_s
            << QStringList{find, start} << missing << u"Korvalo"_s;
        QTest::newRow("program file missing, detailed reports")
            << true << u"/opt/korvalo"_s << QString() << false << 53 << u"1"_s
            << QStringList{find, start} << missing << u"Korvalo"_s;
        QTest::newRow("program file not runnable")
            << true << u"/opt/korvalo"_s << QString() << false << 75 << u"0"_s
            << QStringList{find, start} << access << u"KORVALO"_s;
        QTest::newRow("program file not runnable, detailed reports")
            << true << u"/opt/korvalo"_s << QString() << false << 75 << u"1"_s
            << QStringList{find, start} << access + u" in   -  XXX  -  openmod - open_extra"_s
            << u"KORVALO"_s;
    }

    void steps() {
        QFETCH(bool, registered);
        QFETCH(QString, folder);
        QFETCH(QString, openTitle);
        QFETCH(bool, minimised);
        QFETCH(int, startError);
        QFETCH(QString, errorValue);
        QFETCH(QStringList, steps);
        QFETCH(QString, message);
        QFETCH(QString, title);

        AppSettings settings;
        settings.setValue(AppSettings::ErrorValue, errorValue);
        if (registered)
            registerCompanion(dosisProgram, folder);
        FakeCompanions companions;
        companions.openTitle = openTitle;
        companions.minimised = minimised;
        companions.startError = startError;
        RecordingUserInterface ui;

        open_extra(dosis, dosisProgram, settings.errorReporter(ui), settings, companions);

        QCOMPARE(companions.steps, steps);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(ui.messages[0].text, message);
            QCOMPARE(ui.messages[0].icon, Icon::Critical);
            QCOMPARE(ui.messages[0].title, title);
            QCOMPARE(ui.messages[0].buttons, UserInterface::Buttons::Ok);
            QVERIFY(ui.cursorRestores > 0);
        }
    }

    void runningWithoutAWindow_data() {
        QTest::addColumn<QString>("openTitle");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("started");

        QTest::newRow("its window found") << dosis << true << QList<Answer>() << false << false;
        QTest::newRow("no window, not running")
            << QString() << false << QList<Answer>() << false << true;
        QTest::newRow("no window, running, not again")
            << QString() << true << QList<Answer>{Answer::No} << true << false;
        QTest::newRow("no window, running, box closed")
            << QString() << true << QList<Answer>() << true << false;
        QTest::newRow("no window, running, once more")
            << QString() << true << QList<Answer>{Answer::Yes} << true << true;
    }

    /** Wayland lists no windows to a client: a companion that runs is found as a process. */
    void runningWithoutAWindow() {
        QFETCH(QString, openTitle);
        QFETCH(bool, running);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, asked);
        QFETCH(bool, started);

        registerCompanion(dosisProgram, u"/opt/korvalo"_s);
        AppSettings settings;
        FakeCompanions companions;
        companions.openTitle = openTitle;
        companions.running = running;
        RecordingUserInterface ui;
        ui.answers = answers;

        open_extra(dosis, dosisProgram, settings.errorReporter(ui), settings, companions);

        QCOMPARE(companions.steps.contains(u"start /opt/korvalo/korvalo-dosis"_s), started);
        QCOMPARE(companions.steps.contains(u"front 7"_s), !openTitle.isEmpty());
        QCOMPARE(ui.messages.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(ui.messages[0].text,
                     u"Korvalo Dosis läuft bereits. Trotzdem ein weiteres Mal starten?"_s);
            QCOMPARE(ui.messages[0].icon, Icon::Question);
            QCOMPARE(ui.messages[0].buttons, UserInterface::Buttons::YesNo);
        }
    }

    void runningProgramIsFound_data() {
        QTest::addColumn<QString>("file"); ///< what runs as korvalo-dosis: a program or a script
        QTest::addColumn<QString>("runs"); ///< the folder it runs from
        QTest::addColumn<bool>("found");

        QTest::newRow("program") << u"program"_s << u"Dosis"_s << true;
        QTest::newRow("script") << u"script"_s << u"Dosis"_s << true;
        QTest::newRow("script with an interpreter option") << u"script -e"_s << u"Dosis"_s << true;
        QTest::newRow("same name, other folder") << u"program"_s << u"Andere"_s << false;
        QTest::newRow("ended") << u"ended"_s << u"Dosis"_s << false;
    }

    void runningProgramIsFound() {
        QFETCH(QString, file);
        QFETCH(QString, runs);
        QFETCH(bool, found);

        const QString sleep = QStandardPaths::findExecutable(u"sleep"_s);
        QVERIFY(!sleep.isEmpty());
        for (const QString &folder : {u"Dosis"_s, u"Andere"_s}) {
            const QString program = m_dir->filePath(folder + u"/korvalo-dosis"_s);
            QVERIFY(QDir().mkpath(m_dir->filePath(folder)));
            if (file.startsWith(u"script")) {
                QFile out(program);
                QVERIFY(out.open(QIODevice::WriteOnly));
                out.write("#!/bin/sh" + file.mid(6).toUtf8() + "\nread line\n"); // until killed
                out.close();
                QVERIFY(out.setPermissions(out.permissions() | QFileDevice::ExeOwner));
            } else {
                QVERIFY(QFile::copy(sleep, program));
            }
        }
        auto &process = m_windows.emplace_back(std::make_unique<QProcess>());
        process->start(m_dir->filePath(runs + u"/korvalo-dosis"_s),
                       {file == u"ended" ? u"0"_s : u"30"_s});
        QVERIFY(process->waitForStarted());
        if (file == u"ended")
            QVERIFY(process->waitForFinished());

        X11Companions companions;
        QCOMPARE(companions.isRunning(m_dir->filePath(u"Dosis/korvalo-dosis"_s)), found);
    }

    void runningCompanionComesToTheFront_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("covered");

        const QString pregnancy = u"Korvalo Trächtigkeit"_s;
        const QString pregnancyProgram = u"korvalo-traechtigkeit"_s;
        const QString iconic = u"--iconic"_s;
        const QString framed = u"--framed"_s;

        QTest::newRow("shown") << dosis << dosisProgram << QStringList() << false;
        QTest::newRow("shown under another window")
            << dosis << dosisProgram << QStringList() << true;
        QTest::newRow("minimised") << dosis << dosisProgram << QStringList{iconic} << true;
        QTest::newRow("minimised, Latin-1 title only")
            << pregnancy << pregnancyProgram << QStringList{iconic, u"--wm-name-only"_s} << true;
        QTest::newRow("UTF-8 title") << pregnancy << pregnancyProgram << QStringList() << true;
        QTest::newRow("in a frame, under another window")
            << dosis << dosisProgram << QStringList{framed} << true;
        QTest::newRow("minimised in a frame")
            << dosis << dosisProgram << QStringList{framed, iconic} << true;
    }

    void runningCompanionComesToTheFront() {
        QFETCH(QString, title);
        QFETCH(QString, program);
        QFETCH(QStringList, options);
        QFETCH(bool, covered);
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server");

        const xcb_window_t window = openWindow(title, options);
        QVERIFY(window);
        if (covered)
            QVERIFY(openWindow(u"Anderes Programm"_s));
        const XServer x;
        QCOMPARE(x.viewable(window), !options.contains(u"--iconic"_s));
        registerCompanion(program, m_dir->path());
        AppSettings settings;
        RecordingUserInterface ui;
        NoStartCompanions companions;

        open_extra(title, program, settings.errorReporter(ui), settings, companions);

        QCOMPARE(companions.started, QStringList());
        QCOMPARE(ui.messages.size(), 0);
        QVERIFY(x.viewable(window));
        QVERIFY(x.wmState(window) != iconicState);
        QCOMPARE(x.topmost(), x.topLevel(window));
        QCOMPARE(x.focus(), window);
    }

    void otherTitlesAreOtherPrograms_data() {
        QTest::addColumn<QString>("title");
        QTest::newRow("longer") << u"Korvalo Dosis 2"_s;
        QTest::newRow("prefix") << u"Korvalo"_s;
        QTest::newRow("trailing blank") << u"Korvalo Dosis "_s;
        QTest::newRow("other case") << u"korvalo dosis"_s;
    }

    void otherTitlesAreOtherPrograms() {
        QFETCH(QString, title);
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server");

        const xcb_window_t window = openWindow(title, {u"--iconic"_s});
        QVERIFY(window);
        registerCompanion(dosisProgram, m_dir->path());
        AppSettings settings;
        RecordingUserInterface ui;
        NoStartCompanions companions;

        open_extra(dosis, dosisProgram, settings.errorReporter(ui), settings, companions);

        QCOMPARE(companions.started, QStringList{m_dir->filePath(dosisProgram)});
        const XServer x;
        QVERIFY(!x.viewable(window));
        QCOMPARE(x.wmState(window), iconicState);
    }

    void withoutDisplayNoWindowIsFound_data() {
        QTest::addColumn<QByteArray>("display");
        QTest::newRow("none") << QByteArray();
        QTest::newRow("nobody answers") << QByteArray(":4711");
    }

    void withoutDisplayNoWindowIsFound() {
        QFETCH(QByteArray, display);
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server to hide");

        QVERIFY(openWindow(dosis));
        const QByteArray saved = qgetenv("DISPLAY");
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
        X11Companions companions;
        const auto found = companions.findWindow(dosis);
        companions.restore(1);
        companions.bringToFront(1);
        const bool minimised = companions.isMinimised(1);
        qputenv("DISPLAY", saved);

        QVERIFY(!found);
        QVERIFY(!minimised);
    }

    void startingTheProgramFile_data() {
        QTest::addColumn<QString>("folder"); ///< below the temporary folder unless absolute
        QTest::addColumn<QString>("file");   ///< what is put there as the program file
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");

        const QString missing = u"Fehler 53 - Datei nicht gefunden - Korvalo Dosis"_s;
        const QString access = u"Fehler!  75  -  Fehler beim Zugriff auf Pfad/Datei"_s;

        QTest::newRow("script") << u"Dosis"_s << u"script"_s << QString() << QString();
        QTest::newRow("no file") << u"Dosis"_s << QString() << missing << u"Korvalo"_s;
        QTest::newRow("no folder") << u"Fehlt"_s << QString() << missing << u"Korvalo"_s;
        QTest::newRow("empty path") << u"/"_s << QString() << missing << u"Korvalo"_s;
        QTest::newRow("not executable") << u"Dosis"_s << u"plain"_s << access << u"KORVALO"_s;
        QTest::newRow("executable without interpreter")
            << u"Dosis"_s << u"binary"_s << access << u"KORVALO"_s;
        QTest::newRow("folder of that name") << u"Dosis"_s << u"folder"_s << access << u"KORVALO"_s;
        QTest::newRow("dangling link") << u"Dosis"_s << u"link"_s << missing << u"Korvalo"_s;
    }

    void startingTheProgramFile() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(QString, title);

        QString recorded;
        if (folder == u"/") {
            if (QFile::exists(u"/korvalo-dosis"_s))
                QSKIP("this machine has a /korvalo-dosis");
        } else {
            recorded = m_dir->filePath(folder);
        }
        const QString program = recorded + u"/korvalo-dosis"_s;
        const QString marker = m_dir->filePath(u"started"_s);
        if (!file.isEmpty())
            QVERIFY(QDir().mkpath(recorded));
        if (file == u"folder") {
            QVERIFY(QDir().mkpath(program));
        } else if (file == u"link") {
            QVERIFY(QFile::link(m_dir->filePath(u"nirgends"_s), program));
        } else if (!file.isEmpty()) {
            QFile out(program);
            QVERIFY(out.open(QIODevice::WriteOnly));
            if (file == u"binary")
                out.write("\x7f\x01\x02\x03 not a program\n");
            else
                out.write("#!/bin/sh\npwd > '" + QFile::encodeName(marker) + "'\n");
            out.close();
            if (file != u"plain")
                QVERIFY(out.setPermissions(out.permissions() | QFileDevice::ExeOwner));
        }
        registerCompanion(dosisProgram, recorded);
        AppSettings settings;
        RecordingUserInterface ui;
        X11Companions companions;

        open_extra(dosis, dosisProgram, settings.errorReporter(ui), settings, companions);

        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (message.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile(marker).size() > 0, 10000);
            QFile in(marker);
            QVERIFY(in.open(QIODevice::ReadOnly));
            // Started in its own folder.
            QCOMPARE(QDir(QString::fromLocal8Bit(in.readAll().trimmed())).canonicalPath(),
                     QDir(recorded).canonicalPath());
        } else {
            QCOMPARE(ui.messages[0].text, message);
            QCOMPARE(ui.messages[0].icon, Icon::Critical);
            QCOMPARE(ui.messages[0].title, title);
        }
    }
};

QTEST_GUILESS_MAIN(TestCompanions)
#include "tst_companions.moc"
