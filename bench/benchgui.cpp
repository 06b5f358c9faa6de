// SPDX-License-Identifier: GPL-3.0-or-later

// Times the main road on screen against bare Qt, measured in the same run (offscreen): the
// compute button to the chart drawn at two window sizes against the same drawing done bare,
// the exporter's chart printout against a bare one-page PDF, and a program start to the input
// form drawn against an empty frame.
// With --callgrind chart|floor W H it only draws ten times, counted by callgrind.
// With --rss it only starts the main window and prints its resident memory; --rss --browser
// (under an X server) also opens one browser window on a local page and prints it again,
// with the web engine's helper processes.

#include "controls/browsercontrol.h"
#include "controls/chartcontrol.h"
#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "shell/application.h"
#include "shell/mainwindow.h"
#include "views/browserview.h"
#include "views/chartview.h"
#include "views/inputview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <valgrind/callgrind.h>

using namespace Qt::StringLiterals;

namespace {

template <typename Fn> double medianMillis(Fn &&fn, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

/** What the program does at start before its main window, the start window aside. */
void startApplication() {
    setUpApplication();
    AppSettings().setValue(AppSettings::Path, QCoreApplication::applicationDirPath());
}

QString residentMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    }
    return QStringLiteral("?");
}

/** Proportional memory of the processes started below this one, in kB (they share pages). */
qint64 childrenMemoryKb() {
    QHash<qint64, qint64> parentOf;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        bool number = false;
        const qint64 id = pid.toLongLong(&number);
        QFile status(u"/proc/" + pid + u"/status");
        if (!number || !status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                parentOf[id] = line.mid(5).trimmed().toLongLong();
        }
    }
    const auto pss = [](qint64 id) {
        QFile rollup(u"/proc/" + QString::number(id) + u"/smaps_rollup");
        if (rollup.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : rollup.readAll().split('\n')) {
                if (line.startsWith("Pss:"))
                    return line.mid(4).trimmed().split(' ').first().toLongLong();
            }
        }
        return 0LL;
    };
    const qint64 self = QCoreApplication::applicationPid();
    qint64 total = 0;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        for (qint64 p = it.value(); p > 1; p = parentOf.value(p)) {
            if (p == self) {
                total += pss(it.key());
                break;
            }
        }
    }
    return total;
}

int browserMemory(UserInterface &ui) {
    startApplication();
    MainWindow window(&ui);
    window.load();
    window.show();
    QCoreApplication::processEvents();
    std::printf("resident memory after start: %s\n", qPrintable(residentMemory()));

    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("seite.html")));
    if (!page.open(QIODevice::WriteOnly))
        return 1;
    page.write("<html><head><title>Testseite</title></head><body><p>Hallo</p></body></html>");
    page.close();
    BrowserView *browser = window.openBrowser(QUrl::fromLocalFile(page.fileName()).toString());
    QElapsedTimer timer;
    timer.start();
    while (browser && browser->windowTitle() != u"Testseite" && timer.elapsed() < 30000) {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (!browser || browser->windowTitle() != u"Testseite") {
        std::printf("the page did not load\n");
        return 1;
    }
    std::printf("resident memory with a browser window: %s, its helper processes (PSS): %lld kB\n",
                qPrintable(residentMemory()), childrenMemoryKb());
    return 0;
}

/** The size at which the exporter lays out its chart printout. */
constexpr QSize exporterChartSize(1000, 700);

/** The way from the compute button to the chart drawn, and the same drawing done bare. */
class ChartRoad : public QObject {
public:
    explicit ChartRoad(MainWindow &window)
        : m_window(window) {
        m_window.inputView()->field(DietCase::Field::targetWeight)->setText(QStringLiteral("40"));
        m_window.inputView()->field(DietCase::Field::todayWeight)->setText(QStringLiteral("80"));
        compute();
        m_chart = m_window.chartView()->chart();
        m_chart->installEventFilter(this);
    }

    /** Sizes the window so that the chart gets the given size, and takes the floor's content. */
    void resize(QSize wanted) {
        for (int i = 0; i < 5 && m_chart->size() != wanted; ++i) {
            m_window.resize(m_window.size() + wanted - m_chart->size());
            QCoreApplication::processEvents();
        }
        compute();
        const ChartLayout &l = m_chart->currentLayout();
        m_title = l.title.text;
        m_footnote = l.footnote.text;
        m_valueTitle = l.valueTitle.text;
        m_categoryTitle = l.categoryTitle.text;
        m_legend = {l.legendPlanned.text, l.legendMeasured.text};
        m_values.clear();
        m_dates.clear();
        for (const ChartText &t : l.valueLabels)
            m_values.append(t.text);
        for (const ChartText &t : l.dateLabels)
            m_dates.append(t.text);
        m_gridLines = l.grid.size();
        m_ticks = l.ticks.size();
        m_curvePoints = l.curve.size();
        m_markers = l.markers.size();
    }

    QSize size() const { return m_chart->size(); }
    int paints() const { return m_paints; }

    void compute() {
        m_window.inputView()->compute();
        QCoreApplication::processEvents();
    }

    /** The same texts, lines, curve and markers drawn bare, at plain positions. */
    void drawFloor(QImage &image) const {
        const double w = image.width();
        const double h = image.height();
        QPainter p(&image);
        p.fillRect(image.rect(), Qt::white);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(16);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(12, 12, w - 24, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   m_title);
        const QRectF plot(70, 90, w - 110, h - 250);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(plot.translated(4, 4), Qt::gray);
        p.fillRect(plot, Qt::white);
        QList<QLineF> lines;
        for (int i = 0; i < m_gridLines; ++i) {
            const double y = std::round(plot.top() + i * plot.height() / m_gridLines);
            lines.append(QLineF(plot.left(), y, plot.right(), y));
        }
        p.setPen(Qt::lightGray);
        p.drawLines(lines);
        lines.clear();
        for (int i = 0; i < m_ticks; ++i) {
            const double x = std::round(plot.left() + i * plot.width() / m_ticks);
            lines.append(QLineF(x, plot.bottom(), x, plot.bottom() + 4));
        }
        p.setPen(Qt::darkGray);
        p.drawLines(lines);
        p.setPen(QPen(Qt::darkGray, 2));
        p.drawRect(plot.adjusted(1, 1, -1, -1));
        p.setRenderHint(QPainter::Antialiasing, true);
        QPolygonF curve;
        for (int i = 0; i < m_curvePoints; ++i)
            curve.append(QPointF(plot.left() + i * plot.width() / m_curvePoints,
                                 plot.top() + i * plot.height() / m_curvePoints));
        p.setPen(QPen(Qt::red, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(curve);
        p.drawLine(QPointF(w / 2 - 100, 70), QPointF(w / 2 - 76, 70));
        p.setPen(Qt::darkRed);
        p.setBrush(QColor(0xE0, 0x7A, 0x3F));
        for (int i = 0; i <= m_markers; ++i) // the legend's marker too
            p.drawEllipse(QPointF(plot.left() + i * 30, plot.top()), 5.5, 5.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(Qt::black);
        font.setBold(false);
        font.setPixelSize(11);
        p.setFont(font);
        const int left = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip;
        for (int i = 0; i < m_legend.size(); ++i)
            p.drawText(QRectF(w / 2 - 70 + i * 120, 62, 100, 16), left, m_legend[i]);
        for (int i = 0; i < m_values.size(); ++i)
            p.drawText(QRectF(20, plot.bottom() - i * 14 - 7, 40, 14),
                       Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, m_values[i]);
        for (int i = 0; i < m_dates.size(); ++i) {
            p.save();
            p.translate(plot.left() + i * 14, plot.bottom() + 40);
            p.rotate(-90);
            p.drawText(QRectF(-33, -7, 66, 14), left, m_dates[i]);
            p.restore();
        }
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(12, h / 2, 20, 16), left, m_valueTitle);
        font.setPixelSize(12);
        font.setBold(false);
        p.setFont(font);
        p.drawText(QRectF(w / 2 - 100, h - 100, 200, 16), left, m_categoryTitle);
        p.drawText(QRectF(12, h - 80, w - 24, 70), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   m_footnote);
    }

    /** Every text of the chart, a line each, for the bare PDF. */
    void writeTexts(const QString &fileName) const {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            return;
        const QStringList all = QStringList{m_title, m_valueTitle, m_categoryTitle} + m_legend +
                                m_values + m_dates + QStringList{m_footnote};
        file.write(all.join(u'\n').toUtf8());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return QObject::eventFilter(watched, event);
    }

private:
    MainWindow &m_window;
    ChartControl *m_chart = nullptr;
    int m_paints = 0;
    QString m_title, m_footnote, m_valueTitle, m_categoryTitle;
    QStringList m_legend, m_values, m_dates;
    qsizetype m_gridLines = 0, m_ticks = 0, m_curvePoints = 0, m_markers = 0;
};

/** One A4 page with the given texts, written as plainly as Qt allows. */
int barePdf(const QString &textsFile, const QString &pdfFile) {
    QFile file(textsFile);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QPdfWriter writer(pdfFile);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&writer);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    const double step = QFontMetricsF(font, &writer).height();
    const double column = writer.width() / 4.0;
    for (int i = 0; i < lines.size(); ++i) {
        font.setBold(i < 3); // the title's two lines and "kg", as on the chart
        p.setFont(font);
        p.drawText(QPointF((i / 60) * column, (i % 60 + 1) * step), lines[i]);
    }
    return p.end() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    const bool browser = std::any_of(
        argv, argv + argc, [](const char *arg) { return std::strcmp(arg, "--browser") == 0; });
    if (browser)
        prepareBrowserEngine(); // as the program does; the engine needs an X server
    else
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Clock::setToday(QDate(2026, 12, 7));
    RecordingUserInterface ui;
    if (browser)
        return browserMemory(ui);

    if (app.arguments().contains(QStringLiteral("--rss"))) {
        startApplication();
        MainWindow window(&ui);
        window.load();
        window.grab();
        std::printf("resident memory after start: %s\n", qPrintable(residentMemory()));
        return 0;
    }

    if (const qsizetype i = app.arguments().indexOf(QStringLiteral("--start")); i > 0) {
        if (app.arguments().value(i + 1) == u"bare") {
            QMainWindow window;
            window.setCentralWidget(new QMdiArea);
            window.resize(800, 600);
            window.show();
            window.grab();
        } else {
            startApplication();
            MainWindow window(&ui);
            window.load();
            window.grab();
        }
        return 0;
    }

    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--bare-pdf")); i > 0)
        return barePdf(args.value(i + 1), args.value(i + 2));

    startApplication();
    MainWindow window(&ui);
    window.load();
    window.show();
    ChartRoad road(window);

    // The texts of the exporter's chart, for the bare PDF of a run under callgrind.
    if (const qsizetype i = args.indexOf(QStringLiteral("--texts")); i > 0) {
        road.resize(exporterChartSize);
        road.writeTexts(args.value(i + 1));
        return 0;
    }

    // Instruction counts: ten draws of one kind and nothing else is counted.
    if (const qsizetype i = args.indexOf(QStringLiteral("--callgrind")); i > 0) {
        road.resize(QSize(args.value(i + 2).toInt(), args.value(i + 3).toInt()));
        const bool floor = args.value(i + 1) == u"floor";
        QImage image(road.size(), QImage::Format_ARGB32_Premultiplied);
        CALLGRIND_START_INSTRUMENTATION;
        for (int n = 0; n < 10; ++n) {
            if (floor)
                road.drawFloor(image);
            else
                road.compute();
        }
        CALLGRIND_STOP_INSTRUMENTATION;
        return 0;
    }

    std::printf("%-40s %10s %8s\n", "", "median ms", "x bare");
    for (const QSize size : {QSize(800, 519), QSize(1600, 1000)}) {
        road.resize(size);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        // Alternated, so that load on the machine hits both alike.
        double chart = 1e9;
        double floor = 1e9;
        const int paintsBefore = road.paints();
        for (int round = 0; round < 3; ++round) {
            chart = std::min(chart, medianMillis([&] { road.compute(); }, 21));
            floor = std::min(floor, medianMillis([&] { road.drawFloor(image); }, 21));
        }
        const QString what = QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
        std::printf("%-40s %10.2f %8.2f\n", qPrintable(u"bare drawing, " + what), floor, 1.0);
        std::printf("%-40s %10.2f %8.2f\n", qPrintable(u"compute to chart drawn, " + what), chart,
                    chart / floor);
        std::printf("%-40s %10.2f\n", "  paints per computation",
                    double(road.paints() - paintsBefore) / (3 * 21));
    }

    // The exporter's chart printout against a bare PDF of the same texts, whole processes.
    QTemporaryDir dir;
    const QString texts = dir.filePath(QStringLiteral("texts.txt"));
    road.resize(exporterChartSize);
    road.writeTexts(texts);
    const QString exporter = QCoreApplication::applicationDirPath() + u"/../cli/korvalo-plan";
    const auto run = [](const QString &program, const QStringList &arguments) {
        return medianMillis(
            [&] {
                QProcess child;
                child.start(program, arguments);
                child.waitForFinished(30000);
            },
            11);
    };
    const double barePdfTime =
        run(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--bare-pdf"), texts, dir.filePath(u"bare.pdf"_s)});
    const double chartPdf =
        run(exporter, {u"--today"_s, u"07.12.2026"_s, u"--target"_s, u"40"_s, u"--weight"_s,
                       u"80"_s, u"--pdf-chart"_s, dir.filePath(u"chart.pdf"_s)});
    std::printf("%-40s %10.2f %8.2f\n", "bare one-page PDF, same texts", barePdfTime, 1.0);
    std::printf("%-40s %10.2f %8.2f\n", "korvalo-plan --pdf-chart", chartPdf,
                chartPdf / barePdfTime);

    // Start: a whole program start until its first window is drawn, the main window
    // with its input form against an empty frame (the start window's second left out).
    const auto startOf = [&](const QString &which) {
        return run(QCoreApplication::applicationFilePath(), {QStringLiteral("--start"), which});
    };
    const double bareStart = startOf(QStringLiteral("bare"));
    const double start = startOf(QStringLiteral("korvalo"));
    std::printf("%-40s %10.2f %8.2f\n", "program start, bare frame", bareStart, 1.0);
    std::printf("%-40s %10.2f %8.2f\n", "program start to input form", start, start / bareStart);
    return 0;
}
