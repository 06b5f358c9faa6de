// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/casemerge.h"

#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <cmath>
#include <functional>

namespace {

using F = DietCase::Field;

/** One value of a case as compared, and how it is copied from the other side. */
struct Item {
    int caption = 0; ///< 0: follows other values, never asked about
    int unit = 0;
    std::function<QString(const DietCase &)> value;
    std::function<void(DietCase &, const DietCase &)> take;
    bool derived = false; ///< from the weights: taken only with the target it was derived for
};

Item textItem(F field, int caption, int unit = 0) {
    return {
        caption, unit, [field](const DietCase &c) { return c.text(field); },
        [field](DietCase &here, const DietCase &there) { here.setText(field, there.text(field)); }};
}

Item typedItem(F field, int unit = 0) {
    return textItem(field, DietCase::captionNumber(field), unit);
}

Item derivedItem(F field) {
    Item item = textItem(field, 0);
    item.derived = true;
    return item;
}

const QList<Item> &items() {
    static const QList<Item> list{
        // The target first: taking it derives here what follows it.
        typedItem(F::targetWeight, S::Kg),
        typedItem(F::ownerName),
        typedItem(F::petName),
        typedItem(F::species),
        typedItem(F::ageYears, S::YearsUnit),
        {S::SexCaption, 0,
         [](const DietCase &c) {
             QStringList both{displayText(c.sex()), displayText(c.neuterState())};
             both.removeAll(QString());
             return both.join(u", ");
         },
         [](DietCase &here, const DietCase &there) {
             here.setSex(there.sex());
             here.setNeuterState(there.neuterState());
         }},
        {S::CreationDateCaption, 0, [](const DietCase &c) { return c.text(F::creationDate); },
         [](DietCase &here, const DietCase &there) {
             here.setText(F::creationDate, there.text(F::creationDate));
             here.setCreationDateVisible(there.creationDateVisible());
         }},
        {S::FormerWeightCaption, 0, [](const DietCase &c) { return c.text(F::formerWeight); },
         [](DietCase &here, const DietCase &there) {
             here.setText(F::formerWeight, there.text(F::formerWeight));
             here.setFormerWeightVisible(there.formerWeightVisible());
         }},
        {S::BodyConditionCaption, 0, [](const DietCase &c) { return c.text(F::bodyCondition); },
         [](DietCase &here, const DietCase &there) {
             here.setText(F::bodyCondition, there.text(F::bodyCondition));
             here.setScoreWeight(there.scoreWeight()); // a new score forgot it
         }},
        typedItem(F::foodName),
        typedItem(F::energyDensity, S::EnergyUnit),
        {S::RationCaption, S::PercentUnit,
         [](const DietCase &c) { return QString::number(c.rationPercent()); },
         [](DietCase &here, const DietCase &there) {
             here.setRationPercent(there.rationPercent());
         }},
        // Each weighing derives these anew: asking about them would ask at every save of
        // two weighings.
        derivedItem(F::overweightPercent),
        derivedItem(F::weeklyRateDuring),
        derivedItem(F::weeklyRateEnd),
        derivedItem(F::dietEndDate),
        {0, 0, [](const DietCase &c) { return GermanText::fromDate(c.rationAdjustedFor()); },
         [](DietCase &here, const DietCase &there) {
             here.setRationAdjustedFor(there.rationAdjustedFor());
         }},
        {0, 0,
         [](const DietCase &c) {
             return c.scoreWeight() ? GermanText::fromNumber(*c.scoreWeight()) : QString();
         },
         [](DietCase &here, const DietCase &there) { here.setScoreWeight(there.scoreWeight()); }},
        {0, 0, [](const DietCase &c) { return c.patientNumber(); },
         [](DietCase &here, const DietCase &there) {
             here.setPatientNumber(there.patientNumber());
         }},
        {0, 0, [](const DietCase &c) { return c.unknownKeys().join(u'\n'); },
         [](DietCase &here, const DietCase &there) { here.setUnknownKeys(there.unknownKeys()); }},
    };
    return list;
}

QString shown(const QString &value, int unit) {
    if (value.isEmpty())
        return str(S::EmptyValue);
    return unit ? value + u' ' + str(unit) : value;
}

std::optional<double> weightOn(const CaseHistory &history, QDate date) {
    for (const Weighing &w : history.weighings()) {
        if (w.date == date)
            return w.weight;
    }
    return std::nullopt;
}

bool same(double a, double b) {
    return std::abs(a - b) < 0.0005; // weights are written to the gram
}

enum class Way { Keep, Take, Ask };

/** What becomes of a weighing of `there` here. */
Way way(const DietCase &here, const DietCase &base, const Weighing &w) {
    const auto mine = weightOn(here.recordedHistory(), w.date);
    if (!mine)
        return Way::Take;
    const auto before = weightOn(base.history(), w.date);
    if (same(*mine, w.weight) || (before && same(*before, w.weight)))
        return Way::Keep;
    const auto typed = here.typedWeighing();
    if (before && same(*before, *mine) && !(typed && typed->date == w.date))
        return Way::Take;
    return Way::Ask;
}

} // namespace

namespace CaseMerge {

QString Difference::line() const {
    return str(S::DifferenceLine).arg(caption, there, here);
}

Comparison compare(const DietCase &here, const DietCase &base, const DietCase &there) {
    Comparison result;
    for (const Item &item : items()) {
        const QString h = item.value(here);
        const QString b = item.value(base);
        const QString t = item.value(there);
        if (item.caption && h != b && t != b && h != t)
            result.differences.append(
                {str(item.caption), shown(t, item.unit), shown(h, item.unit)});
    }
    const CaseHistory mine = here.recordedHistory();
    for (const Weighing &w : there.history().weighings()) {
        if (way(here, base, w) == Way::Ask)
            result.clashes.append({w.date, w.weight, *weightOn(mine, w.date)});
    }
    return result;
}

void apply(DietCase &here, const DietCase &base, const DietCase &there,
           const QList<bool> &takeThere) {
    // Decided before anything is taken: a taken target changes what derives from it here.
    const auto takes = [&](const Item &item) {
        const QString b = item.value(base);
        return item.value(there) != b && item.value(here) == b;
    };
    // Derived values stay with the target they were derived for.
    const bool sameTarget =
        here.text(F::targetWeight) == there.text(F::targetWeight) || takes(items().front());
    QList<const Item *> taken;
    for (const Item &item : items()) {
        if (takes(item) && (!item.derived || sameTarget))
            taken.append(&item);
    }
    CaseHistory merged = here.history();
    const auto typed = here.typedWeighing();
    std::optional<Weighing> typedThere;
    qsizetype clash = 0;
    for (const Weighing &w : there.history().weighings()) {
        const Way decided = way(here, base, w);
        if (decided == Way::Keep || (decided == Way::Ask && !takeThere.value(clash++)))
            continue;
        if (typed && typed->date == w.date)
            typedThere = w;
        else
            merged.record(w);
    }
    for (const Item *item : std::as_const(taken))
        item->take(here, there);
    here.setHistory(merged);
    if (typedThere)
        here.setText(F::todayWeight, GermanText::fromNumber(typedThere->weight));
}

} // namespace CaseMerge
