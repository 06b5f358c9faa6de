// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"
#include "shell/application.h"
#include "shell/mainwindow.h"
#include "shell/qtuserinterface.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/** The title the X server holds for a window, as the desktop shows it. */
QString x11Title(const QWidget *window) {
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    const auto cookie =
        xcb_get_property(connection, 0, xcb_window_t(window->winId()),
                         atom(connection, "_NET_WM_NAME"), atom(connection, "UTF8_STRING"), 0, 256);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return {};
    return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

} // namespace

class TestWindowTitles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("The titles the desktop shows need an X server");
        setUpApplication();
    }

    // Each window shows exactly its own caption; a box without one shows the program's name.
    void titles_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::newRow("input form, maximised") << u"main"_s << u"KORVALO - [KORVALO]"_s;
        QTest::newRow("diet plan, maximised") << u"plan"_s << u"KORVALO - [Diätplan]"_s;
        QTest::newRow("box with its caption") << u"KORVALO"_s << u"KORVALO"_s;
        QTest::newRow("box without one") << QString() << u"Korvalo"_s;
        QTest::newRow("closing question over the plan") << u"close"_s << u"KORVALO"_s;
    }
    void titles() {
        QFETCH(QString, window);
        QFETCH(QString, title);
        RecordingUserInterface recorder;
        MainWindow main(&recorder);
        main.load();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        if (window == u"close") {
            main.run(Command::DietPlan);
            QTRY_VERIFY(x11Title(&main).endsWith(u"[Diätplan]"));
            recorder.answers << UserInterface::Answer::No;
            main.close();
            QCOMPARE(recorder.messages.value(0).title, title);
        } else if (window == u"main" || window == u"plan") {
            if (window == u"plan")
                main.run(Command::DietPlan);
            QTRY_COMPARE(x11Title(&main), title);
        } else {
            QString shown;
            QTimer::singleShot(0, this, [&] {
                QWidget *box = QApplication::activeModalWidget();
                QVERIFY(box && QTest::qWaitForWindowExposed(box));
                QTRY_COMPARE(x11Title(box), title);
                shown = x11Title(box);
                box->close();
            });
            QtUserInterface(&main).message(u"Text"_s, UserInterface::Icon::None, window,
                                           UserInterface::Buttons::Ok, UserInterface::Answer::Ok);
            QCOMPARE(shown, title);
        }
        recorder.answers << UserInterface::Answer::Yes;
    }
};

QTEST_MAIN(TestWindowTitles)
#include "tst_windowtitles.moc"
