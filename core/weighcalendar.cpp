// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/weighcalendar.h"

#include "core/dietcase.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QCryptographicHash>

namespace WeighCalendar {

namespace {

using F = DietCase::Field;

// The diary's "(Tier wiegen!)" days and its "Termin Tierarzt!" day.
constexpr int weighDays = 8;
constexpr int weighEvery = 7;
constexpr int vetDay = 42;
constexpr qsizetype maxOctets = 75;

QString petName(const DietCase &c) {
    const QString name = c.text(F::petName).trimmed();
    return name.isEmpty() ? str(S::YourPet) : name;
}

// The case as the owner knows it: who, which pet, since when. The first visit's date
// stays the same over every follow-up.
QString caseKey(const DietCase &c) {
    const QString &since =
        c.text(F::creationDate).isEmpty() ? c.text(F::currentDate) : c.text(F::creationDate);
    const QByteArray id =
        (c.text(F::ownerName) + u'\n' + c.text(F::petName) + u'\n' + since).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().left(24));
}

QString date(QDate d) {
    return d.toString(u"yyyyMMdd");
}

} // namespace

QList<Event> events(const DietCase &c, QDate today) {
    const QString name = petName(c);
    const QString key = caseKey(c);
    QList<Event> list;
    for (int n = 0; n < weighDays; ++n) {
        const int day = n * weighEvery;
        list << Event{today.addDays(day), str(S::WeighEvent).arg(name),
                      key + u"-wiegen-" + QString::number(n + 1) + u"@korvalo"};
        if (day == vetDay)
            list << Event{today.addDays(vetDay), str(S::VetEvent).arg(name),
                          key + u"-tierarzt@korvalo"};
    }
    return list;
}

QString escaped(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\\' || ch == u';' || ch == u',') {
            out += u'\\';
            out += ch;
        } else if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u"\\n";
        } else if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) {
            continue; // other controls are not allowed in a TEXT value
        } else {
            out += ch;
        }
    }
    return out;
}

QByteArray folded(const QString &line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = maxOctets;
    while (utf8.size() - start > room) {
        qsizetype end = start + room;
        // Back off to the start of a character: UTF-8 continuation bytes are 10xxxxxx.
        while (end > start && (quint8(utf8[end]) & 0xC0) == 0x80)
            --end;
        out += utf8.mid(start, end - start) + "\r\n ";
        start = end;
        room = maxOctets - 1; // the leading blank counts
    }
    out += utf8.mid(start) + "\r\n";
    return out;
}

QByteArray ics(const DietCase &c, QDate today, const QDateTime &stamp) {
    const QString dtstamp = stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'");
    QStringList lines{u"BEGIN:VCALENDAR"_qs, u"VERSION:2.0"_qs,
                      u"PRODID:-//Korvalo//Wiegetermine//DE"_qs, u"CALSCALE:GREGORIAN"_qs,
                      u"METHOD:PUBLISH"_qs};
    for (const Event &e : events(c, today)) {
        const QString summary = escaped(e.summary);
        lines << u"BEGIN:VEVENT"_qs << u"UID:" + e.uid << u"DTSTAMP:" + dtstamp
              << u"DTSTART;VALUE=DATE:" + date(e.date)
              << u"DTEND;VALUE=DATE:" + date(e.date.addDays(1)) << u"SUMMARY:" + summary
              << u"TRANSP:TRANSPARENT"_qs << u"BEGIN:VALARM"_qs << u"ACTION:DISPLAY"_qs
              << u"DESCRIPTION:" + summary
              // An all-day event starts at midnight: nine hours on is 9:00 that morning.
              << u"TRIGGER;RELATED=START:PT9H"_qs << u"END:VALARM"_qs << u"END:VEVENT"_qs;
    }
    lines << u"END:VCALENDAR"_qs;
    QByteArray out;
    for (const QString &line : std::as_const(lines))
        out += folded(line);
    return out;
}

QString proposedFileName(const DietCase &c) {
    QString name = str(S::DatesFileName).arg(petName(c));
    for (QChar &ch : name) {
        if (QStringView(u"/\\:*?\"<>|").contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    }
    return name;
}

} // namespace WeighCalendar
