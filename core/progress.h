// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/casehistory.h"
#include "core/clinical.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

struct ReductionPlan;

/** How a weighing compares with the one before and with the plan. */
enum class ProgressStatus { TooFast, OnPlan, TooSlow, Gained, TargetReached, TooShort };

/** One weighing after the first, against the one before it and against the plan. */
struct ProgressRow {
    QDate date;
    double weight = 0;
    int days = 0;                 ///< since the weighing before
    double changeKg = 0;          ///< weight minus the weight before
    double weeklyLossPercent = 0; ///< of the weight before, per 7 days
    double planned = 0;           ///< the curve's weight that day; the target after its end
    double deviationKg = 0;       ///< weight minus planned
    /// TooShort: too soon after the one before to be judged, no status
    ProgressStatus status = ProgressStatus::OnPlan;
    /// at the target already at the weighing before: the diet has ended, the ration stays
    bool maintained = false;
    /// lost faster than the species' safe loss, whatever the status says
    bool tooFast = false;
};

/** The follow-up arithmetic: progress rows, advice and when to weigh next. */
namespace Progress {

/**
 * One row per weighing after the first. The plan is the computed curve of the case
 * (its start date is day 0); after the curve's last planned day the target counts. The
 * species sets the fastest safe loss and the scale's step. After the target was reached,
 * a weighing is at the target again up to 5 % above it, and gained beyond.
 */
QList<ProgressRow> rows(const CaseHistory &history, const ReductionPlan &plan, double targetWeight,
                        Clinical::Animal animal);

/** The status of a weighing against the one before, its planned weight and the target. */
ProgressStatus status(const Weighing &before, const Weighing &now, double planned,
                      double targetWeight, Clinical::Animal animal);

/** "zu schnell", "im Plan", "zu langsam", "zugenommen", "Ziel erreicht", "zu kurzer Abstand". */
QString statusText(ProgressStatus status);
/** A status the practice acts on: anything but on plan and not judged. */
bool isOffPlan(ProgressStatus status);

/**
 * The advice for the latest weighing; empty with fewer than two weighings. A ration that
 * cannot be cut further gets a therapeutic diet instead of a further cut.
 */
QString advice(const QList<ProgressRow> &rows, Clinical::Animal animal, bool rationAtFloor = false);

/**
 * The next visit after the last weighing: the diet plan's appointment for a new case and
 * on plan, two weeks when off plan, a week after a weighing too soon to judge, three months
 * after the target.
 */
QDate nextDue(QDate lastWeighing, std::optional<ProgressStatus> status);

} // namespace Progress
