// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/ratecoupling.h"

#include "core/dietcase.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/wholenumber.h"

namespace {

using F = DietCase::Field;

} // namespace

double RateFields::parse(QStringView text) {
    return GermanText::parseNumber(text);
}

void FillBoxes(DietCase &c) {
    const bool followUp = c.hasHistory();
    const double today = GermanText::parseNumber(c.text(F::todayWeight));
    const double target = GermanText::parseNumber(c.text(F::targetWeight));
    if (today == 0 || target == 0)
        return;
    const std::int16_t overweight =
        WholeNumber::add(WholeNumber::toInt16(today * 100 / target), -100);
    c.setText(F::overweightPercent, QString::number(overweight));
    if (followUp)
        return; // a loaded case keeps its rates

    const double end = GermanText::parseNumber(str(S::DefaultRateEnd)) * 100;
    const double during =
        overweight >= 15 ? GermanText::parseNumber(str(S::DefaultRateDuring)) * 100 : end;
    c.setText(F::weeklyRateDuring, GermanText::fromNumber(during));
    c.setText(F::weeklyRateEnd, GermanText::fromNumber(end));
}

QDate EndDate(const DietCase &c, EndDateMode mode, QDate today) {
    double weight = 0;
    QDate start;
    if (c.isFollowUp()) {
        weight = c.formerWeightValue();
        start = GermanText::parseDate(c.text(F::creationDate));
        if (mode != EndDateMode::Recalculate)
            return GermanText::parseDate(c.text(F::dietEndDate));
    } else {
        weight = GermanText::parseNumber(c.text(F::todayWeight));
        start = today;
    }

    const double target = GermanText::parseNumber(c.text(F::targetWeight));
    double percentOfTarget = GermanText::parseNumber(c.text(F::overweightPercent)) + 100;
    RateFields rates(c.text(F::weeklyRateDuring), c.text(F::weeklyRateEnd));
    std::int16_t n = 1;
    // Unlike the curve, the daily fraction is formed first: rate / 100 / 7, then × w.
    do {
        const double p = rates.rate(percentOfTarget >= 115) / 100 / 7;
        weight = weight - p * weight;
        percentOfTarget = WholeNumber::toInt16(WholeNumber::divide(100 * weight, target));
        n = WholeNumber::add(n, 1);
    } while (weight > target);
    return start.addDays(n - 1);
}
