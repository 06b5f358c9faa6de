// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"
#include "files/gdtsettings.h"
#include "views/settingsdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Charset = Gdt::Charset;
using NameOrder = Gdt::NameOrder;

Q_DECLARE_METATYPE(GdtSettings)

/** The settings dialog as a user fills it in; "%T" in the rows stands for a scratch folder. */
class TestSettingsDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    RecordingUserInterface ui;
    std::unique_ptr<SettingsDialog> dialog;

    QString inDir(QString text) const { return text.replace(u"%T"_s, m_dir.path()); }

    void open(const GdtSettings &values) {
        dialog = std::make_unique<SettingsDialog>(values, ui);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename T = QWidget> T *control(const QString &name) const {
        T *widget = dialog->findChild<T *>(name);
        Q_ASSERT_X(widget, "control", qPrintable(name));
        return widget;
    }

    /** Files in the scratch folder, the result file's folder there and a request file. */
    GdtSettings exchange() const {
        GdtSettings s;
        s.requestFile = inDir(u"%T/anfrage.gdt"_s);
        s.resultFile = inDir(u"%T/ergebnis.gdt"_s);
        s.practiceId = u"PRAXIS"_s;
        return s;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QFile request(m_dir.filePath(u"anfrage.gdt"_s));
        QVERIFY(request.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(m_dir.path(), m_dir.filePath(u"link"_s)));
    }

    void init() { ui = RecordingUserInterface(); }
    void cleanup() { dialog.reset(); }

    void roundTrip_data() {
        QTest::addColumn<GdtSettings>("values");
        QTest::addColumn<QString>("charsetText");
        QTest::addColumn<QString>("orderText");

        QTest::newRow("defaults") << GdtSettings() << u"IBM-Zeichensatz CP437 (2)"_s
                                  << u"3101 Name des Besitzers, 3102 Name des Tieres"_s;
        GdtSettings all{u"/praxis/gdt/Größe, Anfrage.gdt"_s,
                        u"/praxis/gdt/ergebnis.001"_s,
                        u"KORV01"_s,
                        u"MEDPRAX"_s,
                        Charset::Ascii,
                        u"ALLG00"_s,
                        NameOrder::AnimalThenOwner,
                        u"/praxis/pdf"_s};
        QTest::newRow("every field, ASCII, animal first")
            << all << u"7-Bit-ASCII (1)"_s << u"3101 Name des Tieres, 3102 Name des Besitzers"_s;
        all.charset = Charset::Latin1;
        all.nameOrder = NameOrder::OwnerThenAnimal;
        QTest::newRow("ISO 8859-1, owner first")
            << all << u"ISO 8859-1 (3)"_s << u"3101 Name des Besitzers, 3102 Name des Tieres"_s;
        // Written by hand into the settings file: shown as they are, for OK to refuse.
        const GdtSettings odd{u"anfrage.gdt"_s,
                              u"/fehlt/ergebnis.gdt"_s,
                              u"VIEL ZU LANG"_s,
                              u"PRÄXIS"_s,
                              Charset::Cp437,
                              QString(),
                              NameOrder::AnimalThenOwner,
                              u"pdf"_s};
        QTest::newRow("values OK refuses") << odd << u"IBM-Zeichensatz CP437 (2)"_s
                                           << u"3101 Name des Tieres, 3102 Name des Besitzers"_s;
    }

    void roundTrip() {
        QFETCH(GdtSettings, values);
        open(values);
        QCOMPARE(dialog->objectName(), u"frmSettings"_s);
        QCOMPARE(dialog->windowTitle(), u"Einstellungen"_s);
        QCOMPARE(control<QTabWidget>(u"tabSettings"_s)->tabText(0), u"GDT"_s);
        QTEST(control<QComboBox>(u"cboGdtZeichensatz"_s)->currentText(), "charsetText");
        QTEST(control<QComboBox>(u"cboGdtNamen"_s)->currentText(), "orderText");
        QCOMPARE(dialog->values(), values);
    }

    void refusals_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted

        const QString tooLong = u"Die GDT-ID „%1“ ist zu lang: sie hat höchstens 8 Zeichen."_s;
        const QString characters =
            u"Die GDT-ID „%1“ enthält Zeichen, die GDT nicht zulässt. Erlaubt sind Buchstaben "
            "ohne Umlaute, Ziffern und Satzzeichen, aber keine Leerzeichen."_s;
        const QString notFull = u"„%1“ ist kein vollständiger Pfad. Bitte geben Sie den ganzen "
                                "Pfad an oder wählen Sie mit „…“ aus."_s;
        const QString sameFile = u"Anfrage- und Ergebnisdatei müssen verschiedene Dateien sein."_s;

        QTest::newRow("own id of 9 characters")
            << u"txtGdtEigene"_s << u"KORVALO12"_s << tooLong.arg(u"KORVALO12"_s);
        QTest::newRow("own id of 8 characters") << u"txtGdtEigene"_s << u"KORVALO1"_s << QString();
        QTest::newRow("practice id of 9 characters")
            << u"txtGdtPraxis"_s << u"MEDPRAXIS"_s << tooLong.arg(u"MEDPRAXIS"_s);
        QTest::newRow("blank inside an id")
            << u"txtGdtPraxis"_s << u"MED PRAX"_s << characters.arg(u"MED PRAX"_s);
        QTest::newRow("umlaut in an id")
            << u"txtGdtPraxis"_s << u"PRÄXIS"_s << characters.arg(u"PRÄXIS"_s);
        QTest::newRow("blanks around an id") << u"txtGdtPraxis"_s << u"  MED-1!  "_s << QString();
        QTest::newRow("no procedure")
            << u"txtGdtVerfahren"_s << QString()
            << u"Bitte geben Sie die Verfahrenskennung (Feld 8402) an, wie sie in der "
               "Geräteeinrichtung des Praxisprogramms steht."_s;
        QTest::newRow("relative request file")
            << u"txtGdtAnfrage"_s << u"anfrage.gdt"_s << notFull.arg(u"anfrage.gdt"_s);
        QTest::newRow("request file is a folder")
            << u"txtGdtAnfrage"_s << u"%T"_s
            << u"„%T“ ist ein Ordner. Bitte geben Sie eine Datei an."_s;
        QTest::newRow("no request file") << u"txtGdtAnfrage"_s << QString() << QString();
        QTest::newRow("result file in a missing folder")
            << u"txtGdtErgebnis"_s << u"%T/fehlt/ergebnis.gdt"_s
            << u"Der Ordner „%T/fehlt“ der Ergebnisdatei ist nicht vorhanden."_s;
        QTest::newRow("result file is the request file")
            << u"txtGdtErgebnis"_s << u"%T/anfrage.gdt"_s << sameFile;
        QTest::newRow("the request file through a link")
            << u"txtGdtErgebnis"_s << u"%T/link/anfrage.gdt"_s << sameFile;
        QTest::newRow("relative PDF folder") << u"txtGdtPdf"_s << u"pdf"_s << notFull.arg(u"pdf"_s);
        QTest::newRow("missing PDF folder")
            << u"txtGdtPdf"_s << u"%T/pdf"_s
            << u"Der Ordner „%T/pdf“ für die PDF-Dateien ist nicht vorhanden."_s;
        QTest::newRow("existing PDF folder") << u"txtGdtPdf"_s << u"%T"_s << QString();
    }

    void refusals() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        open(exchange());
        auto *edit = control<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), inDir(typed));
        control<QPushButton>(u"cmdOK"_s)->click();

        if (message.isEmpty()) {
            QVERIFY(ui.messages.isEmpty());
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            return;
        }
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, inDir(message));
        QCOMPARE(ui.messages[0].icon, UserInterface::Icon::Exclamation);
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    void browsing_data() {
        QTest::addColumn<QString>("requestFile");
        QTest::addColumn<QString>("resultFile");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("chosen"); // empty: cancelled
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folder");       // where the file dialog opens
        QTest::addColumn<QStringList>("proposed"); // the save dialogs' proposed names

        QTest::newRow("request file, in the result file's folder")
            << QString() << u"%T/ergebnis.gdt"_s << u"cmdGdtAnfrage"_s << u"%T/neu.gdt"_s
            << u"txtGdtAnfrage"_s << u"%T/neu.gdt"_s << u"%T"_s << QStringList{QString()};
        QTest::newRow("result file in a missing folder, cancelled")
            << u"%T/anfrage.gdt"_s << u"%T/fehlt/ergebnis.gdt"_s << u"cmdGdtErgebnis"_s << QString()
            << u"txtGdtErgebnis"_s << u"%T/fehlt/ergebnis.gdt"_s << u"%T"_s
            << QStringList{u"ergebnis.gdt"_s};
        QTest::newRow("PDF folder without files")
            << QString() << QString() << u"cmdGdtPdf"_s << u"%T"_s << u"txtGdtPdf"_s << u"%T"_s
            << QDir::homePath() << QStringList();
    }

    void browsing() {
        QFETCH(QString, requestFile);
        QFETCH(QString, resultFile);
        QFETCH(QString, button);
        QFETCH(QString, chosen);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, folder);
        QFETCH(QStringList, proposed);
        GdtSettings values;
        values.requestFile = inDir(requestFile);
        values.resultFile = inDir(resultFile);
        const std::optional<QString> answer =
            chosen.isEmpty() ? std::nullopt : std::optional(inDir(chosen));
        ui.fileNames = {answer};
        ui.folderNames = {answer};
        open(values);
        control<QAbstractButton>(button)->click();
        QCOMPARE(control<QLineEdit>(field)->text(), inDir(text));
        QCOMPARE(ui.dialogFolders, QStringList{inDir(folder)});
        QCOMPARE(ui.proposedNames, proposed);
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
