// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/clinical.h"
#include "core/dietcase.h"
#include "core/progress.h"

#include <QString>

#include <optional>

/**
 * The daily ration and the target weight a body condition score suggests. Dogs and cats
 * get figures; rabbits, guinea pigs and hamsters only advice.
 */
namespace Feeding {

using Clinical::Animal;

/** The body condition score as typed: a whole number 1 to 9, else nothing. */
std::optional<int> bodyCondition(const QString &text);
/** The energy density as typed, kcal per 100 g: 40 to 700, else nothing. */
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
    std::optional<int> dailyKcal;          ///< food and treats together
    std::optional<int> foodKcal;           ///< the food's share: the day's kcal but the treats'
    std::optional<int> foodGrams;          ///< of foodKcal
    std::optional<int> treatKcal;
    std::optional<int> rationPercent;
    /// the ration percent would go below the floor: the floor is fed, floorNote says so
    bool floorApplied = false;
    QString floorNote;
    QString note; ///< the small pets' advice instead of figures
    /// the text beside the score: a suggestion, or why there is none; empty without a score
    QString suggestionText;
    /// food or energy density typed: the views and printouts show the ration
    bool shown = false;
};
Figures figures(const DietCase &c);

/**
 * "Tagesration: 202 g Light (706 kcal) und höchstens 78 kcal als Leckerli, zusammen 784 kcal",
 * the small pets' note, or empty when the ration is not shown.
 */
QString rationSentence(const DietCase &c);
/** The same from figures already worked out for the case. */
QString rationSentence(const DietCase &c, const Figures &f);
/** The ration sentence gives kcal: a dog or cat with a target and food or energy typed. */
bool rationInFigures(const Figures &f);

/** "Ration: 90 % der Ausgangsmenge", empty at 100 %. */
QString rationPercentText(int percent);

/** The daily ration's share of the diet for the diet plan's header: "Tagesration: 202 g und
 * höchstens 78 kcal als Leckerli"; empty without grams. */
QString rationLine(const Figures &f);

/** The lowest whole ration percent that keeps an animal at its floor of resting energy. */
int floorPercent(Animal animal);
/** The ration cannot be cut further. */
bool atFloor(Animal animal, int percent);

/**
 * The ration percent after a follow-up whose latest weighing had the given status: 10 %
 * less when too slow or gained, but never below the floor; 10 % more when too fast or at
 * the target; rounded to a whole percent. Nothing when the status asks for no change, the
 * kind has no ration, or a cut finds the ration at its floor already.
 */
std::optional<int> adjustedRation(Animal animal, int percent, ProgressStatus status);

} // namespace Feeding
