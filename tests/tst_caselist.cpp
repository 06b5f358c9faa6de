// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/germantext.h"
#include "files/casescanner.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <unistd.h>

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
    void linksAndRights();
    void index_data();
    void index();
    void cancelWithinOneFile_data();
    void cancelWithinOneFile();
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
    const CaseList list = CaseScanner::scan({dir.path(), other.path()}, [&](int done, int total) {
        steps << done << total;
        return true;
    });
    QVERIFY(list.complete);
    QStringList order;
    for (const CaseSummary &s : list.cases)
        order << s.owner + u' ' + s.pet;
    // By due date, then owner and pet; a case file is named *.kvl in any letter case.
    QCOMPARE(order, (QStringList{u"Berta Max"_s, u"Anna Bello"_s, u"Anna Rex"_s, u"Carl Moni"_s,
                                 u"Dora Tom"_s}));
    QCOMPARE(list.skipped.size(), 1);
    QCOMPARE(list.skipped[0].reason, u"keine Fallakte"_s);
    QCOMPARE(list.cases[1].folder, other.path());
    QCOMPARE(CaseScanner::skippedText(2), u"2 Dateien übersprungen"_s);
    QCOMPARE(CaseScanner::skippedText(1), u"1 Datei übersprungen"_s);
    QCOMPARE(steps, (QList<int>{6, 6}));

    // Cancelled: what was read so far, marked as such.
    const CaseList cancelled = CaseScanner::scan({dir.path()}, [](int, int) { return false; });
    QVERIFY(!cancelled.complete);
    QCOMPARE(cancelled.total, 5);
    const QString gone = dir.filePath(u"weg"_s);
    QCOMPARE(CaseScanner::scan({gone}).folderErrors,
             QStringList{u"Ordner "_s + QDir::toNativeSeparators(gone) + u": nicht gefunden"_s});
}

void TestCaseList::linksAndRights() {
    QTemporaryDir dir;
    put(dir.filePath(u"a.kvl"_s), caseFile("Anna", "Rex", ""));
    put(dir.filePath(u"b.kvl"_s), caseFile("Berta", "Max", ""));
    QVERIFY(QFile::link(dir.filePath(u"a.kvl"_s), dir.filePath(u"link-a.kvl"_s)));
    QVERIFY(QFile::link(dir.filePath(u"weg.kvl"_s), dir.filePath(u"dangling.kvl"_s)));
    QTemporaryDir outer;
    QVERIFY(QFile::link(dir.path(), outer.filePath(u"same"_s)));
    // The folder twice, once through a link; a file and a link to it: each case once.
    CaseList list = CaseScanner::scan({dir.path(), outer.filePath(u"same"_s)});
    QCOMPARE(list.cases.size(), 2);
    QCOMPARE(list.skipped.size(), 0);

    if (geteuid() == 0)
        QSKIP("the administrator reads every file");
    QFile::setPermissions(dir.filePath(u"b.kvl"_s), QFileDevice::WriteOwner);
    list = CaseScanner::scan({dir.path()});
    QCOMPARE(list.skipped.size(), 1);
    QCOMPARE(list.skipped[0].reason, u"keine Leserechte"_s);
    QFile::setPermissions(dir.path(), QFileDevice::WriteOwner);
    list = CaseScanner::scan({dir.path()});
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(list.folderErrors, QStringList{u"Ordner "_s + QDir::toNativeSeparators(dir.path()) +
                                            u": keine Leserechte"_s});
}

void TestCaseList::index_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QString>("owners");

    QTest::newRow("nothing changed") << "" << 0 << "Anna Berta Carl";
    QTest::newRow("a file changed") << "change" << 1 << "Anna Berta Cäcilie";
    QTest::newRow("a file added") << "add" << 1 << "Anna Berta Carl Dora";
    QTest::newRow("a file removed") << "remove" << 0 << "Anna Berta";
    QTest::newRow("the index corrupt") << "corrupt" << 3 << "Anna Berta Carl";
    QTest::newRow("the index of another version") << "foreign" << 3 << "Anna Berta Carl";
}

void TestCaseList::index() {
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString indexPath = dir.filePath(u"cache/faelle.index"_s);
    QTemporaryDir cases;
    // Written a while ago: a file changed within the file system's tick is read again.
    const auto old = [](const QString &path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    };
    for (const auto &[name, owner] : {std::pair{"a", "Anna"}, {"b", "Berta"}, {"c", "Carl"}}) {
        put(cases.filePath(QString::fromLatin1(name) + u".kvl"), caseFile(owner, "Rex", ""));
        old(cases.filePath(QString::fromLatin1(name) + u".kvl"));
    }
    CaseList list = CaseScanner::scan({cases.path()}, {}, indexPath);
    QCOMPARE(list.opened, 3);

    if (change == u"change") {
        put(cases.filePath(u"c.kvl"_s), caseFile("C\xE4"
                                                 "cilie",
                                                 "Rex", ""));
        old(cases.filePath(u"c.kvl"_s));
    } else if (change == u"add") {
        put(cases.filePath(u"d.kvl"_s), caseFile("Dora", "Rex", ""));
    } else if (change == u"remove") {
        QVERIFY(QFile::remove(cases.filePath(u"c.kvl"_s)));
    } else if (change == u"corrupt" || change == u"foreign") {
        QFile file(indexPath);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(change == u"corrupt" ? file.size() / 2 : 4));
        file.write("\xFF\xFF\xFF");
    }
    list = CaseScanner::scan({cases.path()}, {}, indexPath);
    QTEST(list.opened, "opened");
    QStringList owners;
    for (const CaseSummary &s : list.cases)
        owners << s.owner;
    owners.sort();
    QTEST(owners.join(u' '), "owners");
    // And the index is whole again: the next scan opens nothing that is old.
    if (change != u"add")
        QCOMPARE(CaseScanner::scan({cases.path()}, {}, indexPath).opened, 0);
}

void TestCaseList::cancelWithinOneFile_data() {
    QTest::addColumn<int>("cancelAt"); // files read when the cancel comes; -1: none comes
    QTest::addColumn<int>("done");
    QTest::newRow("before the first file") << 0 << 0;
    QTest::newRow("after two files") << 2 << 2;
    QTest::newRow("none") << -1 << 5;
}

void TestCaseList::cancelWithinOneFile() {
    QFETCH(int, cancelAt);
    QFETCH(int, done);
    QTemporaryDir dir;
    for (int i = 0; i < 5; ++i)
        put(dir.filePath(u"f%1.kvl"_s.arg(i)), caseFile("Anna", "Rex", ""));
    int asked = 0;
    const CaseList list =
        CaseScanner::scan({dir.path()}, {}, {}, [&] { return asked++ == cancelAt; });
    QCOMPARE(list.done, done);
    QCOMPARE(list.cases.size(), done);
    QCOMPARE(list.complete, cancelAt < 0);
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

    // Cancelled at once: one cancellation, with what was read.
    finished.clear();
    scanner.start({dir.path()});
    scanner.cancel();
    QVERIFY(cancelled.wait(30000));
    QTRY_VERIFY(!scanner.isRunning());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(cancelled.size(), 1);
    QVERIFY(cancelled.first().first().value<CaseList>().done < 100); // not at the next step

    // A new scan over a running one: only the new one reports.
    QTemporaryDir other;
    put(other.filePath(u"a.kvl"_s), caseFile("Berta", "Max", ""));
    cancelled.clear();
    scanner.start({dir.path()});
    scanner.start({other.path()});
    QVERIFY(finished.wait(30000));
    QTRY_VERIFY(scanner.findChildren<QThread *>().isEmpty()); // both threads ended and gone
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<CaseList>().cases.size(), 1);
    QCOMPARE(cancelled.size(), 0);
}

QTEST_GUILESS_MAIN(TestCaseList)
#include "tst_caselist.moc"
