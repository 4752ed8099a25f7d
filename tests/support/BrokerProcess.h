// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WaitUntil.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

// A real MQTT broker (mosquitto) on 127.0.0.1 at a free port, for the length
// of a test. It keeps its sessions on disk, so a subscriber with a session of
// its own misses nothing across a stop() and start() on the same port.
// Killed when the test is done with it, whatever happened.
class BrokerProcess
{
public:
    // Where the broker and its clients are; empty when not installed.
    static QString program(const char* name)
    {
        return QStandardPaths::findExecutable(
            QString::fromLatin1(name),
            {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
             QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/bin")});
    }
    // Why the broker tests cannot run here; empty when they can.
    static QString missing()
    {
        for (const char* name : {"mosquitto", "mosquitto_sub"})
            if (program(name).isEmpty())
                return QStringLiteral("%1 is not installed (scripts/deps --test)").arg(name);
        return {};
    }

    // Lines of the broker's configuration instead of a plain listener (a
    // password file, TLS); PORT in them stands for the port.
    explicit BrokerProcess(const QStringList& extraConfig = {}) : m_extra(extraConfig)
    {
        // Started as root, the broker goes on as a user of its own, who must
        // still write its sessions here.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther);
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        start();
    }
    ~BrokerProcess() { stop(); }
    BrokerProcess(const BrokerProcess&) = delete;
    BrokerProcess& operator=(const BrokerProcess&) = delete;

    int port() const { return m_port; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString folder() const { return m_dir.path(); }
    bool running() const { return m_process.state() == QProcess::Running; }

    // Starts it (again, on the same port); true once it accepts connections.
    bool start()
    {
        QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        config.open(QIODevice::WriteOnly | QIODevice::Truncate);
        const QStringList lines =
            QStringList{QStringLiteral("persistence true"),
                        QStringLiteral("persistence_location ") + m_dir.path() + u'/',
                        QStringLiteral("log_dest stderr")} +
            (m_extra.isEmpty() ? QStringList{QStringLiteral("listener %1 127.0.0.1").arg(m_port),
                                             QStringLiteral("allow_anonymous true")}
                               : m_extra);
        config.write(
            lines.join(u'\n').replace(QStringLiteral("PORT"), QString::number(m_port)).toUtf8() +
            '\n');
        config.close();
        m_process.setProgram(program("mosquitto"));
        m_process.setArguments({QStringLiteral("-c"), config.fileName()});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_LINUX
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        m_process.start();
        if (!m_process.waitForStarted(3000))
            return false;
        return waitUntil(
            [&] {
                QTcpSocket s;
                s.connectToHost(QHostAddress::LocalHost, quint16(m_port));
                return s.waitForConnected(100);
            },
            5000);
    }
    // An orderly stop: the broker saves its sessions first.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    QString log()
    {
        return QString::fromUtf8(m_process.readAll());
    }

private:
    QTemporaryDir m_dir;
    QStringList m_extra;
    QProcess m_process;
    int m_port = 0;
};

// What a broker delivers, through mosquitto_sub: each message as its retain
// flag, topic and payload.
class BrokerSubscriber
{
public:
    struct Message
    {
        bool retained = false;
        QString topic;
        QString payload;
    };

    // clientId: a session kept by the broker while this subscriber is away.
    BrokerSubscriber(const BrokerProcess& broker, const QString& filter,
                     const QString& clientId = {}, const QStringList& extra = {})
    {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("-p"), QString::number(broker.port()),
                         QStringLiteral("-q"), QStringLiteral("1"),
                         QStringLiteral("-t"), filter,
                         QStringLiteral("-F"), QStringLiteral("%r %t %p")};
        if (!clientId.isEmpty())
            args << QStringLiteral("-c") << QStringLiteral("-i") << clientId;
        m_process.setProgram(BrokerProcess::program("mosquitto_sub"));
        m_process.setArguments(args + extra);
#ifdef Q_OS_LINUX
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        m_process.start();
        m_process.waitForStarted(3000);
    }
    ~BrokerSubscriber()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    BrokerSubscriber(const BrokerSubscriber&) = delete;
    BrokerSubscriber& operator=(const BrokerSubscriber&) = delete;

    // Everything delivered so far.
    const QList<Message>& messages()
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
            const QStringList parts = line.split(u' ');
            if (parts.size() >= 2)
                m_messages.append({parts[0] == u"1", parts[1], line.section(u' ', 2)});
        }
        return m_messages;
    }
    QList<Message> on(const QString& topic)
    {
        QList<Message> found;
        for (const Message& m : messages())
            if (m.topic == topic)
                found << m;
        return found;
    }
    // Until a message on the topic (with that payload, if given) has come.
    bool waitFor(const QString& topic, const QString& payload = {}, int timeoutMs = 15000)
    {
        return waitUntil(
            [&] {
                for (const Message& m : on(topic))
                    if (payload.isNull() || m.payload == payload)
                        return true;
                return false;
            },
            timeoutMs);
    }
    QString errors()
    {
        return QString::fromUtf8(m_process.readAllStandardError());
    }

private:
    QProcess m_process;
    QList<Message> m_messages;
};

// Messages for one topic, sent through mosquitto_pub (QoS 1), one a line.
class BrokerPublisher
{
public:
    BrokerPublisher(const BrokerProcess& broker, const QString& topic, bool retain = false)
    {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("-p"), QString::number(broker.port()),
                         QStringLiteral("-q"), QStringLiteral("1"),
                         QStringLiteral("-t"), topic,
                         QStringLiteral("-l")};
        if (retain)
            args << QStringLiteral("-r");
        m_process.setProgram(BrokerProcess::program("mosquitto_pub"));
        m_process.setArguments(args);
#ifdef Q_OS_LINUX
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        m_process.start();
        m_process.waitForStarted(3000);
    }
    ~BrokerPublisher()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    BrokerPublisher(const BrokerPublisher&) = delete;
    BrokerPublisher& operator=(const BrokerPublisher&) = delete;

    void send(const QString& payload)
    {
        m_process.write(payload.toUtf8() + '\n');
    }

private:
    QProcess m_process;
};

// What a broker needs for TLS and passwords, made by the test: a CA, a
// certificate it signed for localhost and 127.0.0.1, a second CA that signed
// nothing of the broker's, and a password file with the user "vfd"
// (password "s3cret"). Needs openssl and mosquitto_passwd.
class BrokerTls
{
public:
    static constexpr const char* User = "vfd";
    static constexpr const char* Password = "s3cret";

    BrokerTls()
    {
        // The broker, started as root, reads these as a user of its own.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        const QString openssl = BrokerProcess::program("openssl");
        const QString passwd = BrokerProcess::program("mosquitto_passwd");
        if (openssl.isEmpty() || passwd.isEmpty()) {
            m_error = QStringLiteral("openssl or mosquitto_passwd is not installed");
            return;
        }
        writeFile(QStringLiteral("san.cnf"), "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
        const QStringList ec{
            QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        for (const char* ca : {"ca", "other-ca"})
            run(openssl, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec +
                             QStringList{QStringLiteral("-keyout"),
                                         path(QStringLiteral("%1.key").arg(QLatin1String(ca))),
                                         QStringLiteral("-out"),
                                         path(QStringLiteral("%1.pem").arg(QLatin1String(ca))),
                                         QStringLiteral("-days"), QStringLiteral("2"),
                                         QStringLiteral("-subj"),
                                         QStringLiteral("/CN=%1").arg(QLatin1String(ca))});
        run(openssl, QStringList{QStringLiteral("req")} + ec +
                         QStringList{QStringLiteral("-keyout"), path(QStringLiteral("server.key")),
                                     QStringLiteral("-out"), path(QStringLiteral("server.csr")),
                                     QStringLiteral("-subj"), QStringLiteral("/CN=localhost")});
        run(openssl,
            {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
             path(QStringLiteral("server.csr")), QStringLiteral("-CA"),
             path(QStringLiteral("ca.pem")), QStringLiteral("-CAkey"),
             path(QStringLiteral("ca.key")), QStringLiteral("-CAcreateserial"),
             QStringLiteral("-out"), path(QStringLiteral("server.pem")), QStringLiteral("-days"),
             QStringLiteral("2"), QStringLiteral("-extfile"), path(QStringLiteral("san.cnf"))});
        run(passwd, {QStringLiteral("-c"), QStringLiteral("-b"), path(QStringLiteral("passwd")),
                     QLatin1String(User), QLatin1String(Password)});
        for (const char* name : {"ca.pem", "server.pem", "server.key", "passwd"})
            QFile::setPermissions(path(QLatin1String(name)), QFileDevice::ReadOwner |
                                                                 QFileDevice::WriteOwner |
                                                                 QFileDevice::ReadOther);
    }

    // Empty when everything was made.
    QString error() const { return m_error; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A file holding the text (a password file of the service).
    QString writeFile(const QString& name, const QByteArray& text)
    {
        QFile f(path(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return f.fileName();
    }
    // The broker's listener: TLS, and no one in without the password.
    QStringList brokerConfig() const
    {
        return {QStringLiteral("listener PORT 127.0.0.1"),
                QStringLiteral("cafile ") + path(QStringLiteral("ca.pem")),
                QStringLiteral("certfile ") + path(QStringLiteral("server.pem")),
                QStringLiteral("keyfile ") + path(QStringLiteral("server.key")),
                QStringLiteral("allow_anonymous false"),
                QStringLiteral("password_file ") + path(QStringLiteral("passwd"))};
    }
    // mosquitto_sub's options to get in.
    QStringList clientOptions() const
    {
        return {QStringLiteral("--cafile"), path(QStringLiteral("ca.pem")),
                QStringLiteral("-u"),       QLatin1String(User),
                QStringLiteral("-P"),       QLatin1String(Password)};
    }

private:
    void run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            m_error += QStringLiteral("%1 %2 failed: %3\n")
                           .arg(program, args.join(u' '),
                                QString::fromLocal8Bit(p.readAllStandardError()));
    }

    QTemporaryDir m_dir;
    QString m_error;
};
