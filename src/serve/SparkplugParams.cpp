// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters a host may write: metrics of every drive, read from the
// drive before its birth, written through the parameters' own way in.
#include "SparkplugNode.h"

#include "LinkClient.h"
#include "ParamSet.h"
#include "ServeLine.h"
#include "ServeParams.h"
#include "SparkplugLink.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <cmath>
#include <memory>

namespace {

using Sparkplug::Type;

quint64 nowMs()
{
    return quint64(QDateTime::currentMSecsSinceEpoch());
}

// A parameter that goes in whole steps is a whole number to a host.
Type typeOf(quint16 reg)
{
    const double step = ParamCatalogue::scale(reg).value_or(1.0);
    return std::abs(step - std::round(step)) < 1e-9 ? Type::Int32 : Type::Float;
}

Sparkplug::Value valueOf(quint16 reg, quint16 raw)
{
    // The catalogue's own digits, as `vfdctl get` shows them.
    const QString shown = ParamCatalogue::shown(reg, raw);
    if (typeOf(reg) == Type::Int32)
        return qint64(shown.toDouble());
    return shown.toDouble();
}

} // namespace

void SparkplugNode::addParams(Line& line, int index)
{
    line.params = int(line.metrics.size());
    // Nothing is written from the broker without commands enabled.
    if (!line.serve->commands())
        return;
    for (const quint16 reg : m_config.writable)
        line.metrics << MetricDef{QStringLiteral("Parameters/") + ParamCatalogue::number(reg),
                                  typeOf(reg), ParamCatalogue::unit(reg), true,
                                  quint16(ParamCode + reg)};
    if (line.params == line.metrics.size())
        return;
    line.session = line.serve->linkClient().openSession(this);
    // Whoever wrote it (a host, the plain topics), the host hears what it holds now.
    connect(&line.serve->params(), &ServeParams::written, this,
            [this, index](quint8 address, quint16 reg, quint16 raw) {
                paramWritten(index, address, reg, raw);
            });
}

int SparkplugNode::deviceOf(int line, quint8 address) const
{
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i].line == line && m_devices[i].address == address)
            return int(i);
    return -1;
}

void SparkplugNode::driveLost(Device& device)
{
    if (device.paramsKnown || device.paramsReading)
        ++device.lost;
    device.paramsKnown = false;
}

void SparkplugNode::readParams(int deviceIndex)
{
    Device& device = m_devices[size_t(deviceIndex)];
    if (device.paramsReading)
        return;
    const Line& line = m_lines[size_t(device.line)];
    device.paramsReading = true;
    const quint32 lost = device.lost;
    auto left = std::make_shared<int>(int(line.metrics.size()) - line.params);
    for (int m = line.params; m < line.metrics.size(); ++m) {
        const quint16 reg = quint16(line.metrics[m].code - ParamCode);
        line.session->submit(LinkRequest::read(device.address, reg),
                             [this, deviceIndex, m, reg, lost, left](const LinkResult& r) {
                                 Device& d = m_devices[size_t(deviceIndex)];
                                 // What could not be read is born without a value (null).
                                 d.now[m] = r.ok() ? valueOf(reg, r.value) : Sparkplug::Value();
                                 d.at[m] = nowMs();
                                 if (--*left > 0)
                                     return;
                                 d.paramsReading = false;
                                 // Gone meanwhile: read again when it is back.
                                 d.paramsKnown = d.lost == lost;
                             });
    }
}

void SparkplugNode::paramWritten(int line, quint8 address, quint16 reg, quint16 raw)
{
    const int index = deviceOf(line, address);
    if (index < 0)
        return;
    Device& device = m_devices[size_t(index)];
    const QList<MetricDef>& metrics = m_lines[size_t(line)].metrics;
    for (int m = m_lines[size_t(line)].params; m < metrics.size(); ++m) {
        if (metrics[m].code != ParamCode + reg)
            continue;
        const Sparkplug::Value value = valueOf(reg, raw);
        if (device.now[m] == value && device.at[m])
            return;
        device.now[m] = value;
        device.at[m] = nowMs();
        // A host's own write is answered once, when it is over.
        if (device.alive && !device.asked.contains(m))
            publishData(device, {m});
        return;
    }
}

void SparkplugNode::paramCommand(Device& device, const QList<ParamWrite>& writes)
{
    const Line& line = m_lines[size_t(device.line)];
    QJsonObject values;
    QList<int> metrics;
    for (const ParamWrite& w : writes) {
        QString text;
        if (const auto* word = std::get_if<QString>(&w.metric.value))
            text = *word;
        else if (const auto n = Sparkplug::number(w.metric.value); n && std::isfinite(*n))
            // A Float carries about seven digits: 12.3 comes as 12.30000019.
            text = QString::number(*n, 'g', w.metric.type == Type::Float ? 7 : 15);
        values.insert(w.parameter, text);
        const auto reg = ParamCatalogue::registerOf(w.parameter.trimmed().toUpper());
        for (int m = line.params; reg && m < line.metrics.size(); ++m)
            if (line.metrics[m].code == ParamCode + *reg && !metrics.contains(m)) {
                ++device.asked[m];
                metrics << m;
            }
    }
    const QJsonObject request{{QStringLiteral("values"), values},
                              {QStringLiteral("client"), QLatin1String(HostClient)}};
    const int index = int(&device - m_devices.data());
    const QPointer<SparkplugNode> self(this);
    // The plain topics' set, with its checks (writable, range, the drive
    // stopped; one mistake, no write), its read-back and its journal;
    // refusals are logged there.
    line.serve->params().request(device.address, true,
                                 QJsonDocument(request).toJson(QJsonDocument::Compact),
                                 [self, index, metrics](const QJsonObject& answer) {
                                     if (self)
                                         self->paramAnswered(index, metrics, answer);
                                 });
}

void SparkplugNode::paramAnswered(int index, const QList<int>& metrics, const QJsonObject& answer)
{
    Device& device = m_devices[size_t(index)];
    for (const int m : metrics)
        if (--device.asked[m] <= 0)
            device.asked.remove(m);
    if (!device.alive || metrics.isEmpty())
        return;
    // Written: the values were read back just now (ServeParams::written has
    // them). Refused: what was there holds. Either way the host hears it.
    if (answer.contains(QStringLiteral("results")))
        for (const int m : metrics)
            device.at[m] = nowMs();
    publishData(device, metrics);
}
