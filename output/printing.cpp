// SPDX-License-Identifier: GPL-3.0-or-later

#include "output/printing.h"

#include "core/stringids.h"
#include "core/stringtable.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

std::unique_ptr<QPrinter> printerFor(const UserInterface::PrintRequest &request) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!request.pdfFile.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(request.pdfFile);
    } else if (!request.printerName.isEmpty()) {
        printer->setPrinterName(request.printerName);
    }
    printer->setPageSize(request.paperMillimetres.isEmpty()
                             ? QPageSize(QPageSize::A4)
                             : QPageSize(request.paperMillimetres, QPageSize::Millimeter));
    return printer;
}

QString printerProblem(const QString &queue) {
    const QString name = queue.isEmpty() ? QPrinterInfo::defaultPrinterName() : queue;
    if (name.isEmpty())
        return QPrinterInfo::availablePrinterNames().isEmpty() ? str(S::NoPrinter) : QString();
    if (!QPrinterInfo::availablePrinterNames().contains(name))
        return str(S::PrinterGone).arg(name);
    // Qt does not say whether a queue takes jobs or holds them stopped; CUPS's own client
    // does, when it is installed. Without it the job goes out as before.
    QProcess lpstat;
    lpstat.setStandardErrorFile(QProcess::nullDevice());
    QProcessEnvironment english = QProcessEnvironment::systemEnvironment();
    english.insert(QStringLiteral("LC_ALL"), QStringLiteral("C")); // its words, not translated
    lpstat.setProcessEnvironment(english);
    lpstat.start(QStringLiteral("lpstat"),
                 {QStringLiteral("-p"), name, QStringLiteral("-a"), name});
    if (!lpstat.waitForFinished(3000) || lpstat.exitStatus() != QProcess::NormalExit) {
        lpstat.kill();
        return {};
    }
    const QByteArray state = lpstat.readAllStandardOutput();
    if (state.contains("not accepting"))
        return str(S::PrinterRefuses).arg(name);
    if (state.contains(" disabled"))
        return str(S::PrinterStopped).arg(name);
    return {};
}
