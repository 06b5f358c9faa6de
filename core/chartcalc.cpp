// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/chartcalc.h"

#include "core/apperror.h"
#include "core/dietcase.h"
#include "core/germantext.h"
#include "core/ratecoupling.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/wholenumber.h"

#include <algorithm>
#include <cmath>

namespace {

using F = DietCase::Field;

// Floor and ceiling by the whole-number test: whole values stay as they are.
double wholeFloor(double x) {
    return std::nearbyint(x) == x ? x : std::floor(x);
}

double wholeCeiling(double x) {
    return std::nearbyint(x) == x ? x : std::floor(x) + 1;
}

/** One day of the curve: p × w first, then / 7, then subtracted. */
struct CurveStep {
    RateFields rates;
    double target;

    double next(double weight, double percentOfTarget) {
        const double p = rates.rate(percentOfTarget >= 115) / 100;
        return weight - (p * weight) / 7;
    }

    double percentOf(double weight) const {
        return WholeNumber::toInt16(WholeNumber::divide(100 * weight, target));
    }
};

/** A follow-up curve starts from the former weight, a first one from today's. */
double curveStartWeight(const DietCase &c) {
    return c.isFollowUp() ? c.formerWeightValue() : GermanText::parseNumber(c.text(F::todayWeight));
}

/** The last day after the curve's start on which the pet was weighed; 0 for none. */
qint64 laterWeighingDay(const DietCase &c) {
    if (!c.hasHistory())
        return 0;
    const QDate start = GermanText::parseDate(c.text(F::creationDate));
    qint64 last = 0;
    for (const Weighing &w : c.history().weighings())
        last = std::max(last, start.daysTo(w.date));
    if (!c.text(F::todayWeight).isEmpty())
        last = std::max(last, start.daysTo(GermanText::parseDate(c.text(F::currentDate))));
    return last;
}

} // namespace

QString ReductionPlan::rowLabel(int row) const {
    return GermanText::fromDate(rowDate(row));
}

QList<int> ReductionPlan::measuredDays() const {
    QList<int> days;
    for (int day = 0; day < rowsShown; ++day) {
        if (grid[day].measured)
            days << day;
    }
    return days;
}

QString chartFootnote() {
    return str(S::Important) + u' ' + str(S::Footnote1) + u' ' + str(S::Footnote2) + u' ' +
           str(S::Footnote3) + str(S::Footnote4);
}

ChartSetup ChartCalc(const DietCase &c, bool smallPets, QDate today) {
    ChartSetup setup;
    ReductionPlan &plan = setup.plan;

    // 1. Start values: a follow-up case starts from its former weight.
    double startWeight = 0;
    QString startWeightText;
    QString startDateText;
    startWeight = curveStartWeight(c);
    if (c.isFollowUp()) {
        startWeightText = c.text(F::formerWeight);
        startDateText = c.text(F::creationDate);
    } else {
        startWeightText = c.text(F::todayWeight) + u' ' + str(S::Kg);
        startDateText = GermanText::fromDate(today);
    }
    const double target = GermanText::parseNumber(c.text(F::targetWeight));
    double percentOfTarget = GermanText::parseNumber(c.text(F::overweightPercent)) + 100;

    // 3. Value axis scale, always fixed.
    const float difference = WholeNumber::toSingle(startWeight - target);
    setup.valueAutoScale = false;
    if (difference >= 1) {
        setup.valueMinimum = wholeFloor(target);
        setup.valueMaximum = wholeCeiling(startWeight);
        setup.valueMajorDivisions = WholeNumber::toInt16(*setup.valueMaximum - *setup.valueMinimum);
    } else {
        if (smallPets) {
            setup.valueMinimum = wholeFloor(target);
            setup.valueMaximum = wholeCeiling(startWeight);
        } else {
            setup.valueMinimum = wholeFloor(10 * target) / 10;
            setup.valueMaximum = wholeCeiling(10 * startWeight) / 10;
        }
        setup.valueMajorDivisions = 5;
    }

    // 4. Daily simulation until the weight reaches the target.
    CurveStep step{RateFields(c.text(F::weeklyRateDuring), c.text(F::weeklyRateEnd)), target};
    std::int16_t k = 0;
    double weight = startWeight;
    while (weight > target) {
        if (k >= ReductionPlan::capacity)
            throw AppError(AppError::SubscriptOutOfRange);
        plan.grid[k].planned = weight;
        weight = step.next(weight, percentOfTarget);
        percentOfTarget = step.percentOf(weight);
        k = WholeNumber::add(k, 1);
    }
    plan.simulatedDays = k;

    // 5. Measured points; a follow-up case is anchored at its creation date and shows
    // every weighing since then.
    int lastMeasuredDay = 0;
    if (c.hasHistory()) {
        plan.startDate = GermanText::parseDate(c.text(F::creationDate));
        plan.grid[0].measured = c.formerWeightValue();
        const auto measure = [&](QDate date, double weight) {
            const qint64 day = plan.startDate.daysTo(date);
            if (day < 0)
                return;
            if (day >= ReductionPlan::capacity)
                throw AppError(AppError::SubscriptOutOfRange);
            plan.grid[day].measured = weight;
            lastMeasuredDay = std::max(lastMeasuredDay, static_cast<int>(day));
        };
        for (const Weighing &w : c.history().weighings())
            measure(w.date, w.weight);
        if (!c.text(F::todayWeight).isEmpty()) {
            const QDate current = GermanText::parseDate(c.text(F::currentDate));
            if (plan.startDate < current)
                measure(current, GermanText::parseNumber(c.text(F::todayWeight)));
        }
    } else {
        plan.startDate = today;
        plan.grid[0].measured = GermanText::parseNumber(c.text(F::todayWeight));
    }

    // A follow-up at or below the target: the scale reaches down to the lowest weighing.
    std::optional<double> lowest;
    for (int day = 0; day < ReductionPlan::capacity; ++day) {
        if (const auto &m = plan.grid[day].measured; m && (!lowest || *m < *lowest))
            lowest = m;
    }
    if (lowest && setup.valueMinimum && *lowest < *setup.valueMinimum) {
        const bool tenths = difference < 1 && !smallPets;
        setup.valueMinimum = tenths ? wholeFloor(10 * *lowest) / 10 : wholeFloor(*lowest);
        if (difference >= 1)
            setup.valueMajorDivisions =
                WholeNumber::toInt16(*setup.valueMaximum - *setup.valueMinimum);
    }

    // 6. Rows shown: the day the target is reached, and at least up to the last weighing.
    plan.rowsShown = std::max(k + 1, lastMeasuredDay + 1);
    if (plan.rowsShown > ReductionPlan::capacity)
        throw AppError(AppError::SubscriptOutOfRange);

    // 7. Texts.
    setup.categoryTitle = str(S::CreatedWith) + u' ' + GermanText::fromDate(today);
    setup.valueTitle = str(S::Kg);
    setup.footnote = chartFootnote();

    QString title = str(S::TitleStart);
    if (const QString species = c.text(F::species); !species.isEmpty())
        title += species + u' ';
    if (const QString pet = c.text(F::petName); !pet.isEmpty())
        title += pet + u' ';
    if (const QString owner = c.text(F::ownerName); !owner.isEmpty())
        title += u'(' + str(S::Owner) + u": " + owner + u"), ";
    if (c.sex() != PetSex::Unset)
        title += displayText(c.sex()) + u", ";
    if (c.neuterState() != NeuterState::Unset)
        title += displayText(c.neuterState()) + u' ';
    title += u" \r" + str(S::WeightOn) + u' ' + startDateText + u": " + startWeightText + u", " +
             str(S::TargetOn) + u' ' + c.text(F::dietEndDate) + u": " + c.text(F::targetWeight) +
             u' ' + str(S::Kg);
    setup.title = title;
    return setup;
}

bool check_reduction(const DietCase &c, QStringView rateDuring, QStringView rateEnd) {
    double weight = curveStartWeight(c);
    const double target = GermanText::parseNumber(c.text(F::targetWeight));
    double percentOfTarget = GermanText::parseNumber(c.text(F::overweightPercent)) + 100;
    CurveStep step{RateFields(rateDuring, rateEnd), target};
    for (int day = 0; day < 499 && weight > target; ++day) {
        weight = step.next(weight, percentOfTarget);
        percentOfTarget = step.percentOf(weight);
    }
    // The curve's rows also reach the later weighing.
    return weight <= target && laterWeighingDay(c) < ReductionPlan::capacity;
}
