// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QObject>
#include <memory>
#include <vector>

class BrokerLink;
class DiskQueue;
class Discovery;
class ServeLine;
class SparkplugLink;
class SparkplugNode;

// What the service speaks beside its plain topics when the configuration
// says so: Sparkplug B (a connection and queue of its own, in QUEUE-DIR/
// sparkplug) and discovery (on the plain topics' connection, which it
// describes). Made after the lines, whose readings they write, and gone
// before them.
class ServeStandards : public QObject
{
    Q_OBJECT
public:
    ServeStandards(const ServeConfig& config, BrokerLink& broker, QObject* parent = nullptr);
    ~ServeStandards() override;

    // Opens what the configuration asks for; false (and why) when the
    // Sparkplug queue or connection cannot be set up.
    bool start(const std::vector<std::unique_ptr<ServeLine>>& lines, QString* error);
    // The node's death said, what waits kept for the next start.
    void stop(int waitMs);

signals:
    void logLine(const QString& text);

private:
    const ServeConfig& m_config;
    BrokerLink& m_broker;
    std::unique_ptr<DiskQueue> m_queue;
    std::unique_ptr<SparkplugLink> m_link;
    std::unique_ptr<SparkplugNode> m_node;
    std::unique_ptr<Discovery> m_discovery;
};
