// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

class DietCase;
class ErrorReporter;

/** Writes the case's weigh days as an iCalendar file; false when it could not be written. */
bool writeWeighDates(const DietCase &c, const QString &path, QDate today, const QDateTime &stamp);

/**
 * The "Termine exportieren" command: asks for a file name, proposing "NAME
 * Wiegetermine.ics", and writes the weigh days of the plan that starts today.
 */
void export_ics(const DietCase &c, const ErrorReporter &errors);
