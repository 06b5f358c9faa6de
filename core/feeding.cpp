// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/feeding.h"

#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <cmath>

namespace Feeding {

namespace {

using F = DietCase::Field;

std::optional<double> positive(const QString &text) {
    const auto value = GermanText::toNumber(text);
    return value && *value > 0 ? value : std::nullopt;
}

// Shares compared a hair generously: 0,8 × 88 % is 70,4 %, and 0,7 must count as 0,7.
constexpr double shareEpsilon = 1e-9;

} // namespace

std::optional<int> bodyCondition(const QString &text) {
    const auto value = GermanText::toNumber(text);
    if (!value || *value < 1 || *value > 9 || *value != std::floor(*value))
        return std::nullopt;
    return int(*value);
}

std::optional<double> energyDensity(const QString &text) {
    const auto value = positive(text);
    return value && *value >= Clinical::energyMinimum && *value <= Clinical::energyMaximum
               ? value
               : std::nullopt;
}

QString refusal(DietCase::Field field, const QString &text) {
    if (text.trimmed().isEmpty())
        return {};
    int range = 0;
    if (field == F::bodyCondition && !bodyCondition(text))
        range = S::BodyConditionRange;
    else if (field == F::energyDensity && !energyDensity(text))
        range = S::EnergyRange;
    if (range == 0)
        return {};
    QString out = str(S::InputField) + u" '" + str(DietCase::captionNumber(field)) + u"' " +
                  str(S::NoValue) + u'\n' + str(range);
    const auto value = GermanText::toNumber(text);
    if (field == F::energyDensity && value && *value >= Clinical::megajouleHintMinimum &&
        *value <= Clinical::megajouleHintMaximum)
        out += u'\n' + str(S::MegajouleHint);
    return out;
}

double roundHalfAway(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // A decimal half lands a hair off in binary ("26,15" as 26.149999…); nudge it back.
    const double scaled = value * scale;
    return std::round(scaled + std::copysign(1e-9 * std::max(1.0, std::abs(scaled)), scaled)) /
           scale;
}

Figures figures(const DietCase &c) {
    Figures f;
    const Animal animal = Clinical::animalOf(c.text(F::species));
    f.bodyCondition = bodyCondition(c.text(F::bodyCondition));
    f.shown =
        !c.text(F::foodName).trimmed().isEmpty() || !c.text(F::energyDensity).trimmed().isEmpty();

    if (f.bodyCondition) {
        const int score = *f.bodyCondition;
        // From the weight of the visit that gave the score, so it does not drift at follow-ups.
        const auto weight = c.scoreWeight() ? c.scoreWeight() : positive(c.text(F::todayWeight));
        if (!Clinical::hasRation(animal)) {
            f.suggestionText = str(S::NoCalculationForSpecies);
        } else if (score <= 5) {
            f.suggestionText = str(S::NoOverweightByScore);
        } else if (weight) {
            f.suggestedTarget = roundHalfAway(
                *weight * 100 / (100 + (score - 5) * Clinical::overweightPercentPerScore), 1);
            f.suggestionText =
                str(S::SuggestedTarget).arg(GermanText::fromNumber(*f.suggestedTarget, 1));
        }
    }

    if (animal == Animal::Hamster)
        f.note = str(S::HamsterFeeding);
    else if (animal == Animal::Rabbit || animal == Animal::GuineaPig)
        f.note = str(S::SmallPetFeeding);
    if (!Clinical::hasRation(animal))
        return f;
    f.rationPercent = c.rationPercent();
    const auto target = positive(c.text(F::targetWeight));
    if (!target)
        return f;
    f.rerKcal = Clinical::rerFactor * std::pow(*target, Clinical::rerExponent);
    double share = Clinical::figuresOf(animal).rerShare * c.rationPercent() / 100;
    if (share < Clinical::rationFloorShare - shareEpsilon) {
        share = Clinical::rationFloorShare;
        f.floorApplied = true;
        f.floorNote = str(S::RationFloorNote).arg(c.rationPercent());
    }
    f.dailyKcal = int(roundHalfAway(*f.rerKcal * share));
    // Treats come out of the ration, never on top: food and treats add up to it.
    f.treatKcal = int(roundHalfAway(*f.dailyKcal * Clinical::treatShare));
    f.foodKcal = *f.dailyKcal - *f.treatKcal;
    if (const auto energy = energyDensity(c.text(F::energyDensity)))
        f.foodGrams = int(roundHalfAway(*f.foodKcal * 100 / *energy));
    return f;
}

QString rationSentence(const DietCase &c) {
    return rationSentence(c, figures(c));
}

QString rationSentence(const DietCase &c, const Figures &f) {
    if (!f.shown)
        return {};
    if (!f.note.isEmpty())
        return f.note;
    if (!f.dailyKcal)
        return {};
    const QString food = c.text(F::foodName).trimmed();
    const QString kcal = QString::number(*f.foodKcal) + u" kcal";
    QString amount;
    if (f.foodGrams)
        amount = QString::number(*f.foodGrams) + u" g" +
                 (food.isEmpty() ? QString() : u' ' + food) + u" (" + kcal + u')';
    else
        amount = kcal + (food.isEmpty() ? QString() : u' ' + food);
    return str(S::DailyRation) + u' ' + amount + u' ' + str(S::TreatLimit).arg(*f.treatKcal) +
           str(S::RationTotal).arg(*f.dailyKcal);
}

bool rationInFigures(const Figures &f) {
    return f.shown && f.dailyKcal.has_value();
}

QString rationLine(const Figures &f) {
    if (!f.shown || !f.foodGrams)
        return {};
    return str(S::DailyRation) + u' ' + QString::number(*f.foodGrams) + u" g " +
           str(S::TreatLimit).arg(*f.treatKcal);
}

QString rationPercentText(int percent) {
    return percent == 100 ? QString() : str(S::RationPercent).arg(percent);
}

int floorPercent(Animal animal) {
    const double share = Clinical::figuresOf(animal).rerShare;
    return share > 0 ? int(std::ceil(Clinical::rationFloorShare / share * 100 - shareEpsilon)) : 0;
}

bool atFloor(Animal animal, int percent) {
    return Clinical::hasRation(animal) && percent <= floorPercent(animal);
}

std::optional<int> adjustedRation(Animal animal, int percent, ProgressStatus status) {
    if (!Clinical::hasRation(animal))
        return std::nullopt;
    switch (status) {
    case ProgressStatus::TooSlow:
    case ProgressStatus::Gained:
        if (atFloor(animal, percent))
            return std::nullopt;
        return std::max(floorPercent(animal),
                        int(roundHalfAway(percent * (1 - Clinical::rationStep))));
    case ProgressStatus::TooFast:
    case ProgressStatus::TargetReached:
        return int(roundHalfAway(percent * (1 + Clinical::rationStep)));
    case ProgressStatus::OnPlan:
    case ProgressStatus::TooShort:
        break;
    }
    return std::nullopt;
}

} // namespace Feeding
