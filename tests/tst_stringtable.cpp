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
    void namedArguments_data();
    void namedArguments();
};

namespace {

struct Call {
    QStringList arguments; ///< string and character literals left out
    qsizetype end;         ///< just past the closing bracket
};

/** The bracket opened at `open` up to its match, split at its top-level commas. */
Call bracketed(QStringView code, qsizetype open) {
    Call call{{QString()}, code.size()};
    int depth = 0;
    for (qsizetype i = open; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"' || c == u'\'') {
            while (++i < code.size() && code[i] != c)
                i += code[i] == u'\\';
            continue;
        }
        if (u"([{"_s.contains(c) && depth++ == 0)
            continue;
        if (u")]}"_s.contains(c) && --depth == 0) {
            call.end = i + 1;
            break;
        }
        if (c == u',' && depth == 1)
            call.arguments.append(QString());
        else
            call.arguments.last() += c;
    }
    return call;
}

/** A string number given as a literal or worked out by arithmetic; an array's index may be. */
bool unnamed(QString argument) {
    static const QRegularExpression index(uR"(\[[^\[\]]*\])"_s);
    static const QRegularExpression number(uR"(\b\d|[-+*/%])"_s);
    while (argument.contains(index))
        argument.remove(index);
    return argument.remove(u"->"_s).contains(number);
}

/** The first call of str(), or of a function or lambda handing an int on to it, that is unnamed. */
QString firstUnnamed(QString code) {
    // Without comments, whose apostrophes would read as the start of a character.
    static const QRegularExpression comment(
        uR"(("(?:\\.|[^"\\])*"|'(?:\\.|[^'\\])*')|//[^\n]*|/\*.*?\*/)"_s,
        QRegularExpression::DotMatchesEverythingOption);
    code.replace(comment, u"\\1"_s);
    QList<std::pair<QString, qsizetype>> lookups{{u"str"_s, 0}};
    static const QRegularExpression definition(
        uR"((\w+)\s*(?:=\s*\[[^\]]*\]\s*)?\(([^()]*)\)[^;{}()]*\{)"_s);
    static const QRegularExpression intParameter(uR"(^\s*(?:const\s+)?int\s+(\w+)\s*(?:=.*)?$)"_s);
    for (const auto &m : definition.globalMatch(code)) {
        const QString body = code.sliced(
            m.capturedEnd() - 1, bracketed(code, m.capturedEnd() - 1).end - m.capturedEnd() + 1);
        const QStringList parameters = m.captured(2).split(u',');
        for (qsizetype k = 0; k < parameters.size(); ++k) {
            const auto p = intParameter.match(parameters[k]);
            if (p.hasMatch() &&
                body.contains(QRegularExpression(uR"(\bstr\()"_s + p.captured(1) + u"\\)"_s)))
                lookups.append({m.captured(1), k});
        }
    }
    for (const auto &[name, k] : lookups) {
        for (const auto &m : QRegularExpression(uR"(\b)"_s + name + uR"(\()"_s).globalMatch(code)) {
            const Call call = bracketed(code, m.capturedEnd() - 1);
            if (unnamed(call.arguments.value(k)))
                return code.sliced(m.capturedStart(), call.end - m.capturedStart());
        }
    }
    return {};
}

} // namespace

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
    // The form's captions, units and species: none missing, the two rate units alike.
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

void TestStringTable::namedArguments_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("unnamed");

    QTest::newRow("sum") << u"a(str(110 + i), str(S::Kg));"_s << u"str(110 + i)"_s;
    QTest::newRow("wrapper") << u"auto t = [](int n) { return str(n); }; x = t(S::Kg) + t(180);"_s
                             << u"t(180)"_s;
    QTest::newRow("wrapper's other argument")
        << u"auto f = [](int i, int text) { l[i]->setText(str(text)); }; f(19, S::Kg);"_s
        << QString();
    QTest::newRow("index, choice, text")
        << u"str(S::a[k - 1]) + str(b ? S::X : S::Y) + str(c[u\"string\"].toInt());"_s << QString();

    // Every source file of the program.
    for (const QString &dir : {u"core"_s, u"files"_s, u"controls"_s, u"views"_s, u"output"_s,
                               u"shell"_s, u"cli"_s, u"browser"_s, u"app"_s}) {
        QDirIterator it(QStringLiteral(KORVALO_SOURCE_DIR) + u'/' + dir, {u"*.cpp"_s, u"*.h"_s},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(dir + u'/' + it.fileName()))
                << QString::fromUtf8(file.readAll()) << QString();
        }
    }
}

void TestStringTable::namedArguments() {
    QFETCH(QString, code);
    QFETCH(QString, unnamed);
    QCOMPARE(firstUnnamed(code), unnamed);
}

QTEST_GUILESS_MAIN(TestStringTable)
#include "tst_stringtable.moc"
