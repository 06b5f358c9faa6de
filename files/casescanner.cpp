// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/casescanner.h"

#include "core/apperror.h"
#include "core/chartcalc.h"
#include "core/dietcase.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/casefile.h"
#include "files/caseindex.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

using F = DietCase::Field;

// Progress is reported in steps, not per file: 10,000 signals would flood the window.
constexpr int progressStep = 100;

} // namespace

CaseScanner::CaseScanner(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<CaseList>();
}

CaseScanner::~CaseScanner() {
    // The scans report to this object: each is cancelled and stops after its current file.
    cancel();
    for (QThread *thread : findChildren<QThread *>(Qt::FindDirectChildrenOnly))
        thread->wait();
}

std::optional<CaseSummary> CaseScanner::summarise(const QString &path, QString *reason) {
    CaseFile::Content content;
    try {
        content = CaseFile::read(path);
    } catch (const AppError &e) {
        if (reason)
            *reason = e.number() == AppError::PermissionDenied      ? str(S::ReasonNoReadRights)
                      : e.number() == AppError::FileNotFound        ? str(S::ReasonNotFound)
                      : e.number() == AppError::SubscriptOutOfRange ? str(S::ReasonNoCaseFile)
                                                                    : str(S::ReasonUnreadable);
        return std::nullopt;
    }
    if (!CaseFile::isValid(content)) {
        if (reason)
            *reason = str(S::ReasonNoCaseFile);
        return std::nullopt;
    }

    DietCase c;
    CaseFile::fill(c, content);
    CaseSummary s;
    s.file = QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath();
    s.owner = c.text(F::ownerName);
    s.pet = c.text(F::petName);
    s.species = c.text(F::species);
    s.targetWeight = c.text(F::targetWeight);
    s.patientNumber = c.patientNumber();
    const CaseHistory &history = c.history();
    if (history.isEmpty())
        return s;
    s.lastDate = history.last().date;
    s.lastWeight = history.last().weight;
    if (history.size() > 1) {
        // The curve of the first visit, as the chart draws it; a case whose curve cannot
        // be computed is listed without a status.
        try {
            const ChartSetup setup = ChartCalc(c, false, s.lastDate);
            const auto rows =
                Progress::rows(history, setup.plan, GermanText::parseNumber(s.targetWeight),
                               Clinical::animalOf(s.species));
            s.status = rows.last().status;
        } catch (const AppError &) {
        }
    }
    s.due = Progress::nextDue(s.lastDate, s.status);
    return s;
}

namespace {

struct Found {
    QString path; ///< as listed
    QString real; ///< links resolved: the key in the index
    QString folder;
    qint64 size = 0;
    qint64 modified = 0;
};

// The case files of the folders, each once however many ways it is reached; a folder that
// cannot be listed is named with its reason.
QList<Found> listFolders(const QStringList &folders, QStringList &errors,
                         QStringList &listedFolders) {
    QList<Found> found;
    bool links = false;
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        const QString shown = QDir::toNativeSeparators(folder);
        if (!info.exists()) {
            errors << str(S::FolderError).arg(shown, str(S::ReasonNotFound));
            continue;
        }
        if (!info.isDir()) {
            errors << str(S::FolderError).arg(shown, str(S::ReasonNotAFolder));
            continue;
        }
        if (!info.isReadable() || !info.isExecutable()) {
            errors << str(S::FolderError).arg(shown, str(S::ReasonNoReadRights));
            continue;
        }
        // Resolved once per folder; only links among the files need resolving each.
        const QString canonicalFolder = info.canonicalFilePath();
        const QString absoluteFolder = info.absoluteFilePath();
        if (listedFolders.contains(canonicalFolder))
            continue; // the same folder under another name
        listedFolders << canonicalFolder;
        // One lstat per file straight from the folder listing: QDir's file infos cost two
        // or three calls each, as much as reading the files' bytes, and a rescan from the
        // index does little else. Unsorted: the cases are sorted by due date afterwards.
        DIR *dir = opendir(QFile::encodeName(absoluteFolder).constData());
        if (!dir) {
            errors << str(S::FolderError)
                          .arg(shown,
                               str(errno == EACCES ? S::ReasonNoReadRights : S::ReasonUnreadable));
            continue;
        }
        const int fd = dirfd(dir);
        while (const dirent *entry = readdir(dir)) {
            const char *name = entry->d_name;
            const std::size_t length = std::strlen(name);
            if (name[0] == '.' || length < 5 || strcasecmp(name + length - 4, ".kvl") != 0)
                continue;
            struct stat st {};
            if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            const bool link = S_ISLNK(st.st_mode);
            if (link && fstatat(fd, name, &st, 0) != 0)
                continue; // a dangling link
            if (!S_ISREG(st.st_mode))
                continue;
            // Unreadable files too: they are named among the skipped ones.
            const QString fileName = QFile::decodeName(name);
            const QString path = absoluteFolder + u'/' + fileName;
            QString real = canonicalFolder + u'/' + fileName;
            if (link) {
                real = QFileInfo(path).canonicalFilePath();
                links = true;
            }
            found << Found{path, real, folder, qint64(st.st_size),
                           qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000};
        }
        closedir(dir);
    }
    // Only a link can lead to a file twice: the folders are distinct.
    if (links) {
        QSet<QString> seen;
        found.removeIf([&](const Found &f) {
            if (seen.contains(f.real))
                return true;
            seen.insert(f.real);
            return false;
        });
    }
    return found;
}

} // namespace

CaseList CaseScanner::scan(const QStringList &folders, const ProgressFn &progress,
                           const QString &indexPath, const CancelFn &cancelled) {
    CaseList list;
    QStringList listedFolders;
    const QList<Found> found = listFolders(folders, list.folderErrors, listedFolders);
    list.total = int(found.size());
    CaseIndex index(indexPath);
    index.load();
    for (const Found &f : found) {
        if (cancelled && cancelled()) {
            list.complete = false;
            break;
        }
        std::optional<CaseSummary> summary;
        QString reason;
        if (const CaseIndex::Entry *entry = index.find(f.real, f.size, f.modified)) {
            summary = entry->summary;
            if (!summary)
                reason = str(S::ReasonNoCaseFile);
        } else {
            ++list.opened;
            summary = summarise(f.path, &reason);
            // A file that could not be opened may be readable next time: not kept.
            if (summary || reason == str(S::ReasonNoCaseFile))
                index.put(f.real, {f.size, f.modified, summary});
        }
        if (summary) {
            summary->file = f.path;
            summary->folder = f.folder;
            list.cases << std::move(*summary);
        } else {
            list.skipped << SkippedFile{f.path, reason};
        }
        ++list.done;
        if (progress && (list.done % progressStep == 0 || list.done == list.total) &&
            !progress(list.done, list.total)) {
            list.complete = false;
            break;
        }
    }
    if (list.complete)
        index.forgetUnlisted(listedFolders);
    if (!indexPath.isEmpty() && index.isChanged())
        index.save();
    std::stable_sort(list.cases.begin(), list.cases.end(),
                     [](const CaseSummary &a, const CaseSummary &b) {
                         if (a.due.isValid() != b.due.isValid())
                             return a.due.isValid();
                         if (a.due != b.due)
                             return a.due < b.due;
                         if (a.owner != b.owner)
                             return a.owner.localeAwareCompare(b.owner) < 0;
                         return a.pet.localeAwareCompare(b.pet) < 0;
                     });
    return list;
}

void CaseScanner::start(const QStringList &folders, const QString &indexPath) {
    cancel();
    const auto cancelFlag = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancelFlag;
    // Reports of an earlier scan, queued or still to come, are dropped by their generation.
    const int generation = ++m_generation;
    const auto report = [this, generation](auto fn) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, fn] {
                if (generation == m_generation)
                    fn();
            },
            Qt::QueuedConnection);
    };
    QThread *thread = QThread::create([this, folders, indexPath, report, cancelFlag] {
        const CaseList list = scan(
            folders,
            [this, report](int done, int total) {
                report([this, done, total] { emit progress(done, total); });
                return true;
            },
            indexPath, [cancelFlag] { return cancelFlag->load(); });
        report([this, list, cancelFlag] {
            if (list.complete && !*cancelFlag)
                emit finished(list);
            else
                emit cancelled(list);
        });
    });
    // A child until it has ended, so that the destructor finds the scans still running.
    thread->setParent(this);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_thread = thread;
    thread->start();
}

void CaseScanner::cancel() {
    if (m_cancel)
        *m_cancel = true;
}

bool CaseScanner::isRunning() const {
    return m_thread && m_thread->isRunning();
}

QString CaseScanner::skippedText(int skipped) {
    if (skipped <= 0)
        return {};
    return skipped == 1 ? str(S::SkippedOne) : str(S::SkippedMany).arg(skipped);
}
