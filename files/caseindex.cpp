// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/caseindex.h"

#include "files/atomicfile.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <cstring>

namespace {

constexpr quint32 magic = 0x4B564C49; // "KVLI"
// Raised whenever what a summary holds or how it is worked out changes: an index of an
// earlier version is read as empty.
constexpr quint16 version = 4;
constexpr quint32 maxEntries = 10'000'000;
// A file changed twice within the file system's tick keeps its time: entries read that soon
// after their last change are read again next time.
constexpr qint64 tickMs = 2000;

// Tells a cut or damaged index, not a forged one: it is the user's own cache. A hash of
// the cryptographic kind took as long as the rest of a rescan.
quint64 checksum(QByteArrayView bytes) {
    quint64 sum = 0x243F6A8885A308D3ull ^ quint64(bytes.size());
    const auto mix = [&sum](quint64 word) {
        sum = (sum ^ word) * 0x9E3779B97F4A7C15ull;
        sum ^= sum >> 29;
    };
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + i, 8);
        mix(word);
    }
    quint64 tail = 0;
    if (i < bytes.size())
        std::memcpy(&tail, bytes.data() + i, std::size_t(bytes.size() - i));
    mix(tail);
    return sum;
}

// The file's path and folder are not kept: the scan sets them from the listing.
void write(QDataStream &out, const CaseSummary &s) {
    out << s.owner << s.pet << s.species << s.lastDate << bool(s.lastWeight)
        << s.lastWeight.value_or(0) << s.targetWeight << qint8(s.status ? int(*s.status) : -1)
        << s.due << s.patientNumber;
}

bool read(QDataStream &in, CaseSummary &s) {
    bool hasWeight = false;
    double weight = 0;
    qint8 status = -1;
    in >> s.owner >> s.pet >> s.species >> s.lastDate >> hasWeight >> weight >> s.targetWeight >>
        status >> s.due >> s.patientNumber;
    if (hasWeight)
        s.lastWeight = weight;
    if (status > int(ProgressStatus::TooShort))
        return false;
    if (status >= 0)
        s.status = ProgressStatus(status);
    return in.status() == QDataStream::Ok;
}

} // namespace

QString CaseIndex::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/korvalo/faelle.index");
}

CaseIndex::CaseIndex(QString path)
    : m_path(std::move(path)) {}

bool CaseIndex::load() {
    m_entries.clear();
    m_listed = 0;
    m_changed = true; // written anew unless read whole
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    // A cut or damaged index would otherwise read as other files' owners and pets.
    QByteArray bytes = file.readAll();
    constexpr qsizetype sumSize = sizeof(quint64);
    quint64 sum = 0;
    if (bytes.size() < sumSize)
        return false;
    std::memcpy(&sum, bytes.constData() + bytes.size() - sumSize, sumSize);
    bytes.chop(sumSize);
    if (checksum(bytes) != sum)
        return false;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    in.setByteOrder(QDataStream::LittleEndian); // the machine's: no swapping of every text
    quint32 fileMagic = 0, count = 0;
    quint16 fileVersion = 0;
    in >> fileMagic >> fileVersion >> count;
    if (fileMagic != magic || fileVersion != version || count > maxEntries)
        return false;
    QHash<QString, Entry> entries;
    entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QString path;
        Entry entry;
        bool isCase = false;
        in >> path >> entry.size >> entry.modified >> entry.readAt >> isCase;
        if (isCase) {
            CaseSummary summary;
            if (!read(in, summary))
                return false;
            entry.summary = summary;
        }
        if (in.status() != QDataStream::Ok)
            return false;
        entries.insert(path, entry);
    }
    if (!in.atEnd())
        return false;
    m_entries = std::move(entries);
    m_changed = false;
    return true;
}

bool CaseIndex::save() const {
    if (m_path.isEmpty())
        return false;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out.setByteOrder(QDataStream::LittleEndian);
    out << magic << version << quint32(m_entries.size());
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        out << it.key() << it->size << it->modified << it->readAt << bool(it->summary);
        if (it->summary)
            write(out, *it->summary);
    }
    const quint64 sum = checksum(bytes);
    bytes.append(reinterpret_cast<const char *>(&sum), sizeof sum);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return AtomicFile::tryWrite(m_path, bytes);
}

const CaseIndex::Entry *CaseIndex::find(const QString &path, qint64 size, qint64 modified) {
    const auto it = m_entries.find(path);
    if (it == m_entries.end())
        return nullptr;
    if (!it->listed) {
        it->listed = true;
        ++m_listed;
    }
    if (it->size != size || it->modified != modified)
        return nullptr;
    if (modified > it->readAt - tickMs)
        return nullptr;
    return &*it;
}

void CaseIndex::put(const QString &path, const Entry &entry) {
    m_changed = true;
    Entry &kept = m_entries[path];
    if (!kept.listed)
        ++m_listed;
    kept = entry;
    kept.readAt = QDateTime::currentMSecsSinceEpoch();
    kept.listed = true;
}

void CaseIndex::forgetUnlisted(const QStringList &folders) {
    if (m_listed == m_entries.size())
        return; // every entry was listed
    const QSet<QString> scanned(folders.begin(), folders.end());
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        const QStringView folder = QStringView(it.key()).left(it.key().lastIndexOf(u'/'));
        if (!it->listed && scanned.contains(folder.toString())) {
            m_changed = true;
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}
