// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/derivedfields.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/progress.h"
#include "core/recordinguserinterface.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "files/casefile.h"
#include "testhelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using F = DietCase::Field;
using Icon = UserInterface::Icon;

namespace {

// A case as the 21-line format carries it: first visit 01.09.2026 with 30 kg towards 20 kg.
const QByteArray caseLines = "Meier\r\nBello\r\n29\r\n20\r\n50\r\n5\r\n2\r\n1\r\n01.03.2027\r\n"
                             "EndText1\r\nHund\r\nEndList\r\n15.09.2026\r\n01.09.2026\r\n30 kg\r\n"
                             "EndText2\r\nTrue\r\nFalse\r\nTrue\r\nFalse\r\nEndOption\r\n";

QByteArray withBlock(const QByteArray &keys) {
    return caseLines + "\r\n[Korvalo]\r\n" + keys;
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Weighings written compactly: "01.09.2026 30|15.09.2026 29,2".
QString described(const CaseHistory &history) {
    QStringList out;
    for (const Weighing &w : history.weighings())
        out << GermanText::fromDate(w.date) + u' ' + GermanText::fromNumber(w.weight);
    return out.join(u'|');
}

QByteArray weighings(int count) {
    QByteArray keys;
    for (int day = 0; day < count; ++day)
        keys += "Wiegung=" + QDate(2026, 9, 1).addDays(day).toString(u"dd.MM.yyyy").toLatin1() +
                ";30\r\n";
    return keys;
}

} // namespace

/** The weighings of a case: the file's block, what a save records, chart and progress. */
class TestCaseHistory : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Clock::setToday(QDate(2026, 12, 7)); }
    void reading_data();
    void reading();
    void recording_data();
    void recording();
    void fourVisits();
    void measuredPoints_data();
    void measuredPoints();
    void twoWorkstations_data();
    void twoWorkstations();
    void savesInLoops();

private:
    QString put(const QByteArray &bytes);
    QTemporaryDir m_dir;
    AppSettings m_settings;
    int m_files = 0;
};

QString TestCaseHistory::put(const QByteArray &bytes) {
    return putFile(m_dir, m_files, bytes);
}

void TestCaseHistory::reading_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("unknownKeys"); // kept for the next save
    QTest::addColumn<int>("told");                // lines said not understood

    // Line 13 (15.09.) and line 3 (29 kg) are a visit after the first one of lines 14/15.
    const QString two = u"01.09.2026 30|15.09.2026 29"_s;
    QTest::newRow("21 lines: the first visit and the one saved")
        << caseLines << two << QStringList() << 0;
    QByteArray bare = caseLines;
    bare.replace("30 kg", "30,5");
    QTest::newRow("21-line program: weight without unit")
        << bare << u"01.09.2026 30,5|15.09.2026 29"_s << QStringList() << 0;
    bare = caseLines;
    bare.replace("\r\n29\r\n", "\r\nEmpty\r\n");
    QTest::newRow("21 lines, no weight today: the first visit")
        << bare << u"01.09.2026 30"_s << QStringList() << 0;
    bare = caseLines;
    bare.replace("15.09.2026\r\n01.09.2026", "01.09.2026\r\n01.09.2026");
    QTest::newRow("21 lines saved on the first day")
        << bare << u"01.09.2026 30"_s << QStringList() << 0;
    bare = caseLines;
    bare.replace("01.09.2026\r\n30 kg", "Empty\r\n30 kg");
    QTest::newRow("no creation date: no weighing") << bare << QString() << QStringList() << 0;
    QTest::newRow("empty line at the end is no block") << caseLines + "\r\n\r\n"
                                                       << two << QStringList() << 0;
    QTest::newRow("three weighings")
        << withBlock("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29,2\r\nWiegung=29.09.2026;28,5"
                     "\r\n")
        << u"01.09.2026 30|15.09.2026 29,2|29.09.2026 28,5"_s << QStringList() << 0;
    QTest::newRow("unknown keys kept in order, last line without line end")
        << withBlock("Farbe=braun\r\nWiegung=15.09.2026;29\r\nFuttermenge=120 g;2x")
        << u"15.09.2026 29"_s << QStringList{u"Farbe=braun"_s, u"Futtermenge=120 g;2x"_s} << 2;
    QTest::newRow("only unknown keys: lines 14, 15, 13 and 3")
        << withBlock("Farbe=braun\r\n") << two << QStringList{u"Farbe=braun"_s} << 1;
    QTest::newRow("501 weighings") << withBlock(weighings(501)) << QString() << QStringList() << 0;

    // Edited by hand: what is readable is read, the rest kept as written.
    const QString one = u"15.09.2026 29"_s;
    QTest::newRow("header in other case")
        << caseLines + "\r\n[korvalo]\r\nWiegung=15.09.2026;29\r\n"
        << one << QStringList() << 0;
    QTest::newRow("a note instead of a block")
        << caseLines + "\r\nHund frisst heimlich beim Nachbarn\r\n"
        << two << QStringList{u"Hund frisst heimlich beim Nachbarn"_s} << 1;
    QTest::newRow("another section") << caseLines + "\r\n[Andere]\r\n"
                                     << two << QStringList{u"[Andere]"_s} << 1;
    QTest::newRow("header missing") << caseLines + "\r\nWiegung=15.09.2026;29\r\n"
                                    << one << QStringList() << 0;
    QTest::newRow("impossible date") << withBlock("Wiegung=31.09.2026;29\r\n") << two
                                     << QStringList{u"Wiegung=31.09.2026;29"_s} << 1;
    QTest::newRow("date without zeros")
        << withBlock("Wiegung=1.9.2026;29\r\n") << u"01.09.2026 29"_s << QStringList() << 0;
    QTest::newRow("weight with unit")
        << withBlock("Wiegung=15.09.2026;29 kg\r\n") << one << QStringList() << 0;
    QTest::newRow("weight with point") << withBlock("Wiegung=15.09.2026;29.5\r\n") << two
                                       << QStringList{u"Wiegung=15.09.2026;29.5"_s} << 1;
    QTest::newRow("weight zero") << withBlock("Wiegung=15.09.2026;0\r\n") << two
                                 << QStringList{u"Wiegung=15.09.2026;0"_s} << 1;
    QTest::newRow("no weight") << withBlock("Wiegung=15.09.2026\r\n") << two
                               << QStringList{u"Wiegung=15.09.2026"_s} << 1;
    QTest::newRow("dates out of order: sorted")
        << withBlock("Wiegung=15.09.2026;29\r\nWiegung=01.09.2026;30\r\n")
        << u"01.09.2026 30|15.09.2026 29"_s << QStringList() << 0;
    QTest::newRow("same date twice: the later line")
        << withBlock("Wiegung=15.09.2026;29\r\nWiegung=15.09.2026;28\r\n") << u"15.09.2026 28"_s
        << QStringList() << 0;
    QTest::newRow("502 weighings: the last kept as written")
        << withBlock(weighings(502)) << QString() << QStringList{u"Wiegung=15.01.2028;30"_s} << 1;
    QTest::newRow("line without =")
        << withBlock("Wiegung=15.09.2026;29\r\nFarbe\r\n") << one << QStringList{u"Farbe"_s} << 1;
    QTest::newRow("key without name")
        << withBlock("=braun\r\n") << two << QStringList{u"=braun"_s} << 1;
    QTest::newRow("empty line inside") << withBlock("Wiegung=15.09.2026;29\r\n\r\nFarbe=braun\r\n")
                                       << one << QStringList{QString(), u"Farbe=braun"_s} << 1;
    QTest::newRow("an empty line before a weighing")
        << withBlock("Farbe=braun\r\n\r\nWiegung=15.09.2026;29\r\n") << one
        << QStringList{u"Farbe=braun"_s} << 1;
    QTest::newRow("UTF-8 outside the code page: the line left out")
        << "\xEF\xBB\xBF" + withBlock("Farbe=\xC5\x81\r\n") << two << QStringList() << 0;
    QTest::newRow("LF line end") << withBlock("Wiegung=15.09.2026;29\nFarbe=braun\r\n") << one
                                 << QStringList{u"Farbe=braun"_s} << 1;
    QTest::newRow("ration not whole")
        << withBlock("Ration=90,5\r\n") << two << QStringList{u"Ration=90,5"_s} << 1;
    QTest::newRow("ration zero") << withBlock("Ration=0\r\n") << two << QStringList{u"Ration=0"_s}
                                 << 1;
    QTest::newRow("score twice: the first counts")
        << withBlock("BCS=7\r\nBCS=8\r\n") << two << QStringList{u"BCS=8"_s} << 1;
    QTest::newRow("NUL byte: the line left out")
        << withBlock(QByteArray("Farbe=br\0un\r\n", 13)) << two << QStringList() << 0;
    QTest::newRow("UTF-8 with byte-order mark")
        << "\xEF\xBB\xBF" + withBlock("Farbe=gr\xC3\xBCn\r\n") << two
        << QStringList{u"Farbe=grün"_s} << 1;
    QTest::newRow("byte-order mark before Windows-1252")
        << "\xEF\xBB\xBF" + withBlock("Farbe=gr\xFCn\r\n") << two << QStringList{u"Farbe=grün"_s}
        << 1;
}

void TestCaseHistory::reading() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, history);
    QFETCH(QStringList, unknownKeys);
    QFETCH(int, told);

    DietCase c;
    RecordingUserInterface ui;
    QVERIFY(read_txt(c, m_settings.errorReporter(ui), put(bytes)));
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(c.text(F::ownerName), u"Meier"_s);
    if (QByteArray(QTest::currentDataTag()).startsWith("50"))
        QCOMPARE(c.history().size(), 501);
    else
        QCOMPARE(described(c.history()), history);
    QCOMPARE(c.unknownKeys(), unknownKeys);
    // Said once in the status bar, never asked.
    QCOMPARE(ui.statusLines.size(), told ? 1 : 0);
    if (told == 1)
        QCOMPARE(ui.statusLines[0], str(S::OneLineNotUnderstood));
    else if (told > 1)
        QCOMPARE(ui.statusLines[0], str(S::LinesNotUnderstood).arg(told));
}

void TestCaseHistory::recording_data() {
    QTest::addColumn<QByteArray>("loaded"); // empty: a new case
    QTest::addColumn<QString>("todayWeight");
    QTest::addColumn<QByteArray>("block"); // what follows line 21

    QTest::newRow("new case") << QByteArray() << u"12,5"_s
                              << QByteArray("\r\n[Korvalo]\r\nWiegung=07.12.2026;12,5\r\n");
    QTest::newRow("new case without weight: no block") << QByteArray() << QString() << QByteArray();
    QTest::newRow("loaded without block, today's added")
        << caseLines << u" 28,75 "_s
        << QByteArray("\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\n"
                      "Wiegung=07.12.2026;28,75\r\n");
    QTest::newRow("loaded, today's weight no number")
        << withBlock("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\n") << u"abc"_s
        << QByteArray("\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\n");
    QTest::newRow("a weighing on today's date is replaced, unknown keys last")
        << withBlock("Farbe=braun\r\nWiegung=01.09.2026;30\r\nWiegung=07.12.2026;29\r\n") << u"28"_s
        << QByteArray("\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\nWiegung=07.12.2026;28\r\n"
                      "Farbe=braun\r\n");
    QTest::newRow("a weighing after today's date stays after it")
        << withBlock("Wiegung=01.09.2026;30\r\nWiegung=24.12.2026;27\r\n") << u"28"_s
        << QByteArray("\r\n[Korvalo]\r\nWiegung=01.09.2026;30\r\nWiegung=07.12.2026;28\r\n"
                      "Wiegung=24.12.2026;27\r\n");
    QTest::newRow("ration keys carried, first in the block")
        << withBlock("Wiegung=01.09.2026;30\r\nFarbe=braun\r\nRation=90\r\nBCS=7\r\n"
                     "Futter=Light; Trocken=futter\r\nEnergiegehalt=350\r\n")
        << u"28"_s
        << QByteArray("\r\n[Korvalo]\r\nBCS=7\r\nFutter=Light; Trocken=futter\r\n"
                      "Energiegehalt=350\r\nBCSGewicht=30\r\nRation=90\r\n"
                      "Wiegung=01.09.2026;30\r\nWiegung=07.12.2026;28\r\nFarbe=braun\r\n");
    // A score saved without its weight was given at the first visit; the weight stays.
    QTest::newRow("a score alone")
        << withBlock("BCS=6\r\n") << QString()
        << QByteArray("\r\n[Korvalo]\r\nBCS=6\r\nBCSGewicht=30\r\n"
                      "Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\n");
    QTest::newRow("the score's weight and the ration's weighing carried")
        << withBlock("BCS=7\r\nBCSGewicht=34,5\r\nRation=90\r\nRationAngepasst=01.09.2026\r\n")
        << u"28"_s
        << QByteArray("\r\n[Korvalo]\r\nBCS=7\r\nBCSGewicht=34,5\r\nRation=90\r\n"
                      "RationAngepasst=01.09.2026\r\nWiegung=01.09.2026;30\r\n"
                      "Wiegung=15.09.2026;29\r\nWiegung=07.12.2026;28\r\n");
    QTest::newRow("an unreadable score weight kept as written, the file stays readable")
        << withBlock("BCS=7\r\nBCSGewicht=viel\r\nRationAngepasst=1.9.2026\r\n") << QString()
        << QByteArray("\r\n[Korvalo]\r\nBCS=7\r\nBCSGewicht=30\r\nRationAngepasst=01.09.2026\r\n"
                      "Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\nBCSGewicht=viel\r\n");
    // An empty first value is written all the same, or the second would take its place.
    QTest::newRow("keys twice, the first empty or at its default")
        << withBlock("BCS=\r\nRation=100\r\nRation=90\r\nBCS=7\r\n") << QString()
        << QByteArray("\r\n[Korvalo]\r\nBCS=\r\nRation=100\r\nWiegung=01.09.2026;30\r\n"
                      "Wiegung=15.09.2026;29\r\nRation=90\r\nBCS=7\r\n");
    QTest::newRow("a new score takes today's weight")
        << withBlock("BCS=7\r\nBCSGewicht=34,5\r\n") << u"bodyCondition=6;28"_s
        << QByteArray("\r\n[Korvalo]\r\nBCS=6\r\nBCSGewicht=28\r\nWiegung=01.09.2026;30\r\n"
                      "Wiegung=15.09.2026;29\r\nWiegung=07.12.2026;28\r\n");
}

void TestCaseHistory::recording() {
    QFETCH(QByteArray, loaded);
    QFETCH(QString, todayWeight);
    QFETCH(QByteArray, block);

    DietCase c;
    RecordingUserInterface ui;
    if (!loaded.isEmpty())
        read_txt(c, m_settings.errorReporter(ui), put(loaded));
    if (todayWeight.startsWith(u"bodyCondition=")) { // a score typed, then today's weight
        c.setText(F::bodyCondition, todayWeight.section(u'=', 1).section(u';', 0, 0));
        c.setText(F::todayWeight, todayWeight.section(u';', 1));
    } else {
        c.setText(F::todayWeight, todayWeight);
    }
    const QString path = m_dir.filePath(u"saved%1.kvl"_s.arg(++m_files));
    ui.fileNames << path;
    create_txt(c, m_settings.errorReporter(ui));
    QCOMPARE(ui.messages.size(), 0);

    // Lines 1 to 21 as ever, the block after them.
    QByteArray lines;
    for (const QString &line : CaseFile::lines(c))
        lines += line.toLatin1() + "\r\n";
    const QByteArray bytes = contents(path);
    QCOMPARE(bytes.left(lines.size()), lines);
    QCOMPARE(bytes.mid(lines.size()), block);
    DietCase again; // what was written loads again
    QVERIFY(read_txt(again, m_settings.errorReporter(ui), path));
    QCOMPARE(ui.messages.size(), 0);

    // Clearing the inputs forgets the weighings: the next save is a new case's.
    c.reset();
    QVERIFY(c.history().isEmpty() && c.unknownKeys().isEmpty());
    QVERIFY(c.text(F::bodyCondition).isEmpty() && c.rationPercent() == 100);
}

void TestCaseHistory::fourVisits() {
    RecordingUserInterface ui;
    const QString path = m_dir.filePath(u"Bello.kvl"_s);
    const QList<std::pair<QDate, QString>> visits{{QDate(2026, 9, 1), u"30"_s},
                                                  {QDate(2026, 9, 15), u"29,2"_s},
                                                  {QDate(2026, 9, 29), u"28,5"_s},
                                                  {QDate(2026, 10, 27), u"27,9"_s}};
    QByteArray firstLines;
    for (const auto &[day, weight] : visits) {
        Clock::setToday(day);
        DietCase c;
        const ErrorReporter errors = m_settings.errorReporter(ui);
        DerivedFields derived(c, errors);
        if (day != visits[0].first)
            read_txt(c, m_settings.errorReporter(ui), path);
        else
            apply(c, {u"petName=Bello"_s, u"targetWeight=24"_s});
        c.setText(F::todayWeight, weight);
        ui.fileNames << path;
        create_txt(c, m_settings.errorReporter(ui));
        if (firstLines.isEmpty())
            firstLines = contents(path);
    }
    Clock::setToday(QDate(2026, 12, 7));
    QCOMPARE(ui.messages.size(), 0);

    const QList<QByteArray> lines = contents(path).split('\n');
    // The first visit stays on lines 14 and 15; the block holds all four.
    QCOMPARE(lines.mid(13, 2), (QList<QByteArray>{"01.09.2026\r", "30 kg\r"}));
    QCOMPARE(lines.mid(21),
             (QList<QByteArray>{"\r", "[Korvalo]\r", "Wiegung=01.09.2026;30\r",
                                "Wiegung=15.09.2026;29,2\r", "Wiegung=29.09.2026;28,5\r",
                                "Wiegung=27.10.2026;27,9\r", ""}));

    DietCase c;
    read_txt(c, m_settings.errorReporter(ui), path);
    const ChartSetup setup = ChartCalc(c, false, Clock::today());
    QCOMPARE(setup.plan.measuredDays(), (QList<int>{0, 14, 28, 56}));
    QCOMPARE(*setup.plan.grid[56].measured, 27.9);
}

void TestCaseHistory::measuredPoints_data() {
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("todayWeight");
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<int>("rowsShown"); // 0: error 9

    // The curve 30 -> 20 kg at 2 and 1 % a week reaches its target on day 189.
    QTest::newRow("no block: the first visit, the one saved and today")
        << QString() << u"28"_s << QList<int>{0, 14, 97} << 190;
    QTest::newRow("weighings and today") << u"Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\n"_s
                                         << u"28"_s << QList<int>{0, 14, 97} << 190;
    QTest::newRow("a weighing before the creation date is not drawn")
        << u"Wiegung=01.08.2026;31\r\nWiegung=15.09.2026;29\r\n"_s << QString() << QList<int>{0, 14}
        << 190;
    QTest::newRow("rows reach the last weighing")
        << u"Wiegung=01.09.2026;30\r\nWiegung=01.12.2027;21\r\n"_s << QString()
        << QList<int>{0, 456} << 457;
    QTest::newRow("day 500 is the last")
        << u"Wiegung=14.01.2028;21\r\n"_s << QString() << QList<int>{0, 500} << 501;
    QTest::newRow("day 501 is error 9")
        << u"Wiegung=15.01.2028;21\r\n"_s << QString() << QList<int>() << 0;
}

void TestCaseHistory::measuredPoints() {
    QFETCH(QString, block);
    QFETCH(QString, todayWeight);
    QFETCH(QList<int>, days);
    QFETCH(int, rowsShown);

    DietCase c;
    RecordingUserInterface ui;
    read_txt(c, m_settings.errorReporter(ui),
             put(block.isEmpty() ? caseLines : withBlock(block.toLatin1())));
    QCOMPARE(ui.messages.size(), 0);
    c.setText(F::todayWeight, todayWeight);
    if (rowsShown == 0) {
        QCOMPARE(errorOf([&] { ChartCalc(c, false, Clock::today()); }), 9);
        return;
    }
    const ChartSetup setup = ChartCalc(c, false, Clock::today());
    QCOMPARE(setup.plan.simulatedDays, 189);
    QCOMPARE(setup.plan.measuredDays(), days);
    QCOMPARE(setup.plan.rowsShown, rowsShown);
    QVERIFY(setup.joinMeasured);
}

void TestCaseHistory::twoWorkstations_data() {
    QTest::addColumn<QStringList>("there"); // what the other workstation's save was given
    QTest::addColumn<QStringList>("here");  // what was typed here since loading
    QTest::addColumn<QList<UserInterface::Answer>>("answers");
    QTest::addColumn<QString>("asked");       // every question, one line each: "text|choices"
    QTest::addColumn<QStringList>("written"); // "4:19": line 4 reads 19; else a line of the block

    using A = UserInterface::Answer;
    const QString both = u"Die Datei „%1“ wurde seit dem Laden an anderer Stelle geändert, und "
                         u"dieselben Angaben wurden hier anders geändert:\n\n"_s;
    const QString ownValues =
        u"\n\nMit den Angaben von hier speichern? Die Wiegungen von beiden Stellen bleiben erhalten."_s;
    const QString clash = u"Für den 07.12.2026 wurde an anderer Stelle 28,5 kg eingetragen, hier "
                          u"28 kg. Welches Gewicht soll gelten?|28,5 kg von dort,28 kg von hier"_s;
    const QStringList weighedThere{u"--today"_s, u"01.10.2026"_s, u"--weight"_s, u"28,2"_s};
    const QStringList sameDay{u"--today"_s, u"07.12.2026"_s, u"--weight"_s, u"28,5"_s};

    QTest::newRow("not saved elsewhere: nothing asked")
        << QStringList() << QStringList{u"todayWeight=28"_s} << QList<A>() << QString()
        << QStringList{u"3:28"_s, u"Wiegung=07.12.2026;28"_s};
    // The weighings derive overweight, rates and end date anew on each side: not asked.
    QTest::newRow("a weighing on each side: both kept")
        << weighedThere << QStringList{u"todayWeight=28"_s} << QList<A>() << QString()
        << QStringList{u"Wiegung=01.09.2026;30"_s, u"Wiegung=15.09.2026;29"_s,
                       u"Wiegung=01.10.2026;28,2"_s, u"Wiegung=07.12.2026;28"_s};
    QTest::newRow("target changed there, age here: both taken")
        << QStringList{u"--target"_s, u"19"_s} + weighedThere << QStringList{u"ageYears=6"_s}
        << QList<A>() << QString() << QStringList{u"4:19"_s, u"5:48"_s, u"6:6"_s};
    QTest::newRow("target changed on both sides: named; Ja keeps ours and their weighing")
        << QStringList{u"--target"_s, u"19"_s} + weighedThere << QStringList{u"targetWeight=18"_s}
        << QList<A>{A::Yes} << both + u"Zielgewicht: 19 kg dort, 18 kg hier"_s + ownValues
        << QStringList{u"4:18"_s, u"Wiegung=01.10.2026;28,2"_s};
    QTest::newRow("two values changed on both sides: Nein saves nothing")
        << QStringList{u"--target"_s, u"19"_s, u"--age"_s, u"7"_s} + weighedThere
        << QStringList{u"targetWeight=18"_s, u"ageYears="_s} << QList<A>()
        << both + u"Zielgewicht: 19 kg dort, 18 kg hier\nAlter: 7 Jahre dort, leer hier"_s +
               ownValues
        << QStringList{u"4:19"_s};
    QTest::newRow("one day weighed on both sides: theirs chosen")
        << sameDay << QStringList{u"todayWeight=28"_s} << QList<A>{A::Yes} << clash
        << QStringList{u"3:28,5"_s, u"Wiegung=07.12.2026;28,5"_s};
    QTest::newRow("one day weighed on both sides: ours chosen")
        << sameDay << QStringList{u"todayWeight=28"_s} << QList<A>{A::No} << clash
        << QStringList{u"3:28"_s, u"Wiegung=07.12.2026;28"_s};
    QTest::newRow("one day weighed on both sides: Abbrechen saves nothing")
        << sameDay << QStringList{u"todayWeight=28"_s} << QList<A>() << clash
        << QStringList{u"Wiegung=07.12.2026;28,5"_s};
    QTest::newRow("no case any more: overwritten only when asked")
        << QStringList{u"kaputt"_s} << QStringList{u"todayWeight=28"_s} << QList<A>{A::Yes}
        << u"Die Datei „%1“ wurde seit dem Laden an anderer Stelle geändert. "
           u"Trotzdem überschreiben?"_s
        << QStringList{u"3:28"_s};
}

void TestCaseHistory::twoWorkstations() {
    QFETCH(QStringList, there);
    QFETCH(QStringList, here);
    QFETCH(QList<UserInterface::Answer>, answers);
    QFETCH(QString, asked);
    QFETCH(QStringList, written);

    const QString path = put(caseLines);
    DietCase c;
    RecordingUserInterface ui;
    const ErrorReporter errors = m_settings.errorReporter(ui);
    const DerivedFields derived(c, errors); // as the form has it
    QVERIFY(read_txt(c, errors, path));
    if (there == QStringList{u"kaputt"_s}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kaputt\r\n") == 8);
    } else if (!there.isEmpty()) {
        // The other workstation loads the case, changes it and saves.
        QProcess b;
        b.start(qEnvironmentVariable("KORVALO_PLAN"), there + QStringList{path, u"--save"_s, path});
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(b.exitCode(), 0);
    }
    apply(c, here);
    ui.answers = answers;
    ui.fileNames << path;
    const bool saved = create_txt(c, errors);

    QStringList questions;
    for (const auto &m : std::as_const(ui.messages))
        questions << m.text + (m.choices.isEmpty() ? QString() : u'|' + m.choices.join(u','));
    QCOMPARE(questions.join(u'\n'), asked.arg(QFileInfo(path).fileName()));
    const QStringList lines = QString::fromLatin1(contents(path)).split(u"\r\n"_s);
    for (const QString &line : std::as_const(written)) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && colon < 3)
            QCOMPARE(lines.value(line.left(colon).toInt() - 1), line.mid(colon + 1));
        else
            QVERIFY2(lines.contains(line), qPrintable(line));
    }
    // What we wrote is what we know now: the next save asks nothing.
    if (saved) {
        ui.messages.clear();
        ui.fileNames << path;
        QVERIFY(create_txt(c, errors));
        QCOMPARE(ui.messages.size(), 0);
    }
}

void TestCaseHistory::savesInLoops() {
    // Two workstations weigh one case on days of their own: the exporter on odd days, the
    // form's save path here on even ones, each loading the case before it saves.
    constexpr int perSide = 250;
    const QDate first(2026, 1, 1);
    const auto weight = [&](QDate day) { return 40 - 0.01 * first.daysTo(day); };
    const QString plan = qEnvironmentVariable("KORVALO_PLAN");
    const QString path = m_dir.filePath(u"schleife.kvl"_s);
    QCOMPARE(QProcess::execute(plan, {u"--today"_s, GermanText::fromDate(first), u"--target"_s,
                                      u"20"_s, u"--weight"_s, u"40"_s, u"--save"_s, path}),
             0);
    QString script;
    for (int k = 0; k < perSide; ++k) {
        const QDate day = first.addDays(2 * k + 1);
        script +=
            u"\"$1\" --today %1 --weight %2 \"$2\" --save \"$2\" >/dev/null 2>&1; echo %1 $?\n"_s
                .arg(GermanText::fromDate(day), GermanText::fromNumber(weight(day)));
    }
    QProcess b;
    b.start(u"/bin/sh"_s, {u"-c"_s, script, u"sh"_s, plan, path});
    QVERIFY(b.waitForStarted());

    QList<QDate> saved{first};
    RecordingUserInterface ui;
    const ErrorReporter errors = m_settings.errorReporter(ui);
    for (int k = 0; k < perSide; ++k) {
        DietCase c;
        QVERIFY(read_txt(c, errors, path));
        const QDate day = first.addDays(2 * k + 2);
        c.setText(F::currentDate, GermanText::fromDate(day));
        c.setText(F::todayWeight, GermanText::fromNumber(weight(day)));
        QThread::msleep(QRandomGenerator::global()->bounded(20)); // the other side saves meanwhile
        ui.fileNames << path;
        if (create_txt(c, errors))
            saved << day;
    }
    const qsizetype savedHere = saved.size() - 1;
    QVERIFY(b.waitForFinished(600000));
    for (const QByteArray &line : b.readAllStandardOutput().split('\n')) {
        if (line.endsWith(" 0"))
            saved << *GermanText::toDate(QString::fromLatin1(line.left(10)));
    }
    const QString missing = [&] {
        const CaseHistory history = CaseFile::history(CaseFile::read(path));
        QStringList out;
        for (const QDate day : std::as_const(saved)) {
            if (!std::any_of(history.weighings().begin(), history.weighings().end(),
                             [&](const Weighing &w) {
                                 return w.date == day && std::abs(w.weight - weight(day)) < 1e-6;
                             }))
                out << GermanText::fromDate(day);
        }
        return out.join(u' ');
    }();
    qInfo("saved: %lld of %d here (%lld merged), %lld of %d by the exporter", qlonglong(savedHere),
          perSide, qlonglong(ui.statusLines.count(str(S::MergedFromElsewhere))),
          qlonglong(saved.size() - 1 - savedHere), perSide);
    QCOMPARE(missing, QString());
    // Days of their own ask nothing: no save is refused.
    QCOMPARE(saved.size(), 2 * perSide + 1);
}

QTEST_GUILESS_MAIN(TestCaseHistory)
#include "tst_casehistory.moc"
