// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/recordinguserinterface.h"
#include "shell/mainwindow.h"
#include "views/inputview.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

#include <memory>

/**
 * The whole program for a test: a main window over a recording user interface and fresh
 * settings. Test classes derive from it and open a window in init().
 */
class MainWindowFixture : public QObject {
protected:
    RecordingUserInterface ui;
    std::unique_ptr<MainWindow> window;

    InputView *input() const { return window->inputView(); }
    /** The form's text box by its control name, Text1 to Text9. */
    QLineEdit *text(int n) const {
        return input()->findChild<QLineEdit *>(u"Text" + QString::number(n));
    }

    /** Forgets the settings of the program and of the given companions. */
    static void clearSettings(std::initializer_list<const char *> companions = {}) {
        for (const char *app : companions)
            QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                      QLatin1StringView(app))
                .clear();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                  QStringLiteral("Korvalo"))
            .clear();
    }

    /** A new main window; an active one takes the keyboard as a user's would. */
    void openWindow(bool active = false) {
        ui = RecordingUserInterface();
        window = std::make_unique<MainWindow>(&ui);
        window->load();
        if (active) {
            QApplication::setActiveWindow(window.get());
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
    }

    /** Closes the window, answering its closing question. */
    void closeWindow() {
        ui.answers << UserInterface::Answer::Yes;
        window.reset();
    }
};
