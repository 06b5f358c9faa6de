// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/pageprinter.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr double tenthsPerInch = 254.0;
constexpr double screenDpi = 96.0;

} // namespace

PagePrinter::PagePrinter(QPagedPaintDevice &device)
    : m_device(device)
    , m_painter(new QPainter) {
    // Positions count from the paper's edge, not from the printable area.
    if (auto *printer = dynamic_cast<QPrinter *>(&device))
        printer->setFullPage(true);
    else
        m_device.setPageMargins(QMarginsF());
    m_painter->begin(&m_device);
}

PagePrinter::~PagePrinter() {
    if (m_painter->isActive())
        m_painter->end();
    delete m_painter;
}

bool PagePrinter::isActive() const {
    return m_painter->isActive();
}

QSizeF PagePrinter::paperSize() const {
    return m_device.pageLayout().fullRect(QPageLayout::Millimeter).size() * 10;
}

QRectF PagePrinter::toDevice(const QRectF &tenthsOfMm) const {
    const double scale = m_device.logicalDpiY() / tenthsPerInch;
    return QRectF(tenthsOfMm.x() * scale, tenthsOfMm.y() * scale, tenthsOfMm.width() * scale,
                  tenthsOfMm.height() * scale);
}

QRectF PagePrinter::placePicture(const QImage &picture, QPointF at, Anchor anchor, QSizeF largest) {
    if (picture.isNull() || !isActive())
        return QRectF();
    QSizeF size = QSizeF(picture.size()) * (tenthsPerInch / screenDpi);
    if (largest.isValid())
        size = size.scaled(size.boundedTo(largest), Qt::KeepAspectRatio);
    QPointF topLeft = at;
    if (anchor == Anchor::TopRight || anchor == Anchor::BottomRight)
        topLeft.rx() -= size.width();
    if (anchor == Anchor::BottomRight)
        topLeft.ry() -= size.height();
    const QRectF placed(topLeft, size);
    m_painter->drawImage(toDevice(placed), picture);
    return placed;
}

void PagePrinter::draw(const QRectF &target,
                       const std::function<void(QPainter &, const QRectF &)> &paint) {
    if (!isActive())
        return;
    m_painter->save();
    paint(*m_painter, toDevice(target));
    m_painter->restore();
}

bool PagePrinter::finish() {
    return m_painter->end();
}
