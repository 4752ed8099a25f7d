// SPDX-License-Identifier: GPL-3.0-or-later
#include "QueueLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QueueLock::~QueueLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool QueueLock::take(const QString& dir, const QString& holder, QString* error)
{
    const QString path = QDir(dir).filePath(QString::fromLatin1(FileName));
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0)
        return fail(QStringLiteral("%1 cannot be opened: %2")
                        .arg(path, QString::fromLocal8Bit(strerror(errno))));
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        char text[512] = {};
        const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
        ::close(fd);
        if (why != EWOULDBLOCK)
            return fail(QStringLiteral("%1 cannot be locked: %2")
                            .arg(path, QString::fromLocal8Bit(strerror(why))));
        const QString who = QString::fromUtf8(text, got > 0 ? got : 0).trimmed();
        return fail(QStringLiteral("the queue folder %1 is in use by another vfdctl serve (%2): "
                                   "one service per queue folder, give each its own")
                        .arg(dir, who.isEmpty() ? QStringLiteral("just starting") : who));
    }
    const QByteArray who = QStringLiteral("pid %1 on %2, client id %3, since %4\n")
                               .arg(::getpid())
                               .arg(QHostInfo::localHostName(), holder,
                                    QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                               .toUtf8();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, who.constData(), size_t(who.size()), 0) < 0) {
        // Held all the same: only the note of who holds it is missing.
    }
    m_fd = fd;
    return true;
}
