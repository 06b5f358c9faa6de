// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/browserview.h"

#include "controls/browsercontrol.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

struct Button {
    const char *key;
    int caption;
    QStyle::StandardPixmap icon;
    void (BrowserControl::*go)();
};

constexpr Button buttons[] = {
    {"Back", S::Back, QStyle::SP_ArrowBack, &BrowserControl::GoBack},
    {"Forward", S::Forward, QStyle::SP_ArrowForward, &BrowserControl::GoForward},
    {"Stop", S::Stop, QStyle::SP_BrowserStop, &BrowserControl::Stop},
    {"Refresh", S::Refresh, QStyle::SP_BrowserReload, &BrowserControl::Refresh},
    {"Home", S::Home, QStyle::SP_DirHomeIcon, &BrowserControl::GoHome},
    {"Search", S::Search, QStyle::SP_FileDialogContentsView, &BrowserControl::GoSearch},
};

// Frame of the address box and the page, in twips.
constexpr int marginSide = 50;
constexpr int labelGap = 15;
constexpr int twipsPerInch = 1440;

// Anything shorter cannot be an address.
constexpr int minAddressLength = 5;

/** Runs one step whose errors the window ignores, going on with the next. */
template <typename Fn> void ignoringErrors(Fn &&step) {
    try {
        step();
    } catch (const AppError &) {
    }
}

QString browserAddress(const AppSettings &settings, const QString &key) {
    QString fallback = settings.value(AppSettings::WebPage);
    if (fallback.size() < minAddressLength)
        fallback = str(S::HomePage);
    const QString address = settings.value(AppSettings::applicationName, key, fallback);
    return address.trimmed().size() < minAddressLength ? fallback : address;
}

} // namespace

BrowserView::BrowserView(ViewHost &host, const QString &startAddress, QWidget *parent)
    : BrowserView(host, startAddress, &createBrowserControl, parent) {}

BrowserView::BrowserView(ViewHost &host, const QString &startAddress,
                         const ControlFactory &makeControl, QWidget *parent)
    : ChildView(host, "frmBrowser", QString(),
                {View::Browser, {{ToolKey::Back, S::Back}}, S::Back, "Activate"}, parent)
    , m_toolBar(new QToolBar(this))
    , m_label(new QLabel(str(S::AddressCaption), this))
    , m_address(new QComboBox(this)) {
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const Button &button : buttons) {
        const QString key = QLatin1StringView(button.key);
        QAction *action =
            m_toolBar->addAction(style()->standardIcon(button.icon), str(button.caption));
        action->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }

    m_label->setObjectName(QStringLiteral("lblAddress"));
    Accessibility::nameField(m_label, m_address);
    m_address->setObjectName(QStringLiteral("cboAddress"));
    m_address->setEditable(true);
    // The window keeps the list itself, newest address first.
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_address->setMinimumContentsLength(20);
    connect(m_address, &QComboBox::activated, this, &BrowserView::cboAddress_Click);
    // Enter is taken before the box sees it: the box would report it more than once. The
    // box is its line edit's focus proxy and hands keys on by a direct call, so the filter
    // sits on the box itself.
    m_address->installEventFilter(this);

    QWidget *page = nullptr;
    ignoringErrors([&] {
        m_control = makeControl(this, homeAddress(host.settings()), searchAddress(host.settings()));
    });
    if (m_control) {
        page = m_control->widget();
        m_control->setDownloadComplete([this] { brwWebBrowser_DownloadComplete(); });
        m_control->setNavigateComplete2([this] { brwWebBrowser_NavigateComplete2(); });
    } else {
        page = new QWidget(this);
        m_toolBar->setEnabled(false);
        m_address->setEnabled(false);
    }
    page->setObjectName(QStringLiteral("brwWebBrowser"));

    const auto px = [this](int twips) {
        return qRound(twips * logicalDpiX() / double(twipsPerInch));
    };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    auto *frame = new QVBoxLayout;
    frame->setContentsMargins(px(marginSide), 0, px(marginSide), px(marginSide));
    frame->setSpacing(px(labelGap));
    frame->addWidget(m_label);
    frame->addWidget(m_address);
    frame->addSpacing(px(marginSide));
    frame->addWidget(page, 1);
    layout->addLayout(frame, 1);
    Accessibility::setReadingOrder({m_address, page});

    if (!m_control) {
        m_host.ui().message(str(S::NoEngine), UserInterface::Icon::Critical, str(S::Product));
        return;
    }
    if (!startAddress.isEmpty()) {
        m_address->setEditText(startAddress);
        m_address->addItem(startAddress);
        ignoringErrors([&] { m_control->Navigate(startAddress); });
    }
}

BrowserView::~BrowserView() {
    // The page may still report while it is being torn down with this window.
    if (m_control) {
        m_control->setDownloadComplete({});
        m_control->setNavigateComplete2({});
    }
}

QString BrowserView::homeAddress(const AppSettings &settings) {
    return browserAddress(settings, QStringLiteral("BrowserHome"));
}

QString BrowserView::searchAddress(const AppSettings &settings) {
    return browserAddress(settings, QStringLiteral("BrowserSearch"));
}

void BrowserView::cboAddress_Click() {
    if (m_navigationLock || !m_control)
        return;
    try {
        m_control->Navigate(m_address->currentText());
    } catch (const AppError &e) {
        report(e, QStringLiteral("cboAddress_Click"));
    }
}

bool BrowserView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_address && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboAddress_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserView::brwWebBrowser_DownloadComplete() {
    ignoringErrors([&] { setWindowTitle(m_control->locationName()); });
}

void BrowserView::brwWebBrowser_NavigateComplete2() {
    ignoringErrors([&] { setWindowTitle(m_control->locationName()); });
    ignoringErrors([&] {
        const QString address = m_control->locationURL();
        const QScopedValueRollback lock(m_navigationLock, true);
        const int found = m_address->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found >= 0)
            m_address->removeItem(found);
        m_address->insertItem(0, address);
        m_address->setCurrentIndex(0);
    });
}

void BrowserView::tbToolBar_ButtonClick(const QString &key) {
    if (!m_control)
        return;
    for (const Button &button : buttons) {
        if (key == QLatin1StringView(button.key))
            ignoringErrors([&] { (m_control->*button.go)(); });
    }
    if (key == u"Stop")
        ignoringErrors([&] { setWindowTitle(m_control->locationName()); });
}

QString BrowserView::workingOn() const {
    return m_address->currentText();
}
