// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <optional>

class UserInterface;

/**
 * Hands documents and links to the desktop's default handler. The result follows the
 * old launcher convention the messages are keyed by: above 32 is success, 0 to 32 an
 * error code.
 */
class Launcher {
public:
    static constexpr int success = 42;
    static constexpr int fileNotFound = 2;
    static constexpr int noAssociation = 31;
    static constexpr int unknown = 0;

    virtual ~Launcher() = default;
    virtual int open(const QString &docName) = 0;
};

/**
 * The freedesktop launcher: xdg-open, started directly, never through a shell. A missing
 * file is told first, and the desktop is asked (xdg-mime) whether anything handles the
 * link's scheme or the file's type, because xdg-open reports both by exit codes that differ
 * from desktop to desktop.
 */
class XdgLauncher : public Launcher {
public:
    /** The programs and the wait are for tests; xdg-open normally returns at once. */
    explicit XdgLauncher(QString program = QStringLiteral("xdg-open"), int waitMs = 5000,
                         QString mimeProgram = QStringLiteral("xdg-mime"));

    int open(const QString &docName) override;

    /** The launcher result for an exit code of xdg-open. */
    static int resultOfExitCode(int exitCode);

private:
    /** Whether anything handles one of the types; nothing when the desktop cannot tell. */
    std::optional<bool> hasHandler(const QStringList &types) const;
    /** The answer of xdg-mime; nothing when it could not answer before the deadline. */
    std::optional<QString> askMime(const QStringList &arguments, QDeadlineTimer deadline) const;

    QString m_program;
    int m_waitMs;
    QString m_mimeProgram;
};

/** The string number of the message for a launcher result, 0 for success. */
int launcherMessage(int result);

/** Asks the desktop to open `docName` with its default handler. */
int StartDoc(Launcher &launcher, const QString &docName);

/** A failed launcher result as a plain message box (normal pointer first); else nothing. */
void showLauncherError(UserInterface &ui, int result);

/** StartDoc, and the launcher's error as a plain message box. Returns the result. */
int open_prog(Launcher &launcher, UserInterface &ui, const QString &docName);
