// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clock.h"
#include "core/germantext.h"
#include "core/ratecoupling.h"
#include "tests/testhelpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using F = DietCase::Field;

namespace {

const QDate today(2026, 12, 7);

// Loaded on 01.12.2026 at 12 kg, weighed 11 kg today, with a stored end date.
const QStringList loaded{u"todayWeight=11"_s, u"formerWeight=12 kg"_s, u"creationDate=01.12.2026"_s,
                         u"dietEndDate=01.03.2027"_s};

} // namespace

class TestRateCoupling : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Clock::setToday(today); }
    void fillBoxes_data();
    void fillBoxes();
    void endDate_data();
    void endDate();
};

void TestRateCoupling::fillBoxes_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<QString>("derived"); // overweight, rates; a number alone: the error
    const auto row = [](const char *name, QStringView today, QStringView target,
                        QStringView derived, const QStringList &more = {}) {
        QTest::newRow(name) << QStringList{u"todayWeight="_s + today.toString(),
                                           u"targetWeight="_s + target.toString()} +
                                   more
                            << derived.toString();
    };
    row("20 %", u"12", u"10", u"20 3 2");
    row("14 %, end rate only", u"11,4", u"10", u"14 2 2");
    row("exactly 15 %", u"11,5", u"10", u"15 3 2");
    row("112,5 % to even", u"11,25", u"10", u"12 2 2");
    row("113,5 % to even", u"227", u"200", u"14 2 2");
    row("target above today", u"9", u"10", u"-10 2 2");
    row("today zero changes nothing", u"0", u"10", u"77 9 8");
    row("target zero changes nothing", u"12", u"0", u"77 9 8");
    row("follow-up keeps its rates", u"11,4", u"10", u"14 9 8",
        {u"formerWeight=12 kg"_s, u"creationDate=01.12.2026"_s});
    row("former weight alone is no follow-up", u"11,4", u"10", u"14 2 2",
        {u"formerWeight=12 kg"_s});
    row("overweight beyond 16 bits", u"1000000", u"1", u"6");
    row("weight not numeric", u"abc", u"1", u"13");
}

void TestRateCoupling::fillBoxes() {
    QFETCH(QStringList, caseEdits);
    QFETCH(QString, derived);

    DietCase c;
    apply(c, QStringList{u"overweightPercent=77"_s, u"weeklyRateDuring=9"_s, u"weeklyRateEnd=8"_s} +
                 caseEdits);
    const int error = errorOf([&] { FillBoxes(c); });
    if (error) {
        QCOMPARE(QString::number(error), derived);
        QCOMPARE(c.text(F::overweightPercent), u"77"_s);
        return;
    }
    QCOMPARE(QStringList({c.text(F::overweightPercent), c.text(F::weeklyRateDuring),
                          c.text(F::weeklyRateEnd)})
                 .join(u' '),
             derived);
}

void TestRateCoupling::endDate_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<bool>("recalculate");
    QTest::addColumn<QString>("result"); // a date, or the number of the error
    const auto row = [](const char *name, const QStringList &edits, bool recalculate,
                        QStringView result) {
        QTest::newRow(name) << baseCase + edits << recalculate << result.toString();
    };
    row("new case", {}, false, u"04.02.2027");
    row("new case ignores recalculating", {}, true, u"04.02.2027");
    row("start at target: next day", {u"todayWeight=10"_s}, false, u"08.12.2026");
    row("start below target: next day", {u"todayWeight=9"_s}, false, u"08.12.2026");
    row("follow-up keeps the stored date", loaded, false, u"01.03.2027");
    // From 12 kg at 20 % the target is 59 days away, counted from the creation date.
    row("recalculating simulates from the creation date", loaded, true, u"29.01.2027");
    row("follow-up without stored date", loaded + QStringList{u"dietEndDate="_s}, false, u"13");
    row("former weight too short", loaded + QStringList{u"formerWeight=kg"_s}, false, u"5");
    row("zero rates overflow the day count", {u"weeklyRateDuring=0"_s, u"weeklyRateEnd=0"_s}, false,
        u"6");
    row("target zero", {u"targetWeight=0"_s}, false, u"11");
}

void TestRateCoupling::endDate() {
    QFETCH(QStringList, caseEdits);
    QFETCH(bool, recalculate);
    QFETCH(QString, result);

    DietCase c;
    apply(c, caseEdits);
    QString date;
    const int error = errorOf([&] {
        date = GermanText::fromDate(
            EndDate(c, recalculate ? EndDateMode::Recalculate : EndDateMode::Stored, today));
    });
    QCOMPARE(error ? QString::number(error) : date, result);
}

QTEST_GUILESS_MAIN(TestRateCoupling)
#include "tst_ratecoupling.moc"
