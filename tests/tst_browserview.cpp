// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/browsercontrol.h"
#include "core/apperror.h"
#include "core/dietcase.h"
#include "core/recordinguserinterface.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "shell/mainwindow.h"
#include "views/browserview.h"
#include "views/viewhost.h"

#include "testhelpers.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct FakeHost : ViewHost {
    void set_toolbar(View view) override {
        if (failToolbar)
            throw AppError(AppError::InvalidArgument);
        toolbar = view;
    }
    void setToolTip(ToolKey, const QString &) override {}
    void setExitCaption(const QString &) override {}
    DietCase &dietCase() override { return theCase; }
    UserInterface &ui() override { return recorder; }
    const AppSettings &settings() const override { return appSettings; }
    const ErrorReporter &errors() const override { return reporter; }

    bool failToolbar = false;
    View toolbar = View::Input;
    DietCase theCase;
    RecordingUserInterface recorder;
    AppSettings appSettings;
    ErrorReporter reporter = appSettings.errorReporter(recorder);
};

/** Keeps what the window asks of it; pages "load" when the test says so. */
struct FakeControl : QWidget, BrowserControl {
    using QWidget::QWidget;
    void Navigate(const QString &address) override { call(u"Navigate "_s + address); }
    void GoBack() override { call(u"GoBack"_s); }
    void GoForward() override { call(u"GoForward"_s); }
    void GoHome() override { call(u"GoHome"_s); }
    void GoSearch() override { call(u"GoSearch"_s); }
    void Stop() override { call(u"Stop"_s); }
    void Refresh() override { call(u"Refresh"_s); }
    QString locationName() const override { return failIf(u"locationName"_s, title); }
    QString locationURL() const override { return failIf(u"locationURL"_s, url); }
    QWidget *widget() override { return this; }

    void finish(const QString &address) {
        url = address;
        title = u"Titel "_s + address;
        NavigateComplete2();
        DownloadComplete();
    }
    void call(const QString &what) {
        calls.append(what);
        failIf(what.section(u' ', 0, 0), QString());
    }
    QString failIf(const QString &operation, const QString &result) const {
        if (operation == failing)
            throw AppError(AppError::InvalidArgument);
        return result;
    }

    QStringList calls;
    QString title, url, failing;
};

QStringList entries(const QComboBox &box) {
    QStringList list;
    for (int i = 0; i < box.count(); ++i)
        list.append(box.itemText(i));
    return list;
}

bool webEngineLoaded() {
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

const char *engineMissing() {
#ifdef KORVALO_NO_BROWSER_MODULE
    return "Built without Qt WebEngine";
#endif
    return QGuiApplication::platformName() == u"xcb" ? nullptr : "The web engine needs an X server";
}

#define REQUIRE_ENGINE()                                                                           \
    do {                                                                                           \
        if (const char *why = engineMissing())                                                     \
            QSKIP(why);                                                                            \
    } while (false)

constexpr int pageTimeout = 30000;
const QString a = u"https://a.example/"_s;
const QString b = u"https://b.example/"_s;

} // namespace

class TestBrowserView : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHost> host;
    std::unique_ptr<BrowserView> view;
    FakeControl *fake = nullptr;
    QStringList homeAndSearchGiven;
    QTemporaryDir dir;

    void openFake(const QString &start, const QString &failing = {}) {
        view = std::make_unique<BrowserView>(
            *host, start, [&](QWidget *parent, const QString &home, const QString &search) {
                homeAndSearchGiven = {home, search};
                fake = new FakeControl(parent);
                fake->failing = failing;
                return fake;
            });
    }
    bool openReal(const QString &start) {
        view = std::make_unique<BrowserView>(*host, start);
        view->show();
        return view->control();
    }
    QComboBox &box() { return *view->addressBox(); }
    void press(const QString &key) { view->toolBar()->findChild<QAction *>(key)->trigger(); }
    /** Typed as a user types: into the focused box, then Enter. */
    void type(const QString &address, Qt::Key enter = Qt::Key_Return) {
        if (!view->isActiveWindow()) {
            view->show();
            view->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(view.get()));
        }
        box().setFocus();
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused, &box());
        box().clearEditText();
        QTest::keyClicks(focused, address);
        QTest::keyClick(focused, enter,
                        enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    void choose(int index) {
        box().setCurrentIndex(index);
        emit box().activated(index);
    }
    QString page(const QString &title) {
        QFile file(dir.filePath(title + u".html"_s));
        if (file.open(QIODevice::WriteOnly))
            file.write("<html><head><title>" + title.toUtf8() + "</title></head></html>");
        return QUrl::fromLocalFile(file.fileName()).toString();
    }
    void store(const QString &key, const QString &value) {
        host->appSettings.setValue(AppSettings::applicationName, key, value);
    }

private slots:
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, u"Korvalo"_s)
            .clear();
        host = std::make_unique<FakeHost>();
    }
    void cleanup() { view.reset(); }

    // First, before any real page: only a browser window brings the engine in, and finds
    // the contexts it shares prepared.
    void engineLoadedWithFirstWindow() {
        QVERIFY(!webEngineLoaded());
        REQUIRE_ENGINE();
        QTest::failOnWarning(QRegularExpression(u"initialized from a plugin"_s));
        QVERIFY(openReal(QString()));
        QVERIFY(webEngineLoaded());
    }

    void history_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("visited");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("empty start") << QString() << QStringList() << QStringList();
        QTest::newRow("newest on top") << a << QStringList{a, b} << QStringList{b, a};
        QTest::newRow("same address twice") << a << QStringList{a, b, a} << QStringList{a, b};
        QTest::newRow("typed start stays")
            << u"a.example"_s << QStringList{a} << QStringList{a, u"a.example"_s};
        QTest::newRow("case counts")
            << QString() << QStringList{a, a + u'A', a} << QStringList{a, a + u'A'};
    }
    void history() {
        QFETCH(QString, start);
        QFETCH(QStringList, visited);
        QFETCH(QStringList, list);
        openFake(start);
        for (const QString &address : visited)
            fake->finish(address);
        QCOMPARE(entries(box()), list.isEmpty() && !start.isEmpty() ? QStringList{start} : list);
        QCOMPARE(box().currentText(), list.value(0, start));
        QCOMPARE(view->windowTitle(), visited.isEmpty() ? QString() : fake->title);
        // Only the start address is navigated: rewriting the list navigates nothing.
        QCOMPARE(fake->calls,
                 start.isEmpty() ? QStringList() : QStringList{u"Navigate "_s + start});
    }

    void lockWhileRewriting() {
        openFake(a);
        fake->finish(a);
        // A selection reported while the window rewrites its list, as some platforms do.
        const auto selection = connect(&box(), &QComboBox::currentIndexChanged, this,
                                       [this](int index) { emit box().activated(index); });
        fake->finish(b);
        disconnect(selection);
        choose(1);
        QCOMPARE(fake->calls, (QStringList{u"Navigate "_s + a, u"Navigate "_s + a}));
    }

    void addressBox_data() {
        QTest::addColumn<QString>("typed"); // empty: choose the older entry
        QTest::newRow("Enter on new text") << u"https://neu.example/"_s;
        QTest::newRow("Enter on an entry's text") << b;
        QTest::newRow("choosing an entry") << QString();
    }
    void addressBox() {
        QFETCH(QString, typed);
        openFake(QString());
        fake->finish(a);
        fake->finish(b);
        typed.isEmpty() ? choose(1) : type(typed);
        QCOMPARE(fake->calls, QStringList{u"Navigate "_s + (typed.isEmpty() ? a : typed)});
    }

    void toolbar_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("caption");
        QTest::addColumn<QString>("call");
        QTest::newRow("Back") << 0 << 150 << u"GoBack"_s;
        QTest::newRow("Forward") << 1 << 2301 << u"GoForward"_s;
        QTest::newRow("Stop") << 2 << 2302 << u"Stop"_s;
        QTest::newRow("Refresh") << 3 << 2303 << u"Refresh"_s;
        QTest::newRow("Home") << 4 << 2304 << u"GoHome"_s;
        QTest::newRow("Search") << 5 << 2305 << u"GoSearch"_s;
    }
    void toolbar() {
        QFETCH(int, position);
        QFETCH(int, caption);
        QFETCH(QString, call);
        const QString key = QString::fromLatin1(QTest::currentDataTag());
        openFake(QString());
        QAction *action = view->toolBar()->actions().value(position);
        QVERIFY(action);
        QCOMPARE(action->objectName(), key);
        QCOMPARE(action->text(), str(caption));
        fake->title = u"Angezeigte Seite"_s; // still the page before a load
        action->trigger();
        QCOMPARE(fake->calls, QStringList{call});
        QCOMPARE(view->windowTitle(), key == u"Stop" ? fake->title : QString());
    }

    void homeAndSearch_data() {
        QTest::addColumn<QStringList>("stored"); // key=value
        QTest::addColumn<QStringList>("homeAndSearch");
        const QString site = u"https://praxis.example/"_s;
        QTest::newRow("nothing stored") << QStringList() << QStringList{str(1050), str(1050)};
        QTest::newRow("web page") << QStringList{u"WebPage="_s + site} << QStringList{site, site};
        QTest::newRow("web page too short")
            << QStringList{u"WebPage=abcd"_s} << QStringList{str(1050), str(1050)};
        QTest::newRow("own keys, one blank")
            << QStringList{u"WebPage="_s + site, u"BrowserHome=  "_s, u"BrowserSearch="_s + b}
            << QStringList{site, b};
    }
    void homeAndSearch() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, homeAndSearch);
        for (const QString &pair : stored)
            store(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        openFake(QString());
        QCOMPARE(homeAndSearchGiven, homeAndSearch);
    }

    void errors_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("reportedAs"); // empty: ignored
        QTest::newRow("choosing") << u"Navigate"_s << u"enter"_s << u"-cboAddress_Click"_s;
        QTest::newRow("activation") << QString() << u"activate"_s << u"-Activate"_s;
        QTest::newRow("toolbar") << u"GoBack"_s << u"Back"_s << QString();
        QTest::newRow("page address") << u"locationURL"_s << u"finish"_s << QString();
    }
    void errors() {
        QFETCH(QString, failing);
        QFETCH(QString, action);
        QFETCH(QString, reportedAs);
        store(u"ErrorValue"_s, u"1"_s); // the report names where it happened
        host->failToolbar = action == u"activate";
        openFake(a, failing);
        if (action == u"enter")
            type(b);
        else if (action == u"activate")
            view->activate();
        else if (action == u"finish")
            fake->finish(b);
        else
            press(action);
        const auto &messages = host->recorder.messages;
        QCOMPARE(messages.size(), reportedAs.isEmpty() ? 0 : 1);
        if (!reportedAs.isEmpty())
            QVERIFY(messages[0].text.endsWith(u"frmBrowser"_s + reportedAs));
        // Whatever failed, the address box still navigates afterwards.
        fake->failing.clear();
        fake->calls.clear();
        type(b);
        QCOMPARE(fake->calls, QStringList{u"Navigate "_s + b});
    }

    void withoutBrowserModule() {
        view = std::make_unique<BrowserView>(*host, a, [](QWidget *, auto &, auto &) {
            return static_cast<BrowserControl *>(nullptr);
        });
        QCOMPARE(host->recorder.messages.size(), 1);
        QCOMPARE(host->recorder.messages[0].text, str(2310));
        emit box().activated(0);
        press(u"Stop"_s);
        view->activate();
        QCOMPARE(host->toolbar, View::Browser);
    }

    // The same window over the real engine, with pages from a local folder.

    void realPages() {
        REQUIRE_ENGINE();
        const QString pageA = page(u"Seite A"_s), pageB = page(u"Seite B"_s);
        store(u"BrowserHome"_s, page(u"Start"_s));
        store(u"BrowserSearch"_s, page(u"Suche"_s));
        QVERIFY(openReal(pageA));
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite A"_s, pageTimeout);
        type(pageB);
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite B"_s, pageTimeout);
        choose(1);
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite A"_s, pageTimeout);
        QCOMPARE(entries(box()), (QStringList{pageA, pageB}));
        const QList<std::pair<QString, QString>> steps{{u"Back"_s, u"Seite B"_s},
                                                       {u"Forward"_s, u"Seite A"_s},
                                                       {u"Home"_s, u"Start"_s},
                                                       {u"Search"_s, u"Suche"_s}};
        for (const auto &[key, title] : steps) {
            press(key);
            QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), title, pageTimeout);
        }
        QCOMPARE(entries(box()).size(), 4);
        QCOMPARE(box().currentText(), view->control()->locationURL());
    }

    // The main window's commands that open browser windows.

    void webPageCommand_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opened");
        const QString home = u"https://www.korvalo.example/"_s;
        QTest::newRow("first use") << QString() << home;
        QTest::newRow("four characters") << u"a.bc"_s << home;
        QTest::newRow("five characters") << u"a.bcd"_s << u"a.bcd"_s;
    }

    void webPageCommand() {
        REQUIRE_ENGINE();
        QFETCH(QString, stored);
        QFETCH(QString, opened);
        if (!stored.isNull())
            store(u"WebPage"_s, stored);
        RecordingUserInterface ui;
        MainWindow window(&ui);
        window.load();
        for (int use = 1; use <= 2; ++use) {
            window.run(Command::WebPage);
            QCOMPARE(window.activeViewName(), u"frmBrowser"_s);
            auto *browser =
                qobject_cast<BrowserView *>(window.mdiArea()->activeSubWindow()->widget());
            QCOMPARE(browser->addressBox()->currentText(), opened);
        }
        // Each use is a further window.
        QCOMPARE(window.mdiArea()->subWindowList().size(), 3);
        QCOMPARE(AppSettings().value(AppSettings::WebPage), opened);
        QVERIFY(ui.messages.isEmpty());
    }

    void helpWithoutViewer_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("inBrowser");
        QTest::newRow("no viewer for web archives") << 31 << true;
        QTest::newRow("help missing") << 2 << false;
    }

    void helpWithoutViewer() {
        REQUIRE_ENGINE();
        QFETCH(int, result);
        QFETCH(bool, inBrowser);
        RecordingUserInterface ui;
        MainWindow window(&ui);
        window.load();
        FakeLauncher launcher;
        launcher.result = result;
        window.setLauncher(&launcher);
        window.run(Command::Help);
        QCOMPARE(window.activeViewName() == u"frmBrowser", inBrowser);
        QCOMPARE(ui.messages.size(), inBrowser ? 0 : 1);
        if (inBrowser) {
            auto *browser =
                qobject_cast<BrowserView *>(window.mdiArea()->activeSubWindow()->widget());
            QCOMPARE(browser->addressBox()->currentText(),
                     QUrl::fromLocalFile(launcher.opened.value(0)).toString());
            QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), u"Korvalo – Anleitung"_s,
                                      pageTimeout);
        }
    }

    void realUnusableAddress_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("scheme only") << u"http://"_s;
        QTest::newRow("missing file") << QUrl::fromLocalFile(dir.filePath(u"fehlt"_s)).toString();
    }
    void realUnusableAddress() {
        REQUIRE_ENGINE();
        QFETCH(QString, typed);
        QVERIFY(openReal(page(u"Seite A"_s)));
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite A"_s, pageTimeout);
        type(typed);
        QTest::qWait(1500);
        QCOMPARE(box().count(), 1); // what could not be loaded is not kept
    }

    // A new address typed into the box and sent with either Enter key is requested.
    void realTypedAddress_data() {
        QTest::addColumn<int>("enter");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void realTypedAddress() {
        REQUIRE_ENGINE();
        QFETCH(int, enter);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QStringList requested;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [&requested, socket] {
                const QByteArray request = socket->readAll();
                requested << QString::fromLatin1(request.left(request.indexOf('\r')));
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                              "<html><head><title>Getippt</title></head></html>");
                socket->disconnectFromHost();
            });
        });
        QVERIFY(openReal(page(u"Seite A"_s)));
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite A"_s, pageTimeout);
        type(u"http://127.0.0.1:%1/getippt"_s.arg(server.serverPort()), Qt::Key(enter));
        QTRY_VERIFY_WITH_TIMEOUT(requested.contains(u"GET /getippt HTTP/1.1"_s), pageTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Getippt"_s, pageTimeout);
    }

    void realStopDuringLoad() {
        REQUIRE_ENGINE();
        // A server on this machine that takes the request and never answers.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QVERIFY(openReal(page(u"Seite A"_s)));
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), u"Seite A"_s, pageTimeout);
        type(u"http://127.0.0.1:%1/"_s.arg(server.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), pageTimeout);
        view->setWindowTitle(QString());
        press(u"Stop"_s);
        QCOMPARE(view->windowTitle(), u"Seite A"_s);
        QTest::qWait(500);
        QCOMPARE(view->windowTitle(), u"Seite A"_s);
        QCOMPARE(box().count(), 1);
    }
};

int main(int argc, char *argv[]) {
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestBrowserView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browserview.moc"
