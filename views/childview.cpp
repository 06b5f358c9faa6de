// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/childview.h"

#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/stringtable.h"

ChildView::ChildView(ViewHost &host, const char *name, const QString &caption,
                     Activation activation, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_activation(std::move(activation)) {
    setObjectName(QLatin1StringView(name));
    setWindowTitle(caption);
}

void ChildView::activate() {
    try {
        m_host.set_toolbar(m_activation.kind);
        for (const auto &[key, text] : std::as_const(m_activation.toolTips))
            m_host.setToolTip(key, str(text));
        m_host.setExitCaption(str(m_activation.exitCaption));
    } catch (const AppError &e) {
        report(e, QLatin1StringView(m_activation.handler));
    }
}

void ChildView::report(const AppError &error, const QString &procedure) {
    m_host.errors().ReportError(error, objectName() + u'-' + procedure, workingOn());
}

bool ChildView::print(QPrinter &, int, int) {
    return false;
}

void ChildView::copy(QClipboard &) {}

QString ChildView::workingOn() const {
    return QStringLiteral("XXX");
}
