// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/gdtresult.h"

#include "core/apperror.h"
#include "core/chartcalc.h"
#include "core/dietcase.h"
#include "core/gdtcase.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/atomicfile.h"
#include "files/gdtsettings.h"
#include "views/chartview.h"
#include "views/documentview.h"
#include "views/sheetview.h"
#include "views/viewhost.h"

#include "controls/chartcontrol.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>

namespace GdtResult {

namespace {

bool printPdf(ChildView &view, const QString &file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return view.print(printer, 1, 1);
}

// A patient number may hold what a file name must not.
QString fileStem(const QString &number, const QDateTime &now) {
    QString stem = number;
    for (QChar &c : stem) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    }
    return stem + now.toString(u"-yyyyMMdd-HHmmss");
}

void tell(ViewHost &host, const QString &text) {
    host.ui().message(text, UserInterface::Icon::Exclamation, str(S::Product));
}

} // namespace

bool writePdfs(ViewHost &host, const ChartSetup &setup, const QString &chartFile,
               const QString &diaryFile, const QString &infoFile) {
    if (!chartFile.isEmpty()) {
        ChartView view(host);
        view.apply(setup);
        // At a window's size; the chart lays itself out when drawn, shown or not.
        view.chart()->resize(1000, 700);
        // A PDF writer, not a printer: the chart page needs no printing system.
        QPdfWriter pdf(chartFile);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        if (!view.printPage(pdf))
            return false;
    }
    if (!diaryFile.isEmpty()) {
        SheetView view(host);
        if (!printPdf(view, diaryFile))
            return false;
    }
    if (!infoFile.isEmpty()) {
        DocumentView view(host);
        if (!printPdf(view, infoFile))
            return false;
    }
    return true;
}

QString send(ViewHost &host, const ChartSetup &setup, const Gdt::Record *request,
             const GdtSettings &settings, const QDateTime &now) {
    const DietCase &c = host.dietCase();
    if (c.patientNumber().isEmpty()) {
        tell(host, str(S::GdtNoPatient));
        return {};
    }
    const QString folder = settings.attachmentFolder();
    if (!QFileInfo(folder).isDir()) {
        tell(host, str(S::GdtNoFolder).arg(QDir::toNativeSeparators(folder)));
        return {};
    }
    if (!QFileInfo(folder).isWritable()) {
        tell(host, str(S::GdtFolderReadOnly).arg(QDir::toNativeSeparators(folder)));
        return {};
    }
    const QString stem = QDir(folder).filePath(fileStem(c.patientNumber(), now));
    const QList<GdtCase::Attachment> attachments{
        {stem + u"-Kurve.pdf", str(S::GdtChartPdf)},
        {stem + u"-Diaetplan.pdf", str(S::DietPlan)},
        {stem + u"-Infoblatt.pdf", str(S::InfoSheetCaption).trimmed()},
    };
    if (!writePdfs(host, setup, attachments[0].path, attachments[1].path, attachments[2].path))
        return {};
    QList<GdtCase::Attachment> shown = attachments;
    for (GdtCase::Attachment &a : shown)
        a.path = QDir::toNativeSeparators(a.path);
    try {
        const Gdt::Record result =
            GdtCase::result(c, setup, request, settings.nameOrder,
                            {settings.ownId, settings.practiceId, settings.procedure}, now, shown);
        AtomicFile::write(settings.resultFile, Gdt::write(result, settings.charset));
    } catch (const AppError &e) {
        tell(
            host,
            str(S::GdtNotSent).arg(QDir::toNativeSeparators(settings.resultFile), e.description()));
        return {};
    }
    return settings.resultFile;
}

} // namespace GdtResult
