// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/feeding.h"

#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <cmath>

namespace Feeding {

namespace {

using F = DietCase::Field;

// Resting energy requirement: 70 kcal × (kg)^0.75 a day.
constexpr double rerFactor = 70;
constexpr double rerExponent = 0.75;
// Share of the resting energy fed for weight loss, and a cat's floor below which fasting
// puts its liver at risk.
constexpr double dogShare = 1.0;
constexpr double catShare = 0.8;
constexpr double catFloor = 0.7;
constexpr double treatShare = 0.1;

double shareOf(Kind kind) {
    return kind == Kind::Cat ? catShare : dogShare;
}

std::optional<double> positive(const QString &text) {
    const auto value = GermanText::toNumber(text);
    return value && *value > 0 ? value : std::nullopt;
}

} // namespace

Kind kindOf(const QString &species) {
    const QStringList names = Species::names(); // Hund, Katze, Kaninchen, Hamster, Meerschweinchen
    switch (names.indexOf(species)) {
    case 0:
        return Kind::Dog;
    case 1:
        return Kind::Cat;
    case 2:
    case 3:
    case 4:
        return Kind::SmallPet;
    default:
        return Kind::Other;
    }
}

bool hasFigures(Kind kind) {
    return kind == Kind::Dog || kind == Kind::Cat;
}

std::optional<int> bodyCondition(const QString &text) {
    const auto value = GermanText::toNumber(text);
    if (!value || *value < 1 || *value > 9 || *value != std::floor(*value))
        return std::nullopt;
    return int(*value);
}

std::optional<double> energyDensity(const QString &text) {
    const auto value = positive(text);
    return value && *value <= 1000 ? value : std::nullopt;
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
    return str(S::InputField) + u" '" + str(DietCase::captionNumber(field)) + u"' " +
           str(S::NoValue) + u'\n' + str(range);
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
    const Kind kind = kindOf(c.text(F::species));
    f.bodyCondition = bodyCondition(c.text(F::bodyCondition));
    f.shown =
        !c.text(F::foodName).trimmed().isEmpty() || !c.text(F::energyDensity).trimmed().isEmpty();

    if (f.bodyCondition) {
        const int score = *f.bodyCondition;
        const auto today = positive(c.text(F::todayWeight));
        if (!hasFigures(kind)) {
            f.suggestionText = str(S::NoCalculationForSpecies);
        } else if (score <= 5) {
            f.suggestionText = str(S::NoOverweightByScore);
        } else if (today) {
            // Each score above 5 stands for about 10 % over the ideal weight.
            f.suggestedTarget = roundHalfAway(*today * 100 / (100 + (score - 5) * 10), 1);
            f.suggestionText =
                str(S::SuggestedTarget).arg(GermanText::fromNumber(*f.suggestedTarget, 1));
        }
    }

    if (kind == Kind::SmallPet)
        f.note = str(S::SmallPetFeeding);
    if (!hasFigures(kind))
        return f;
    f.rationPercent = c.rationPercent();
    const auto target = positive(c.text(F::targetWeight));
    if (!target)
        return f;
    f.rerKcal = rerFactor * std::pow(*target, rerExponent);
    f.dailyKcal = int(roundHalfAway(*f.rerKcal * shareOf(kind) * c.rationPercent() / 100));
    f.treatKcal = int(roundHalfAway(*f.dailyKcal * treatShare));
    if (const auto energy = energyDensity(c.text(F::energyDensity)))
        f.foodGrams = int(roundHalfAway(*f.dailyKcal * 100 / *energy));
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
    const QString kcal = QString::number(*f.dailyKcal) + u" kcal";
    QString amount;
    if (f.foodGrams)
        amount = QString::number(*f.foodGrams) + u" g" +
                 (food.isEmpty() ? QString() : u' ' + food) + u" (" + kcal + u')';
    else
        amount = kcal + (food.isEmpty() ? QString() : u' ' + food);
    return str(S::DailyRation) + u' ' + amount + u", " + str(S::TreatLimit).arg(*f.treatKcal);
}

QString rationPercentText(int percent) {
    return percent == 100 ? QString() : str(S::RationPercent).arg(percent);
}

std::optional<int> adjustedRation(Kind kind, int percent, ProgressStatus status) {
    double factor = 1;
    if (status == ProgressStatus::TooSlow)
        factor = 0.9;
    else if (status == ProgressStatus::TooFast)
        factor = 1.1;
    const int adjusted = int(roundHalfAway(percent * factor));
    if (kind == Kind::Cat && catShare * adjusted / 100 < catFloor)
        return std::nullopt;
    return adjusted;
}

} // namespace Feeding
