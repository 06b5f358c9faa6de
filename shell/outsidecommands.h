// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

class AppSettings;
class Companions;
class ErrorReporter;
class Launcher;
class QWidget;
class UserInterface;

/**
 * The commands that lead out of the program: mail to the maker, the help, the web page, the
 * companion programs, and the about box with its system information.
 */
class OutsideCommands : public QObject {
    Q_OBJECT

public:
    /**
     * Opens a further browser window of the main window at an address; false when there is
     * no browser window to open (its module is not installed).
     */
    using OpenBrowser = std::function<bool(const QString &address)>;

    OutsideCommands(QWidget &window, AppSettings &settings, const ErrorReporter &errors,
                    UserInterface &ui, OpenBrowser openBrowser);
    ~OutsideCommands() override;

    /** Who opens documents and links, and who finds and starts companions (tests fake them). */
    void setLauncher(Launcher *launcher);
    void setCompanions(Companions *companions);

    /** Which of the six companion programs the settings know installed. */
    std::array<bool, 6> installedCompanions() const;

    void sendEmail();
    void openHelp();
    void openWebPage();
    /** Companion k, 1 to 6. */
    void openCompanion(int k);
    void showAbout();

signals:
    void failed(const AppError &error, const QString &procedure, const QString &info);

private:
    QWidget &m_window;
    AppSettings &m_settings;
    const ErrorReporter &m_errors;
    UserInterface &m_ui;
    OpenBrowser m_openBrowser;
    std::unique_ptr<Launcher> m_xdgLauncher;
    Launcher *m_launcher;
    std::unique_ptr<Companions> m_x11Companions;
    Companions *m_companions;
};
