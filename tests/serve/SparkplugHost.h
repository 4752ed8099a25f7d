// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BrokerProcess.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

// A Sparkplug host as the tests see it: mosquitto_sub on spBv1.0/# (and the
// STATE topics) piped into sparkplug_host.py, which decodes each payload with
// Python's protobuf from code protoc makes out of the service's .proto.
// Needs SPARKPLUG_PROTO and SPARKPLUG_HOST_PY.
class SparkplugHost
{
public:
    struct Message
    {
        QJsonObject json;
        QString topic() const { return json.value(u"topic").toString(); }
        // NBIRTH, DDATA, ...
        QString kind() const { return topic().section(u'/', 2, 2); }
        QString device() const { return topic().section(u'/', 4, 4); }
        qint64 seq() const { return json.value(u"seq").toInteger(-1); }
        QJsonArray metrics() const { return json.value(u"metrics").toArray(); }
        // The metric of that name (or alias, for data), empty when absent.
        QJsonObject metric(const QString& name, qint64 alias = -1) const
        {
            for (const QJsonValue& m : metrics()) {
                const QJsonObject o = m.toObject();
                if ((!name.isEmpty() && o.value(u"name").toString() == name) ||
                    (alias >= 0 && o.value(u"alias").toInteger(-2) == alias))
                    return o;
            }
            return {};
        }
    };

    // Why the host cannot run here; empty when it can.
    static QString missing()
    {
        if (BrokerProcess::program("protoc").isEmpty())
            return QStringLiteral("protoc is not installed (scripts/deps --test)");
        QProcess p;
        p.start(python(), {QStringLiteral("-c"), QStringLiteral("import google.protobuf")});
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QStringLiteral("Python's protobuf is not installed (scripts/deps --test)");
        return BrokerProcess::missing();
    }
    static QString python() { return BrokerProcess::program("python3"); }

    // clientId: a session the broker keeps while the host is away.
    explicit SparkplugHost(const BrokerProcess& broker, const QString& clientId = {})
    {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("-p"), QString::number(broker.port()),
                         QStringLiteral("-q"), QStringLiteral("1"),
                         QStringLiteral("-t"), QStringLiteral("spBv1.0/#"),
                         QStringLiteral("-t"), QStringLiteral("STATE/#"),
                         QStringLiteral("-F"), QStringLiteral("%r %t %x")};
        if (!clientId.isEmpty())
            args << QStringLiteral("-c") << QStringLiteral("-i") << clientId;
        m_sub.setProgram(BrokerProcess::program("mosquitto_sub"));
        m_sub.setArguments(args);
        m_sub.setStandardOutputProcess(&m_decoder);
        m_decoder.setProgram(python());
        m_decoder.setArguments({QStringLiteral(SPARKPLUG_HOST_PY), QStringLiteral(SPARKPLUG_PROTO),
                                QStringLiteral("decode")});
#ifdef Q_OS_LINUX
        m_sub.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_decoder.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        m_decoder.start();
        m_sub.start();
        m_decoder.waitForStarted(3000);
        m_sub.waitForStarted(3000);
    }
    ~SparkplugHost()
    {
        m_sub.kill();
        m_sub.waitForFinished(3000);
        m_decoder.kill();
        m_decoder.waitForFinished(3000);
    }
    SparkplugHost(const SparkplugHost&) = delete;
    SparkplugHost& operator=(const SparkplugHost&) = delete;

    const QList<Message>& messages()
    {
        while (m_decoder.canReadLine())
            m_messages << Message{QJsonDocument::fromJson(m_decoder.readLine()).object()};
        return m_messages;
    }
    QList<Message> of(const QString& kind, const QString& device = {})
    {
        QList<Message> found;
        for (const Message& m : messages())
            if (m.kind() == kind && (device.isNull() || m.device() == device))
                found << m;
        return found;
    }
    bool waitFor(const QString& kind, const QString& device = {}, int count = 1,
                 int timeoutMs = 20000)
    {
        return waitUntil([&] { return of(kind, device).size() >= count; }, timeoutMs);
    }
    QString errors()
    {
        return QString::fromUtf8(m_decoder.readAllStandardError());
    }

    // A command encoded by the host's own protobuf, sent with mosquitto_pub.
    static bool send(const BrokerProcess& broker, const QString& topic, const QJsonObject& fields,
                     bool retain = false)
    {
        QProcess encode;
        encode.start(python(),
                     {QStringLiteral(SPARKPLUG_HOST_PY), QStringLiteral(SPARKPLUG_PROTO),
                      QStringLiteral("encode"), QString::fromUtf8(QJsonDocument(fields).toJson())});
        if (!encode.waitForFinished(10000) || encode.exitCode() != 0)
            return false;
        QTemporaryFile payload;
        if (!payload.open())
            return false;
        payload.write(encode.readAllStandardOutput());
        payload.flush();
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("-p"), QString::number(broker.port()),
                         QStringLiteral("-q"), QStringLiteral("1"),
                         QStringLiteral("-t"), topic,
                         QStringLiteral("-f"), payload.fileName()};
        if (retain)
            args << QStringLiteral("-r");
        QProcess pub;
        pub.start(BrokerProcess::program("mosquitto_pub"), args);
        return pub.waitForFinished(10000) && pub.exitCode() == 0;
    }
    // A metric as a command carries it.
    static QJsonObject metric(const QString& name, int datatype, const QJsonValue& value)
    {
        return {{QStringLiteral("name"), name},
                {QStringLiteral("datatype"), datatype},
                {QStringLiteral("value"), value}};
    }
    static QJsonObject payload(const QJsonArray& metrics)
    {
        return {{QStringLiteral("timestamp"), QDateTime::currentMSecsSinceEpoch()},
                {QStringLiteral("metrics"), metrics}};
    }

private:
    QProcess m_sub;
    QProcess m_decoder;
    QList<Message> m_messages;
};
