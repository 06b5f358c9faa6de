// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QString>

#include <optional>

/**
 * Numbers and dates as German texts, whatever the machine's locale: decimal comma,
 * no group separators, dates as dd.MM.yyyy.
 */
namespace GermanText {

/** The value of a number text, or nothing when the whole text (blanks aside) is no finite number.
 */
std::optional<double> toNumber(QStringView text);

bool isNumeric(QStringView text);

/** Parses a number text; a text that is not numeric raises a type mismatch. */
double parseNumber(QStringView text);

/** A number as text with at most 15 significant digits ("3", "2,5"). */
QString fromNumber(double value);

/** A number with a fixed count of decimals, as tables show it ("1,5", "0,25"). */
QString fromNumber(double value, int decimals);

std::optional<QDate> toDate(QStringView text);

/** Parses a date text; a text that is no date raises a type mismatch. */
QDate parseDate(QStringView text);

QString fromDate(QDate date);

/** The time of day as the status bar shows it. */
QString fromTime(QTime time);

} // namespace GermanText
