// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartdrawing.h"

#include "core/stringids.h"
#include "core/stringtable.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor measuredColor(0xE0, 0x7A, 0x3F);
const QColor frameColor(0x80, 0x80, 0x80);
const QColor shadowColor(0xA0, 0xA0, 0xA0);

constexpr double margin = 12; // around the whole chart
constexpr double gap = 6;     // between the blocks of the chart
constexpr double tick = 4;    // length of a tick mark
constexpr double labelGap = 3;
constexpr double legendSample = 24;
constexpr int maxGridLines = 1000; // a guard against absurd scales from hostile input

/** A font of the chart: Arial throughout, in points at the size the chart is designed at. */
QFont fontOf(double points, bool bold, double dpi) {
    QFont font(QStringLiteral("Arial"));
    // Pixels, not points: the same layout is drawn scaled on printers and pictures, where
    // points would be resolved a second time at the device's resolution.
    font.setPixelSize(std::max(1, int(std::lround(points * dpi / 72))));
    font.setBold(bold);
    return font;
}

/** Decimals that the labels of an axis need to tell its steps apart. */
int decimalsFor(double step) {
    for (int decimals = 0; decimals < 3; ++decimals) {
        const double scaled = step * std::pow(10, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6)
            return decimals;
    }
    return 3;
}

/** 1, 2 or 5 times a power of ten, at least the given step. */
double niceStep(double raw) {
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

} // namespace

ValueScale valueScaleOf(const ChartContent &content) {
    const ChartSetup &s = content.setup;
    if (!s.valueAutoScale && s.valueMinimum && s.valueMaximum && *s.valueMaximum > *s.valueMinimum)
        return {*s.valueMinimum, *s.valueMaximum, std::max(s.valueMajorDivisions, 1)};

    // The chart's own scale from the data, with nice numbers.
    double low = 0;
    double high = 0;
    bool first = true;
    for (int row = 0; row < s.plan.rowsShown; ++row) {
        for (const std::optional<double> &v :
             {s.plan.grid[row].planned, s.plan.grid[row].measured}) {
            if (!v)
                continue;
            low = first ? *v : std::min(low, *v);
            high = first ? *v : std::max(high, *v);
            first = false;
        }
    }
    if (high - low < 0.1) {
        low -= 0.5;
        high += 0.5;
    }
    const double step = niceStep((high - low) / 5);
    ValueScale scale{std::floor(low / step) * step, std::ceil(high / step) * step, 1};
    scale.divisions = std::max(1, int(std::lround((scale.high - scale.low) / step)));
    return scale;
}

namespace {

/** A text's rectangle when it is wrapped into a width at a position. */
QRectF textRect(const QFont &font, QPointF at, double width, int flags, const QString &text) {
    const QRectF bounds =
        QFontMetricsF(font).boundingRect(QRectF(at, QSizeF(width, 1e6)), flags, text);
    return QRectF(at, QSizeF(std::min(bounds.width(), width), bounds.height()));
}

int wrapFlags(bool wrap) {
    return Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0);
}

} // namespace

int labelStride(LabelSteps steps, double gridSpacing, double needed) {
    if (!(gridSpacing > 0))
        return std::numeric_limits<int>::max();
    const auto fits = [&](long long n) { return double(n) * gridSpacing >= needed; };
    if (steps == LabelSteps::Weeks) {
        for (int n : {1, 2, 4, 8})
            if (fits(n))
                return n;
        for (long long n = 13; n < std::numeric_limits<int>::max(); n *= 2)
            if (fits(n))
                return int(n);
    } else {
        for (long long power = 1; power < std::numeric_limits<int>::max() / 5; power *= 10)
            for (int factor : {1, 2, 5})
                if (fits(factor * power))
                    return int(factor * power);
    }
    return std::numeric_limits<int>::max();
}

QList<ChartText> ChartLayout::texts() const {
    QList<ChartText> all{title, footnote, valueTitle, categoryTitle, legendPlanned, legendMeasured};
    all << valueLabels << secondLabels << dateLabels;
    return all;
}

ChartLayout layoutChart(const ChartContent &content, QSizeF size) {
    const ChartSetup &s = content.setup;
    ChartLayout l;
    l.size = size;
    const double dpi = content.dpi;
    l.titleFont = fontOf(12, true, dpi);
    l.footnoteFont = fontOf(9, false, dpi);
    l.valueTitleFont = fontOf(10, true, dpi);
    l.categoryTitleFont = fontOf(9, false, dpi);
    l.labelFont = fontOf(8, false, dpi);
    l.legendFont = fontOf(8, false, dpi);
    const QFontMetricsF labelMetrics(l.labelFont);
    const double line = labelMetrics.height();
    l.labelAscent = labelMetrics.ascent();
    // Digits are equally wide: the labels of an axis differ in width only by their length.
    QHash<qsizetype, double> widths;
    const auto labelWidth = [&](const QString &text) {
        auto it = widths.find(text.size());
        if (it == widths.end())
            it = widths.insert(text.size(), labelMetrics.horizontalAdvance(text));
        return *it;
    };
    const double inner = std::max(size.width() - 2 * margin, 1.0);

    // Top: the title, then the legend centred under it.
    l.title.text = QString(s.title).replace(u'\r', u'\n');
    l.title.rect =
        textRect(l.titleFont, {margin, margin}, inner, wrapFlags(s.titleWordWrap), l.title.text);
    const QFontMetricsF legendMetrics(l.legendFont);
    l.legendPlanned.text = str(S::Planned);
    l.legendMeasured.text = str(S::Measured);
    const double legendHeight = std::max(legendMetrics.height(), 2 * l.markerRadius);
    const double plannedWidth = legendMetrics.horizontalAdvance(l.legendPlanned.text);
    const double measuredWidth = legendMetrics.horizontalAdvance(l.legendMeasured.text);
    const double legendWidth = legendSample + labelGap + plannedWidth + 4 * gap +
                               2 * l.markerRadius + labelGap + measuredWidth;
    double x = std::max(margin, (size.width() - legendWidth) / 2);
    const double legendTop = l.title.rect.bottom() + gap;
    const double legendMiddle = legendTop + legendHeight / 2;
    l.legendLineSample = QRectF(x, legendMiddle, legendSample, 0);
    x += legendSample + labelGap;
    l.legendPlanned.rect =
        QRectF(x, legendMiddle - legendMetrics.height() / 2, plannedWidth, legendMetrics.height());
    x += plannedWidth + 4 * gap;
    l.legendMarkerSample =
        QRectF(x, legendMiddle - l.markerRadius, 2 * l.markerRadius, 2 * l.markerRadius);
    x += 2 * l.markerRadius + labelGap;
    l.legendMeasured.rect =
        QRectF(x, l.legendPlanned.rect.top(), measuredWidth, legendMetrics.height());

    // Bottom: the footnote, above it the creation line under the date labels.
    l.footnote.text = s.footnote;
    l.footnote.rect = textRect(l.footnoteFont, {margin, 0}, inner, wrapFlags(s.footnoteWordWrap),
                               l.footnote.text);
    l.footnote.rect.moveBottom(size.height() - margin);
    l.categoryTitle.text = s.categoryTitle;
    const QFontMetricsF categoryMetrics(l.categoryTitleFont);
    l.categoryTitle.rect =
        QRectF(0, 0, categoryMetrics.horizontalAdvance(s.categoryTitle), categoryMetrics.height());
    l.categoryTitle.rect.moveBottom(l.footnote.rect.top() - gap);

    // The value scale and the room its labels take.
    l.scale = valueScaleOf(content);
    const ValueScale &scale = l.scale;
    const int decimals = decimalsFor((scale.high - scale.low) / scale.divisions);
    const QLocale german(QLocale::German, QLocale::Germany);
    const auto valueText = [&](int i) {
        return german.toString(scale.low + (scale.high - scale.low) * i / scale.divisions, 'f',
                               decimals);
    };
    // Digits are equally wide, so the longest number is at one of the ends.
    const double valueWidth =
        std::max(labelWidth(valueText(0)), labelWidth(valueText(scale.divisions)));
    const bool leftShown = content.valueScaleShown;
    const bool rightShown = content.secondScaleShown;

    const ReductionPlan &plan = s.plan;
    const int lastRow = std::max(plan.rowsShown - 1, 0);
    const bool datesShown = content.timeScaleShown && plan.rowsShown > 0;
    const double dateWidth =
        datesShown ? std::max(labelWidth(plan.rowLabel(0)), labelWidth(plan.rowLabel(lastRow))) : 0;
    // Dates start below the tick and below the lowest value label beside them.
    const double dateGap = std::max(tick + labelGap, line / 2 + 1);

    l.valueTitle.text = s.valueTitle;
    const QFontMetricsF valueTitleMetrics(l.valueTitleFont);
    l.valueTitle.rect = QRectF(margin, 0, valueTitleMetrics.horizontalAdvance(s.valueTitle),
                               valueTitleMetrics.height());

    // The plot takes what is left, on whole pixels.
    double left = l.valueTitle.rect.right() + gap + tick;
    if (leftShown)
        left += valueWidth + labelGap;
    left = std::max(left, margin + l.markerRadius);
    double right = size.width() - margin - std::max({l.shadowOffset, line / 2, l.markerRadius});
    if (rightShown)
        right -= tick + labelGap + valueWidth;
    const double top = legendTop + legendHeight + gap + std::max(line / 2, l.markerRadius + 1);
    double bottom = l.categoryTitle.rect.top() - gap;
    if (datesShown)
        bottom -= dateWidth + dateGap;
    else
        bottom -= std::max(l.shadowOffset, l.markerRadius);
    l.plot = QRectF(
        QPointF(std::round(left), std::round(top)),
        QPointF(std::round(std::max(right, left + 10)), std::round(std::max(bottom, top + 10))));
    const QRectF &plot = l.plot;

    l.valueTitle.rect.moveTop(plot.center().y() - l.valueTitle.rect.height() / 2);
    l.categoryTitle.rect.moveLeft(std::clamp(plot.center().x() - l.categoryTitle.rect.width() / 2,
                                             margin,
                                             size.width() - margin - l.categoryTitle.rect.width()));

    // Value axis: a grid line and ticks at every division, labels at every n-th.
    const double rowHeight = plot.height() / scale.divisions;
    const auto yAt = [&](double value) {
        return plot.bottom() - (value - scale.low) / (scale.high - scale.low) * plot.height();
    };
    const int gridStride = (scale.divisions + maxGridLines - 1) / maxGridLines;
    for (int i = 0; i <= scale.divisions; i += gridStride) {
        const double y = std::round(plot.bottom() - i * rowHeight);
        l.grid.append(QLineF(plot.left(), y, plot.right(), y));
        if (leftShown)
            l.ticks.append(QLineF(plot.left() - tick, y, plot.left(), y));
        if (rightShown)
            l.ticks.append(QLineF(plot.right(), y, plot.right() + tick, y));
        ++l.valueGridLines;
    }
    const int valueStride = labelStride(LabelSteps::Decimal, rowHeight, line + 2);
    for (long long i = 0; (leftShown || rightShown) && i <= scale.divisions; i += valueStride) {
        const QString text = valueText(int(i));
        const double width = labelWidth(text);
        const double y = std::round(plot.bottom() - i * rowHeight) - line / 2;
        if (leftShown)
            l.valueLabels.append(
                {text, QRectF(plot.left() - tick - labelGap - width, y, width, line)});
        if (rightShown)
            l.secondLabels.append({text, QRectF(plot.right() + tick + labelGap, y, width, line)});
    }

    // Time axis: a grid line and a tick every few days, a date at every n-th of them.
    const double dayWidth = plot.width() / std::max(lastRow, 1);
    const auto xAt = [&](int row) { return plot.left() + row * dayWidth; };
    const int perTick = std::max(s.divisionsPerTick, 1);
    for (int row = 0; row <= lastRow; row += perTick) {
        const double xr = std::round(xAt(row));
        l.grid.append(QLineF(xr, plot.top(), xr, plot.bottom()));
        if (datesShown)
            l.ticks.append(QLineF(xr, plot.bottom(), xr, plot.bottom() + tick));
        ++l.timeGridLines;
    }
    const int perLabel = std::max(s.divisionsPerLabel, 1);
    const long long dateStride =
        perLabel *
        static_cast<long long>(labelStride(LabelSteps::Weeks, perLabel * dayWidth, line + 2));
    for (long long row = 0; datesShown && row <= lastRow; row += dateStride) {
        const QString text = plan.rowLabel(int(row));
        const double width = labelWidth(text);
        l.dateLabels.append({text,
                             QRectF(std::round(xAt(int(row))) - line / 2,
                                    plot.bottom() + dateGap + dateWidth - width, line, width),
                             true});
    }

    for (int row = 0; row < plan.rowsShown; ++row) {
        const PlanPoint &p = plan.grid[row];
        if (p.planned)
            l.curve.append(QPointF(xAt(row), yAt(*p.planned)));
        if (p.measured)
            l.markers.append(QPointF(xAt(row), yAt(*p.measured)));
    }
    return l;
}

void paintChart(QPainter &painter, const ChartContent &content, const ChartLayout &l) {
    painter.save();
    painter.fillRect(QRectF(QPointF(), l.size), Qt::white);
    const auto drawText = [&painter](const ChartText &t, int flags) {
        painter.drawText(t.rect, flags | Qt::TextDontClip, t.text);
    };
    const int leftFlags = Qt::AlignLeft | Qt::AlignVCenter;
    painter.setPen(Qt::black);
    painter.setFont(l.titleFont);
    drawText(l.title, wrapFlags(content.setup.titleWordWrap));

    // The plot with its drop shadow, backdrop, grid and thick inner frame, on whole pixels.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(l.plot.translated(l.shadowOffset, l.shadowOffset), shadowColor);
    painter.fillRect(l.plot, content.backdropColor);
    // Lines as one-pixel rectangles: filled spans instead of a stroke per pixel.
    const auto drawHairlines = [&painter](const QList<QLineF> &lines, const QColor &color) {
        for (const QLineF &line : lines)
            painter.fillRect(QRectF(line.p1(), line.p2())
                                 .normalized()
                                 .adjusted(0, 0, line.dx() ? 0 : 1, line.dy() ? 0 : 1),
                             color);
    };
    drawHairlines(l.grid, content.backdropColor.darker(120)); // seen on every backdrop
    drawHairlines(l.ticks, frameColor);
    painter.setPen(QPen(frameColor, l.frameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const double half = l.frameWidth / 2;
    painter.drawRect(l.plot.adjusted(half, half, -half, -half));

    // The curve, and the measured weights as whole markers, even on the plot's edge.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPen curvePen(content.seriesColor, 2, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
    const QPen measuredPen(measuredColor, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const bool joined = content.setup.joinMeasured;
    // A weight beyond the scale (a pet that gained since its first visit) stays inside the
    // plot instead of running over the title.
    painter.save();
    painter.setClipRect(l.plot);
    painter.setPen(curvePen);
    painter.drawPolyline(l.curve);
    if (joined) {
        painter.setPen(measuredPen);
        painter.drawPolyline(QPolygonF(l.markers));
    }
    const int reach = int(std::ceil(l.markerRadius)) + 2;
    painter.setClipRect(l.plot.adjusted(-reach, -reach, reach, reach));
    painter.setPen(QPen(measuredColor.darker(130), 1));
    painter.setBrush(measuredColor);
    for (const QPointF &p : l.markers)
        painter.drawEllipse(p, l.markerRadius, l.markerRadius);
    painter.restore();

    // The legend.
    painter.setPen(curvePen);
    painter.drawLine(l.legendLineSample.topLeft(), l.legendLineSample.topRight());
    if (joined) {
        painter.setPen(measuredPen);
        const QPointF middle = l.legendMarkerSample.center();
        painter.drawLine(middle - QPointF(l.markerRadius + 2, 0),
                         middle + QPointF(l.markerRadius + 2, 0));
        painter.setBrush(measuredColor);
    }
    painter.setPen(QPen(measuredColor.darker(130), 1));
    painter.drawEllipse(l.legendMarkerSample);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    painter.setFont(l.legendFont);
    drawText(l.legendPlanned, leftFlags);
    drawText(l.legendMeasured, leftFlags);

    // Labels go straight to their baselines; their rectangles were measured for them.
    painter.setFont(l.labelFont);
    for (const QList<ChartText> *labels : {&l.valueLabels, &l.secondLabels})
        for (const ChartText &t : *labels)
            painter.drawText(QPointF(t.rect.left(), t.rect.top() + l.labelAscent), t.text);
    const QTransform unrotated = painter.transform();
    for (const ChartText &t : l.dateLabels) {
        // Read upwards, ending at the tick.
        painter.setTransform(
            QTransform(unrotated).translate(t.rect.left(), t.rect.bottom()).rotate(-90));
        painter.drawText(QPointF(0, l.labelAscent), t.text);
    }
    painter.setTransform(unrotated);

    painter.setFont(l.valueTitleFont);
    drawText(l.valueTitle, leftFlags);
    painter.setFont(l.categoryTitleFont);
    drawText(l.categoryTitle, leftFlags);
    painter.setFont(l.footnoteFont);
    drawText(l.footnote, wrapFlags(content.setup.footnoteWordWrap));
    painter.restore();
}
