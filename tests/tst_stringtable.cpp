// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/stringids.h"
#include "core/stringtable.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStringTable : public QObject {
    Q_OBJECT

private slots:
    void usedNumbersExist();
    void captions();
    void texts_data();
    void texts();
    void continuationLines();
    void missingNumber();
};

void TestStringTable::usedNumbersExist() {
    for (const int number : S::all)
        QVERIFY2(StringTable::contains(number), qPrintable(QString::number(number)));

    // Texts are named in the one list only: no file keeps numbers of its own.
    const QRegularExpression ownNumber(uR"(\bstr\(\d+\)|constexpr int s[A-Z]\w* = \d+;)"_s);
    for (const QString &dir : {u"core"_s, u"files"_s, u"cli"_s, u"app"_s, u"shell"_s, u"views"_s,
                               u"controls"_s, u"output"_s}) {
        QDirIterator it(QStringLiteral(KORVALO_SOURCE_DIR) + u'/' + dir, {u"*.cpp"_s, u"*.h"_s},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const auto found = ownNumber.match(QString::fromUtf8(file.readAll()));
            QVERIFY2(!found.hasMatch(), qPrintable(file.fileName() + u": "_s + found.captured()));
        }
    }
}

void TestStringTable::captions() {
    // Looked up by ranges, so the scan cannot see them: captions, units, species.
    for (int n = 110; n <= 136; ++n)
        QVERIFY2(!str(n).isEmpty(), qPrintable(QString::number(n)));
    QCOMPARE(str(144), u"Erstelldatum:"_s);
    QCOMPARE(str(145), u"ehemaliges Gewicht:"_s);
    QCOMPARE(str(125), str(126));
}

void TestStringTable::texts_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");

    QTest::newRow("trailing blank of a caption") << 103 << u"Infoblatt für Besitzer "_s;
    QTest::newRow("title start") << 2100 << u"Reduktionskurve für "_s;
    QTest::newRow("check caption") << 13 << u"KORVALO"_s;
    QTest::newRow("last species") << 136 << u"Meerschweinchen"_s;
    QTest::newRow("too many points")
        << 507 << u"Zuviele Datenpunkte - bitte erhöhen Sie die Reduktion"_s;
}

void TestStringTable::texts() {
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(str(number), text);
}

void TestStringTable::continuationLines() {
    const QStringList lines = str(905).split(u'\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(u"Copyright"));
    QVERIFY(lines[1].startsWith(u"Dieses Programm ist freie Software"));
    QVERIFY(lines[2].contains(u"OHNE IRGENDEINE GARANTIE"));
}

void TestStringTable::missingNumber() {
    QTest::ignoreMessage(QtWarningMsg, "string 99999 missing");
    QCOMPARE(str(99999), QString());
    QVERIFY(!StringTable::contains(99999));
}

QTEST_GUILESS_MAIN(TestStringTable)
#include "tst_stringtable.moc"
