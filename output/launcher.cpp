// SPDX-License-Identifier: GPL-3.0-or-later

#include "output/launcher.h"

#include "controls/busycursor.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <array>
#include <optional>
#include <utility>

namespace {

struct LauncherError {
    int code;
    int message; ///< string number
};

// Codes 11 and 32 are not in string order: that is how the messages were numbered.
// clang-format off
constexpr std::array launcherErrors{
    LauncherError{2, S::FileNotFound},       // file not found
    LauncherError{3, S::PathNotFound},       // path not found
    LauncherError{5, S::AccessDenied},       // access denied
    LauncherError{8, S::OutOfMemory},        // out of memory
    LauncherError{11, S::BadExecutable},     // bad executable
    LauncherError{26, S::AccessViolation},   // sharing violation
    LauncherError{27, S::InvalidFileAccess}, // incomplete association
    LauncherError{28, S::DdeTimeOut},        // DDE time-out
    LauncherError{29, S::DdeFailed},         // DDE failure
    LauncherError{30, S::DdeBusy},           // DDE busy
    LauncherError{31, S::InvalidExtension},  // no association
    LauncherError{32, S::LibraryNotFound},   // DLL not found
};
// clang-format on
constexpr int unknownError = S::UnknownLaunchError;

/**
 * The types a file goes by, its own first, then its parents: the desktops' openers take a
 * handler of a parent type too, while xdg-mime names only the handler of the exact type.
 * From the name, as those openers do; empty when the name tells nothing.
 */
QStringList typesOf(const QString &path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.isDefault())
        return {};
    QStringList types = QStringList(type.name()) + type.allAncestors();
    types.removeAll(QStringLiteral("application/octet-stream")); // the parent of everything
    return types;
}

} // namespace

/** One open on its way: the types still to ask about, and who takes the result. */
struct XdgLauncher::Request {
    QString docName;
    QStringList types;
    int asked = 0;
    QDeadlineTimer deadline; ///< one for all questions
    std::optional<BusyCursor> busy;
    Done done;

    /** Hands the result over once; what comes after it is dropped. */
    void finish(int result) {
        busy.reset();
        if (Done taker = std::exchange(done, nullptr))
            taker(result);
    }
};

XdgLauncher::XdgLauncher(QString program, int waitMs, QString mimeProgram)
    : m_program(std::move(program))
    , m_waitMs(waitMs)
    , m_mimeProgram(std::move(mimeProgram))
    , m_requests(std::make_unique<QObject>()) {}

XdgLauncher::~XdgLauncher() = default;

int XdgLauncher::resultOfExitCode(int exitCode) {
    switch (exitCode) {
    case 0:
        return success;
    case 2: // the file does not exist
        return fileNotFound;
    case 3: // no handler for the type or scheme
        return noAssociation;
    default: // 1 bad arguments, 4 the handler failed
        return unknown;
    }
}

void XdgLauncher::open(const QString &docName, Done done) {
    const QUrl url(docName);
    QStringList types;
    // One letter is a drive, not a scheme.
    if (url.scheme().size() > 1 && !url.isLocalFile()) {
        types.append(u"x-scheme-handler/" + url.scheme().toLower());
    } else {
        const QString path = url.isLocalFile() ? url.toLocalFile() : docName;
        // Told here: under the big desktops xdg-open reports it like any other failure.
        if (!QFileInfo::exists(path)) {
            done(fileNotFound);
            return;
        }
        types = typesOf(path);
    }
    auto request = std::make_shared<Request>();
    request->docName = docName;
    request->types = types;
    request->deadline = QDeadlineTimer(m_waitMs);
    request->busy.emplace();
    request->done = std::move(done);
    // Where the desktop cannot tell, xdg-open tries and its exit code decides.
    if (types.isEmpty())
        launch(request);
    else
        ask(request);
}

void XdgLauncher::ask(const std::shared_ptr<Request> &request) {
    const QString type = request->types.at(request->asked++);
    auto *mime = new QProcess(m_requests.get());
    mime->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(mime, &QProcess::errorOccurred, m_requests.get(),
                     [this, mime, request](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // the end follows as finished()
                         mime->deleteLater();
                         launch(request);
                     });
    QObject::connect(mime, &QProcess::finished, m_requests.get(),
                     [this, mime, request](int exitCode, QProcess::ExitStatus status) {
                         mime->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             launch(request); // the desktop cannot tell
                         else if (!mime->readAllStandardOutput().trimmed().isEmpty())
                             launch(request);
                         else if (request->asked < request->types.size())
                             ask(request);
                         else
                             request->finish(noAssociation);
                     });
    // Past the deadline the desktop cannot tell either.
    QTimer::singleShot(int(request->deadline.remainingTime()), mime, [mime] { mime->kill(); });
    mime->start(m_mimeProgram, {QStringLiteral("query"), QStringLiteral("default"), type});
}

void XdgLauncher::launch(const std::shared_ptr<Request> &request) {
    // Kept alive past the result: in a desktop without a session helper xdg-open waits
    // for the handler it started, and a destroyed QProcess would kill it.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setProgram(m_program);
    process->setArguments({request->docName});
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, m_requests.get(),
                     [process, request](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         request->finish(noAssociation); // no launcher: nothing opens anything
                     });
    QObject::connect(process, &QProcess::finished, m_requests.get(),
                     [request](int exitCode, QProcess::ExitStatus status) {
                         request->finish(status == QProcess::NormalExit ? resultOfExitCode(exitCode)
                                                                        : unknown);
                     });
    // Still running after the wait: the handler is.
    QTimer::singleShot(m_waitMs, m_requests.get(), [request] { request->finish(success); });
    process->start();
}

int launcherMessage(int result) {
    if (result > 32)
        return 0;
    for (const LauncherError &error : launcherErrors) {
        if (error.code == result)
            return error.message;
    }
    return unknownError;
}

void StartDoc(Launcher &launcher, const QString &docName, Launcher::Done done) {
    launcher.open(docName, std::move(done));
}

void showLauncherError(UserInterface &ui, int result) {
    if (const int message = launcherMessage(result)) {
        ui.restoreCursors();
        ui.message(str(message), UserInterface::Icon::None, str(S::AppTitle));
    }
}

void open_prog(Launcher &launcher, UserInterface &ui, const QString &docName, Launcher::Done done) {
    StartDoc(launcher, docName, [&ui, done = std::move(done)](int result) {
        showLauncherError(ui, result);
        if (done)
            done(result);
    });
}
