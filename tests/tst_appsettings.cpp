// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/apperror.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "files/gdtsettings.h"
#include "tests/testhelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString companion = u"korvalo-dosis"_s;

enum class Damage { Bytes, Folder, Unreadable };

QString storeFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Korvalo/Korvalo.conf"_s;
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(4711);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QSettings store(const QString &application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, application);
}

} // namespace

Q_DECLARE_METATYPE(Damage)
Q_DECLARE_METATYPE(GdtSettings)

class TestAppSettings : public QObject {
    Q_OBJECT

private slots:
    void init() {
        store(AppSettings::applicationName).clear();
        store(companion).clear();
    }
    void defaults_data();
    void defaults();
    void placement_data();
    void placement();
    void placementRoundTrip();
    void companionPath();
    void roundTrip_data();
    void roundTrip();
    void keptAsWritten_data();
    void keptAsWritten();
    void damagedStore_data();
    void damagedStore();
    void handWritten_data();
    void handWritten();
    void reporterOutlivesSettings_data();
    void reporterOutlivesSettings();
    void gdtSettings_data();
    void gdtSettings();
};

void TestAppSettings::defaults_data() {
    QTest::addColumn<AppSettings::Key>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("MainLeft") << AppSettings::MainLeft << u"0"_s;
    QTest::newRow("MainTop") << AppSettings::MainTop << u"0"_s;
    QTest::newRow("Path") << AppSettings::Path << QString();
    QTest::newRow("PicPath") << AppSettings::PicPath
                             << QCoreApplication::applicationDirPath() + u"/kvl_logo.gif"_s;
    QTest::newRow("WebPage") << AppSettings::WebPage << QString();
    QTest::newRow("SmallPets") << AppSettings::SmallPets << u"0"_s;
    QTest::newRow("ShowSmallPets") << AppSettings::ShowSmallPets << u"0"_s;
    QTest::newRow("ErrorValue") << AppSettings::ErrorValue << u"0"_s;
}

void TestAppSettings::defaults() {
    QFETCH(AppSettings::Key, key);
    QFETCH(QString, value);
    QCOMPARE(AppSettings().value(key), value);
    QCOMPARE(AppSettings::keyName(key), QString::fromLatin1(QTest::currentDataTag()));
}

void TestAppSettings::placement_data() {
    QTest::addColumn<double>("screenHeight");
    QTest::addColumn<QStringList>("stored");    // key=value
    QTest::addColumn<QList<float>>("expected"); // left, top, width, height
    const QList<float> error;                   // a type mismatch
    QTest::newRow("6200 twips is a small screen")
        << 6200.0 << QStringList() << QList<float>{0, 0, 9600, 6200};
    QTest::newRow("6201 twips is large")
        << 6201.0 << QStringList() << QList<float>{0, 0, 12000, 9000};
    QTest::newRow("stored values win") << 4000.0
                                       << QStringList{u"MainLeft=120"_s, u"MainTop=240"_s,
                                                      u"MainWidth=13000"_s, u"MainHeight=9500"_s}
                                       << QList<float>{120, 240, 13000, 9500};
    QTest::newRow("decimal comma")
        << 9000.0 << QStringList{u"MainLeft=12,5"_s} << QList<float>{12.5, 0, 12000, 9000};
    QTest::newRow("not numeric") << 9000.0 << QStringList{u"MainTop=abc"_s} << error;
    QTest::newRow("empty") << 9000.0 << QStringList{u"MainWidth="_s} << error;
    QTest::newRow("decimal point") << 9000.0 << QStringList{u"MainHeight=1.5"_s} << error;
}

void TestAppSettings::placement() {
    QFETCH(double, screenHeight);
    QFETCH(QStringList, stored);
    QFETCH(QList<float>, expected);

    QSettings settings = store(AppSettings::applicationName);
    for (const QString &entry : stored)
        settings.setValue(u"Settings/"_s + entry.section(u'=', 0, 0), entry.section(u'=', 1));
    settings.sync();

    QList<float> placement;
    const int error = errorOf([&] {
        const AppSettings::Placement p = AppSettings().placement(screenHeight);
        placement = {p.left, p.top, p.width, p.height};
    });
    QCOMPARE(error, expected.isEmpty() ? AppError::TypeMismatch : 0);
    QCOMPARE(placement, expected);
}

void TestAppSettings::placementRoundTrip() {
    AppSettings settings;
    settings.setPlacement({120, 240, 13000.5f, 9500});
    QCOMPARE(settings.value(AppSettings::MainLeft), u"120"_s);
    QCOMPARE(settings.value(AppSettings::MainWidth), u"13000,5"_s);
    const AppSettings::Placement p = settings.placement(4000);
    QCOMPARE((QList<float>{p.left, p.top, p.width, p.height}),
             (QList<float>{120, 240, 13000.5f, 9500}));
}

void TestAppSettings::companionPath() {
    AppSettings settings;
    settings.setValue(AppSettings::Path, u"/own/folder"_s);
    QCOMPARE(settings.companionPath(companion), u"XXXXX"_s);
    settings.setValue(companion, u"Path"_s, QString()); // an empty folder counts as installed
    QCOMPARE(settings.companionPath(companion), QString());
    settings.setValue(companion, u"Path"_s, u"/opt/dosis"_s);
    QCOMPARE(settings.companionPath(companion), u"/opt/dosis"_s);
    QCOMPARE(settings.value(AppSettings::Path), u"/own/folder"_s);
    QVERIFY(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Korvalo/"_s + companion +
                          u".conf"_s));
}

void TestAppSettings::roundTrip_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("comma and blank") << u"a, b"_s;
    QTest::newRow("backslashes") << u"C:\\Programme\\Korvalo\\kvl_logo.gif"_s;
    QTest::newRow("surrounding blanks") << u"  blanks  "_s;
    QTest::newRow("umlauts") << u"Größe ®"_s;
    QTest::newRow("empty") << QString();
}

void TestAppSettings::roundTrip() {
    QFETCH(QString, text);

    AppSettings().setValue(AppSettings::WebPage, text);
    QCOMPARE(AppSettings().value(AppSettings::WebPage), text);
    QCOMPARE(store(AppSettings::applicationName).value(u"Settings/WebPage"_s).toString(), text);
    QVERIFY(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Korvalo/Korvalo.conf"_s));
}

void TestAppSettings::keptAsWritten_data() {
    QTest::addColumn<QByteArray>("file"); // written by hand, or by another program
    QTest::addColumn<QString>("change");  // "start", "placement", "logo"
    QTest::addColumn<QByteArray>("after");

    const QByteArray hand = "; Praxis Sonnenschein, von Hand\n[Andere]\nFarbe=blau\n\n[Settings]\n"
                            "Path=/opt/korvalo\nWebPage=https://praxis.example/termine?tag=mo,di\n"
                            "PicPath=/praxis/Logo,Praxis.gif\nFremd=\xC3\xA4;\xC3\xB6,\xC3\xBC\n"
                            "MainLeft=15\n\n[Zuletzt]\nDatei=a.kvl\n";
    QTest::newRow("a start: nothing changes") << hand << u"start"_s << hand;
    QByteArray placed = hand;
    placed.replace("MainLeft=15\n", "MainLeft=1\nMainTop=2\nMainWidth=3\nMainHeight=4\n");
    QTest::newRow("placement: its lines, in their section") << hand << u"placement"_s << placed;
    QByteArray logo = hand;
    logo.replace("PicPath=/praxis/Logo,Praxis.gif", "PicPath=\"/praxis/Neu,Logo.gif\"");
    QTest::newRow("logo: its line, quoted as Qt reads it") << hand << u"logo"_s << logo;
    const QByteArray crlf = "[Settings]\r\nPath=/opt/korvalo\r\nMainLeft=15";
    QTest::newRow("CR LF, no line end at the end")
        << crlf << u"placement"_s
        << QByteArray("[Settings]\r\nPath=/opt/korvalo\r\nMainLeft=1\r\nMainTop=2\r\n"
                      "MainWidth=3\r\nMainHeight=4\r\n");
    QTest::newRow("no section yet") << QByteArray("; leer\n") << u"logo"_s
                                    << QByteArray("; leer\n\n[Settings]\n"
                                                  "PicPath=\"/praxis/Neu,Logo.gif\"\n");
}

/** Settings written by hand or by other programs stay as written; a change is its one line. */
void TestAppSettings::keptAsWritten() {
    QFETCH(QByteArray, file);
    QFETCH(QString, change);
    QFETCH(QByteArray, after);
    const QString path = storeFile();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    AppSettings settings;
    if (file.contains("WebPage")) { // read as written, neither cut at the comma nor the semicolon
        QCOMPARE(settings.value(AppSettings::WebPage),
                 u"https://praxis.example/termine?tag=mo,di"_s);
        QCOMPARE(settings.value(AppSettings::PicPath), u"/praxis/Logo,Praxis.gif"_s);
        QCOMPARE(settings.value(AppSettings::applicationName, u"Fremd"_s, {}), u"ä;ö,ü"_s);
    }
    if (change == u"start")
        settings.setValue(AppSettings::Path, u"/opt/korvalo"_s);
    else if (change == u"placement")
        settings.setPlacement({1, 2, 3, 4});
    else
        settings.setValue(AppSettings::PicPath, u"/praxis/Neu,Logo.gif"_s);
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(in.readAll(), after);
    // Qt's own reader, as the companions use it, reads what we wrote the same.
    if (change == u"logo")
        QCOMPARE(store(AppSettings::applicationName).value(u"Settings/PicPath"_s).toString(),
                 u"/praxis/Neu,Logo.gif"_s);
}

void TestAppSettings::damagedStore_data() {
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<float>>("placement"); // empty: error 13
    QTest::addColumn<int>("writeError");
    const QList<float> defaults{0, 0, 12000, 9000};

    // A damaged file is read for what it can; a write changes its one line and keeps the rest.
    QTest::newRow("random bytes") << Damage::Bytes << randomBytes(4096) << defaults << 0;
    QTest::newRow("huge line") << Damage::Bytes << QByteArray(10'000'000, 'x') << defaults << 0;
    QTest::newRow("broken sections")
        << Damage::Bytes << "[Settings\nMainLeft=120\n[]\n=5\n[Settings]]\nMainTop=240\n"_ba
        << QList<float>{120, 240, 12000, 9000} << 0;
    QTest::newRow("huge number") << Damage::Bytes
                                 << "[Settings]\nMainLeft=" + QByteArray(1'000'000, '7')
                                 << QList<float>() << 0;
    // Values Qt stored with a type of its own are no texts: they read as absent.
    QTest::newRow("wrong types") << Damage::Bytes
                                 << "[Settings]\nMainWidth=@Rect(1 2 3 4)\nSmallPets=@Variant("
                                    "\\0\\0\\0\\x7f\\0\\0\\0\\x3)\nErrorValue=@Invalid()\n"_ba
                                 << defaults << 0;
    QTest::newRow("a folder") << Damage::Folder << QByteArray() << defaults << 70;
    QTest::newRow("no read permission")
        << Damage::Unreadable << "[Settings]\nMainLeft=120\n"_ba << defaults << 70;
}

// A damaged store reads as its defaults; a write that fails is an error, and a store that
// cannot be read is left as it is.
void TestAppSettings::damagedStore() {
    QFETCH(Damage, damage);
    QFETCH(QByteArray, bytes);
    QFETCH(QList<float>, placement);
    QFETCH(int, writeError);

    const QString path = storeFile();
    QFile::remove(path);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    const auto cleanUp = qScopeGuard([&] {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QDir(path).removeRecursively();
        QFile::remove(path);
    });
    if (damage == Damage::Folder) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    bool asNobody = false;
    if (damage == Damage::Unreadable) {
        QVERIFY(QFile::setPermissions(path, {}));
        // Root reads any file: read as "nobody", who may not.
        asNobody = geteuid() == 0;
        if (asNobody && (setegid(65534) != 0 || seteuid(65534) != 0))
            QSKIP("cannot switch to the user nobody");
    }
    const auto backToRoot = [&] {
        if (asNobody && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot switch back to root");
        asNobody = false;
    };
    const auto restoreUser = qScopeGuard(backToRoot);

    // In the order of a run: "Path" at start, the placement read and, at the end, written.
    AppSettings settings;
    const auto write = [&] { settings.setValue(AppSettings::Path, u"/praxis"_s); };
    QCOMPARE(errorOf(write), writeError);
    QList<float> read;
    const int readError = errorOf([&] {
        const AppSettings::Placement p = settings.placement(9000);
        read = {p.left, p.top, p.width, p.height};
    });
    QCOMPARE(readError, placement.isEmpty() ? AppError::TypeMismatch : 0);
    QCOMPARE(read, placement);
    for (const AppSettings::Key key :
         {AppSettings::SmallPets, AppSettings::ShowSmallPets, AppSettings::ErrorValue})
        QCOMPARE(settings.value(key), u"0"_s);
    QCOMPARE(settings.value(AppSettings::PicPath),
             QCoreApplication::applicationDirPath() + u"/kvl_logo.gif"_s);
    const int laterError = errorOf([&] { settings.setPlacement({1, 2, 3, 4}); });

    if (damage == Damage::Bytes) {
        // Written anew with what could be read of it: told once, then the store works.
        QCOMPARE(laterError, 0);
        QCOMPARE(settings.value(AppSettings::Path), u"/praxis"_s);
    } else if (damage == Damage::Folder) {
        QCOMPARE(laterError, writeError);
        QVERIFY(QFileInfo(path).isDir());
    } else {
        QCOMPARE(laterError, writeError);
        backToRoot();
        QFile file(path);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
}

// Lines as another program of the family or a text editor writes them.
void TestAppSettings::handWritten_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("comma") << QByteArray("WebPage=http://a.example/x,y")
                           << u"http://a.example/x,y"_s;
    QTest::newRow("comma and blanks") << QByteArray("WebPage = a , b ") << u"a , b"_s;
    QTest::newRow("semicolon") << QByteArray("WebPage=http://a.example/x;y")
                               << u"http://a.example/x;y"_s;
    QTest::newRow("quoted") << QByteArray("WebPage=\"x,y;z\"") << u"x,y;z"_s;
    QTest::newRow("plain") << QByteArray("WebPage=http://a.example/") << u"http://a.example/"_s;
}

void TestAppSettings::handWritten() {
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    const QByteArray content =
        "[General]\nWebPage=other\n\n[Settings]\nPath=/praxis\n" + line + '\n';
    QVERIFY(QDir().mkpath(QFileInfo(storeFile()).absolutePath()));
    QFile file(storeFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    QCOMPARE(AppSettings().value(AppSettings::WebPage), value);
    QCOMPARE(AppSettings().value(AppSettings::Path), u"/praxis"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content); // reading wrote nothing back
}

void TestAppSettings::reporterOutlivesSettings_data() {
    QTest::addColumn<QString>("errorValue");
    QTest::addColumn<QString>("text");
    QTest::newRow("short form") << u"0"_s << u"Fehler!  6  -  Überlauf"_s;
    QTest::newRow("long form") << u"1"_s << u"Fehler!  6  -  Überlauf in   -  XXX  -  Probe"_s;
}

void TestAppSettings::reporterOutlivesSettings() {
    QFETCH(QString, errorValue);
    RecordingUserInterface ui;
    std::optional<ErrorReporter> reporter;
    {
        const AppSettings settings;
        reporter.emplace(settings.errorReporter(ui));
    }
    AppSettings().setValue(AppSettings::ErrorValue, errorValue); // read at the report
    reporter->ReportError(AppError(AppError::Overflow), u"Probe"_s);
    QCOMPARE(ui.messages.size(), 1);
    QTEST(ui.messages[0].text, "text");
}

void TestAppSettings::gdtSettings_data() {
    QTest::addColumn<QByteArray>("file");    // the settings file before; empty: none
    QTest::addColumn<bool>("save");          // the expected values saved into it first
    QTest::addColumn<GdtSettings>("values"); // read back

    const GdtSettings defaults;
    QTest::newRow("no settings file") << QByteArray() << false << defaults;
    QTest::newRow("no GDT section") << "[Settings]\nPath=/praxis\n"_ba << false << defaults;
    GdtSettings hand;
    hand.requestFile = u"/gdt/anfrage.gdt"_s;
    hand.charset = Gdt::Charset::Latin1;
    hand.nameOrder = Gdt::NameOrder::AnimalThenOwner;
    QTest::newRow("written by hand")
        << "[GDT]\nAnfragedatei = /gdt/anfrage.gdt \nZeichensatz=3\nNamensfolge=TierBesitzer\n"_ba
        << false << hand;
    for (const char *charset : {"0", "4", "ISO"})
        QTest::addRow("unknown charset %s and name order", charset)
            << "[GDT]\nZeichensatz="_ba + charset + "\nNamensfolge=Tier\n"
            << false << defaults;

    const GdtSettings every{u"/praxis/Größe, GDT/anfrage.gdt"_s,
                            u"/praxis/Größe, GDT/ergebnis.gdt"_s,
                            u"KORV01"_s,
                            u"MEDPRAX"_s,
                            Gdt::Charset::Ascii,
                            u"ALLG00"_s,
                            Gdt::NameOrder::AnimalThenOwner,
                            u"/praxis/pdf"_s};
    QTest::newRow("every value, beside another section")
        << "[Settings]\nPath=/praxis\n"_ba << true << every;
    GdtSettings emptied;
    emptied.ownId.clear();
    emptied.procedure.clear();
    QTest::newRow("emptied values stay empty") << QByteArray() << true << emptied;
}

void TestAppSettings::gdtSettings() {
    QFETCH(QByteArray, file);
    QFETCH(bool, save);
    QFETCH(GdtSettings, values);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Korvalo.conf"_s);
    if (!file.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    }
    if (save)
        values.save(path);
    QCOMPARE(GdtSettings::load(path), values);
    if (!file.isEmpty() && save) // the other section stays
        QCOMPARE(QSettings(path, QSettings::IniFormat).value(u"Settings/Path"_s).toString(),
                 u"/praxis"_s);
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
