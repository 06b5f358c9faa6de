#pragma once

#include "core/chartcalc.h"

#include <QColor>
#include <QWidget>

class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPainter;
class QScatterSeries;
class QValueAxis;

/**
 * The reduction chart: planned weights as a line, measured weights as points, dates on
 * the time axis, a two-line title above and the footnote below. It keeps what the last
 * computation and the chart options set.
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
    int divisionsPerLabel() const { return m_divisionsPerLabel; }
    int divisionsPerTick() const { return m_divisionsPerTick; }

    void setMajorDivisions(int divisions);
    int majorDivisions() const { return m_majorDivisions; }
    double minimum() const;
    double maximum() const;

    void setBackdropColor(const QColor &color);
    QColor backdropColor() const { return m_backdrop; }
    void setSeriesColor(const QColor &color);
    QColor seriesColor() const;

    QString title() const;
    QString footnote() const;
    const ReductionPlan &plan() const { return m_plan; }
    QChart *chart() const { return m_chart; }

    /** Draws the whole chart (title, plot, footnote) into a rectangle, as vectors. */
    void render(QPainter *painter, const QRectF &target);
    /** The chart as a picture at the given scale of its size on screen. */
    QImage picture(qreal scale = 1.0);

private:
    void updateTimeAxis();
    void updateValueAxis();

    QLabel *m_title;
    QChart *m_chart;
    QChartView *m_view;
    QLabel *m_footnote;
    QLineSeries *m_planned;
    QScatterSeries *m_measured;
    QCategoryAxis *m_timeAxis;
    QValueAxis *m_valueAxis;
    QValueAxis *m_secondAxis;

    ReductionPlan m_plan;
    int m_divisionsPerLabel = 7;
    int m_divisionsPerTick = 7;
    int m_majorDivisions = 5;
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
    bool m_timeAutoScale = false;
    bool m_valueAutoScale = false;
    QColor m_backdrop = Qt::white;
};
