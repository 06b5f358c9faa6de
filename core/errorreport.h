#pragma once

#include "core/userinterface.h"

class AppError;
class AppSettings;

/**
 * The program-wide error report: the message text in its short form, or in the long
 * form with where it happened when the setting "ErrorValue" is not "0".
 */
QString errorReportText(const QString &info, int number, const QString &description,
                        const QString &procName, const QString &errorValue);

/** Restores every mouse pointer and shows the error in a critical message box. */
UserInterface::Answer ReportError(UserInterface &ui, const AppSettings &settings,
                                  const QString &info, const AppError &error,
                                  const QString &procName);
