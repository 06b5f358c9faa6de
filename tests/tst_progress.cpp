// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/chartcalc.h"
#include "core/clinical.h"
#include "core/progress.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using Clinical::Animal;

Q_DECLARE_METATYPE(ProgressStatus)
Q_DECLARE_METATYPE(Animal)

/** The follow-up's judgement of a weighing, its advice and the next visit. */
class TestProgress : public QObject {
    Q_OBJECT

private slots:
    void status_data();
    void status();
    void rows();
    void advice_data();
    void advice();
    void nextDue_data();
    void nextDue();
};

void TestProgress::status_data() {
    QTest::addColumn<Animal>("animal");
    QTest::addColumn<double>("before"); // kg, a week before unless days says otherwise
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("weight");
    QTest::addColumn<double>("planned");
    QTest::addColumn<double>("target");
    QTest::addColumn<ProgressStatus>("expected");
    using P = ProgressStatus;
    const Animal dog = Animal::Dog;
    const Animal cat = Animal::Cat;
    // 34 kg at 3 % a week is 32,993 kg after seven days of the curve.
    QTest::newRow("dog on its 3 % plan")
        << dog << 34.0 << 7 << 32.99 << 32.993 << 28.0 << P::OnPlan;
    QTest::newRow("dog 0,04 kg below a 3 % curve")
        << dog << 34.0 << 7 << 32.95 << 32.993 << 28.0 << P::OnPlan;
    QTest::newRow("dog 0,04 kg above a 3 % curve")
        << dog << 34.0 << 7 << 33.03 << 32.993 << 28.0 << P::OnPlan;
    QTest::newRow("dog a step beyond 3 %")
        << dog << 34.0 << 7 << 32.9 << 32.993 << 28.0 << P::TooFast;
    QTest::newRow("dog at exactly 2 %") << dog << 50.0 << 7 << 49.0 << 49.0 << 45.0 << P::OnPlan;
    QTest::newRow("dog at 2 % and 0,01 kg")
        << dog << 50.0 << 7 << 48.99 << 49.0 << 45.0 << P::OnPlan;
    QTest::newRow("dog at 1,5 % on a 1,5 % plan")
        << dog << 34.0 << 7 << 33.49 << 33.49 << 28.0 << P::OnPlan;
    QTest::newRow("faster than planned, within the maximum")
        << dog << 34.0 << 7 << 33.1 << 33.49 << 28.0 << P::OnPlan;
    QTest::newRow("1 % above the plan is on plan")
        << dog << 50.0 << 7 << 49.49 << 49.0 << 45.0 << P::OnPlan;
    QTest::newRow("beyond 1 % above the plan")
        << dog << 50.0 << 7 << 49.5 << 49.0 << 45.0 << P::TooSlow;
    QTest::newRow("a gain of 0,1 kg") << dog << 32.5 << 7 << 32.6 << 32.0 << 28.0 << P::Gained;
    QTest::newRow("one step up is no gain")
        << dog << 32.5 << 7 << 32.55 << 32.6 << 28.0 << P::OnPlan;
    QTest::newRow("a gain after one day")
        << dog << 32.5 << 1 << 32.7 << 32.4 << 28.0 << P::TooShort;
    QTest::newRow("0,3 kg in 2 days") << dog << 32.5 << 2 << 32.2 << 32.4 << 28.0 << P::TooShort;
    QTest::newRow("five days are judged") << dog << 32.5 << 5 << 32.7 << 32.4 << 28.0 << P::Gained;
    QTest::newRow("a step above the target")
        << dog << 28.6 << 7 << 28.05 << 28.4 << 28.0 << P::TargetReached;
    QTest::newRow("just above that") << dog << 28.6 << 7 << 28.06 << 28.4 << 28.0 << P::OnPlan;
    QTest::newRow("below the target after a day")
        << dog << 28.1 << 1 << 27.9 << 28.0 << 28.0 << P::TargetReached;
    QTest::newRow("cat at 1 % on a 1 % plan")
        << cat << 6.0 << 7 << 5.94 << 5.94 << 4.5 << P::OnPlan;
    QTest::newRow("cat at 3 %") << cat << 6.0 << 7 << 5.82 << 5.83 << 4.5 << P::TooFast;
    QTest::newRow("cat at 1,5 % on a 3 % plan, a week on")
        << cat << 5.88 << 7 << 5.79 << 5.658 << 4.5 << P::TooSlow;
    QTest::newRow("cat behind a 3 % plan, losing 2 %: no further cut")
        << cat << 5.88 << 7 << 5.76 << 5.658 << 4.5 << P::OnPlan;
    QTest::newRow("dog behind its plan, losing 3 %")
        << dog << 34.0 << 7 << 32.98 << 32.5 << 28.0 << P::OnPlan;
    QTest::newRow("cat at 2,33 %: within a step")
        << cat << 6.0 << 7 << 5.86 << 5.88 << 4.5 << P::OnPlan;
    QTest::newRow("rabbit at 4,8 %")
        << Animal::Rabbit << 2.5 << 7 << 2.38 << 2.45 << 2.0 << P::TooFast;
    QTest::newRow("guinea pig at 3,9 %")
        << Animal::GuineaPig << 1.176 << 7 << 1.13 << 1.153 << 1.0 << P::TooFast;
    QTest::newRow("guinea pig, 6 g up")
        << Animal::GuineaPig << 1.13 << 7 << 1.136 << 1.13 << 1.0 << P::Gained;
    QTest::newRow("hamster, one 5 g step lighter")
        << Animal::Hamster << 0.15 << 7 << 0.145 << 0.147 << 0.12 << P::OnPlan;
    QTest::newRow("hamster, two steps lighter")
        << Animal::Hamster << 0.15 << 7 << 0.14 << 0.147 << 0.12 << P::TooFast;
    QTest::newRow("hamster, scale noise")
        << Animal::Hamster << 0.15 << 7 << 0.148 << 0.147 << 0.12 << P::OnPlan;
    QTest::newRow("hamster, 4 g above its plan")
        << Animal::Hamster << 0.15 << 7 << 0.15 << 0.146 << 0.12 << P::OnPlan;
    QTest::newRow("hamster, 6 g above its plan")
        << Animal::Hamster << 0.152 << 7 << 0.152 << 0.146 << 0.12 << P::TooSlow;
}

void TestProgress::status() {
    QFETCH(Animal, animal);
    QFETCH(double, before);
    QFETCH(int, days);
    QFETCH(double, weight);
    QFETCH(double, planned);
    QFETCH(double, target);
    QFETCH(ProgressStatus, expected);
    const QDate day(2026, 11, 2);
    const ProgressStatus got =
        Progress::status({day, before}, {day.addDays(days), weight}, planned, target, animal);
    QCOMPARE(Progress::statusText(got), Progress::statusText(expected));
}

void TestProgress::rows() {
    // 50 kg on day 0, a kg less a week, 45 kg from day 35 (the target).
    ReductionPlan plan;
    plan.startDate = QDate(2026, 9, 1);
    plan.simulatedDays = 35;
    for (int day = 0; day < plan.simulatedDays; ++day)
        plan.grid[day].planned = 50 - day / 7;
    CaseHistory history;
    for (const double w : {50.0, 49.0, 48.0, 47.0, 46.0, 45.6})
        history.append({plan.startDate.addDays(7 * history.size()), w});
    const QList<ProgressRow> rows = Progress::rows(history, plan, 45, Animal::Dog);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.first().weeklyLossPercent, 2.0);
    QCOMPARE(rows.first().planned, 49.0);
    const ProgressRow &last = rows.last();
    QCOMPARE(last.days, 7);
    QVERIFY(qAbs(last.weeklyLossPercent - 0.8696) < 1e-4);
    QCOMPARE(last.planned, 45.0); // after the curve's end the target counts
    QCOMPARE(last.deviationKg, 45.6 - 45.0);
    QCOMPARE(Progress::statusText(last.status), str(S::TooSlow));

    // After the target the weight is held up to 5 % above it; beyond, the diet starts again.
    history.append({history.last().date.addDays(7), 44.9});
    history.append({history.last().date.addDays(28), 47.2});
    history.append({history.last().date.addDays(28), 47.3});
    QStringList after;
    for (const ProgressRow &row : Progress::rows(history, plan, 45, Animal::Dog).mid(5))
        after << Progress::statusText(row.status);
    QCOMPARE(after, QStringList({u"Ziel erreicht"_s, u"Ziel erreicht"_s, u"zugenommen"_s}));
    // The ration is raised once, when the target is reached; held, it stays.
    const QList<ProgressRow> held = Progress::rows(history, plan, 45, Animal::Dog).mid(5, 2);
    QCOMPARE(Progress::advice(held.mid(0, 1), Animal::Dog), str(S::AdviceTargetReached));
    QCOMPARE(Progress::advice(held, Animal::Dog), str(S::AdviceTargetHeld));
}

void TestProgress::advice_data() {
    QTest::addColumn<Animal>("animal");
    QTest::addColumn<ProgressStatus>("status");
    QTest::addColumn<bool>("atFloor");
    QTest::addColumn<bool>("tooFast");
    QTest::addColumn<int>("expected");
    using P = ProgressStatus;
    const auto rows = [](Animal a, const char *name, int fast, int slow, int gained) {
        QTest::addRow("%s too fast", name) << a << P::TooFast << false << false << fast;
        QTest::addRow("%s too slow", name) << a << P::TooSlow << false << false << slow;
        QTest::addRow("%s gained", name) << a << P::Gained << false << false << gained;
        QTest::addRow("%s on plan", name)
            << a << P::OnPlan << false << false << int(S::AdviceOnPlan);
        QTest::addRow("%s at target", name)
            << a << P::TargetReached << false << false << int(S::AdviceTargetReached);
        QTest::addRow("%s too soon", name)
            << a << P::TooShort << false << false << int(S::AdviceTooShort);
    };
    rows(Animal::Dog, "dog", S::AdviceTooFast, S::AdviceTooSlow, S::AdviceGained);
    rows(Animal::Cat, "cat", S::AdviceTooFastCat, S::AdviceTooSlow, S::AdviceGained);
    rows(Animal::Rabbit, "rabbit", S::AdviceTooFastGrazer, S::AdviceTooSlowGrazer,
         S::AdviceGainedGrazer);
    rows(Animal::GuineaPig, "guinea pig", S::AdviceTooFastGrazer, S::AdviceTooSlowGrazer,
         S::AdviceGainedGrazer);
    rows(Animal::Hamster, "hamster", S::AdviceTooFastHamster, S::AdviceTooSlowHamster,
         S::AdviceGainedHamster);
    QTest::newRow("dog too slow at the floor")
        << Animal::Dog << P::TooSlow << true << false << int(S::AdviceAtFloor);
    QTest::newRow("cat gained at the floor")
        << Animal::Cat << P::Gained << true << false << int(S::AdviceAtFloor);
    QTest::newRow("dog too fast at the floor")
        << Animal::Dog << P::TooFast << true << false << int(S::AdviceTooFast);
    // A last week too fast to the target: the pets at risk are seen soon, a dog is not.
    QTest::newRow("guinea pig at target too fast") << Animal::GuineaPig << P::TargetReached << false
                                                   << true << int(S::AdviceTargetReachedTooFast);
    QTest::newRow("cat at target too fast")
        << Animal::Cat << P::TargetReached << false << true << int(S::AdviceTargetReachedTooFast);
    QTest::newRow("dog at target too fast")
        << Animal::Dog << P::TargetReached << false << true << int(S::AdviceTargetReached);
}

void TestProgress::advice() {
    QFETCH(Animal, animal);
    QFETCH(ProgressStatus, status);
    QFETCH(bool, atFloor);
    QFETCH(bool, tooFast);
    QFETCH(int, expected);
    ProgressRow row;
    row.status = status;
    row.tooFast = tooFast;
    const QString advice = Progress::advice({row}, animal, atFloor);
    const QString max = QString::number(Clinical::figuresOf(animal).safeWeeklyLoss);
    QCOMPARE(advice, str(expected).arg(max));
    QVERIFY(!advice.contains(u"%1"));
    // Hay is never cut, and the pets that risk fatty liver or gut stasis are seen soon.
    QVERIFY(!advice.contains(QRegularExpression(u"Heu[^,;:]*verringern"_s)));
    if (status == ProgressStatus::TooFast || tooFast)
        QCOMPARE(advice.contains(u"in den nächsten Tagen vorstellen"),
                 Clinical::figuresOf(animal).seeVetWhenTooFast);
    QCOMPARE(Progress::advice({}, animal), QString());
}

void TestProgress::nextDue_data() {
    QTest::addColumn<int>("status"); // -1: a new case
    QTest::addColumn<QDate>("due");
    const QDate last(2026, 11, 30);
    QTest::newRow("new case: the diet plan's appointment") << -1 << last.addDays(42);
    QTest::newRow("on plan") << int(ProgressStatus::OnPlan) << last.addDays(42);
    QTest::newRow("too slow") << int(ProgressStatus::TooSlow) << last.addDays(14);
    QTest::newRow("too fast") << int(ProgressStatus::TooFast) << last.addDays(14);
    QTest::newRow("gained") << int(ProgressStatus::Gained) << last.addDays(14);
    QTest::newRow("too soon to judge") << int(ProgressStatus::TooShort) << last.addDays(7);
    QTest::newRow("at the target") << int(ProgressStatus::TargetReached) << QDate(2027, 2, 28);
}

void TestProgress::nextDue() {
    QFETCH(int, status);
    QFETCH(QDate, due);
    const auto s = status < 0 ? std::nullopt : std::optional(ProgressStatus(status));
    QCOMPARE(Progress::nextDue(QDate(2026, 11, 30), s), due);
}

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
