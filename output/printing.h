#pragma once

#include "core/userinterface.h"

#include <QImage>

#include <memory>

class ChartControl;
class QPrinter;

/** The printer a print request names: a queue, or a PDF file. */
std::unique_ptr<QPrinter> printerFor(const UserInterface::PrintRequest &request);

/**
 * The chart page: the chart enlarged 1.2 times and centred 30 mm below the top, the
 * user's logo at the top right, the program's small logo at the bottom right. Copies and
 * orientation of the print dialog stay as they are. Raises AppError when printing fails.
 */
void print_KHPE_chart(ChartControl &chart, QPrinter &printer, const QImage &userLogo,
                      const QImage &productLogo);
