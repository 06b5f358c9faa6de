// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

class QWidget;

/**
 * The page display of a browser window: navigation, the current page's title and address,
 * and two notifications. The web engine behind it lives in a module of its own that is
 * loaded when the first browser window opens, so the program starts without it.
 *
 * No QObject here: the module and the program would each carry a copy of its meta-object.
 * The control is its widget; deleting the widget deletes the control.
 */
class BrowserControl {
public:
    using Notification = std::function<void()>;

    virtual ~BrowserControl() = default;

    /** Opens an address as a user would type it; one that is no URL opens nothing. */
    virtual void Navigate(const QString &address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual void GoSearch() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;

    /** Title of the page shown. */
    virtual QString locationName() const = 0;
    /** Address of the page shown. */
    virtual QString locationURL() const = 0;

    virtual QWidget *widget() = 0;

    /** Called after a load has ended, also when it failed or was stopped. */
    void setDownloadComplete(Notification notify) { m_downloadComplete = std::move(notify); }
    /** Called when a page has been loaded, before its download-complete notification. */
    void setNavigateComplete2(Notification notify) { m_navigateComplete2 = std::move(notify); }

protected:
    void DownloadComplete() const {
        if (m_downloadComplete)
            m_downloadComplete();
    }
    void NavigateComplete2() const {
        if (m_navigateComplete2)
            m_navigateComplete2();
    }

private:
    Notification m_downloadComplete;
    Notification m_navigateComplete2;
};

/** What the browser module exports under the name browserFactorySymbol. */
using BrowserFactory = BrowserControl *(*)(QWidget *parent, const QString &home,
                                           const QString &search);
inline constexpr char browserFactorySymbol[] = "korvalo_createBrowserControl";

/**
 * A new page display in parent, with the addresses its home and search buttons open;
 * null when the browser module cannot be loaded. The module is loaded on the first call
 * from beside the program: ../plugins (build tree) or ../<libdir>/korvalo (installed).
 */
BrowserControl *createBrowserControl(QWidget *parent, const QString &home, const QString &search);

/**
 * Whether the module loads (it is a package of its own, which may not be installed). Loads
 * it, and with it the web engine: ask only when a page is to be shown.
 */
bool browserModuleAvailable();

/**
 * What the web engine needs before the application object exists: contexts it can share,
 * and no sandbox when running as root, where it would refuse to start.
 */
void prepareBrowserEngine();
