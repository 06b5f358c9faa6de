// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/browsercontrol.h"
#include "controls/chartcontrol.h"
#include "core/clock.h"
#include "core/gdt.h"
#include "core/recordinguserinterface.h"
#include "files/gdtsettings.h"
#include "shell/commandline.h"
#include "shell/deferredicons.h"
#include "shell/mainwindow.h"
#include "shell/outsidecommands.h"
#include "shell/windowplacement.h"
#include "tests/mainwindowfixture.h"
#include "views/aboutdialog.h"
#include "views/browserview.h"
#include "views/caselistview.h"
#include "views/chartview.h"
#include "views/inputview.h"
#include "views/optionsdialog.h"
#include "views/progressview.h"
#include "views/recalcdialog.h"
#include "views/settingsdialog.h"

#include "testhelpers.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using F = DietCase::Field;
using Icon = UserInterface::Icon;
using Answer = UserInterface::Answer;

namespace {

/** A page display that shows nothing: the browser window's own controls are under test. */
struct StubPage : QWidget, BrowserControl {
    explicit StubPage(QWidget *parent)
        : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(QStringLiteral("Seite")); // the web view is named by its page
    }
    void Navigate(const QString &) override {}
    void GoBack() override {}
    void GoForward() override {}
    void GoHome() override {}
    void GoSearch() override {}
    void Stop() override {}
    void Refresh() override {}
    QString locationName() const override { return {}; }
    QString locationURL() const override { return {}; }
    QWidget *widget() override { return this; }
};

QString accessibleText(QWidget *widget, QAccessible::Text text) {
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(text) : QString();
}

} // namespace

class TestMainWindow : public MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir blankFolder{QDir::tempPath() + u"/Fälle mit Leerzeichen XXXXXX"};

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

    void computeCase() {
        text(4)->setText(QStringLiteral("10"));
        text(3)->setText(QStringLiteral("12"));
        window->run(Command::ReductionCurve);
    }

    AppSettings settings;
    std::unique_ptr<QWidget> dialog;

    /** Opens a view or dialog by the name the rows give it, with the keyboard in it. */
    QWidget *openView(const QString &name) {
        if (name == u"toolbar")
            return window.get();
        if (name == u"input form")
            return input();
        if (name == u"Fälle") {
            window->run(Command::CaseList);
            CaseListView *cases = window->caseListView();
            return QTest::qWaitFor([cases] { return !cases->isScanning(); }) ? cases : nullptr;
        }
        if (name == u"follow-up chart") {
            window->openCaseFile(
                QStringLiteral(KORVALO_SOURCE_DIR "/fuzz/corpus/casefile/block_three.kvl"));
            text(3)->setText(QStringLiteral("4,9")); // today's weighing
            window->run(Command::ReductionCurve);
            return window->chartView();
        }
        computeCase();
        if (name == u"Verlauf") {
            window->run(Command::FollowUp);
            return window->progressView();
        }
        QWidget *shown = nullptr;
        if (name == u"reduction values") {
            window->run(Command::ReductionValues);
            shown = window->recalcDialog();
        } else {
            if (name == u"chart options")
                dialog = std::make_unique<OptionsDialog>(*window->chartView()->chart(), settings,
                                                         window->errors(), window.get());
            else if (name == u"settings")
                dialog = std::make_unique<SettingsDialog>(GdtSettings{}, ui, window.get());
            else if (name == u"about box")
                dialog = std::make_unique<AboutDialog>(window->errors(), window.get());
            else if (name == u"browser")
                dialog = std::make_unique<BrowserView>(
                    *window, QString(), [](QWidget *parent, const QString &, const QString &) {
                        return new StubPage(parent);
                    });
            shown = dialog.get();
            shown->show();
        }
        QApplication::setActiveWindow(shown);
        if (!QTest::qWaitForWindowActive(shown))
            return nullptr;
        return shown;
    }

private slots:
    void initTestCase() { Clock::setToday(QDate(2026, 12, 7)); }

    void init() {
        clearSettings({"korvalo-dosis", "korvalo-impfplan"});
        open();
    }

    void cleanup() {
        dialog.reset();
        closeWindow();
    }

    void tabFollowsReadingOrder_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("order"); // from the focus the view opens with
        QTest::newRow("input form") << "input form"
                                    << "Text1 Text2 Combo1 Text3 Text4 Text5 Option1 Option3 "
                                       "Text6 Text7 Text8 Text9 Text10 Text11 Text12 Command1";
        QTest::newRow("reduction values")
            << "reduction values"
            << "ScrollBar1 ScrollBar2 cmdback cmdOK cmdCancel cmdApply";
        QTest::newRow("chart options") << "chart options"
                                       << "Check1 Check2 Slider1 Check3 Check4 Check6 Slider2 "
                                          "Combo1 Combo2 cmdOK cmdCancel cmdApply";
        QTest::newRow("about box") << "about box"
                                   << "cmdOK cmdSysInfo";
        QTest::newRow("settings")
            << "settings"
            << "txtGdtAnfrage cmdGdtAnfrage txtGdtErgebnis cmdGdtErgebnis "
               "txtGdtEigene txtGdtPraxis cboGdtZeichensatz txtGdtVerfahren "
               "cboGdtNamen txtGdtPdf cmdGdtPdf cmdOK cmdCancel qt_tabwidget_tabbar";
        QTest::newRow("browser") << "browser"
                                 << "cboAddress brwWebBrowser";
        QTest::newRow("Verlauf") << "Verlauf"
                                 << "tblVerlauf";
        QTest::newRow("Fälle") << "Fälle"
                               << "txtSuche chkAbgeschlossen cmdOrdner tblFaelle";
        QTest::newRow("chart") << "follow-up chart"
                               << "Chart1"; // a stop of its own, the only one in its window
    }

    void tabFollowsReadingOrder() {
        QFETCH(QString, view);
        QFETCH(QString, order);
        QStringList expected = order.split(u' ');
        QVERIFY(openView(view));
        QStringList walked;
        for (int i = 0; i <= expected.size(); ++i) {
            QWidget *focused = QApplication::focusWidget();
            QVERIFY(focused);
            walked << focused->objectName();
            QVERIFY2(!accessibleText(focused, QAccessible::Name).isEmpty(),
                     qPrintable(focused->objectName() + u" has no name"));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(walked, expected << expected.first()); // round to the start
        QVERIFY(ui.messages.isEmpty());
    }

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
        for (const char *key : {"Save", "Print", "Copy", "Doc", "Plan", "Options", "Recalc", "Gdt",
                                "Unbelegt", "Help2"})
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

    /** "Termine exportieren" belongs to the diet plan; the file dialog proposes the pet's name. */
    void exportDatesFromThePlan() {
        text(2)->setText(QStringLiteral("Bello"));
        computeCase();
        QVERIFY(!buttonShown("Termine") && !window->action(Command::ExportDates)->isEnabled());
        window->run(Command::DietPlan);
        QVERIFY(buttonShown("Termine") && window->action(Command::ExportDates)->isEnabled());
        QTemporaryDir dir;
        ui.fileNames << dir.filePath(QStringLiteral("t.ics"));
        window->dispatch(QStringLiteral("Termine"));
        QCOMPARE(ui.proposedNames, QStringList{QStringLiteral("Bello Wiegetermine.ics")});
        QFile file(dir.filePath(QStringLiteral("t.ics")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("BEGIN:VEVENT"), 9);
    }

    void namesForScreenReaders_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("species") << "input form"
                                 << "Combo1" << QAccessible::ComboBox << "Spezies" << QString();
        QTest::newRow("today's weight")
            << "input form"
            << "Text3" << QAccessible::EditableText << "heutiges Gewicht"
            << "kg";
        QTest::newRow("age") << "input form"
                             << "Text6" << QAccessible::EditableText << "Alter"
                             << "Jahre";
        QTest::newRow("energy density") << "input form"
                                        << "Text12" << QAccessible::EditableText << "Energiegehalt"
                                        << "kcal/100 g";
        QTest::newRow("rate bar") << "reduction values"
                                  << "ScrollBar1" << QAccessible::ScrollBar
                                  << "wöchentl. Gewichtsreduktion während der Diät"
                                  << "% des KGW";
        QTest::newRow("address") << "browser"
                                 << "cboAddress" << QAccessible::ComboBox << "Adresse" << QString();
        QTest::newRow("search") << "Fälle"
                                << "txtSuche" << QAccessible::EditableText
                                << "Suchen (Besitzer, Tier oder Patientennummer)" << QString();
        QTest::newRow("toolbar button") << "toolbar"
                                        << "Open" << QAccessible::Button << "Daten laden"
                                        << "Daten laden"; // the tip
        QTest::newRow("chart")
            << "follow-up chart"
            << "Chart1" << QAccessible::Chart
            << "Reduktionskurve für Katze Mäxchen (Besitzer: Jürgen Weiß), weiblich, kastriert"
            << "Die Kurve führt von 5,5 kg am 01.11.2026 zum Zielgewicht von "
               "4,5 kg am 01.02.2027; zuletzt gemessen: 4,9 kg am 07.12.2026.";
    }

    void namesForScreenReaders() {
        QFETCH(QString, view);
        QFETCH(QString, widget);
        QWidget *root = openView(view);
        QVERIFY(root);
        QWidget *named = root->findChild<QWidget *>(widget);
        QVERIFY(named);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(named);
        QTEST(face->role(), "role");
        QString name = face->text(QAccessible::Name);
        if (qobject_cast<QComboBox *>(named)) {
            // Qt on Linux reads out a list's entry as its name and its caption through the
            // label relation; other platforms read the name.
            const auto labels = face->relations(QAccessible::Label);
            QVERIFY(!labels.isEmpty());
            name = named->accessibleName();
            QVERIFY(labels.first().first->text(QAccessible::Name).startsWith(name));
        }
        QTEST(name, "name");
        QTEST(face->text(QAccessible::Description), "description");
    }

    void optionPairsAreNamedGroups_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("group");
        QTest::newRow("male") << "input form"
                              << "Option1"
                              << "Geschlecht";
        QTest::newRow("female") << "input form"
                                << "Option2"
                                << "Geschlecht";
        QTest::newRow("neutered") << "input form"
                                  << "Option3"
                                  << "Kastration";
        QTest::newRow("not neutered") << "input form"
                                      << "Option4"
                                      << "Kastration";
        QTest::newRow("reduction values, female") << "reduction values"
                                                  << "Option2"
                                                  << "Geschlecht";
        QTest::newRow("reduction values, neutered") << "reduction values"
                                                    << "Option3"
                                                    << "Kastration";
    }

    /** A reader names the pair an option belongs to, not only the option. */
    void optionPairsAreNamedGroups() {
        QFETCH(QString, view);
        QFETCH(QString, option);
        QWidget *root = openView(view);
        QVERIFY(root);
        auto *button = root->findChild<QRadioButton *>(option);
        QVERIFY(button);
        QAccessibleInterface *group = QAccessible::queryAccessibleInterface(button)->parent();
        QVERIFY(group);
        QCOMPARE(group->role(), QAccessible::Grouping);
        QTEST(group->text(QAccessible::Name), "group");
    }

    void addressAccessKey() {
        // Among the other views, as the program opens its browser windows.
        computeCase();
        auto *browser = new BrowserView(
            *window, QString(),
            [](QWidget *parent, const QString &, const QString &) { return new StubPage(parent); });
        window->mdiArea()->addSubWindow(browser)->showMaximized();
        browser->findChild<QWidget *>(QStringLiteral("brwWebBrowser"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), browser->addressBox());
    }

    void keyboardOnlyCase_data() {
        QTest::addColumn<QString>("enterIn");
        QTest::addColumn<QString>("age");  // typed just before Enter
        QTest::addColumn<QString>("view"); // active after Enter
        QTest::addColumn<QString>("message");
        QTest::newRow("in the last field") << "Text9" << QString() << "frmchart" << QString();
        QTest::newRow("on an option") << "Option3" << QString() << "frmchart" << QString();
        QTest::newRow("age refused, focus stays") << "Text6"
                                                  << "0"
                                                  << "frminput"
                                                  << "Eingabe von 0 oder kleiner nicht zulässig.";
    }

    void keyboardOnlyCase() {
        QFETCH(QString, enterIn);
        QFETCH(QString, age);
        const QMap<QString, QString> typed{{u"Text1"_s, u"Meier"_s},
                                           {u"Text2"_s, u"Bello"_s},
                                           {u"Combo1"_s, u"Kat"_s},
                                           {u"Text3"_s, u"12"_s},
                                           {u"Text4"_s, u"10"_s}};
        const auto focused = [] { return QApplication::focusWidget(); };
        // Once round the form typing the case, then on to where Enter is pressed.
        for (int stop = 0; stop < 50 && (stop == 0 || focused() != text(1)); ++stop) {
            if (focused()->objectName() == u"Option1") {
                QTest::keyClick(focused(), Qt::Key_Right); // within the pair to "weiblich"
                QTest::keyClick(focused(), Qt::Key_Space);
            } else if (focused()->objectName() == u"Option3")
                QTest::keyClick(focused(), Qt::Key_Space);
            else
                QTest::keyClicks(focused(), typed.value(focused()->objectName()));
            QTest::keyClick(focused(), Qt::Key_Tab);
        }
        QCOMPARE(focused(), text(1));
        for (int stop = 0; stop < 50 && focused()->objectName() != enterIn; ++stop)
            QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), age);
        QTest::keyClick(focused(), Qt::Key_Return);

        QTEST(window->activeViewName(), "view");
        QFETCH(QString, message);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(ui.messages[0].text, message);
        if (window->activeViewName() == u"frminput") {
            QCOMPARE(focused()->objectName(), enterIn);
            return;
        }
        const DietCase &c = window->dietCase();
        QCOMPARE(c.text(F::petName), QStringLiteral("Bello"));
        QCOMPARE(c.text(F::species), QStringLiteral("Katze"));
        QCOMPARE(c.sex(), PetSex::Female);
        QCOMPARE(c.neuterState(), NeuterState::Neutered);
        QCOMPARE(c.text(F::ageYears), age);
    }

    void focusWhereTheWorkIs_data() {
        QTest::addColumn<QString>("command"); // run with the focus in the last field
        QTest::addColumn<QString>("focus");
        QTest::newRow("start") << QString() << "Text1";
        QTest::newRow("inputs cleared") << "Delete"
                                        << "Text1";
        QTest::newRow("case loaded") << "Open"
                                     << "Text3";
    }

    void focusWhereTheWorkIs() {
        QFETCH(QString, command);
        if (!command.isEmpty()) {
            text(9)->setFocus();
            ui.fileNames << QStringLiteral(KORVALO_SOURCE_DIR "/fuzz/corpus/casefile/new.kvl");
            window->dispatch(command);
        }
        QTEST(QApplication::focusWidget()->objectName(), "focus");
        QVERIFY(ui.messages.isEmpty());
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

    void positionStoredOnlyWhereKnown_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QStringList>("stored"); // left, top, width, height in twips
        // 15 twips a pixel. A position not stored leaves the one before, 1500 by 750; the size
        // is always stored.
        const QStringList before{u"1500"_s, u"750"_s, u"9000"_s, u"6000"_s};
        QTest::newRow("X11") << u"xcb"_s << QPoint(30, 45)
                             << QStringList{u"450"_s, u"675"_s, u"9000"_s, u"6000"_s};
        QTest::newRow("X11, in the corner")
            << u"xcb"_s << QPoint(0, 0) << QStringList{u"0"_s, u"0"_s, u"9000"_s, u"6000"_s};
        QTest::newRow("X11, frame above the screen") << u"xcb"_s << QPoint(-3, -30) << before;
        QTest::newRow("X11, left of the screen") << u"xcb"_s << QPoint(-20, 100) << before;
        QTest::newRow("Wayland") << u"wayland"_s << QPoint(0, 0) << before;
        QTest::newRow("Wayland with EGL") << u"wayland-egl"_s << QPoint(30, 45) << before;
    }

    void positionStoredOnlyWhereKnown() {
        QFETCH(QString, platform);
        QFETCH(QPoint, at);
        settings.setPlacement({1500, 750, 12000, 9000});
        QWidget shown;
        shown.resize(600, 400);
        shown.move(at);
        WindowPlacement::store(shown, settings, platform);
        QStringList stored;
        for (const auto key : {AppSettings::MainLeft, AppSettings::MainTop, AppSettings::MainWidth,
                               AppSettings::MainHeight})
            stored << settings.value(key);
        QTEST(stored, "stored");
    }

    void smallScreens_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("restored"); // the input window not maximised
        QTest::newRow("netbook") << QSize(1024, 600) << false;
        QTest::newRow("remote session") << QSize(640, 480) << false;
        QTest::newRow("restored input window") << QSize(800, 600) << true;
    }

    /** On a small screen the form scrolls: the compute button is reached, nothing is cut. */
    void smallScreens() {
        QFETCH(QSize, size);
        QFETCH(bool, restored);
        window->resize(size);
        window->run(Command::ClearInputs);
        auto *sub = qobject_cast<QMdiSubWindow *>(input()->parentWidget());
        if (restored) {
            sub->showNormal();
            sub->resize(500, 300);
        }
        QTRY_COMPARE(window->size(), size);
        QPushButton *compute = input()->computeButton();
        compute->setFocus();
        QTRY_VERIFY(!compute->visibleRegion().isEmpty());
        const QRect shown(compute->mapTo(window.get(), QPoint()), compute->size());
        QVERIFY(window->rect().contains(shown));
        QVERIFY(!shown.intersects(window->statusBar()->geometry()));
    }

    void unusableSettingsFallBackToDefaults_data() {
        QTest::addColumn<QByteArray>("file");  // the settings file; empty: a folder in its place
        QTest::addColumn<QStringList>("told"); // at load, and at close after the question
        QTest::addColumn<QSize>("size");
        const QString quit = QStringLiteral("Programm beenden?");
        const QString notNumber = QStringLiteral("Fehler!  13  -  Typen unverträglich");
        const QSize defaults(800, 600);
        QTest::newRow("off every screen")
            << QByteArray("[Settings]\nMainLeft=900000\n") << QStringList{quit} << defaults;
        QTest::newRow("not a number") << QByteArray("[Settings]\nMainLeft=links\n")
                                      << QStringList{notNumber, quit} << defaults;
        QTest::newRow("a folder in its place")
            << QByteArray()
            << QStringList{quit, QStringLiteral("Fehler!  70  -  Zugriff verweigert")} << defaults;
        // 15 twips a pixel: the title bar above, the window left of, or larger than the screen.
        QTest::newRow("above the screen")
            << QByteArray("[Settings]\nMainLeft=-225\nMainTop=-4500\n") << QStringList{quit}
            << defaults;
        QTest::newRow("half off to the left")
            << QByteArray("[Settings]\nMainLeft=-6000\nMainTop=600\n") << QStringList{quit}
            << defaults;
        QTest::newRow("larger than the screen, its corner above it")
            << QByteArray("[Settings]\nMainTop=-1500\nMainWidth=13500\nMainHeight=13500\n")
            << QStringList{quit} << QSize(900, 900);
        QTest::newRow("unreadable, told, then placed")
            << QByteArray("[Settings]\nMainLeft=abc\nMainTop=-4500\n")
            << QStringList{notNumber, quit} << defaults;
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
        QTEST(window->size(), "size");
        // The title bar's corner inside the screen's free area, where the mouse can take it.
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(
            window->frameGeometry().topLeft()));
        QVERIFY(window->inputView()->isVisible());
        ui.answers << Answer::Yes;
        window->close();
        QVERIFY(!window->isVisible());
        QStringList texts;
        for (const auto &message : ui.messages)
            texts << message.text;
        QCOMPARE(texts, told);
    }

    void practiceSystemRequest_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("message"); // the start of what the user is told
        const QByteArray good = "01380006302\r\n014810000082\r\n0133000471"
                                "1\r\n0153101M\x81ller\r\n0143102Bello\r\n013362334,5\r\n";
        QTest::newRow("new patient, then sent") << good << QString();
        QTest::newRow("broken: told, form and file left")
            << QByteArray(good).replace("00082", "00099")
            << u"Die GDT-Datei „%1“ ist in Zeile 2 fehlerhaft"_s;
    }

    /** A request fills the form and goes; the plan goes back with its three PDFs. */
    void practiceSystemRequest() {
        QFETCH(QByteArray, request);
        QFETCH(QString, message);
        QTemporaryDir dir;
        GdtSettings gdt;
        gdt.requestFile = dir.filePath(u"anfrage.gdt"_s);
        gdt.resultFile = dir.filePath(u"ergebnis.gdt"_s);
        gdt.save(AppSettings::fileName());
        QFile file(gdt.requestFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(request) == request.size());
        file.close();

        window->openGdtRequest(gdt.requestFile);
        const QString told = message.arg(gdt.requestFile);
        QCOMPARE(ui.messages.value(0).text.left(told.size()), told);
        QCOMPARE(QFile::exists(gdt.requestFile), !message.isEmpty());
        QCOMPARE(text(1)->text(), message.isEmpty() ? u"Müller"_s : QString());
        if (!message.isEmpty())
            return;
        QCOMPARE(QApplication::focusWidget(), input()->speciesList());
        text(4)->setText(u"28"_s);
        window->run(Command::SendToPractice);
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.value(0).text));
        QFile result(gdt.resultFile);
        QVERIFY(result.open(QIODevice::ReadOnly));
        const Gdt::Record sent = Gdt::read(result.readAll(), gdt.resultFile);
        QCOMPARE(sent.values(Gdt::PatientNumber), QStringList{u"4711"_s});
        QCOMPARE(sent.values(Gdt::AttachmentPath).size(), 3);
        for (const QString &pdf : sent.values(Gdt::AttachmentPath))
            QVERIFY2(QFileInfo(pdf).size() > 1000, qPrintable(pdf));
        QCOMPARE(window->activeViewName(), u"frmchart"_s);
        QVERIFY(buttonShown("Gdt"));
    }

    void companionsAreDetected_data() {
        QTest::addColumn<bool>("third");
        QTest::newRow("none: the menu holds only the settings") << false;
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
        QVERIFY(window->findChild<QMenu *>(QStringLiteral("mnuextras"))->menuAction()->isEnabled());
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
        ui.answers << UserInterface::Answer::No; // "Änderungen am Fall speichern?"
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
        QCOMPARE(ui.messages.size(), 1); // only the question about the typed input
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
        const QString corpus = QStringLiteral(KORVALO_SOURCE_DIR "/fuzz/corpus/casefile/");
        QTest::newRow("case") << corpus + u"new_dog_male_neutered.kvl" << "Peter Graf" << 0;
        const QString blanks = blankFolder.filePath(u"Fall Peter Graf.kvl"_s);
        QFile::copy(corpus + u"new_dog_male_neutered.kvl", blanks);
        QTest::newRow("blanks in the path") << blanks << "Peter Graf" << 0;
        QTest::newRow("not a case") << corpus + u"bad_nul_byte.kvl" << QString() << 1;
        QTest::newRow("missing") << corpus + u"not-there.kvl" << QString() << 1;
    }

    void caseFileFromTheCommandLine() {
        QFETCH(QString, file);
        QFETCH(QString, owner);
        window->openCaseFile(file);
        QCOMPARE(text(1)->text(), owner);
        QTEST(int(ui.messages.size()), "messages");

        // The session manager restarts us with the case that loaded, and the command line
        // reads it back past Qt's -session and its value.
        const QStringList qtCommand{u"korvalo"_s, u"-session"_s, u"10a3f_1765_42"_s};
        const CommandLine::Request restart = CommandLine::read(window->restartCommand(qtCommand));
        QCOMPARE(restart.action, CommandLine::Request::Action::Start);
        QCOMPARE(restart.caseFile, owner.isEmpty() ? QString() : file);
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

    // Without the browser package the desktop shows pages; the help then needs a viewer there.
    void withoutBrowserWindowTheDesktopShows_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("message");
        QTest::newRow("web page") << "web" << 42 << "https://" << QString();
        QTest::newRow("help without a viewer")
            << "help" << Launcher::noAssociation << "/Anleitung.mht"
            << "Ungültige Dateierweiterung";
    }

    void withoutBrowserWindowTheDesktopShows() {
        QFETCH(QString, command);
        QFETCH(int, result);
        QFETCH(QString, document);
        QFETCH(QString, message);
        RecordingUserInterface recorded;
        QStringList windows;
        OutsideCommands outside(*window, settings, settings.errorReporter(recorded), recorded,
                                [&windows](const QString &address) {
                                    windows.append(address);
                                    return false;
                                });
        FakeLauncher launcher;
        launcher.result = result;
        outside.setLauncher(&launcher);
        command == u"web" ? outside.openWebPage() : outside.openHelp();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY2(launcher.opened[0].startsWith(document) || launcher.opened[0].endsWith(document),
                 qPrintable(launcher.opened[0]));
        QCOMPARE(recorded.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(recorded.messages[0].text, message);
    }

    void deferredIconsDrawLikeTheirPictures_data() {
        QTest::addColumn<QIcon>("icon");
        QTest::addColumn<QIcon>("made");
        auto *style = new DeferredIconStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        style->setParent(this); // outlives the rows
        for (const auto sp :
             {QStyle::SP_TitleBarMaxButton, QStyle::SP_ToolBarHorizontalExtensionButton,
              QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_MessageBoxQuestion})
            QTest::addRow("standard icon %d", int(sp))
                << style->standardIcon(sp) << style->baseStyle()->standardIcon(sp);
        // The command bar's pictures, each deferred as it does.
        for (const QFileInfo &file : QDir(QStringLiteral(":/korvalo/icons")).entryInfoList()) {
            const QString path = file.filePath();
            QTest::newRow(qPrintable(file.fileName()))
                << deferredIcon([path] { return QIcon(path); }) << QIcon(path);
        }
    }

    void deferredIconsDrawLikeTheirPictures() {
        QFETCH(QIcon, icon);
        QFETCH(QIcon, made);
        // Menus lay out their entries with these answers before any icon is made.
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32})
            QCOMPARE(icon.actualSize(QSize(size, size)), made.actualSize(QSize(size, size)));
        for (const qreal ratio : {1.0, 2.0}) {
            for (const auto mode : {QIcon::Normal, QIcon::Disabled})
                QCOMPARE(icon.pixmap(QSize(24, 24), ratio, mode).toImage(),
                         made.pixmap(QSize(24, 24), ratio, mode).toImage());
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
