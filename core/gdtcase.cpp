// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/gdtcase.h"

#include "core/chartcalc.h"
#include "core/clinical.h"
#include "core/dietcase.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/progress.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QFileInfo>

#include <optional>

namespace GdtCase {

namespace {

using F = DietCase::Field;

QList<ProgressRow> progressRows(const DietCase &c, const ChartSetup &setup) {
    return Progress::rows(c.recordedHistory(), setup.plan,
                          GermanText::parseNumber(c.text(F::targetWeight)),
                          Clinical::animalOf(c.text(F::species)));
}

QString sentence(const QString &text) {
    return text.endsWith(u'.') ? text : text + u'.';
}

QString weight(double kg) {
    return GermanText::fromNumber(kg, 2);
}

} // namespace

void fill(DietCase &c, const Gdt::Patient &patient) {
    c.reset();
    c.setText(F::ownerName, patient.owner);
    c.setText(F::petName, patient.animal);
    if (patient.sex != Gdt::PatientSex::Unknown)
        c.setSex(patient.sex == Gdt::PatientSex::Male ? PetSex::Male : PetSex::Female);
    if (patient.age)
        c.setText(F::ageYears, QString::number(*patient.age));
    if (patient.weight)
        c.setText(F::todayWeight, GermanText::fromNumber(*patient.weight));
    c.setPatientNumber(patient.number);
}

QStringList findings(const DietCase &c, const ChartSetup &setup) {
    const Clinical::Animal animal = Clinical::animalOf(c.text(F::species));
    const ReductionPlan &plan = setup.plan;
    const double start = plan.grid[0].planned.value_or(0);
    QStringList lines;
    QString subject = c.text(F::species);
    if (!c.text(F::petName).isEmpty())
        subject += u' ' + c.text(F::petName);
    lines << str(S::GdtPlanSentence)
                 .arg(
                     subject.trimmed(), Clinical::weightText(start, animal),
                     GermanText::fromDate(plan.startDate),
                     Clinical::weightText(GermanText::parseNumber(c.text(F::targetWeight)), animal),
                     // The curve's own end: the form's date lags behind rates typed there.
                     plan.rowLabel(plan.simulatedDays));
    const QString during = c.text(F::weeklyRateDuring);
    const QString end = c.text(F::weeklyRateEnd);
    lines.last() += u' ' + (during == end ? str(S::GdtRateSentence).arg(during)
                                          : str(S::GdtRatesSentence).arg(during, end));
    // The vet may choose rates above the species' safe loss; the record says so, as the form.
    if (const QString note = Clinical::rateNote(c.text(F::species), during, end); !note.isEmpty())
        lines.last() += u' ' + sentence(note);
    if (const QString ration = Feeding::rationSentence(c); !ration.isEmpty())
        lines << sentence(ration);
    const QList<ProgressRow> rows = progressRows(c, setup);
    if (!rows.isEmpty()) {
        const ProgressRow &last = rows.last();
        lines << str(S::GdtWeighingSentence)
                     .arg(GermanText::fromDate(last.date),
                          Clinical::weightText(last.weight, animal),
                          Clinical::weightText(last.planned, animal),
                          Progress::statusText(last.status));
    }
    return lines;
}

QString advice(const DietCase &c, const ChartSetup &setup) {
    const Clinical::Animal animal = Clinical::animalOf(c.text(F::species));
    return Progress::advice(progressRows(c, setup), animal,
                            Feeding::atFloor(animal, c.rationPercent()));
}

QStringList weeklyTable(const ReductionPlan &plan, double targetWeight) {
    QStringList lines{str(S::WeeklyTableHeader)};
    const int end = plan.simulatedDays;
    for (int row = 0; row < plan.rowsShown; ++row) {
        const PlanPoint &p = plan.grid[row];
        if (row % 7 != 0 && row != end && !p.measured)
            continue;
        // The day after the last planned one is the day of the target.
        const std::optional<double> planned =
            p.planned ? p.planned : (row == end ? std::optional(targetWeight) : std::nullopt);
        if (!planned && !p.measured)
            continue;
        QString line = QString::number(row / 7).rightJustified(5) + u"  " + plan.rowLabel(row) +
                       u"  " + (planned ? weight(*planned) : QString()).rightJustified(10) + u"  " +
                       (p.measured ? weight(*p.measured) : QString()).rightJustified(11);
        // Blanks at the end would only lengthen a GDT line.
        while (line.endsWith(u' '))
            line.chop(1);
        lines << line;
    }
    return lines;
}

Gdt::Record result(const DietCase &c, const ChartSetup &setup, const Gdt::Record *request,
                   Gdt::NameOrder order, const Sender &sender, const QDateTime &now,
                   const QList<Attachment> &attachments) {
    Gdt::Record record;
    record.type = Gdt::SendExamination;
    if (!sender.practiceId.isEmpty())
        record.append(Gdt::Receiver, sender.practiceId);
    if (!sender.ownId.isEmpty())
        record.append(Gdt::Sender, sender.ownId);
    // The practice system files the result by the fields it sent; they go back as they came.
    if (request) {
        for (const Gdt::Field &field : request->fields) {
            if (field.id >= 3000 && field.id < 4000)
                record.fields.append({field.id, field.content});
        }
    } else {
        const bool ownerFirst = order == Gdt::NameOrder::OwnerThenAnimal;
        record.append(Gdt::PatientNumber, c.patientNumber());
        record.append(Gdt::Surname, c.text(ownerFirst ? F::ownerName : F::petName));
        record.append(Gdt::FirstName, c.text(ownerFirst ? F::petName : F::ownerName));
    }
    record.append(Gdt::ResultDate, now.date().toString(u"ddMMyyyy"));
    record.append(Gdt::ResultTime, now.time().toString(u"HHmmss"));
    if (!sender.procedure.isEmpty())
        record.append(Gdt::DeviceProcedure, sender.procedure);
    for (const QString &line : findings(c, setup))
        record.append(Gdt::Finding, line);
    if (const QString text = advice(c, setup); !text.isEmpty())
        record.append(Gdt::Comment, text);
    for (const QString &line :
         weeklyTable(setup.plan, GermanText::parseNumber(c.text(F::targetWeight))))
        record.append(Gdt::ResultText, line);
    for (const Attachment &a : attachments) {
        // The file's own name is unique to this result and tells the archive what it is.
        record.append(Gdt::AttachmentArchive, QFileInfo(a.path).completeBaseName());
        record.append(Gdt::AttachmentFormat, QStringLiteral("PDF"));
        record.append(Gdt::AttachmentDescription, a.description);
        record.append(Gdt::AttachmentPath, a.path);
    }
    return record;
}

} // namespace GdtCase
