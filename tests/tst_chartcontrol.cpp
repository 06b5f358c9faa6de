// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"
#include "controls/printouts.h"
#include "core/clock.h"
#include "core/computecommand.h"
#include "core/derivedfields.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate today(2026, 12, 7);

/** A case computed as the compute button does it, from the two weights typed. */
ChartSetup plan(const QString &start, const QString &target) {
    RecordingUserInterface ui;
    AppSettings settings;
    DietCase c;
    const ErrorReporter errors = settings.errorReporter(ui);
    DerivedFields derived(c, errors);
    c.setText(DietCase::Field::petName, u"Bello"_s);
    c.setText(DietCase::Field::targetWeight, target);
    c.setText(DietCase::Field::todayWeight, start);
    const std::optional<ChartSetup> setup =
        computeCurve(c, errors, settings.value(AppSettings::SmallPets) == u"1");
    Q_ASSERT(setup);
    return *setup;
}

QString run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void addPlans() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QSize>("size");
    const QList<std::pair<const char *, QSize>> sizes{
        {"800 x 519", {800, 519}}, {"1600 x 1000", {1600, 1000}}, {"smallest", {640, 480}}};
    const QList<std::array<QString, 3>> plans{{u"dog"_s, u"18,5"_s, u"14"_s},
                                              {u"big dog"_s, u"50"_s, u"30"_s},
                                              {u"largest"_s, u"80"_s, u"40"_s},
                                              {u"one year"_s, u"45"_s, u"10"_s},
                                              {u"hamster"_s, u"0,15"_s, u"0,12"_s}};
    for (const auto &[name, start, target] : plans)
        for (const auto &[sizeName, size] : sizes)
            QTest::addRow("%s, %s", qPrintable(name), sizeName) << start << target << size;
}

} // namespace

class TestChartControl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Clock::setToday(today); }

    void labelStride_data() {
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<int>("stride");
        QTest::newRow("value, room for every label") << 0 << 14.0 << 1;
        QTest::newRow("value, every second") << 0 << 13.9 << 2;
        QTest::newRow("value, 2 is too close, 5 fits") << 0 << 3.0 << 5;
        QTest::newRow("value, tenths of a kilo crowded") << 0 << 0.2 << 100;
        QTest::newRow("weeks, every week") << 1 << 20.0 << 1;
        QTest::newRow("weeks, every fourth") << 1 << 4.0 << 4;
        QTest::newRow("weeks, after 8 comes 13") << 1 << 1.2 << 13;
        QTest::newRow("weeks, then doubling") << 1 << 0.3 << 52;
    }

    void labelStride() {
        QFETCH(int, steps);
        QFETCH(double, spacing);
        QFETCH(int, stride);
        QCOMPARE(::labelStride(LabelSteps(steps), spacing, 14), stride);
    }

    /** Every label whole, inside the chart and clear of every other text; the grid complete. */
    void labelsAlwaysFit_data() { addPlans(); }

    void labelsAlwaysFit() {
        QFETCH(QString, start);
        QFETCH(QString, target);
        QFETCH(QSize, size);
        ChartControl chart;
        chart.resize(size);
        chart.apply(plan(start, target));
        const ChartLayout &l = chart.currentLayout();

        QCOMPARE(l.valueGridLines, chart.majorDivisions() + 1);
        QCOMPARE(l.timeGridLines, (chart.plan().rowsShown - 1) / 7 + 1);
        QVERIFY(l.valueLabels.size() >= 2);
        QVERIFY(l.dateLabels.size() >= 2);
        QCOMPARE(l.dateLabels.first().text, u"07.12.2026"_s);
        QCOMPARE(QLocale(QLocale::German).toDouble(l.valueLabels.first().text), chart.minimum());

        const QList<ChartText> texts = l.texts();
        const QRectF whole(QPointF(0, 0), QSizeF(size));
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const ChartText &a = texts[i];
            QVERIFY2(!a.text.contains(u'…') && whole.contains(a.rect), qPrintable(a.text));
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                QVERIFY2(!a.rect.intersects(texts[j].rect),
                         qPrintable(a.text + u" / "_s + texts[j].text));
        }
    }

    /** The measured start weight sits on the plot's corner and is drawn whole, not cut. */
    void startMarkerIsWhole() {
        ChartControl chart;
        chart.resize(800, 519);
        chart.apply(plan(u"80"_s, u"40"_s));
        const ChartLayout &l = chart.currentLayout();
        QCOMPARE(l.markers.first(), l.plot.topLeft());
        const QImage picture = chart.picture();
        const QPoint corner = l.plot.topLeft().toPoint();
        for (const QPoint outside : {corner + QPoint(-3, 0), corner + QPoint(0, -3)}) {
            const QColor c = picture.pixelColor(outside);
            QVERIFY2(c.red() > 150 && c.blue() < 120, qPrintable(c.name()));
        }
    }

    /** A weight above the scale (the pet gained) is cut at the plot, not drawn over the title. */
    void gainBeyondTheScaleStaysInThePlot() {
        ChartSetup setup = plan(u"80"_s, u"40"_s);
        setup.plan.grid[14].measured = 95;
        ChartControl chart;
        chart.resize(800, 519);
        chart.apply(setup);
        const ChartLayout &l = chart.currentLayout();
        const QImage picture = chart.picture();
        const int x = qRound((l.markers[0].x() + l.markers[1].x()) / 2);
        for (int y = 0; y < l.plot.top() - 8; ++y) {
            const QColor c = picture.pixelColor(x, y);
            QVERIFY2(!(c.red() > 150 && c.blue() < 120),
                     qPrintable(u"%1 at y %2"_s.arg(c.name()).arg(y)));
        }
    }

    /** On paper every value and date stays real text, in full. */
    void printedLabelsAreText_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("target");
        QTest::newRow("largest") << u"80"_s << u"40"_s;
        QTest::newRow("one year") << u"45"_s << u"10"_s;
        QTest::newRow("hamster") << u"0,15"_s << u"0,12"_s;
    }

    void printedLabelsAreText() {
        QFETCH(QString, start);
        QFETCH(QString, target);
        ChartControl chart;
        chart.resize(ChartControl::designedSize); // the layout the page gets
        chart.apply(plan(start, target));
        QTemporaryDir dir;
        const QString file = dir.filePath(u"chart.pdf"_s);
        {
            QPdfWriter pdf(file);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            print_KHPE_chart(chart, pdf, QImage(), QImage());
        }
        const QStringList words = run(u"pdftotext"_s, {file, u"-"_s})
                                      .split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
        const ChartLayout &l = chart.currentLayout();
        for (const QList<ChartText> *labels : {&l.valueLabels, &l.dateLabels})
            for (const ChartText &label : *labels)
                QVERIFY2(words.contains(label.text), qPrintable(label.text));
        QVERIFY(!words.join(u' ').contains(u"..."_s));
    }

    /** The user's logo shrinks to fit 60 × 24 mm and stays above the chart's title. */
    void logoStaysAboveTheChart_data() {
        QTest::addColumn<QSize>("logo");
        QTest::newRow("shipped") << QSize(240, 120);
        QTest::newRow("square") << QSize(300, 300);
        QTest::newRow("wide") << QSize(2000, 50);
        QTest::newRow("small, as it is") << QSize(60, 40);
    }

    void logoStaysAboveTheChart() {
        QFETCH(QSize, logo);
        ChartControl chart;
        chart.resize(800, 519);
        chart.apply(plan(u"80"_s, u"40"_s));
        QImage picture(logo, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"chart.pdf"_s);
        {
            QPdfWriter pdf(file);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            print_KHPE_chart(chart, pdf, picture, QImage());
        }
        // The picture's resolution on paper gives its printed size.
        const QStringList image = run(u"pdfimages"_s, {u"-list"_s, file})
                                      .split(u'\n')
                                      .value(2)
                                      .split(u' ', Qt::SkipEmptyParts);
        const double xPpi = image.value(12).toDouble();
        const double yPpi = image.value(13).toDouble();
        const double width = logo.width() / xPpi * 25.4;
        const double height = logo.height() / yPpi * 25.4;
        QVERIFY2(width <= 60.1 && height <= 24.1, qPrintable(image.join(u' ')));
        QVERIFY(std::abs(xPpi - yPpi) <= 1);
        if (logo == QSize(60, 40))
            QCOMPARE(xPpi, 96.0);

        // pdftotext -bbox: the title's first word starts below the logo (points from the top).
        const QString words = run(u"pdftotext"_s, {u"-bbox"_s, file, u"-"_s});
        const QRegularExpressionMatch title =
            QRegularExpression(u"yMin=\"([0-9.]+)\"[^>]*>Reduktionskurve<"_s).match(words);
        QVERIFY(title.hasMatch());
        QVERIFY(title.captured(1).toDouble() > (5 + height) / 25.4 * 72);
    }
};

QTEST_MAIN(TestChartControl)
#include "tst_chartcontrol.moc"
