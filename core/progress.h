// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/casehistory.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

struct ReductionPlan;

/** How a weighing compares with the plan. */
enum class ProgressStatus { TooFast, OnPlan, TooSlow };

/** One weighing after the first, against the one before it and against the plan. */
struct ProgressRow {
    QDate date;
    double weight = 0;
    int days = 0;                 ///< since the weighing before
    double changeKg = 0;          ///< weight minus the weight before
    double weeklyLossPercent = 0; ///< of the weight before, per 7 days
    double planned = 0;           ///< the curve's weight that day; the target after its end
    double deviationKg = 0;       ///< weight minus planned
    ProgressStatus status = ProgressStatus::OnPlan;
};

/** The follow-up arithmetic: progress rows, advice and when to weigh next. */
namespace Progress {

/**
 * One row per weighing after the first. The plan is the computed curve of the case
 * (its start date is day 0); after the curve's last planned day the target counts.
 */
QList<ProgressRow> rows(const CaseHistory &history, const ReductionPlan &plan, double targetWeight);

/** "zu schnell", "im Plan", "zu langsam". */
QString statusText(ProgressStatus status);

/** The advice for the latest weighing; empty with fewer than two weighings. */
QString advice(const QList<ProgressRow> &rows);

/** The next weighing: 4 weeks after one on plan, 2 weeks otherwise or without status. */
QDate nextDue(QDate lastWeighing, std::optional<ProgressStatus> status);

} // namespace Progress
