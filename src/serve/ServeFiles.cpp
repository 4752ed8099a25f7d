// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeFiles.h"

#include "BoundedRead.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ServeFiles {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a file");
}

} // namespace

QString notRegular(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return kindOf(st.st_mode);
}

std::optional<QByteArray> readInput(const QString& what, const QString& path, qint64 limit,
                                    QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("the %1 %2 %3").arg(what, path, why);
        return std::nullopt;
    };
    // Opened without waiting: a FIFO with no writer would hold open() for
    // ever. What it is, is asked of the file opened, not of the name, which
    // may be changed in between.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(strerror(errno)));
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("is %1, not a regular file").arg(kindOf(st.st_mode)));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QStringLiteral("cannot be read: ") + file.errorString());
    }
    const BoundedRead read = readAtMost(file, limit);
    if (read.outcome == BoundedRead::Outcome::TooLarge)
        return fail(QStringLiteral("is larger than %1 bytes").arg(limit));
    if (read.outcome != BoundedRead::Outcome::Read)
        return fail(QStringLiteral("cannot be read: ") + file.errorString());
    return read.bytes;
}

bool holdsPemCertificate(const QByteArray& text)
{
    static const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    static const QByteArray end = "-----END CERTIFICATE-----";
    for (qsizetype at = text.indexOf(begin); at >= 0; at = text.indexOf(begin, at + 1)) {
        const qsizetype from = at + begin.size();
        const qsizetype to = text.indexOf(end, from);
        if (to < 0)
            return false;
        QByteArray body = text.mid(from, to - from);
        body.replace('\r', "").replace('\n', "").replace(' ', "").replace('\t', "");
        const auto der =
            QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
        if (der && der.decoded.size() > 64 && quint8(der.decoded.at(0)) == 0x30)
            return true;
    }
    return false;
}

} // namespace ServeFiles
