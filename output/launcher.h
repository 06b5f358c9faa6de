// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
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

    /** Takes the result of one open(); called once, on the caller's thread. */
    using Done = std::function<void(int result)>;

    virtual ~Launcher() = default;
    /** Opens a document or link; done gets the result, maybe only after open() has returned. */
    virtual void open(const QString &docName, Done done) = 0;
};

/**
 * The freedesktop launcher: xdg-open, started directly, never through a shell. A missing
 * file is told first, and the desktop is asked (xdg-mime) whether anything handles the
 * link's scheme or the file's type, because xdg-open reports both by exit codes that differ
 * from desktop to desktop. Both programs run without the caller waiting on them; the
 * hourglass shows until the result is there. A result still on its way when the launcher
 * goes is dropped.
 */
class XdgLauncher : public Launcher {
public:
    /** The programs and the wait are for tests; xdg-open normally returns at once. */
    explicit XdgLauncher(QString program = QStringLiteral("xdg-open"), int waitMs = 5000,
                         QString mimeProgram = QStringLiteral("xdg-mime"));
    ~XdgLauncher() override;

    void open(const QString &docName, Done done) override;

    /** The launcher result for an exit code of xdg-open. */
    static int resultOfExitCode(int exitCode);

private:
    struct Request;
    /** Asks xdg-mime for a handler of the request's next type. */
    void ask(const std::shared_ptr<Request> &request);
    void launch(const std::shared_ptr<Request> &request);

    QString m_program;
    int m_waitMs;
    QString m_mimeProgram;
    /** The context of every request on its way: gone with the launcher, and they with it. */
    std::unique_ptr<QObject> m_requests;
};

/** The string number of the message for a launcher result, 0 for success. */
int launcherMessage(int result);

/** Asks the desktop to open `docName` with its default handler; done gets the result. */
void StartDoc(Launcher &launcher, const QString &docName, Launcher::Done done);

/** A failed launcher result as a plain message box (normal pointer first); else nothing. */
void showLauncherError(UserInterface &ui, int result);

/** StartDoc, and the launcher's error as a plain message box; then done, if given. */
void open_prog(Launcher &launcher, UserInterface &ui, const QString &docName,
               Launcher::Done done = {});
