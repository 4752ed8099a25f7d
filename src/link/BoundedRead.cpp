// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoundedRead.h"

#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString refusal(mode_t mode)
{
    return kindOf(mode) + QStringLiteral(", not a file");
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

BoundedRead failed(BoundedRead::Outcome outcome, const QString& error)
{
    BoundedRead result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

} // namespace

BoundedRead readAtMost(QIODevice& file, qint64 limit)
{
    // Small pieces: the buffer grows with what really comes, not with the limit.
    constexpr qint64 kPiece = 64 * 1024;
    BoundedRead result;
    for (;;) {
        // One byte beyond the limit tells a file of exactly the limit from a longer one.
        const qint64 room = limit + 1 - result.bytes.size();
        if (room <= 0) {
            result.outcome = BoundedRead::Outcome::TooLarge;
            result.bytes.clear();
            return result;
        }
        const qsizetype had = result.bytes.size();
        const qint64 want = std::min(room, kPiece);
        result.bytes.resize(had + want);
        const qint64 got = file.read(result.bytes.data() + had, want);
        result.bytes.resize(had + std::max<qint64>(got, 0));
        if (got < 0) {
            result.outcome = BoundedRead::Outcome::Failed;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            result.outcome = BoundedRead::Outcome::Read;
            return result;
        }
    }
}

std::optional<QString> notAFile(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return std::nullopt;
    return kindOf(st.st_mode);
}

BoundedRead readFileAtMost(const QString& path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(name.constData(), &st) != 0)
        return failed(BoundedRead::Outcome::Failed, systemError());
    // Judged by name first, so a device is never even opened.
    if (!S_ISREG(st.st_mode))
        return failed(BoundedRead::Outcome::NotAFile, refusal(st.st_mode));
    // Without waiting: the name may have been swapped for a pipe since.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failed(BoundedRead::Outcome::Failed, systemError());
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(BoundedRead::Outcome::NotAFile, refusal(st.st_mode));
    }
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(limit);
    if (st.st_size > limit) {
        ::close(fd);
        return failed(BoundedRead::Outcome::TooLarge, tooLarge);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(BoundedRead::Outcome::Failed, file.errorString());
    }
    BoundedRead result = readAtMost(file, limit);
    if (result.outcome == BoundedRead::Outcome::TooLarge)
        result.error = tooLarge; // it grew while being read
    else if (result.outcome == BoundedRead::Outcome::Failed)
        result.error = file.errorString();
    return result;
}
