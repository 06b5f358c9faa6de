// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

/**
 * A save's hold on a case file, for workstations that share a folder: the file
 * "Name.kvl.lock" beside the case, created exclusively (which also works on network
 * shares), holding host, user and time. A lock older than two minutes was left by a program
 * that ended without removing it and is taken over. Released when the object goes.
 */
class CaseLock {
public:
    /** Who holds a lock, as its file says. */
    struct Holder {
        QString host;
        QString user;
        QDateTime since;
    };

    static constexpr int staleSeconds = 120;

    /**
     * Takes the lock of the case file, trying for up to `waitMs` milliseconds; nothing
     * when another holds it all that time (then `holder` says who, with a valid time) or the
     * lock cannot be made at all (a folder without the right to write: the save then fails on
     * its own, and `holder` is left as it was).
     */
    static std::optional<CaseLock> take(const QString &casePath, int waitMs,
                                        Holder *holder = nullptr);
    /** The lock file's name for a case file. */
    static QString lockPath(const QString &casePath);

    CaseLock(CaseLock &&other) noexcept;
    CaseLock &operator=(CaseLock &&other) = delete;
    CaseLock(const CaseLock &) = delete;
    ~CaseLock();

private:
    explicit CaseLock(QString path)
        : m_path(std::move(path)) {}
    QString m_path; ///< empty once moved from
};
