// SPDX-License-Identifier: GPL-3.0-or-later
#include "Discovery.h"

#include "BrokerLink.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "RecordValues.h"
#include "RtuProtocol.h"
#include "Sampler.h"
#include "ServeLine.h"
#include "StandardsConfig.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr quint16 kEditionRegister = Rtu::RunningValueRegister(Rtu::EditionIndex);

// The class a hub shows a value as, by its unit; empty: a plain number.
QString deviceClass(const QString& unit)
{
    if (unit == u"Hz" || unit == u"kHz")
        return QStringLiteral("frequency");
    if (unit == u"A")
        return QStringLiteral("current");
    if (unit == u"V")
        return QStringLiteral("voltage");
    if (unit == QStringLiteral("°C"))
        return QStringLiteral("temperature");
    if (unit == u"m/s")
        return QStringLiteral("speed");
    return {};
}

} // namespace

Discovery::Discovery(const ServeConfig& config, BrokerLink& broker, QObject* parent)
    : QObject(parent), m_config(config), m_broker(broker)
{
    m_broker.subscribe(listTopic());
    connect(&m_broker, &BrokerLink::messageReceived, this, &Discovery::message);
}

QString Discovery::listTopic() const
{
    return m_broker.serviceTopic() + QStringLiteral("/discovery");
}

QString Discovery::nodeId() const
{
    return StandardsConfig::topicSafe(m_config.effectiveClientId());
}

void Discovery::addLine(ServeLine& line)
{
    const int first = int(m_drives.size());
    for (const quint8 address : line.config().drives)
        m_drives << Drive{&line, address, {}, false};
    m_sessions << line.linkClient().openSession(this);
    connect(&line, &ServeLine::driveSampled, this,
            [this, first](int drive, const SampleRound& round) { sampled(first, drive, round); });
}

void Discovery::sampled(int first, int drive, const SampleRound& round)
{
    Drive& d = m_drives[first + drive];
    if (!round.states[drive].known || d.asked)
        return;
    // Once, when the drive first answers: its edition names the software
    // the hub shows for the device.
    d.asked = true;
    LinkSession* session = nullptr;
    for (LinkSession* s : m_sessions)
        if (s->client() == &d.line->linkClient())
            session = s;
    if (!session)
        return;
    const int index = first + drive;
    session->submit(
        LinkRequest::read(d.address, kEditionRegister), [this, index](const LinkResult& r) {
            Drive& drive = m_drives[index];
            if (!r.ok() || r.answer.size() < Rtu::MonitorReplyLength) {
                drive.asked = false; // asked again when next read
                return;
            }
            drive.edition =
                QString::number(double(Hexedit::DecodeRunningValue(r.answer).value), 'f', 2);
            QMap<QString, QJsonObject> messages;
            announceDrive(drive, messages);
            for (auto it = messages.cbegin(); it != messages.cend(); ++it)
                m_broker.publish(it.key(), QJsonDocument(it.value()).toJson(QJsonDocument::Compact),
                                 true);
        });
}

void Discovery::announceDrive(const Drive& drive, QMap<QString, QJsonObject>& into) const
{
    const ServeLineConfig& line = drive.line->config();
    const QString base = m_config.prefix + u'/' + line.name + u'/' + QString::number(drive.address);
    const QString object =
        StandardsConfig::topicSafe(line.name) + u'_' + QString::number(drive.address);
    const QString named = line.driveNames.value(drive.address);
    QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{nodeId() + u'_' + object}},
        {QStringLiteral("name"),
         named.isEmpty() ? QStringLiteral("%1 drive %2").arg(line.name).arg(drive.address) : named},
        {QStringLiteral("model"), QStringLiteral("drive")}};
    if (!drive.edition.isEmpty())
        device.insert(QStringLiteral("sw_version"), drive.edition);
    auto entity = [&](const QString& component, const QString& key, const QString& name) {
        QJsonObject o{
            {QStringLiteral("name"), name},
            {QStringLiteral("unique_id"), nodeId() + u'_' + object + u'_' + key},
            {QStringLiteral("availability_topic"), base + QStringLiteral("/availability")},
            {QStringLiteral("payload_available"), QStringLiteral("online")},
            {QStringLiteral("payload_not_available"), QStringLiteral("offline")},
            {QStringLiteral("device"), device}};
        const QString topic = QStringLiteral("%1/%2/%3/%4_%5/config")
                                  .arg(m_config.discovery.prefix, component, nodeId(), object,
                                       StandardsConfig::topicSafe(key));
        return std::pair{topic, o};
    };
    for (const RecordValue& v : line.values) {
        const QString key = QString::fromLatin1(v.key);
        auto [topic, o] = entity(QStringLiteral("sensor"), key, QString::fromLatin1(v.name));
        o.insert(QStringLiteral("state_topic"), base + u'/' + key);
        o.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        if (const QString unit = QString::fromUtf8(v.unit); !unit.isEmpty())
            o.insert(QStringLiteral("unit_of_measurement"), unit);
        if (const QString cls = deviceClass(QString::fromUtf8(v.unit)); !cls.isEmpty())
            o.insert(QStringLiteral("device_class"), cls);
        into.insert(topic, o);
    }
    // The drive's state message says both; the hub reads them out of it.
    const QString runs = QStringLiteral("{{ 'ON' if value_json.run else 'OFF' }}");
    for (const auto& [key, name, cls, tmpl] :
         {std::tuple{QStringLiteral("running"), QStringLiteral("Running"),
                     QStringLiteral("running"), runs},
          std::tuple{QStringLiteral("fault"), QStringLiteral("Fault"), QStringLiteral("problem"),
                     QStringLiteral("{{ 'ON' if value_json.fault else 'OFF' }}")}}) {
        auto [topic, o] = entity(QStringLiteral("binary_sensor"), key, name);
        o.insert(QStringLiteral("state_topic"), base + QStringLiteral("/state"));
        o.insert(QStringLiteral("value_template"), tmpl);
        o.insert(QStringLiteral("device_class"), cls);
        into.insert(topic, o);
    }
    if (!m_config.commands)
        return;
    const QString runTopic = base + QStringLiteral("/set/run");
    const QString stop = QStringLiteral(R"({"command":"stop","client":"discovery"})");
    auto [stopTopic, stopButton] =
        entity(QStringLiteral("button"), QStringLiteral("stop"), QStringLiteral("Stop"));
    stopButton.insert(QStringLiteral("command_topic"), runTopic);
    stopButton.insert(QStringLiteral("payload_press"), stop);
    into.insert(stopTopic, stopButton);
    if (!m_config.discovery.runHz)
        return;
    // A run command lapses unless renewed within the rhythm, as every one
    // does: the switch starts the drive, an automation keeps it running.
    auto [runTopicConfig, run] =
        entity(QStringLiteral("switch"), QStringLiteral("run"), QStringLiteral("Run"));
    run.insert(QStringLiteral("command_topic"), runTopic);
    run.insert(QStringLiteral("payload_on"),
               QStringLiteral(R"({"command":"fwd","hz":%1,"client":"discovery"})")
                   .arg(*m_config.discovery.runHz));
    run.insert(QStringLiteral("payload_off"), stop);
    run.insert(QStringLiteral("state_topic"), base + QStringLiteral("/state"));
    run.insert(QStringLiteral("value_template"), runs);
    into.insert(runTopicConfig, run);
}

QMap<QString, QJsonObject> Discovery::messages() const
{
    QMap<QString, QJsonObject> all;
    for (const Drive& d : m_drives)
        announceDrive(d, all);
    return all;
}

void Discovery::announce()
{
    const QMap<QString, QJsonObject> all = messages();
    QJsonArray list;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        m_broker.publish(it.key(), QJsonDocument(it.value()).toJson(QJsonDocument::Compact), true);
        list.append(it.key());
        m_announced.insert(it.key());
    }
    m_broker.publish(listTopic(), QJsonDocument(list).toJson(QJsonDocument::Compact), true);
}

void Discovery::message(const QString& topic, const QByteArray& payload, bool)
{
    if (topic != listTopic())
        return;
    // What an earlier run announced (or this one, coming back): whatever of
    // it is no longer configured is taken away.
    const QJsonArray earlier = QJsonDocument::fromJson(payload).array();
    for (const QJsonValue& v : earlier) {
        const QString gone = v.toString();
        if (gone.isEmpty() || m_announced.contains(gone) ||
            !gone.startsWith(m_config.discovery.prefix + u'/') || !gone.endsWith(u"/config"))
            continue;
        m_broker.publish(gone, QByteArray(), true);
        emit logLine(QStringLiteral("discovery: %1 is no longer served; removed").arg(gone));
    }
}
