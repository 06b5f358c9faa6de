// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/logoloader.h"
#include "controls/richtextcontrol.h"
#include "controls/rtfcodec.h"
#include "core/dietcase.h"
#include "core/infosheet.h"
#include "core/recordinguserinterface.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "shell/qtuserinterface.h"
#include "views/documentview.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using Icon = UserInterface::Icon;

namespace {

// The sheet in order: RTF pieces, #n for string n, @ for the pet, _ for a blank.
const QList<QByteArray> steps =
    QByteArray("H1 H2 GAP GAP GAP GAP GAP TITLE #180 GAP GAP PARA #181 GAP "
               "PARA #182 #183 GAP PARA #207 GAP PARA #208 GAP PARA #184 @ #185 GAP GAP "
               "CONT #186 _ @ _ #187 #188 PARA #189 GAP PARA #190 _ #191 _ @ _ #192 _ "
               "CONT #193 #194 #195 _ @ _ #196 PARA #197 #198 #199 #200 #201 GAP "
               "ULPARA #202 @ _ #206 _ CONT #203 #204 _ @ _ #205 END")
        .split(' ');

const QHash<QByteArray, QByteArray> pieces{
    {"H1", R"({\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl{\f0\fswiss Arial;})"},
    {"H2", R"({\f1\froman\fcharset2 Symbol;}{\f2\fswiss Arial;}})"},
    {"TITLE", R"(\deflang1033\horzdoc{\*\fchars }{\*\lchars}\pard\plain\f2\fs24\b )"},
    {"GAP", R"(\par \plain\f2\fs17 )"},
    {"PARA", R"(\par \plain\f2\fs22 )"},
    {"CONT", R"(\plain\f2\fs22 )"},
    {"ULPARA", R"(\par \plain\f2\fs22\ul )"},
    {"END", R"(\par })"},
    {"_", " "}};

// The texts hold only Latin-1 letters, where Latin-1 and Windows-1252 agree.
QByteArray expectedRtf(const QByteArray &ref) {
    QByteArray rtf;
    for (const QByteArray &s : steps)
        rtf += s.startsWith('#') ? str(s.mid(1).toInt()).toLatin1() : s == "@" ? ref : pieces[s];
    return rtf;
}

// What a reader shows: every paragraph mark a line break, the markup gone.
QString expectedText(const QString &ref) {
    QString text;
    for (const QByteArray &s : steps) {
        if (s.startsWith('#'))
            text += str(s.mid(1).toInt());
        else if (s == "@" || s == "_")
            text += s == "@" ? ref : u" "_s;
        else if (s.endsWith("PARA") || s == "GAP" || s == "END")
            text += u'\n';
    }
    return text;
}

QByteArray png(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x2F, 0x6F, 0x73));
    return LogoLoader::pngBytes(image);
}

QString plainText(const QByteArray &rtf) {
    QTextDocument document;
    RtfCodec::readRtf(document, rtf);
    return document.toPlainText();
}

struct Host : ViewHost {
    void set_toolbar(View) override {}
    void setToolTip(ToolKey, const QString &) override {}
    void setExitCaption(const QString &) override {}
    DietCase &dietCase() override { return dietCase_; }
    UserInterface &ui() override { return ui_; }
    const AppSettings &settings() const override { return settings_; }
    const ErrorReporter &errors() const override { return errors_; }

    DietCase dietCase_;
    RecordingUserInterface ui_;
    AppSettings settings_;
    ErrorReporter errors_ = settings_.errorReporter(ui_);
};

} // namespace

class TestInfoSheet : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file(const QString &name) const { return dir.filePath(name); }
    void setPicPath(const QString &path) { AppSettings().setValue(AppSettings::PicPath, path); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        const auto save = [&](const QString &name, int w, int h, const char *format) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(Qt::white);
            QVERIFY(image.save(file(name), format));
        };
        save(u"wide.bmp"_s, 600, 300, "BMP");
        save(u"tall.jpg"_s, 300, 900, "JPEG");
        save(u"small.bmp"_s, 120, 80, "BMP");
        save(u"png-named.gif"_s, 50, 40, "PNG");
        save(u"too-wide.png"_s, 4001, 2, "PNG");
        for (const auto &[name, bytes] :
             {std::pair(u"text.gif"_s, "GIF89a, not really"_ba),
              std::pair(u"big.png"_s, QByteArray(png(10, 10) + QByteArray(21 << 20, 0)))}) {
            QFile f(file(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
    }

    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Korvalo"_s, u"Korvalo"_s)
            .clear();
    }

    void sheetBytes_data() {
        QTest::addColumn<QString>("petName");
        QTest::addColumn<QString>("species");
        QTest::addColumn<QByteArray>("ref");
        QTest::newRow("named cat") << u"Bello"_s << u"Katze"_s << "Bello"_ba;
        QTest::newRow("Hund") << QString() << u"Hund"_s << "Ihr Hund"_ba;
        QTest::newRow("Katze") << QString() << u"Katze"_s << "Ihre Katze"_ba;
        QTest::newRow("Kaninchen") << QString() << u"Kaninchen"_s << "Ihr Kaninchen"_ba;
        QTest::newRow("Hamster") << QString() << u"Hamster"_s << "Ihr Hamster"_ba;
        QTest::newRow("Meerschweinchen")
            << QString() << u"Meerschweinchen"_s << "Ihr Meerschweinchen"_ba;
        QTest::newRow("no species") << QString() << QString() << "Ihr Tier"_ba;
        QTest::newRow("case differs") << QString() << u"katze"_s << "Ihr Tier"_ba;
        QTest::newRow("unknown species") << QString() << u"Pferd"_s << "Ihr Tier"_ba;
        QTest::newRow("blank name counts") << u" "_s << u"Hund"_s << " "_ba;
    }
    void sheetBytes() {
        QFETCH(QString, petName);
        QFETCH(QString, species);
        QFETCH(QByteArray, ref);
        const QByteArray rtf = infoSheetRtf(petName, species);
        QCOMPARE(rtf, expectedRtf(ref));
        QCOMPARE(plainText(rtf), expectedText(QString::fromLatin1(ref)));
    }

    void hostileNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("escaped"); // empty: not checked
        QTest::newRow("markup") << uR"({\b Bello}\par)"_s << R"(\{\\b Bello\}\\par)"_ba;
        QTest::newRow("path") << uR"(C:\Tier)"_s << R"(C:\\Tier)"_ba;
        QTest::newRow("Polish") << u"Łucja"_s << R"(\u321?ucja)"_ba;
        QTest::newRow("code page letters") << u"Müller’s €"_s << "M\xfcller\x92s \x80"_ba;
        QTest::newRow("emoji") << u"Rex 🐶"_s << R"(Rex \u-10179?\u-9162?)"_ba;
        QTest::newRow("control character") << u"a\tb"_s << R"(a\u9?b)"_ba;
        QString longName;
        while (longName.size() < 10000)
            longName += u"{Bär}\\Łu🐶 "_s;
        QTest::newRow("10,000 characters") << longName.left(10000) << QByteArray();
    }
    void hostileNames() {
        QFETCH(QString, name);
        QFETCH(QByteArray, escaped);
        const QByteArray rtf = infoSheetRtf(name, u"Hund"_s);
        if (!escaped.isEmpty())
            QCOMPARE(rtf, expectedRtf(escaped));
        RichTextControl control;
        control.setRtf(rtf);
        const QString shown = control.document()->toPlainText();
        QCOMPARE(shown.count(name), 6);
        QCOMPARE(shown, expectedText(name));
    }

    void logoOnTop() {
        const QByteArray logo = png(400, 200);
        const QByteArray rtf = infoSheetRtf(u"Bello"_s, u"Hund"_s, logo);
        const QByteArray head = pieces["H1"] + pieces["H2"];
        const QByteArray pict = R"({\pict\pngblip\picw400\pich200\picwgoal4500\pichgoal2250 )";
        QVERIFY(rtf.startsWith(QByteArray(head + pict)));
        const qsizetype end = rtf.indexOf(R"(}\par )", head.size());
        QCOMPARE(QByteArray(rtf).remove(head.size(), end + 6 - head.size()), expectedRtf("Bello"));

        RichTextControl control;
        control.setRtf(rtf);
        const QTextCharFormat first = control.document()->begin().begin().fragment().charFormat();
        QVERIFY(first.isImageFormat());
        QCOMPARE(first.toImageFormat().width(), 300.0);
        QCOMPARE(first.toImageFormat().height(), 150.0);
        const QImage image =
            control.document()
                ->resource(QTextDocument::ImageResource, QUrl(first.toImageFormat().name()))
                .value<QImage>();
        QCOMPARE(image.size(), QSize(400, 200));
        QCOMPARE(control.document()->toPlainText(),
                 QString(QChar(QChar::ObjectReplacementCharacter)) + u'\n' +
                     expectedText(u"Bello"_s));
        QVERIFY(infoSheetRtf(u"Bello"_s, u"Hund"_s, "no picture"_ba) == expectedRtf("Bello"));
    }

    // The sheet as shown, and as copied and read back: the same text and formatting.
    void formattingAndCopy() {
        RichTextControl control;
        control.setRtf(infoSheetRtf(u"Łucja {Bär}"_s, u"Hund"_s, png(40, 20)));
        const QByteArray copy = control.rtfOfRange(0, 10000);
        QVERIFY(std::all_of(copy.begin(), copy.end(), [](char c) { return c > 0; }));
        QTextDocument back;
        RtfCodec::readRtf(back, copy);
        QCOMPARE(back.toPlainText(), control.document()->toPlainText());
        QCOMPARE(plainText(control.rtfOfRange(7, 4)), u"Tipp"_s);
        for (const QTextDocument *doc : {control.document(), &back}) {
            const auto formatOf = [&](int string) {
                for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                    if (b.text().startsWith(str(string)))
                        return b.begin().fragment().charFormat();
                return QTextCharFormat();
            };
            QVERIFY(doc->begin().begin().fragment().charFormat().isImageFormat());
            QCOMPARE(formatOf(180).fontWeight(), int(QFont::Bold));
            QCOMPARE(formatOf(180).fontPointSize(), 12.0);
            QCOMPARE(formatOf(181).fontPointSize(), 11.0);
            QCOMPARE(formatOf(181).fontFamilies().toStringList(), QStringList{u"Arial"_s});
            QVERIFY(formatOf(202).fontUnderline() && !formatOf(203).fontUnderline());
            // An empty line is as high as the 8.5 pt it was written in.
            QCOMPARE(doc->findBlockByNumber(8).charFormat().fontPointSize(), 8.5);
        }
    }

    void readerSurvivesGarbage_data() {
        QTest::addColumn<QByteArray>("rtf");
        const QByteArray sheet = infoSheetRtf(u"Bello"_s, u"Hund"_s, png(30, 30));
        for (qsizetype cut = 1; cut < sheet.size(); cut += sheet.size() / 40)
            QTest::addRow("truncated at %lld", qint64(cut)) << sheet.left(cut);
        QTest::newRow("unbalanced") << R"(}}}{{{\b x}}\par{\rtf1 {{ abc)"_ba;
        QTest::newRow("deep nesting") << QByteArray(200000, '{') + "x" + QByteArray(100000, '}');
        QTest::newRow("deep skip") << "{\\rtf1 " + QByteArray(5000, '{').replace("{", "{\\*\\x ");
        QTest::newRow("huge bin") << R"({\rtf1 {\pict\pngblip\bin99999999999999999 abc}} x)"_ba;
        QTest::newRow("negative bin") << R"({\rtf1 \bin-5 abc})"_ba;
        QTest::newRow("huge picture numbers")
            << R"({\rtf1{\pict\pngblip\picw2147483647\pich-99999999999\picwgoal99999999999)"
               R"(\pichgoal-1\picscalex0 )" +
                   png(2, 2).toHex() + "}}";
        QByteArray bomb = png(1, 1);
        bomb.replace(16, 8, QByteArray::fromHex("0001869f0001869f")); // 99999 x 99999
        QTest::newRow("picture claiming to be huge") << R"({\rtf1{\pict\jpegblip )" + bomb.toHex() +
                                                            R"(}{\pict\pngblip )" + bomb.toHex() +
                                                            "}}";
        QTest::newRow("unicode limits") << R"({\rtf1\uc-5\u-32768\u99999\uc999999\u65 abc\u})"_ba;
        QTest::newRow("hex escape cut") << R"({\rtf1 \'4)"_ba;
        QTest::newRow("bad escapes") << R"({\rtf1 \'zz\)"_ba;
        QTest::newRow("code pages") << R"({\rtf1\ansicpg932\'82\'a0\ansicpg-1\'e4 x})"_ba;
        QTest::newRow("long word") << "{\\rtf1\\" + QByteArray(100000, 'a') + "99999999999999}";
        QRandomGenerator random(4711);
        const QByteArray alphabet = "{}\\\\\\ab01'*-u pictbinfs;\xe4\n";
        for (int n = 0; n < 30; ++n) {
            QByteArray bytes(3000, Qt::Uninitialized);
            for (char &c : bytes)
                c = alphabet[random.bounded(int(alphabet.size()))];
            QTest::addRow("random %d", n) << bytes;
        }
    }
    void readerSurvivesGarbage() {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        RtfCodec::readRtf(document, rtf);
        // Every character shown was paid for by at least one byte of input.
        QVERIFY(document.characterCount() <= rtf.size() + 1);
    }

    void typingChangesNothing() {
        RichTextControl control;
        control.setRtf(infoSheetRtf(u"Bello"_s, u"Hund"_s));
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));

        const QString before = control.toPlainText();
        QApplication::clipboard()->setText(u"eingefügt"_s);
        QTest::keyClicks(&control, u"abc"_s);
        for (const auto &key :
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Backspace),
              QKeySequence(Qt::Key_Delete), QKeySequence(QKeySequence::Paste),
              QKeySequence(QKeySequence::SelectEndOfDocument), QKeySequence(QKeySequence::Cut)})
            QTest::keySequence(&control, key);
        QCOMPARE(control.toPlainText(), before);
        QVERIFY(control.textCursor().hasSelection()); // selecting still works
    }

    void loader_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size"); // empty: no picture
        QTest::newRow("ours") << QString(KORVALO_SOURCE_DIR "/resources/kvl_logo.gif"_L1)
                              << QSize(240, 120);
        QTest::newRow("ours small")
            << QString(KORVALO_SOURCE_DIR "/resources/kvl_logo100.gif"_L1) << QSize(100, 100);
        QTest::newRow("wide") << file(u"wide.bmp"_s) << QSize(300, 150);
        QTest::newRow("tall") << file(u"tall.jpg"_s) << QSize(100, 300);
        QTest::newRow("small") << file(u"small.bmp"_s) << QSize(120, 80);
        QTest::newRow("by content") << file(u"png-named.gif"_s) << QSize(50, 40);
        QTest::newRow("absurdly wide") << file(u"too-wide.png"_s) << QSize();
        QTest::newRow("not a picture") << file(u"text.gif"_s) << QSize();
        QTest::newRow("21 MB") << file(u"big.png"_s) << QSize();
        QTest::newRow("vanished") << file(u"gone.gif"_s) << QSize();
        QTest::newRow("a folder") << dir.path() << QSize();
    }
    void loader() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage image = LogoLoader::readLogo(name);
        QCOMPARE(image.isNull(), size.isEmpty());
        if (!image.isNull())
            QCOMPARE(image.size(), size);
    }

    void logoPath() {
        const AppSettings settings;
        const QString beside = QCoreApplication::applicationDirPath();
        QCOMPARE(LogoLoader::logoPath(u"kvl_logo.gif"_s, settings),
                 QString(beside + u"/kvl_logo.gif"));
        setPicPath(u"/praxis/logo.bmp"_s);
        QCOMPARE(LogoLoader::logoPath(u"kvl_logo.gif"_s, settings), u"/praxis/logo.bmp"_s);
        QCOMPARE(LogoLoader::logoPath(u"kvl_logo100.gif"_s, settings),
                 QString(beside + u"/kvl_logo100.gif"));
    }

    void documentView() {
        Host host;
        host.dietCase_.setText(DietCase::Field::species, u"Katze"_s);
        setPicPath(file(u"gone.gif"_s));
        DocumentView view(host);
        QCOMPARE(view.textControl()->objectName(), u"rtfText"_s);
        // The sheet is shown all the same after the warning.
        QCOMPARE(host.ui_.messages.size(), 1);
        const auto &warning = host.ui_.messages[0];
        QCOMPARE(warning.text, str(1144) + u' ' + str(1145));
        QCOMPARE(warning.icon, Icon::Exclamation);
        QCOMPARE(warning.title, u"Kein Logo für Infoblatt gefunden!"_s);
        QCOMPARE(view.textControl()->toPlainText(), expectedText(u"Ihre Katze"_s));

        // The logo command: notice, dialog, setting, and the open sheet rebuilt.
        AppSettings settings;
        host.ui_.messages.clear();
        host.dietCase_.setText(DietCase::Field::petName, u"Mimi"_s);
        host.ui_.fileNames << file(u"wide.bmp"_s) << std::nullopt;
        changeLogo(host, settings, &view);
        QCOMPARE(host.ui_.messages.size(), 1);
        const auto &notice = host.ui_.messages[0];
        QCOMPARE(notice.text, str(1141) + u'\n' + str(1142));
        QVERIFY(notice.icon == Icon::None && notice.title.isEmpty());
        QCOMPARE(host.ui_.dialogFilters[0], u"Logo (*.bmp;*.gif;*.png;*.jpg;*.jpeg)|"
                                            u"*.bmp;*.gif;*.png;*.jpg;*.jpeg|Alle Dateien|*"_s);
        // As the Qt dialog reads it: the logos' patterns list the installed logo.
        const QStringList qtFilters =
            QtUserInterface::qtFilter(host.ui_.dialogFilters[0]).split(u";;"_s);
        QCOMPARE(qtFilters,
                 (QStringList{u"Logo (*.bmp *.gif *.png *.jpg *.jpeg)"_s, u"Alle Dateien (*)"_s}));
        const QStringList patterns = qtFilters[0].section(u'(', 1).chopped(1).split(u' ');
        QVERIFY(QDir::match(patterns.join(u' '), u"kvl_logo.gif"_s));
        QVERIFY(!QDir::match(patterns.join(u' '), u"Anleitung.mht"_s));
        QCOMPARE(settings.value(AppSettings::PicPath), file(u"wide.bmp"_s));
        QCOMPARE(view.logo().size(), QSize(300, 150));
        QCOMPARE(view.textControl()->toPlainText(),
                 QString(QChar(QChar::ObjectReplacementCharacter)) + u'\n' +
                     expectedText(u"Mimi"_s));

        // Cancelled, or another view active: the sheet stays as it is.
        host.dietCase_.setText(DietCase::Field::petName, u"Rex"_s);
        changeLogo(host, settings, &view);
        QCOMPARE(settings.value(AppSettings::PicPath), file(u"wide.bmp"_s));
        host.ui_.fileNames << file(u"small.bmp"_s);
        changeLogo(host, settings, nullptr);
        QCOMPARE(settings.value(AppSettings::PicPath), file(u"small.bmp"_s));
        QCOMPARE(view.logo().size(), QSize(300, 150));
        QVERIFY(view.textControl()->toPlainText().contains(u"Mimi"_s));
    }
};

QTEST_MAIN(TestInfoSheet)
#include "tst_infosheet.moc"
