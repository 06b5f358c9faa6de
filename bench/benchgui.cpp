// Times the main road on screen against bare Qt widgets, measured in the same run
// (offscreen): compute button to the chart drawn, and a program start to the input form
// drawn.
// With --rss it only starts the main window and prints its resident memory; --rss --browser
// (under an X server) also opens one browser window on a local page and prints it again,
// with the web engine's helper processes.

#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "shell/mainwindow.h"
#include "views/browsercontrol.h"
#include "views/browserview.h"
#include "views/chartview.h"
#include "views/inputview.h"

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

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
void startApplication(QApplication &app) {
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    auto *translator = new QTranslator(&app);
    if (translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
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

int browserMemory(QApplication &app, UserInterface &ui) {
    startApplication(app);
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
        return browserMemory(app, ui);

    if (app.arguments().contains(QStringLiteral("--rss"))) {
        startApplication(app);
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
            startApplication(app);
            MainWindow window(&ui);
            window.load();
            window.grab();
        }
        return 0;
    }

    // For instruction counts under callgrind: ten computations and nothing else.
    if (app.arguments().contains(QStringLiteral("--compute-only"))) {
        MainWindow window(&ui);
        window.load();
        window.inputView()->textField(4)->setText(QStringLiteral("12"));
        window.inputView()->textField(3)->setText(QStringLiteral("60"));
        for (int i = 0; i < 10; ++i) {
            window.inputView()->compute();
            QCoreApplication::processEvents();
            window.chartView()->grab();
        }
        return 0;
    }

    // Start: a whole program start until its first window is drawn, the main window
    // with its input form against an empty frame (the start window's second left out).
    const auto startOf = [&](const QString &which) {
        return medianMillis(
            [&] {
                QProcess child;
                child.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--start"), which});
                child.waitForFinished(30000);
            },
            11);
    };
    const double bareStart = startOf(QStringLiteral("bare"));
    const double start = startOf(QStringLiteral("korvalo"));

    // Compute: the longest plan from the button to the chart drawn.
    MainWindow window(&ui);
    window.load();
    window.inputView()->textField(4)->setText(QStringLiteral("12"));
    window.inputView()->textField(3)->setText(QStringLiteral("60"));
    window.inputView()->compute();
    const QSize chartSize = window.chartView()->size();
    const double compute = medianMillis(
        [&] {
            window.inputView()->compute();
            QCoreApplication::processEvents();
            window.chartView()->grab();
        },
        31);

    QChartView bareView;
    auto *series = new QLineSeries;
    bareView.chart()->addSeries(series);
    bareView.chart()->createDefaultAxes();
    bareView.resize(chartSize);
    bareView.show();
    QList<QPointF> points;
    for (int i = 0; i < 501; ++i)
        points.append(QPointF(i, 60 - i * 0.1));
    const double bareChart = medianMillis(
        [&] {
            for (QPointF &p : points)
                p.ry() += 0.001; // new data every time, as a new computation brings
            series->replace(points);
            bareView.chart()->axes(Qt::Vertical).first()->setRange(0, 61);
            QCoreApplication::processEvents();
            bareView.grab();
        },
        31);

    std::printf("%-34s %10s %8s\n", "", "median ms", "x bare");
    std::printf("%-34s %10.2f %8.2f\n", "program start, bare frame", bareStart, 1.0);
    std::printf("%-34s %10.2f %8.2f\n", "program start to input form", start, start / bareStart);
    std::printf("%-34s %10.2f %8.2f\n", "bare QChartView, 501 points", bareChart, 1.0);
    std::printf("%-34s %10.2f %8.2f\n", "compute to chart drawn", compute, compute / bareChart);
    return 0;
}
