// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/browsercontrol.h"

#include <QWebEngineView>

/** The page display over Qt WebEngine; the only class of the browser module. */
class WebEngineBrowser : public QWebEngineView, public BrowserControl {
    Q_OBJECT

public:
    WebEngineBrowser(QWidget *parent, const QString &home, const QString &search);

    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    void GoSearch() override;
    void Stop() override;
    void Refresh() override;
    QString locationName() const override;
    QString locationURL() const override;
    QWidget *widget() override { return this; }

protected:
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;

private:
    QString m_home;
    QString m_search;
};
