// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/feeding.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/weighcalendar.h"
#include "tests/testhelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using F = DietCase::Field;

namespace {

// Reads an .ics file with Debian's icalendar module, an implementation that is not ours,
// and hands back the events as JSON.
const char *const parser = R"(
import json, sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
events = []
for e in cal.walk('VEVENT'):
    alarms = [a for a in e.walk('VALARM')]
    events.append({'date': e.decoded('DTSTART').isoformat(),
                   'end': e.decoded('DTEND').isoformat(),
                   'summary': str(e['SUMMARY']), 'uid': str(e['UID']),
                   'alarm': str(alarms[0].decoded('TRIGGER')) if alarms else ''})
print(json.dumps({'version': str(cal['VERSION']), 'events': events}))
)";

QJsonObject parsed(const QByteArray &ics) {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"t.ics"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(ics) != ics.size())
        return {};
    file.close();
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromUtf8(parser), file.fileName()});
    python.waitForFinished(60000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace

class TestFeeding : public QObject {
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void scoreAnchor_data();
    void scoreAnchor();
    void refusal_data();
    void refusal();
    void adjustedRation_data();
    void adjustedRation();
    void calendar_data();
    void calendar();
};

void TestFeeding::figures_data() {
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("ration");
    // suggested target | RER to 0,01 | kcal | food kcal | grams | treats | percent | floor
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("suggestion");
    QTest::addColumn<QString>("sentence");

    QTest::newRow("dog by score, target taken")
        << QStringList{u"todayWeight=34"_s, u"bodyCondition=8"_s, u"targetWeight=26,2"_s,
                       u"foodName=Light Trockenfutter"_s, u"energyDensity=350"_s}
        << 100 << u"26,2|810,63|811|730|209|81|100|-"_s << u"Vorgeschlagenes Zielgewicht: 26,2 kg"_s
        << u"Tagesration: 209 g Light Trockenfutter (730 kcal) und höchstens 81 kcal als "
           u"Leckerli, zusammen 811 kcal"_s;
    QTest::newRow("dog at 25 kg, 243 g were the whole ration")
        << QStringList{u"targetWeight=25"_s, u"foodName=Light"_s, u"energyDensity=322"_s} << 100
        << u"-|782,62|783|705|219|78|100|-"_s << QString()
        << u"Tagesration: 219 g Light (705 kcal) und höchstens 78 kcal als Leckerli, zusammen "
           u"783 kcal"_s;
    QTest::newRow("cat at 80 %, no energy density")
        << QStringList{u"species=Katze"_s, u"todayWeight=6"_s, u"targetWeight=4,5"_s,
                       u"foodName=Diät"_s}
        << 100 << u"-|216,28|173|156|-|17|100|-"_s << QString()
        << u"Tagesration: 156 kcal Diät und höchstens 17 kcal als Leckerli, zusammen 173 kcal"_s;
    QTest::newRow("cat adjusted to 90 %, no food name")
        << QStringList{u"species=Katze"_s, u"targetWeight=4,5"_s, u"energyDensity=85"_s} << 90
        << u"-|216,28|156|140|165|16|90|-"_s << QString()
        << u"Tagesration: 165 g (140 kcal) und höchstens 16 kcal als Leckerli, zusammen 156 kcal"_s;
    QTest::newRow("dog at 48 %: fed at 70 % of RER")
        << QStringList{u"targetWeight=28"_s, u"energyDensity=350"_s} << 48
        << u"-|852,05|596|536|153|60|48|floor"_s << QString()
        << u"Tagesration: 153 g (536 kcal) und höchstens 60 kcal als Leckerli, zusammen 596 kcal"_s;
    QTest::newRow("cat at 87 %: 69,6 % of RER, at the floor")
        << QStringList{u"species=Katze"_s, u"targetWeight=4,5"_s} << 87
        << u"-|216,28|151|136|-|15|87|floor"_s << QString() << QString();
    QTest::newRow("cat at 88 %: 70,4 % of RER")
        << QStringList{u"species=Katze"_s, u"targetWeight=4,5"_s} << 88
        << u"-|216,28|152|137|-|15|88|-"_s << QString() << QString();
    QTest::newRow("a decimal half rounds up: 11,055 kg at BCS 6")
        << QStringList{u"todayWeight=11,055"_s, u"bodyCondition=6"_s} << 100
        << u"10,1|-|-|-|-|-|100|-"_s << u"Vorgeschlagenes Zielgewicht: 10,1 kg"_s << QString();
    QTest::newRow("BCS 5: no overweight")
        << QStringList{u"todayWeight=34"_s, u"bodyCondition=5"_s} << 100 << u"-|-|-|-|-|-|100|-"_s
        << u"Kein Übergewicht nach Körperkondition."_s << QString();
    QTest::newRow("BCS without a weight") << QStringList{u"bodyCondition=9"_s} << 100
                                          << u"-|-|-|-|-|-|100|-"_s << QString() << QString();
    QTest::newRow("energy density in MJ/kg: no grams")
        << QStringList{u"targetWeight=25"_s, u"energyDensity=14,6"_s} << 100
        << u"-|782,62|783|705|-|78|100|-"_s << QString()
        << u"Tagesration: 705 kcal und höchstens 78 kcal als Leckerli, zusammen 783 kcal"_s;
    QTest::newRow("rabbit: advice, no figures")
        << QStringList{u"species=Kaninchen"_s, u"todayWeight=3"_s, u"bodyCondition=7"_s,
                       u"targetWeight=2,5"_s, u"foodName=Heu"_s}
        << 100 << u"-|-|-|-|-|-|-|-"_s << u"Für diese Tierart keine Berechnung."_s
        << u"Heu und Grünfutter nach Belieben, Trocken- und Pelletfutter begrenzen."_s;
    QTest::newRow("hamster: a weighed seed mix, not green food at will")
        << QStringList{u"species=Hamster"_s, u"targetWeight=0,12"_s, u"foodName=Körner"_s} << 100
        << u"-|-|-|-|-|-|-|-"_s << QString()
        << u"Körnermischung als abgewogene Tagesportion, dazu etwas Frischgemüse und Heu; "
           u"Sonnenblumenkerne und Knabberstangen weglassen."_s;
    QTest::newRow("fields empty: figures, nothing shown")
        << QStringList{u"targetWeight=25"_s} << 100 << u"-|782,62|783|705|-|78|100|-"_s << QString()
        << QString();
}

void TestFeeding::figures() {
    QFETCH(QStringList, edits);
    QFETCH(int, ration);
    QFETCH(QString, expected);
    QFETCH(QString, suggestion);
    QFETCH(QString, sentence);

    DietCase c;
    apply(c, edits);
    c.setRationPercent(ration);
    const Feeding::Figures f = Feeding::figures(c);
    const auto shown = [](const auto &value, int decimals) {
        return value ? GermanText::fromNumber(double(*value), decimals) : u"-"_s;
    };
    QCOMPARE(QStringList({shown(f.suggestedTarget, 1), shown(f.rerKcal, 2), shown(f.dailyKcal, 0),
                          shown(f.foodKcal, 0), shown(f.foodGrams, 0), shown(f.treatKcal, 0),
                          shown(f.rationPercent, 0), f.floorApplied ? u"floor"_s : u"-"_s})
                 .join(u'|'),
             expected);
    QCOMPARE(f.suggestionText, suggestion);
    QCOMPARE(Feeding::rationSentence(c), sentence);
    QCOMPARE(f.floorNote.isEmpty(), !f.floorApplied);
    if (f.dailyKcal) { // food and treats are the whole ration, never more
        QCOMPARE(*f.foodKcal + *f.treatKcal, *f.dailyKcal);
        QVERIFY(*f.dailyKcal >= qRound(*f.rerKcal * Clinical::rationFloorShare));
    }
}

void TestFeeding::scoreAnchor_data() {
    QTest::addColumn<QStringList>("edits"); // "scoreWeight=" sets the visit's weight
    QTest::addColumn<QString>("suggested");
    QTest::newRow("the score's own visit")
        << QStringList{u"todayWeight=34"_s, u"bodyCondition=7"_s} << u"28,3"_s;
    QTest::newRow("a follow-up keeps it")
        << QStringList{u"bodyCondition=7"_s, u"scoreWeight=34"_s, u"todayWeight=30,9"_s}
        << u"28,3"_s;
    QTest::newRow("a new score at the follow-up")
        << QStringList{u"bodyCondition=7"_s, u"scoreWeight=34"_s, u"todayWeight=30,9"_s,
                       u"bodyCondition=6"_s}
        << u"28,1"_s;
}

void TestFeeding::scoreAnchor() {
    QFETCH(QStringList, edits);
    QFETCH(QString, suggested);
    DietCase c;
    for (const QString &edit : edits) {
        if (edit.startsWith(u"scoreWeight="))
            c.setScoreWeight(GermanText::toNumber(edit.mid(12)));
        else
            apply(c, {edit});
    }
    QCOMPARE(GermanText::fromNumber(Feeding::figures(c).suggestedTarget.value_or(0), 1), suggested);
}

void TestFeeding::refusal_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("megajoules"); // the hint that the value looks like MJ/kg
    const int bcs = int(F::bodyCondition);
    const int energy = int(F::energyDensity);
    for (const char *ok : {"", "1", "9", " 7 "})
        QTest::addRow("BCS '%s'", ok) << bcs << QString::fromUtf8(ok) << false << false;
    for (const char *bad : {"0", "10", "7,5", "-3", "sieben"})
        QTest::addRow("BCS '%s'", bad) << bcs << QString::fromUtf8(bad) << true << false;
    for (const char *ok : {"", "40", "350", "700"})
        QTest::addRow("kcal '%s'", ok) << energy << QString::fromUtf8(ok) << false << false;
    for (const char *bad : {"0,001", "39,9", "700,1", "-350", "viel", "4,9", "25,1"})
        QTest::addRow("kcal '%s'", bad) << energy << QString::fromUtf8(bad) << true << false;
    for (const char *mj : {"5", "14,6", "25"})
        QTest::addRow("kcal '%s' as MJ/kg", mj) << energy << QString::fromUtf8(mj) << true << true;
}

void TestFeeding::refusal() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    QFETCH(bool, megajoules);
    const QString message = Feeding::refusal(F(field), text);
    QCOMPARE(!message.isEmpty(), refused);
    if (refused) // the message names the field
        QVERIFY(message.contains(u'\'' + str(DietCase::captionNumber(F(field))) + u'\''));
    QCOMPARE(message.contains(str(S::MegajouleHint)), megajoules);
}

void TestFeeding::adjustedRation_data() {
    QTest::addColumn<bool>("cat");
    QTest::addColumn<int>("percent");
    QTest::addColumn<ProgressStatus>("status");
    QTest::addColumn<int>("adjusted"); // 0: no change offered

    QTest::newRow("dog too slow") << false << 100 << ProgressStatus::TooSlow << 90;
    QTest::newRow("dog gained") << false << 100 << ProgressStatus::Gained << 90;
    QTest::newRow("dog too fast") << false << 100 << ProgressStatus::TooFast << 110;
    QTest::newRow("dog at the target: 10 % more")
        << false << 90 << ProgressStatus::TargetReached << 99;
    QTest::newRow("72,9 rounds to 73") << false << 81 << ProgressStatus::TooSlow << 73;
    QTest::newRow("dog cut to its floor") << false << 73 << ProgressStatus::TooSlow << 70;
    QTest::newRow("dog at its floor: no further cut")
        << false << 70 << ProgressStatus::TooSlow << 0;
    QTest::newRow("on plan keeps it") << false << 90 << ProgressStatus::OnPlan << 0;
    QTest::newRow("too soon keeps it") << false << 90 << ProgressStatus::TooShort << 0;
    QTest::newRow("cat to 90 %: 72 % of its RER") << true << 100 << ProgressStatus::TooSlow << 90;
    QTest::newRow("cat to 88 %, not 81 %") << true << 90 << ProgressStatus::TooSlow << 88;
    QTest::newRow("cat at 88 %: no further cut") << true << 88 << ProgressStatus::Gained << 0;
    QTest::newRow("cat up again") << true << 90 << ProgressStatus::TooFast << 99;
}

void TestFeeding::adjustedRation() {
    QFETCH(bool, cat);
    QFETCH(int, percent);
    QFETCH(ProgressStatus, status);
    QFETCH(int, adjusted);
    const auto result =
        Feeding::adjustedRation(cat ? Feeding::Animal::Cat : Feeding::Animal::Dog, percent, status);
    QCOMPARE(result.value_or(0), adjusted);
    QCOMPARE(Feeding::adjustedRation(Feeding::Animal::Rabbit, percent, status), std::nullopt);
}

void TestFeeding::calendar_data() {
    QTest::addColumn<QString>("pet");
    QTest::addColumn<QString>("name"); // as the events call it
    QTest::newRow("plain") << u"Bello"_s << u"Bello"_s;
    QTest::newRow("no name") << QString() << u"Ihr Tier"_s;
    const QString hostile = u"Prinzessin Lillifee, vom Rosenhof; Grüße an Jürgen \\ Öl"_s;
    const QString longest = QString(hostile + u" – Straße Ärger und Freude an Möhren"_s).left(80);
    QTest::newRow("comma, semicolon, backslash, umlauts, 80 characters") << longest << longest;
}

void TestFeeding::calendar() {
    QFETCH(QString, pet);
    QFETCH(QString, name);
    DietCase c;
    apply(c, {u"ownerName=Meier"_s, u"petName="_s + pet});
    const QDate today(2026, 12, 8);
    const QByteArray ics = WeighCalendar::ics(c, today, QDateTime({2026, 12, 8}, {9, 30}, Qt::UTC));

    for (const QByteArray &line : ics.split('\n').mid(0, ics.count('\n'))) {
        QVERIFY2(line.endsWith('\r'), line.constData());
        QVERIFY2(line.size() - 1 <= 75, line.constData());
    }
    const QJsonObject cal = parsed(ics);
    QCOMPARE(cal[u"version"].toString(), u"2.0"_s);
    QStringList got;
    QStringList uids;
    for (const QJsonValue &e : cal[u"events"].toArray()) {
        const QJsonObject event = e.toObject();
        got << event[u"date"].toString() + u' ' + event[u"summary"].toString() + u' ' +
                   event[u"alarm"].toString();
        QCOMPARE(QDate::fromString(event[u"end"].toString(), Qt::ISODate),
                 QDate::fromString(event[u"date"].toString(), Qt::ISODate).addDays(1));
        uids << event[u"uid"].toString();
    }
    QStringList expected;
    for (int day = 0; day <= 49; day += 7) {
        const QString date = today.addDays(day).toString(Qt::ISODate);
        expected << date + u' ' + name + u" wiegen 9:00:00";
        if (day == 42)
            expected << date + u" Tierarzttermin " + name + u" 9:00:00";
    }
    QCOMPARE(got, expected);
    QCOMPARE(QSet<QString>(uids.begin(), uids.end()).size(), 9);
    // Exported again later, the same case replaces its events instead of adding new ones.
    QCOMPARE(WeighCalendar::events(c, today.addDays(3)).constLast().uid, uids.last());
    QCOMPARE(WeighCalendar::proposedFileName(c).endsWith(u" Wiegetermine.ics"), true);
}

QTEST_GUILESS_MAIN(TestFeeding)
#include "tst_feeding.moc"
