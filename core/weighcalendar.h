// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class DietCase;

/**
 * The diet plan's weigh days and the vet appointment as an iCalendar file (RFC 5545) the
 * owner imports on a phone: all-day events, each with a reminder at 9:00 that morning.
 */
namespace WeighCalendar {

struct Event {
    QDate date;
    QString summary;
    QString uid;
};

/**
 * The eight weigh days (today and every 7 days up to day 49) and the appointment on day
 * 42, in date order. The uids stay the same when the case is exported again.
 */
QList<Event> events(const DietCase &c, QDate today);

/** The whole file in UTF-8 with CR LF lines folded at 75 octets; stamp is DTSTAMP. */
QByteArray ics(const DietCase &c, QDate today, const QDateTime &stamp);

/** A TEXT value escaped: backslash, semicolon, comma and line breaks. */
QString escaped(const QString &text);

/** One content line, folded at 75 octets without splitting a character, CR LF ended. */
QByteArray folded(const QString &line);

/** "Bello Wiegetermine.ics", with characters that file names cannot carry replaced. */
QString proposedFileName(const DietCase &c);

} // namespace WeighCalendar
