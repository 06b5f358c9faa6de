// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/germantext.h"

#include "core/apperror.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

const QLocale &german() {
    static const QLocale locale = [] {
        QLocale l(QLocale::German, QLocale::Germany);
        l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return l;
    }();
    return locale;
}

const QString dateFormat = QStringLiteral("dd.MM.yyyy");

// Plain decimals ("12", "-0,5") are nearly all the program sees; they skip the locale
// machinery, which costs more than a whole day-by-day simulation.
std::optional<double> plainDecimal(QStringView text) {
    char buffer[32] = {};
    if (text.size() >= qsizetype(sizeof buffer))
        return std::nullopt;
    qsizetype n = 0;
    bool digits = false;
    bool comma = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch >= u'0' && ch <= u'9') {
            digits = true;
            buffer[n++] = char(ch);
        } else if (ch == u',' && !comma) {
            comma = true;
            buffer[n++] = '.';
        } else if (ch == u'-' && i == 0) {
            buffer[n++] = '-';
        } else {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (!digits || error != std::errc() || end != buffer + n)
        return std::nullopt;
    return value;
}

} // namespace

namespace GermanText {

std::optional<double> toNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (const auto value = plainDecimal(trimmed))
        return value;
    bool ok = false;
    const double value = german().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumeric(QStringView text) {
    return toNumber(text).has_value();
}

double parseNumber(QStringView text) {
    if (const auto value = toNumber(text))
        return *value;
    throw AppError(AppError::TypeMismatch);
}

QString fromNumber(double value) {
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    return german().toString(value, 'g', 15);
}

QString fromNumber(double value, int decimals) {
    const QString text = german().toString(value, 'f', decimals);
    // A value that rounds to zero shows no sign.
    return german().toDouble(text) == 0 ? german().toString(0.0, 'f', decimals) : text;
}

std::optional<QDate> toDate(QStringView text) {
    const QStringView trimmed = text.trimmed();
    // Day and month may come without their leading zero, as hand-written dates do; the
    // year has four digits. Read by hand: Qt's date parser costs more than a case file.
    int parts[3] = {};
    int digits[3] = {};
    int part = 0;
    for (const QChar c : trimmed) {
        if (c == u'.') {
            if (++part > 2)
                return std::nullopt;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits[part] > 4)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] < 1 || digits[0] > 2 || digits[1] < 1 || digits[1] > 2 ||
        digits[2] != 4)
        return std::nullopt;
    const QDate date(parts[2], parts[1], parts[0]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QDate parseDate(QStringView text) {
    if (const auto date = toDate(text))
        return *date;
    throw AppError(AppError::TypeMismatch);
}

QString fromDate(QDate date) {
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return date.toString(dateFormat);
    // dd.MM.yyyy by hand, as often as the recall list needs it.
    const int d = date.day(), m = date.month(), y = date.year();
    const QChar chars[10] = {
        QChar(u'0' + d / 10),   QChar(u'0' + d % 10),       QChar(u'.'),
        QChar(u'0' + m / 10),   QChar(u'0' + m % 10),       QChar(u'.'),
        QChar(u'0' + y / 1000), QChar(u'0' + y / 100 % 10), QChar(u'0' + y / 10 % 10),
        QChar(u'0' + y % 10)};
    return QString(chars, 10);
}

QString fromTime(QTime time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace GermanText
