// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <memory>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

// A desktop of the test's own, as a screen reader finds one: a virtual X
// server, a private session bus and the accessibility bus that
// at-spi-bus-launcher starts on it (with the registry the readers ask). The
// programs a test starts under it get env(); a client reaches the
// accessibility bus through a11y(). Everything is stopped with the bench.
class DesktopBus
{
public:
    DesktopBus() { m_failure = setUp(); }

    ~DesktopBus()
    {
        m_a11y.reset();
        m_session.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop-a11y"));
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop-session"));
        // Last started, first stopped; each took its own process group, so
        // what it started (the accessibility bus, the registry) goes too.
        // A group outlives its leader while one of them runs, so it is
        // signalled whether or not the program itself is still there.
        for (auto it = m_started.rbegin(); it != m_started.rend(); ++it) {
            if (it->pid <= 0) // never started: -0 would be the test's own group
                continue;
            ::kill(-it->pid, SIGTERM);
            if (!it->process->waitForFinished(5000))
                ::kill(-it->pid, SIGKILL);
            it->process->waitForFinished(5000);
            ::kill(-it->pid, SIGKILL);
        }
    }
    DesktopBus(const DesktopBus&) = delete;
    DesktopBus& operator=(const DesktopBus&) = delete;

    // Empty once everything is up; otherwise what did not start.
    QString failure() const { return m_failure; }

    // For a program that is to show itself on this desktop, its accessibility
    // bridge on from the start as a screen reader would turn it on.
    QProcessEnvironment env() const
    {
        QProcessEnvironment env = m_env;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        return env;
    }

    QDBusConnection& a11y() { return *m_a11y; }

private:
    // What did not start; nothing once everything is up.
    QString setUp()
    {
        if (!m_dir.isValid())
            return QStringLiteral("no scratch folder");
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (xvfb.isEmpty() || daemon.isEmpty() ||
            !QFile::exists(QStringLiteral(ATSPI_BUS_LAUNCHER)))
            return QStringLiteral("Xvfb, dbus-daemon or at-spi-bus-launcher is not installed");

        // A display nobody else has. The X server's own search (-displayfd
        // alone) looks only at the lock files in /tmp and takes a display
        // whose abstract socket another server holds, one in another
        // container sharing the network, say; the clients would then reach
        // that server and be refused. So the test picks the number itself,
        // away from the low ones desktops use, and the server says when it
        // is ready; it starts at random, so two runs side by side (in two
        // containers, whose process ids run alike) seldom try the same. The
        // server never resets when its last client leaves (the accessibility
        // bus's launcher visits it and goes): a program connecting during a
        // reset would be refused.
        QString display;
        for (int tries = 0, number = 100 + int(QRandomGenerator::system()->bounded(400));
             tries < 20 && display.isEmpty(); ++tries, ++number) {
            if (!displayIsFree(number))
                continue;
            display = firstLine(start(xvfb, {u':' + QString::number(number), "-displayfd", "1",
                                             "-nolisten", "tcp", "-noreset"}));
        }
        if (display.isEmpty())
            return QStringLiteral("Xvfb did not start");
        m_env.insert(QStringLiteral("DISPLAY"), u':' + display);

        // A session bus that starts no service of its own: whatever is on it
        // was started here.
        QFile config(m_dir.filePath(QStringLiteral("session.conf")));
        config.open(QIODevice::WriteOnly);
        config.write("<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() +
                     "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
                     "send_destination=\"*\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                     "</policy>"
                     "</busconfig>\n");
        config.close();
        const QString session = firstLine(
            start(daemon, {"--nofork", "--print-address=1", "--config-file=" + config.fileName()}));
        if (session.isEmpty())
            return QStringLiteral("the session bus did not start");
        m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session);
        // The accessibility bus's socket goes into the scratch folder, not
        // into the user's own runtime folder.
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        m_env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        m_session = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(session, QStringLiteral("desktop-session")));

        start(QStringLiteral(ATSPI_BUS_LAUNCHER), {"--launch-immediately"});
        const QString bus = QStringLiteral("org.a11y.Bus");
        QString address;
        waitUntil(
            [&] {
                if (!m_session->interface()->isServiceRegistered(bus))
                    return false;
                address = m_session
                              ->call(QDBusMessage::createMethodCall(bus, "/org/a11y/bus", bus,
                                                                    "GetAddress"))
                              .arguments()
                              .value(0)
                              .toString();
                return !address.isEmpty();
            },
            20000);
        if (address.isEmpty())
            return QStringLiteral("the accessibility bus did not start");
        m_a11y = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, QStringLiteral("desktop-a11y")));
        if (!m_a11y->isConnected())
            return QStringLiteral("the accessibility bus cannot be reached");
        return {};
    }

    QProcess& start(const QString& program, const QStringList& arguments)
    {
        auto& started = m_started.emplace_back(Started{std::make_unique<QProcess>(), 0});
        QProcess& process = *started.process;
        process.setProcessEnvironment(m_env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setChildProcessModifier([] {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        });
        process.start(program, arguments);
        started.pid = pid_t(process.processId());
        return process;
    }

    // Free when neither a lock file nor a socket of that display exists;
    // binding the abstract name is the one sure test of that name, and the
    // name goes again with the socket.
    static bool displayIsFree(int number)
    {
        const QString socketPath = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
            QFile::exists(socketPath))
            return false;
        const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (probe < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = socketPath.toLocal8Bit();
        std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
        const bool free = ::bind(probe, reinterpret_cast<const sockaddr*>(&address),
                                 socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0;
        ::close(probe);
        return free;
    }

    static QString firstLine(QProcess& process)
    {
        waitUntil([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; },
                  20000);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    QTemporaryDir m_dir{QStringLiteral("/tmp/vfd-desktop-XXXXXX")};
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    struct Started
    {
        std::unique_ptr<QProcess> process;
        pid_t pid;
    };
    std::vector<Started> m_started;
    std::unique_ptr<QDBusConnection> m_session;
    std::unique_ptr<QDBusConnection> m_a11y;
    QString m_failure;
};
