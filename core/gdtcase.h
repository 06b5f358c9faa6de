// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/gdt.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

class DietCase;
struct ChartSetup;
struct ReductionPlan;

/** A diet case met through GDT: the request's patient on the form, the plan as a result. */
namespace GdtCase {

/**
 * A request's patient on the form of a new case: owner, pet, sex, age in whole years and
 * today's weight, with the patient number. Species and neuter state are left to the user.
 */
void fill(DietCase &c, const Gdt::Patient &patient);

/**
 * The plan in one or two sentences (start and target weight, the rates, the end date,
 * the daily ration where it is worked out) and at a follow-up how the last weighing
 * went against the plan.
 */
QStringList findings(const DietCase &c, const ChartSetup &setup);

/** What the vet is advised at the last weighing; empty before the second. */
QString advice(const DietCase &c, const ChartSetup &setup);

/**
 * The weekly table: a header, then week by week, each weighing, and the end of the plan,
 * the day it reaches the target.
 */
QStringList weeklyTable(const ReductionPlan &plan, double targetWeight);

struct Attachment {
    QString path;
    QString description;
};

/** Who sends the result to whom, and under which procedure code. */
struct Sender {
    QString ownId;
    QString practiceId;
    QString procedure;
};

/**
 * The result of a computed plan (6310): the ids, the patient fields of the request (or,
 * without one, the case's number and names in the order given), date and time, the
 * procedure code, the findings, the advice as a comment, the weekly table and the
 * attached files.
 */
Gdt::Record result(const DietCase &c, const ChartSetup &setup, const Gdt::Record *request,
                   Gdt::NameOrder order, const Sender &sender, const QDateTime &now,
                   const QList<Attachment> &attachments);

} // namespace GdtCase
