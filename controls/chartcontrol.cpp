// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"

#include <QPainter>

ChartControl::ChartControl(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("Chart1"));
    // Every pixel is drawn by the chart itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(640, 480);
}

void ChartControl::apply(const ChartSetup &setup) {
    m_content.setup = setup;
    const Rgb &c = setup.backdropColor;
    m_content.backdropColor = QColor(c.red, c.green, c.blue);
    changed();
}

void ChartControl::changed() {
    m_stale = true;
    update();
}

void ChartControl::setAutoScale(Axis axis, bool on) {
    if (axis == Axis::Time) {
        m_content.timeAutoScale = on; // nothing to lay out again
        return;
    }
    m_content.setup.valueAutoScale = on;
    changed();
}

bool ChartControl::autoScale(Axis axis) const {
    return axis == Axis::Time ? m_content.timeAutoScale : m_content.setup.valueAutoScale;
}

void ChartControl::setScaleVisible(Axis axis, bool visible) {
    switch (axis) {
    case Axis::Time:
        m_content.timeScaleShown = visible;
        break;
    case Axis::Value:
        m_content.valueScaleShown = visible;
        break;
    case Axis::SecondValue:
        m_content.secondScaleShown = visible;
        break;
    }
    changed();
}

bool ChartControl::scaleVisible(Axis axis) const {
    switch (axis) {
    case Axis::Time:
        return m_content.timeScaleShown;
    case Axis::Value:
        return m_content.valueScaleShown;
    case Axis::SecondValue:
        return m_content.secondScaleShown;
    }
    return false;
}

void ChartControl::setDivisions(int perLabel, int perTick) {
    m_content.setup.divisionsPerLabel = perLabel;
    m_content.setup.divisionsPerTick = perTick;
    changed();
}

void ChartControl::setMajorDivisions(int divisions) {
    m_content.setup.valueMajorDivisions = divisions;
    changed();
}

void ChartControl::setBackdropColor(const QColor &color) {
    m_content.backdropColor = color;
    changed();
}

void ChartControl::setSeriesColor(const QColor &color) {
    m_content.seriesColor = color;
    changed();
}

QString ChartControl::title() const {
    return QString(m_content.setup.title).replace(u'\r', u'\n');
}

const ChartLayout &ChartControl::currentLayout() {
    if (m_stale || m_layout.size != QSizeF(size())) {
        m_content.dpi = logicalDpiY();
        m_layout = layoutChart(m_content, size());
        m_stale = false;
        ++m_layoutCount;
    }
    return m_layout;
}

void ChartControl::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintChart(painter, m_content, currentLayout());
}

void ChartControl::renderDesigned(QPainter *painter, const QRectF &target) {
    m_content.dpi = logicalDpiY();
    paintScaled(*painter, target, layoutChart(m_content, designedSize));
}

void ChartControl::render(QPainter *painter, const QRectF &target) {
    paintScaled(*painter, target, currentLayout());
}

void ChartControl::paintScaled(QPainter &painter, const QRectF &target, const ChartLayout &layout) {
    const qreal scale =
        std::min(target.width() / layout.size.width(), target.height() / layout.size.height());
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    paintChart(painter, m_content, layout);
    painter.restore();
}

QImage ChartControl::picture(qreal scale) {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    render(&painter, QRectF(QPointF(), QSizeF(image.size())));
    return image;
}
