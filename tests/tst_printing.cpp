#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "shell/mainwindow.h"
#include "views/inputview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using F = DietCase::Field;

class TestPrinting : public QObject {
    Q_OBJECT

private:
    RecordingUserInterface ui;
    std::unique_ptr<MainWindow> window;
    QTemporaryDir dir;

    static QString pdfText(const QString &pdf) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        text.waitForFinished();
        return QString::fromUtf8(text.readAllStandardOutput());
    }

    static int pdfPages(const QString &pdf) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished();
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        const qsizetype at = out.indexOf(u"Pages:");
        return at < 0 ? 0 : out.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
    }

    void computeCase() {
        DietCase &c = window->dietCase();
        c.setText(F::ownerName, QStringLiteral("Meier"));
        c.setText(F::petName, QStringLiteral("Bello"));
        c.setText(F::targetWeight, QStringLiteral("14"));
        c.setText(F::todayWeight, QStringLiteral("18,5"));
        window->run(Command::ReductionCurve);
        QCOMPARE(window->activeViewName(), QStringLiteral("frmchart"));
    }

private slots:
    void initTestCase() {
        Clock::setToday(QDate(2026, 12, 7));
        QVERIFY(dir.isValid());
    }

    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                  QStringLiteral("Korvalo"))
            .clear();
        ui = RecordingUserInterface();
        window = std::make_unique<MainWindow>(&ui);
        window->load();
    }

    void cleanup() {
        ui.answers << UserInterface::Answer::Yes;
        window.reset();
    }

    void chartPrintsToOnePage() {
        computeCase();
        const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 3, 2};
        window->run(Command::Print);
        QCOMPARE(ui.printDialogs, 1);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(pdfPages(pdf), 1); // copies and orientation stay as they are
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Reduktionskurve für Hund Bello (Besitzer: Meier)")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Erstellt mit KORVALO ® am 07.12.2026")));
    }

    void cancelPrintsNothing() {
        computeCase();
        window->run(Command::Print);
        QCOMPARE(ui.printDialogs, 1);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("cancel")).isEmpty());
    }

    void inputFormPrintsNothing() {
        window->run(Command::Print);
        QCOMPARE(ui.printDialogs, 0);
    }

    void chartCopiesAsPicture() {
        computeCase();
        QGuiApplication::clipboard()->clear();
        window->run(Command::Copy);
        const QImage picture = QGuiApplication::clipboard()->image();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() > 400);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
