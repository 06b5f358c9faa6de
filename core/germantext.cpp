#include "core/germantext.h"

#include "core/apperror.h"

#include <QLocale>

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

} // namespace

namespace GermanText {

std::optional<double> toNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
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

std::optional<QDate> toDate(QStringView text) {
    const QStringView trimmed = text.trimmed();
    // Day and month may come without their leading zero, as hand-written dates do.
    if (trimmed.size() < 8 || trimmed.size() > 10)
        return std::nullopt;
    QDate date = QDate::fromString(trimmed.toString(), QStringLiteral("d.M.yyyy"));
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
    return date.toString(dateFormat);
}

QString fromTime(QTime time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace GermanText
