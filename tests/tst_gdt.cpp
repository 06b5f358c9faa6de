// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/computecommand.h"
#include "core/derivedfields.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/gdt.h"
#include "core/gdtcase.h"
#include "core/germantext.h"
#include "core/recordinguserinterface.h"
#include "files/atomicfile.h"
#include "files/casefile.h"
#include "files/gdtrequest.h"
#include "tests/testhelpers.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using Gdt::Charset;

class TestGdt : public QObject {
    Q_OBJECT

private slots:
    void readsPatient_data();
    void readsPatient();
    void writesCheckedLines_data();
    void writesCheckedLines();
    void refusesBadInput_data();
    void refusesBadInput();
    void refusesUnwritableRecord_data();
    void refusesUnwritableRecord();
    void requestOpensPatient_data();
    void requestOpensPatient();
    void resultIsFramed_data();
    void resultIsFramed();
};

namespace {

const QDate today(2026, 12, 7);
const QString fileName = u"/praxis/gdt/anfrage.gdt"_s;

using Lines = QList<std::pair<QByteArray, QByteArray>>; // field id, content bytes

QByteArray gdtLine(const QByteArray &id, const QByteArray &content) {
    return QByteArray::number(content.size() + 9).rightJustified(3, '0') + id + content + "\r\n";
}

/** A record as a practice system sends it: type and length, then the lines given. */
QByteArray gdtFile(const QByteArray &type, const Lines &lines) {
    QByteArray body;
    for (const auto &[id, content] : lines)
        body += gdtLine(id, content);
    const QByteArray head = gdtLine("8000", type);
    const qsizetype total = head.size() + 14 + body.size();
    return head + gdtLine("8100", QByteArray::number(total).rightJustified(5, '0')) + body;
}

bool digits(const QByteArray &bytes, qsizetype count) {
    return bytes.size() == count &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/**
 * Splits a written file into its lines by the format's rules alone: each line ends in
 * CR LF and its three digits give its bytes, the second line 8100 the file's. Returns
 * what breaks them, or nothing.
 */
QString framingProblem(const QByteArray &file, QList<std::pair<QByteArray, QByteArray>> &lines) {
    for (qsizetype pos = 0; pos < file.size();) {
        const qsizetype end = file.indexOf("\r\n", pos);
        if (end < 0)
            return u"no CR LF at the end"_s;
        const QByteArray line = file.mid(pos, end - pos);
        const QString at = u" in line "_s + QString::number(lines.size() + 1);
        if (line.contains('\r') || line.contains('\n'))
            return u"a lone CR or LF"_s + at;
        if (!digits(line.left(3), 3) || line.left(3).toInt() != line.size() + 2)
            return u"a length that is not the line's"_s + at;
        if (!digits(line.mid(3, 4), 4))
            return u"no field id"_s + at;
        lines.append({line.mid(3, 4), line.mid(7)});
        pos = end + 2;
    }
    if (lines.size() < 2 || lines[0].first != "8000" || lines[1].first != "8100")
        return u"no 8000 and 8100 first"_s;
    if (!digits(lines[1].second, 5) || lines[1].second.toInt() != file.size())
        return u"8100 is not the file's length"_s;
    return {};
}

} // namespace

void TestGdt::readsPatient_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("animal");
    QTest::addColumn<QDate>("birthDate");
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("sex");
    QTest::addColumn<double>("weight");
    constexpr int ownerFirst = int(Gdt::NameOrder::OwnerThenAnimal);
    constexpr int male = int(Gdt::PatientSex::Male);
    constexpr int female = int(Gdt::PatientSex::Female);
    constexpr int unknown = int(Gdt::PatientSex::Unknown);
    const auto request = [](const Lines &lines) {
        return gdtFile("6302", Lines{{"9218", "02.10"}, {"3000", "4711"}} + lines);
    };

    QTest::newRow("CP437 when 9206 is absent")
        << request({{"3101", "M\x81ller"},
                    {"3102", "Bello"},
                    {"3103", "15032018"},
                    {"3110", "1"},
                    {"3623", "12,5"}})
        << ownerFirst << u"Müller"_s << u"Bello"_s << QDate(2018, 3, 15) << 8 << male << 12.5;
    QTest::newRow("CP437 named")
        << request({{"9206", "2"}, {"3101", "Strau\xE1"}, {"3102", "B\x84r"}, {"3110", "2"}})
        << ownerFirst << u"Strauß"_s << u"Bär"_s << QDate() << -1 << female << 0.0;
    QTest::newRow("ISO 8859-1, birthday tomorrow, decimal point")
        << request({{"9206", "3"},
                    {"3101", "M\xFCller"},
                    {"3102", "Bello"},
                    {"3103", "08122018"},
                    {"3623", " 12.5 "}})
        << ownerFirst << u"Müller"_s << u"Bello"_s << QDate(2018, 12, 8) << 7 << unknown << 12.5;
    QTest::newRow("7-bit, birthday today")
        << request({{"9206", "1"}, {"3101", "Mueller"}, {"3102", "Bello"}, {"3103", "07122018"}})
        << ownerFirst << u"Mueller"_s << u"Bello"_s << QDate(2018, 12, 7) << 8 << unknown << 0.0;
    QTest::newRow("animal in 3101, owner's first name in 3102")
        << request({{"3101", "Bello"}, {"3102", "J\x81rgen"}, {"3110", "3"}})
        << int(Gdt::NameOrder::AnimalThenOwner) << u"Jürgen"_s << u"Bello"_s << QDate() << -1
        << unknown << 0.0;
    QTest::newRow("sent patient, empty fields are absent")
        << gdtFile("6301", {{"3000", "4711"}, {"3103", ""}, {"3623", ""}, {"3110", ""}})
        << ownerFirst << QString() << QString() << QDate() << -1 << unknown << 0.0;
}

void TestGdt::readsPatient() {
    QFETCH(QByteArray, file);
    QFETCH(int, order);
    QFETCH(QDate, birthDate);
    QFETCH(int, age);
    QFETCH(double, weight);

    const Gdt::Patient patient =
        Gdt::patient(Gdt::read(file, fileName), Gdt::NameOrder(order), today, fileName);
    QCOMPARE(patient.number, u"4711"_s);
    QTEST(patient.owner, "owner");
    QTEST(patient.animal, "animal");
    QCOMPARE(patient.birthDate.value_or(QDate()), birthDate);
    QCOMPARE(patient.age.value_or(-1), age);
    QTEST(int(patient.sex), "sex");
    QCOMPARE(patient.weight.value_or(0), weight);
}

void TestGdt::writesCheckedLines_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QByteArrayList>("lines");
    constexpr int ascii = int(Charset::Ascii);
    constexpr int cp437 = int(Charset::Cp437);
    constexpr int latin1 = int(Charset::Latin1);
    const auto row = [](const char *name, int charset, int field, const QString &content,
                        const QByteArrayList &lines) {
        QTest::newRow(name) << charset << field << content << lines;
    };

    row("7-bit: German letters", ascii, Gdt::Surname, u"Größe Äpfel Übel ẞ"_s,
        {"Groesse Aepfel Uebel SS"});
    row("7-bit: typography", ascii, Gdt::Comment, u"„Bello“ – ‚x‘ … «y»\u00A0z"_s,
        {"\"Bello\" - 'x' ... \"y\" z"});
    row("7-bit: accents to base letters", ascii, Gdt::Surname, u"Café Ñandú ǖ"_s,
        {"Cafe Nandu ue"});
    row("7-bit: the rest", ascii, Gdt::Comment, u"µ€中😀!"_s,
        {"???"
         "?!"});
    row("CP437 keeps German letters", cp437, Gdt::Surname, u"Müller Straße Ä"_s,
        {"M\x81ller Stra\xE1"
         "e \x8E"});
    row("CP437 lacks some", cp437, Gdt::Comment, u"São € é „x“ ½"_s, {"Sao ? \x82 \"x\" \xAB"});
    row("ISO 8859-1 keeps its own", latin1, Gdt::Comment, u"Müller Ñ «x» ½"_s,
        {"M\xFCller \xD1 \xABx\xBB \xBD"});
    row("ISO 8859-1 lacks some", latin1, Gdt::Comment, u"€ „x“ – Œ"_s, {"? \"x\" - ?"});

    row("line breaks make lines of the field", cp437, Gdt::Comment, u"erste\r\nzweite\nletzte"_s,
        {"erste", "zweite", "letzte"});
    QString words;
    for (int i = 0; i < 150; ++i)
        words += u"Befund%1 "_s.arg(i, 3, 10, QChar(u'0')); // 10 bytes each
    const QByteArray wordBytes = words.toLatin1();
    // 99 words and the blanks between them make 989 bytes; a hundredth would make 999.
    row("a finding breaks between words", cp437, Gdt::Finding, words,
        {wordBytes.left(989), wordBytes.mid(990)});
    row("a result table line without blanks is cut", cp437, Gdt::ResultText, QString(1000, u'x'),
        {QByteArray(990, 'x'), QByteArray(10, 'x')});
    row("another field is cut", cp437, Gdt::Surname, QString(1000, u'a'), {QByteArray(990, 'a')});
    row("cut by bytes after transliteration", ascii, Gdt::Comment, QString(500, u'ä'),
        {QByteArray("ae").repeated(495)});
}

void TestGdt::writesCheckedLines() {
    QFETCH(int, charset);
    QFETCH(int, field);
    QFETCH(QString, content);
    QFETCH(QByteArrayList, lines);

    Gdt::Record record{Gdt::SendExamination, {}};
    record.append(Gdt::PatientNumber, u"1"_s);
    record.append(Gdt::CharsetField, u"3"_s); // the writer's own header fields win
    record.append(field, content);
    const QByteArray file = Gdt::write(record, Charset(charset));

    QList<std::pair<QByteArray, QByteArray>> written;
    const QString problem = framingProblem(file, written);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QList<std::pair<QByteArray, QByteArray>> expected{{"8000", "6310"},
                                                      written[1],
                                                      {"9218", "02.10"},
                                                      {"9206", QByteArray::number(charset)},
                                                      {"3000", "1"}};
    for (const QByteArray &line : lines)
        expected.append({QByteArray::number(field), line});
    QCOMPARE(written, expected);
    QCOMPARE(Gdt::read(file, fileName).fields.size(), written.size() - 1);
}

void TestGdt::refusesBadInput_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("patient");
    QTest::addColumn<int>("line");
    // 8000, 8100, 9218, 3000, 3101, 3102
    const QByteArray valid = gdtFile(
        "6302", {{"9218", "02.10"}, {"3000", "4711"}, {"3101", "Meier"}, {"3102", "Bello"}});
    const qsizetype line4 = valid.indexOf("0133000");
    const auto replaced = [&valid](const QByteArray &from, const QByteArray &to) {
        return QByteArray(valid).replace(from, to);
    };
    const auto row = [](const char *name, const QByteArray &file, int line) {
        QTest::newRow(name) << file << false << line;
    };
    const auto patientRow = [](const char *name, const QByteArray &content, int line) {
        QTest::newRow(name) << gdtFile("6301", {{"3000", "1"}, {content.left(4), content.mid(4)}})
                            << true << line;
    };

    row("empty", {}, 0);
    row("no final CR LF", valid.chopped(2), 6);
    row("cut after the CR", valid.chopped(1), 6);
    row("cut inside a line", valid.left(line4 + 5), 4);
    row("cut at a line's end", valid.left(line4), 2);
    row("length larger than the line", replaced("0133000", "0173000"), 4);
    row("length smaller than the line", replaced("0133000", "0093000"), 4);
    row("length not digits", replaced("0133000", "0x33000"), 4);
    row("field id not digits", replaced("0133000", "013300X"), 4);
    row("line too short", replaced("0133000", "01\r\n"), 4);
    row("lone LF", replaced("Meier", "Me\nir"), 5);
    row("length in 8100 wrong", valid + gdtLine("3103", "01012020"), 2);
    row("8100 missing", gdtLine("8000", "6302") + gdtLine("3000", "4711"), 0);
    row("first field not 8000", gdtLine("8100", "00013"), 1);
    row("record type unknown", replaced("8000630", "8000639"), 1);
    row("character set unknown", gdtFile("6302", {{"9218", "02.10"}, {"9206", "4"}}), 4);
    QByteArray garbage(100 * 1024, Qt::Uninitialized);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    row("100 kB of garbage", garbage, 1);
    row("100 kB without a line end after valid lines", valid + QByteArray(100 * 1024, 'x'), 7);

    patientRow("birth date no day", "310331022020", 4);
    patientRow("birth date no digits", "3103abc", 4);
    patientRow("birth date short", "31031122018", 4);
    patientRow("born after today", "310301012030", 4);
    patientRow("weight no number", "3623zw\x94lf", 4);
    patientRow("weight with unit", "362312 kg", 4);
    patientRow("weight zero", "36230,0", 4);
    QTest::newRow("patient number with a tab")
        << gdtFile("6301", {{"3000", "47\t11"}}) << true << 3;
}

void TestGdt::refusesBadInput() {
    QFETCH(QByteArray, file);
    QFETCH(bool, patient);
    QFETCH(int, line);

    try {
        const Gdt::Record record = Gdt::read(file, fileName);
        QVERIFY2(patient, "read");
        Gdt::patient(record, Gdt::NameOrder::OwnerThenAnimal, today, fileName);
        QFAIL("no error");
    } catch (const Gdt::Error &e) {
        QCOMPARE(e.line(), line);
        QCOMPARE(e.number(), int(AppError::InvalidFileFormat));
        QVERIFY2(e.description().startsWith(u"Die GDT-Datei „"_s + fileName + u"“ "_s),
                 qPrintable(e.description()));
        QCOMPARE(e.description().contains(u" in Zeile %1 "_s.arg(line)), line > 0);
    }
}

void TestGdt::refusesUnwritableRecord_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("error");

    QTest::newRow("fits") << int(Gdt::SendExamination) << int(Gdt::ResultText) << 99 << 0;
    QTest::newRow("not our record type")
        << 6200 << int(Gdt::ResultText) << 1 << int(AppError::InvalidArgument);
    QTest::newRow("five-digit field")
        << int(Gdt::SendExamination) << 10000 << 1 << int(AppError::InvalidArgument);
    // 101 lines of 999 bytes and the header pass 99999.
    QTest::newRow("longer than 8100 can say")
        << int(Gdt::SendExamination) << int(Gdt::ResultText) << 101 << int(AppError::Overflow);
}

void TestGdt::refusesUnwritableRecord() {
    QFETCH(int, type);
    QFETCH(int, field);
    QFETCH(int, lines);

    Gdt::Record record{type, {}};
    for (int i = 0; i < lines; ++i)
        record.append(field, QString(Gdt::maxContentBytes, u'x'));
    QTEST(errorOf([&] { Gdt::write(record, Charset::Cp437); }), "error");
}

using F = DietCase::Field;

void TestGdt::requestOpensPatient_data() {
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QByteArray>("owner");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("form");
    const QStringList newCase{u"ownerName=Müller"_s, u"petName=Bello"_s, u"ageYears=8"_s,
                              u"todayWeight=34,5"_s, u"species=Hund"_s,  u"formerWeight="_s};
    QTest::newRow("CP437, new patient") << "2"_ba
                                        << "M\x81ller"_ba << u"1"_s << newCase;
    QTest::newRow("ISO 8859-1, new patient") << "3"_ba
                                             << "M\xFCller"_ba << u"1"_s << newCase;
    QTest::newRow("7-bit ASCII, new patient")
        << "1"_ba
        << "Mueller"_ba << u"1"_s
        << QStringList{u"ownerName=Mueller"_s, u"petName=Bello"_s, u"todayWeight=34,5"_s};
    // The case on file keeps its names and species; the request brings today's weight.
    QTest::newRow("number on file: follow-up")
        << "2"_ba
        << "M\x81ller"_ba << u"4711"_s
        << QStringList{u"ownerName=Meier"_s,    u"petName=Rex"_s,
                       u"species=Katze"_s,      u"todayWeight=34,5"_s,
                       u"formerWeight=36 kg"_s, u"creationDate=01.10.2026"_s};
}

void TestGdt::requestOpensPatient() {
    QFETCH(QByteArray, charset);
    QFETCH(QByteArray, owner);
    QFETCH(QString, number);
    QFETCH(QStringList, form);
    QTemporaryDir dir;
    Clock::setToday(today);
    // A case of patient 4711 saved at an earlier visit.
    {
        DietCase saved;
        apply(saved, {u"ownerName=Meier"_s, u"petName=Rex"_s, u"species=Katze"_s,
                      u"todayWeight=36"_s, u"targetWeight=30"_s, u"currentDate=01.10.2026"_s});
        saved.setPatientNumber(u"4711"_s);
        CaseFile::write(CaseFile::lines(saved) + CaseFile::extensionLines(saved),
                        dir.filePath(u"rex.kvl"_s));
    }
    const QString file = dir.filePath(u"anfrage.gdt"_s);
    QVERIFY(AtomicFile::tryWrite(file, gdtFile("6302", {{"9206", charset},
                                                        {"3000", number.toLatin1()},
                                                        {"3101", owner},
                                                        {"3102", "Bello"},
                                                        {"3103", "15032018"},
                                                        {"3110", "1"},
                                                        {"3623", "34,5"}})));

    RecordingUserInterface ui;
    const ErrorReporter errors(ui, [] { return u"0"_s; });
    DietCase c;
    const GdtRequest request =
        GdtRequest::read(file, Gdt::NameOrder::OwnerThenAnimal, today, {dir.path()});
    QVERIFY(request.apply(c, errors));
    QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.value(0).text));
    const QMetaEnum fields = QMetaEnum::fromType<DietCase::Field>();
    for (const QString &edit : form) {
        const auto field = F(fields.keyToValue(edit.section(u'=', 0, 0).toLatin1().constData()));
        QCOMPARE(c.text(field), edit.section(u'=', 1));
    }
    QCOMPARE(c.patientNumber(), number);
    QCOMPARE(c.isFollowUp(), number == u"4711");
    if (!c.isFollowUp())
        QCOMPARE(c.sex(), PetSex::Male);
}

void TestGdt::resultIsFramed_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("findings");
    const QStringList bello{u"species=Hund"_s, u"petName=Bello"_s, u"ownerName=Jürgen Müller"_s};
    QTest::newRow("new dog, ASCII")
        << int(Charset::Ascii) << bello + baseCase
        << QStringList{u"Reduktionsplan Hund Bello: von 12,00 kg am 07.12.2026 auf 10,00 kg bis "
                       "04.02.2027. Abnahme 3 % pro Woche, zum Ende hin 2 % pro Woche."_s};
    // 80 to 40 kg at the slowest rate: the longest weekly table there is.
    QTest::newRow("one-year plan, CP437, with ration")
        << int(Charset::Cp437)
        << bello + QStringList{u"todayWeight=80"_s,         u"targetWeight=40"_s,
                               u"dietEndDate=28.05.2027"_s, u"overweightPercent=100"_s,
                               u"weeklyRateDuring=1"_s,     u"weeklyRateEnd=1"_s,
                               u"foodName=Light"_s,         u"energyDensity=350"_s}
        << QStringList{u"Reduktionsplan Hund Bello: von 80,00 kg am 07.12.2026 auf 40,00 kg bis "
                       "%1. Abnahme 1 % pro Woche."_s,
                       u"Tagesration: "_s};
    QTest::newRow("cat at a follow-up, ISO 8859-1")
        << int(Charset::Latin1)
        << QStringList{u"species=Katze"_s,           u"petName=Minka"_s,
                       u"todayWeight=5,6"_s,         u"targetWeight=5"_s,
                       u"creationDate=09.11.2026"_s, u"formerWeight=6 kg"_s,
                       u"overweightPercent=20"_s,    u"weeklyRateDuring=3"_s,
                       u"weeklyRateEnd=1"_s}
        << QStringList{u"Reduktionsplan Katze Minka: von 6,00 kg am 09.11.2026 auf 5,00 kg bis "
                       "%1. Abnahme 3 % pro Woche, zum Ende hin 1 % pro Woche. Katzen: höchstens "
                       "2 % pro Woche empfohlen."_s,
                       u"Wiegung am 07.12.2026: 5,60 kg (Plan "_s};
}

void TestGdt::resultIsFramed() {
    QFETCH(int, charset);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, findings);
    Clock::setToday(today);
    RecordingUserInterface ui;
    const ErrorReporter errors(ui, [] { return u"0"_s; });
    DietCase c;
    apply(c, edits);
    if (c.isFollowUp()) {
        CaseHistory first;
        first.record({GermanText::parseDate(c.text(F::creationDate)), c.formerWeightValue()});
        c.setHistory(first);
    }
    c.setPatientNumber(u"4711"_s);
    const auto setup = computeCurve(c, errors, false);
    QVERIFY2(setup, qPrintable(ui.messages.value(0).text));
    const Gdt::Record request{Gdt::RequestExamination,
                              {{3000, u"4711"_s}, {3101, u"Müller"_s}, {3103, u"15032018"_s}}};
    const QByteArray file =
        Gdt::write(GdtCase::result(c, *setup, &request, Gdt::NameOrder::OwnerThenAnimal,
                                   {u"KORVALO"_s, u"PRAXIS01"_s, u"GEWICHT"_s},
                                   QDateTime(today, QTime(9, 30, 5)),
                                   {{u"/praxis/pdf/4711-Kurve.pdf"_s, u"Reduktionskurve"_s}}),
                   Charset(charset));

    QList<std::pair<QByteArray, QByteArray>> lines;
    const QString problem = framingProblem(file, lines);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QByteArrayList ids;
    for (const auto &line : lines)
        ids << line.first;
    // The request's patient fields come back as they were sent, before the result's own.
    QCOMPARE(ids.mid(0, 11), QByteArrayList({"8000", "8100", "9218", "9206", "8315", "8316", "3000",
                                             "3101", "3103", "6200", "6201"}));
    const Gdt::Record read = Gdt::read(file, fileName);
    QCOMPARE(read.values(Gdt::Receiver), QStringList{u"PRAXIS01"_s});
    QCOMPARE(read.values(Gdt::ResultDate), QStringList{u"07122026"_s});
    QCOMPARE(read.values(Gdt::ResultTime), QStringList{u"093005"_s});
    QCOMPARE(read.values(Gdt::DeviceProcedure), QStringList{u"GEWICHT"_s});
    const QString owner = read.values(Gdt::Surname).value(0);
    QCOMPARE(owner, charset == int(Charset::Ascii) ? u"Mueller"_s : u"Müller"_s);
    // The plan's end, whatever the form's date says after rates were typed.
    const QString endDate = setup->plan.rowLabel(setup->plan.simulatedDays);
    const QStringList found = read.values(Gdt::Finding);
    QCOMPARE(found.size(), findings.size());
    for (int i = 0; i < findings.size(); ++i)
        QVERIFY2(found[i].startsWith(QString(findings[i]).replace(u"%1"_s, endDate)),
                 qPrintable(found[i]));
    // The table: a header, then from the start week by week to the end of the plan.
    const QStringList table = read.values(Gdt::ResultText);
    QCOMPARE(table.first(), u"Woche  Datum       geplant kg  gemessen kg"_s);
    QVERIFY(table.value(1).startsWith(u"    0  "_s + GermanText::fromDate(setup->plan.startDate)));
    const QString target =
        GermanText::fromNumber(GermanText::parseNumber(c.text(F::targetWeight)), 2);
    QVERIFY2(table.last().contains(endDate) && table.last().endsWith(u' ' + target),
             qPrintable(table.last()));
    QCOMPARE(read.values(Gdt::AttachmentPath), QStringList{u"/praxis/pdf/4711-Kurve.pdf"_s});
    QCOMPARE(read.values(Gdt::AttachmentFormat), QStringList{u"PDF"_s});
}

QTEST_GUILESS_MAIN(TestGdt)
#include "tst_gdt.moc"
