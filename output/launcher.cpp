#include "output/launcher.h"

#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QCoreApplication>
#include <QProcess>

#include <array>

namespace {

constexpr int sTitle = 2412;

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

XdgLauncher::XdgLauncher(QString program, int waitMs)
    : m_program(std::move(program))
    , m_waitMs(waitMs) {}

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
        ui.message(str(message), UserInterface::Icon::None, str(sTitle));
    }
}

int open_prog(Launcher &launcher, UserInterface &ui, const QString &docName) {
    const int result = StartDoc(launcher, docName);
    showLauncherError(ui, result);
    return result;
}
