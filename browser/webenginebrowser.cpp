// SPDX-License-Identifier: GPL-3.0-or-later

#include "browser/webenginebrowser.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QUrl>

WebEngineBrowser::WebEngineBrowser(QWidget *parent, const QString &home, const QString &search)
    : QWebEngineView(parent)
    , m_home(home)
    , m_search(search) {
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        // The address of a failed or stopped load is not kept; the caption still follows.
        if (ok)
            NavigateComplete2();
        DownloadComplete();
    });
}

void WebEngineBrowser::Navigate(const QString &address) {
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (url.isValid() && !url.isEmpty())
        setUrl(url);
}

void WebEngineBrowser::GoBack() {
    back();
}

void WebEngineBrowser::GoForward() {
    forward();
}

void WebEngineBrowser::GoHome() {
    Navigate(m_home);
}

void WebEngineBrowser::GoSearch() {
    Navigate(m_search);
}

void WebEngineBrowser::Stop() {
    stop();
}

void WebEngineBrowser::Refresh() {
    reload();
}

QString WebEngineBrowser::locationName() const {
    return title();
}

QString WebEngineBrowser::locationURL() const {
    return url().toString();
}

QWebEngineView *WebEngineBrowser::createWindow(QWebEnginePage::WebWindowType type) {
    // Links meant for a new window or tab open here: the window keeps one page at a time.
    return type == QWebEnginePage::WebDialog ? nullptr : this;
}

namespace QtWebEngineCore {
// Exported by the engine, declared only in its private headers: makes the GL context the
// engine shares with Qt, where the program did not have it made before its application
// object (prepareBrowserEngine), as the engine asks.
Q_DECL_IMPORT void initialize();
} // namespace QtWebEngineCore

extern "C" Q_DECL_EXPORT BrowserControl *
korvalo_createBrowserControl(QWidget *parent, const QString &home, const QString &search) {
    static bool translated = false;
    if (!translated) {
        QtWebEngineCore::initialize();
        // The engine's own menus and messages in German, like the rest of the program.
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLocale(), QStringLiteral("qtwebengine"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
        translated = true;
    }
    return new WebEngineBrowser(parent, home, search);
}
static_assert(std::is_same_v<decltype(&korvalo_createBrowserControl), BrowserFactory>);
