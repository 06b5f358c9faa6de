// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/computecommand.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <array>

namespace {

using F = DietCase::Field;
using Icon = UserInterface::Icon;

// The fields the command checks, in the order it names them.
constexpr std::array checkedFields{F::todayWeight, F::targetWeight, F::overweightPercent};

} // namespace

std::optional<ChartSetup> computeCurve(const DietCase &c, const ErrorReporter &errors,
                                       bool smallPets) {
    UserInterface &ui = errors.ui();
    try {
        const auto today = GermanText::toNumber(c.text(F::todayWeight));
        const auto target = GermanText::toNumber(c.text(F::targetWeight));
        const auto overweight = GermanText::toNumber(c.text(F::overweightPercent));
        // At a follow-up the curve runs from the first visit: a pet at or below its target
        // has reached it, and the chart and the follow-up show that.
        const QString &formerText = c.text(F::formerWeight);
        const auto former = formerText.size() > 3
                                ? GermanText::toNumber(QStringView(formerText).chopped(3))
                                : std::nullopt;
        const bool reachedAtFollowUp =
            today && target && *today > 0 && c.hasHistory() && former && *former > *target;
        if (today && target && overweight && (*target < *today || reachedAtFollowUp)) {
            if (*overweight > 400) {
                ui.message(str(S::TooMuchOverweight), Icon::Exclamation,
                           str(S::TooMuchOverweightTitle));
                return std::nullopt;
            }
            return ChartCalc(c, smallPets, Clock::today());
        }
        for (const F field : checkedFields) {
            if (!GermanText::isNumeric(c.text(field))) {
                ui.message(str(S::InputField) + u" '" + str(DietCase::captionNumber(field)) +
                               u"' " + str(S::NoValue),
                           Icon::Exclamation, str(S::Error));
                return std::nullopt;
            }
        }
        ui.message(str(S::TargetAboveToday), Icon::Information, str(S::Error));
    } catch (const AppError &e) {
        // The weights the curve is computed between.
        errors.ReportError(e, QStringLiteral("frminput-Command1_Click"),
                           c.text(F::todayWeight) + u" / " + c.text(F::targetWeight));
    }
    return std::nullopt;
}
