// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace {

// A chart to screen readers: a plain widget is a filler to AT-SPI, which readers pass over.
QAccessibleInterface *chartInterface(const QString &className, QObject *object) {
    if (className == QLatin1StringView(ChartControl::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<ChartControl *>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace

ChartControl::ChartControl(QWidget *parent)
    : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(chartInterface);
        return true;
    }();
    Q_UNUSED(installed)
    setObjectName(QStringLiteral("Chart1"));
    // Every pixel is drawn by the chart itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(640, 480);
    // A stop of its own, so that a screen reader says its name and description as the focus
    // arrives, not only in its review mode.
    setFocusPolicy(Qt::StrongFocus);
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
    // With the focus, a frame in the highlight colour just inside the edge, as a field with
    // the focus is framed; only on screen, never in a picture or on paper.
    if (hasFocus()) {
        painter.resetTransform();
        painter.setClipping(false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ChartControl::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    update();
}

void ChartControl::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    update();
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
