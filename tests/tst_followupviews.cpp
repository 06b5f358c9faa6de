// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clock.h"
#include "core/germantext.h"
#include "shell/mainwindow.h"
#include "tests/mainwindowfixture.h"
#include "views/caselistview.h"
#include "views/inputview.h"
#include "views/progressview.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Meier's Bello, first seen 01.09.2026 with 30 kg towards 20 kg, weighed twice since.
QByteArray caseFile(const QByteArray &owner, const QByteArray &pet, const QByteArray &weighings) {
    return owner + "\r\n" + pet +
           "\r\n28\r\n20\r\n50\r\n5\r\n2\r\n1\r\n01.03.2027\r\nEndText1\r\nHund\r\nEndList\r\n"
           "29.09.2026\r\n01.09.2026\r\n30 kg\r\nEndText2\r\nTrue\r\nFalse\r\nTrue\r\nFalse\r\n"
           "EndOption\r\n\r\n[Korvalo]\r\n" +
           weighings;
}

const QByteArray threeWeighings =
    "Wiegung=01.09.2026;30\r\nWiegung=15.09.2026;29\r\nWiegung=29.09.2026;28\r\n";

bool write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

/** The follow-up views as a user meets them: "Verlauf" beside the curve, "Fälle" from the menu. */
class TestFollowUpViews : public MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    /** Bello loaded and weighed today (13.10.2026) with the given weight, the curve computed. */
    void weighAndCompute(const QString &weight) {
        text(3)->setFocus();
        text(3)->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), weight);
        input()->computeButton()->click();
    }

    QStringList shownRows() const {
        const QTableWidget *table = window->progressView()->table();
        QStringList rows;
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells << table->item(r, c)->text();
            rows << cells.join(u'\t');
        }
        return rows;
    }

    QStringList listedOwners() const {
        const QAbstractItemModel *model = window->caseListView()->table()->model();
        QStringList owners;
        for (int r = 0; r < model->rowCount(); ++r)
            owners << model->index(r, 0).data().toString();
        return owners;
    }

    /** The list with the temporary folder added, the scan ended. */
    CaseListView *openCaseList() {
        ui.folderNames << m_dir.path();
        window->run(Command::CaseList);
        CaseListView *list = window->caseListView();
        list->findChild<QPushButton *>(u"cmdOrdner"_s)->click();
        [&] { QTRY_VERIFY(!list->isScanning()); }();
        return list;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(write(m_dir.filePath(u"bello.kvl"_s), caseFile("Meier", "Bello", threeWeighings)));
        QVERIFY(write(m_dir.filePath(u"minka.kvl"_s),
                      caseFile("Schulz", "Minka", "Wiegung=01.12.2026;8\r\n")));
        QVERIFY(write(m_dir.filePath(u"rex.kvl"_s),
                      caseFile("Albers", "Rex", "Wiegung=20.11.2026;30\r\n")));
        QVERIFY(write(m_dir.filePath(u"notiz.kvl"_s), "Einkaufsliste\r\n"));
    }

    void init() {
        clearSettings();
        Clock::setToday(QDate(2026, 10, 13));
        openWindow(true);
        window->openCaseFile(m_dir.filePath(u"bello.kvl"_s));
    }

    void cleanup() { closeWindow(); }

    void followUpRows_data() {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("latest"); // date, weight, days, change, loss, status
        QTest::addColumn<QString>("advice");
        QTest::newRow("on plan")
            << "27"
            << "13.10.2026\t27,00\t14\t-1,00\t1,8\tim Plan"
            << "Im Plan: Futtermenge beibehalten, nächste Wiegung in 4 Wochen.";
        QTest::newRow("gained: too slow")
            << "28,5"
            << "13.10.2026\t28,50\t14\t+0,50\t-0,9\tzu langsam"
            << "Gewichtsabnahme zu langsam: Futtermenge um 10 % verringern und in 2 Wochen "
               "erneut wiegen.";
        QTest::newRow("too fast")
            << "26,5"
            << "13.10.2026\t26,50\t14\t-1,50\t2,7\tzu schnell"
            << "Gewichtsabnahme zu schnell (mehr als 2 % pro Woche): Futtermenge um 10 % "
               "erhöhen und in 2 Wochen erneut wiegen.";
    }

    /** Four weighings, one row each; the view follows each new computation. */
    void followUpRows() {
        QFETCH(QString, weight);
        QFETCH(QString, latest);
        QFETCH(QString, advice);
        QVERIFY(!window->action(Command::FollowUp)->isEnabled()); // no curve yet
        weighAndCompute(u"28"_s);
        QVERIFY(window->toolbarSlot(u"Verlauf"_s)->isVisible());
        window->dispatch(u"Verlauf"_s);
        QCOMPARE(window->activeViewName(), u"frmVerlauf"_s);
        QCOMPARE(window->progressView()->title(), u"Verlauf für Bello (Besitzer: Meier)"_s);

        window->mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow *>(input()->parentWidget()));
        weighAndCompute(weight);
        const QStringList rows = shownRows();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], u"01.09.2026\t30,00\t\t\t\t\t\tErste Wiegung"_s);
        QCOMPARE(rows[1].section(u'\t', 0, 4), u"15.09.2026\t29,00\t14\t-1,00\t1,7"_s);
        QCOMPARE(rows[2].section(u'\t', 0, 4), u"29.09.2026\t28,00\t14\t-1,00\t1,7"_s);
        const QStringList last = rows[3].split(u'\t');
        QCOMPARE(QStringList(last.mid(0, 5) + last.mid(7)).join(u'\t'), latest);
        // The planned weight is the curve's; the deviation must agree with it to the cent.
        const double planned = GermanText::parseNumber(last[5]);
        const double deviation = GermanText::parseNumber(QString(last[6]).remove(u'+'));
        QCOMPARE(GermanText::fromNumber(GermanText::parseNumber(weight) - planned, 2),
                 GermanText::fromNumber(deviation, 2));
        QCOMPARE(window->progressView()->advice(), advice);
        QCOMPARE(window->progressView()->findChild<QLabel *>(u"lblAdvice"_s)->text(), advice);
    }

    void adjustRation_data() {
        QTest::addColumn<QString>("species");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<int>("percent");  // before the click
        QTest::addColumn<int>("adjusted"); // -1: no button
        QTest::newRow("dog too slow") << u"Hund"_s << u"28,5"_s << 100 << 90;
        QTest::newRow("dog too fast") << u"Hund"_s << u"26,5"_s << 100 << 110;
        QTest::newRow("cat at 90 %: its floor") << u"Katze"_s << u"28,5"_s << 90 << 90;
        QTest::newRow("on plan: no button") << u"Hund"_s << u"27"_s << 100 << -1;
        QTest::newRow("rabbit: no button") << u"Kaninchen"_s << u"28,5"_s << 100 << -1;
    }

    /** "Ration anpassen" beside advice off plan: once per weighing, a cat kept fed. */
    void adjustRation() {
        QFETCH(QString, species);
        QFETCH(QString, weight);
        QFETCH(int, percent);
        QFETCH(int, adjusted);
        input()->speciesList()->setCurrentText(species);
        window->dietCase().setRationPercent(percent);
        weighAndCompute(weight);
        window->run(Command::FollowUp);
        QPushButton *button = window->progressView()->adjustRationButton();
        QCOMPARE(button->isVisible(), adjusted >= 0);
        if (adjusted < 0)
            return;
        button->click();
        QCOMPARE(window->dietCase().rationPercent(), adjusted);
        QCOMPARE(ui.messages.size(), adjusted == percent ? 1 : 0);
        QCOMPARE(button->isEnabled(), adjusted == percent);
        const auto *shown = window->progressView()->findChild<QLabel *>(u"lblRation"_s);
        QCOMPARE(shown->text(), u"Ration: %1 % der Ausgangsmenge"_s.arg(adjusted));
    }

    /** The score's target taken over, the ration below the fields, a bad score refused. */
    void feedingOnTheForm() {
        const auto type = [](QLineEdit *field, const QString &keys) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(QApplication::focusWidget(), keys);
        };
        type(text(3), u"34"_s);
        type(text(10), u"8"_s);
        QCOMPARE(input()->suggestion()->text(), u"Vorgeschlagenes Zielgewicht: 26,2 kg"_s);
        input()->takeSuggestionButton()->click();
        QCOMPARE(text(4)->text(), u"26,2"_s);
        QCOMPARE(text(5)->text(), u"30"_s); // the derived overweight follows
        QVERIFY(input()->ration()->isHidden());
        type(text(11), u"Light Trockenfutter"_s);
        type(text(12), u"350"_s);
        QCOMPARE(input()->ration()->text(), u"Tagesration: 232 g Light Trockenfutter (811 kcal), "
                                            u"davon höchstens 81 kcal als Leckerli"_s);

        type(text(10), u"10"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(u"Eingabefeld 'Körperkondition (BCS 1–9):'"_s));
        QCOMPARE(QApplication::focusWidget(), text(10));

        window->run(Command::ClearInputs);
        for (int n : {10, 11, 12})
            QVERIFY(text(n)->text().isEmpty());
        QVERIFY(input()->ration()->isHidden() && input()->suggestion()->isHidden());
    }

    void followUpOutputs_data() {
        QTest::addColumn<bool>("print");
        QTest::newRow("print") << true;
        QTest::newRow("copy") << false;
    }

    /** Printed and copied: the rows with every number as shown, then the advice. */
    void followUpOutputs() {
        QFETCH(bool, print);
        weighAndCompute(u"28"_s);
        window->run(Command::FollowUp);
        const QStringList rows = shownRows();
        const QString advice = window->progressView()->advice();
        if (print) {
            const QString pdf = m_dir.filePath(u"verlauf.pdf"_s);
            ui.printRequests << UserInterface::PrintRequest({}, pdf);
            window->run(Command::Print);
            QProcess text;
            text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
            QVERIFY(text.waitForFinished());
            const QString page = QString::fromUtf8(text.readAllStandardOutput()).simplified();
            QVERIFY2(page.contains(u"Verlauf für Bello (Besitzer: Meier)"_s), qPrintable(page));
            for (const QString &row : rows)
                QVERIFY2(page.contains(QString(row).replace(u'\t', u' ').simplified()),
                         qPrintable(row + u"\n" + page));
            QVERIFY(page.contains(advice));
        } else {
            window->dispatch(u"Copy"_s);
            const QMimeData *data = QGuiApplication::clipboard()->mimeData();
            const QStringList lines = data->text().split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.mid(1, 4), rows);
            QCOMPARE(lines.value(5), advice);
            QVERIFY(lines[0].startsWith(u"Datum\tGewicht (kg)\tTage\t"_s));
            QVERIFY(data->html().contains(u"28,00</td>"_s));
        }
    }

    void caseList_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("owners");
        // Bello's last weighing was 29.09. on plan, Rex's 20.11., Minka's 01.12.
        QTest::newRow("all, by due date")
            << "" << QStringList{u"Meier"_s, u"Albers"_s, u"Schulz"_s};
        QTest::newRow("owner, any case") << "sCHu" << QStringList{u"Schulz"_s};
        QTest::newRow("pet") << "rex" << QStringList{u"Albers"_s};
        QTest::newRow("nobody") << "Bruno" << QStringList{};
    }

    /** Sorted by due date, overdue marked, filtered as the user types, skipped files told. */
    void caseList() {
        QFETCH(QString, search);
        Clock::setToday(QDate(2026, 12, 7));
        CaseListView *list = openCaseList();
        QCOMPARE(list->statusLine()->text(), u"3 Fälle  ·  1 Datei übersprungen"_s);
        QVERIFY(!list->cancelButton()->isVisible());
        const QAbstractItemModel *model = list->table()->model();
        const auto due = [&](int row) { return model->index(row, 7); };
        QCOMPARE(due(0).data().toString(), u"27.10.2026"_s);      // on plan: 28 days after 29.09.
        QVERIFY(due(0).data(Qt::FontRole).value<QFont>().bold()); // overdue
        QCOMPARE(due(2).data().toString(), u"15.12.2026"_s);
        QVERIFY(!due(2).data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(model->index(0, 3).data().toString() + u' ' + model->index(0, 4).data().toString(),
                 u"29.09.2026 28,00"_s);

        list->searchBox()->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), search);
        QTEST(listedOwners(), "owners");
    }

    /** "Abbrechen" during a scan keeps the list as it was and says so. */
    void caseListScanCanBeCancelled() {
        window->run(Command::CaseList);
        CaseListView *list = window->caseListView();
        QTRY_VERIFY(!list->isScanning());
        const int before = list->table()->model()->rowCount();
        ui.folderNames << m_dir.path();
        list->findChild<QPushButton *>(u"cmdOrdner"_s)->click();
        QVERIFY(list->cancelButton()->isVisible());
        QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!list->isScanning());
        QCOMPARE(list->statusLine()->text(), u"Einlesen abgebrochen."_s);
        QCOMPARE(list->table()->model()->rowCount(), before);
        QVERIFY(!list->cancelButton()->isVisible());
    }

    void caseListLoadsTheChosenCase_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter in the search box") << "search";
        QTest::newRow("Enter on the row") << "row";
        QTest::newRow("double-click") << "click";
    }

    /** The case found loads as "Daten laden" loads it, and the input form comes forward. */
    void caseListLoadsTheChosenCase() {
        QFETCH(QString, how);
        Clock::setToday(QDate(2026, 12, 7));
        window->run(Command::ClearInputs);
        CaseListView *list = openCaseList();
        list->searchBox()->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), u"Minka"_s);
        QTableView *table = list->table();
        if (how == u"search") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (how == u"row") {
            table->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            const QPoint row = table->visualRect(table->model()->index(0, 1)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row); // the first click
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
        }
        QCOMPARE(window->activeViewName(), u"frminput"_s);
        QCOMPARE(text(1)->text(), u"Schulz"_s);
        QCOMPARE(text(2)->text(), u"Minka"_s);
        QVERIFY(ui.messages.isEmpty());
    }
};

QTEST_MAIN(TestFollowUpViews)
#include "tst_followupviews.moc"
