// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

#include <functional>

class AppError;
class AppSettings;
class BrowserControl;
class QComboBox;
class QLabel;
class QToolBar;

/**
 * The child view that shows web pages, with an address box that keeps the addresses
 * visited in this window, newest first, and a small navigation toolbar.
 */
class BrowserView : public ChildView {
    Q_OBJECT

public:
    /** Makes the page display from the window, the home and the search address. */
    using ControlFactory = std::function<BrowserControl *(QWidget *parent, const QString &home,
                                                          const QString &search)>;

    /** Opens startAddress unless it is empty. */
    BrowserView(ViewHost &host, const QString &startAddress, QWidget *parent = nullptr);
    /** The same with a page display of the caller's making (null: none could be made). */
    BrowserView(ViewHost &host, const QString &startAddress, const ControlFactory &makeControl,
                QWidget *parent = nullptr);
    ~BrowserView() override;

    /** What the home and search buttons open: our own settings, else the web page setting. */
    static QString homeAddress(const AppSettings &settings);
    static QString searchAddress(const AppSettings &settings);

    /** Null when the browser module could not be loaded. */
    BrowserControl *control() const { return m_control; }
    QComboBox *addressBox() const { return m_address; }
    QToolBar *toolBar() const { return m_toolBar; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboAddress_Click();
    void brwWebBrowser_DownloadComplete();
    void brwWebBrowser_NavigateComplete2();
    void tbToolBar_ButtonClick(const QString &key);
    QString workingOn() const override;

    QToolBar *m_toolBar;
    QLabel *m_label;
    QComboBox *m_address;
    BrowserControl *m_control = nullptr;
    /** Set while the window itself rewrites the address list. */
    bool m_navigationLock = false;
};
