// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/germantext.h"
#include "core/wholenumber.h"
#include "tests/testhelpers.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestGermanText : public QObject {
    Q_OBJECT

private slots:
    void toNumber_data();
    void toNumber();
    void fromNumber_data();
    void fromNumber();
    void fixedDecimals_data();
    void fixedDecimals();
    void toDate_data();
    void toDate();
    void toInt16_data();
    void toInt16();
    void add_data();
    void add();
    void arithmeticErrors();
};

void TestGermanText::toNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    const auto row = [](const char *name, QStringView text, bool numeric, double value = 0) {
        QTest::newRow(name) << text.toString() << numeric << value;
    };
    row("decimal comma", u"6,5", true, 6.5);
    row("surrounding blanks", u" 12 ", true, 12);
    row("point is no decimal separator", u"6.5", false);
    row("group separator", u"1.000", false);
    row("empty", u"", false);
    row("letters", u"abc", false);
    row("number with unit", u"12 kg", false);
    row("inf", u"inf", false);
    row("nan", u"nan", false);
    row("largest finite", u"1e308", true, 1e308);
    row("beyond double", u"1e309", false);
    row("minus zero", u"-0", true, 0);
    row("tiny", u"0,000001", true, 0.000001);
    row("plus sign", u"+3", true, 3);
}

void TestGermanText::toNumber() {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);

    QCOMPARE(GermanText::isNumeric(text), numeric);
    if (numeric)
        QCOMPARE(GermanText::parseNumber(text), value);
    else
        QCOMPARE(errorOf([&] { GermanText::parseNumber(text); }), AppError::TypeMismatch);
}

void TestGermanText::fromNumber_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0,03 x 100") << 0.03 * 100 << u"3"_s;
    QTest::newRow("half") << 2.5 << u"2,5"_s;
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("minus zero") << -0.0 << u"0"_s;
    QTest::newRow("no group separator") << 1234567.0 << u"1234567"_s;
    QTest::newRow("15 significant digits") << 0.1 + 0.2 << u"0,3"_s;
}

void TestGermanText::fromNumber() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(GermanText::fromNumber(value), text);
}

void TestGermanText::fixedDecimals_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("percent, one decimal") << 1.456 << 1 << u"1,5"_s;
    QTest::newRow("kg, two decimals, no group separator") << 1234.5 << 2 << u"1234,50"_s;
    QTest::newRow("a small loss shows no minus") << -0.004 << 2 << u"0,00"_s;
    QTest::newRow("a gain keeps it") << -0.3 << 1 << u"-0,3"_s;
}

void TestGermanText::fixedDecimals() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(GermanText::fromNumber(value, decimals), text);
}

void TestGermanText::toDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("short date") << u"07.12.2026"_s << true;
    QTest::newRow("without leading zero") << u"7.12.2026"_s << true;
    QTest::newRow("no such day") << u"31.02.2026"_s << false;
    QTest::newRow("ISO") << u"2026-12-07"_s << false;
    QTest::newRow("two-digit year") << u"07.12.26"_s << false;
    QTest::newRow("negative year") << u"1.1.-9990"_s << false;
}

void TestGermanText::toDate() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    if (valid) {
        QCOMPARE(GermanText::parseDate(text), QDate(2026, 12, 7));
        QCOMPARE(GermanText::fromDate(QDate(2026, 12, 7)), u"07.12.2026"_s);
    } else {
        QCOMPARE(errorOf([&] { GermanText::parseDate(text); }), AppError::TypeMismatch);
    }
}

void TestGermanText::toInt16_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole"); // 0 with an overflow
    QTest::addColumn<int>("error");
    QTest::newRow("112,5 to even") << 112.5 << 112 << 0;
    QTest::newRow("113,5 to even") << 113.5 << 114 << 0;
    QTest::newRow("-0,5 to zero") << -0.5 << 0 << 0;
    QTest::newRow("largest") << 32767.4 << 32767 << 0;
    QTest::newRow("32767,5 rounds out of range") << 32767.5 << 0 << 6;
    QTest::newRow("-32768,5 to even stays in range") << -32768.5 << -32768 << 0;
    QTest::newRow("below range") << -32769.0 << 0 << 6;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0 << 6;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0 << 6;
}

void TestGermanText::toInt16() {
    QFETCH(double, value);
    QFETCH(int, whole);
    QFETCH(int, error);
    int result = 0;
    QCOMPARE(errorOf([&] { result = WholeNumber::toInt16(value); }), error);
    QCOMPARE(result, whole);
}

void TestGermanText::add_data() {
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("sum"); // 0 with an overflow
    QTest::addColumn<int>("error");
    QTest::newRow("lowest") << -32767 << -1 << -32768 << 0;
    QTest::newRow("one past the top") << 32767 << 1 << 0 << 6;
    QTest::newRow("int's lowest") << -7197 << std::numeric_limits<int>::min() << 0 << 6;
    QTest::newRow("int's highest") << 1 << std::numeric_limits<int>::max() << 0 << 6;
}

void TestGermanText::add() {
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, sum);
    QFETCH(int, error);
    int result = 0;
    QCOMPARE(errorOf([&] { result = WholeNumber::add(std::int16_t(a), b); }), error);
    QCOMPARE(result, sum);
}

void TestGermanText::arithmeticErrors() {
    QCOMPARE(errorOf([] { WholeNumber::divide(1, 0); }), AppError::DivisionByZero);
    QCOMPARE(errorOf([] { WholeNumber::toSingle(1e39); }), AppError::Overflow);
    QCOMPARE(AppError(AppError::DivisionByZero).description(), u"Division durch Null"_s);
    QCOMPARE(AppError(AppError::Overflow).description(), u"Überlauf"_s);
}

QTEST_GUILESS_MAIN(TestGermanText)
#include "tst_germantext.moc"
