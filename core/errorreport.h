// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/userinterface.h"

#include <functional>

class AppError;

/**
 * The program-wide error report: the message text in its short form, or in the long
 * form with where it happened when the detail level ("ErrorValue") is not "0".
 */
QString errorReportText(const QString &info, int number, const QString &description,
                        const QString &procName, const QString &errorValue);

/**
 * Reports run-time errors to the user. Made once by the main window and the exporter with
 * the user interface and where to read the detail level, which is read at every report.
 */
class ErrorReporter {
public:
    ErrorReporter(UserInterface &ui, std::function<QString()> detailLevel);

    UserInterface &ui() const { return m_ui; }

    /**
     * Restores every mouse pointer and shows the error in a critical message box; info is
     * what the handler was working on.
     */
    UserInterface::Answer ReportError(const AppError &error, const QString &procName,
                                      const QString &info = QStringLiteral("XXX")) const;

private:
    UserInterface &m_ui;
    std::function<QString()> m_detailLevel;
};
