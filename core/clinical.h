// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/**
 * Every clinical figure the ration, the follow-up status and the recall dates rest on, in
 * one place with its source, so that a vet can read and change them together. The help's
 * page on the follow-up names the same figures.
 */
namespace Clinical {

/** The species of the species list, in list order, and any other text. */
enum class Animal { Dog, Cat, Rabbit, Hamster, GuineaPig, Other };
Animal animalOf(const QString &species);

struct AnimalFigures {
    /// Fastest safe loss, % of body weight a week. Dogs: AAHA Weight Management Guidelines
    /// 2014 (Brooks et al., JAAHA 50:1-11) aim at 1-2 %, up to 3 % under veterinary control
    /// (the diet's default rate). Cats: 0,5-2 % (same guideline), faster loss risks hepatic
    /// lipidosis. Rabbits, guinea pigs, hamsters: no guideline; 2 % by analogy to cats, since
    /// fasting risks gut stasis (BSAVA Manual of Rabbit Medicine, 2014).
    double safeWeeklyLoss;
    /// The smallest difference the practice's scale tells apart, kg: a platform scale
    /// weighs in 50 g steps, a letter or kitchen scale for the smallest pets in 5 g.
    double scaleStep;
    /// Share of the resting energy at the target weight fed for loss. Sources differ for
    /// dogs (1,0 × RER: AAHA 2014; 0,8 ×: several textbooks); we take 1,0. Cats 0,8 × RER
    /// (AAHA 2014). 0 for the kinds without energy figures.
    double rerShare;
    /// Too fast a loss is a reason to see the animal within days: hepatic lipidosis in cats,
    /// gut stasis in rabbits and guinea pigs (AAHA 2014; BSAVA Manual of Rabbit Medicine).
    bool seeVetWhenTooFast;
    /// Weighed and shown in grams.
    bool grams;
    /// German plural for the notes on the rate ("Katzen").
    int pluralName;
};
const AnimalFigures &figuresOf(Animal animal);

/** "0,85 kg", or "185 g" for the pets weighed in grams. */
QString weightText(double kg, Animal animal);

/** Dogs and cats: the kinds with energy figures and an adjustable ration. */
bool hasRation(Animal animal);

/**
 * "Katzen: höchstens 2 % pro Woche empfohlen" when a weekly rate typed in percent is above
 * the species' safe loss; empty otherwise. The rates themselves stay as the vet chose them.
 */
QString rateNote(const QString &species, const QString &rateDuring, const QString &rateEnd);

// Resting energy requirement, kcal a day: 70 × (kg)^0,75 (NRC 2006; AAHA 2014).
inline constexpr double rerFactor = 70;
inline constexpr double rerExponent = 0.75;
// The ration never goes below this share of the resting energy at the target weight: below
// it protein and micronutrients are hard to cover and a cat's liver is at risk (WSAVA Global
// Nutrition Guidelines 2011; Laflamme, Vet Clin Small Anim 2006). Below it: a therapeutic diet.
inline constexpr double rationFloorShare = 0.7;
// Treats at most 10 % of the day's energy, taken from the ration, never added (WSAVA 2011,
// AAHA Nutrition Guidelines 2021).
inline constexpr double treatShare = 0.1;
// One adjustment of the ration after a follow-up, up or down (AAHA 2014: 10 % steps).
inline constexpr double rationStep = 0.1;
// Each score above 5 on the 9-point body condition scale is about 10 % over the ideal weight
// (Laflamme 1997; WSAVA body condition score chart).
inline constexpr int overweightPercentPerScore = 10;

// The follow-up. A weighing sooner than this after the one before is not judged: a day's
// water and gut fill outweighs a day's loss (our choice).
inline constexpr int shortestInterval = 5;
// "zu langsam" only this far above the planned weight, and never within one scale step; "zu
// schnell" and "zugenommen" likewise only beyond one step: scale noise and rounding do not flip
// a status (our choice).
inline constexpr double planTolerance = 0.01;

// After the target: a rise of more than 5 % means back to the diet ration (AAHA 2014 on weight
// maintenance: rechecks, and a return to restriction when the weight goes up again).
inline constexpr double reboundShare = 0.05;

// Next visit: on plan and for a new case the diet plan's vet appointment, day 42 of the diary;
// off plan two weeks; after the target the maintenance check in 3 months (AAHA 2014: recheck
// every 2-4 weeks when adjusting, then at least every 3 months).
inline constexpr int dueOnPlanDays = 42;
inline constexpr int dueOffPlanDays = 14;
inline constexpr int dueTooShortDays = 7;
inline constexpr int dueMaintenanceMonths = 3;

// Energy density a food can have, kcal per 100 g: wet foods from about 60, dry diet foods
// up to about 450, fat-rich foods below 700 (our bounds, wider than any pet food).
inline constexpr double energyMinimum = 40;
inline constexpr double energyMaximum = 700;
// Values in this range are most likely MJ/kg (dry foods 12-18 MJ/kg); 1 MJ = 239 kcal.
inline constexpr double megajouleHintMinimum = 5;
inline constexpr double megajouleHintMaximum = 25;
inline constexpr double kcalPer100gPerMegajoulePerKg = 23.9;

} // namespace Clinical
