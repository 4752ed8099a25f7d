// SPDX-License-Identifier: GPL-3.0-or-later
// The broker link's part in a queue whose file cannot be written: said at
// once, in the log and on the service's queue topic, and tried again.
#include "BrokerLink.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <mosquitto.h>

namespace {

// How often a queue that cannot be written says how many readings are at risk.
constexpr int kAtRiskLogMs = 60000;

} // namespace

void BrokerLink::queueChanged()
{
    if (m_queue.takeWriteChange()) {
        if (!m_queue.written()) {
            say(QStringLiteral("the queue file %1 cannot be written (%2): the readings queued "
                               "from now on are at risk, kept in memory only; trying again "
                               "every %3 s")
                    .arg(m_queue.path(), m_queue.writeError())
                    .arg(DiskQueue::RetryMs / 1000));
            m_atRiskLogged.start();
            m_queueWatch.start();
        } else {
            say(QStringLiteral("the queue file %1 is written again: the %2 readings waiting "
                               "are on disk")
                    .arg(m_queue.path())
                    .arg(m_queue.size()));
            m_queueWatch.stop();
        }
        publishQueueState();
    }
}

void BrokerLink::onQueueWatch()
{
    m_queue.retry();
    queueChanged();
    if (m_queue.written())
        return;
    if (m_atRiskLogged.elapsed() >= kAtRiskLogMs) {
        m_atRiskLogged.start();
        say(QStringLiteral("the queue file %1 still cannot be written (%2): %3 readings at risk")
                .arg(m_queue.path(), m_queue.writeError())
                .arg(m_queue.atRisk()));
    }
    if (m_queue.atRisk() != m_atRiskPublished)
        publishQueueState();
}

void BrokerLink::publishQueueState()
{
    if (!m_connected)
        return;
    // Beside the queue, as the service's status is: it tells of the queue.
    QJsonObject o;
    o.insert(QStringLiteral("file"), m_queue.path());
    o.insert(QStringLiteral("written"), m_queue.written());
    if (!m_queue.written())
        o.insert(QStringLiteral("reason"), m_queue.writeError());
    o.insert(QStringLiteral("at_risk"), m_queue.atRisk());
    o.insert(QStringLiteral("waiting"), m_queue.size());
    o.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    const QByteArray payload = QJsonDocument(o).toJson(QJsonDocument::Compact);
    const QByteArray topic = (serviceTopic() + QStringLiteral("/queue")).toUtf8();
    mosquitto_publish(m_client, nullptr, topic.constData(), int(payload.size()),
                      payload.constData(), 1, true);
    m_atRiskPublished = m_queue.atRisk();
}
