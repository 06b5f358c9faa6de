// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clinical.h"

#include "core/dietcase.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <array>

namespace Clinical {

namespace {

// In the order of Animal; the sources stand beside the fields in the header. Columns: safe loss
// (% a week), scale step (kg), share of RER, seen within days when too fast, weighed in grams.
constexpr std::array<AnimalFigures, 6> table{{
    {3, 0.05, 1.0, false, false, S::Dogs},
    {2, 0.05, 0.8, true, false, S::Cats},
    {2, 0.05, 0, true, false, S::Rabbits},
    {2, 0.005, 0, false, true, S::Hamsters},
    {2, 0.005, 0, true, true, S::GuineaPigs},
    {2, 0.05, 0, false, false, S::OtherAnimals},
}};

} // namespace

Animal animalOf(const QString &species) {
    // The list's order: Hund, Katze, Kaninchen, Hamster, Meerschweinchen.
    const qsizetype at = Species::names().indexOf(species);
    return at < 0 ? Animal::Other : Animal(at);
}

const AnimalFigures &figuresOf(Animal animal) {
    return table[std::size_t(animal)];
}

QString weightText(double kg, Animal animal) {
    if (figuresOf(animal).grams)
        return GermanText::fromNumber(Feeding::roundHalfAway(kg * 1000), 0) + u" g";
    return GermanText::fromNumber(kg, 2) + u' ' + str(S::KgUnit);
}

bool hasRation(Animal animal) {
    return figuresOf(animal).rerShare > 0;
}

QString rateNote(const QString &species, const QString &rateDuring, const QString &rateEnd) {
    const AnimalFigures &figures = figuresOf(animalOf(species));
    for (const QString &rate : {rateDuring, rateEnd}) {
        if (const auto value = GermanText::toNumber(rate); value && *value > figures.safeWeeklyLoss)
            return str(S::RateAboveSafe)
                .arg(str(figures.pluralName), GermanText::fromNumber(figures.safeWeeklyLoss));
    }
    return {};
}

} // namespace Clinical
