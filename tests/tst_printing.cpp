// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/richtextcontrol.h"
#include "core/clock.h"
#include "core/printtexts.h"
#include "core/recordinguserinterface.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "shell/mainwindow.h"
#include "tests/mainwindowfixture.h"
#include "views/documentview.h"
#include "views/inputview.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using F = DietCase::Field;

Q_DECLARE_METATYPE(Command)

class TestPrinting : public MainWindowFixture {
    Q_OBJECT

private:
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

    /** The words of a PDF's first page with their boxes, in points from the top left. */
    static QList<std::pair<QString, QRectF>> pdfWords(const QString &pdf) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                 QStringLiteral("1"), pdf, QStringLiteral("-")});
        text.waitForFinished();
        QList<std::pair<QString, QRectF>> words;
        const QRegularExpression word(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"));
        for (const auto &m : word.globalMatch(QString::fromUtf8(text.readAllStandardOutput()))) {
            const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
            const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
            words.append({m.captured(5), QRectF(from, to)});
        }
        return words;
    }

    /** The PDF's first page in grey at one pixel a point; a null image when it fails. */
    QImage firstPageGrey(const QString &pdf, const QString &name) const {
        QProcess raster;
        const QString prefix = dir.filePath(name);
        raster.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                      QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
        if (!raster.waitForFinished() || raster.exitCode() != 0)
            return {};
        return QImage(prefix + u".png");
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
        clearSettings();
        openWindow();
    }

    void cleanup() { closeWindow(); }

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

    /** The printed chart is laid out for the page: its text is as tall from any window. */
    void chartTextKeepsItsSize() {
        QList<double> heights; // the title's and the footnote's first word, per window size
        for (const QSize size : {QSize(800, 600), QSize(1400, 950), QSize(1920, 1200)}) {
            window->resize(size);
            computeCase();
            const QString pdf = dir.filePath(QStringLiteral("sized.pdf"));
            ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
            window->run(Command::Print);
            QMap<QString, double> height;
            for (const auto &[text, box] : pdfWords(pdf))
                height.insert(text, box.height());
            heights << height.value(QStringLiteral("Reduktionskurve"))
                    << height.value(QStringLiteral("Wichtig:"));
        }
        QVERIFY(heights[0] > 10 && heights[1] > 7); // about 14 and 11 points at 1,2 times
        for (int i = 2; i < heights.size(); ++i)
            QVERIFY2(
                qAbs(heights[i] - heights[i % 2]) < 0.1,
                qPrintable(QStringLiteral("%1 against %2").arg(heights[i]).arg(heights[i % 2])));
    }

    // The logo is chosen with the logo command, then its file is deleted before printing.
    void vanishedLogoIsTold_data() {
        QTest::addColumn<Command>("view");
        QTest::addColumn<QString>("printed"); // text of the printout's end
        QTest::newRow("chart") << Command::ReductionCurve
                               << QStringLiteral("Erstellt mit KORVALO ® am 07.12.2026");
        QTest::newRow("info sheet") << Command::InfoSheet << QStringLiteral("Falls Bello bettelt:");
    }
    void vanishedLogoIsTold() {
        QFETCH(Command, view);
        QFETCH(QString, printed);
        computeCase();
        const QString logo = dir.filePath(QStringLiteral("praxis.gif"));
        QFile::remove(logo);
        QVERIFY(QFile::copy(QStringLiteral(KORVALO_SOURCE_DIR "/resources/kvl_logo.gif"), logo));
        ui.fileNames << logo;
        window->run(Command::ChangeLogo);
        QVERIFY(QFile::remove(logo));
        ui.messages.clear();

        window->run(view); // the info sheet loads its logo here, the chart when printing
        const QString pdf = dir.filePath(QStringLiteral("nologo.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Es konnte keine Grafik für das Logo der Infodatei gefunden "
                                "werden. Bitte führen Sie die Installation von KORVALO ® erneut "
                                "aus, um das Logo zu installieren."));
        QCOMPARE(ui.messages[0].icon, UserInterface::Icon::Exclamation);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Kein Logo für Infoblatt gefunden!"));
        QVERIFY(pdfText(pdf).contains(printed)); // printed all the same
        QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvalo"),
                           QStringLiteral("Korvalo"))
                     .value(QStringLiteral("Settings/PicPath")),
                 logo); // the choice is kept for when the file is back
    }

    void cancelPrintsNothing() {
        computeCase();
        window->run(Command::Print);
        QCOMPARE(ui.printDialogs, 1);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("cancel")).isEmpty());
    }

    // A printer that was chosen but is gone: a queue never known, or one whose scheduler
    // was killed (scripts/print-check does that and names the queue).
    void vanishedPrinterIsTold_data() {
        QTest::addColumn<Command>("view");
        QTest::addColumn<QString>("printer");
        const QString killed = qEnvironmentVariable("KORVALO_DEAD_QUEUE");
        QTest::newRow("unknown, chart") << Command::ReductionCurve << QStringLiteral("Weg");
        QTest::newRow("killed, chart") << Command::ReductionCurve << killed;
        QTest::newRow("killed, diet plan") << Command::DietPlan << killed;
        QTest::newRow("killed, info sheet") << Command::InfoSheet << killed;
    }
    void vanishedPrinterIsTold() {
        QFETCH(Command, view);
        QFETCH(QString, printer);
        if (printer.isEmpty())
            QSKIP("KORVALO_DEAD_QUEUE names no queue; scripts/print-check sets it");
        computeCase();
        window->run(view);
        ui.printRequests << UserInterface::PrintRequest{printer, QString(), 1, 1};
        window->run(Command::Print);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, u"Der Drucker „" + printer +
                                          u"“ ist nicht mehr verfügbar. Bitte wählen Sie "
                                          u"einen anderen Drucker.");
        QCOMPARE(ui.messages[0].icon, UserInterface::Icon::Critical);
    }

    void refusingPrinterIsTold_data() {
        QTest::addColumn<Command>("view");
        QTest::newRow("chart") << Command::ReductionCurve;
        QTest::newRow("diet plan") << Command::DietPlan;
        QTest::newRow("info sheet") << Command::InfoSheet;
    }

    /** A queue that refuses jobs or is stopped is told, and the job is not handed over. */
    void refusingPrinterIsTold() {
        QFETCH(Command, view);
        const QString queue = qEnvironmentVariable("KORVALO_REFUSING_QUEUE");
        const QString how = qEnvironmentVariable("KORVALO_REFUSAL"); // "refuses" or "stopped"
        if (queue.isEmpty())
            QSKIP("KORVALO_REFUSING_QUEUE names no queue; scripts/print-check sets it");
        computeCase();
        window->run(view);
        ui.printRequests << UserInterface::PrintRequest{queue, QString(), 1, 1};
        window->run(Command::Print);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 str(how == u"stopped" ? S::PrinterStopped : S::PrinterRefuses).arg(queue));
        QCOMPARE(ui.messages[0].icon, UserInterface::Icon::Critical);
    }

    void inputFormPrintsNothing() {
        window->run(Command::Print);
        QCOMPARE(ui.printDialogs, 0);
    }

    void sheetHeader_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("nothing entered") << QStringList{} << "Diätplan für  ";
        QTest::newRow("everything")
            << QStringList{QStringLiteral("owner=Meier"), QStringLiteral("pet=Bello"),
                           QStringLiteral("species=Hund")}
            << "Diätplan für Hund Bello (Besitzer: Meier), männlich, "
               "kastriert  ";
    }

    void sheetHeader() {
        QFETCH(QStringList, edits);
        DietCase c;
        c.setText(F::species, QString());
        for (const QString &edit : edits) {
            const QString value = edit.section(u'=', 1);
            if (edit.startsWith(u"owner"))
                c.setText(F::ownerName, value);
            else if (edit.startsWith(u"pet"))
                c.setText(F::petName, value);
            else
                c.setText(F::species, value);
        }
        if (!edits.isEmpty()) {
            c.setOptionSelected(1, true);
            c.setOptionSelected(3, true);
        }
        c.setText(F::targetWeight, QStringLiteral("10"));
        c.setText(F::todayWeight, QStringLiteral("12"));
        c.setText(F::dietEndDate, QStringLiteral("04.02.2027"));
        const QStringList lines = planSheetHeader(c).split(u'\r');
        QCOMPARE(lines.size(), 2);
        QTEST(lines[0], "firstLine");
        QCOMPARE(lines[1], QStringLiteral("Gewicht am 07.12.2026: 12 kg, Zielgewicht am "
                                          "04.02.2027: 10 kg"));
        QCOMPARE(planSheetFooter(QDate(2027, 1, 3)),
                 QStringLiteral("Erstellt mit KORVALO ® am 03.01.2027"));
    }

    // Long names wrap between the side margins instead of running off the paper.
    void sheetHeaderWithinMargins_data() {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("pet");
        QTest::newRow("short") << QStringLiteral("Meier") << QStringLiteral("Bello");
        QTest::newRow("long") << QStringLiteral(
                                     "Dr. med. vet. Hildegard Schneider-Leutheusser-Grabowski")
                              << QStringLiteral("Prinzessin Lillifee vom Rosenhof");
    }
    void sheetHeaderWithinMargins() {
        QFETCH(QString, owner);
        QFETCH(QString, pet);
        DietCase &c = window->dietCase();
        c.setText(F::ownerName, owner);
        c.setText(F::petName, pet);
        c.setText(F::species, QStringLiteral("Meerschweinchen"));
        c.setOptionSelected(2, true);
        c.setOptionSelected(4, true);
        c.setText(F::targetWeight, QStringLiteral("1,1"));
        c.setText(F::todayWeight, QStringLiteral("1,4"));
        window->run(Command::ReductionCurve);
        window->run(Command::DietPlan);
        const QString pdf = dir.filePath(QStringLiteral("margins.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);

        const auto words = pdfWords(pdf);
        QVERIFY(!words.isEmpty());
        const double a4Width = 595.28, side = 0.75 * 72;
        for (const auto &[text, box] : words)
            QVERIFY2(box.left() >= side - 0.5 && box.right() <= a4Width - side + 0.5,
                     qPrintable(text + u" at " + QString::number(box.left())));
        // The header and the footer are printed whole (a line may break after a hyphen).
        QString printed;
        for (const auto &[text, box] : words)
            printed += text;
        const QRegularExpression blanks(QStringLiteral("\\s+"));
        QVERIFY2(printed.contains(planSheetHeader(c).remove(blanks)), qPrintable(printed));
        QVERIFY(printed.contains(planSheetFooter(Clock::today()).remove(blanks)));
    }

    // The owner writes the amounts on the grid's lines; the dates print in the page's face.
    void sheetGridAndFonts() {
        computeCase();
        window->run(Command::DietPlan);
        const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);

        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {pdf});
        fonts.waitForFinished();
        const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
        QVERIFY2(fontList.contains(u"Liberation") && !fontList.contains(u"Mono"),
                 qPrintable(fontList));

        // Down a vertical line through the empty half of column D, at one pixel a point.
        const auto words = pdfWords(pdf);
        QRectF d4;
        for (const auto &[text, box] : words) {
            if (text == u"Futtermenge" && box.left() > d4.left())
                d4 = box;
        }
        QVERIFY(!d4.isNull());
        const QImage page = firstPageGrey(pdf, QStringLiteral("grid"));
        QVERIFY(!page.isNull());
        const int x = qRound(d4.left() + 100);
        int lines = 0;
        bool dark = false;
        for (int y = qRound(d4.bottom()); y < page.height(); ++y) {
            const bool now = qGray(page.pixel(x, y)) < 200;
            lines += now && !dark;
            dark = now;
        }
        QCOMPARE(lines, 33); // below the heading row: rows 5 to 36 and the bottom edge
    }

    // The paper and orientation chosen in the print dialog, where the chart does not fix them.
    void paperChoice_data() {
        QTest::addColumn<Command>("view");
        QTest::addColumn<QSizeF>("paper"); // chosen, in mm; empty: nothing chosen
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSizeF>("printed"); // in points
        const QSizeF a5(148, 210), letter(215.9, 279.4);
        QTest::newRow("plan, A5 landscape") << Command::DietPlan << a5 << 2 << QSizeF(595.3, 419.5);
        QTest::newRow("info, Letter landscape")
            << Command::InfoSheet << letter << 2 << QSizeF(792, 612);
        QTest::newRow("info, nothing chosen: A4")
            << Command::InfoSheet << QSizeF() << 1 << QSizeF(595.3, 841.9);
        QTest::newRow("chart, Letter landscape: upright")
            << Command::ReductionCurve << letter << 2 << QSizeF(612, 792);
    }
    void paperChoice() {
        QFETCH(Command, view);
        QFETCH(QSizeF, paper);
        QFETCH(int, orientation);
        QFETCH(QSizeF, printed);
        computeCase();
        window->run(view);
        const QString pdf = dir.filePath(QStringLiteral("paper.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, orientation, paper};
        window->run(Command::Print);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished();
        const QRegularExpression size(QStringLiteral("Page size: *([\\d.]+) x ([\\d.]+) pts"));
        const auto match = size.match(QString::fromUtf8(info.readAllStandardOutput()));
        QVERIFY(match.hasMatch());
        QVERIFY2(qAbs(match.captured(1).toDouble() - printed.width()) < 1 &&
                     qAbs(match.captured(2).toDouble() - printed.height()) < 1,
                 qPrintable(match.captured(0)));
    }

    // The preview keeps the orientation chosen in it.
    void previewKeepsOrientation() {
        computeCase();
        window->run(Command::DietPlan);
        std::optional<QPageLayout::Orientation> painted;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->printer()->setPageOrientation(QPageLayout::Landscape);
            dialog->findChild<QPrintPreviewWidget *>()->updatePreview();
            painted = dialog->printer()->pageLayout().orientation();
            dialog->close();
        });
        window->run(Command::PrintPreview);
        QCOMPARE(painted, std::optional(QPageLayout::Landscape));
    }

    void sheetPrintsA1ToD36() {
        computeCase();
        window->run(Command::DietPlan);
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);
        QCOMPARE(pdfPages(pdf), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Diätplan für Hund Bello (Besitzer: Meier)")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Gewicht am 07.12.2026: 18,5 kg, Zielgewicht am")));
        QVERIFY(text.contains(QStringLiteral("Erstellt mit KORVALO ® am 07.12.2026")));
        QVERIFY(text.contains(QStringLiteral("Termin Tierarzt!")));
        QVERIFY(text.contains(QStringLiteral("31.01.2027"))); // C36, the last date
        QVERIFY(ui.messages.isEmpty());
    }

    void infoSheetPagesWithMargins() {
        computeCase();
        window->run(Command::InfoSheet);
        const QString pdf = dir.filePath(QStringLiteral("info.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);
        QCOMPARE(pdfPages(pdf), 2); // continued on a second page
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Tipps und Tricks fürs Abnehmen!")));
        QVERIFY(text.contains(QStringLiteral("Falls Bello bettelt:")));
    }

    void darkThemePrintsBlack_data() {
        QTest::addColumn<Command>("view");
        QTest::addColumn<QString>("word"); // one of its words, in the document's own colour
        QTest::newRow("info sheet") << Command::InfoSheet << QStringLiteral("Tipps");
        QTest::newRow("Verlauf") << Command::FollowUp << QStringLiteral("Verlauf");
    }

    /** Under a dark desktop theme the paper still gets black text. */
    void darkThemePrintsBlack() {
        QFETCH(Command, view);
        QFETCH(QString, word);
        const QPalette light = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        QPalette dark = light;
        for (const auto role : {QPalette::Text, QPalette::WindowText})
            dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(QPalette::Base, QColor(0x22, 0x22, 0x22));
        QApplication::setPalette(dark);
        computeCase();
        window->run(view);
        const QString pdf = dir.filePath(QStringLiteral("dark.pdf"));
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);
        const QImage page = firstPageGrey(pdf, QStringLiteral("dark"));
        QVERIFY(!page.isNull());
        QRect box;
        for (const auto &[text, at] : pdfWords(pdf)) {
            if (text == word && box.isNull())
                box = at.toAlignedRect();
        }
        QVERIFY(!box.isNull());
        int darkest = 255;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x)
                darkest = std::min(darkest, qGray(page.pixel(x, y)));
        }
        QVERIFY2(darkest < 64, qPrintable(QString::number(darkest)));
    }

    void copyPutsEachViewsFormats() {
        computeCase();
        window->run(Command::InfoSheet);
        window->run(Command::Copy);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
        QVERIFY(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
        QCOMPARE(window->documentView()->textControl()->textCursor().position(), 0);
        QVERIFY(!window->documentView()->textControl()->textCursor().hasSelection());

        window->run(Command::DietPlan);
        window->run(Command::Copy);
        const QStringList lines =
            QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 36);
        QVERIFY(lines[0].startsWith(QStringLiteral("Diätplan für :\tBello")));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasHtml());
    }

    void chartCopiesAsPicture() {
        computeCase();
        QGuiApplication::clipboard()->clear();
        window->run(Command::Copy);
        const QImage picture = QGuiApplication::clipboard()->image();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() > 400);
    }

    // Through a real print queue; scripts/print-check sets one up and checks what arrives.
    void printsToQueue() {
        const QString queue = qEnvironmentVariable("KORVALO_PRINT_QUEUE");
        if (queue.isEmpty())
            QSKIP("KORVALO_PRINT_QUEUE names no print queue");
        computeCase();
        for (const Command view :
             {Command::ReductionCurve, Command::DietPlan, Command::InfoSheet}) {
            window->run(view);
            ui.printRequests << UserInterface::PrintRequest{queue, QString(), 1, 1};
            window->run(Command::Print);
        }
        QCOMPARE(ui.printDialogs, 3);
        QCOMPARE(window->activeViewName(), QStringLiteral("frmDocument"));
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.value(0).text));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
