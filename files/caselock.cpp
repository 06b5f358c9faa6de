// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/caselock.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString userName() {
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

std::optional<CaseLock::Holder> readHolder(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.read(4096)).split(u'\n');
    CaseLock::Holder holder;
    holder.host = lines.value(0);
    holder.user = lines.value(1);
    holder.since = QDateTime::fromString(lines.value(2), Qt::ISODate);
    // A lock being written has no time yet: its file's own time stands in.
    if (!holder.since.isValid())
        holder.since = QFileInfo(path).lastModified();
    return holder;
}

} // namespace

QString CaseLock::lockPath(const QString &casePath) {
    return casePath + QStringLiteral(".lock");
}

std::optional<CaseLock> CaseLock::take(const QString &casePath, int waitMs, Holder *holder) {
    const QString path = lockPath(casePath);
    const QByteArray content = (QSysInfo::machineHostName() + u'\n' + userName() + u'\n' +
                                QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + u'\n')
                                   .toUtf8();
    QDeadlineTimer deadline(waitMs);
    const QByteArray name = QFile::encodeName(path);
    for (;;) {
        // O_CREAT | O_EXCL: of two savers exactly one makes the file.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            // A lock without its text still locks: a reader then takes the file's time.
            [[maybe_unused]] const auto written =
                ::write(fd, content.constData(), size_t(content.size()));
            ::close(fd);
            return CaseLock(path);
        }
        // Only a lock that exists is waited for. A lock released between the failed create and
        // a look at it is taken at the next turn, never skipped: saving without it lost updates.
        if (errno != EEXIST)
            return std::nullopt; // the folder refuses new files
        const std::optional<Holder> held = readHolder(path);
        if (held && held->since.isValid() &&
            held->since.secsTo(QDateTime::currentDateTimeUtc()) > staleSeconds) {
            QFile::remove(path); // left behind by a program that ended
            continue;
        }
        if (deadline.hasExpired()) {
            if (holder) {
                *holder = held.value_or(Holder());
                if (!holder->since.isValid()) // gone or unreadable this instant
                    holder->since = QDateTime::currentDateTimeUtc();
            }
            return std::nullopt;
        }
        QThread::msleep(20);
    }
}

CaseLock::CaseLock(CaseLock &&other) noexcept
    : m_path(std::exchange(other.m_path, QString())) {}

CaseLock::~CaseLock() {
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}
