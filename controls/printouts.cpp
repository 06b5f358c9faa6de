// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/printouts.h"

#include "controls/chartcontrol.h"
#include "controls/pageprinter.h"
#include "controls/sheetcontrol.h"
#include "core/apperror.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace {

constexpr double tenthsPerPixel = 254.0 / 96.0; // a screen pixel at 96 dots per inch
constexpr double logoMargin = 150;              // 15 mm from the right and bottom edges
constexpr double logoTop = 50;                  // 5 mm from the top
constexpr double chartTop = 300;                // 30 mm from the top
constexpr double logoGap = 50;                  // between the chart and the small logo
const QSizeF logoBox(600, 240);                 // a logo is made smaller to fit 60 × 24 mm

} // namespace

void print_KHPE_chart(ChartControl &chart, QPagedPaintDevice &paper, const QImage &userLogo,
                      const QImage &productLogo) {
    paper.setPageOrientation(QPageLayout::Portrait);
    if (auto *printer = dynamic_cast<QPrinter *>(&paper))
        printer->setCopyCount(1);
    PagePrinter page(paper);
    if (!page.isActive())
        throw AppError(AppError::PathFileAccess);
    const QSizeF paperSize = page.paperSize();

    // The logos first: the user's stays above the chart, the chart above the small one.
    page.placePicture(userLogo, QPointF(paperSize.width() - logoMargin, logoTop),
                      PagePrinter::Anchor::TopRight, logoBox);
    const QRectF small = page.placePicture(
        productLogo, QPointF(paperSize.width() - logoMargin, paperSize.height() - logoMargin),
        PagePrinter::Anchor::BottomRight, logoBox);
    const double chartBottom =
        small.isEmpty() ? paperSize.height() - 2 * logoMargin
                        : std::min(small.top() - logoGap, paperSize.height() - 2 * logoMargin);

    // The chart at 1.2 times its designed size, however large its window is, but never wider
    // than the page between the logos' margins nor reaching the small logo at the bottom.
    QSizeF size = QSizeF(ChartControl::designedSize) * 1.2 * tenthsPerPixel;
    const QSizeF room(paperSize.width() - 2 * logoMargin, chartBottom - chartTop);
    size.scale(size.boundedTo(room), Qt::KeepAspectRatio);
    const QRectF target(QPointF((paperSize.width() - size.width()) / 2, chartTop), size);
    page.draw(target, [&chart](QPainter &painter, const QRectF &device) {
        chart.renderDesigned(&painter, device);
    });
    if (!page.finish())
        throw AppError(AppError::PathFileAccess);
}

namespace {

/** Opens the printer with the dialog's copies and orientation; the paper in device pixels. */
QRectF beginPaper(QPrinter &printer, QPainter &painter, int copies, int orientation) {
    printer.setCopyCount(std::max(copies, 1));
    printer.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true);
    if (!painter.begin(&printer))
        throw AppError(AppError::PathFileAccess);
    return printer.pageLayout().fullRectPixels(printer.resolution());
}

/**
 * A header or footer between the side margins, wrapped where a line is too long for them.
 * Returns the rectangle the text took.
 */
QRectF drawBand(QPainter &painter, const QRectF &band, const QString &text,
                Qt::Alignment vertical) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    painter.setFont(font);
    painter.setPen(Qt::black);
    QTextOption option(Qt::AlignHCenter | vertical);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QString lines = QString(text).replace(u'\r', u'\n');
    // A band may grow past its margin: downwards for the header, upwards for the footer.
    QRectF room = band;
    if (vertical & Qt::AlignTop)
        room.setBottom(band.top() + band.width());
    else
        room.setTop(band.bottom() - band.width());
    const QRectF used = painter.boundingRect(room, lines, option);
    painter.drawText(room, lines, option);
    return used;
}

} // namespace

void print_sheet(SheetControl &sheet, QPrinter &printer, const QString &header,
                 const QString &footer, int copies, int orientation) {
    const SheetPageSetup &setup = sheet.pageSetup();
    // The template's margins on the paper the user chose.
    QPageLayout layout = setup.layout;
    layout.setPageSize(printer.pageLayout().pageSize());
    printer.setPageLayout(layout);
    QPainter painter;
    const QRectF paper = beginPaper(printer, painter, copies, orientation);
    const double dpi = printer.resolution();
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch) * dpi;
    const double headerGap = setup.headerMarginCm / 2.54 * dpi;
    const double footerGap = setup.footerMarginCm / 2.54 * dpi;
    QRectF body = paper.marginsRemoved(margins);
    // A header or footer that wraps beyond its margin pushes the range aside.
    const double gap = 0.1 * dpi;
    const QRectF headerRect =
        drawBand(painter, QRectF(body.left(), headerGap, body.width(), body.top() - headerGap),
                 header, Qt::AlignTop);
    body.setTop(std::max(body.top(), headerRect.bottom() + gap));
    const QRectF footerRect = drawBand(painter,
                                       QRectF(body.left(), body.bottom(), body.width(),
                                              paper.height() - footerGap - body.bottom()),
                                       footer, Qt::AlignBottom);
    body.setBottom(std::min(body.bottom(), footerRect.top() - gap));

    // The range at the template's scale, made smaller when it would not fit between the
    // margins (A1:D36 is a little wider than A4 portrait allows).
    QSizeF size = sheet.rangeSize(1, 1, 36, 4) * (dpi / 72.0) * (setup.scalePercent / 100.0);
    if (size.width() > body.width() || size.height() > body.height())
        size.scale(body.size(), Qt::KeepAspectRatio);
    // Printed with its grid: the lines are what the owner writes the amounts on.
    sheet.renderRange(&painter, QRectF(body.topLeft(), size), 1, 1, 36, 4, true);
    if (!painter.end())
        throw AppError(AppError::PathFileAccess);
}

void printRichText(const QTextDocument &document, QPrinter &printer, int leftTwips, int topTwips,
                   int rightTwips, int bottomTwips, int copies, int orientation) {
    QPainter painter;
    const QRectF paper = beginPaper(printer, painter, copies, orientation);
    const double dpi = printer.resolution();
    const auto device = [dpi](int twips) { return twips / 1440.0 * dpi; };
    const QRectF body = paper.adjusted(device(leftTwips), device(topTwips), -device(rightTwips),
                                       -device(bottomTwips));

    std::unique_ptr<QTextDocument> pages(document.clone());
    pages->documentLayout()->setPaintDevice(&printer);
    pages->setPageSize(body.size());
    const int count = pages->pageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !printer.newPage())
            throw AppError(AppError::PathFileAccess);
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF shown(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(shown);
        // Paper is white whatever the desktop's theme: text without a colour of its own is
        // black, never the light text of a dark palette.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        pages->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        throw AppError(AppError::PathFileAccess);
}
