// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"
#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "shell/mainwindow.h"
#include "tests/mainwindowfixture.h"
#include "views/chartview.h"
#include "views/inputview.h"
#include "views/recalcdialog.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <memory>

using F = DietCase::Field;

class TestRecalcDialog : public MainWindowFixture {
    Q_OBJECT

private:
    DietCase &dietCase() { return window->dietCase(); }

    /** A computed case of 12 kg towards 10 kg with the given rates. */
    void computeCase(const QString &during = QStringLiteral("3"),
                     const QString &end = QStringLiteral("2")) {
        dietCase().setText(F::targetWeight, QStringLiteral("10"));
        dietCase().setText(F::todayWeight, QStringLiteral("12"));
        dietCase().setText(F::weeklyRateDuring, during);
        dietCase().setText(F::weeklyRateEnd, end);
        window->run(Command::ReductionCurve);
    }

    RecalcDialog *openModeless() {
        window->run(Command::ReductionValues);
        return window->recalcDialog();
    }

private slots:
    void initTestCase() { Clock::setToday(QDate(2026, 12, 7)); }

    void init() {
        clearSettings();
        openWindow();
    }

    void cleanup() { closeWindow(); }

    void barsOpenWithinTheirRanges_data() {
        QTest::addColumn<QString>("during");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("duringBar");
        QTest::addColumn<int>("endBar");
        QTest::addColumn<QString>("duringText");
        QTest::addColumn<QString>("endText");

        QTest::newRow("proposed rates") << "3"
                                        << "2" << 30 << 20 << "3"
                                        << "2";
        QTest::newRow("end rate too high") << "3"
                                           << "2,5" << 30 << 22 << "3"
                                           << "2,2";
        QTest::newRow("during rate too high") << "4,5"
                                              << "2" << 40 << 20 << "4"
                                              << "2";
        QTest::newRow("halves to even") << "2,25"
                                        << "0,25" << 22 << 2 << "2,2"
                                        << "0,2";
        QTest::newRow("during below end") << "1"
                                          << "2" << 20 << 20 << "2"
                                          << "2";
        QTest::newRow("rates not numbers") << "abc"
                                           << "" << 2 << 2 << "0,2"
                                           << "0,2";
        QTest::newRow("rates far out") << "25"
                                       << "1e308" << 40 << 22 << "4"
                                       << "2,2";
    }

    void barsOpenWithinTheirRanges() {
        QFETCH(QString, during);
        QFETCH(QString, end);
        computeCase();
        dietCase().setText(F::weeklyRateDuring, during);
        dietCase().setText(F::weeklyRateEnd, end);
        RecalcDialog *dialog = openModeless();
        QTEST(dialog->duringBar()->value(), "duringBar");
        QTEST(dialog->endBar()->value(), "endBar");
        QTEST(dialog->field(F::weeklyRateDuring)->text(), "duringText");
        QTEST(dialog->field(F::weeklyRateEnd)->text(), "endText");
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(dietCase().text(F::weeklyRateDuring), during); // nothing applied yet
    }

    void barsAreCoupled() {
        computeCase();
        RecalcDialog *dialog = openModeless();
        QScrollBar *during = dialog->duringBar();
        QScrollBar *end = dialog->endBar();
        end->setValue(25);
        QCOMPARE(end->value(), 22); // the end rate stops at 2,2 %
        QCOMPARE(during->minimum(), 22);
        QCOMPARE(dialog->field(F::weeklyRateEnd)->text(), QStringLiteral("2,2"));
        during->setValue(10);
        QCOMPARE(during->value(), 22); // never below the end rate
        QCOMPARE(dialog->field(F::weeklyRateDuring)->text(), QStringLiteral("2,2"));
        during->setValue(25);
        end->setValue(12);
        QCOMPARE(during->minimum(), 12);
        QCOMPARE(dialog->field(F::weeklyRateDuring)->text(), QStringLiteral("2,5"));
        QCOMPARE(dialog->field(F::weeklyRateEnd)->text(), QStringLiteral("1,2"));
        QVERIFY(dialog->field(F::weeklyRateDuring)->isReadOnly() &&
                dialog->field(F::todayWeight)->isReadOnly());
        QTest::keyClick(end, Qt::Key_Right); // the keys go the way the bar shows
        QCOMPARE(dialog->field(F::weeklyRateEnd)->text(), QStringLiteral("1,3"));
    }

    void barsSpeakTheRate_data() {
        QTest::addColumn<bool>("endBar");
        QTest::addColumn<QString>("change"); // "key": Right; "reader": set through its interface
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<double>("value");
        QTest::newRow("during rate") << false << QString() << "3,0 % pro Woche" << 3.0;
        QTest::newRow("end rate") << true << QString() << "2,0 % pro Woche" << 2.0;
        QTest::newRow("raised by a key") << false << "key"
                                         << "3,1 % pro Woche" << 3.1;
        QTest::newRow("set by a screen reader") << true << "reader"
                                                << "1,5 % pro Woche" << 1.5;
    }

    /** The bars hold tenths of a percent; a screen reader is given the rate. */
    void barsSpeakTheRate() {
        QFETCH(bool, endBar);
        QFETCH(QString, change);
        computeCase();
        RecalcDialog *dialog = openModeless();
        QScrollBar *bar = endBar ? dialog->endBar() : dialog->duringBar();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(face && face->valueInterface());
        if (change == u"key")
            QTest::keyClick(bar, Qt::Key_Right);
        else if (change == u"reader")
            face->valueInterface()->setCurrentValue(1.5);
        QTEST(face->text(QAccessible::Value), "spoken");
        QTEST(face->valueInterface()->currentValue().toDouble(), "value");
    }

    void applyWritesRatesEndDateAndCurve() {
        computeCase();
        const int daysBefore = window->chartView()->chart()->plan().rowsShown;
        RecalcDialog *dialog = openModeless();
        dialog->duringBar()->setValue(40);
        QVERIFY(dialog->applyRates());
        QCOMPARE(dietCase().text(F::weeklyRateDuring), QStringLiteral("4"));
        QCOMPARE(dietCase().text(F::weeklyRateEnd), QStringLiteral("2"));
        QCOMPARE(dietCase().text(F::dietEndDate), dialog->field(F::dietEndDate)->text());
        const ReductionPlan &plan = window->chartView()->chart()->plan();
        QVERIFY(plan.rowsShown < daysBefore);
        QCOMPARE(plan.rowLabel(plan.rowsShown - 1), dietCase().text(F::dietEndDate));
        QVERIFY(ui.messages.isEmpty());
    }

    void tooManyDaysChangesNothing() {
        dietCase().setText(F::targetWeight, QStringLiteral("10"));
        dietCase().setText(F::todayWeight, QStringLiteral("50"));
        window->run(Command::ReductionCurve);
        const QString endBefore = dietCase().text(F::dietEndDate);
        const QString titleBefore = window->chartView()->chart()->title();
        RecalcDialog *dialog = openModeless();
        dialog->endBar()->setValue(2);
        dialog->duringBar()->setValue(2);
        dialog->button(QStringLiteral("cmdOK"))->click(); // still closes
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Zuviele Datenpunkte - bitte erhöhen Sie die Reduktion"));
        QCOMPARE(ui.messages[0].icon, UserInterface::Icon::Critical);
        QCOMPARE(ui.messages[0].title, QStringLiteral("KORVALO"));
        QCOMPARE(dietCase().text(F::weeklyRateDuring), QStringLiteral("3"));
        QCOMPARE(dietCase().text(F::dietEndDate), endBefore);
        QCOMPARE(window->chartView()->chart()->title(), titleBefore);
        QTRY_VERIFY(!window->recalcDialog());
    }

    // The activation a refusal's box hands back keeps the refused rates, however late it comes;
    // one after another window was active shows the case again.
    void activationAfterRefusal_data() {
        QTest::addColumn<bool>("otherWindowFirst");
        QTest::addColumn<int>("duringBar");
        QTest::newRow("back from the box, late") << false << 2;
        QTest::newRow("after the main window") << true << 30;
    }
    void activationAfterRefusal() {
        QFETCH(bool, otherWindowFirst);
        dietCase().setText(F::targetWeight, QStringLiteral("10"));
        dietCase().setText(F::todayWeight, QStringLiteral("50"));
        window->run(Command::ReductionCurve);
        RecalcDialog *dialog = openModeless();
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        dialog->endBar()->setValue(2);
        dialog->duringBar()->setValue(2);
        ui.whileShown = [] {
            QWidget box; // takes the activation while open, as a message box does
            box.show();
            QApplication::setActiveWindow(&box);
        };
        QVERIFY(!dialog->applyRates());
        QVERIFY(!dialog->isActiveWindow());
        QTest::qWait(300); // a slow window system
        if (otherWindowFirst)
            QApplication::setActiveWindow(window.get());
        QApplication::setActiveWindow(dialog);
        QVERIFY(dialog->isActiveWindow());
        QTEST(dialog->duringBar()->value(), "duringBar");
    }

    // At a follow-up visit the curve starts at the former weight; so does the check.
    void followUpChecksFromFormerWeight_data() {
        QTest::addColumn<int>("during");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("applied");
        QTest::newRow("too slow from 20 kg") << 2 << 2 << false;
        QTest::newRow("fast enough") << 40 << 20 << true;
    }
    void followUpChecksFromFormerWeight() {
        QFETCH(int, during);
        QFETCH(int, end);
        QFETCH(bool, applied);
        DietCase &c = dietCase();
        computeCase(); // a first visit with its rates and end date, then at 20 kg
        c.setText(F::todayWeight, QStringLiteral("20"));
        c.setFormerWeightVisible(true);
        c.setCreationDateVisible(true);
        c.setText(F::creationDate, QStringLiteral("07.09.2026"));
        c.setText(F::formerWeight, QStringLiteral("20 kg"));
        c.setText(F::targetWeight, QStringLiteral("10"));
        c.setText(F::todayWeight, QStringLiteral("10,5"));
        window->run(Command::ReductionCurve);
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.value(0).text));
        const QString endBefore = c.text(F::dietEndDate);
        const QString duringBefore = c.text(F::weeklyRateDuring);
        RecalcDialog *dialog = openModeless();
        dialog->endBar()->setValue(end);
        dialog->duringBar()->setValue(during);
        QCOMPARE(dialog->applyRates(), applied);
        const ReductionPlan &plan = window->chartView()->chart()->plan();
        if (applied) {
            QVERIFY(ui.messages.isEmpty());
            QCOMPARE(c.text(F::weeklyRateDuring), QStringLiteral("4"));
            QVERIFY(plan.rowsShown > 1);
        } else {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.messages[0].text,
                     QStringLiteral("Zuviele Datenpunkte - bitte erhöhen Sie die Reduktion"));
            QCOMPARE(c.text(F::weeklyRateDuring), duringBefore);
            QCOMPARE(c.text(F::dietEndDate), endBefore);
        }
    }

    // A detailed report names the handler that ran and the rates it was applying.
    void errorsNameTheirHandler_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("handler");
        QTest::newRow("OK") << QStringLiteral("cmdOK") << QStringLiteral("cmdOK_Click");
        QTest::newRow("Übernehmen")
            << QStringLiteral("cmdApply") << QStringLiteral("cmdApply_Click");
    }
    void errorsNameTheirHandler() {
        QFETCH(QString, button);
        QFETCH(QString, handler);
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                  QStringLiteral("Korvalo"))
            .setValue(QStringLiteral("Settings/ErrorValue"), QStringLiteral("1"));
        computeCase();
        RecalcDialog *dialog = openModeless();
        dialog->duringBar()->setValue(35);
        dietCase().setText(F::targetWeight, QStringLiteral("zehn")); // the check cannot read it
        ui.messages.clear();
        dialog->button(button)->click();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, u"Fehler!  13  -  Typen unverträglich in   -  3,5 / 2  -  "
                                      u"frmRecalc-" +
                                          handler);
    }

    void resetReturnsToLastActivation() {
        computeCase();
        const QString endBefore = dietCase().text(F::dietEndDate);
        RecalcDialog *dialog = openModeless();
        dialog->duringBar()->setValue(35);
        dialog->endBar()->setValue(15);
        QVERIFY(dialog->applyRates());
        QVERIFY(dietCase().text(F::dietEndDate) != endBefore);
        dialog->button(QStringLiteral("cmdback"))->click();
        QCOMPARE(dietCase().text(F::weeklyRateDuring), QStringLiteral("3"));
        QCOMPARE(dietCase().text(F::weeklyRateEnd), QStringLiteral("2"));
        QCOMPARE(dietCase().text(F::dietEndDate), endBefore);
        QCOMPARE(window->chartView()->chart()->plan().rowLabel(
                     window->chartView()->chart()->plan().rowsShown - 1),
                 endBefore);
        QCOMPARE(dialog->duringBar()->value(), 35); // the bars stay where they were
        dialog->button(QStringLiteral("cmdCancel"))->click();
        QCOMPARE(dietCase().text(F::weeklyRateDuring), QStringLiteral("3"));
    }

    void toolbarOpensModalMenuModeless() {
        computeCase();
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            RecalcDialog *dialog = window->recalcDialog();
            modal = dialog && dialog->isModal() && dialog->isVisible();
            if (dialog)
                dialog->button(QStringLiteral("cmdCancel"))->click();
        });
        window->dispatch(QStringLiteral("Recalc")); // returns when the dialog closed
        QVERIFY(modal);
        QTRY_VERIFY(!window->recalcDialog());

        RecalcDialog *dialog = openModeless(); // returns at once
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QVERIFY(window->isEnabled());
    }
};

QTEST_MAIN(TestRecalcDialog)
#include "tst_recalcdialog.moc"
