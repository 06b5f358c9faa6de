// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/aboutdialog.h"

#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "core/version.h"
#include "views/accessibility.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace {

QLabel *label(const char *name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1StringView(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

AboutDialog::AboutDialog(const ErrorReporter &errors, QWidget *parent)
    : QDialog(parent)
    , m_errors(errors) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(str(S::AboutCaption));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/korvalo/icons/korvalo.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    QLabel *title = label("lblTitle", this);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    QLabel *version = label("lblVersion", this);
    QLabel *description = label("lblDescription", this);
    QLabel *copyright = label("lblCopyright", this);
    QLabel *notice = label("lblNotice", this);
    notice->setFrameShape(QFrame::StyledPanel);
    notice->setMargin(6);

    auto *ok = new QPushButton(str(S::AboutOk), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(str(S::SysInfoButton), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(title, 0, 1, 1, 2);
    layout->addWidget(version, 1, 1, 1, 2);
    layout->addWidget(description, 2, 1, 1, 2);
    layout->addWidget(copyright, 3, 1, 1, 2);
    layout->addWidget(notice, 4, 0, 1, 3);
    layout->addWidget(ok, 5, 2);
    layout->addWidget(sysInfo, 6, 2);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(520);
    Accessibility::setReadingOrder({ok, sysInfo});

    connect(ok, &QPushButton::clicked, this, [this] {
        try {
            accept();
        } catch (const AppError &e) {
            m_errors.ReportError(e, QStringLiteral("frmAbout-CMDOK_Click"), windowTitle());
        }
    });
    connect(sysInfo, &QPushButton::clicked, this, [this] {
        try {
            StartSysInfo(m_errors.ui());
        } catch (const AppError &e) {
            m_errors.ReportError(e, QStringLiteral("frmAbout-CMDSysInfo_Click"), windowTitle());
        }
    });
    load();
}

void AboutDialog::load() {
    try {
        findChild<QLabel *>(QStringLiteral("lblVersion"))
            ->setText(str(S::Version) + programVersion());
        findChild<QLabel *>(QStringLiteral("lblCopyright"))->setText(str(S::Copyright));
        findChild<QLabel *>(QStringLiteral("lblNotice"))->setText(str(S::Notice));
        findChild<QLabel *>(QStringLiteral("lblTitle"))
            ->setText(str(S::Product) + u' ' + str(S::Mark));
        findChild<QLabel *>(QStringLiteral("lblDescription"))
            ->setText(str(S::Mark) + u" - " + str(S::Maker) + u" / " + str(S::Address));
    } catch (const AppError &e) {
        m_errors.ReportError(e, QStringLiteral("frmAbout-Form_Load"), windowTitle());
    }
}

QStringList systemInfoPrograms() {
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor")};
}

bool StartSysInfo(UserInterface &ui) {
    for (const QString &name : systemInfoPrograms()) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty() && QProcess::startDetached(program, {}))
            return true;
    }
    ui.message(str(S::NoSysInfo), UserInterface::Icon::None, str(S::AppTitle));
    return false;
}
