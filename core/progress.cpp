// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/progress.h"

#include "core/chartcalc.h"
#include "core/stringids.h"
#include "core/stringtable.h"

namespace {

constexpr double fastestWeeklyLoss = 2; // % of body weight
constexpr double planTolerance = 1.02;  // above the planned weight
constexpr int daysOnPlan = 28;
constexpr int daysOffPlan = 14;

double plannedOn(const ReductionPlan &plan, qint64 day, double targetWeight) {
    // Before the start the curve's first weight counts, after its end the target.
    day = std::max<qint64>(day, 0);
    if (day < plan.simulatedDays && plan.grid[day].planned)
        return *plan.grid[day].planned;
    return targetWeight;
}

} // namespace

namespace Progress {

QList<ProgressRow> rows(const CaseHistory &history, const ReductionPlan &plan,
                        double targetWeight) {
    QList<ProgressRow> out;
    const QList<Weighing> &w = history.weighings();
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
        if (row.weeklyLossPercent > fastestWeeklyLoss)
            row.status = ProgressStatus::TooFast;
        else if (w[i].weight <= row.planned * planTolerance)
            row.status = ProgressStatus::OnPlan;
        else
            row.status = ProgressStatus::TooSlow;
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
        break;
    }
    return str(S::TooSlow);
}

QString advice(const QList<ProgressRow> &rows) {
    if (rows.isEmpty())
        return {};
    switch (rows.last().status) {
    case ProgressStatus::TooFast:
        return str(S::AdviceTooFast);
    case ProgressStatus::OnPlan:
        return str(S::AdviceOnPlan);
    case ProgressStatus::TooSlow:
        break;
    }
    return str(S::AdviceTooSlow);
}

QDate nextDue(QDate lastWeighing, std::optional<ProgressStatus> status) {
    return lastWeighing.addDays(status == ProgressStatus::OnPlan ? daysOnPlan : daysOffPlan);
}

} // namespace Progress
