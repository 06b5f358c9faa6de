// SPDX-License-Identifier: GPL-3.0-or-later

// Times the curve calculation and the end date of one keystroke against the same daily
// loop written bare, measured in the same run. Prints medians and ratios.

#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/ratecoupling.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using F = DietCase::Field;
using Clock_ = std::chrono::steady_clock;

volatile double sink;

/** Median time of one call in microseconds, over many samples of a few calls each. */
template <typename Fn> double medianMicros(Fn &&fn, int samples = 2001, int callsPerSample = 10) {
    std::vector<double> times;
    times.reserve(samples);
    for (int s = 0; s < samples; ++s) {
        const auto start = Clock_::now();
        for (int i = 0; i < callsPerSample; ++i)
            fn();
        const std::chrono::duration<double, std::micro> elapsed = Clock_::now() - start;
        times.push_back(elapsed.count() / callsPerSample);
    }
    std::nth_element(times.begin(), times.begin() + samples / 2, times.end());
    return times[samples / 2];
}

/** The daily loop alone: same arithmetic, plain doubles, no texts. */
int bareLoop(double start, double target, double overweight, double during, double end,
             double *planned) {
    double weight = start;
    double percent = overweight + 100;
    int k = 0;
    while (weight > target && k < 501) {
        planned[k] = weight;
        const double p = (percent >= 115 ? during : end) / 100;
        weight = weight - (p * weight) / 7;
        percent = std::nearbyint(100 * weight / target);
        ++k;
    }
    return k;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    Clock::setToday(QDate(2026, 12, 7));

    DietCase c;
    c.setText(F::targetWeight, QStringLiteral("12"));
    c.setText(F::todayWeight, QStringLiteral("60"));
    c.setText(F::overweightPercent, QStringLiteral("400"));
    c.setText(F::weeklyRateDuring, QStringLiteral("3"));
    c.setText(F::weeklyRateEnd, QStringLiteral("2"));
    const bool smallPets = false;
    const QDate today = Clock::today();

    const int days = ChartCalc(c, smallPets, today).plan.simulatedDays;
    std::vector<double> planned(501);

    // Alternate the three so that load on the machine hits all of them alike.
    double bare = 1e9, chart = 1e9, endDate = 1e9;
    for (int round = 0; round < 5; ++round) {
        bare = std::min(bare,
                        medianMicros([&] { sink = bareLoop(60, 12, 400, 3, 2, planned.data()); }));
        chart = std::min(
            chart, medianMicros([&] { sink = ChartCalc(c, smallPets, today).plan.simulatedDays; }));
        endDate = std::min(endDate, medianMicros([&] {
                               sink = EndDate(c, EndDateMode::Stored, today).toJulianDay();
                           }));
    }

    std::printf("Plan 60 kg -> 12 kg: %d simulated days\n", days);
    std::printf("%-26s %10s %8s\n", "", "median us", "x bare");
    std::printf("%-26s %10.2f %8.2f\n", "bare daily loop", bare, 1.0);
    std::printf("%-26s %10.2f %8.2f\n", "ChartCalc", chart, chart / bare);
    std::printf("%-26s %10.2f %8.2f\n", "EndDate (one keystroke)", endDate, endDate / bare);
    return 0;
}
