// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clock.h"
#include "core/derivedfields.h"
#include "core/dietcase.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "files/casefile.h"
#include "files/caselock.h"
#include "tests/testhelpers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using F = DietCase::Field;
using Icon = UserInterface::Icon;

namespace {

const QString invalidText = u"Inhalt der Datei kann von KORVALO nicht gelesen werden"_s;
const QString invalidTitle = u"Ungültiger Dateityp"_s;
const QString cannotSave = u"Der Fall kann nicht gespeichert werden.\n"_s;

// Lines written as one text with '|' between them, as raw Windows-1252 bytes.
QList<QByteArray> split(const char *lines) {
    return QByteArray(lines).split('|');
}

// A follow-up case as an earlier save wrote it.
QList<QByteArray> savedLines() {
    return split("J\xFCrgen M\xFCller|Bello|12|10|25|7|2|1|15.03.2027|EndText1|Katze|EndList|"
                 "03.12.2026|01.12.2026|12,5 kg|EndText2|True|False|False|True|EndOption");
}

QByteArray join(const QList<QByteArray> &lines, const QByteArray &end = "\r\n") {
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + end;
    return bytes;
}

// The saved lines with some of them (0-based) replaced.
QByteArray savedWith(const QList<std::pair<int, QByteArray>> &changes) {
    QList<QByteArray> lines = savedLines();
    for (const auto &[n, line] : changes)
        lines[n] = line;
    return join(lines);
}

QByteArray tooManyLines() {
    return join(savedLines() + QList<QByteArray>{"Rest", "mehr"});
}

// Everything a load may change: every text, both option pairs, both visibility flags.
QStringList snapshot(const DietCase &c) {
    QStringList s;
    for (int i = 0; i < DietCase::fieldCount; ++i)
        s << DietCase::fieldName(F(i)) + u'=' + c.text(F(i));
    s << u"sex="_s + displayText(c.sex()) << u"neuterState="_s + displayText(c.neuterState())
      << u"creationDateVisible="_s + QString::number(c.creationDateVisible())
      << u"formerWeightVisible="_s + QString::number(c.formerWeightVisible());
    return s;
}

// The snapshot with entries ("key=value") replaced.
QStringList patched(QStringList s, const QStringList &changes) {
    for (const QString &change : changes) {
        const QString key = change.section(u'=', 0, 0) + u'=';
        const auto it =
            std::find_if(s.begin(), s.end(), [&](auto &e) { return e.startsWith(key); });
        if (it == s.end())
            qFatal("no entry %s", qPrintable(key));
        *it = change;
    }
    return s;
}

void setTexts(DietCase &c, const QStringList &texts) {
    for (int i = 0; i < texts.size(); ++i)
        c.setText(F(i), texts[i]);
}

// A form that differs from the saved file in every field, so any touch shows.
void prefill(DietCase &c) {
    setTexts(c, u"Alte Besitzerin|Minka|Hamster|9|8|13|3|1,5|0,5|01.03.2027|07.12.2026|"
                u"01.01.2026|10 kg"_s.split(u'|'));
    c.setSex(PetSex::Female);
    c.setNeuterState(NeuterState::Neutered);
    c.setCreationDateVisible(true);
    c.setFormerWeightVisible(true);
}

// What loading savedLines() into a prefilled form shows (line 13 is not used).
QStringList loadedSnapshot() {
    DietCase c;
    prefill(c);
    return patched(
        snapshot(c),
        {u"ownerName=Jürgen Müller"_s, u"petName=Bello"_s, u"species=Katze"_s, u"todayWeight="_s,
         u"targetWeight=10"_s, u"overweightPercent=25"_s, u"ageYears=7"_s, u"weeklyRateDuring=2"_s,
         u"weeklyRateEnd=1"_s, u"dietEndDate=15.03.2027"_s, u"creationDate=01.12.2026"_s,
         u"formerWeight=12,5 kg"_s, u"sex=männlich"_s, u"neuterState=nicht kastriert"_s});
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString errorText(int number, const QString &description) {
    return u"Fehler!  "_s + QString::number(number) + u"  -  "_s + description;
}

enum class Failure {
    MissingFolder,
    FileSizeLimit,
    ReadOnlyFolder,
    FullDisk,
    ReadOnlyMount,
    OtherUser
};

// A small tmpfs over a folder, gone again with the object; root only (or CAP_SYS_ADMIN).
class Tmpfs {
public:
    explicit Tmpfs(const QString &folder)
        : m_folder(QFile::encodeName(folder)) {
        m_mounted = mount("korvalo-test", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~Tmpfs() {
        if (m_mounted)
            umount2(m_folder.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() {
        return mount("korvalo-test", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                     nullptr) == 0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// Fills the file system until a write fails for want of space.
bool fillUp(const QString &path) {
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    while (write(fd, block.constData(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    close(fd);
    return full;
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The exporter, run through a wrapper (such as one that changes the user) when given.
Run runPlan(const QStringList &arguments, const QString &folder, const QStringList &wrapper = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    const QStringList command = wrapper + QStringList{qEnvironmentVariable("KORVALO_PLAN")};
    process.start(command[0], command.mid(1) + arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

Q_DECLARE_METATYPE(PetSex)
Q_DECLARE_METATYPE(NeuterState)
Q_DECLARE_METATYPE(Failure)

class TestCaseFile : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setToday(QDate(2026, 12, 7)); }
    void saveWritesExactBytes_data();
    void saveWritesExactBytes();
    void roundTripKeepsFirstVisit();
    void loadedValuesWinOverDerivedFields();
    void readerAccepts_data();
    void readerAccepts();
    void readerRejects_data();
    void readerRejects();
    void saveRefusesUnwritableText_data();
    void saveRefusesUnwritableText();
    void failedSaveKeepsEarlierFile_data();
    void failedSaveKeepsEarlierFile();
    void cancelDoesNothing();
    void saveHoldsTheLock_data();
    void saveHoldsTheLock();
    void exporterFollowUp_data();
    void exporterFollowUp();
    void exporterRefusesBadFile_data();
    void exporterRefusesBadFile();

private:
    struct FailedSave;
    QString saveWithSizeLimit(FailedSave &f);
    QString saveIntoReadOnlyFolder(FailedSave &f);
    QString saveOntoFullDisk(FailedSave &f);
    QString saveOntoReadOnlyMount(FailedSave &f);
    QString saveAsOtherUser(FailedSave &f);
    QString saveAsIs(FailedSave &f);

    QString put(const QByteArray &bytes);
    void save(DietCase &c, const QString &path, RecordingUserInterface &ui);
    void load(DietCase &c, const QString &path, RecordingUserInterface &ui);

    QTemporaryDir m_dir;
    AppSettings m_settings;
    int m_files = 0;
};

QString TestCaseFile::put(const QByteArray &bytes) {
    return putFile(m_dir, m_files, bytes);
}

void TestCaseFile::save(DietCase &c, const QString &path, RecordingUserInterface &ui) {
    ui.fileNames << path;
    create_txt(c, m_settings.errorReporter(ui));
}

void TestCaseFile::load(DietCase &c, const QString &path, RecordingUserInterface &ui) {
    ui.fileNames << path;
    read_txt(c, m_settings.errorReporter(ui));
}

void TestCaseFile::saveWritesExactBytes_data() {
    QTest::addColumn<QStringList>("texts"); // in the order of DietCase::Field
    QTest::addColumn<PetSex>("sex");
    QTest::addColumn<NeuterState>("neuter");
    QTest::addColumn<bool>("history");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new case: history is today and today's weight")
        << u"Jürgen Müller|Bello|Hund|12,5|10|25|7|2|1|15.03.2027|07.12.2026||"_s.split(u'|')
        << PetSex::Male << NeuterState::Intact << false
        << join(split("J\xFCrgen M\xFCller|Bello|12,5|10|25|7|2|1|15.03.2027|EndText1|Hund|"
                      "EndList|07.12.2026|07.12.2026|12,5|EndText2|True|False|False|True|"
                      "EndOption")) +
               "\r\n[Korvalo]\r\nWiegung=07.12.2026;12,5\r\n";
    QTest::newRow("loaded case: history carried unchanged")
        << u"Anna Groß|Möhre|Kaninchen|12|10|20|3|2,5|1|01.02.2027|07.12.2026|01.12.2026|"
           u"12,5 kg"_s.split(u'|')
        << PetSex::Female << NeuterState::Neutered << true
        << join(split("Anna Gro\xDF|M\xF6hre|12|10|20|3|2,5|1|01.02.2027|EndText1|Kaninchen|"
                      "EndList|07.12.2026|01.12.2026|12,5 kg|EndText2|False|True|True|False|"
                      "EndOption")) +
               "\r\n[Korvalo]\r\nWiegung=07.12.2026;12\r\n";
    QTest::newRow("every text empty")
        << QStringList(DietCase::fieldCount) << PetSex::Unset << NeuterState::Unset << false
        << join(split("Empty|Empty|Empty|Empty|Empty|Empty|Empty|Empty|Empty|EndText1|Empty|"
                      "EndList|Empty|Empty|Empty|EndText2|False|False|False|False|EndOption"));
    QTest::newRow("history shown but empty is no new case")
        << u"||Hund|12,5|||||||07.12.2026||"_s.split(u'|') << PetSex::Unset << NeuterState::Unset
        << true
        << join(split("Empty|Empty|12,5|Empty|Empty|Empty|Empty|Empty|Empty|EndText1|Hund|"
                      "EndList|07.12.2026|Empty|Empty|EndText2|False|False|False|False|"
                      "EndOption")) +
               "\r\n[Korvalo]\r\nWiegung=07.12.2026;12,5\r\n";
    QTest::newRow("code page, not Latin-1")
        << u"€ŠŸÿ|Ærø|Hund||||||||07.12.2026||"_s.split(u'|') << PetSex::Unset << NeuterState::Unset
        << false
        << join(split("\x80\x8A\x9F\xFF|\xC6r\xF8|Empty|Empty|Empty|Empty|Empty|Empty|Empty|"
                      "EndText1|Hund|EndList|07.12.2026|07.12.2026|Empty|EndText2|False|False|"
                      "False|False|EndOption"));
}

void TestCaseFile::saveWritesExactBytes() {
    QFETCH(QStringList, texts);
    QFETCH(PetSex, sex);
    QFETCH(NeuterState, neuter);
    QFETCH(bool, history);
    QFETCH(QByteArray, expected);

    DietCase c;
    setTexts(c, texts);
    c.setSex(sex);
    c.setNeuterState(neuter);
    c.setCreationDateVisible(history);
    c.setFormerWeightVisible(history);

    RecordingUserInterface ui;
    const QString path = m_dir.filePath(u"bytes.kvl"_s);
    save(c, path, ui);
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(contents(path), expected);
}

void TestCaseFile::roundTripKeepsFirstVisit() {
    RecordingUserInterface ui;
    const QString path = m_dir.filePath(u"Bello.kvl"_s);

    Clock::setToday(QDate(2026, 12, 1));
    DietCase first;
    const ErrorReporter errors = m_settings.errorReporter(ui);
    DerivedFields firstDerived(first, errors);
    first.setText(F::petName, u"Bello"_s);
    first.setText(F::targetWeight, u"10"_s);
    first.setText(F::todayWeight, u"12,5"_s);
    QVERIFY(!first.text(F::dietEndDate).isEmpty());
    save(first, path, ui);

    Clock::setToday(QDate(2026, 12, 7));
    DietCase second;
    DerivedFields secondDerived(second, errors);
    load(second, path, ui);
    QCOMPARE(second.text(F::creationDate), u"01.12.2026"_s);
    QCOMPARE(second.text(F::formerWeight), u"12,5 kg"_s);
    QVERIFY(second.creationDateVisible() && second.formerWeightVisible());
    QCOMPARE(second.text(F::todayWeight), QString());
    QCOMPARE(second.text(F::currentDate), u"07.12.2026"_s);
    for (const F f : {F::petName, F::targetWeight, F::overweightPercent, F::weeklyRateDuring,
                      F::weeklyRateEnd, F::dietEndDate})
        QCOMPARE(second.text(f), first.text(f));

    // The new weighing; the file is replaced and still names the first visit.
    second.setText(F::todayWeight, u"12"_s);
    save(second, path, ui);
    const QList<QByteArray> lines = contents(path).split('\n');
    QCOMPARE(lines.mid(12, 3), (QList<QByteArray>{"07.12.2026\r", "01.12.2026\r", "12,5 kg\r"}));
    QCOMPARE(lines.at(2), "12\r");

    DietCase third;
    load(third, path, ui);
    QCOMPARE(third.text(F::creationDate), u"01.12.2026"_s);
    QCOMPARE(third.text(F::formerWeight), u"12,5 kg"_s);
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(QDir(m_dir.path()).entryList({u"Bello*"_s}, QDir::Files), QStringList{u"Bello.kvl"_s});
}

void TestCaseFile::loadedValuesWinOverDerivedFields() {
    RecordingUserInterface ui;
    DietCase c;
    const ErrorReporter errors = m_settings.errorReporter(ui);
    DerivedFields derived(c, errors);
    c.setText(F::targetWeight, u"8"_s);
    c.setText(F::todayWeight, u"14"_s);
    load(c, put(savedWith({{4, "99"}, {6, "2,5"}, {7, "0,5"}, {8, "01.01.2030"}})), ui);
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(c.text(F::targetWeight), u"10"_s);
    QCOMPARE(c.text(F::overweightPercent), u"99"_s);
    QCOMPARE(c.text(F::weeklyRateDuring), u"2,5"_s);
    QCOMPARE(c.text(F::weeklyRateEnd), u"0,5"_s);
    QCOMPARE(c.text(F::dietEndDate), u"01.01.2030"_s);
}

void TestCaseFile::readerAccepts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("changes"); // against loadedSnapshot()

    const QByteArray longest(CaseFile::maxLineLength, 'x');
    QByteArray unterminated = join(savedLines());
    unterminated.chop(2);

    QTest::newRow("as saved") << put(join(savedLines())) << QStringList();
    QTest::newRow("markers in lower and mixed case")
        << put(savedWith({{9, "endtext1"}, {11, "EnDlIsT"}, {15, "endTEXT2"}, {20, "endoption"}}))
        << QStringList();
    // Not the case before's values: loading starts from an empty form.
    QTest::newRow("Empty in any case leaves the field empty")
        << put(savedWith({{0, "EMPTY"}, {1, "empty"}, {3, "eMpTy"}, {10, "Empty"}}))
        << QStringList{u"ownerName="_s, u"petName="_s, u"targetWeight="_s, u"species="_s};
    QTest::newRow("Empty history hides it")
        << put(savedWith({{13, "empty"}, {14, "EMPTY"}}))
        << QStringList{u"creationDate="_s, u"formerWeight="_s, u"creationDateVisible=0"_s,
                       u"formerWeightVisible=0"_s};
    QTest::newRow("former weight gets its unit once")
        << put(savedWith({{14, "12,5"}})) << QStringList{u"formerWeight=12,5 kg"_s};
    QTest::newRow("unit is case-sensitive")
        << put(savedWith({{14, "12,5 KG"}})) << QStringList{u"formerWeight=12,5 KG kg"_s};
    QTest::newRow("creation date taken unchecked")
        << put(savedWith({{13, "irgendwann"}})) << QStringList{u"creationDate=irgendwann"_s};
    QTest::newRow("TRUE and false options")
        << put(savedWith({{16, "TRUE"}, {17, "false"}, {18, "FALSE"}, {19, "true"}}))
        << QStringList();
    QTest::newRow("no option selected") << put(savedWith({{16, "False"}, {19, "False"}}))
                                        << QStringList{u"sex="_s, u"neuterState="_s};
    QTest::newRow("today's weight line ignored")
        << put(savedWith({{2, "kein Gewicht"}})) << QStringList();
    QTest::newRow("date without leading zeros")
        << put(savedWith({{12, "7.1.2026"}})) << QStringList();
    QTest::newRow("code page bytes 0x80 to 0xFF")
        << put(savedWith({{1, "\x80\x8A\x9F\xC6\xFF"}})) << QStringList{u"petName=€ŠŸÆÿ"_s};
    // Else the name began with the second mark, and the next save turned it into a mark.
    QTest::newRow("byte-order mark twice")
        << put("\xEF\xBB\xBF\xEF\xBB\xBF" + savedWith({{0, "J\xFCrgen"}}))
        << QStringList{u"ownerName=Jürgen"_s};
    QTest::newRow("22nd line ignored") << put(join(savedLines() << "Rest")) << QStringList();
    QTest::newRow("last line without line end") << put(unterminated) << QStringList();
    QTest::newRow("longest line") << put(savedWith({{0, longest}}))
                                  << QStringList{u"ownerName="_s + QString::fromLatin1(longest)};
}

void TestCaseFile::readerAccepts() {
    QFETCH(QString, path);
    QFETCH(QStringList, changes);

    DietCase c;
    prefill(c);
    RecordingUserInterface ui;
    load(c, path, ui);
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(snapshot(c), patched(loadedSnapshot(), changes));
}

void TestCaseFile::readerRejects_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    const auto invalid = [](const char *name, const QString &path) {
        QTest::newRow(name) << path << invalidText << invalidTitle;
    };
    const auto error = [](const char *name, const QString &path, const QString &text) {
        QTest::newRow(name) << path << text << u"KORVALO"_s;
    };

    QList<QByteArray> lines = savedLines();
    invalid("empty file", put({}));
    invalid("empty first line", put("\r\n" + join(lines)));
    invalid("shortened by an empty line", put(join(lines.mid(0, 5) << "" << lines.mid(5))));
    invalid("21st line missing", put(join(lines.mid(0, 20))));
    invalid("line 13 not a date", put(savedWith({{12, "kein Datum"}})));
    invalid("line 13 an impossible date", put(savedWith({{12, "31.02.2026"}})));
    invalid("line 13 Empty", put(savedWith({{12, "Empty"}})));
    invalid("marker EndText1 wrong", put(savedWith({{9, "EndText"}})));
    invalid("marker EndList wrong", put(savedWith({{11, "End List"}})));
    invalid("marker EndText2 wrong", put(savedWith({{15, "EndText1"}})));
    invalid("marker EndOption wrong", put(savedWith({{20, "EndOptions"}})));
    invalid("option Ja", put(savedWith({{16, "Ja"}})));
    invalid("option Empty", put(savedWith({{19, "Empty"}})));
    invalid("LF line ends", put(join(lines, "\n")));
    invalid("one LF line end", put(savedWith({{3, "10\n11"}})));
    invalid("CR inside a line", put(savedWith({{0, "Anna\rGro\xDF"}})));
    invalid("NUL byte in a line", put(savedWith({{1, QByteArray("Bel\0lo", 6)}})));
    invalid("line of 1 MB", put(savedWith({{0, QByteArray(1 << 20, 'x')}})));
    invalid("longest line plus one",
            put(savedWith({{0, QByteArray(CaseFile::maxLineLength + 1, 'x')}})));

    QByteArray garbage(8192, Qt::Uninitialized);
    QRandomGenerator random(20261207);
    random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    invalid("binary garbage", put(garbage));

    // Sparse: the reader must give up after one overlong line, not read it whole.
    const QString huge = put({});
    QVERIFY(QFile::resize(huge, qint64(3) << 30));
    invalid("3 GB without a line end", huge);

    const QString outOfRange = errorText(9, u"Index außerhalb des gültigen Bereichs"_s);
    error("23rd line", put(tooManyLines()), outOfRange);
    error("23rd line followed by 50 MB", put(tooManyLines() + QByteArray(50 << 20, 'x')),
          outOfRange);
    error("file does not exist", m_dir.filePath(u"weg.kvl"_s),
          errorText(53, u"Datei nicht gefunden"_s));
    error("folder does not exist", m_dir.filePath(u"weg/fall.kvl"_s),
          errorText(76, u"Pfad nicht gefunden"_s));
    error("a folder", m_dir.path(), errorText(75, u"Fehler beim Zugriff auf Pfad/Datei"_s));
}

void TestCaseFile::readerRejects() {
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(QString, title);

    DietCase c;
    prefill(c);
    const QStringList before = snapshot(c);
    RecordingUserInterface ui;
    load(c, path, ui);
    QCOMPARE(snapshot(c), before);
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].text, text);
    QCOMPARE(ui.messages[0].title, title);
    QCOMPARE(ui.messages[0].icon, Icon::Critical);
}

void TestCaseFile::saveRefusesUnwritableText_data() {
    QTest::addColumn<F>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reason");

    const QString outside = u"Das Feld '%1' enthält Zeichen, die eine KVL-Datei nicht aufnehmen "
                            u"kann: %2"_s;
    const QString lineBreak = u"Das Feld 'Name des Tierbesitzers:' enthält einen Zeilenumbruch, "
                              u"den eine KVL-Datei nicht aufnehmen kann."_s;
    QTest::newRow("Ł in the pet's name")
        << F::petName << u"Łucja"_s << outside.arg(u"Name des Tieres:"_s, u"Ł"_s);
    QTest::newRow("emoji in the pet's name")
        << F::petName << u"Bello 🐶"_s << outside.arg(u"Name des Tieres:"_s, u"🐶"_s);
    QTest::newRow("each character named once")
        << F::petName << u"Łódź Łucja"_s << outside.arg(u"Name des Tieres:"_s, u"Łź"_s);
    QTest::newRow("former weight")
        << F::formerWeight << u"12,5 ㎏"_s << outside.arg(u"ehemaliges Gewicht:"_s, u"㎏"_s);
    QTest::newRow("line feed in the owner's name") << F::ownerName << u"Anna\nGroß"_s << lineBreak;
    QTest::newRow("carriage return in the owner's name")
        << F::ownerName << u"Anna\rGroß"_s << lineBreak;
    QTest::newRow("overlong owner's name")
        << F::ownerName << QString(CaseFile::maxLineLength + 1, u'x')
        << u"Das Feld 'Name des Tierbesitzers:' ist zu lang für eine KVL-Datei (höchstens "
           u"65536 Zeichen)."_s;
}

void TestCaseFile::saveRefusesUnwritableText() {
    QFETCH(F, field);
    QFETCH(QString, value);
    QFETCH(QString, reason);

    DietCase c;
    prefill(c);
    c.setText(field, value);
    const QString path = put("alt\r\n");
    RecordingUserInterface ui;
    save(c, path, ui);
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].text, cannotSave + reason);
    QCOMPARE(ui.messages[0].title, u"KORVALO"_s);
    QCOMPARE(ui.messages[0].icon, Icon::Exclamation);
    QCOMPARE(contents(path), "alt\r\n");
}

void TestCaseFile::failedSaveKeepsEarlierFile_data() {
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("text");

    QTest::newRow("folder does not exist")
        << Failure::MissingFolder << errorText(76, u"Pfad nicht gefunden"_s);
    QTest::newRow("write fails half-way")
        << Failure::FileSizeLimit << errorText(75, u"Fehler beim Zugriff auf Pfad/Datei"_s);
    QTest::newRow("read-only folder")
        << Failure::ReadOnlyFolder << errorText(70, u"Zugriff verweigert"_s);
    QTest::newRow("full disk") << Failure::FullDisk << errorText(61, u"Datenträger voll"_s);
    QTest::newRow("read-only mount")
        << Failure::ReadOnlyMount << errorText(70, u"Zugriff verweigert"_s);
    QTest::newRow("user without rights, exporter")
        << Failure::OtherUser << errorText(70, u"Zugriff verweigert"_s);
}

/** Everything one failed save works with; a staging step fills in what the user was told. */
struct TestCaseFile::FailedSave {
    QString folder;
    QString path;
    DietCase c;
    RecordingUserInterface ui;
    QStringList told;
    std::optional<Tmpfs> disk;
};

QString TestCaseFile::saveWithSizeLimit(FailedSave &f) {
    // Writes past 16 bytes fail: as a full disk does, but also for root.
    rlimit old{};
    if (getrlimit(RLIMIT_FSIZE, &old) != 0)
        return u"no file size limit here"_s;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tiny{16, old.rlim_max};
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    });
    if (setrlimit(RLIMIT_FSIZE, &tiny) != 0)
        return u"no file size limit here"_s;
    save(f.c, f.path, f.ui);
    return {};
}

QString TestCaseFile::saveIntoReadOnlyFolder(FailedSave &f) {
    if (geteuid() == 0)
        return u"root writes into read-only folders"_s;
    QFile::setPermissions(f.folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(f.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    save(f.c, f.path, f.ui);
    return {};
}

QString TestCaseFile::saveOntoFullDisk(FailedSave &f) {
    if (!f.disk->mounted() || !fillUp(f.folder + u"/platz"_s))
        return u"no tmpfs can be mounted here (needs root)"_s;
    save(f.c, f.path, f.ui);
    QFile::remove(f.folder + u"/platz"_s);
    return {};
}

QString TestCaseFile::saveOntoReadOnlyMount(FailedSave &f) {
    if (!f.disk->mounted() || !f.disk->makeReadOnly())
        return u"no tmpfs can be mounted here (needs root)"_s;
    save(f.c, f.path, f.ui);
    return {};
}

QString TestCaseFile::saveAsOtherUser(FailedSave &f) {
    // Root may write anywhere: the exporter saves as "nobody", who may only read here.
    if (geteuid() != 0)
        return u"switching to another user needs root; the read-only folder row covers this"_s;
    if (qEnvironmentVariableIsEmpty("KORVALO_PLAN"))
        return u"KORVALO_PLAN names the exporter; run through ctest"_s;
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(m_dir.path(), everyone);
    QFile::setPermissions(f.folder, everyone);
    const Run run =
        runPlan({u"--weight"_s, u"12"_s, u"--save"_s, f.path}, f.folder,
                {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s});
    if (run.exitCode != 1)
        f.told << u"exit code %1"_s.arg(run.exitCode);
    f.told << run.err.split(u'\n', Qt::SkipEmptyParts);
    return {};
}

QString TestCaseFile::saveAsIs(FailedSave &f) {
    save(f.c, f.path, f.ui);
    return {};
}

void TestCaseFile::failedSaveKeepsEarlierFile() {
    QFETCH(Failure, failure);
    QFETCH(QString, text);

    using Stage = QString (TestCaseFile::*)(FailedSave &);
    const QHash<Failure, Stage> stages{
        {Failure::MissingFolder, &TestCaseFile::saveAsIs},
        {Failure::FileSizeLimit, &TestCaseFile::saveWithSizeLimit},
        {Failure::ReadOnlyFolder, &TestCaseFile::saveIntoReadOnlyFolder},
        {Failure::FullDisk, &TestCaseFile::saveOntoFullDisk},
        {Failure::ReadOnlyMount, &TestCaseFile::saveOntoReadOnlyMount},
        {Failure::OtherUser, &TestCaseFile::saveAsOtherUser}};
    FailedSave f;
    f.folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    f.path = f.folder + u"/fall.kvl"_s;
    if (failure != Failure::MissingFolder) {
        QVERIFY(QDir().mkpath(f.folder));
        if (failure == Failure::FullDisk || failure == Failure::ReadOnlyMount)
            f.disk.emplace(f.folder);
        QFile old(f.path);
        // A tmpfs that could not be mounted is told by its stage below.
        if (!f.disk || f.disk->mounted())
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("alt\r\n") == 5);
    }
    prefill(f.c);

    if (const QString skip = (this->*stages.value(failure))(f); !skip.isEmpty())
        QSKIP(qPrintable(skip));
    for (const auto &message : std::as_const(f.ui.messages)) {
        QCOMPARE(message.icon, Icon::Critical);
        f.told << message.text;
    }
    QCOMPARE(f.told, QStringList{text});
    if (failure == Failure::MissingFolder) {
        QVERIFY(!QFileInfo::exists(f.folder));
    } else {
        QCOMPARE(contents(f.path), "alt\r\n");
        QCOMPARE(QDir(f.folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"fall.kvl"_s});
    }
}

void TestCaseFile::cancelDoesNothing() {
    DietCase c;
    prefill(c);
    const QStringList before = snapshot(c);
    RecordingUserInterface ui; // no file names: every dialog is cancelled
    read_txt(c, m_settings.errorReporter(ui));
    create_txt(c, m_settings.errorReporter(ui));
    QCOMPARE(snapshot(c), before);
    QCOMPARE(ui.messages.size(), 0);
    QCOMPARE(ui.dialogFilters,
             QStringList(2, u"KVL Dateien (*.kvl) |*.kvl"_s)); // both dialogs were asked
}

void TestCaseFile::saveHoldsTheLock_data() {
    QTest::addColumn<int>("lockAge"); // seconds; -1: no lock
    QTest::addColumn<bool>("saved");
    QTest::newRow("no other save") << -1 << true;
    QTest::newRow("another workstation saving: told who, after waiting") << 10 << false;
    QTest::newRow("a lock left behind three minutes ago is taken over") << 180 << true;
}

void TestCaseFile::saveHoldsTheLock() {
    QFETCH(int, lockAge);
    QFETCH(bool, saved);
    const QString path = m_dir.filePath(u"gesperrt.kvl"_s);
    QFile::remove(path);
    const QString lock = CaseLock::lockPath(path);
    if (lockAge >= 0) {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QDateTime since = QDateTime::currentDateTimeUtc().addSecs(-lockAge);
        file.write("praxis-2\nanna\n" + since.toString(Qt::ISODate).toUtf8() + '\n');
    }
    DietCase c;
    prefill(c);
    RecordingUserInterface ui;
    save(c, path, ui);
    QCOMPARE(QFile::exists(path), saved);
    QCOMPARE(QFile::exists(lock), !saved); // ours is gone after the save, the other's stays
    if (!saved) {
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(
            u"Die Datei „gesperrt.kvl“ wird gerade von anna an praxis-2 gespeichert (seit "_s));
        QFile::remove(lock);
    }
}

void TestCaseFile::exporterFollowUp_data() {
    QTest::addColumn<QString>("fileName");
    QTest::newRow("plain name") << u"X.kvl"_s;
    QTest::newRow("name starting with a colon") << u":X.kvl"_s; // Qt's resource prefix
}

void TestCaseFile::exporterFollowUp() {
    QFETCH(QString, fileName);
    if (qEnvironmentVariableIsEmpty("KORVALO_PLAN"))
        QSKIP("KORVALO_PLAN names the exporter; run through ctest");
    const QString folder = m_dir.path();
    QCOMPARE(runPlan({u"--today"_s, u"01.12.2026"_s, u"--target"_s, u"10"_s, u"--weight"_s,
                      u"12,5"_s, u"--save"_s, fileName},
                     folder)
                 .exitCode,
             0);
    const Run run = runPlan(
        {u"--today"_s, u"15.12.2026"_s, u"--weight"_s, u"12"_s, fileName, u"--json"_s}, folder);
    QCOMPARE(run.exitCode, 0);
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(root[u"fields"_s][u"creationDate"_s].toString(), u"01.12.2026"_s);
    QCOMPARE(root[u"fields"_s][u"formerWeight"_s].toString(), u"12,5 kg"_s);
    const QJsonObject plan = root[u"plan"_s].toObject();
    QCOMPARE(plan[u"startDate"_s].toString(), u"01.12.2026"_s);
    const QJsonArray rows = plan[u"rows"_s].toArray();
    QVERIFY(rows.size() > 15);
    QCOMPARE(rows[0][u"measured"_s].toDouble(), 12.5);
    QVERIFY(rows[7][u"measured"_s].isNull());
    QCOMPARE(rows[14][u"measured"_s].toDouble(), 12.0);
    QCOMPARE(rows[14][u"date"_s].toString(), u"15.12.2026"_s);
}

void TestCaseFile::exporterRefusesBadFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("fails its checks") << put(savedWith({{16, "Ja"}})) << 1 << invalidText;
    QTest::newRow("23rd line") << put(tooManyLines()) << 1
                               << errorText(9, u"Index außerhalb des gültigen Bereichs"_s);
    QTest::newRow("missing") << m_dir.filePath(u"weg.kvl"_s) << 2 << QString();
}

void TestCaseFile::exporterRefusesBadFile() {
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, firstLine);

    if (qEnvironmentVariableIsEmpty("KORVALO_PLAN"))
        QSKIP("KORVALO_PLAN names the exporter; run through ctest");
    const QString saved = m_dir.filePath(u"nie.kvl"_s);
    const Run run = runPlan({u"--weight"_s, u"12"_s, u"--save"_s, saved, file}, m_dir.path());
    QCOMPARE(run.exitCode, exitCode);
    if (!firstLine.isEmpty())
        QCOMPARE(run.err.section(u'\n', 0, 0), firstLine);
    QVERIFY(!QFileInfo::exists(saved));
}

QTEST_GUILESS_MAIN(TestCaseFile)
#include "tst_casefile.moc"
