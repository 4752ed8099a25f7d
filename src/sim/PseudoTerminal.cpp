// SPDX-License-Identifier: GPL-3.0-or-later
#include "PseudoTerminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

// The write end of the termination pipe; a signal handler can reach nothing else.
volatile std::sig_atomic_t g_terminationFd = -1;

void onTerminationSignal(int number)
{
    const int fd = g_terminationFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal()
{
    closeAll();
}

void PseudoTerminal::closeAll()
{
    m_notifier.reset();
    m_writable.reset();
    m_backlog.clear();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

bool PseudoTerminal::open()
{
    closeAll();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = systemError("grantpt/unlockpt");
        closeAll();
        return false;
    }
    const char* name = ::ptsname(m_master);
    if (!name) {
        m_error = systemError("ptsname");
        closeAll();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        m_error = systemError("open slave");
        closeAll();
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    termios tio{};
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PseudoTerminal::onReadable);
    m_writable = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writable->setEnabled(false);
    connect(m_writable.get(), &QSocketNotifier::activated, this, &PseudoTerminal::writeBacklog);
    return true;
}

void PseudoTerminal::onReadable()
{
    QByteArray bytes;
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read; EIO would mean no slave, which we prevent
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

bool PseudoTerminal::write(const QByteArray& bytes)
{
    if (m_master < 0 || m_backlog.size() + bytes.size() > kMaxBacklog)
        return false;
    // A line never drops what is on it: bytes the terminal cannot take yet
    // wait for the other side to read, behind any that already wait.
    m_backlog.append(bytes);
    writeBacklog();
    return true;
}

void PseudoTerminal::writeBacklog()
{
    qsizetype done = 0;
    while (m_master >= 0 && done < m_backlog.size()) {
        const ssize_t n =
            ::write(m_master, m_backlog.constData() + done, size_t(m_backlog.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            done = m_backlog.size(); // the terminal is broken; nothing will ever go
        else
            break; // full for now: the write notifier says when there is room
    }
    m_backlog.remove(0, done);
    if (m_writable)
        m_writable->setEnabled(!m_backlog.isEmpty());
}

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    if (::pipe(m_pipe) != 0)
        return;
    ::fcntl(m_pipe[1], F_SETFL, ::fcntl(m_pipe[1], F_GETFL) | O_NONBLOCK);
    g_terminationFd = m_pipe[1];
    struct sigaction action
    {
    };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        if (::read(m_pipe[0], &number, 1) == 1)
            emit terminationRequested(number);
    });
}

TerminationWatcher::~TerminationWatcher()
{
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    g_terminationFd = -1;
    m_notifier.reset();
    for (int fd : m_pipe) {
        if (fd >= 0)
            ::close(fd);
    }
}
