#include "views/chartcontrol.h"

#include "core/stringtable.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace {

constexpr int sPlanned = 2110;
constexpr int sMeasured = 2111;

const QColor plannedColor(0x2F, 0x6F, 0x73);
const QColor measuredColor(0xE0, 0x7A, 0x3F);

QFont fontOf(const FontSpec &wanted) {
    QFont font(wanted.name);
    font.setPointSizeF(wanted.size);
    font.setBold(wanted.bold);
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

} // namespace

ChartControl::ChartControl(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(this))
    , m_chart(new QChart)
    // Handed over at construction: setChart() would orphan the view's own first chart.
    , m_view(new QChartView(m_chart, this))
    , m_footnote(new QLabel(this))
    , m_planned(new QLineSeries(m_chart))
    , m_measured(new QScatterSeries(m_chart))
    , m_timeAxis(new QCategoryAxis(this))
    , m_valueAxis(new QValueAxis(this))
    , m_secondAxis(new QValueAxis(this)) {
    setObjectName(QStringLiteral("Chart1"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    m_title->setTextFormat(Qt::PlainText);
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_footnote->setTextFormat(Qt::PlainText);
    m_footnote->setWordWrap(true);

    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_chart->setBackgroundRoundness(0);

    m_planned->setName(str(sPlanned));
    m_planned->setPen(QPen(plannedColor, 2));
    m_measured->setName(str(sMeasured));
    m_measured->setColor(measuredColor);
    m_measured->setBorderColor(measuredColor.darker(130));
    m_measured->setMarkerSize(11);
    m_chart->addSeries(m_planned);
    m_chart->addSeries(m_measured);

    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_timeAxis->setLabelsAngle(-90);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QAbstractSeries *series :
         {static_cast<QAbstractSeries *>(m_planned), static_cast<QAbstractSeries *>(m_measured)}) {
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
    }
    m_chart->legend()->setAlignment(Qt::AlignTop);

    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_title);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footnote);
    setMinimumSize(640, 480);
}

void ChartControl::apply(const ChartSetup &s) {
    m_plan = s.plan;

    QList<QPointF> planned;
    QList<QPointF> measured;
    for (int row = 0; row < m_plan.rowsShown; ++row) {
        const PlanPoint &p = m_plan.grid[row];
        if (p.planned)
            planned.append({double(row), *p.planned});
        if (p.measured)
            measured.append({double(row), *p.measured});
    }
    m_planned->replace(planned);
    m_measured->replace(measured);

    m_divisionsPerLabel = s.divisionsPerLabel;
    m_divisionsPerTick = s.divisionsPerTick;
    m_timeAxis->setTitleText(s.categoryTitle);
    m_timeAxis->setTitleFont(fontOf(s.categoryTitleFont));
    QFont labelFont(s.axisLabelFontName);
    labelFont.setPointSizeF(8);
    m_timeAxis->setLabelsFont(labelFont);
    m_valueAxis->setLabelsFont(labelFont);
    m_secondAxis->setLabelsFont(labelFont);
    updateTimeAxis();

    m_valueAutoScale = s.valueAutoScale;
    m_minimum = s.valueMinimum;
    m_maximum = s.valueMaximum;
    m_majorDivisions = s.valueMajorDivisions;
    m_valueAxis->setTitleText(s.valueTitle);
    m_valueAxis->setTitleFont(fontOf(s.valueTitleFont));
    updateValueAxis();

    setBackdropColor(QColor(s.backdropColor.red, s.backdropColor.green, s.backdropColor.blue));
    // A thick inner frame around the plot. The shadow is left out: blurring it costs more
    // than drawing the whole curve.
    m_chart->setPlotAreaBackgroundPen(QPen(QColor(0x80, 0x80, 0x80), s.backdropFrameStyle - 1));

    m_title->setText(QString(s.title).replace(u'\r', u'\n'));
    m_title->setFont(fontOf(s.titleFont));
    m_title->setWordWrap(s.titleWordWrap);
    m_footnote->setText(s.footnote);
    m_footnote->setFont(fontOf(s.footnoteFont));
    m_footnote->setWordWrap(s.footnoteWordWrap);
}

void ChartControl::updateTimeAxis() {
    for (const QString &label : m_timeAxis->categoriesLabels())
        m_timeAxis->remove(label);
    const int last = std::max(m_plan.rowsShown - 1, 0);
    const int step = std::max(m_divisionsPerLabel, 1);
    for (int row = 0; row <= last; row += step)
        m_timeAxis->append(m_plan.rowLabel(row), row);
    m_timeAxis->setStartValue(0);
    m_timeAxis->setRange(0, std::max(last, 1));
}

void ChartControl::updateValueAxis() {
    const bool fixed = !m_valueAutoScale && m_minimum && m_maximum && *m_maximum > *m_minimum;
    double low = 0;
    double high = 0;
    if (fixed) {
        low = *m_minimum;
        high = *m_maximum;
    } else {
        // The chart's own scale from the data, with nice numbers.
        bool first = true;
        for (const QXYSeries *series :
             {static_cast<QXYSeries *>(m_planned), static_cast<QXYSeries *>(m_measured)}) {
            for (const QPointF &p : series->points()) {
                low = first ? p.y() : std::min(low, p.y());
                high = first ? p.y() : std::max(high, p.y());
                first = false;
            }
        }
        if (high - low < 0.1) {
            low -= 0.5;
            high += 0.5;
        }
    }
    for (QValueAxis *axis : {m_valueAxis, m_secondAxis}) {
        axis->setRange(low, high);
        if (fixed) {
            axis->setTickCount(std::clamp(m_majorDivisions, 1, 200) + 1);
            axis->setLabelFormat(
                QStringLiteral("%.%1f").arg(decimalsFor((high - low) / m_majorDivisions)));
        } else {
            axis->applyNiceNumbers();
            axis->setLabelFormat(QStringLiteral("%.%1f").arg(
                decimalsFor((axis->max() - axis->min()) / (axis->tickCount() - 1))));
        }
    }
}

void ChartControl::setAutoScale(Axis axis, bool on) {
    if (axis == Axis::Time) {
        m_timeAutoScale = on;
        return;
    }
    m_valueAutoScale = on;
    updateValueAxis();
}

bool ChartControl::autoScale(Axis axis) const {
    return axis == Axis::Time ? m_timeAutoScale : m_valueAutoScale;
}

void ChartControl::setScaleVisible(Axis axis, bool visible) {
    switch (axis) {
    case Axis::Time:
        m_timeAxis->setLabelsVisible(visible);
        break;
    case Axis::Value:
        m_valueAxis->setLabelsVisible(visible);
        break;
    case Axis::SecondValue:
        // The right scale is drawn only while it is wanted.
        if (visible && !m_chart->axes().contains(m_secondAxis))
            m_chart->addAxis(m_secondAxis, Qt::AlignRight);
        else if (!visible && m_chart->axes().contains(m_secondAxis)) {
            m_chart->removeAxis(m_secondAxis);
            m_secondAxis->setParent(this); // the chart hands it back without an owner
        }
        break;
    }
}

bool ChartControl::scaleVisible(Axis axis) const {
    switch (axis) {
    case Axis::Time:
        return m_timeAxis->labelsVisible();
    case Axis::Value:
        return m_valueAxis->labelsVisible();
    case Axis::SecondValue:
        return m_chart->axes().contains(m_secondAxis);
    }
    return false;
}

void ChartControl::setDivisions(int perLabel, int perTick) {
    m_divisionsPerLabel = perLabel;
    m_divisionsPerTick = perTick;
    updateTimeAxis();
}

void ChartControl::setMajorDivisions(int divisions) {
    m_majorDivisions = divisions;
    updateValueAxis();
}

double ChartControl::minimum() const {
    return m_valueAxis->min();
}

double ChartControl::maximum() const {
    return m_valueAxis->max();
}

void ChartControl::setBackdropColor(const QColor &color) {
    m_backdrop = color;
    m_chart->setPlotAreaBackgroundBrush(color);
    m_chart->setPlotAreaBackgroundVisible(true);
}

void ChartControl::setSeriesColor(const QColor &color) {
    QPen pen = m_planned->pen();
    pen.setColor(color);
    m_planned->setPen(pen);
}

QColor ChartControl::seriesColor() const {
    return m_planned->pen().color();
}

QString ChartControl::title() const {
    return m_title->text();
}

QString ChartControl::footnote() const {
    return m_footnote->text();
}

void ChartControl::render(QPainter *painter, const QRectF &target) {
    // Drawn in the widget's own pixel coordinates, scaled into the target. Fonts go by pixel
    // size so that a printer's resolution does not enlarge them a second time.
    // A computation just handed over may not be laid out yet.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    const QSize own = size();
    const qreal scale = std::min(target.width() / own.width(), target.height() / own.height());
    painter->save();
    painter->translate(target.topLeft());
    painter->scale(scale, scale);
    painter->fillRect(rect(), Qt::white);
    for (const QLabel *label : {m_title, m_footnote}) {
        QFont font = label->font();
        font.setPixelSize(QFontInfo(label->font()).pixelSize());
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(label->geometry(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                          label->text());
    }
    const QRect viewport = m_view->viewport()->rect();
    m_view->scene()->render(painter, QRectF(m_view->geometry()),
                            m_view->mapToScene(viewport).boundingRect());
    painter->restore();
}

QImage ChartControl::picture(qreal scale) {
    QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    render(&painter, QRectF(QPointF(), QSizeF(image.size())));
    return image;
}
