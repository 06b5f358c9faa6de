// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/gdtrequest.h"

#include "core/dietcase.h"
#include "core/gdtcase.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/casefile.h"
#include "files/caseindex.h"
#include "files/casescanner.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Far above any request a practice system writes; more is no request.
constexpr qint64 largestRequest = 99999;

QString caseOf(const QString &number, const QStringList &folders) {
    if (number.isEmpty())
        return {};
    QStringList existing;
    std::copy_if(folders.begin(), folders.end(), std::back_inserter(existing),
                 [](const QString &f) { return QFileInfo(f).isDir(); });
    const CaseList list = CaseScanner::scan(existing, {}, CaseIndex::defaultPath());
    // The case weighed last is the one going on, should a number have two files.
    const CaseSummary *found = nullptr;
    for (const CaseSummary &s : list.cases) {
        if (s.patientNumber == number && (!found || s.lastDate > found->lastDate))
            found = &s;
    }
    return found ? found->file : QString();
}

} // namespace

GdtRequest GdtRequest::read(const QString &file, Gdt::NameOrder order, QDate today,
                            const QStringList &caseFolders) {
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        throw Gdt::missingFile(file);
    const QByteArray bytes = in.read(largestRequest + 1);
    GdtRequest request;
    request.file = file;
    request.record = Gdt::read(bytes, file);
    if (request.record.type != Gdt::SendPatient && request.record.type != Gdt::RequestExamination)
        throw Gdt::Error(1, str(S::GdtNotARequest).arg(file).arg(request.record.type));
    request.patient = Gdt::patient(request.record, order, today, file);
    request.caseFile = caseOf(request.patient.number, caseFolders);
    return request;
}

bool GdtRequest::apply(DietCase &c, const ErrorReporter &errors) const {
    if (caseFile.isEmpty()) {
        GdtCase::fill(c, patient);
        return true;
    }
    if (!read_txt(c, errors, caseFile))
        return false;
    takeWeight(c);
    return true;
}

void GdtRequest::takeWeight(DietCase &c) const {
    if (patient.weight)
        c.setText(DietCase::Field::todayWeight, GermanText::fromNumber(*patient.weight));
}
