// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/germantext.h"
#include "files/casescanner.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A case of an owner and pet towards 20 kg, first weighed on 01.09.2026 with 30 kg at
// 2 % a week, with the given block after the 21 lines.
QByteArray caseFile(const QByteArray &owner, const QByteArray &pet, const QByteArray &block) {
    QByteArray bytes = owner + "\r\n" + pet +
                       "\r\nEmpty\r\n20\r\n50\r\n5\r\n2\r\n1\r\n01.03.2027\r\nEndText1\r\n"
                       "Katze\r\nEndList\r\n15.09.2026\r\n01.09.2026\r\n30 kg\r\nEndText2\r\n"
                       "True\r\nFalse\r\nTrue\r\nFalse\r\nEndOption\r\n";
    if (!block.isEmpty())
        bytes += "\r\n[Korvalo]\r\n" + block;
    return bytes;
}

void put(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

/** The recall list: what each case file shows, the order, the skipped files, the worker. */
class TestCaseList : public QObject {
    Q_OBJECT

private slots:
    void summary_data();
    void summary();
    void listing();
    void worker();
};

void TestCaseList::summary_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("last"); // date and weight
    QTest::addColumn<QString>("status");
    QTest::addColumn<QDate>("due");

    // The plan: 30 kg on 01.09.2026, 28,82 kg two weeks later (at most 29,11 on plan); a
    // cat's safe loss is 2 % a week.
    QTest::newRow("first visit only: the diet plan's appointment")
        << QByteArray() << u"01.09.2026 30"_s << QString() << QDate(2026, 10, 13);
    QTest::newRow("on plan: the next appointment in 6 weeks")
        << QByteArray("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29,1\r\n")
        << u"15.09.2026 29,1"_s << u"im Plan"_s << QDate(2026, 10, 27);
    QTest::newRow("too slow: in 2 weeks")
        << QByteArray("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29,6\r\n")
        << u"15.09.2026 29,6"_s << u"zu langsam"_s << QDate(2026, 9, 29);
    QTest::newRow("gained: in 2 weeks")
        << QByteArray("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;30,5\r\n")
        << u"15.09.2026 30,5"_s << u"zugenommen"_s << QDate(2026, 9, 29);
    QTest::newRow("too fast: in 2 weeks")
        << QByteArray("Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;28\r\n") << u"15.09.2026 28"_s
        << u"zu schnell"_s << QDate(2026, 9, 29);
    QTest::newRow("at the target: in 3 months, closed")
        << QByteArray("Wiegung=01.09.2026;30\r\nWiegung=15.12.2026;20\r\n") << u"15.12.2026 20"_s
        << u"Ziel erreicht"_s << QDate(2027, 3, 15);
}

void TestCaseList::summary() {
    QFETCH(QByteArray, block);
    QFETCH(QString, last);
    QFETCH(QString, status);
    QFETCH(QDate, due);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Minka.kvl"_s);
    put(path, caseFile("M\xFCller", "Minka", block));
    const auto s = CaseScanner::summarise(path);
    QVERIFY(s);
    QCOMPARE(s->file, path);
    QCOMPARE(s->owner, u"Müller"_s);
    QCOMPARE(s->pet, u"Minka"_s);
    QCOMPARE(s->species, u"Katze"_s);
    QCOMPARE(s->targetWeight, u"20"_s);
    QCOMPARE(GermanText::fromDate(s->lastDate) + u' ' + GermanText::fromNumber(*s->lastWeight),
             last);
    QCOMPARE(s->status ? Progress::statusText(*s->status) : QString(), status);
    QCOMPARE(s->due, due);
    QVERIFY(s->isOverdue(due.addDays(1)) && !s->isOverdue(due));
    QCOMPARE(s->isClosed(), status == u"Ziel erreicht");
}

void TestCaseList::listing() {
    QTemporaryDir dir;
    put(dir.filePath(u"a.kvl"_s), caseFile("Anna", "Rex", "Wiegung=01.10.2026;29\r\n"));
    put(dir.filePath(u"b.KVL"_s), caseFile("Berta", "Max", ""));
    put(dir.filePath(u"c.kvl"_s), caseFile("Carl", "Moni", "Wiegung=01.10.2026;29\r\n"));
    put(dir.filePath(u"kaputt.kvl"_s), "kein Fall\r\n");
    // Written by hand: the date without its zeros still reads.
    put(dir.filePath(u"block.kvl"_s), caseFile("Dora", "Tom", "Wiegung=1.10.2026;29\r\n"));
    put(dir.filePath(u"notiz.txt"_s), "keine Falldatei\r\n");
    QTemporaryDir other;
    put(other.filePath(u"d.kvl"_s), caseFile("Anna", "Bello", "Wiegung=01.10.2026;29\r\n"));

    QList<int> steps;
    const auto list = CaseScanner::scan({dir.path(), other.path()}, [&](int done, int total) {
        steps << done << total;
        return true;
    });
    QVERIFY(list);
    QStringList order;
    for (const CaseSummary &s : list->cases)
        order << s.owner + u' ' + s.pet;
    // By due date, then owner and pet; a case file is named *.kvl in any letter case.
    QCOMPARE(order, (QStringList{u"Berta Max"_s, u"Anna Bello"_s, u"Anna Rex"_s, u"Carl Moni"_s,
                                 u"Dora Tom"_s}));
    QCOMPARE(list->skipped, 1);
    QCOMPARE(CaseScanner::skippedText(2), u"2 Dateien übersprungen"_s);
    QCOMPARE(CaseScanner::skippedText(1), u"1 Datei übersprungen"_s);
    QCOMPARE(steps, (QList<int>{6, 6}));

    QVERIFY(!CaseScanner::scan({dir.path()}, [](int, int) { return false; }));
    QCOMPARE(CaseScanner::scan({dir.filePath(u"weg"_s)})->cases.size(), 0);
}

void TestCaseList::worker() {
    QTemporaryDir dir;
    for (int i = 0; i < 250; ++i)
        put(dir.filePath(u"f%1.kvl"_s.arg(i)), caseFile("Anna", "Rex", ""));

    CaseScanner scanner;
    QSignalSpy progress(&scanner, &CaseScanner::progress);
    QSignalSpy finished(&scanner, &CaseScanner::finished);
    QSignalSpy cancelled(&scanner, &CaseScanner::cancelled);
    scanner.start({dir.path()});
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.first().first().value<CaseList>().cases.size(), 250);
    QCOMPARE(progress.last(), (QVariantList{250, 250}));
    QCOMPARE(cancelled.size(), 0);

    // Cancelled at once: no list, one cancellation.
    finished.clear();
    scanner.start({dir.path()});
    scanner.cancel();
    QVERIFY(cancelled.wait(30000));
    QTRY_VERIFY(!scanner.isRunning());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(cancelled.size(), 1);
}

QTEST_GUILESS_MAIN(TestCaseList)
#include "tst_caselist.moc"
