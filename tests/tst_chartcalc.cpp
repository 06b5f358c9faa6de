// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/germantext.h"
#include "core/ratecoupling.h"
#include "tests/testhelpers.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using F = DietCase::Field;

namespace {

const QDate today(2026, 12, 7);
constexpr double unset = std::numeric_limits<double>::quiet_NaN();

QStringList edits(std::initializer_list<QStringView> list) {
    QStringList result;
    for (QStringView edit : list)
        result << edit.toString();
    return result;
}

// 1 % a week from 60 kg: targets near 29,35 kg need about 500 days.
const QStringList slow{u"todayWeight=60"_s, u"overweightPercent=104"_s, u"weeklyRateDuring=1"_s,
                       u"weeklyRateEnd=1"_s};

// The base case as a follow-up: created some days ago at 12 kg and weighed today.
QStringList followUpCase(int daysAgo, QStringView todayWeight = u"11,5") {
    return baseCase +
           QStringList{u"formerWeight=12 kg"_s, u"todayWeight="_s + todayWeight.toString(),
                       u"creationDate="_s + GermanText::fromDate(today.addDays(-daysAgo))};
}

// The setting "SmallPets" as the callers read it: "1" is on.
ChartSetup compute(const QStringList &caseEdits, const QString &smallPets = u"0"_s) {
    DietCase c;
    apply(c, baseCase + caseEdits);
    return ChartCalc(c, smallPets == u"1", today);
}

} // namespace

class TestChartCalc : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Clock::setToday(today); }
    void rateThreshold_data();
    void rateThreshold();
    void startAtOrBelowTarget_data();
    void startAtOrBelowTarget();
    void valueAxis_data();
    void valueAxis();
    void title_data();
    void title();
    void texts();
    void followUp_data();
    void followUp();
    void creationDateHidden();
    void errors_data();
    void errors();
    void planLength_data();
    void planLength();
};

void TestChartCalc::rateThreshold_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("planned");

    // Rates 14 and 7 take 2 % or 1 % of the weight a day.
    const QStringList steep = edits({u"weeklyRateDuring=14", u"weeklyRateEnd=7"});
    const QStringList at11_5 = steep + edits({u"todayWeight=11,5"});
    QTest::newRow("115 % uses the rate during the diet")
        << at11_5 + edits({u"overweightPercent=15"}) << 1 << 11.27;
    QTest::newRow("114 % uses the end rate")
        << at11_5 + edits({u"overweightPercent=14"}) << 1 << 11.385;
    QTest::newRow("typed 14,9 is not rounded up on day 0")
        << at11_5 + edits({u"overweightPercent=14,9"}) << 1 << 11.385;
    QTest::newRow("12 kg at 3 % a week") << QStringList() << 1 << 12 - 0.36 / 7;
    QTest::newRow("below 15 % the end rate from day 0")
        << edits({u"overweightPercent=10"}) << 1 << 12 - 0.24 / 7;
    QTest::newRow("114,905 % on day 1 rounds to 115")
        << steep + edits({u"todayWeight=11,725"}) << 2 << 11.26069;
    // 229 kg of 200 kg is exactly 114,5 %.
    QTest::newRow("114,5 % on day 1 rounds to even 114")
        << edits(
               {u"todayWeight=229", u"targetWeight=200", u"weeklyRateDuring=0", u"weeklyRateEnd=7"})
        << 2 << 226.71;
}

void TestChartCalc::rateThreshold() {
    QFETCH(QStringList, caseEdits);
    QFETCH(int, day);
    QFETCH(double, planned);
    QCOMPARE(compute(caseEdits).plan.grid[day].planned.value_or(unset), planned);
}

void TestChartCalc::startAtOrBelowTarget_data() {
    QTest::addColumn<QString>("weight");
    QTest::newRow("at target") << u"10"_s;
    QTest::newRow("below target") << u"9,5"_s;
}

void TestChartCalc::startAtOrBelowTarget() {
    QFETCH(QString, weight);
    const ReductionPlan plan = compute({u"todayWeight="_s + weight}).plan;
    QCOMPARE(plan.simulatedDays, 0);
    QCOMPARE(plan.rowsShown, 1);
    QCOMPARE(plan.rowLabel(0), u"07.12.2026"_s);
    QVERIFY(!plan.grid[0].planned);
    QCOMPARE(plan.grid[0].measured.value_or(unset), GermanText::parseNumber(weight));
}

void TestChartCalc::valueAxis_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("smallPets");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("divisions");
    const auto row = [](const char *name, QStringView start, QStringView target,
                        QStringView smallPets, double minimum, double maximum, int divisions) {
        QTest::newRow(name) << start.toString() << target.toString() << smallPets.toString()
                            << minimum << maximum << divisions;
    };
    row("whole weights stay", u"12", u"10", u"0", 10, 12, 2);
    row("kilograms around", u"12,5", u"10,3", u"0", 10, 13, 3);
    row("exactly 1 kg", u"11", u"10", u"0", 10, 11, 1);
    // 4,1 - 3,1 is just below 1 as a double, but 1 in single precision.
    row("single precision 1 kg", u"4,1", u"3,1", u"0", 3, 5, 2);
    row("0,9 kg in tenths", u"10,9", u"10", u"0", 10, 10.9, 5);
    row("0,5 kg in tenths", u"10,25", u"9,75", u"0", 9.7, 10.3, 5);
    row("small pets in kilograms", u"10,25", u"9,75", u"1", 9, 11, 5);
    row("any other small pets value is off", u"10,25", u"9,75", u"2", 9.7, 10.3, 5);
}

void TestChartCalc::valueAxis() {
    QFETCH(QString, start);
    QFETCH(QString, target);
    QFETCH(QString, smallPets);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, divisions);

    const ChartSetup setup =
        compute({u"todayWeight="_s + start, u"targetWeight="_s + target}, smallPets);
    QVERIFY(!setup.valueAutoScale);
    QCOMPARE(setup.valueMajorDivisions, divisions);
    QCOMPARE(setup.valueMinimum.has_value(), !std::isnan(minimum));
    QCOMPARE(setup.valueMaximum.has_value(), !std::isnan(maximum));
    if (setup.valueMinimum) {
        QCOMPARE(*setup.valueMinimum, minimum);
        QCOMPARE(*setup.valueMaximum, maximum);
    }
}

void TestChartCalc::title_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<QList<int>>("options");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("everything")
        << edits({u"species=Katze", u"petName=Mimi", u"ownerName=Meier"}) << QList<int>{2, 3}
        << u"Reduktionskurve für Katze Mimi (Besitzer: Meier), weiblich, kastriert  \r"_s;
    QTest::newRow("no sex, no neuter state")
        << edits({u"petName=Bello", u"ownerName=Schulz"}) << QList<int>()
        << u"Reduktionskurve für Hund Bello (Besitzer: Schulz),  \r"_s;
    QTest::newRow("sex only") << QStringList() << QList<int>{1}
                              << u"Reduktionskurve für Hund männlich,  \r"_s;
    QTest::newRow("neuter state only") << edits({u"species=Hamster"}) << QList<int>{4}
                                       << u"Reduktionskurve für Hamster nicht kastriert  \r"_s;
    QTest::newRow("nothing") << edits({u"species="}) << QList<int>()
                             << u"Reduktionskurve für  \r"_s;
}

void TestChartCalc::title() {
    QFETCH(QStringList, caseEdits);
    QFETCH(QList<int>, options);
    QFETCH(QString, firstLine);

    DietCase c;
    apply(c, baseCase + caseEdits);
    for (int option : options)
        c.setOptionSelected(option, true);
    QCOMPARE(ChartCalc(c, false, today).title,
             firstLine + u"Gewicht am 07.12.2026: 12 kg, Zielgewicht am 04.02.2027: 10 kg"_s);
}

void TestChartCalc::texts() {
    const ChartSetup setup = compute({});
    QCOMPARE(setup.footnote,
             u"Wichtig: Bitte wiegen Sie Ihr Tier einmal wöchentlich und tragen Sie das Gewicht "
             u"in die Kurve ein.  Wenn keine ausreichende Gewichtsabnahme erfolgt, muss die "
             u"Futtermenge weiter reduziert werden. Achtung: Bei einigen Tieren muss die "
             u"Futtermenge extrem gesenkt werden, um eine Gewichtsreduktion zu erreichen. In "
             u"diesem Fall sollten Sie die Nährstoffversorgung durch Ihren Tierarzt/Tierärztin "
             u"überprüfen lassen."_s);
    QCOMPARE(setup.categoryTitle, u"Erstellt mit KORVALO ® am 07.12.2026"_s);
    QCOMPARE(setup.valueTitle, u"kg"_s);
}

void TestChartCalc::followUp_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<int>("rowsShown");
    QTest::addColumn<int>("measuredDay"); // 0: only the former weight

    QTest::newRow("weighed a week after creation") << followUpCase(6) << 60 << 6;
    QTest::newRow("created today") << followUpCase(0) << 60 << 0;
    QTest::newRow("created tomorrow") << followUpCase(-1) << 60 << 0;
    QTest::newRow("no weight today") << followUpCase(6, u"") << 60 << 0;
    QTest::newRow("weighed after the simulated end") << followUpCase(340) << 341 << 340;
    QTest::newRow("weighed on the last day of the grid") << followUpCase(500) << 501 << 500;
}

void TestChartCalc::followUp() {
    QFETCH(QStringList, caseEdits);
    QFETCH(int, rowsShown);
    QFETCH(int, measuredDay);

    DietCase c;
    apply(c, caseEdits);
    const ChartSetup setup = ChartCalc(c, false, today);
    const ReductionPlan &plan = setup.plan;
    const QString created = c.text(F::creationDate);

    QCOMPARE(plan.rowLabel(0), created);
    QCOMPARE(plan.rowsShown, rowsShown);
    QCOMPARE(plan.grid[0].measured.value_or(unset), 12.0);
    for (int day = 1; day < ReductionPlan::capacity; ++day) {
        QCOMPARE(plan.grid[day].measured.has_value(), day == measuredDay);
        QCOMPARE(plan.grid[day].planned.has_value(), day < 59); // simulated from 12 kg
    }
    if (measuredDay > 0)
        QCOMPARE(*plan.grid[measuredDay].measured, 11.5);
    QVERIFY(setup.title.contains(u"\rGewicht am "_s + created + u": 12 kg, "_s));
    if (rowsShown == 60)
        QCOMPARE(plan.rowDate(59), EndDate(c, EndDateMode::Recalculate, today));
}

void TestChartCalc::creationDateHidden() {
    // The former weight starts the curve, but only a shown creation date anchors its days.
    DietCase c;
    apply(c, followUpCase(6));
    c.setCreationDateVisible(false);
    const ChartSetup setup = ChartCalc(c, false, today);
    QCOMPARE(setup.plan.startDate, today);
    QCOMPARE(setup.plan.rowsShown, 60);
    QCOMPARE(setup.plan.grid[0].planned.value_or(unset), 12.0);
    QCOMPARE(setup.plan.grid[0].measured.value_or(unset), 11.5);
    QVERIFY(setup.title.contains(u"\rGewicht am 01.12.2026: 12 kg, "_s));
}

void TestChartCalc::errors_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<int>("error");

    QTest::newRow("501 simulated days") << slow + edits({u"targetWeight=29,34"}) << 9;
    QTest::newRow("502 simulated days") << slow + edits({u"targetWeight=29,3"}) << 9;
    QTest::newRow("weighed on day 501") << followUpCase(501) << 9;
    QTest::newRow("target zero") << edits({u"targetWeight=0"}) << 11;
    QTest::newRow("former weight too short") << edits({u"formerWeight=kg"}) << 5;
    QTest::newRow("no such creation date")
        << followUpCase(6) + edits({u"creationDate=31.11.2026"}) << 13;
    QTest::newRow("rate not numeric") << edits({u"weeklyRateDuring=3%"}) << 13;
    QTest::newRow("an unused rate is never read")
        << edits({u"todayWeight=11", u"overweightPercent=10", u"weeklyRateDuring=abc"}) << 0;
    QTest::newRow("percent of target beyond 16 bits")
        << edits({u"todayWeight=400", u"targetWeight=0,001"}) << 6;
}

void TestChartCalc::errors() {
    QFETCH(QStringList, caseEdits);
    QFETCH(int, error);
    QCOMPARE(errorOf([&] { compute(caseEdits); }), error);
}

void TestChartCalc::planLength_data() {
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<int>("days");

    QTest::newRow("12 to 10") << QStringList() << 59;
    QTest::newRow("7,3 to 5,1") << edits({u"todayWeight=7,3", u"targetWeight=5,1",
                                          u"overweightPercent=43"})
                                << 100;
    QTest::newRow("60 to 12, the most overweight")
        << edits({u"todayWeight=60", u"targetWeight=12", u"overweightPercent=400"}) << 391;
    QTest::newRow("499 days") << slow + edits({u"targetWeight=29,4"}) << 499;
    QTest::newRow("500 days, the full grid") << slow + edits({u"targetWeight=29,36"}) << 500;
}

void TestChartCalc::planLength() {
    QFETCH(QStringList, caseEdits);
    QFETCH(int, days);

    DietCase c;
    apply(c, baseCase + caseEdits);
    const ReductionPlan plan = ChartCalc(c, false, today).plan;
    QCOMPARE(plan.startDate, today);
    QCOMPARE(plan.simulatedDays, days);
    QCOMPARE(plan.rowsShown, days + 1);
    // The first weight at or below the target is not stored; only day 0 is measured.
    QVERIFY(!plan.grid[days].planned);
    QVERIFY(*plan.grid[days - 1].planned > GermanText::parseNumber(c.text(F::targetWeight)));
    QCOMPARE(std::count_if(plan.grid.begin(), plan.grid.end(),
                           [](const PlanPoint &p) { return p.measured.has_value(); }),
             1);
    QCOMPARE(EndDate(c, EndDateMode::Stored, today), plan.rowDate(days));
    QCOMPARE(check_reduction(c, c.text(F::weeklyRateDuring), c.text(F::weeklyRateEnd)),
             days <= 499);
}

QTEST_GUILESS_MAIN(TestChartCalc)
#include "tst_chartcalc.moc"
