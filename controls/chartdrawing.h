// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/chartcalc.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>

class QPainter;

/** What the reduction chart shows: the computation's content and the options' look. */
struct ChartContent {
    ChartSetup setup;
    /// Kept for the options dialog only: the dates follow the plan's rows either way.
    bool timeAutoScale = false;
    bool timeScaleShown = true;
    bool valueScaleShown = true;
    bool secondScaleShown = false;
    QColor seriesColor{0x2F, 0x6F, 0x73};
    QColor backdropColor{Qt::white};
    /** Dots per inch that turn the point sizes into pixels of the layout. */
    double dpi = 96;
};

/** The value axis from the bottom to the top of the plot. */
struct ValueScale {
    double low = 0;
    double high = 1;
    int divisions = 1;
};

/** One text of the chart where it is drawn; a rotated label reads upwards from its foot. */
struct ChartText {
    QString text;
    QRectF rect; ///< what the text covers on the chart
    bool rotated = false;
};

/**
 * Where everything of the chart goes in a rectangle of a given size. Axis labels are
 * thinned to every n-th grid line so that none is cut or overlaps another.
 */
struct ChartLayout {
    QSizeF size;
    QRectF plot;
    ValueScale scale;

    QFont titleFont, legendFont, labelFont, valueTitleFont, categoryTitleFont, footnoteFont;
    double labelAscent = 0;
    ChartText title, footnote, valueTitle, categoryTitle;
    QRectF legendLineSample, legendMarkerSample;
    ChartText legendPlanned, legendMeasured;

    QList<QLineF> grid;  ///< grid lines inside the plot, both axes
    QList<QLineF> ticks; ///< tick marks outside the plot
    int valueGridLines = 0;
    int timeGridLines = 0;
    QList<ChartText> valueLabels;  ///< left, bottom to top
    QList<ChartText> secondLabels; ///< right, bottom to top
    QList<ChartText> dateLabels;   ///< left to right

    QPolygonF curve;
    QList<QPointF> markers;
    double markerRadius = 5.5;
    double shadowOffset = 4;
    double frameWidth = 2;

    /** Every text of the chart, for checks that nothing overlaps or is cut. */
    QList<ChartText> texts() const;
};

/** The fixed scale of the computation, or one of nice numbers around the data. */
ValueScale valueScaleOf(const ChartContent &content);

/** Lays the chart out in a rectangle of the given size, in pixels at the content's dpi. */
ChartLayout layoutChart(const ChartContent &content, QSizeF size);

/** Draws a laid-out chart with its top left corner at the painter's origin. */
void paintChart(QPainter &painter, const ChartContent &content, const ChartLayout &layout);

/** The steps between labels: 1, 2, 5, 10, 20 … on the value axis, 1, 2, 4, 8, 13, 26 … weeks. */
enum class LabelSteps { Decimal, Weeks };

/** The smallest step n whose spacing (n grid lines apart) is at least what a label needs. */
int labelStride(LabelSteps steps, double gridSpacing, double needed);
