// SPDX-License-Identifier: GPL-3.0-or-later
// The node's part in what hosts send: STATE, rebirth, and the run commands
// and parameter writes of DCMD handed to their own checks and journal.
#include "SparkplugNode.h"

#include "ParamSet.h"
#include "ServeCommands.h"
#include "ServeLine.h"
#include "SparkplugLink.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

void SparkplugNode::message(const QString& topic, const QByteArray& payload, bool retained)
{
    if (const auto online = m_link.hostState(topic, payload)) {
        m_link.setHostOnline(*online);
        return;
    }
    const QStringList levels = topic.split(u'/');
    if (levels.size() < 4 || (levels[2] != u"NCMD" && levels[2] != u"DCMD"))
        return;
    const auto decoded = Sparkplug::decode(payload);
    if (!decoded) {
        emit logLine(
            QStringLiteral("sparkplug: a command on %1 is no Sparkplug payload").arg(topic));
        return;
    }
    if (retained) {
        // The broker would hand it out again at every connection.
        emit logLine(
            QStringLiteral("sparkplug: refused a retained command on %1: a command must be fresh")
                .arg(topic));
        return;
    }
    if (levels[2] == u"NCMD") {
        nodeCommand(*decoded);
        return;
    }
    const int d = levels.size() == 5 ? find(levels[4]) : -1;
    if (d < 0) {
        emit logLine(
            QStringLiteral("sparkplug: refused a command for %1: not a device of this node")
                .arg(levels.value(4)));
        return;
    }
    deviceCommand(m_devices[size_t(d)], *decoded);
}

void SparkplugNode::nodeCommand(const Sparkplug::Payload& payload)
{
    for (const Sparkplug::Metric& m : payload.metrics) {
        const bool rebirth =
            m.name == u"Node Control/Rebirth" || (m.name.isEmpty() && m.alias == RebirthAlias);
        if (rebirth && Sparkplug::number(m.value).value_or(0) != 0) {
            emit logLine(QStringLiteral("sparkplug: a host asked for a rebirth"));
            m_link.rebirth();
        } else {
            emit logLine(
                QStringLiteral("sparkplug: refused a node command on %1: only "
                               "Node Control/Rebirth is written")
                    .arg(m.name.isEmpty() ? QString::number(m.alias.value_or(0)) : m.name));
        }
    }
}

int SparkplugNode::metricIndex(const Device& device, const Sparkplug::Metric& metric) const
{
    const QList<MetricDef>& metrics = m_lines[size_t(device.line)].metrics;
    for (int i = 0; i < metrics.size(); ++i)
        if ((!metric.name.isEmpty() && metrics[i].name == metric.name) ||
            (metric.name.isEmpty() && metric.alias == alias(device, i)))
            return i;
    return -1;
}

void SparkplugNode::deviceCommand(Device& device, const Sparkplug::Payload& payload)
{
    const Line& line = m_lines[size_t(device.line)];
    std::optional<QString> run;
    QList<ParamWrite> writes;
    for (const Sparkplug::Metric& m : payload.metrics) {
        const int i = metricIndex(device, m);
        // A parameter, writable or not, is for the parameters' checks to
        // take or refuse (and to log), as on the plain topics.
        static const QString params = QStringLiteral("Parameters/");
        if (i >= 0 && line.metrics[i].code >= ParamCode) {
            writes << ParamWrite{ParamCatalogue::number(line.metrics[i].code - ParamCode), m};
            continue;
        }
        if (i < 0 && m.name.startsWith(params)) {
            writes << ParamWrite{m.name.mid(params.size()), m};
            continue;
        }
        const QString name =
            i >= 0 ? line.metrics[i].name
                   : (m.name.isEmpty() ? QString::number(m.alias.value_or(0)) : m.name);
        if (i < 0 || !line.metrics[i].writable) {
            emit logLine(
                QStringLiteral("line %1: drive %2: refused a Sparkplug write of %3: %4")
                    .arg(line.name)
                    .arg(device.address)
                    .arg(name, i < 0 ? QStringLiteral("no such metric")
                               : line.serve->commands()
                                   ? QStringLiteral("not writable")
                                   : QStringLiteral("not writable (commands are not enabled)")));
            continue;
        }
        if (line.metrics[i].code == CommandCode + 1) {
            const auto hz = Sparkplug::number(m.value);
            if (hz && std::isfinite(*hz))
                device.hz = *hz;
        } else if (const auto* word = std::get_if<QString>(&m.value)) {
            run = *word;
        } else {
            emit logLine(QStringLiteral("line %1: drive %2: refused a Sparkplug write of %3: "
                                        "it takes fwd, rev or stop")
                             .arg(line.name)
                             .arg(device.address)
                             .arg(name));
        }
    }
    if (!writes.isEmpty())
        paramCommand(device, writes);
    if (run)
        runCommand(device, *run, payload);
}

void SparkplugNode::runCommand(Device& device, const QString& word, const Sparkplug::Payload& p)
{
    const Line& line = m_lines[size_t(device.line)];
    // The run commands' own way in: the same checks (the drive's limit, a
    // fresh command), the same answer on the plain topics and the same journal.
    QJsonObject command{{QStringLiteral("command"), word},
                        {QStringLiteral("client"), QLatin1String(HostClient)}};
    if (device.hz)
        command.insert(QStringLiteral("hz"), *device.hz);
    if (p.timestamp)
        command.insert(QStringLiteral("time"),
                       QDateTime::fromMSecsSinceEpoch(qint64(p.timestamp), Qt::UTC)
                           .toString(Qt::ISODateWithMs));
    const QString topic =
        QStringLiteral("%1/%2/%3/set/run").arg(m_config.prefix, line.name).arg(device.address);
    line.serve->commands()->take(topic, QJsonDocument(command).toJson(QJsonDocument::Compact),
                                 false);
    // What is in force now, obeyed or not, goes to the host at once.
    if (!device.alive)
        return;
    const int st = line.values;
    QList<int> changed;
    const QString now = commandWord(device);
    if (!(device.now[st + 5] == Sparkplug::Value(now)) || !device.at[st + 5]) {
        device.now[st + 5] = now;
        device.at[st + 5] = quint64(QDateTime::currentMSecsSinceEpoch());
        changed << st + 5;
    }
    if (device.hz && !(device.now[st + 6] == Sparkplug::Value(*device.hz))) {
        device.now[st + 6] = *device.hz;
        device.at[st + 6] = quint64(QDateTime::currentMSecsSinceEpoch());
        changed << st + 6;
    }
    if (!changed.isEmpty())
        publishData(device, changed);
}
