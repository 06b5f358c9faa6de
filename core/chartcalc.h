// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

class DietCase;

/** One day of the plan: the planned and the measured weight in kg, each possibly empty. */
struct PlanPoint {
    std::optional<double> planned;
    std::optional<double> measured;
};

/** The day-by-day grid of planned and measured weights, days 0 to 500. */
struct ReductionPlan {
    static constexpr int capacity = 501;

    std::vector<PlanPoint> grid = std::vector<PlanPoint>(capacity);
    QDate startDate;
    int simulatedDays = 0; ///< k: days that carry a planned weight
    int rowsShown = 0;

    QDate rowDate(int row) const { return startDate.addDays(row); }
    QString rowLabel(int row) const;

    /** The days that carry a measured weight, ascending: the points of the measured line. */
    QList<int> measuredDays() const;
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

/** Everything the calculation hands to the chart: the plan and how to present it. */
struct ChartSetup {
    ReductionPlan plan;

    // Time axis: one label and one tick per week.
    int divisionsPerLabel = 7;
    int divisionsPerTick = 7;
    /// The measured weights are drawn as markers joined by a line, in day order.
    bool joinMeasured = true;
    QString categoryTitle;

    // Value axis.
    bool valueAutoScale = false;
    std::optional<double> valueMinimum;
    std::optional<double> valueMaximum;
    int valueMajorDivisions = 0;
    QString valueTitle;

    Rgb backdropColor{255, 255, 255}; // the plot's

    bool footnoteWordWrap = true;
    QString footnote;

    bool titleWordWrap = true;
    QString title;
};

/**
 * The reduction curve of a case: simulates the weight day by day down to the target
 * and sets up the chart. A loaded case shows every weighing from its creation date on
 * and today's weight as measured points. Raises AppError for what the case cannot give (a field
 * that does not parse, a plan beyond 501 days, a 16-bit overflow). With smallPets the value axis
 * keeps whole kilograms when start and target lie less than 1 kg apart.
 */
ChartSetup ChartCalc(const DietCase &c, bool smallPets, QDate today);

/** The chart's footnote of feeding advice. */
QString chartFootnote();

/**
 * Whether rates reach the target within the plan's capacity (at most 499 days), by the
 * curve's own daily step from the curve's own start weight, with room for the later
 * weighing the curve's rows run to.
 */
bool check_reduction(const DietCase &c, QStringView rateDuring, QStringView rateEnd);
