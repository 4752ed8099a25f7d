// SPDX-License-Identifier: GPL-3.0-or-later
#include "SparkplugNode.h"

#include "RecordValues.h"
#include "Sampler.h"
#include "ServeCommands.h"
#include "ServeLine.h"
#include "SparkplugLink.h"
#include "StandardsConfig.h"
#include "Tab.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

using Sparkplug::Type;

quint64 nowMs()
{
    return quint64(QDateTime::currentMSecsSinceEpoch());
}

} // namespace

SparkplugNode::SparkplugNode(const ServeConfig& config, SparkplugLink& link, QObject* parent)
    : QObject(parent), m_config(config), m_link(link)
{
    connect(&m_link, &SparkplugLink::birthsDue, this, &SparkplugNode::births);
    connect(&m_link, &BrokerLink::messageReceived, this, &SparkplugNode::message);
}

void SparkplugNode::addLine(ServeLine& serve)
{
    const int index = int(m_lines.size());
    Line line;
    line.serve = &serve;
    line.name = serve.config().name;
    for (const RecordValue& v : serve.config().values)
        line.metrics << MetricDef{QString::fromLatin1(v.name), Type::Float,
                                  QString::fromUtf8(v.unit), false, quint16(v.index)};
    line.values = int(line.metrics.size());
    const char* status[] = {"Status/Running", "Status/Reverse", "Status/Fault",
                            "Status/Fault number", "Status/Fault code"};
    const Type statusType[] = {Type::Boolean, Type::Boolean, Type::Boolean, Type::Int32,
                               Type::String};
    for (int k = 0; k < 5; ++k)
        line.metrics << MetricDef{
            QString::fromLatin1(status[k]), statusType[k], {}, false, quint16(StatusCode + k)};
    if (serve.commands()) {
        line.metrics << MetricDef{
            QStringLiteral("Commands/Run"), Type::String, {}, true, CommandCode};
        line.metrics << MetricDef{QStringLiteral("Commands/Frequency"), Type::Float,
                                  QStringLiteral("Hz"), true, quint16(CommandCode + 1)};
    }
    addParams(line, index);
    QSet<QString> taken;
    for (const Device& d : m_devices)
        taken.insert(d.id);
    for (const quint8 address : serve.config().drives) {
        Device d;
        d.line = index;
        d.address = address;
        // A site's name where it makes an id of its own (a name of other
        // scripts alone would leave only '_'); else LINE-ADDRESS.
        const QString named = StandardsConfig::topicSafe(serve.config().driveNames.value(address));
        const bool readable =
            std::any_of(named.cbegin(), named.cend(), [](QChar c) { return c.isLetterOrNumber(); });
        d.id = readable && !taken.contains(named) ? named
                                                  : line.name + u'-' + QString::number(address);
        taken.insert(d.id);
        d.now.resize(line.metrics.size());
        d.at.resize(line.metrics.size());
        m_devices.push_back(d);
    }
    m_lines.push_back(line);
    connect(&serve, &ServeLine::driveSampled, this,
            [this, index](int drive, const SampleRound& round) { sampled(index, drive, round); });
    connect(&serve, &ServeLine::statusChanged, this,
            [this, index](const QString& state) { lineStatus(index, state); });
}

QStringList SparkplugNode::deviceIds() const
{
    QStringList ids;
    for (const Device& d : m_devices)
        ids << d.id;
    return ids;
}

int SparkplugNode::find(const QString& id) const
{
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i].id == id)
            return int(i);
    return -1;
}

quint64 SparkplugNode::alias(const Device& device, int metric) const
{
    return (quint64(device.line + 1) << 24) | (quint64(device.address) << 16) |
           m_lines[size_t(device.line)].metrics[metric].code;
}

QString SparkplugNode::commandWord(const Device& device) const
{
    const ServeCommands* commands = m_lines[size_t(device.line)].serve->commands();
    switch (commands ? commands->commandOf(device.address) : RunCommand::None) {
    case RunCommand::Forward:
        return QStringLiteral("fwd");
    case RunCommand::Reverse:
        return QStringLiteral("rev");
    case RunCommand::None:
        return QString();
    default:
        return QStringLiteral("stop");
    }
}

void SparkplugNode::sampled(int lineIndex, int drive, const SampleRound& round)
{
    const Line& line = m_lines[size_t(lineIndex)];
    int deviceIndex = 0;
    for (int l = 0; l < lineIndex; ++l)
        deviceIndex += int(m_lines[size_t(l)].serve->config().drives.size());
    Device& device = m_devices[size_t(deviceIndex + drive)];
    const DriveState& s = round.states[drive];
    if (!s.known) {
        driveLost(device);
        if (device.alive) {
            device.alive = false;
            Sparkplug::Payload p;
            p.timestamp = nowMs();
            m_link.publish(m_link.topic(QStringLiteral("DDEATH"), device.id), Sparkplug::encode(p),
                           false);
        }
        return;
    }
    const quint64 at = nowMs();
    QList<int> changed;
    auto set = [&](int metric, const Sparkplug::Value& value) {
        if (device.now[metric] == value && device.at[metric])
            return;
        device.now[metric] = value;
        device.at[metric] = at;
        changed << metric;
    };
    for (int v = 0; v < line.values; ++v) {
        const double value = round.values[drive * line.values + v];
        if (!std::isnan(value))
            set(v, ServeLine::valueText(value).toDouble());
    }
    const auto code = s.fault ? Tab::FaultCode(s.faultNumber) : std::nullopt;
    const int st = line.values;
    set(st, s.running);
    set(st + 1, s.reverse);
    set(st + 2, s.fault);
    set(st + 3, qint64(s.faultNumber));
    set(st + 4, code ? QString::fromUtf8(code->data(), qsizetype(code->size())) : QString());
    if (line.serve->commands()) {
        set(st + 5, commandWord(device));
        if (device.hz)
            set(st + 6, *device.hz);
    }
    if (!device.alive) {
        if (line.params < line.metrics.size() && !device.paramsKnown) {
            // Born with what its parameters hold: a round or two later.
            readParams(deviceIndex + drive);
            return;
        }
        device.alive = true;
        m_link.publish(m_link.topic(QStringLiteral("DBIRTH"), device.id), deviceBirth(device),
                       false);
        return;
    }
    if (!changed.isEmpty())
        publishData(device, changed);
}

void SparkplugNode::publishData(Device& device, const QList<int>& changed)
{
    // Read while no host could take it: a host keeps it as history.
    const bool historical = !m_link.connected() || !m_link.born();
    Sparkplug::Payload p;
    p.timestamp = nowMs();
    for (const int m : changed) {
        Sparkplug::Metric metric;
        metric.alias = alias(device, m);
        metric.timestamp = device.at[m];
        metric.type = m_lines[size_t(device.line)].metrics[m].type;
        metric.value = device.now[m];
        metric.historical = historical;
        p.metrics << metric;
    }
    m_link.publish(m_link.topic(QStringLiteral("DDATA"), device.id), Sparkplug::encode(p), false);
}

void SparkplugNode::lineStatus(int lineIndex, const QString& state)
{
    Line& line = m_lines[size_t(lineIndex)];
    if (line.state == state)
        return;
    const bool first = line.state.isEmpty();
    line.state = state;
    if (state != u"reading") {
        // Its drives say nothing any more.
        for (Device& d : m_devices) {
            if (d.line == lineIndex)
                driveLost(d);
            if (d.line == lineIndex && d.alive) {
                d.alive = false;
                Sparkplug::Payload p;
                p.timestamp = nowMs();
                m_link.publish(m_link.topic(QStringLiteral("DDEATH"), d.id), Sparkplug::encode(p),
                               false);
            }
        }
    }
    if (first && !m_link.born())
        return;
    Sparkplug::Payload p;
    p.timestamp = nowMs();
    Sparkplug::Metric metric;
    metric.alias = LineStateAlias + quint64(lineIndex);
    metric.timestamp = p.timestamp;
    metric.type = Type::String;
    metric.value = state;
    p.metrics << metric;
    m_link.publish(m_link.topic(QStringLiteral("NDATA")), Sparkplug::encode(p), false);
}

QByteArray SparkplugNode::nodeBirth() const
{
    Sparkplug::Payload p;
    p.timestamp = nowMs();
    Sparkplug::Metric bd;
    bd.name = QStringLiteral("bdSeq");
    bd.type = Type::Int64;
    bd.value = qint64(m_link.bdSeq());
    bd.describe = true;
    p.metrics << bd;
    Sparkplug::Metric rebirth;
    rebirth.name = QStringLiteral("Node Control/Rebirth");
    rebirth.alias = RebirthAlias;
    rebirth.type = Type::Boolean;
    rebirth.value = false;
    rebirth.writable = true;
    rebirth.describe = true;
    p.metrics << rebirth;
    for (size_t l = 0; l < m_lines.size(); ++l) {
        Sparkplug::Metric state;
        state.name = QStringLiteral("Lines/%1/State").arg(m_lines[l].name);
        state.alias = LineStateAlias + l;
        state.type = Type::String;
        state.timestamp = p.timestamp;
        state.describe = true;
        if (!m_lines[l].state.isEmpty())
            state.value = m_lines[l].state;
        p.metrics << state;
    }
    return Sparkplug::encode(p);
}

QByteArray SparkplugNode::deviceBirth(const Device& device) const
{
    const Line& line = m_lines[size_t(device.line)];
    Sparkplug::Payload p;
    p.timestamp = nowMs();
    for (int m = 0; m < line.metrics.size(); ++m) {
        const MetricDef& def = line.metrics[m];
        Sparkplug::Metric metric;
        metric.name = def.name;
        metric.alias = alias(device, m);
        metric.timestamp = device.at[m];
        metric.type = def.type;
        metric.value = device.now[m];
        metric.unit = def.unit;
        metric.writable = def.writable;
        metric.describe = true;
        p.metrics << metric;
    }
    return Sparkplug::encode(p);
}

void SparkplugNode::births()
{
    m_link.sendBirth(m_link.topic(QStringLiteral("NBIRTH")), nodeBirth());
    // The drives alive now, and those the queue still speaks of (which it
    // ends with their death): what follows never names an unborn device.
    const QSet<QString> queued = m_link.queuedDevices();
    for (const Device& d : m_devices)
        if (d.alive || queued.contains(d.id))
            m_link.sendBirth(m_link.topic(QStringLiteral("DBIRTH"), d.id), deviceBirth(d));
}
