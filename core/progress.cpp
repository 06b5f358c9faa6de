// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/progress.h"

#include "core/chartcalc.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <algorithm>

namespace {

using Clinical::Animal;

double plannedOn(const ReductionPlan &plan, qint64 day, double targetWeight) {
    // Before the start the curve's first weight counts, after its end the target.
    day = std::max<qint64>(day, 0);
    if (day < plan.simulatedDays && plan.grid[day].planned)
        return *plan.grid[day].planned;
    return targetWeight;
}

/** Rabbits and guinea pigs graze: their advice never cuts hay. */
bool grazes(Animal animal) {
    return animal == Animal::Rabbit || animal == Animal::GuineaPig;
}

int tooFastAdvice(Animal animal) {
    if (animal == Animal::Cat)
        return S::AdviceTooFastCat;
    if (grazes(animal))
        return S::AdviceTooFastGrazer;
    return animal == Animal::Hamster ? S::AdviceTooFastHamster : S::AdviceTooFast;
}

int tooSlowAdvice(Animal animal) {
    if (grazes(animal))
        return S::AdviceTooSlowGrazer;
    return animal == Animal::Hamster ? S::AdviceTooSlowHamster : S::AdviceTooSlow;
}

int gainedAdvice(Animal animal) {
    if (grazes(animal))
        return S::AdviceGainedGrazer;
    return animal == Animal::Hamster ? S::AdviceGainedHamster : S::AdviceGained;
}

} // namespace

namespace Progress {

ProgressStatus status(const Weighing &before, const Weighing &now, double planned,
                      double targetWeight, Animal animal) {
    const Clinical::AnimalFigures &figures = Clinical::figuresOf(animal);
    // Decimal weights are a hair off in binary: 28,05 must count as within 28 + 0,05.
    constexpr double hair = 1e-9;
    const double step = figures.scaleStep;
    const qint64 days = before.date.daysTo(now.date);
    if (now.weight <= targetWeight + step + hair)
        return ProgressStatus::TargetReached;
    if (days < Clinical::shortestInterval)
        return ProgressStatus::TooShort;
    if (now.weight - before.weight > step + hair)
        return ProgressStatus::Gained;
    // Beyond the safe loss by more than the scale tells apart: a dog on its 3 % curve and a
    // hamster one 5 g step lighter are on plan.
    const double safeLoss = before.weight * figures.safeWeeklyLoss / 100 * double(days) / 7;
    if (before.weight - now.weight > safeLoss + step + hair)
        return ProgressStatus::TooFast;
    // Behind the plan but already losing at the species' safe rate: a further cut would push
    // a cat on a 3 % plan beyond it, so catching up that fast is on plan.
    if (now.weight - planned > std::max(planned * Clinical::planTolerance, step) + hair &&
        before.weight - now.weight < safeLoss - hair)
        return ProgressStatus::TooSlow;
    return ProgressStatus::OnPlan;
}

QList<ProgressRow> rows(const CaseHistory &history, const ReductionPlan &plan, double targetWeight,
                        Animal animal) {
    QList<ProgressRow> out;
    const QList<Weighing> &w = history.weighings();
    bool reached = false;
    for (qsizetype i = 1; i < w.size(); ++i) {
        ProgressRow row;
        row.date = w[i].date;
        row.weight = w[i].weight;
        row.days = static_cast<int>(w[i - 1].date.daysTo(w[i].date));
        row.changeKg = w[i].weight - w[i - 1].weight;
        row.weeklyLossPercent =
            (w[i - 1].weight - w[i].weight) / w[i - 1].weight * 100 * 7 / row.days;
        row.planned = plannedOn(plan, plan.startDate.daysTo(w[i].date), targetWeight);
        row.deviationKg = w[i].weight - row.planned;
        row.status = status(w[i - 1], w[i], row.planned, targetWeight, animal);
        // Judged as if the target were still ahead: a last week far too fast also ends a diet.
        row.tooFast = status(w[i - 1], w[i], row.planned, -1, animal) == ProgressStatus::TooFast;
        // Once at the target the diet has ended: the weight is held unless it rises by more
        // than the rebound margin, which means back to the diet ration.
        if (reached && row.status != ProgressStatus::TargetReached)
            row.status = w[i].weight <= targetWeight * (1 + Clinical::reboundShare)
                             ? ProgressStatus::TargetReached
                             : ProgressStatus::Gained;
        row.maintained = i > 1 && out.last().status == ProgressStatus::TargetReached &&
                         row.status == ProgressStatus::TargetReached;
        reached = reached || row.status == ProgressStatus::TargetReached;
        out << row;
    }
    return out;
}

QString statusText(ProgressStatus status) {
    switch (status) {
    case ProgressStatus::TooFast:
        return str(S::TooFast);
    case ProgressStatus::OnPlan:
        return str(S::OnPlan);
    case ProgressStatus::TooSlow:
        return str(S::TooSlow);
    case ProgressStatus::Gained:
        return str(S::Gained);
    case ProgressStatus::TargetReached:
        return str(S::TargetReached);
    case ProgressStatus::TooShort:
        break;
    }
    return str(S::TooShort);
}

bool isOffPlan(ProgressStatus status) {
    return status == ProgressStatus::TooFast || status == ProgressStatus::TooSlow ||
           status == ProgressStatus::Gained;
}

QString advice(const QList<ProgressRow> &rows, Animal animal, bool rationAtFloor) {
    if (rows.isEmpty())
        return {};
    const auto percent = [animal] {
        return QString::number(Clinical::figuresOf(animal).safeWeeklyLoss);
    };
    switch (rows.last().status) {
    case ProgressStatus::TooFast:
        return str(tooFastAdvice(animal)).arg(percent());
    case ProgressStatus::OnPlan:
        return str(S::AdviceOnPlan);
    case ProgressStatus::TooSlow:
        return str(rationAtFloor ? S::AdviceAtFloor : tooSlowAdvice(animal));
    case ProgressStatus::Gained:
        return str(rationAtFloor ? S::AdviceAtFloor : gainedAdvice(animal));
    case ProgressStatus::TargetReached:
        if (rows.last().maintained)
            return str(S::AdviceTargetHeld);
        // The liver of a cat and the gut of a grazer do not wait three months.
        if (rows.last().tooFast && Clinical::figuresOf(animal).seeVetWhenTooFast)
            return str(S::AdviceTargetReachedTooFast).arg(percent());
        return str(S::AdviceTargetReached);
    case ProgressStatus::TooShort:
        break;
    }
    return str(S::AdviceTooShort);
}

QDate nextDue(QDate lastWeighing, std::optional<ProgressStatus> status) {
    if (!status || *status == ProgressStatus::OnPlan)
        return lastWeighing.addDays(Clinical::dueOnPlanDays);
    if (*status == ProgressStatus::TargetReached)
        return lastWeighing.addMonths(Clinical::dueMaintenanceMonths);
    if (*status == ProgressStatus::TooShort)
        return lastWeighing.addDays(Clinical::dueTooShortDays);
    return lastWeighing.addDays(Clinical::dueOffPlanDays);
}

} // namespace Progress
