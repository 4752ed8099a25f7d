// SPDX-License-Identifier: GPL-3.0-or-later
#include "SparkplugLink.h"

#include "SparkplugPayload.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr const char* kNamespace = "spBv1.0";

quint64 nowMs()
{
    return quint64(QDateTime::currentMSecsSinceEpoch());
}

} // namespace

SparkplugLink::SparkplugLink(const ServeConfig& config, DiskQueue& queue, QObject* parent)
    : BrokerLink(config, queue, parent)
{
    if (!config.queueDir.isEmpty()) {
        // A host tells a new session from the last one's death by this
        // number: it goes on from where the last run left it.
        m_bdSeqFile = QDir(config.queueDir).filePath(QStringLiteral("sparkplug-bdseq"));
        QFile f(m_bdSeqFile);
        if (f.open(QIODevice::ReadOnly)) {
            bool ok = false;
            const int n = f.readAll().trimmed().toInt(&ok);
            if (ok && n >= 0 && n <= 255)
                m_bdSeq = n;
        }
    }
    subscribe(topic(QStringLiteral("NCMD")));
    subscribe(topic(QStringLiteral("DCMD"), QStringLiteral("+")));
    if (!config.sparkplug.primaryHost.isEmpty()) {
        subscribe(QStringLiteral("%1/STATE/%2")
                      .arg(QLatin1String(kNamespace), config.sparkplug.primaryHost));
        // Hosts of the older form say ONLINE/OFFLINE on STATE/ID.
        subscribe(QStringLiteral("STATE/") + config.sparkplug.primaryHost);
    }
}

QString SparkplugLink::serviceTopic() const
{
    return BrokerLink::serviceTopic() + QStringLiteral("/sparkplug");
}

QString SparkplugLink::nodeId() const
{
    return m_config.sparkplug.node.isEmpty() ? m_config.effectiveClientId()
                                             : m_config.sparkplug.node;
}

QString SparkplugLink::topic(const QString& kind, const QString& device) const
{
    QString t = QStringLiteral("%1/%2/%3/%4")
                    .arg(QLatin1String(kNamespace), m_config.sparkplug.group, kind, nodeId());
    if (!device.isEmpty())
        t += u'/' + device;
    return t;
}

QString SparkplugLink::clientIdentity() const
{
    // Not the plain connection's id: the broker would take one for the other.
    return m_config.effectiveClientId() + QStringLiteral("-sparkplug");
}

QByteArray SparkplugLink::deathPayload() const
{
    Sparkplug::Payload p;
    p.timestamp = nowMs();
    Sparkplug::Metric bd;
    bd.name = QStringLiteral("bdSeq");
    bd.type = Sparkplug::Type::Int64;
    bd.value = qint64(m_bdSeq);
    p.metrics << bd;
    return Sparkplug::encode(p);
}

BrokerMessage SparkplugLink::lastWill()
{
    m_bdSeq = (m_bdSeq + 1) % 256;
    if (!m_bdSeqFile.isEmpty()) {
        QSaveFile f(m_bdSeqFile);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QByteArray::number(m_bdSeq) + '\n');
            f.commit();
        }
    }
    m_born = false;
    return {topic(QStringLiteral("NDEATH")), deathPayload(), false};
}

void SparkplugLink::greet()
{
    m_born = false;
    // A host named: its STATE, retained, comes once we are subscribed.
    if (m_config.sparkplug.primaryHost.isEmpty())
        beBorn();
    else
        m_hostOnline = false;
}

BrokerMessage SparkplugLink::farewell()
{
    m_born = false;
    return {topic(QStringLiteral("NDEATH")), deathPayload(), false};
}

void SparkplugLink::beBorn()
{
    m_born = true;
    emit birthsDue();
    pump();
}

void SparkplugLink::rebirth()
{
    if (connected() && m_born)
        emit birthsDue();
}

quint64 SparkplugLink::nextSeq()
{
    const int seq = m_seq;
    m_seq = (m_seq + 1) % 256;
    return quint64(seq);
}

void SparkplugLink::sendBirth(const QString& topic, const QByteArray& payload)
{
    if (topic.section(u'/', 2, 2) == u"NBIRTH")
        m_seq = 0;
    sendNow({topic, Sparkplug::withSeq(payload, nextSeq()), false});
}

QByteArray SparkplugLink::outgoing(const BrokerMessage& message)
{
    return Sparkplug::withSeq(message.payload, nextSeq());
}

QSet<QString> SparkplugLink::queuedDevices() const
{
    QSet<QString> devices;
    for (int i = 0; i < m_queue.size(); ++i) {
        const QStringList levels = m_queue.at(i).topic.split(u'/');
        if (levels.size() == 5)
            devices.insert(levels[4]);
    }
    return devices;
}

std::optional<bool> SparkplugLink::hostState(const QString& topic, const QByteArray& payload) const
{
    const QString host = m_config.sparkplug.primaryHost;
    if (host.isEmpty())
        return std::nullopt;
    if (topic == QStringLiteral("%1/STATE/%2").arg(QLatin1String(kNamespace), host)) {
        const QJsonValue online = QJsonDocument::fromJson(payload).object().value(u"online");
        // A cleared (empty) STATE, or one not understood, is no host online.
        return online.isBool() && online.toBool();
    }
    if (topic == QStringLiteral("STATE/") + host)
        return payload.trimmed() == "ONLINE";
    return std::nullopt;
}

void SparkplugLink::setHostOnline(bool online)
{
    if (m_config.sparkplug.primaryHost.isEmpty() || online == m_hostOnline)
        return;
    m_hostOnline = online;
    if (online && connected() && !m_born) {
        emit logLine(QStringLiteral("sparkplug: the primary host %1 is online")
                         .arg(m_config.sparkplug.primaryHost));
        beBorn();
    } else if (!online && m_born) {
        // The host that would read us is gone: our death is said, and a
        // new session waits for it to come back.
        emit logLine(QStringLiteral("sparkplug: the primary host %1 went offline; waiting for it")
                         .arg(m_config.sparkplug.primaryHost));
        sendNow(farewell());
        reconnectSoon();
    }
}
