// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/chartdrawing.h"

#include <QWidget>

class QPainter;

/**
 * The reduction chart: planned weights as a line, measured weights as points, dates on
 * the time axis, a two-line title above and the footnote below. It keeps what the last
 * computation and the chart options set, and draws itself the same way on screen, into a
 * picture and on paper.
 */
class ChartControl : public QWidget {
    Q_OBJECT

public:
    enum class Axis { Time, Value, SecondValue };

    explicit ChartControl(QWidget *parent = nullptr);

    /** Takes over everything a computation hands to the chart. */
    void apply(const ChartSetup &setup);

    void setAutoScale(Axis axis, bool on);
    bool autoScale(Axis axis) const;
    void setScaleVisible(Axis axis, bool visible);
    bool scaleVisible(Axis axis) const;

    void setDivisions(int perLabel, int perTick);
    int divisionsPerLabel() const { return m_content.setup.divisionsPerLabel; }
    int divisionsPerTick() const { return m_content.setup.divisionsPerTick; }

    void setMajorDivisions(int divisions);
    int majorDivisions() const { return m_content.setup.valueMajorDivisions; }
    double minimum() const { return valueScaleOf(m_content).low; }
    double maximum() const { return valueScaleOf(m_content).high; }

    void setBackdropColor(const QColor &color);
    QColor backdropColor() const { return m_content.backdropColor; }
    void setSeriesColor(const QColor &color);
    QColor seriesColor() const { return m_content.seriesColor; }

    QString title() const;
    QString footnote() const { return m_content.setup.footnote; }
    const ReductionPlan &plan() const { return m_content.setup.plan; }

    /** Where everything goes at the chart's present size; laid out again only after a change. */
    const ChartLayout &currentLayout();
    /** How often the chart was laid out, so that needless layouts show. */
    int layoutCount() const { return m_layoutCount; }

    /** The chart's size in the main window at its default size: the one it is designed at. */
    static constexpr QSize designedSize{800, 520};

    /** Draws the whole chart (title, plot, footnote) into a rectangle, as vectors. */
    void render(QPainter *painter, const QRectF &target);
    /**
     * The same laid out at the designed size, whatever the window's: printed text keeps its
     * size when the window grows.
     */
    void renderDesigned(QPainter *painter, const QRectF &target);
    /** The chart as a picture at the given scale of its size on screen. */
    QImage picture(qreal scale = 1.0);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void paintScaled(QPainter &painter, const QRectF &target, const ChartLayout &layout);
    void changed();

    ChartContent m_content;
    ChartLayout m_layout;
    bool m_stale = true;
    int m_layoutCount = 0;
};
