// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

class ChartControl;
class QPagedPaintDevice;
class QPrinter;

/**
 * The chart page: the chart enlarged 1.2 times and centred 30 mm below the top, the
 * user's logo at the top right, the program's small logo at the bottom right. Copies and
 * orientation of the print dialog stay as they are. Raises AppError when printing fails.
 */
void print_KHPE_chart(ChartControl &chart, QPagedPaintDevice &paper, const QImage &userLogo,
                      const QImage &productLogo);

class SheetControl;
class QTextDocument;

/**
 * The diet plan A1:D36 with the page header and footer, on the template's page set-up,
 * with the dialog's copies and orientation. Raises AppError when printing fails.
 */
void print_sheet(SheetControl &sheet, QPrinter &printer, const QString &header,
                 const QString &footer, int copies, int orientation);

/**
 * A rich text paged onto the printer with the given margins (in twips) on every page.
 * Raises AppError when printing fails.
 */
void printRichText(const QTextDocument &document, QPrinter &printer, int leftTwips, int topTwips,
                   int rightTwips, int bottomTwips, int copies, int orientation);
