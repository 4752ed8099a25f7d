// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeStandards.h"

#include "Discovery.h"
#include "DiskQueue.h"
#include "ServeLine.h"
#include "SparkplugLink.h"
#include "SparkplugNode.h"

#include <QDir>

ServeStandards::ServeStandards(const ServeConfig& config, BrokerLink& broker, QObject* parent)
    : QObject(parent), m_config(config), m_broker(broker)
{
}

ServeStandards::~ServeStandards()
{
    // The node and the discovery hold sessions on the lines' link clients.
    m_discovery.reset();
    m_node.reset();
    m_link.reset();
}

bool ServeStandards::start(const std::vector<std::unique_ptr<ServeLine>>& lines, QString* error)
{
    if (m_config.sparkplug.enabled) {
        m_queue = std::make_unique<DiskQueue>(m_config.queueLimit);
        if (!m_config.queueDir.isEmpty()) {
            // Beside the plain topics' queue, under the same lock.
            const QString dir = QDir(m_config.queueDir).filePath(QStringLiteral("sparkplug"));
            if (!m_queue->open(dir, error))
                return false;
            if (!m_queue->empty())
                emit logLine(QStringLiteral("sparkplug: %1 messages of an earlier run wait for "
                                            "the broker")
                                 .arg(m_queue->size()));
        }
        m_link = std::make_unique<SparkplugLink>(m_config, *m_queue);
        connect(m_link.get(), &BrokerLink::logLine, this, [this](const QString& text) {
            emit logLine(QStringLiteral("sparkplug: ") + text);
        });
        m_node = std::make_unique<SparkplugNode>(m_config, *m_link);
        connect(m_node.get(), &SparkplugNode::logLine, this, &ServeStandards::logLine);
        for (const auto& line : lines)
            m_node->addLine(*line);
        if (!m_link->start(error))
            return false;
        emit logLine(QStringLiteral("sparkplug: node %1 of group %2, devices %3")
                         .arg(m_link->nodeId(), m_config.sparkplug.group,
                              m_node->deviceIds().join(QStringLiteral(", "))));
    }
    if (m_config.discovery.enabled) {
        m_discovery = std::make_unique<Discovery>(m_config, m_broker);
        connect(m_discovery.get(), &Discovery::logLine, this, &ServeStandards::logLine);
        for (const auto& line : lines)
            m_discovery->addLine(*line);
        m_discovery->announce();
    }
    return true;
}

void ServeStandards::stop(int waitMs)
{
    if (m_link)
        m_link->stop(waitMs);
}
