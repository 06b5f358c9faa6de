// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/startwindow.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/version.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

StartWindow::StartWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmstart"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setStyleSheet(
        QStringLiteral("QWidget#frmstart { background: white; border: 1px solid #2F6F73; }"));

    auto *picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/korvalo/icons/korvalo.svg")).pixmap(128, 128));
    picture->setAlignment(Qt::AlignCenter);
    auto *product = new QLabel(str(S::Product), this);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont font = product->font();
    font.setPointSizeF(font.pointSizeF() * 2.4);
    font.setBold(true);
    product->setFont(font);
    product->setAlignment(Qt::AlignCenter);
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 32, 40, 32);
    layout->addWidget(picture);
    layout->addWidget(product);
    layout->addWidget(version);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QString StartWindow::versionText() {
    return str(S::Version) + programVersion().section(u'.', 0, 1);
}

void StartWindow::stay(int milliseconds) {
    // Timers run on a monotonic clock: a start at midnight waits its second like any.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
