// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"
#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "shell/mainwindow.h"
#include "tests/mainwindowfixture.h"
#include "views/chartview.h"
#include "views/inputview.h"

#include "testhelpers.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using F = DietCase::Field;
using Icon = UserInterface::Icon;
using Answer = UserInterface::Answer;

class TestMainWindow : public MainWindowFixture {
    Q_OBJECT

private:
    void open() { openWindow(true); }

    /** Types into a field and leaves it with Tab, as a user does. */
    void typeAndLeave(int n, const QString &typed) {
        text(n)->setFocus();
        text(n)->clear();
        QTest::keyClicks(text(n), typed);
        QTest::keyClick(text(n), Qt::Key_Tab);
    }

    bool buttonShown(const char *key) const {
        return window->toolbarSlot(QLatin1StringView(key))->isVisible();
    }

private slots:
    void initTestCase() { Clock::setToday(QDate(2026, 12, 7)); }

    void init() {
        clearSettings({"korvalo-dosis", "korvalo-impfplan"});
        open();
    }

    void cleanup() { closeWindow(); }

    void toolbarFollowsActiveView() {
        // After start only the input form is open.
        for (const char *key : {"Print", "Copy", "Plan", "Options", "Recalc", "Unbelegt"})
            QVERIFY2(!buttonShown(key), key);
        for (const char *key : {"Back", "Open", "Save", "Chart", "Delete", "Help2", "newsep1"})
            QVERIFY2(buttonShown(key), key);
        for (Command c : {Command::Print, Command::Copy, Command::DietPlan, Command::ChartOptions,
                          Command::ReductionValues})
            QVERIFY(!window->action(c)->isEnabled());
        QVERIFY(!buttonShown("Help"));
        QCOMPARE(window->action(Command::ExitOrBack)->text(), QStringLiteral("Beenden"));

        // Computing activates the chart with its own set.
        text(3)->setText(QStringLiteral("12"));
        text(4)->setText(QStringLiteral("10"));
        input()->compute();
        QCOMPARE(window->activeViewName(), QStringLiteral("frmchart"));
        for (const char *key :
             {"Save", "Print", "Copy", "Doc", "Plan", "Options", "Recalc", "Unbelegt", "Help2"})
            QVERIFY2(buttonShown(key), key);
        for (const char *key : {"Open", "Chart", "Delete"})
            QVERIFY2(!buttonShown(key), key);
        QVERIFY(window->action(Command::ReductionValues)->isEnabled());
        QVERIFY(!window->action(Command::LoadCase)->isEnabled());
        QCOMPARE(window->action(Command::ExitOrBack)->text(), QStringLiteral("Zurück"));
        QCOMPARE(window->toolbarButton(QStringLiteral("Copy"))->toolTip(),
                 QStringLiteral("Grafik kopieren"));
        QVERIFY(window->menuSeparator(QStringLiteral("mnuFileSep"))->isVisible());

        // Exit in the chart closes the chart without a question.
        window->dispatch(QStringLiteral("Back"));
        QTRY_VERIFY(!window->chartView());
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(window->activeViewName(), QStringLiteral("frminput"));
        QVERIFY(buttonShown("Open"));
    }

    void weightChecks_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");

        const QString notPositive = QStringLiteral("Eingabe von 0 oder kleiner nicht zulässig.");
        const QString notNumeric = QStringLiteral("Es sind nur numerische Werte erlaubt!");
        QTest::newRow("today zero") << 3 << "0" << notPositive;
        QTest::newRow("today negative") << 3 << "-3" << notPositive;
        QTest::newRow("today letters") << 3 << "abc" << notNumeric;
        QTest::newRow("today point") << 3 << "6.5" << notNumeric;
        QTest::newRow("target minus zero") << 4 << "-0" << notPositive;
        QTest::newRow("target blank") << 4 << " " << notNumeric;
        QTest::newRow("age zero") << 6 << "0" << notPositive;
        QTest::newRow("age letters") << 6 << "alt" << notNumeric;
    }

    void weightChecks() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        typeAndLeave(field, typed);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(ui.messages[0].icon, Icon::Exclamation);
        QCOMPARE(ui.messages[0].title, QStringLiteral("KORVALO"));
        QCOMPARE(QApplication::focusWidget(), text(field)); // the focus stays
    }

    void acceptedEntriesMoveOn_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asks");
        QTest::newRow("weight") << 3 << "12,5" << false;
        QTest::newRow("empty") << 4 << "" << false;
        QTest::newRow("age 20") << 6 << "20" << false;
        QTest::newRow("age 20,5") << 6 << "20,5" << true;
    }

    void acceptedEntriesMoveOn() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(bool, asks);
        typeAndLeave(field, typed);
        QCOMPARE(ui.messages.size(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(ui.messages[0].text, QStringLiteral("Ist die Alterangabe korrekt?"));
            QCOMPARE(ui.messages[0].icon, Icon::Question);
        }
        QVERIFY(QApplication::focusWidget() != text(field));
    }

    void derivedFieldsFollowEveryKeystroke() {
        text(4)->setText(QStringLiteral("10"));
        text(3)->setFocus();
        QTest::keyClick(text(3), Qt::Key_1);
        QCOMPARE(text(5)->text(), QStringLiteral("-90"));
        QCOMPARE(text(7)->text(), QStringLiteral("2"));
        QTest::keyClick(text(3), Qt::Key_2);
        QCOMPARE(text(5)->text(), QStringLiteral("20"));
        QCOMPARE(text(7)->text(), QStringLiteral("3"));
        QCOMPARE(text(8)->text(), QStringLiteral("2"));
        QCOMPARE(text(9)->text(), QStringLiteral("04.02.2027"));
        QTest::keyClick(text(3), Qt::Key_Period); // "12." is no number: nothing follows
        QCOMPARE(text(5)->text(), QStringLiteral("20"));
        QCOMPARE(text(9)->text(), QStringLiteral("04.02.2027"));
        QVERIFY(ui.messages.isEmpty());
    }

    void computeRefusals_data() {
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("overweight");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");

        QTest::newRow("today not numeric, target empty")
            << "abc"
            << ""
            << ""
            << "Eingabefeld 'heutiges Gewicht:' enthält keinen oder falschen Wert."
            << "Fehler";
        QTest::newRow("target missing")
            << "12"
            << ""
            << ""
            << "Eingabefeld 'Zielgewicht:' enthält keinen oder falschen Wert."
            << "Fehler";
        QTest::newRow("equal weights") << "10"
                                       << "10"
                                       << "0"
                                       << "Achtung: Zielgewicht liegt über heutigem Gewicht!"
                                       << "Fehler";
        QTest::newRow("401 %") << "50,1"
                               << "10"
                               << "401"
                               << "Die Berechnung ist auf ein maximales Übergewicht von 400% "
                                  "begrenzt."
                               << "Zu hohes Übergewicht";
    }

    void computeRefusals() {
        QFETCH(QString, today);
        QFETCH(QString, target);
        QFETCH(QString, overweight);
        QFETCH(QString, message);
        QFETCH(QString, title);
        text(4)->setText(target);
        text(3)->setText(today);
        text(5)->setText(overweight);
        ui.messages.clear();
        input()->computeButton()->click();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(ui.messages[0].title, title);
        QVERIFY(!window->chartView());
        QVERIFY(!QApplication::overrideCursor());
    }

    void computeShowsTheCurve() {
        text(4)->setText(QStringLiteral("10"));
        text(3)->setText(QStringLiteral("50"));
        QCOMPARE(text(5)->text(), QStringLiteral("400")); // the limit itself computes
        input()->computeButton()->click();
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(window->chartView());
        const ChartControl *chart = window->chartView()->chart();
        QCOMPARE(chart->minimum(), 10.0);
        QCOMPARE(chart->maximum(), 50.0);
        QCOMPARE(chart->majorDivisions(), 40);
        QVERIFY(chart->title().startsWith(QStringLiteral("Reduktionskurve für Hund  \nGewicht am "
                                                         "07.12.2026: 50 kg, Zielgewicht am ")));
        QVERIFY(!QApplication::overrideCursor());
    }

    /** One layout and one paint per computation; switching windows lays nothing out again. */
    void chartDrawsOncePerComputation() {
        text(4)->setText(QStringLiteral("40"));
        text(3)->setText(QStringLiteral("80"));
        input()->compute();
        QCoreApplication::processEvents();
        ChartControl *chart = window->chartView()->chart();
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *event) override {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        chart->installEventFilter(&counter);
        const int layouts = chart->layoutCount();
        input()->compute();
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, 1);
        QCOMPARE(chart->layoutCount(), layouts + 1);

        window->mdiArea()->activatePreviousSubWindow();
        QCOMPARE(window->activeViewName(), QStringLiteral("frminput"));
        window->mdiArea()->activatePreviousSubWindow();
        QCOMPARE(window->activeViewName(), QStringLiteral("frmchart"));
        QCoreApplication::processEvents();
        QCOMPARE(chart->layoutCount(), layouts + 1);

        window->resize(window->size() + QSize(40, 30));
        QCoreApplication::processEvents();
        QCOMPARE(chart->layoutCount(), layouts + 2);
    }

    void planTooLongIsReported() {
        text(4)->setText(QStringLiteral("10"));
        text(3)->setText(QStringLiteral("50"));
        text(7)->setText(QStringLiteral("0,5"));
        window->run(Command::ReductionCurve);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Fehler!  9  -  Index außerhalb des gültigen Bereichs"));
        QCOMPARE(ui.messages[0].icon, Icon::Critical);
        QVERIFY(ui.cursorRestores > 0);
        QVERIFY(!window->chartView());
    }

    void followUpShowsHistory() {
        DietCase &c = window->dietCase();
        c.setText(F::creationDate, QStringLiteral("01.12.2026"));
        c.setCreationDateVisible(true);
        c.setText(F::formerWeight, QStringLiteral("12,5 kg"));
        c.setFormerWeightVisible(true);
        QVERIFY(input()->findChild<QLabel *>(QStringLiteral("lbl_olddate"))->isVisible());
        QVERIFY(input()->caption(23)->isVisible());
        QCOMPARE(input()->findChild<QLabel *>(QStringLiteral("lbl_oldweight"))->text(),
                 QStringLiteral("12,5 kg"));
        c.setFormerWeightVisible(false);
        QVERIFY(!input()->caption(23)->isVisible());
    }

    void optionsAndSpeciesFollowTheCase() {
        DietCase &c = window->dietCase();
        input()->option(2)->click();
        QCOMPARE(c.sex(), PetSex::Female);
        c.setOptionSelected(2, false);
        QVERIFY(!input()->option(1)->isChecked() && !input()->option(2)->isChecked());
        input()->speciesList()->setCurrentIndex(1);
        QCOMPARE(c.text(F::species), QStringLiteral("Katze"));
        c.setText(F::species, QString());
        QCOMPARE(input()->speciesList()->currentText(), QString());
    }

    // The compute command's refusals, shown by the real message box over its hourglass.
    void pointerNormalOverMessages_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("today");
        QTest::newRow("target above today") << QStringLiteral("12") << QStringLiteral("10");
        QTest::newRow("more than 400 %") << QStringLiteral("2") << QStringLiteral("12");
        QTest::newRow("not a number") << QStringLiteral("10") << QStringLiteral("zwölf");
    }
    void pointerNormalOverMessages() {
        QFETCH(QString, target);
        QFETCH(QString, today);
        MainWindow real; // with the program's own dialogs
        real.load();
        real.dietCase().setText(F::targetWeight, target);
        real.dietCase().setText(F::todayWeight, today);
        std::optional<Qt::CursorShape> overBox;
        QTimer::singleShot(0, this, [&] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                const QCursor *cursor = QApplication::overrideCursor();
                overBox = cursor ? cursor->shape() : Qt::ArrowCursor;
                box->close();
            }
        });
        real.run(Command::ReductionCurve);
        QCOMPARE(overBox, std::optional(Qt::ArrowCursor));
        QVERIFY(!QApplication::overrideCursor()); // and normal after the command
        real.hide();                              // gone without its closing question
    }

    void closingAsks_data() {
        QTest::addColumn<bool>("viaExit");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("title bar, no") << false << Answer::No;
        QTest::newRow("title bar, yes") << false << Answer::Yes;
        QTest::newRow("exit, no") << true << Answer::No;
        QTest::newRow("exit, yes") << true << Answer::Yes;
    }

    void closingAsks() {
        QFETCH(bool, viaExit);
        QFETCH(Answer, answer);
        ui.answers << answer;
        if (viaExit)
            window->run(Command::ExitOrBack);
        else
            window->close();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Programm beenden?"));
        QCOMPARE(ui.messages[0].icon, Icon::Question);
        QCOMPARE(ui.messages[0].buttons, UserInterface::Buttons::YesNo);
        QCOMPARE(window->isVisible(), answer == Answer::No);
    }

    void placementIsStoredAndRestored() {
        // First start: the large default set, 12000 x 9000 twips at 15 twips a pixel.
        QCOMPARE(window->size(), QSize(800, 600));
        window->resize(900, 650);
        window->move(30, 45);
        ui.answers << Answer::Yes;
        window->close();
        QSettings stored(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                         QStringLiteral("Korvalo"));
        QCOMPARE(stored.value(QStringLiteral("Settings/MainWidth")).toString(),
                 QStringLiteral("13500"));
        open();
        QCOMPARE(window->size(), QSize(900, 650));
    }

    void unusableSettingsFallBackToDefaults_data() {
        QTest::addColumn<QByteArray>("file");  // the settings file; empty: a folder in its place
        QTest::addColumn<QStringList>("told"); // at load, and at close after the question
        const QString quit = QStringLiteral("Programm beenden?");
        QTest::newRow("off every screen")
            << QByteArray("[Settings]\nMainLeft=900000\n") << QStringList{quit};
        QTest::newRow("not a number")
            << QByteArray("[Settings]\nMainLeft=links\n")
            << QStringList{QStringLiteral("Fehler!  13  -  Typen unverträglich"), quit};
        QTest::newRow("a folder in its place")
            << QByteArray()
            << QStringList{quit, QStringLiteral("Fehler!  70  -  Zugriff verweigert")};
    }

    void unusableSettingsFallBackToDefaults() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, told);
        window.reset();
        const QString path = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Korvalo"), QStringLiteral("Korvalo"))
                                 .fileName();
        QFile::remove(path);
        const auto removeFolder = qScopeGuard([&] { QDir(path).removeRecursively(); });
        if (file.isEmpty()) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile settings(path);
            QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write(file) == file.size());
        }
        open();
        QCOMPARE(window->size(), QSize(800, 600));
        QVERIFY(QGuiApplication::screenAt(window->geometry().center()));
        QVERIFY(window->inputView()->isVisible());
        ui.answers << Answer::Yes;
        window->close();
        QVERIFY(!window->isVisible());
        QStringList texts;
        for (const auto &message : ui.messages)
            texts << message.text;
        QCOMPARE(texts, told);
    }

    void companionsAreDetected_data() {
        QTest::addColumn<bool>("third");
        QTest::newRow("none: the menu greyed") << false;
        QTest::newRow("only the third, folder empty") << true;
    }
    void companionsAreDetected() {
        QFETCH(bool, third);
        window.reset();
        // Only "XXXXX" means absent; an empty folder counts as installed.
        QSettings impfplan(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                           QStringLiteral("korvalo-impfplan"));
        impfplan.clear();
        if (third)
            impfplan.setValue(QStringLiteral("Settings/Path"), QString());
        impfplan.sync();
        open();
        QCOMPARE(window->findChild<QMenu *>(QStringLiteral("mnuextras"))->menuAction()->isEnabled(),
                 third);
        for (int k = 1; k <= 6; ++k) {
            const bool expected = third && k == 3;
            QCOMPARE(window->toolbarSlot(u"Extra" + QString::number(k))->isVisible(), expected);
            QCOMPARE(window->action(Command(int(Command::Companion1) + k - 1))->isVisible(),
                     expected);
        }
    }

    void clearInputsEmptiesTheForm() {
        DietCase &c = window->dietCase();
        text(1)->setText(QStringLiteral("Meier"));
        text(4)->setText(QStringLiteral("10"));
        text(3)->setText(QStringLiteral("12"));
        input()->option(1)->click();
        input()->option(4)->click();
        c.setText(F::creationDate, QStringLiteral("01.12.2026"));
        c.setCreationDateVisible(true);
        c.setText(F::formerWeight, QStringLiteral("12,5 kg"));
        c.setFormerWeightVisible(true);
        window->dispatch(QStringLiteral("Delete"));
        for (int n = 1; n <= 9; ++n)
            QVERIFY2(text(n)->text().isEmpty(), qPrintable(QString::number(n)));
        QCOMPARE(c.text(F::weeklyRateDuring), QString()); // empty, not the proposed rate
        QCOMPARE(c.text(F::species), QString());
        QCOMPARE(input()->speciesList()->currentIndex(), -1);
        QCOMPARE(c.sex(), PetSex::Unset);
        QCOMPARE(c.neuterState(), NeuterState::Unset);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!input()->option(n)->isChecked());
        QVERIFY(!c.isFollowUp() && !c.creationDateVisible());
        QVERIFY(!input()->caption(22)->isVisible() && !input()->caption(23)->isVisible());
        QCOMPARE(c.text(F::currentDate), QStringLiteral("07.12.2026")); // a label, kept
        QVERIFY(ui.messages.isEmpty());
    }

    void planAndInfoSheetOpenOnce_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("copyTip");
        QTest::newRow("plan") << "Plan"
                              << "frmSheet"
                              << "Diätplan kopieren";
        QTest::newRow("info sheet") << "Doc"
                                    << "frmDocument"
                                    << "Infoblatt kopieren";
    }

    void planAndInfoSheetOpenOnce() {
        QFETCH(QString, key);
        QFETCH(QString, view);
        text(4)->setText(QStringLiteral("10"));
        text(3)->setText(QStringLiteral("12"));
        window->run(Command::ReductionCurve);
        window->dispatch(key);
        QCOMPARE(window->activeViewName(), view);
        QTEST(window->toolbarButton(QStringLiteral("Copy"))->toolTip(), "copyTip");
        QVERIFY(buttonShown("Print") && !buttonShown("Save") && !buttonShown("Recalc"));
        const int windows = window->mdiArea()->subWindowList().size();
        window->mdiArea()->activatePreviousSubWindow();
        QVERIFY(window->activeViewName() != view);
        window->run(key == u"Plan" ? Command::DietPlan : Command::InfoSheet);
        QCOMPARE(window->mdiArea()->subWindowList().size(), windows); // the same window again
        QCOMPARE(window->activeViewName(), view);
    }

    void caseFileFromTheCommandLine_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("messages");
        QTest::newRow("case") << "new_dog_male_neutered.kvl"
                              << "Peter Graf" << 0;
        QTest::newRow("not a case") << "bad_nul_byte.kvl" << QString() << 1;
        QTest::newRow("missing") << "not-there.kvl" << QString() << 1;
    }

    void caseFileFromTheCommandLine() {
        QFETCH(QString, file);
        window->openCaseFile(QStringLiteral(KORVALO_SOURCE_DIR "/fuzz/corpus/casefile/") + file);
        QTEST(text(1)->text(), "owner");
        QTEST(int(ui.messages.size()), "messages");
    }

    void mailAndHelpGoToTheLauncher_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("message");
        // Nothing in the link is encoded.
        const QString mail = QStringLiteral("mailto:kontakt@korvalo.example?subject=KORVALO");
        QTest::newRow("mail sent") << "Mail" << 42 << mail << QString();
        QTest::newRow("no mail program") << "Mail" << 31 << mail << "Ungültige Dateierweiterung";
        QTest::newRow("help shown") << "Help2" << 33 << "/Anleitung.mht" << QString();
        QTest::newRow("help missing") << "Help2" << 2 << "/Anleitung.mht"
                                      << "Datei wurde nicht gefunden";
        QTest::newRow("odd result") << "Help2" << 1 << "/Anleitung.mht"
                                    << "Unbekannter Fehler";
    }

    void mailAndHelpGoToTheLauncher() {
        QFETCH(QString, key);
        QFETCH(int, result);
        QFETCH(QString, document);
        QFETCH(QString, message);
        FakeLauncher launcher;
        launcher.result = result;
        window->setLauncher(&launcher);
        window->dispatch(key);
        window->setLauncher(nullptr);
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY2(launcher.opened[0] == document || launcher.opened[0].endsWith(document),
                 qPrintable(launcher.opened[0]));
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(ui.messages[0].text, message);
            QCOMPARE(ui.messages[0].icon, Icon::None);
            QCOMPARE(ui.messages[0].title, QStringLiteral("Korvalo"));
        }
        QVERIFY(!QApplication::overrideCursor());
        window->dispatch(QStringLiteral("Unbelegt")); // a placeholder runs nothing
        QCOMPARE(launcher.opened.size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
