// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/errorreport.h"

#include "core/apperror.h"
#include "core/stringids.h"
#include "core/stringtable.h"

QString errorReportText(const QString &info, int number, const QString &description,
                        const QString &procName, const QString &errorValue) {
    QString text =
        str(S::ErrorReportStart) + u"  " + QString::number(number) + u"  -  " + description;
    if (errorValue != u"0")
        text += str(S::ErrorReportIn) + u"  -  " + info + u"  -  " + procName;
    return text;
}

ErrorReporter::ErrorReporter(UserInterface &ui, std::function<QString()> detailLevel)
    : m_ui(ui)
    , m_detailLevel(std::move(detailLevel)) {}

UserInterface::Answer ErrorReporter::ReportError(const AppError &error, const QString &procName,
                                                 const QString &info) const {
    m_ui.restoreCursors();
    const QString text =
        errorReportText(info, error.number(), error.description(), procName, m_detailLevel());
    return m_ui.message(text, UserInterface::Icon::Critical, str(S::Product));
}
