// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/dietcase.h"

#include <QDate>
#include <QList>
#include <QString>

/**
 * One case saved at two workstations: the case as edited here, the file as this workstation
 * read it (the base) and the file as another one saved it since (there). What changed on one
 * side only is taken from that side; the weighings of both are kept.
 */
namespace CaseMerge {

/** A value changed on both sides to different texts, shown as "Zielgewicht: 28 kg dort, 27 kg
 * hier". */
struct Difference {
    QString caption;
    QString there;
    QString here;
    QString line() const;
};

/** A date weighed on both sides with different weights. */
struct Clash {
    QDate date;
    double there = 0;
    double here = 0;
};

struct Comparison {
    QList<Difference> differences;
    QList<Clash> clashes;
};

Comparison compare(const DietCase &here, const DietCase &base, const DietCase &there);

/**
 * Takes into `here` every value only `there` changed and every weighing of `there`; a
 * clash keeps the weight of `there` where `takeThere` says so (one answer per clash, in
 * the order compare() listed them). Values changed on both sides keep here's.
 */
void apply(DietCase &here, const DietCase &base, const DietCase &there,
           const QList<bool> &takeThere);

} // namespace CaseMerge
