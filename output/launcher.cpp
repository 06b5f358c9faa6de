// SPDX-License-Identifier: GPL-3.0-or-later

#include "output/launcher.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

#include <array>

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

XdgLauncher::XdgLauncher(QString program, int waitMs, QString mimeProgram)
    : m_program(std::move(program))
    , m_waitMs(waitMs)
    , m_mimeProgram(std::move(mimeProgram)) {}

std::optional<QString> XdgLauncher::askMime(const QStringList &arguments,
                                            QDeadlineTimer deadline) const {
    QProcess mime;
    mime.setStandardErrorFile(QProcess::nullDevice());
    mime.start(m_mimeProgram, arguments);
    if (!mime.waitForFinished(int(deadline.remainingTime())) ||
        mime.exitStatus() != QProcess::NormalExit || mime.exitCode() != 0) {
        mime.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(mime.readAllStandardOutput()).trimmed();
}

std::optional<bool> XdgLauncher::hasHandler(const QStringList &types) const {
    if (types.isEmpty())
        return std::nullopt;
    // One wait for all questions: the GUI thread waits on them.
    const QDeadlineTimer deadline(m_waitMs);
    for (const QString &type : types) {
        const auto handler =
            askMime({QStringLiteral("query"), QStringLiteral("default"), type}, deadline);
        if (!handler)
            return std::nullopt;
        if (!handler->isEmpty())
            return true;
    }
    return false;
}

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

int XdgLauncher::open(const QString &docName) {
    const QUrl url(docName);
    QStringList types;
    // One letter is a drive, not a scheme.
    if (url.scheme().size() > 1 && !url.isLocalFile()) {
        types.append(u"x-scheme-handler/" + url.scheme().toLower());
    } else {
        const QString path = url.isLocalFile() ? url.toLocalFile() : docName;
        // Told here: under the big desktops xdg-open reports it like any other failure.
        if (!QFileInfo::exists(path))
            return fileNotFound;
        types = typesOf(path);
    }
    // Where the desktop cannot tell, xdg-open tries and its exit code decides.
    if (const auto handled = hasHandler(types); handled && !*handled)
        return noAssociation;
    // Kept alive past this call: in a desktop without a session helper xdg-open waits
    // for the handler it started, and a destroyed QProcess would kill it.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setProgram(m_program);
    process->setArguments({docName});
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return noAssociation; // no launcher at all: nothing can open anything
    }
    if (!process->waitForFinished(m_waitMs))
        return success; // the handler is running
    const int result = process->exitStatus() == QProcess::NormalExit
                           ? resultOfExitCode(process->exitCode())
                           : unknown;
    return result;
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

int StartDoc(Launcher &launcher, const QString &docName) {
    return launcher.open(docName);
}

void showLauncherError(UserInterface &ui, int result) {
    if (const int message = launcherMessage(result)) {
        ui.restoreCursors();
        ui.message(str(message), UserInterface::Icon::None, str(S::AppTitle));
    }
}

int open_prog(Launcher &launcher, UserInterface &ui, const QString &docName) {
    const int result = StartDoc(launcher, docName);
    showLauncherError(ui, result);
    return result;
}
