#include "output/printing.h"

#include "core/apperror.h"
#include "output/pageprinter.h"
#include "views/chartcontrol.h"

#include <QPainter>
#include <QPrinter>

namespace {

constexpr double tenthsPerPixel = 254.0 / 96.0; // a screen pixel at 96 dots per inch
constexpr double logoMargin = 150;              // 15 mm from the right and bottom edges
constexpr double logoTop = 50;                  // 5 mm from the top
constexpr double chartTop = 300;                // 30 mm from the top

} // namespace

std::unique_ptr<QPrinter> printerFor(const UserInterface::PrintRequest &request) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!request.pdfFile.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(request.pdfFile);
    } else if (!request.printerName.isEmpty()) {
        printer->setPrinterName(request.printerName);
    }
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

void print_KHPE_chart(ChartControl &chart, QPrinter &printer, const QImage &userLogo,
                      const QImage &productLogo) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(1);
    PagePrinter page(printer);
    if (!page.isActive())
        throw AppError(AppError::PathFileAccess);
    const QSizeF paper = page.paperSize();

    // The chart at 1.2 times its size on screen, but never wider than the page between the
    // logos' margins nor reaching the small logo at the bottom.
    QSizeF size = QSizeF(chart.size()) * 1.2 * tenthsPerPixel;
    const QSizeF room(paper.width() - 2 * logoMargin, paper.height() - chartTop - 2 * logoMargin);
    size.scale(size.boundedTo(room), Qt::KeepAspectRatio);
    const QRectF target(QPointF((paper.width() - size.width()) / 2, chartTop), size);
    page.draw(target, [&chart](QPainter &painter, const QRectF &device) {
        chart.render(&painter, device);
    });

    page.placePicture(userLogo, QPointF(paper.width() - logoMargin, logoTop),
                      PagePrinter::Anchor::TopRight);
    page.placePicture(productLogo, QPointF(paper.width() - logoMargin, paper.height() - logoMargin),
                      PagePrinter::Anchor::BottomRight);
    if (!page.finish())
        throw AppError(AppError::PathFileAccess);
}
