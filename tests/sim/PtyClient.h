// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

// A Modbus master on the other side of vfdsim's pseudo-terminal, with nothing
// between it and the kernel: no event loop, so what it times is the line and
// the simulator, not a dispatcher. Everything ends within the time it is given.
class PtyClient
{
public:
    explicit PtyClient(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~PtyClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return m_fd >= 0; }

    static qint64 nowUs()
    {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        return qint64(t.tv_sec) * 1'000'000 + t.tv_nsec / 1000;
    }

    // Writes all of it, waiting while the terminal has no room; false after the time-out.
    bool send(const QByteArray& bytes, int timeoutMs = 3000)
    {
        const qint64 until = nowUs() + qint64(timeoutMs) * 1000;
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else if (!wait(POLLOUT, until))
                return false;
        }
        return true;
    }

    // Reads until count bytes are in or the time is up; returns what came.
    QByteArray receive(qsizetype count, int timeoutMs = 3000)
    {
        const qint64 until = nowUs() + qint64(timeoutMs) * 1000;
        QByteArray got;
        while (got.size() < count) {
            char chunk[4096];
            const ssize_t n =
                ::read(m_fd, chunk, size_t(std::min<qsizetype>(sizeof chunk, count - got.size())));
            if (n > 0)
                got.append(chunk, n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
            else if (!wait(POLLIN, until))
                break;
        }
        return got;
    }

private:
    bool wait(short events, qint64 untilUs)
    {
        const qint64 left = untilUs - nowUs();
        if (left <= 0)
            return false;
        pollfd p{m_fd, events, 0};
        return ::poll(&p, 1, int((left + 999) / 1000)) > 0;
    }

    int m_fd = -1;
};
