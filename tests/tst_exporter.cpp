// SPDX-License-Identifier: GPL-3.0-or-later

#include <cmath>

#include "core/apperror.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/version.h"
#include "files/calendarfile.h"
#include "files/casefile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QStringList errLines;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

// Runs one of the programs without any display; arguments are separated by blanks.
Run start(const char *program, QStringView arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable(program), arguments.toString().split(u' '));
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.errLines =
            QString::fromUtf8(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    }
    return run;
}

// Runs the exporter on today's fixed date.
Run plan(QStringView arguments) {
    return start("KORVALO_PLAN", QString(u"--today 07.12.2026 "_s + arguments.toString()));
}

QString tool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestExporter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(!qEnvironmentVariable("KORVALO_PLAN").isEmpty());
        QVERIFY(!qEnvironmentVariable("KORVALO_APP").isEmpty());
        // Printouts start a GUI application, which insists on a private runtime folder.
        QFile::setPermissions(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, u"Korvalo"_s)
            .clear();
    }
    void newCaseJson();
    void longestPlan();
    void infoSheet();
    void printouts_data();
    void printouts();
    void feeding_data();
    void feeding();
    void failures_data();
    void failures();
    void followUp();
    void cases();
    void commandLine_data();
    void commandLine();
    void fullDisk_data();
    void fullDisk();
};

void TestExporter::newCaseJson() {
    const Run run = plan(u"--json --owner Meier --pet Mimi --species Katze --sex weiblich "
                         u"--neuter kastriert --target 10 --weight 12");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines, QStringList());
    const QJsonObject root = run.json();

    const QJsonObject fields = root[u"fields"].toObject();
    QCOMPARE(fields[u"overweightPercent"].toString(), u"20"_s);
    QCOMPARE(fields[u"weeklyRateDuring"].toString(), u"3"_s);
    QCOMPARE(fields[u"dietEndDate"].toString(), u"04.02.2027"_s);
    QCOMPARE(fields[u"sex"].toString(), u"weiblich"_s);

    QCOMPARE(root[u"plan"][u"startDate"].toString(), u"07.12.2026"_s);
    const QJsonArray rows = root[u"plan"][u"rows"].toArray();
    QCOMPARE(rows.size(), 60);
    QCOMPARE(rows[0][u"date"].toString(), u"07.12.2026"_s);
    QCOMPARE(rows[0][u"planned"].toDouble(), 12.0);
    QCOMPARE(rows[0][u"measured"].toDouble(), 12.0);
    QCOMPARE(rows[1][u"planned"].toDouble(), 12 - 0.36 / 7);
    QVERIFY(rows[1][u"measured"].isNull());
    QCOMPARE(rows[59][u"date"].toString(), u"04.02.2027"_s);
    QVERIFY(rows[59][u"planned"].isNull() && rows[59][u"measured"].isNull());

    QCOMPARE(root[u"valueAxis"][u"minimum"].toDouble(), 10.0);
    QCOMPARE(root[u"valueAxis"][u"maximum"].toDouble(), 12.0);
    QCOMPARE(root[u"valueAxis"][u"majorDivisions"].toInt(), 2);
    QCOMPARE(root[u"title"].toString(),
             u"Reduktionskurve für Katze Mimi (Besitzer: Meier), weiblich, kastriert  \r"
             u"Gewicht am 07.12.2026: 12 kg, Zielgewicht am 04.02.2027: 10 kg"_s);
}

void TestExporter::longestPlan() {
    // 400 % overweight, the most the compute button accepts, with the proposed rates.
    const Run run = plan(u"--json --target 12 --weight 60");
    QCOMPARE(run.exitCode, 0);
    const QJsonObject root = run.json();
    QCOMPARE(root[u"fields"][u"overweightPercent"].toString(), u"400"_s);
    const QJsonArray rows = root[u"plan"][u"rows"].toArray();
    QCOMPARE(rows.size(), 392);
    QCOMPARE(rows.last()[u"date"].toString(), root[u"fields"][u"dietEndDate"].toString());
}

void TestExporter::infoSheet() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"info.rtf"_s);
    const auto sheet = [&] {
        QFile rtf(file);
        return rtf.open(QIODevice::ReadOnly) ? rtf.readAll() : QByteArray();
    };
    const QString arguments = u"--pet Bello --rtf-info "_s + file + u" --target 10 --weight 12"_s;
    Run run = plan(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines, QStringList());
    QVERIFY(
        sheet().startsWith(R"({\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl{\f0\fswiss Arial;})"
                           R"({\f1\froman\fcharset2 Symbol;}{\f2\fswiss Arial;}})"
                           R"({\pict\pngblip\picw240\pich120\picwgoal3600\pichgoal1800 )"));
    QCOMPARE(sheet().count("Bello"), 6);

    // A logo that cannot be read is told; the sheet is written without it.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, u"Korvalo"_s);
    settings.setValue(u"Settings/PicPath"_s, dir.filePath(u"gone.gif"_s));
    settings.sync();
    run = plan(arguments);
    settings.remove(u"Settings/PicPath"_s);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines,
             QStringList{u"Es konnte keine Grafik für das Logo der Infodatei gefunden "
                         u"werden. Bitte führen Sie die Installation von KORVALO ® "
                         u"erneut aus, um das Logo zu installieren."_s});
    QVERIFY(sheet().endsWith(R"(\par })"));
    QVERIFY(!sheet().contains(R"(\pict)"));
}

void TestExporter::printouts_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("images"); // the logos; the chart itself is drawn as vectors

    QTest::newRow("chart") << u"--pdf-chart"_s
                           << QStringList{u"Reduktionskurve für Hund Bello (Besitzer: Meier)"_s,
                                          u"Gewicht am 07.12.2026: 18,5 kg"_s}
                           << 1 << 2;
    QTest::newRow("diary") << u"--pdf-diary"_s
                           << QStringList{u"Diätplan für Hund Bello (Besitzer: Meier)"_s,
                                          u"Erstellt mit KORVALO ® am 07.12.2026"_s,
                                          u"31.01.2027"_s}
                           << 1 << 0;
    QTest::newRow("info sheet") << u"--pdf-info"_s
                                << QStringList{u"Tipps und Tricks fürs Abnehmen!"_s,
                                               u"Falls Bello bettelt:"_s}
                                << 2 << 1;
}

void TestExporter::printouts() {
    QFETCH(QString, option);
    QFETCH(QStringList, texts);
    QFETCH(int, pages);
    QFETCH(int, images);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"out.pdf"_s);
    const Run run = plan(
        QString(u"--owner Meier --pet Bello --target 14 --weight 18,5 "_s + option + u' ' + pdf));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines, QStringList());
    QVERIFY(!run.out.isEmpty()); // the summary still goes to stdout

    const QString info = tool(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(u"595 x 842 pts (A4)"_s), qPrintable(info)); // A4 portrait
    QVERIFY(info.contains(QRegularExpression(u"Pages: +%1\n"_s.arg(pages))));
    const QString text = tool(u"pdftotext"_s, {pdf, u"-"_s});
    for (const QString &expected : texts)
        QVERIFY2(text.contains(expected), qPrintable(expected + u" in:\n"_s + text));
    // pdfimages lists two header lines, then one line per picture.
    QCOMPARE(tool(u"pdfimages"_s, {u"-list"_s, pdf}).count(u'\n') - 2, images);
}

void TestExporter::feeding_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("json"); // "feeding" without the unrounded rerKcal
    QTest::addColumn<double>("rer");
    QTest::addColumn<QStringList>("diary");
    QTest::addColumn<QStringList>("info");

    QTest::newRow("dog by score")
        << u"--species Hund --weight 34 --bcs 8 --target 26,2 --food Trockenfutter --kcal 350"_s
        << QByteArray(R"({"bcs":8,"suggestedTarget":26.2,"dailyKcal":811,"foodKcal":730,
                          "foodGrams":209,"treatKcal":81,"rationPercent":100,
                          "floorApplied":false,"note":null})")
        << 810.63
        << QStringList{u"Trockenfutter"_s, u"höchstens 81 kcal am Tag"_s,
                       u"Tagesration: 209 g und höchstens 81 kcal als Leckerli"_s}
        << QStringList{u"Tagesration: 209 g Trockenfutter (730 kcal) und höchstens 81 kcal "
                       u"als Leckerli, zusammen 811 kcal"_s,
                       u"Füttern Sie genau die oben genannte Tagesration"_s};
    QTest::newRow("cat")
        << u"--species Katze --weight 6 --target 4,5 --food Diät --kcal 85"_s
        << QByteArray(R"({"bcs":null,"suggestedTarget":null,"dailyKcal":173,"foodKcal":156,
                          "foodGrams":184,"treatKcal":17,"rationPercent":100,
                          "floorApplied":false,"note":null})")
        << 216.28 << QStringList{u"Diät"_s, u"höchstens 17 kcal am Tag"_s, u"Tagesration: 184 g"_s}
        << QStringList{u"Tagesration: 184 g Diät (156 kcal) und höchstens 17 kcal als "
                       u"Leckerli, zusammen 173 kcal"_s};
    const QString note =
        u"Heu und Grünfutter nach Belieben, Trocken- und Pelletfutter begrenzen."_s;
    QTest::newRow("rabbit") << u"--species Kaninchen --weight 3 --bcs 7 --target 2,5 --food Heu"_s
                            << QByteArray(R"({"bcs":7,"suggestedTarget":null,"dailyKcal":null,
                                             "foodKcal":null,"foodGrams":null,"treatKcal":null,
                                             "rationPercent":null,"floorApplied":false,
                                             "note":")" +
                                          note.toUtf8() + "\"}")
                            << 0.0 << QStringList{u"Heu"_s} << QStringList{note};
    // Without food or energy density the printouts are the ones without a ration.
    QTest::newRow("fields empty")
        << u"--weight 18,5 --target 14"_s
        << QByteArray(R"({"bcs":null,"suggestedTarget":null,"dailyKcal":507,"foodKcal":456,
                          "foodGrams":null,"treatKcal":51,"rationPercent":100,
                          "floorApplied":false,"note":null})")
        << 506.63 << QStringList() << QStringList();
}

void TestExporter::feeding() {
    QFETCH(QString, arguments);
    QFETCH(QByteArray, json);
    QFETCH(double, rer);
    QFETCH(QStringList, diary);
    QFETCH(QStringList, info);

    QTemporaryDir dir;
    const QString diaryPdf = dir.filePath(u"diary.pdf"_s);
    const QString infoPdf = dir.filePath(u"info.pdf"_s);
    const Run run = plan(
        QString(arguments + u" --json --pdf-diary "_s + diaryPdf + u" --pdf-info "_s + infoPdf));
    QCOMPARE(run.exitCode, 0);
    QJsonObject feeding = run.json()[u"feeding"].toObject();
    QCOMPARE(std::round(feeding.take(u"rerKcal").toDouble() * 100) / 100, rer);
    QCOMPARE(feeding, QJsonDocument::fromJson(json).object());

    const auto words = [](const QString &pdf) {
        return tool(u"pdftotext"_s, {pdf, u"-"_s}).simplified();
    };
    const QString diaryText = words(diaryPdf);
    const QString infoText = words(infoPdf);
    for (const QString &expected : diary)
        QVERIFY2(diaryText.contains(expected), qPrintable(expected + u" in: "_s + diaryText));
    for (const QString &expected : info)
        QVERIFY2(infoText.contains(expected), qPrintable(expected + u" in: "_s + infoText));
    if (diary.isEmpty())
        QVERIFY(!diaryText.contains(u"Tagesration"_s) && !diaryText.contains(u"kcal"_s));
    if (info.isEmpty())
        QVERIFY(!infoText.contains(u"Tagesration"_s));
    // A ration in figures is fed exactly; cutting it by a third would contradict it.
    QCOMPARE(infoText.contains(u"UM EIN DRITTEL"_s), !info.join(u' ').contains(u"kcal"));
}

void TestExporter::failures_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstLine"); // empty: any usage text

    QTest::newRow("weight with a decimal point")
        << u"--target 5 --weight 6.5"_s << 1
        << u"Eingabefeld 'heutiges Gewicht:' enthält keinen oder falschen Wert."_s;
    QTest::newRow("plan beyond 501 days")
        << u"--target 12 --weight 60 --rates 1 1"_s << 1
        << u"Fehler!  9  -  Index außerhalb des gültigen Bereichs"_s;
    QTest::newRow("401 %") << u"--target 12 --weight 60 --overweight 401"_s << 1
                           << u"Die Berechnung ist auf ein maximales Übergewicht von 400% "
                              u"begrenzt."_s;
    QTest::newRow("score outside 1 to 9") << u"--target 5 --weight 6 --bcs 10"_s << 1
                                          << u"Eingabefeld 'Körperkondition (BCS 1–9):' enthält "
                                             u"keinen oder falschen Wert. Erlaubt ist "
                                             u"eine ganze Zahl von 1 bis 9."_s;
    QTest::newRow("energy density in MJ/kg")
        << u"--target 5 --weight 6 --kcal 14,6"_s << 1
        << u"Eingabefeld 'Energiegehalt:' enthält keinen oder falschen Wert. Erlaubt ist eine Zahl "
           u"von 40 bis 700 (kcal je 100 g). Der Wert sieht nach MJ/kg aus: MJ/kg × 23,9 ergibt "
           u"kcal/100 g."_s;
    QTest::newRow("unknown option") << u"--bogus"_s << 2 << QString();
    QTest::newRow("bad sex") << u"--sex w"_s << 2 << QString();
    QTest::newRow("option without value") << u"--weight"_s << 2 << QString();
    QTest::newRow("info sheet unwritable")
        << u"--rtf-info /nonexistent/folder/info.rtf --target 10 --weight 12"_s << 2
        << u"Die Datei /nonexistent/folder/info.rtf lässt sich nicht schreiben."_s;
    // Refused before anything is saved or computed.
    QTest::newRow("printout unwritable")
        << u"--pdf-diary /nonexistent/folder/plan.pdf --target 10 --weight 12"_s << 2
        << u"Die Datei /nonexistent/folder/plan.pdf lässt sich nicht schreiben."_s;
    QTest::newRow("recall list of no folder") << u"--cases /nonexistent/folder --json"_s << 2
                                              << u"Den Ordner /nonexistent/folder gibt es nicht."_s;
    QTest::newRow("printout into a folder") << u"--pdf-chart /tmp --target 10 --weight 12"_s << 2
                                            << u"Die Datei /tmp lässt sich nicht schreiben."_s;
}

void TestExporter::failures() {
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, firstLine);

    const Run run = plan(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.errLines.isEmpty());
    if (!firstLine.isEmpty())
        QCOMPARE(run.errLines.first(), firstLine);
}

// A case first weighed on 01.09.2026 with 30 kg, again on 15.11.2026 with 28 kg.
const QByteArray followUpCase =
    "Meier\r\nBello\r\nEmpty\r\n20\r\n50\r\n5\r\n2\r\n1\r\n01.03.2027\r\nEndText1\r\nHund\r\n"
    "EndList\r\n15.11.2026\r\n01.09.2026\r\n30 kg\r\nEndText2\r\nTrue\r\nFalse\r\nTrue\r\n"
    "False\r\nEndOption\r\n\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\nWiegung=15.11.2026;28\r\n";

void TestExporter::followUp() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"Bello.kvl"_s);
    const QString saved = dir.filePath(u"neu.kvl"_s);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(followUpCase) > 0);
    out.close();

    const Run run = plan(QString(u"--json --weight 27,5 --save "_s + saved + u' ' + file));
    QCOMPARE(run.exitCode, 0);
    const QJsonObject root = run.json();
    QCOMPARE(root[u"history"].toArray(),
             (QJsonArray{QJsonObject{{u"date"_s, u"01.09.2026"_s}, {u"weight"_s, 30}},
                         QJsonObject{{u"date"_s, u"15.11.2026"_s}, {u"weight"_s, 28}},
                         QJsonObject{{u"date"_s, u"07.12.2026"_s}, {u"weight"_s, 27.5}}}));
    const QJsonArray progress = root[u"progress"].toArray();
    QCOMPARE(progress.size(), 2);
    const QJsonArray rows = root[u"plan"][u"rows"].toArray();
    const QJsonObject last = progress[1].toObject();
    QCOMPARE(last[u"date"].toString(), u"07.12.2026"_s);
    QCOMPARE(last[u"days"].toInt(), 22);
    QCOMPARE(last[u"weeklyLossPercent"].toDouble(), (28 - 27.5) / 28 * 100 * 7 / 22);
    QCOMPARE(last[u"planned"].toDouble(), rows[97][u"planned"].toDouble());
    QCOMPARE(last[u"deviationKg"].toDouble(), 27.5 - rows[97][u"planned"].toDouble());
    QCOMPARE(last[u"status"].toString(), u"zu langsam"_s);
    QCOMPARE(progress[0][u"days"].toInt(), 75);
    QCOMPARE(root[u"advice"].toString(),
             u"Gewichtsabnahme zu langsam: Futtermenge um 10 % verringern und in 2 Wochen erneut "
             u"wiegen."_s);
    QVERIFY(run.out.contains("\"weeklyLossPercent\": 0.5681818181818182"));

    QFile written(saved);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().endsWith("EndOption\r\n\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\n"
                                       "Wiegung=15.11.2026;28\r\nWiegung=07.12.2026;27,5\r\n"));

    // A new case has one weighing and no advice.
    const QJsonObject fresh = plan(u"--json --target 10 --weight 12"_s).json();
    QCOMPARE(fresh[u"history"].toArray().size(), 1);
    QCOMPARE(fresh[u"progress"].toArray(), QJsonArray());
    QVERIFY(fresh[u"advice"].isNull());
}

void TestExporter::cases() {
    QTemporaryDir dir;
    Run run = plan(QString(u"--cases "_s + dir.path() + u" --json"_s));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).array(), QJsonArray());

    QFile file(dir.filePath(u"Bello.kvl"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(followUpCase) > 0);
    file.close();
    QFile broken(dir.filePath(u"kaputt.kvl"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("kein Fall") > 0);
    broken.close();
    run = plan(QString(u"--cases "_s + dir.path() + u" --json"_s));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines, (QStringList{u"1 Datei übersprungen:"_s,
                                        u"  "_s + broken.fileName() + u": keine Fallakte"_s}));
    QCOMPARE(QJsonDocument::fromJson(run.out).array(),
             (QJsonArray{QJsonObject{{u"file"_s, file.fileName()},
                                     {u"owner"_s, u"Meier"_s},
                                     {u"pet"_s, u"Bello"_s},
                                     {u"species"_s, u"Hund"_s},
                                     {u"lastDate"_s, u"15.11.2026"_s},
                                     {u"lastWeight"_s, 28},
                                     {u"targetWeight"_s, 20},
                                     {u"status"_s, u"zu langsam"_s},
                                     {u"due"_s, u"29.11.2026"_s}}}));

    // A folder that cannot be read is no empty folder.
    if (geteuid() == 0)
        QSKIP("the administrator reads every folder");
    QFile::setPermissions(dir.path(), QFileDevice::WriteOwner);
    run = plan(QString(u"--cases "_s + dir.path()));
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.errLines, QStringList{u"Ordner "_s + dir.path() + u": keine Leserechte"_s});
}

void TestExporter::commandLine_data() {
    QTest::addColumn<QByteArray>("program"); // the variable that names it
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstLine"); // of stdout, or of stderr when it failed

    const QString planUsage = u"Aufruf: korvalo-plan [--today TT.MM.JJJJ] [--owner TEXT] "
                              u"[--pet TEXT] [--species TEXT]"_s;
    const QString usage = u"Aufruf: korvalo [Optionen] [Falldatei]"_s;
    const QByteArray plan = "KORVALO_PLAN";
    const QByteArray app = "KORVALO_APP";
    QTest::newRow("exporter help") << plan << u"--help"_s << 0 << planUsage;
    QTest::newRow("exporter -h") << plan << u"--today 07.12.2026 -h"_s << 0 << planUsage;
    QTest::newRow("exporter version")
        << plan << u"--version"_s << 0 << u"korvalo-plan "_s + programVersion();
    QTest::newRow("help") << app << u"--help"_s << 0 << usage;
    QTest::newRow("-h") << app << u"-h"_s << 0 << usage;
    QTest::newRow("version") << app << u"--version"_s << 0 << u"korvalo "_s + programVersion();
    QTest::newRow("-v") << app << u"-v"_s << 0 << u"korvalo "_s + programVersion();
    // Refused before the window, which would need a display.
    QTest::newRow("unknown option") << app << u"--bogus"_s << 1 << u"Unbekannte Option --bogus."_s;
    QTest::newRow("beside Qt's options")
        << app << u"-platform offscreen -style=fusion -reverse -bogus"_s << 1
        << u"Unbekannte Option -bogus."_s;
    QTest::newRow("Qt's option without value")
        << app << u"-style"_s << 1 << u"Option -style braucht einen Wert."_s;
    QTest::newRow("two case files")
        << app << u"a.kvl b.kvl"_s << 1 << u"Nur eine Falldatei ist möglich."_s;
    QTest::newRow("case file and request") << app << u"a.kvl --gdt anfrage.gdt"_s << 1
                                           << u"Eine Falldatei und --gdt schließen einander aus."_s;
    QTest::newRow("request without its file")
        << app << u"--gdt"_s << 1 << u"Option --gdt braucht einen Wert."_s;
    QTest::newRow("exporter: missing request")
        << plan << u"--gdt /nirgends/anfrage.gdt"_s << 2
        << u"Die GDT-Datei „/nirgends/anfrage.gdt“ ist nicht vorhanden."_s;
}

void TestExporter::commandLine() {
    QFETCH(QByteArray, program);
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, firstLine);

    const Run run = start(program.constData(), arguments);
    QCOMPARE(run.exitCode, exitCode);
    const QStringList lines =
        exitCode == 0 ? QString::fromUtf8(run.out).split(u'\n') : run.errLines;
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.first(), firstLine);
    // The help is German throughout, Qt's English texts for its built-in options included.
    if (firstLine.startsWith(u"Aufruf"))
        QVERIFY(!run.out.contains("Displays") && run.out.contains("--version"));
}

void TestExporter::fullDisk_data() {
    QTest::addColumn<QString>("how"); // an exporter's option, or a writer called here
    QTest::newRow("--save") << u"--save"_s;
    QTest::newRow("--ics") << u"--ics"_s;
    QTest::newRow("--rtf-info") << u"--rtf-info"_s;
    QTest::newRow("case file") << u"case"_s;
    QTest::newRow("calendar") << u"calendar"_s;
}

/** On a full disk every file is written whole or not at all, and the failure is told. */
void TestExporter::fullDisk() {
    QFETCH(QString, how);
    QTemporaryDir dir;
    QProcess mount;
    mount.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, dir.path()});
    if (!mount.waitForFinished() || mount.exitCode() != 0)
        QSKIP("no tmpfs can be mounted here (needs root): the full disk is not tried");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {dir.path()}); });
    const QString target = dir.filePath(u"Bello.kvl"_s);
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QFile filler(dir.filePath(u"filler"_s));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
    }
    filler.close();

    if (how.startsWith(u"--")) {
        const Run run =
            plan(QString(u"--pet Bello --target 10 --weight 12,5 "_s + how + u' ' + target));
        QVERIFY2(run.exitCode != 0, qPrintable(run.errLines.join(u'\n')));
    } else if (how == u"case") {
        DietCase c;
        c.setText(DietCase::Field::todayWeight, u"12,5"_s);
        try {
            CaseFile::write(CaseFile::lines(c), target);
            QFAIL("a full disk was reported as success");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), int(AppError::DiskFull));
        }
    } else {
        DietCase c;
        QVERIFY(!writeWeighDates(c, target, QDate(2026, 12, 7), {}));
    }
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old"));                 // the earlier file as it was
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
