// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/dietcase.h"
#include "core/progress.h"

#include <QString>

#include <optional>

/**
 * The daily ration and the target weight a body condition score suggests. Dogs and cats
 * get figures; rabbits, guinea pigs and hamsters only advice.
 */
namespace Feeding {

enum class Kind { Dog, Cat, SmallPet, Other };
Kind kindOf(const QString &species);
/** Dogs and cats: the kinds with energy figures and an adjustable ration. */
bool hasFigures(Kind kind);

/** The body condition score as typed: a whole number 1 to 9, else nothing. */
std::optional<int> bodyCondition(const QString &text);
/** The energy density as typed, kcal per 100 g: above 0 and at most 1000, else nothing. */
std::optional<double> energyDensity(const QString &text);

/**
 * Why a typed body condition score or energy density is refused, naming the field; empty
 * when it is accepted (an empty field is). Other fields are never refused here.
 */
QString refusal(DietCase::Field field, const QString &text);

/** Rounds to the given decimals, halves away from zero as people round on paper. */
double roundHalfAway(double value, int decimals = 0);

/** The feeding figures of a case; a figure that does not apply is empty. */
struct Figures {
    std::optional<int> bodyCondition;
    std::optional<double> suggestedTarget; ///< kg, to 0,1
    std::optional<double> rerKcal;         ///< resting energy at the target weight, unrounded
    std::optional<int> dailyKcal;
    std::optional<int> foodGrams;
    std::optional<int> treatKcal;
    std::optional<int> rationPercent;
    QString note; ///< the small pets' advice instead of figures
    /// the text beside the score: a suggestion, or why there is none; empty without a score
    QString suggestionText;
    /// food or energy density typed: the views and printouts show the ration
    bool shown = false;
};
Figures figures(const DietCase &c);

/** "Tagesration: 224 g Futter (783 kcal), davon höchstens 78 kcal als Leckerli", the small
 * pets' note, or empty when the ration is not shown. */
QString rationSentence(const DietCase &c);
/** The same from figures already worked out for the case. */
QString rationSentence(const DietCase &c, const Figures &f);

/** "Ration: 90 % der Ausgangsmenge", empty at 100 %. */
QString rationPercentText(int percent);

/**
 * The ration percent after a follow-up whose latest weighing had the given status: 90 %
 * of it when too slow, 110 % when too fast, rounded to a whole percent. Nothing when a
 * cat would get less than 70 % of its resting energy.
 */
std::optional<int> adjustedRation(Kind kind, int percent, ProgressStatus status);

} // namespace Feeding
