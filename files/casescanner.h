// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/progress.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QThread;

/** One case file as the recall list shows it. */
struct CaseSummary {
    QString file;   ///< absolute path
    QString folder; ///< the folder it was listed from, as given
    QString owner;
    QString pet;
    QString species;
    QString patientNumber; ///< the practice system's, for a case opened by GDT
    QDate lastDate;        ///< invalid when the case has no weighing
    std::optional<double> lastWeight;
    QString targetWeight;                 ///< as in the file
    std::optional<ProgressStatus> status; ///< of the last weighing; none before the second
    QDate due;                            ///< the next weighing; invalid without any weighing

    bool isOverdue(QDate today) const { return due.isValid() && due < today; }
    /** The diet has ended: the target was reached at the last weighing. */
    bool isClosed() const { return status == ProgressStatus::TargetReached; }
};

/** A file the list leaves out, and why. */
struct SkippedFile {
    QString file;
    QString reason; ///< "keine Leserechte", "keine Fallakte" …
};

/** What a scan found: the cases by due date, and what it could not read. */
struct CaseList {
    QList<CaseSummary> cases;
    QList<SkippedFile> skipped;
    QStringList folderErrors; ///< "Ordner /praxis/faelle: keine Leserechte"
    int total = 0;            ///< case files found (a file reached twice counts once)
    int done = 0;             ///< of those, read before the scan ended
    int opened = 0;           ///< files opened: the index spares the unchanged ones
    bool complete = true;     ///< false: cancelled, the list holds what was read so far
};

/**
 * Lists the case files (*.kvl) of folders for the recall list. scan() does the work where
 * it is called; start() runs it on a worker thread and reports progress, the result or
 * the cancellation through signals on the caller's thread. The caller's thread never waits
 * for a running scan, except at the scanner's end, for at most the file each is reading.
 */
class CaseScanner : public QObject {
    Q_OBJECT

public:
    /** Called every hundred files and after the last with files done and in all; false cancels. */
    using ProgressFn = std::function<bool(int done, int total)>;
    /** Asked before each file; true stops the scan there. */
    using CancelFn = std::function<bool()>;

    explicit CaseScanner(QObject *parent = nullptr);
    ~CaseScanner() override;

    /**
     * Cases sorted by due date (cases without a weighing last), then owner and pet.
     * Files that fail the case file's checks or cannot be read are skipped with their
     * reason; a file reached twice (through a link) is listed once. When cancelled, what
     * was read so far, marked incomplete. With an index path, unchanged files are taken
     * from the index instead of being opened, and the index is brought up to date. The
     * setting "SmallPets" does not matter for the status.
     */
    static CaseList scan(const QStringList &folders, const ProgressFn &progress = {},
                         const QString &indexPath = {}, const CancelFn &cancelled = {});

    /** One file's summary; nothing when it is no case file (the reason then set). */
    static std::optional<CaseSummary> summarise(const QString &path, QString *reason = nullptr);

    /**
     * Starts a scan off this thread. One still running is cancelled and left to end on its
     * own thread; nothing of it is reported any more.
     */
    void start(const QStringList &folders, const QString &indexPath = {});
    /** Asks the running scan to stop within the file it reads; it reports cancelled(). */
    void cancel();
    bool isRunning() const;

    /** "3 Dateien übersprungen"; empty when none was. */
    static QString skippedText(int skipped);

signals:
    void progress(int done, int total);
    void finished(const CaseList &list);
    /** With what was read before the cancel. */
    void cancelled(const CaseList &partial);

private:
    QPointer<QThread> m_thread;                  ///< the current scan's; gone once it has ended
    std::shared_ptr<std::atomic<bool>> m_cancel; ///< the current scan's own flag
    int m_generation = 0;
};
