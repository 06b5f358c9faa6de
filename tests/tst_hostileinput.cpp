// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/chartcontrol.h"
#include "controls/richtextcontrol.h"
#include "controls/sheetcontrol.h"
#include "core/clock.h"
#include "core/recordinguserinterface.h"
#include "shell/mainwindow.h"
#include "tests/mainwindowfixture.h"
#include "views/chartview.h"
#include "views/documentview.h"
#include "views/inputview.h"
#include "views/recalcdialog.h"
#include "views/sheetview.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using Icon = UserInterface::Icon;

namespace {

/** How a weight or age field takes a value when the user leaves it. */
enum class Leave { Passes, Refused, OverTwenty };

/** What a user may type or paste into any field. */
struct Hostile {
    const char *name;
    QString value;
    Leave leave;
    bool unsavable; ///< the case file cannot hold it without loss
};

const QList<Hostile> hostileValues{
    {"empty", QString(), Leave::Passes, false},
    {"blanks", u"   "_s, Leave::Refused, false},
    {"letters", u"abc"_s, Leave::Refused, false},
    {"point", u"6.5"_s, Leave::Refused, false},
    {"minus zero", u"-0"_s, Leave::Refused, false},
    {"1e308", u"1e308"_s, Leave::OverTwenty, false},
    {"tiny", u"0,000001"_s, Leave::Passes, false},
    {"10000 digits", QString(10000, u'9'), Leave::Refused, false},
    {"10000 letters", QString(10000, u'ß'), Leave::Refused, false},
    {"rtf", u"{\\rtf1\\ansi \\par}\\'80\\u8364?{\\*\\pict\\pngblip 00}}\\"_s, Leave::Refused,
     false},
    {"outside code page", u"Łódź 🐕"_s, Leave::Refused, true},
    {"line break", u"a\r\nb"_s, Leave::Refused, true},
};

// What refuses an entry or reports an error.
const QList<Icon> refusals{Icon::Exclamation, Icon::Information, Icon::Critical};

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString pdfText(const QString &pdf) {
    QProcess p;
    p.start(u"pdftotext"_s, {pdf, u"-"_s});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

/** Long texts, line breaks and characters no key produces come from the clipboard. */
bool pasted(const QString &value) {
    return value.size() > 100 ||
           std::any_of(value.begin(), value.end(), [](QChar c) { return !c.isPrint(); });
}

/** Replaces what a widget holds as a user does: select all, delete, then type or paste. */
void enter(QWidget *widget, const QString &value) {
    widget->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Backspace);
    if (pasted(value)) {
        QGuiApplication::clipboard()->setText(value);
        QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(widget, value);
    }
}

} // namespace

Q_DECLARE_METATYPE(Leave)

// The messages since `from`, as messagesAre() takes them.
#define VERIFY_MESSAGES(from, count, ...)                                                          \
    QVERIFY2(messagesAre(from, count, {__VA_ARGS__}), qPrintable(messagesFrom(from)))

class TestHostileInput : public MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir dir;
    int files = 0;
    QString casePath; ///< a good case, saved before anything hostile was typed
    QByteArray goodCase;

    /** A text box of a window by its control name, Text1 to Text9. */
    static QLineEdit *box(const QWidget *window, int n) {
        return window->findChild<QLineEdit *>(u"Text" + QString::number(n));
    }
    QString newPath(const char *ext) {
        return dir.filePath(u"f%1."_s.arg(++files) + QLatin1StringView(ext));
    }

    static void addValueRows(const QString &prefix, int target = 0) {
        for (const Hostile &h : hostileValues)
            QTest::newRow(qPrintable(prefix + u' ' + QLatin1StringView(h.name)))
                << target << h.value << h.leave << h.unsavable;
    }
    static void addValueColumns() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("value");
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<bool>("unsavable");
    }

    QString messagesFrom(qsizetype from) const {
        QStringList texts;
        for (qsizetype i = from; i < ui.messages.size(); ++i)
            texts << ui.messages[i].text.left(80);
        return texts.join(u" | "_s);
    }

    /** The messages since `from`: `count` of them (any number if negative), each with a
     * text, a title and one of the icons. */
    bool messagesAre(qsizetype from, qsizetype count, const QList<Icon> &icons) const {
        return (count < 0 || ui.messages.size() - from == count) &&
               std::all_of(ui.messages.begin() + from, ui.messages.end(), [&](const auto &m) {
                   return !m.text.trimmed().isEmpty() && !m.title.isEmpty() &&
                          icons.contains(m.icon);
               });
    }

    void save(const QString &path) {
        ui.fileNames << path;
        window->run(Command::SaveCase);
    }

    void load(const QString &path) {
        window->run(Command::ClearInputs);
        ui.fileNames << path;
        window->run(Command::LoadCase);
    }

    /** Everything the form shows of a case. */
    QStringList formState() const {
        QStringList s;
        for (int n = 1; n <= 9; ++n)
            s << text(n)->text();
        s << input()->speciesList()->currentText();
        for (int n = 1; n <= 4; ++n)
            s << QString::number(input()->option(n)->isChecked());
        for (const char *name : {"lbl_olddate", "lbl_oldweight"}) {
            const auto *label = input()->findChild<QLabel *>(QLatin1StringView(name));
            s << label->text() + u'/' + QString::number(!label->isHidden());
        }
        return s;
    }

    /**
     * Saves over the good case. A refused save leaves that file as it was; a written one
     * loads back as a follow-up, which after a new weighing survives a further round trip.
     */
    void saveAndReload(bool unsavable) {
        const QStringList before = formState();
        ui.messages.clear();
        save(casePath);
        if (unsavable) {
            VERIFY_MESSAGES(0, 1, Icon::Exclamation);
            QVERIFY(ui.messages[0].text.startsWith(u"Der Fall kann nicht gespeichert werden."_s));
            QCOMPARE(contents(casePath), goodCase);
            return;
        }
        load(casePath);
        VERIFY_MESSAGES(0, 0);
        QStringList expected = before;
        expected[2] = QString(); // today's weight is weighed anew
        expected[14] = u"07.12.2026/1"_s;
        expected[15] = before[2].isEmpty() ? u"/0"_s : before[2] + u" kg/1"_s;
        QCOMPARE(formState(), expected);

        // The follow-up visit: a new weighing and its curve, or the reasons there is none.
        enter(text(3), u"11"_s);
        QTest::keyClick(text(3), Qt::Key_Tab);
        input()->computeButton()->click();
        VERIFY_MESSAGES(0, -1, refusals);
        expected = formState();
        expected[2] = QString();

        const qsizetype from = ui.messages.size();
        const QString second = newPath("kvl");
        const QString third = newPath("kvl");
        save(second);
        load(second);
        QCOMPARE(formState(), expected);
        save(third);
        QList<QByteArray> lines = contents(second).split('\n');
        QCOMPARE(lines[2], "11\r");
        lines[2] = "Empty\r"; // the only line a load does not carry over
        QCOMPARE(contents(third).split('\n'), lines);
        VERIFY_MESSAGES(from, 0);
    }

    void activate(QWidget *view) {
        window->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parentWidget()));
    }

    /** Prints the active view to a PDF and copies it; both work whatever the case holds. */
    QString printAndCopy() {
        const qsizetype from = ui.messages.size();
        const QString pdf = newPath("pdf");
        ui.printRequests << UserInterface::PrintRequest{QString(), pdf, 1, 1};
        window->run(Command::Print);
        const QByteArray bytes = contents(pdf);
        [&] {
            VERIFY_MESSAGES(from, 0);
            QVERIFY2(bytes.startsWith("%PDF") && bytes.size() > 1000, qPrintable(pdf));
            QGuiApplication::clipboard()->clear();
            window->run(Command::Copy);
            const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
            QVERIFY(copied && !copied->formats().isEmpty());
        }();
        return pdf;
    }

private slots:
    void initTestCase() {
        Clock::setToday(QDate(2026, 12, 7));
        QVERIFY(dir.isValid());
    }

    void init() {
        clearSettings();
        openWindow(true);
        text(1)->setText(u"Meier"_s);
        text(2)->setText(u"Bello"_s);
        text(4)->setText(u"10"_s);
        text(3)->setText(u"12"_s);
        text(6)->setText(u"5"_s);
        input()->option(1)->click();
        input()->option(4)->click();
        casePath = newPath("kvl");
        save(casePath);
        goodCase = contents(casePath);
        QVERIFY(ui.messages.isEmpty() && goodCase.size() > 100);
    }

    void cleanup() { closeWindow(); }

    void inputForm_data() {
        addValueColumns();
        for (int n = 1; n <= 9; ++n)
            addValueRows(u"Text"_s + QString::number(n), n);
        addValueRows(u"Combo1 and options"_s, 10);
    }

    void inputForm() {
        QFETCH(int, target);
        QFETCH(QString, value);
        QFETCH(Leave, leave);
        QFETCH(bool, unsavable);
        QWidget *field = target <= 9 ? static_cast<QWidget *>(text(target)) : input()->option(4);

        // Every keystroke in a weight runs FillBoxes and EndDate; what they cannot take each
        // reports as an error. The species list and the options are typed into in turn.
        if (target == 10)
            for (QWidget *w :
                 std::initializer_list<QWidget *>{input()->speciesList(), input()->option(1),
                                                  input()->option(2), input()->option(3)})
                enter(w, value);
        enter(field, value);
        QVERIFY(ui.messages.size() <= 2 * (pasted(value) ? 1 : value.size()));
        VERIFY_MESSAGES(0, -1, Icon::Critical);
        if (target <= 9)
            QCOMPARE(text(target)->text(), value);

        qsizetype from = ui.messages.size();
        QTest::keyClick(field, Qt::Key_Tab);
        const bool checked = target == 3 || target == 4 || target == 6;
        if (checked && leave == Leave::Refused) {
            VERIFY_MESSAGES(from, 1, Icon::Exclamation);
            QCOMPARE(QApplication::focusWidget(), field); // the focus stays
        } else {
            VERIFY_MESSAGES(from, target == 6 && leave == Leave::OverTwenty, Icon::Question);
            QVERIFY(QApplication::focusWidget() != field);
        }

        from = ui.messages.size();
        input()->computeButton()->click();
        if (!window->chartView()) {
            VERIFY_MESSAGES(from, 1, refusals); // refused, and said why
        } else {
            VERIFY_MESSAGES(from, 0);
            QCOMPARE(window->activeViewName(), u"frmchart"_s);
            printAndCopy();
        }
        QVERIFY(!QApplication::overrideCursor());

        // With a refused value still in its field the other views open all the same. They
        // print what they show of the case: the plan's header names owner, pet, species,
        // weights and end date, the info sheet the pet or its species.
        window->run(Command::DietPlan);
        QCOMPARE(window->activeViewName(), u"frmSheet"_s);
        if (QList{1, 2, 3, 4, 9, 10}.contains(target))
            printAndCopy();
        window->run(Command::InfoSheet);
        QCOMPARE(window->activeViewName(), u"frmDocument"_s);
        if (target == 2 || target == 10) {
            const QString info = printAndCopy();
            if (target == 2 && !value.trimmed().isEmpty() && !pasted(value))
                QVERIFY(pdfText(info).contains(value.simplified())); // shown, never markup
        }
        if (QTest::currentTestFailed())
            return;
        activate(input());
        saveAndReload(unsavable && target <= 9);
    }

    /** The rates reach the dialog from the form; its scroll bars are its only input. */
    void reductionValues_data() {
        addValueColumns();
        for (int n : {3, 5, 7})
            addValueRows(u"Text"_s + QString::number(n), n);
    }

    void reductionValues() {
        QFETCH(int, target);
        QFETCH(QString, value);
        QFETCH(bool, unsavable);
        input()->computeButton()->click();
        QVERIFY(window->chartView());
        activate(input());
        enter(text(target), value);
        QTest::keyClick(text(target), Qt::Key_Tab);
        const QStringList rates{text(7)->text(), text(8)->text(), text(9)->text()};

        window->run(Command::ReductionValues);
        RecalcDialog *dialog = window->recalcDialog();
        QVERIFY(dialog && dialog->isVisible());
        for (int n = 3; n <= 9; ++n) { // shown, not typed into
            const QString shown = box(dialog, n)->text();
            enter(box(dialog, n), value);
            QCOMPARE(box(dialog, n)->text(), shown);
        }
        for (const auto &[bar, key] : {std::pair{dialog->endBar(), Qt::Key_End},
                                       {dialog->duringBar(), Qt::Key_Home},
                                       {dialog->duringBar(), Qt::Key_PageDown},
                                       {dialog->endBar(), Qt::Key_PageUp}})
            QTest::keyClick(bar, key);
        QVERIFY(dialog->endBar()->value() <= dialog->duringBar()->value());

        const qsizetype from = ui.messages.size();
        dialog->button(u"cmdApply"_s)->click();
        if (ui.messages.size() > from) { // the capacity check or an error report: nothing taken
            VERIFY_MESSAGES(from, 1, Icon::Critical);
            QCOMPARE((QStringList{text(7)->text(), text(8)->text(), text(9)->text()}), rates);
        } else {
            QCOMPARE(text(7)->text(), box(dialog, 7)->text());
            QCOMPARE(text(8)->text(), box(dialog, 8)->text());
        }
        dialog->button(u"cmdOK"_s)->click();
        QTRY_VERIFY(!window->recalcDialog());

        activate(window->chartView());
        printAndCopy();
        activate(input());
        saveAndReload(unsavable && text(target)->text() == value); // applied rates replace it
    }

    /** The options have lists, sliders and boxes only: typing may pick, never break. */
    void chartOptions_data() {
        addValueColumns();
        addValueRows(u"options"_s);
    }

    void chartOptions() {
        QFETCH(QString, value);
        input()->computeButton()->click();
        ChartControl *chart = window->chartView()->chart();
        bool typed = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            for (QWidget *control : dialog->findChildren<QWidget *>()) {
                const QString name = control->objectName();
                if (name.startsWith(u"Combo") || name.startsWith(u"Check") ||
                    name.startsWith(u"Slider"))
                    enter(control, value);
                if (name.startsWith(u"Slider"))
                    for (Qt::Key key : {Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Up})
                        QTest::keyClick(control, key);
            }
            typed = true;
            dialog->findChild<QPushButton *>(u"cmdOK"_s)->click();
        });
        // Whatever might still be open must not hang the run.
        QTimer guard;
        connect(&guard, &QTimer::timeout, this, [] {
            if (QWidget *open = QApplication::activeModalWidget())
                open->close();
        });
        guard.start(5000);
        window->run(Command::ChartOptions);
        QVERIFY(typed);
        VERIFY_MESSAGES(0, 0);
        QVERIFY(chart->majorDivisions() >= 1 && chart->majorDivisions() <= 30);
        QVERIFY(chart->divisionsPerTick() >= 1 && chart->divisionsPerTick() <= 30);
        printAndCopy();
        QVERIFY(!QGuiApplication::clipboard()->image().isNull());
    }

    /** Only the free cells of the diet plan take text; a locked one says so. */
    void dietPlan_data() {
        addValueColumns();
        addValueRows(u"B2 and D36"_s);
    }

    void dietPlan() {
        QFETCH(QString, value);
        window->run(Command::DietPlan);
        SheetControl *sheet = window->sheetView()->sheet();
        QTableWidget *table = sheet->table();
        for (const auto &[row, col] : {std::pair{2, 2}, {36, 4}}) {
            sheet->selectRange(row, col, row, col);
            QTest::keyClick(table, Qt::Key_F2);
            QLineEdit *editor = nullptr; // a closed editor may linger until deleted
            for (QLineEdit *e : table->viewport()->findChildren<QLineEdit *>())
                editor = e->isVisible() ? e : editor;
            QVERIFY(editor);
            enter(editor, value);
            QTest::keyClick(editor, Qt::Key_Tab);
            QTRY_COMPARE(sheet->cellText(row, col), value);
        }
        VERIFY_MESSAGES(0, 0);

        // A date cell refuses every typed character, and a paste does not reach it.
        const QString date = sheet->cellText(5, 1);
        sheet->selectRange(5, 1, 5, 1);
        const QString typed = pasted(value) ? QString() : value.left(3);
        QGuiApplication::clipboard()->setText(value);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClicks(table, typed);
        QCOMPARE(sheet->cellText(5, 1), date);
        VERIFY_MESSAGES(0, typed.size(), Icon::Information);
        for (const auto &m : std::as_const(ui.messages))
            QCOMPARE(m.text, u"Eingabe in diesem Bereich ist nicht möglich."_s);
        ui.messages.clear();

        printAndCopy();
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.contains(value) || value.contains(u'\n'));
    }

    /** The info sheet is read-only: nothing typed or pasted reaches it. */
    void infoSheet_data() {
        addValueColumns();
        addValueRows(u"rtfText"_s);
    }

    void infoSheet() {
        QFETCH(QString, value);
        window->run(Command::InfoSheet);
        RichTextControl *rtf = window->documentView()->textControl();
        const QString before = rtf->toPlainText();
        enter(rtf, value);
        QTest::keyClick(rtf, Qt::Key_Tab);
        QCOMPARE(rtf->toPlainText(), before);
        VERIFY_MESSAGES(0, 0);
        printAndCopy();
        QVERIFY(
            QGuiApplication::clipboard()->mimeData()->data(u"text/rtf"_s).startsWith("{\\rtf1"));
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
