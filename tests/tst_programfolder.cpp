// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"
#include "files/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void touch(const QString &path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void dataFile_data();
    void dataFile();
    void reportsFolder_data();
    void reportsFolder();
    void caseFolderThatCannotBeMade();
};

// Paths relative to an installation prefix whose program folder is bin/.
void TestProgramFolder::dataFile_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("build tree") << QStringList{u"bin/kvl_logo.gif"_s} << u"bin/kvl_logo.gif"_s;
    QTest::newRow("installed") << QStringList{u"share/korvalo/kvl_logo.gif"_s}
                               << u"share/korvalo/kvl_logo.gif"_s;
    QTest::newRow("beside wins") << QStringList{u"bin/kvl_logo.gif"_s,
                                                u"share/korvalo/kvl_logo.gif"_s}
                                 << u"bin/kvl_logo.gif"_s;
    QTest::newRow("other data folder")
        << QStringList{u"share/kvl_logo.gif"_s} << u"bin/kvl_logo.gif"_s;
    QTest::newRow("missing: beside, for the message") << QStringList{} << u"bin/kvl_logo.gif"_s;
}

void TestProgramFolder::dataFile() {
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QDir(prefix.path()).mkpath(u"bin"_s);
    for (const QString &file : present)
        touch(prefix.filePath(file));
    QCOMPARE(ProgramFolder::dataFile(u"kvl_logo.gif"_s, prefix.filePath(u"bin"_s)),
             prefix.filePath(expected));
}

void TestProgramFolder::reportsFolder_data() {
    QTest::addColumn<QString>("reports"); // what "Reports" beside the program is
    QTest::addColumn<bool>("beside");

    QTest::newRow("folder") << u"folder"_s << true;
    QTest::newRow("absent, as in /usr/bin") << u"absent"_s << false;
    QTest::newRow("a file of that name") << u"file"_s << false;
}

void TestProgramFolder::reportsFolder() {
    QFETCH(QString, reports);
    QFETCH(bool, beside);
    QTemporaryDir program;
    QVERIFY(program.isValid());
    if (reports == u"folder"_s)
        QDir(program.path()).mkdir(u"Reports"_s);
    else if (reports == u"file"_s)
        touch(program.filePath(u"Reports"_s));
    const QString documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u"/Korvalo/Reports"_s;
    QCOMPARE(ProgramFolder::reportsFolder(program.path()),
             beside ? program.filePath(u"Reports"_s) : documents);
}

/** A case folder that cannot be made is told once; the dialogs open in the home folder. */
void TestProgramFolder::caseFolderThatCannotBeMade() {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
    qputenv("HOME", home.path().toLocal8Bit());
    touch(home.filePath(u"Documents"_s)); // a file where the folder would go
    RecordingUserInterface ui;
    QCOMPARE(ProgramFolder::caseFolderFor(ui), QDir::homePath());
    QCOMPARE(ProgramFolder::caseFolderFor(ui), QDir::homePath());
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].text.contains(
        QDir::toNativeSeparators(home.filePath(u"Documents/Korvalo/Reports"_s))));
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
