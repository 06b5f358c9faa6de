// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRectF>
#include <QSizeF>

#include <functional>

class QImage;
class QPainter;
class QPagedPaintDevice;

/**
 * A page laid out in tenths of a millimetre from the paper's top left corner: pictures
 * are placed by a corner, drawings fill a rectangle.
 */
class PagePrinter {
public:
    /** Which corner of a picture its position names. */
    enum class Anchor { TopLeft, TopRight, BottomRight };

    /** A printer, or a PDF writer where no printer is involved. */
    explicit PagePrinter(QPagedPaintDevice &device);
    ~PagePrinter();
    PagePrinter(const PagePrinter &) = delete;
    PagePrinter &operator=(const PagePrinter &) = delete;

    /** False when the printer could not be opened. */
    bool isActive() const;

    /** The paper in tenths of a millimetre. */
    QSizeF paperSize() const;

    /**
     * A picture at its own size (96 dots per inch), made smaller to fit the largest size
     * given, if any. Returns where it went, empty for no picture.
     */
    QRectF placePicture(const QImage &picture, QPointF at, Anchor anchor = Anchor::TopLeft,
                        QSizeF largest = QSizeF());

    /** Something drawn with vectors into a rectangle of the page. */
    void draw(const QRectF &target, const std::function<void(QPainter &, const QRectF &)> &paint);

    /** Ends the page and the document; false when the printer reported a failure. */
    bool finish();

private:
    QRectF toDevice(const QRectF &tenthsOfMm) const;

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
};
