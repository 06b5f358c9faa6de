// SPDX-License-Identifier: GPL-3.0-or-later

#include "output/launcher.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QCoreApplication>
#include <QFileInfo>
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
    LauncherError{2, 300},  // file not found
    LauncherError{3, 301},  // path not found
    LauncherError{5, 302},  // access denied
    LauncherError{8, 303},  // out of memory
    LauncherError{11, 311}, // bad executable
    LauncherError{26, 305}, // sharing violation
    LauncherError{27, 306}, // incomplete association
    LauncherError{28, 307}, // DDE time-out
    LauncherError{29, 308}, // DDE failure
    LauncherError{30, 309}, // DDE busy
    LauncherError{31, 310}, // no association
    LauncherError{32, 304}, // DLL not found
};
// clang-format on
constexpr int unknownError = 312;

} // namespace

XdgLauncher::XdgLauncher(QString program, int waitMs, QString mimeProgram)
    : m_program(std::move(program))
    , m_waitMs(waitMs)
    , m_mimeProgram(std::move(mimeProgram)) {}

std::optional<QString> XdgLauncher::askMime(const QStringList &arguments) const {
    QProcess mime;
    mime.setStandardErrorFile(QProcess::nullDevice());
    mime.start(m_mimeProgram, arguments);
    if (!mime.waitForFinished(m_waitMs) || mime.exitStatus() != QProcess::NormalExit ||
        mime.exitCode() != 0) {
        mime.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(mime.readAllStandardOutput()).trimmed();
}

QString XdgLauncher::typeOf(const QString &docName) const {
    const QUrl url(docName);
    // One letter is a drive, not a scheme.
    if (url.scheme().size() > 1 && !url.isLocalFile())
        return u"x-scheme-handler/" + url.scheme().toLower();
    const QString path = url.isLocalFile() ? url.toLocalFile() : docName;
    if (!QFileInfo::exists(path))
        return {}; // xdg-open reports a missing file itself
    return askMime({QStringLiteral("query"), QStringLiteral("filetype"), path}).value_or(QString());
}

bool XdgLauncher::hasHandler(const QString &type) const {
    const auto handler = askMime({QStringLiteral("query"), QStringLiteral("default"), type});
    return !handler || !handler->isEmpty();
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
    if (const QString type = typeOf(docName); !type.isEmpty() && !hasHandler(type))
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
