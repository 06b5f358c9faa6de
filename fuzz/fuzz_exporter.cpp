// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary command lines to the exporter: the input split at NUL or line feed gives
// the arguments. It runs in a private folder holding three case files (new, follow-up,
// broken); arguments with a '/' are refused, so nothing is written outside it. Besides
// crashes, hangs and sanitizer reports it checks the exit code, that only the files named
// for output change, that help, a bad command line or a broken case file change none, that
// a saved case file loads, and that a successful run wrote every output it was asked for.
#include "cli/planexporter.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/stringtable.h"
#include "files/casefile.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr int sInvalidText = 38; // "Inhalt der Datei kann von KORVALO nicht gelesen werden"

// Where libFuzzer keeps its files: the work folder is only current during a run.
QString &startFolder() {
    static QString folder;
    return folder;
}

[[noreturn]] void fail(const char *what, const QStringList &arguments = {}) {
    QDir::setCurrent(startFolder());
    std::fprintf(stderr, "fuzz_exporter: %s\narguments: %s\n", what,
                 qUtf8Printable(arguments.join(u" | ")));
    std::abort();
}

void quiet(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type == QtFatalMsg)
        fail(qUtf8Printable(text));
}

// The case files every run finds in its folder.
const QHash<QString, QByteArray> &caseFiles() {
    static const QHash<QString, QByteArray> files{
        {QStringLiteral("neu.kvl"),
         "M\xfcller\r\nBello\r\n12,5\r\n10\r\n25\r\n7\r\n2\r\n1\r\n15.03.2027\r\nEndText1\r\n"
         "Hund\r\nEndList\r\n07.12.2026\r\n07.12.2026\r\n12,5\r\nEndText2\r\nTrue\r\nFalse\r\n"
         "False\r\nTrue\r\nEndOption\r\n"},
        {QStringLiteral("folge.kvl"),
         "J\xfcrgen Wei\xdf\r\nM\xe4xchen\r\n11\r\n4,5\r\n22\r\nEmpty\r\n3\r\n1,5\r\n01.02.2027\r\n"
         "EndText1\r\nKatze\r\nEndList\r\n07.12.2026\r\n01.11.2026\r\n5,5 kg\r\nEndText2\r\n"
         "False\r\nTrue\r\nTrue\r\nFalse\r\nEndOption\r\n"},
        {QStringLiteral("kaputt.kvl"),
         "M\xfcller\r\nBello\r\n12,5\r\n10\r\n25\r\n7\r\n2\r\n1\r\n15.03.2027\r\nEndText1\r\n"
         "Hund\r\nEndList\r\n32.13.2026\r\n07.12.2026\r\n12,5\r\nEndText2\r\nTrue\r\nFalse\r\n"
         "False\r\nTrue\r\nEndOption\r\n"},
    };
    return files;
}

QTemporaryDir &folder() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/korvalo-fuzz-exporter-XXXXXX"));
    return dir;
}

// The folder the exporter works in, emptied and given the case files before every run.
QDir workFolder() {
    return QDir(folder().filePath(QStringLiteral("work")));
}

void resetWorkFolder() {
    QDir work = workFolder();
    const auto entries =
        work.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            work.remove(entry.fileName());
    }
    for (auto it = caseFiles().begin(); it != caseFiles().end(); ++it) {
        QFile file(work.filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            fail("cannot write the case files");
    }
}

// Name and content hash of every entry, to see what a run changed.
QHash<QString, QByteArray> snapshot() {
    QHash<QString, QByteArray> state;
    const QDir work = workFolder();
    const auto entries =
        work.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        QFile file(entry.filePath());
        QByteArray hash = "folder";
        if (entry.isFile() && file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
        state.insert(entry.fileName(), hash);
    }
    return state;
}

// A name from the command line as a path in the current folder, whatever it starts with.
QString onDisk(const QString &name) {
    return u"./" + name;
}

// The command line as the usage text describes it; nothing when it breaks that grammar.
struct Command {
    bool json = false;
    QString caseFile;
    QString save;
    QSet<QString> otherOutputs; // --rtf-info, --pdf-* and --gdt-out
    QSet<QString> outputs;
};

std::optional<Command> readCommand(const QStringList &args) {
    static const QSet<QString> oneValue{
        QStringLiteral("--today"),      QStringLiteral("--owner"),     QStringLiteral("--pet"),
        QStringLiteral("--species"),    QStringLiteral("--sex"),       QStringLiteral("--neuter"),
        QStringLiteral("--age"),        QStringLiteral("--target"),    QStringLiteral("--weight"),
        QStringLiteral("--overweight"), QStringLiteral("--save"),      QStringLiteral("--rtf-info"),
        QStringLiteral("--pdf-chart"),  QStringLiteral("--pdf-diary"), QStringLiteral("--pdf-info"),
        QStringLiteral("--gdt"),        QStringLiteral("--gdt-out")};
    Command c;
    QHash<QString, QString> last;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--json") {
            c.json = true;
        } else if (arg == u"--rates") {
            if (i + 2 >= args.size())
                return std::nullopt;
            i += 2;
        } else if (oneValue.contains(arg)) {
            if (i + 1 >= args.size())
                return std::nullopt;
            last.insert(arg, args[++i]);
        } else if (arg.startsWith(u"--")) {
            return std::nullopt;
        } else if (c.caseFile.isEmpty()) {
            c.caseFile = arg;
        } else {
            return std::nullopt;
        }
    }
    c.save = last.value(QStringLiteral("--save"));
    for (const char *option :
         {"--rtf-info", "--pdf-chart", "--pdf-diary", "--pdf-info", "--gdt-out"}) {
        const QString name = last.value(QLatin1StringView(option));
        if (!name.isEmpty())
            c.otherOutputs.insert(name);
    }
    c.outputs = c.otherOutputs;
    if (!c.save.isEmpty())
        c.outputs.insert(c.save);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    if (!folder().isValid())
        fail("no temporary folder");
    // Settings, documents and the runtime folder stay inside the private folder too.
    const QByteArray root = QFile::encodeName(folder().path());
    for (const char *name : {"work", "config", "runtime"})
        QDir(folder().path()).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(folder().filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static QApplication app(*argc, *argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvalo-plan"));
    startFolder() = QDir::currentPath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 2048)
        return -1;
    QStringList arguments;
    for (const QByteArray &piece : QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))
                                       .replace('\0', '\n')
                                       .split('\n'))
        arguments << QString::fromUtf8(piece);
    if (arguments.size() == 1 && arguments.first().isEmpty())
        arguments.clear();
    int printouts = 0;
    for (const QString &argument : arguments) {
        // Paths stay in the work folder; printouts take long, so one a run at most.
        if (argument.contains(u'/') || (argument.startsWith(u"--pdf-") && ++printouts > 1))
            return -1;
    }

    resetWorkFolder();
    Clock::setToday(QDate(2026, 12, 7));
    const QHash<QString, QByteArray> before = snapshot();
    QString outText;
    QString errText;
    int exitCode = 0;
    if (!QDir::setCurrent(workFolder().path()))
        fail("cannot enter the work folder");
    const auto back = qScopeGuard([] { QDir::setCurrent(startFolder()); });
    {
        QTextStream out(&outText);
        QTextStream err(&errText);
        exitCode = runPlanExporter(arguments, out, err);
    }
    const QHash<QString, QByteArray> after = snapshot();

    if (exitCode < 0 || exitCode > 2)
        fail("an exit code other than 0, 1 or 2", arguments);

    const std::optional<Command> command = readCommand(arguments);
    QSet<QString> changed;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.value(it.key()) != it.value())
            changed.insert(it.key());
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            changed.insert(it.key());
    }
    if (arguments.contains(u"--help") || arguments.contains(u"-h") ||
        arguments.contains(u"--version") || arguments.contains(u"-v")) {
        if (exitCode != 0 || !changed.isEmpty())
            fail("asking for help or the version did more than print it", arguments);
        return 0;
    }
    if (!command) {
        if (exitCode != 2 || !changed.isEmpty())
            fail("a bad command line did not end with 2 before doing anything", arguments);
        return 0;
    }
    if (!changed.subtract(command->outputs).isEmpty())
        fail("a file changed that no output option named", arguments);
    if (errText.startsWith(str(sInvalidText))) {
        if (exitCode != 1 || after != before)
            fail("a broken case file did not end with 1 before doing anything", arguments);
    }
    if (!command->caseFile.isEmpty() && !QFileInfo::exists(onDisk(command->caseFile)) &&
        exitCode != 2)
        fail("a missing case file did not end with 2", arguments);
    if (!command->save.isEmpty() && !command->otherOutputs.contains(command->save) &&
        before.value(command->save) != after.value(command->save)) {
        try {
            if (!CaseFile::isValid(CaseFile::read(onDisk(command->save))))
                fail("a saved case file does not pass the checks", arguments);
        } catch (const AppError &) {
            fail("a saved case file cannot be read", arguments);
        }
    }
    if (exitCode == 0) {
        for (const QString &output : command->outputs) {
            if (!QFileInfo(onDisk(output)).isFile())
                fail("a successful run left out an output", arguments);
        }
        if (command->json && !QJsonDocument::fromJson(outText.toUtf8()).isObject())
            fail("--json printed no JSON object", arguments);
    }
    return 0;
}
