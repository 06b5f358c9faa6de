// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/outsidecommands.h"

#include "controls/busycursor.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "files/programfolder.h"
#include "output/companions.h"
#include "output/launcher.h"
#include "views/aboutdialog.h"

#include <QFileInfo>
#include <QUrl>

OutsideCommands::OutsideCommands(QWidget &window, AppSettings &settings,
                                 const ErrorReporter &errors, UserInterface &ui,
                                 OpenBrowser openBrowser)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
    , m_errors(errors)
    , m_ui(ui)
    , m_openBrowser(std::move(openBrowser))
    , m_xdgLauncher(std::make_unique<XdgLauncher>())
    , m_launcher(m_xdgLauncher.get())
    , m_x11Companions(std::make_unique<X11Companions>())
    , m_companions(m_x11Companions.get()) {}

OutsideCommands::~OutsideCommands() = default;

void OutsideCommands::setLauncher(Launcher *launcher) {
    m_launcher = launcher ? launcher : m_xdgLauncher.get();
}

void OutsideCommands::setCompanions(Companions *companions) {
    m_companions = companions ? companions : m_x11Companions.get();
}

std::array<bool, 6> OutsideCommands::installedCompanions() const {
    std::array<bool, 6> installed{};
    for (std::size_t k = 0; k < installed.size(); ++k)
        installed[k] =
            m_settings.companionPath(str(S::companionPrograms[k])) != AppSettings::notInstalled;
    return installed;
}

void OutsideCommands::sendEmail() {
    // Composed as is: the address and the subject need no encoding.
    const QString link = u"mailto:" + str(S::Contact) + u"?subject=" + str(S::MailSubject);
    try {
        BusyCursor busy;
        open_prog(*m_launcher, m_ui, link);
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuEditEmail_Click"), link);
    }
}

void OutsideCommands::openHelp() {
    QString document;
    try {
        BusyCursor busy;
        document = ProgramFolder::dataFile(QStringLiteral("Anleitung.mht"));
        StartDoc(*m_launcher, document, [this, document](int result) {
            try {
                // Desktops without a viewer for web archives still get their help, in our
                // own browser window where it is installed.
                if (result != Launcher::noAssociation || !QFileInfo::exists(document) ||
                    !m_openBrowser(QUrl::fromLocalFile(document).toString()))
                    showLauncherError(m_ui, result);
            } catch (const AppError &e) {
                emit failed(e, QStringLiteral("mnuHelpHelp_Click"), document);
            }
        });
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuHelpHelp_Click"), document);
    }
}

void OutsideCommands::openWebPage() {
    QString address;
    try {
        BusyCursor busy;
        address = m_settings.value(AppSettings::WebPage);
        if (address.size() < 5) {
            address = str(S::HomePage);
            m_settings.setValue(AppSettings::WebPage, address);
        }
        // Without our browser window the desktop's browser shows the page.
        if (!m_openBrowser(address))
            open_prog(*m_launcher, m_ui, address);
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuEditInet_Click"), address);
    }
}

void OutsideCommands::openCompanion(int k) {
    BusyCursor busy;
    // Reports its own errors.
    open_extra(str(S::companionTitles[k - 1]), str(S::companionPrograms[k - 1]), m_errors,
               m_settings, *m_companions);
}

void OutsideCommands::showAbout() {
    try {
        AboutDialog about(m_errors, &m_window);
        about.exec();
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuHelpAbout_Click"), {});
    }
}
