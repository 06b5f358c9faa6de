// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"
#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "tests/testhelpers.h"
#include "views/optionsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTest>

#include <memory>

using Axis = ChartControl::Axis;

namespace {

const QDate today(2026, 12, 7);

ChartSetup computed(const QString &start, const QString &target) {
    DietCase c;
    apply(c, baseCase + QStringList{u"todayWeight=" + start, u"targetWeight=" + target});
    return ChartCalc(c, false, today);
}

QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                     QStringLiteral("Korvalo"));
}

/** Everything the dialog can change on the chart. */
QVariantList state(const ChartControl &chart) {
    return {chart.autoScale(Axis::Time),
            chart.autoScale(Axis::Value),
            chart.scaleVisible(Axis::Time),
            chart.scaleVisible(Axis::Value),
            chart.scaleVisible(Axis::SecondValue),
            chart.divisionsPerLabel(),
            chart.divisionsPerTick(),
            chart.majorDivisions(),
            chart.minimum(),
            chart.maximum(),
            chart.backdropColor(),
            chart.seriesColor()};
}

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT

private:
    RecordingUserInterface ui;
    AppSettings settings;
    const ErrorReporter errors = settings.errorReporter(ui);
    std::unique_ptr<ChartControl> chart;
    std::unique_ptr<OptionsDialog> dialog;

    void open() {
        dialog = std::make_unique<OptionsDialog>(*chart, settings, errors);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <typename T = QWidget> T *control(const char *name) const {
        T *widget = dialog->findChild<T *>(QLatin1StringView(name));
        Q_ASSERT_X(widget, "control", name);
        return widget;
    }
    void click(const char *button) { control<QPushButton>(button)->click(); }

private slots:
    void initTestCase() { Clock::setToday(today); }

    void init() {
        store().clear();
        ui = RecordingUserInterface();
        chart = std::make_unique<ChartControl>();
        chart->apply(computed(QStringLiteral("60"), QStringLiteral("12")));
        QCOMPARE(chart->majorDivisions(), 48);
    }

    void cleanup() {
        dialog.reset();
        chart.reset();
        QVERIFY(ui.messages.isEmpty());
    }

    void loading_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("divisions");
        QTest::addColumn<int>("expectedDays");
        QTest::addColumn<int>("expectedDivisions");
        QTest::newRow("48 divisions held at 30") << "60" << 0 << 0 << 7 << 30;
        QTest::newRow("36 divisions held at 30") << "48" << 0 << 0 << 7 << 30;
        QTest::newRow("2 divisions as computed") << "14" << 0 << 0 << 7 << 2;
        QTest::newRow("earlier options are read back") << "60" << 21 << 12 << 21 << 12;
        QTest::newRow("values beyond the sliders") << "60" << 45 << -3 << 30 << 1;
    }

    void loading() {
        QFETCH(QString, start);
        QFETCH(int, days);
        QFETCH(int, divisions);
        QFETCH(int, expectedDays);
        QFETCH(int, expectedDivisions);
        chart->apply(computed(start, QStringLiteral("12")));
        if (days)
            chart->setDivisions(days, days);
        if (divisions)
            chart->setMajorDivisions(divisions);
        const QVariantList before = state(*chart);

        open();
        QCOMPARE(dialog->objectName(), QStringLiteral("frmOptions"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Diagrammoptionen"));
        QCOMPARE(control<QSlider>("Slider1")->value(), expectedDays);
        QCOMPARE(control<QLabel>("Label3")->text(), QString::number(expectedDays));
        QCOMPARE(control<QSlider>("Slider2")->value(), expectedDivisions);
        QCOMPARE(control<QLabel>("Label4")->text(), QString::number(expectedDivisions));
        for (const char *name : {"Check1", "Check2", "Check3", "Check4"})
            QVERIFY2(control<QCheckBox>(name)->isChecked(), name);
        QVERIFY(!control<QCheckBox>("Check6")->isChecked());        // the chart has no right scale
        QCOMPARE(control<QComboBox>("Combo1")->currentIndex(), -1); // its own colour
        QCOMPARE(control<QComboBox>("Combo2")->currentText(), QStringLiteral("Weiß"));
        QCOMPARE(state(*chart), before);

        click("cmdApply");
        QCOMPARE(chart->divisionsPerTick(), expectedDays);
        QCOMPARE(chart->divisionsPerLabel(), expectedDays);
        QCOMPARE(chart->majorDivisions(), expectedDivisions);
        QVERIFY(!chart->autoScale(Axis::Value));
        QCOMPARE(chart->minimum(), 12.0);
        QCOMPARE(chart->maximum(), start.toDouble());
    }

    void smallPets_data() {
        QTest::addColumn<QString>("showSmallPets"); // empty: absent
        QTest::addColumn<QString>("smallPets");     // empty: absent
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char *name, const char *show, const char *small, bool shown,
                            bool checked) {
            QTest::newRow(name) << QString::fromLatin1(show) << QString::fromLatin1(small) << shown
                                << checked;
        };
        row("not offered, nothing stored", "", "", false, false);
        row("not offered, stored 1 stays", "", "1", false, false);
        row("offered 0", "0", "1", false, false);
        row("any other text hides it", "ja", "1", false, false);
        row("offered, unchecked", "1", "0", true, false);
        row("offered, checked", "1", "1", true, true);
        row("offered, nothing stored", "1", "", true, false);
    }

    void smallPets() {
        QFETCH(QString, showSmallPets);
        QFETCH(QString, smallPets);
        QFETCH(bool, shown);
        QFETCH(bool, checked);
        if (!showSmallPets.isEmpty())
            settings.setValue(AppSettings::ShowSmallPets, showSmallPets);
        if (!smallPets.isEmpty())
            settings.setValue(AppSettings::SmallPets, smallPets);

        open();
        auto *box = control<QCheckBox>("Check5");
        QCOMPARE(box->isVisible(), shown);
        QCOMPARE(box->isChecked(), checked);
        QCOMPARE(box->text(), QStringLiteral("\"SmallPets\" ausschalten"));

        // Ticking the box shown flips what is stored; a hidden box stores nothing.
        if (shown)
            box->click();
        click("cmdOK");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        if (shown)
            QCOMPARE(store().value(QStringLiteral("Settings/SmallPets")).toString(),
                     checked ? QStringLiteral("0") : QStringLiteral("1"));
        else if (smallPets.isEmpty())
            QVERIFY(!store().contains(QStringLiteral("Settings/SmallPets")));
        else
            QCOMPARE(store().value(QStringLiteral("Settings/SmallPets")).toString(), smallPets);
    }

    void checkBoxes_data() {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QVariantList>("expected"); // auto time, auto value, scales t/l/r

        QTest::newRow("as opened keeps the computed axes")
            << "" << QVariantList{false, false, true, true, false};
        QTest::newRow("time axis scales itself")
            << "Check1" << QVariantList{true, false, true, true, false};
        QTest::newRow("value axis scales itself")
            << "Check3" << QVariantList{false, true, true, true, false};
        QTest::newRow("time scale hidden")
            << "Check2" << QVariantList{false, false, false, true, false};
        QTest::newRow("left scale hidden")
            << "Check4" << QVariantList{false, false, true, false, false};
        QTest::newRow("right scale shown")
            << "Check6" << QVariantList{false, false, true, true, true};
    }

    void checkBoxes() {
        QFETCH(QString, clicked);
        QFETCH(QVariantList, expected);
        // 0,9 kg: a fixed scale in tenths that no nice range of the data matches.
        chart->apply(computed(QStringLiteral("10,9"), QStringLiteral("10")));
        open();
        if (!clicked.isEmpty())
            control<QCheckBox>(clicked.toLatin1().constData())->click();
        click("cmdApply");
        QCOMPARE(state(*chart).mid(0, 5), expected);
        if (expected[1].toBool()) {
            QVERIFY(chart->minimum() <= 10.0);
            QVERIFY(chart->maximum() > 10.9);
        } else {
            QCOMPARE(chart->minimum(), 10.0);
            QCOMPARE(chart->maximum(), 10.9);
        }

        // The next opening shows what was applied; clicking the box back undoes it.
        dialog.reset();
        open();
        if (!clicked.isEmpty())
            control<QCheckBox>(clicked.toLatin1().constData())->click();
        click("cmdApply");
        QCOMPARE(state(*chart).mid(0, 5), (QVariantList{false, false, true, true, false}));
        QCOMPARE(chart->minimum(), 10.0);
        QCOMPARE(chart->maximum(), 10.9);
    }

    void applyTwiceAndCancel() {
        open();
        control<QCheckBox>("Check2")->setChecked(false);
        control<QCheckBox>("Check6")->setChecked(false);
        control<QSlider>("Slider1")->setValue(14);
        control<QSlider>("Slider2")->setValue(12);
        control<QComboBox>("Combo1")->setCurrentIndex(1);
        control<QComboBox>("Combo2")->setCurrentIndex(1);

        click("cmdApply");
        QVERIFY(dialog->isVisible());
        const QVariantList once = state(*chart);
        QCOMPARE(chart->seriesColor(), QColor(0, 0, 255));
        QCOMPARE(chart->backdropColor(), QColor(192, 255, 255));
        QCOMPARE(chart->divisionsPerLabel(), 14);
        QCOMPARE(chart->majorDivisions(), 12);
        click("cmdApply");
        QCOMPARE(state(*chart), once);

        // Changes after applying are dropped by "Abbrechen"; what was applied stays.
        control<QSlider>("Slider1")->setValue(3);
        control<QComboBox>("Combo2")->setCurrentIndex(4);
        click("cmdCancel");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(state(*chart), once);
    }

    /** Hiding a scale hides its numbers only; the axis titles stay. */
    void scalesHideTheirNumbersOnly() {
        open();
        control<QCheckBox>("Check6")->setChecked(true);
        click("cmdApply");
        QCOMPARE(chart->currentLayout().secondLabels.size(),
                 chart->currentLayout().valueLabels.size());
        for (const char *box : {"Check2", "Check4", "Check6"})
            control<QCheckBox>(box)->setChecked(false);
        click("cmdOK");
        const ChartLayout &shown = chart->currentLayout();
        QVERIFY(shown.valueLabels.isEmpty() && shown.secondLabels.isEmpty());
        QVERIFY(shown.dateLabels.isEmpty());
        QCOMPARE(shown.valueTitle.text, QStringLiteral("kg"));
        QVERIFY(shown.categoryTitle.text.startsWith(QStringLiteral("Erstellt mit KORVALO")));
    }

    /** The dialog opens showing the chart as it is: OK alone changes nothing. */
    void okAloneChangesNothing_data() {
        QTest::addColumn<QColor>("series");
        QTest::addColumn<QColor>("backdrop");
        QTest::addColumn<bool>("rightScale");
        QTest::newRow("as computed") << QColor(0x2F, 0x6F, 0x73) << QColor(Qt::white) << false;
        QTest::newRow("listed colours, right scale")
            << QColor(Qt::black) << QColor(212, 212, 212) << true;
        QTest::newRow("colours the lists lack") << QColor(Qt::magenta) << QColor(Qt::cyan) << false;
    }

    void okAloneChangesNothing() {
        QFETCH(QColor, series);
        QFETCH(QColor, backdrop);
        QFETCH(bool, rightScale);
        chart->apply(computed(QStringLiteral("14"), QStringLiteral("12")));
        chart->setSeriesColor(series);
        chart->setBackdropColor(backdrop);
        chart->setScaleVisible(Axis::SecondValue, rightScale);
        const QVariantList before = state(*chart);
        open();
        click("cmdOK");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(state(*chart), before);
    }

    void sliderLabelsFollowAtOnce_data() {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("days page up") << 1 << int(Qt::Key_PageUp) << "12";
        QTest::newRow("days step down") << 1 << int(Qt::Key_Left) << "6";
        QTest::newRow("divisions to the start") << 2 << int(Qt::Key_Home) << "1";
        QTest::newRow("divisions stop at 30") << 2 << int(Qt::Key_PageUp) << "30";
    }

    void sliderLabelsFollowAtOnce() {
        QFETCH(int, slider);
        QFETCH(int, key);
        QFETCH(QString, shown);
        open();
        const QVariantList before = state(*chart);
        QTest::keyClick(control<QSlider>(slider == 1 ? "Slider1" : "Slider2"), Qt::Key(key));
        QCOMPARE(control<QLabel>(slider == 1 ? "Label3" : "Label4")->text(), shown);
        QCOMPARE(state(*chart), before);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
