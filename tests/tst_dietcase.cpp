// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clock.h"
#include "core/computecommand.h"
#include "core/derivedfields.h"
#include "core/germantext.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "tests/testhelpers.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using F = DietCase::Field;
using Icon = UserInterface::Icon;

class TestDietCase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Clock::setToday(QDate(2026, 12, 7)); }
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, u"Korvalo"_s)
            .clear();
    }
    void newCase();
    void followUpTests_data();
    void followUpTests();
    void optionPairs();
    void changeSignals();
    void typingWeights_data();
    void typingWeights();
    void derivedFieldErrors_data();
    void derivedFieldErrors();
    void computeMessages_data();
    void computeMessages();
    void computeReadsSmallPets();
};

void TestDietCase::newCase() {
    DietCase c;
    QCOMPARE(c.text(F::species), u"Hund"_s);
    QCOMPARE(c.text(F::currentDate), u"07.12.2026"_s);
    QVERIFY(c.text(F::todayWeight).isEmpty() && c.text(F::formerWeight).isEmpty());
    QVERIFY(c.sex() == PetSex::Unset && c.neuterState() == NeuterState::Unset);
    QVERIFY(!c.creationDateVisible() && !c.formerWeightVisible());
}

void TestDietCase::followUpTests_data() {
    QTest::addColumn<QString>("formerWeight");
    QTest::addColumn<QString>("creationDate");
    QTest::addColumn<QString>("visible"); // former weight, creation date: "11", "10", ...
    QTest::addColumn<QString>("result");  // follow-up, history, former weight or its error
    const auto row = [](const char *name, QStringView former, QStringView created,
                        QStringView visible, QStringView result) {
        QTest::newRow(name) << former.toString() << created.toString() << visible.toString()
                            << result.toString();
    };
    row("loaded case", u"12,5 kg", u"01.12.2026", u"11", u"11 12,5");
    row("former weight hidden", u"12,5 kg", u"01.12.2026", u"01", u"00 12,5");
    row("creation date hidden", u"12,5 kg", u"01.12.2026", u"10", u"10 12,5");
    row("former weight empty", u"", u"01.12.2026", u"11", u"00 5");
    row("nothing before the unit", u"3kg", u"01.12.2026", u"11", u"11 13");
}

void TestDietCase::followUpTests() {
    QFETCH(QString, formerWeight);
    QFETCH(QString, creationDate);
    QFETCH(QString, visible);
    QFETCH(QString, result);

    DietCase c;
    c.setText(F::formerWeight, formerWeight);
    c.setText(F::creationDate, creationDate);
    c.setFormerWeightVisible(visible[0] == u'1');
    c.setCreationDateVisible(visible[1] == u'1');
    QString value;
    const int error = errorOf([&] { value = GermanText::fromNumber(c.formerWeightValue()); });
    QCOMPARE(QString::number(c.isFollowUp()) + QString::number(c.hasHistory()) + u' ' +
                 (error ? QString::number(error) : value),
             result);
}

void TestDietCase::optionPairs() {
    DietCase c;
    QSignalSpy spy(&c, &DietCase::optionsChanged);
    const auto selected = [&c] {
        QString s;
        for (int option = 1; option <= 4; ++option)
            s += c.optionSelected(option) ? u'1' : u'0';
        return s;
    };
    c.setOptionSelected(1, true);
    QCOMPARE(selected(), u"1000"_s);
    c.setOptionSelected(2, true); // the pair is exclusive
    QCOMPARE(selected(), u"0100"_s);
    c.setOptionSelected(1, false); // not the selected button: no change
    QCOMPARE(selected(), u"0100"_s);
    c.setOptionSelected(4, true); // the other pair is independent
    c.setOptionSelected(3, true);
    QCOMPARE(selected(), u"0110"_s);
    c.setOptionSelected(3, false);
    QCOMPARE(selected(), u"0100"_s);
    QCOMPARE(displayText(c.sex()), u"weiblich"_s);
    QCOMPARE(spy.count(), 5);
    c.setOptionSelected(2, true);
    QCOMPARE(spy.count(), 5);
}

void TestDietCase::changeSignals() {
    DietCase c;
    QSignalSpy texts(&c, &DietCase::textChanged);
    QSignalSpy visibility(&c, &DietCase::visibilityChanged);
    c.setText(F::petName, u"Mimi"_s);
    c.setText(F::petName, u"Mimi"_s);
    c.setText(F::species, u"Hund"_s);
    QCOMPARE(texts.count(), 1);
    QCOMPARE(texts.at(0).at(0).value<F>(), F::petName);
    c.setFormerWeightVisible(true);
    c.setFormerWeightVisible(true);
    c.setCreationDateVisible(false);
    QCOMPARE(visibility.count(), 1);
}

void TestDietCase::typingWeights_data() {
    QTest::addColumn<bool>("typingTarget"); // else today's weight, with the target at 10
    QTest::addColumn<QStringList>("keystrokes");
    QTest::addColumn<QString>("derived"); // overweight, rates, end date
    const auto row = [](const char *name, bool target, const QStringList &keys,
                        QStringView derived) {
        QTest::newRow(name) << target << keys << derived.toString();
    };
    const QString twelve = u"20 3 2 04.02.2027"_s;
    row("not numeric yet", false, {u"a"_s}, u"   ");
    row("first digit, below target", false, {u"1"_s}, u"-90 2 2 08.12.2026");
    row("second digit, then a trailing comma", false, {u"1"_s, u"12"_s, u"12,"_s}, twelve);
    row("decimal", false, {u"12"_s, u"12,"_s, u"12,5"_s}, u"25 3 2 13.02.2027");
    row("a letter leaves them", false, {u"12,5"_s, u"12,5x"_s}, u"25 3 2 13.02.2027");
    row("a point leaves them", false, {u"12"_s, u"12.5"_s}, twelve);
    row("emptied, zero, negative", false, {u"12"_s, QString(), u"0"_s, u"-"_s, u"-1"_s}, twelve);
    row("target typed after today's 12", true, {u"1"_s, u"10"_s}, twelve);
    row("target equal to today", true, {u"1"_s, u"12"_s}, u"0 2 2 08.12.2026");
}

void TestDietCase::typingWeights() {
    QFETCH(bool, typingTarget);
    QFETCH(QStringList, keystrokes);
    QFETCH(QString, derived);

    RecordingUserInterface ui;
    AppSettings settings;
    DietCase c;
    const ErrorReporter errors = settings.errorReporter(ui);
    DerivedFields fields(c, errors);
    c.setText(typingTarget ? F::todayWeight : F::targetWeight, typingTarget ? u"12"_s : u"10"_s);
    for (const QString &text : keystrokes)
        c.setText(typingTarget ? F::targetWeight : F::todayWeight, text);

    QCOMPARE(QStringList({c.text(F::overweightPercent), c.text(F::weeklyRateDuring),
                          c.text(F::weeklyRateEnd), c.text(F::dietEndDate)})
                 .join(u' '),
             derived);
    QVERIFY(ui.messages.isEmpty());
}

void TestDietCase::derivedFieldErrors_data() {
    QTest::addColumn<QString>("errorValue"); // "-": absent
    QTest::addColumn<QStringList>("caseEdits");
    QTest::addColumn<QStringList>("messages");

    // After 12 kg for 10 kg, 4000 kg overflows the overweight, and the end date's simulation.
    const QStringList overflow{u"targetWeight=10"_s, u"todayWeight=12"_s, u"todayWeight=4000"_s};
    const QStringList shortForm{u"Fehler!  6  -  Überlauf"_s, u"Fehler!  6  -  Überlauf"_s};
    const QStringList longForm{u"Fehler!  6  -  Überlauf in   -  XXX  -  FillBoxes"_s,
                               u"Fehler!  6  -  Überlauf in   -  XXX  -  EndDate"_s};
    QTest::newRow("short form") << u"-"_s << overflow << shortForm;
    QTest::newRow("short form with 0") << u"0"_s << overflow << shortForm;
    QTest::newRow("long form") << u"1"_s << overflow << longForm;
    QTest::newRow("long form for an empty value") << QString() << overflow << longForm;
    QTest::newRow("follow-up without stored end date")
        << u"-"_s
        << QStringList{u"formerWeight=12 kg"_s, u"creationDate=01.12.2026"_s, u"targetWeight=10"_s,
                       u"todayWeight=12"_s}
        << QStringList{u"Fehler!  13  -  Typen unverträglich"_s};
}

void TestDietCase::derivedFieldErrors() {
    QFETCH(QString, errorValue);
    QFETCH(QStringList, caseEdits);
    QFETCH(QStringList, messages);

    RecordingUserInterface ui;
    AppSettings settings;
    if (errorValue != u"-")
        settings.setValue(AppSettings::ErrorValue, errorValue);
    DietCase c;
    const ErrorReporter errors = settings.errorReporter(ui);
    DerivedFields fields(c, errors);
    apply(c, caseEdits);

    QStringList texts;
    for (const auto &m : std::as_const(ui.messages)) {
        texts << m.text;
        QCOMPARE(m.icon, Icon::Critical);
        QCOMPARE(m.title, u"KORVALO"_s);
    }
    QCOMPARE(texts, messages);
    QCOMPARE(ui.cursorRestores, messages.size());
    QCOMPARE(c.text(F::dietEndDate), QString());
    QCOMPARE(c.text(F::overweightPercent), u"20"_s);
}

void TestDietCase::computeMessages_data() {
    QTest::addColumn<QString>("fields"); // today;target;overweight;rates
    QTest::addColumn<QString>("text");   // empty: the curve is computed
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("title");
    const auto row = [](const char *name, QStringView fields, const QString &text = {},
                        Icon icon = Icon::Exclamation, const QString &title = u"Fehler"_s) {
        QTest::newRow(name) << fields.toString() << text << icon << title;
    };
    const QString noValue = u"Eingabefeld '%1' enthält keinen oder falschen Wert."_s;
    const QString today = noValue.arg(u"heutiges Gewicht:");
    const QString above = u"Achtung: Zielgewicht liegt über heutigem Gewicht!"_s;
    const QString limit = u"Die Berechnung ist auf ein maximales Übergewicht von 400% begrenzt."_s;
    const QString limitTitle = u"Zu hohes Übergewicht"_s;

    row("today not numeric, target empty", u"abc;;;3", today);
    row("today with a decimal point", u"6.5;5;30;3", today);
    row("target empty", u"12;;;3", noValue.arg(u"Zielgewicht:"));
    row("overweight not numeric", u"12;10;x;3", noValue.arg(u"Übergewicht:"));
    row("target above today, overweight empty", u"9;10;;3", noValue.arg(u"Übergewicht:"));
    row("equal weights", u"10;10;0;3", above, Icon::Information);
    row("target above today", u"9;10;-10;3", above, Icon::Information);
    row("401 %", u"60;12;401;3", limit, Icon::Exclamation, limitTitle);
    row("400,5 %", u"60;12;400,5;3", limit, Icon::Exclamation, limitTitle);
    row("400 % computes", u"60;12;400;3");
    row("typed overweight is used unchecked", u"12;10;-50;3");
    row("plan beyond 501 days", u"60;12;400;1",
        u"Fehler!  9  -  Index außerhalb des gültigen Bereichs"_s, Icon::Critical, u"KORVALO"_s);
}

void TestDietCase::computeMessages() {
    QFETCH(QString, fields);
    QFETCH(QString, text);
    QFETCH(Icon, icon);
    QFETCH(QString, title);

    RecordingUserInterface ui;
    AppSettings settings;
    DietCase c;
    const QStringList f = fields.split(u';');
    apply(c, {u"todayWeight="_s + f[0], u"targetWeight="_s + f[1], u"overweightPercent="_s + f[2],
              u"weeklyRateDuring="_s + f[3], u"weeklyRateEnd="_s + f[3]});
    QCOMPARE(
        computeCurve(c, settings.errorReporter(ui), settings.value(AppSettings::SmallPets) == u"1")
            .has_value(),
        text.isEmpty());
    QCOMPARE(ui.messages.size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(ui.messages[0].text, text);
        QCOMPARE(ui.messages[0].icon, icon);
        QCOMPARE(ui.messages[0].title, title);
    }
}

void TestDietCase::computeReadsSmallPets() {
    RecordingUserInterface ui;
    AppSettings settings;
    DietCase c;
    apply(c, {u"todayWeight=10,25"_s, u"targetWeight=9,75"_s, u"overweightPercent=5"_s,
              u"weeklyRateDuring=2"_s, u"weeklyRateEnd=2"_s});
    QCOMPARE(
        computeCurve(c, settings.errorReporter(ui), settings.value(AppSettings::SmallPets) == u"1")
            ->valueMinimum.value_or(0),
        9.7); // absent is "0"
    settings.setValue(AppSettings::SmallPets, u"1"_s);
    QCOMPARE(
        computeCurve(c, settings.errorReporter(ui), settings.value(AppSettings::SmallPets) == u"1")
            ->valueMinimum.value_or(0),
        9.0);
}

QTEST_GUILESS_MAIN(TestDietCase)
#include "tst_dietcase.moc"
