// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/sheetcontrol.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/recordinguserinterface.h"
#include "files/appsettings.h"
#include "views/sheetview.h"
#include "views/viewhost.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include <memory>

using Icon = UserInterface::Icon;

namespace {

class FakeHost : public ViewHost {
public:
    void set_toolbar(View view) override { toolbar = view; }
    void setToolTip(ToolKey key, const QString &text) override { toolTips[key] = text; }
    void setExitCaption(const QString &text) override { exitCaption = text; }
    DietCase &dietCase() override { return theCase; }
    UserInterface &ui() override { return recorder; }
    const AppSettings &settings() const override { return appSettings; }
    const ErrorReporter &errors() const override { return reporter; }

    View toolbar = View::Input;
    QHash<ToolKey, QString> toolTips;
    QString exitCaption;
    DietCase theCase;
    RecordingUserInterface recorder;
    AppSettings appSettings;
    ErrorReporter reporter = appSettings.errorReporter(recorder);
};

/** Row and column of a cell name such as "D36". */
std::pair<int, int> at(const QString &name) {
    return {name.mid(1).toInt(), name.at(0).unicode() - u'A' + 1};
}

bool hasInk(const QImage &image, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

} // namespace

class TestSheetView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<SheetView> view;

    SheetControl &sheet() { return *view->sheet(); }
    QString text(const QString &name) {
        const auto [row, col] = at(name);
        return sheet().cellText(row, col);
    }

    void open(const QString &petName = QString()) {
        host->theCase.setText(DietCase::Field::petName, petName);
        view = std::make_unique<SheetView>(*host);
    }

private slots:
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                  QStringLiteral("Korvalo"))
            .clear();
        Clock::setToday(QDate(2026, 6, 15));
        host = std::make_unique<FakeHost>();
    }

    void cleanup() {
        view.reset();
        Clock::setToday(QDate());
    }

    void templateCells_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        const auto row = [](const char *cell, const char *text, bool locked, double points,
                            bool bold) {
            QTest::newRow(cell) << QString::fromUtf8(cell) << QString::fromUtf8(text) << locked
                                << points << bold;
        };
        row("A1", "Diätplan für :", true, 12, true);
        row("B1", "", false, 12, true);
        row("A2", "Verwendetes Futter:", true, 10, true);
        row("A3", "Erlaubte Snacks: ", true, 10, true);
        row("A4", "Diättag ", true, 10, true);
        row("B4", "Futtermenge ", true, 10, true);
        row("C4", "Diättag ", true, 10, true);
        row("D4", "Futtermenge ", true, 10, true);
        for (const char *cell : {"A6", "C6", "A14", "C14", "A22", "C22", "A30", "C30"})
            row(cell, "(Tier wiegen!)", true, 10, true);
        row("D22", "Termin Tierarzt!", true, 7.5, true);
        row("A5", "15.06.2026", true, 9, false);
        row("D36", "", false, 10, false);
        row("A37", "", true, 10, false);
        row("B37", "", false, 10, false);
        row("D37", "", true, 10, false);
        row("B38", "", false, 10, false);
    }

    void templateCells() {
        QFETCH(QString, cell);
        open();
        const auto [row, col] = at(cell);
        QTEST(sheet().cellText(row, col), "text");
        QTEST(sheet().isCellLocked(row, col), "locked");
        QTEST(sheet().cellFont(row, col).pointSizeF(), "points");
        QTEST(sheet().cellFont(row, col).bold(), "bold");
        // The dates' terminal font is not installed here: they take the sheet's family.
        QVERIFY(!sheet().cellFont(row, col).fixedPitch());
        QCOMPARE(sheet().cellFont(row, col).family(), QStringLiteral("Arial"));
    }

    void layoutAndPageSetup() {
        open();
        QVERIFY(sheet().columnCount() == 4 && sheet().rowCount() == 38); // E onward hidden
        QCOMPARE(sheet().rangeSize(1, 1, 4, 1).height(), 3 * 28.35 + 20.1);
        QCOMPARE(sheet().rangeSize(5, 1, 38, 1).height(), 33 * 17 + 12.75);
        const double a = sheet().rangeSize(1, 1, 1, 1).width();
        const double b = sheet().rangeSize(1, 2, 1, 2).width();
        QCOMPARE(sheet().rangeSize(1, 1, 1, 4).width(), 2 * (a + b)); // C as A, D as B
        QVERIFY(b > 2 * a && b < 2.3 * a); // 32 against 14.7 characters, plus padding

        const SheetPageSetup &page = sheet().pageSetup();
        QCOMPARE(page.layout, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(0.75, 1, 0.75, 1), QPageLayout::Inch));
        QVERIFY(page.scalePercent == 100 && page.headerMarginCm == 1.25 &&
                page.footerMarginCm == 1.25 && page.header.isEmpty() && page.footer.isEmpty());
        QVERIFY(!page.gridLines && !page.headings);
    }

    void loadAndActivate_data() {
        QTest::addColumn<QString>("petName");
        QTest::newRow("named") << "Bello";
        QTest::newRow("empty") << "";
        QTest::newRow("formula stays text") << "=SUMME(A1:A3)";
    }

    void loadAndActivate() {
        QFETCH(QString, petName);
        open(petName);
        QCOMPARE(text(u"B1"_qs), petName);
        QCOMPARE(text(u"A1"_qs), QStringLiteral("Diätplan für :"));
        QCOMPARE(view->objectName(), QStringLiteral("frmSheet"));
        QCOMPARE(view->windowTitle(), QStringLiteral("Diätplan"));
        QCOMPARE(sheet().objectName(), QStringLiteral("sheet1"));
        QVERIFY(!sheet().isRowColumnEditingEnabled());
        view->activate();
        QCOMPARE(host->toolbar, View::Sheet);
        QCOMPARE(host->toolTips.value(ToolKey::Copy), QStringLiteral("Diätplan kopieren"));
        QCOMPARE(host->toolTips.value(ToolKey::Back), QStringLiteral("Zurück"));
        QCOMPARE(host->exitCaption, QStringLiteral("Zurück"));
        QVERIFY(host->recorder.messages.isEmpty());
    }

    void datesRunFromToday_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("dates"); // cell=text pairs
        QTest::newRow("ordinary") << QDate(2026, 6, 15)
                                  << "A5=15.06.2026 A7=16.06.2026 A8=17.06.2026 A9=18.06.2026 "
                                     "A36=12.07.2026 C5=13.07.2026 C36=09.08.2026";
        QTest::newRow("year end") << QDate(2026, 12, 31)
                                  << "A5=31.12.2026 A7=01.01.2027 A8=02.01.2027 A9=03.01.2027 "
                                     "A36=27.01.2027 C5=28.01.2027 C36=24.02.2027";
        QTest::newRow("leap day") << QDate(2028, 2, 27)
                                  << "A5=27.02.2028 A7=28.02.2028 A8=29.02.2028 A9=01.03.2028 "
                                     "A36=25.03.2028 C5=26.03.2028 C36=22.04.2028";
    }

    void datesRunFromToday() {
        QFETCH(QDate, today);
        QFETCH(QString, dates);
        Clock::setToday(today);
        open();
        for (const QString &pair : dates.split(u' '))
            QCOMPARE(text(pair.section(u'=', 0, 0)), pair.section(u'=', 1));
        // 56 days without a gap, A before C, around the reminder rows.
        QDate expected = today;
        for (const int col : {1, 3}) {
            for (int row = 5; row <= 36; ++row) {
                if (row != 6 && row != 14 && row != 22 && row != 30) {
                    QCOMPARE(sheet().cellDate(row, col), expected);
                    expected = expected.addDays(1);
                }
            }
        }
        QCOMPARE(expected, today.addDays(56));
    }

    void lastWritableDayIsReported() {
        host->appSettings.setValue(AppSettings::ErrorValue, QStringLiteral("1"));
        Clock::setToday(QDate(9999, 12, 1));
        open(u"Bello"_qs);
        QCOMPARE(host->recorder.messages.size(), 1);
        const auto message = host->recorder.messages.first();
        QVERIFY2(message.text.startsWith(u"Fehler!  6  -  Überlauf") &&
                     message.text.endsWith(u"  -  frmSheet-Function fill_dates"),
                 qPrintable(message.text));
        QCOMPARE(message.icon, Icon::Critical);
        QCOMPARE(text(u"A36"_qs), QStringLiteral("28.12.9999"));
        QCOMPARE(text(u"C8"_qs), QStringLiteral("31.12.9999"));
        QCOMPARE(text(u"C9"_qs), QString());
        QCOMPARE(text(u"B1"_qs), QStringLiteral("Bello"));
    }

    void keyGuard_data() {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("locked");

        QTest::newRow("title A1") << "A1" << int(Qt::Key_X) << "x" << true;
        QTest::newRow("date A7") << "A7" << int(Qt::Key_5) << "5" << true;
        QTest::newRow("heading D4") << "D4" << int(Qt::Key_A) << "a" << true;
        QTest::newRow("vet note D22") << "D22" << int(Qt::Key_Space) << " " << true;
        QTest::newRow("delete on date") << "A5" << int(Qt::Key_Delete) << "" << true;
        QTest::newRow("edit key on heading") << "B4" << int(Qt::Key_F2) << "" << true;
        QTest::newRow("block touching a date") << "B5:C5" << int(Qt::Key_2) << "2" << true;
        QTest::newRow("feed B5") << "B5" << int(Qt::Key_2) << "2" << false;
        QTest::newRow("feed D36") << "D36" << int(Qt::Key_7) << "7" << false;
    }

    void keyGuard() {
        QFETCH(QString, selection);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(bool, locked);
        open(u"Bello"_qs);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        const auto [row1, col1] = at(selection.section(u':', 0, 0));
        const auto [row2, col2] = at(selection.section(u':', -1));
        sheet().selectRange(row1, col1, row2, col2);
        QCOMPARE(sheet().isEditingEnabled(), !locked);
        const QString before = sheet().copyBlockText(1, 1, 38, 4).text;

        QTableWidget *table = sheet().table();
        QTest::sendKeyEvent(QTest::Click, table, Qt::Key(key), typed, Qt::NoModifier);
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        if (locked) {
            QCOMPARE(host->recorder.messages.size(), 1);
            const auto message = host->recorder.messages.first();
            QCOMPARE(message.text, QStringLiteral("Eingabe in diesem Bereich ist nicht möglich."));
            QCOMPARE(message.icon, Icon::Information);
            QCOMPARE(message.title, QStringLiteral("KORVALO"));
            QVERIFY(!editor || !editor->isVisible());
            QCOMPARE(sheet().copyBlockText(1, 1, 38, 4).text, before);
        } else {
            QVERIFY(editor && editor->isVisible());
            QTest::keyClicks(editor, u" g"_qs);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(sheet().cellText(row1, col1), typed + u" g");
            QVERIFY(host->recorder.messages.isEmpty());
        }
    }

    void copyBlockLeavesOutRow37() {
        open(u"Bello"_qs);
        sheet().setCellText(2, 2, u"Diät\t\"leicht\""_qs);
        sheet().setCellText(5, 2, u"200 g"_qs);
        sheet().setCellText(37, 2, u"nicht im Block"_qs);
        const SheetBlock block = sheet().copyBlockText(1, 1, 36, 4);
        QStringList lines = block.text.split(u'\n');
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 36);
        QCOMPARE(lines[0], QStringLiteral("Diätplan für :\tBello\t\t"));
        QCOMPARE(lines[1], QStringLiteral("Verwendetes Futter:\t\"Diät\t\"\"leicht\"\"\"\t\t"));
        QCOMPARE(lines[3], QStringLiteral("Diättag \tFuttermenge \tDiättag \tFuttermenge "));
        QCOMPARE(lines[4], QStringLiteral("15.06.2026\t200 g\t13.07.2026\t"));
        QCOMPARE(lines[35], QStringLiteral("12.07.2026\t\t09.08.2026\t"));
        for (const QString &line : std::as_const(lines).mid(4))
            QCOMPARE(line.count(u'\t'), 3);
        QVERIFY(!block.text.contains(u"nicht im Block"));
        QCOMPARE(block.html.count(u"<tr"), 36);
        QVERIFY(block.html.contains(u">Bello</td>"));

        sheet().selectRange(1, 1, 36, 4);
        sheet().copySelection();
        QCOMPARE(QGuiApplication::clipboard()->text(), block.text);
    }

    void renderDrawsTextWithoutGridLines() {
        open(u"Bello"_qs);
        const QSizeF natural = sheet().rangeSize(1, 1, 36, 4);
        QImage page(1000, 400, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        sheet().renderRange(&painter, QRectF(0, 0, 1000, 400), 1, 1, 36, 4);
        sheet().renderRange(&painter, QRectF(800, 0, 200, 400), 5, 2, 12, 2); // empty cells
        painter.end();
        // Scaled by one factor to the target's height: nothing right of the scaled width.
        const int width = qCeil(400 * natural.width() / natural.height());
        const int firstRow = qFloor(400 * 28.35 / natural.height());
        QVERIFY(hasInk(page, QRect(0, 0, width / 4, firstRow))); // "Diätplan für :"
        QVERIFY(!hasInk(page, QRect(width + 1, 0, 790 - width, 400)));
        QVERIFY(!hasInk(page, QRect(800, 0, 200, 400))); // no grid lines
    }
};

QTEST_MAIN(TestSheetView)
#include "tst_sheetview.moc"
