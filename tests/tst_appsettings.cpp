#include "files/appsettings.h"
#include "tests/testhelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString companion = u"korvalo-dosis"_s;

QSettings store(const QString &application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, application);
}

} // namespace

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

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
