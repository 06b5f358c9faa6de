// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "files/casescanner.h"

#include <QHash>
#include <QString>

#include <optional>

/**
 * What earlier scans of the recall list read, by file: a rescan opens only the files that
 * are new or whose size or modification time changed. Kept in the user's cache folder; a
 * missing, corrupt or foreign index reads as empty and is written anew.
 */
class CaseIndex {
public:
    /** One file as it was when read; no summary when it was no case file. */
    struct Entry {
        qint64 size = -1;
        qint64 modified = 0; ///< milliseconds since the epoch
        std::optional<CaseSummary> summary;
        qint64 readAt = 0;   ///< when it was read, ms since the epoch; set by put()
        bool listed = false; ///< found or put by this scan; not kept
    };

    /** The index of this user, shared by the program and the exporter. */
    static QString defaultPath();

    /** An empty index kept at the path; empty path: kept nowhere. */
    explicit CaseIndex(QString path = {});

    /** Reads the index; false (and empty) when it is missing, corrupt or foreign. */
    bool load();
    /** Writes the index whole or not at all; false when it could not (it is only a cache). */
    bool save() const;

    /**
     * The entry for the file when its size and time are still those read, and the time
     * was not so close to the reading that a change within the same tick could hide. Marks
     * the file as listed either way.
     */
    const Entry *find(const QString &path, qint64 size, qint64 modified);
    /** Keeps what was read from a listed file. */
    void put(const QString &path, const Entry &entry);
    /** Forgets the files of these folders that were not listed: they were removed. */
    void forgetUnlisted(const QStringList &folders);
    qsizetype size() const { return m_entries.size(); }
    /** Whether an entry was put or forgotten since the index was read. */
    bool isChanged() const { return m_changed; }

private:
    QString m_path;
    QHash<QString, Entry> m_entries;
    bool m_changed = false;
    qsizetype m_listed = 0;
};
