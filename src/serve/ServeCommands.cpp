// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeCommands.h"

#include "BrokerLink.h"
#include "RtuProtocol.h"
#include "ServeJournal.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

QString hzText(quint16 raw)
{
    return QString::number(raw / 100.0, 'f', 2);
}

} // namespace

ServeCommands::ServeCommands(const ServeLineConfig& line, const ServeConfig& config, Hexedit& link,
                             BrokerLink& broker, QObject* parent)
    : QObject(parent), m_line(line), m_config(config), m_link(link), m_broker(broker),
      m_base(config.prefix + u'/' + line.name + u'/')
{
    // Four ticks to a rhythm: a command renewed in time is never missing on the line.
    m_tick.setInterval(std::clamp(config.commandRhythmMs / 4, 100, 1000));
    connect(&m_tick, &QTimer::timeout, this, &ServeCommands::tick);
    m_tick.start();
    connect(
        &m_link, &Hexedit::answerReceived, this,
        [this](const QByteArray& request, const QByteArray&) { finalStopAnswered(request, true); });
    connect(&m_link, &Hexedit::answerTimedOut, this,
            [this](const QByteArray& request, int) { finalStopAnswered(request, false); });
}

QStringList ServeCommands::filters() const
{
    return {m_base + QStringLiteral("+/set/run"), m_base + QStringLiteral("set/stop")};
}

RunCommand ServeCommands::commandOf(quint8 address) const
{
    return m_drives.value(address).command;
}

void ServeCommands::take(const QString& topic, const QByteArray& payload, bool retained)
{
    if (!topic.startsWith(m_base))
        return;
    const QString rest = topic.mid(m_base.size());
    const QString client =
        QJsonDocument::fromJson(payload).object().value(QStringLiteral("client")).toString();
    if (retained) {
        emit logLine(QStringLiteral("line %1: refused a retained command on %2 from %3: a "
                                    "command must be fresh")
                         .arg(m_line.name, topic, client.isEmpty() ? QStringLiteral("?") : client));
        const int address = rest.section(u'/', 0, 0).toInt();
        // An empty retained message is how one is taken away: nothing to answer.
        const QJsonObject o = QJsonDocument::fromJson(payload).object();
        if (!payload.isEmpty() && rest.endsWith(QStringLiteral("/set/run")) &&
            m_line.drives.contains(quint8(address))) {
            answer(quint8(address), client, o.value(QStringLiteral("command")).toString(),
                   QStringLiteral("refused: retained; a command must be fresh"));
            journalRefusal(quint8(address), o, QStringLiteral("retained; a command must be fresh"));
        } else if (!payload.isEmpty() && rest == u"set/stop" && m_journal) {
            m_journal->refused(m_line.name, 0,
                               QStringLiteral("stop of every drive of the line, ") +
                                   ServeJournal::askedBy(client),
                               true, QStringLiteral("retained; a command must be fresh"));
        }
        return;
    }
    if (rest == u"set/stop") {
        lineStop(payload);
        return;
    }
    const QString drive = rest.section(u'/', 0, 0);
    bool number = false;
    const int address = drive.toInt(&number);
    if (!number || address < 1 || address > Rtu::HighestAddress ||
        !m_line.drives.contains(quint8(address))) {
        emit logLine(QStringLiteral("line %1: refused a command from %2 for drive %3: not a "
                                    "drive of this line")
                         .arg(m_line.name, client.isEmpty() ? QStringLiteral("?") : client, drive));
        if (number && address >= 1 && address <= Rtu::HighestAddress) {
            answer(quint8(address), client, QString(), QStringLiteral("refused: not served"));
            journalRefusal(quint8(address), QJsonDocument::fromJson(payload).object(),
                           QStringLiteral("not a drive this service serves"));
        }
        return;
    }
    runCommand(quint8(address), payload);
}

void ServeCommands::runCommand(quint8 address, const QByteArray& payload)
{
    const QJsonObject o = QJsonDocument::fromJson(payload).object();
    const QString client = o.value(QStringLiteral("client")).toString();
    const QString what = o.value(QStringLiteral("command")).toString().toLower();
    const QString who = client.isEmpty() ? QStringLiteral("?") : client;
    auto refuse = [&](const QString& why) {
        emit logLine(QStringLiteral("line %1: refused a command from %2 for drive %3: %4")
                         .arg(m_line.name, who)
                         .arg(address)
                         .arg(why));
        answer(address, client, what, QStringLiteral("refused: ") + why);
        journalRefusal(address, o, why);
    };
    Drive& d = m_drives[address];
    if (what == u"stop") {
        d.pending.clear();
        const bool wasStopping = d.command == RunCommand::Stop;
        d.command = RunCommand::Stop;
        d.setpoint = 0;
        d.stopsLeft = StopRepeats;
        if (!wasStopping) {
            emit logLine(QStringLiteral("line %1: drive %2: stop from %3")
                             .arg(m_line.name)
                             .arg(address)
                             .arg(who));
            answer(address, client, what, QStringLiteral("accepted"));
            send(address, d);
            journalStop(address, ServeJournal::askedBy(client));
        }
        // A stop said again only keeps the repeats going, at the tick.
        return;
    }
    if (what != u"fwd" && what != u"rev")
        return refuse(QStringLiteral("command is fwd, rev or stop"));
    if (const QString why = stale(o); !why.isEmpty())
        return refuse(why);
    const QJsonValue hz = o.value(QStringLiteral("hz"));
    const std::optional<quint16> setpoint =
        hz.isDouble() && std::isfinite(hz.toDouble()) && hz.toDouble() >= 0
            ? Hexedit::ControlSetpoint(QString::number(hz.toDouble(), 'f', 2))
            : std::nullopt;
    if (!setpoint)
        return refuse(QStringLiteral("hz is a frequency from 0 to 655.35"));
    if (!d.upper) {
        // Decided once the drive has said what it allows.
        const bool asked = !d.pending.isEmpty();
        d.pending = payload;
        if (!asked)
            emit limitWanted(address);
        return;
    }
    if (*setpoint > *d.upper)
        return refuse(QStringLiteral("%1 Hz lies above the drive's upper limit (P0.06 = %2 Hz)")
                          .arg(hzText(*setpoint), hzText(*d.upper)));
    const RunCommand command = what == u"fwd" ? RunCommand::Forward : RunCommand::Reverse;
    // Said when it changes, not at every renewal a client sends to keep it.
    if (d.command != command || d.setpoint != *setpoint) {
        emit logLine(QStringLiteral("line %1: drive %2: %3 %4 Hz from %5")
                         .arg(m_line.name)
                         .arg(address)
                         .arg(what)
                         .arg(QString::number(*setpoint / 100.0, 'f', 2), who));
        answer(address, client, what, QStringLiteral("accepted"));
    }
    const bool changed = d.command != command || d.setpoint != *setpoint;
    d.command = command;
    d.setpoint = *setpoint;
    d.fresh.start();
    send(address, d);
    m_lastRefusal.remove(address);
    if (changed && m_journal)
        m_journal->ran(m_line.name, address, command, *setpoint, client);
}

QString ServeCommands::stale(const QJsonObject& o) const
{
    // Only a command that carries its time can be told old: one left
    // retained at a broker that no longer says so, or held up on its way.
    const QJsonValue time = o.value(QStringLiteral("time"));
    if (time.isUndefined())
        return {};
    const QDateTime sent = QDateTime::fromString(time.toString(), Qt::ISODateWithMs);
    if (!sent.isValid())
        return QStringLiteral("time is an ISO 8601 time, such as 2024-05-01T12:00:00Z");
    const qint64 age = sent.msecsTo(QDateTime::currentDateTimeUtc());
    if (age > m_config.commandRhythmMs)
        return QStringLiteral("sent %1 s ago, longer than the rhythm of %2 s: a command must be "
                              "fresh")
            .arg(QString::number(age / 1000.0, 'f', 1),
                 QString::number(m_config.commandRhythmMs / 1000.0));
    return {};
}

void ServeCommands::setUpperLimit(quint8 address, std::optional<quint16> raw)
{
    if (!m_line.drives.contains(address))
        return;
    Drive& d = m_drives[address];
    if (raw && d.upper != raw)
        emit logLine(QStringLiteral("line %1: drive %2: upper limit P0.06 = %3 Hz")
                         .arg(m_line.name)
                         .arg(address)
                         .arg(hzText(*raw)));
    d.upper = raw;
    const bool running = d.command == RunCommand::Forward || d.command == RunCommand::Reverse;
    if (raw && running && d.setpoint > *raw) {
        // Lowered while the drive runs above it: it no longer may.
        emit logLine(QStringLiteral("line %1: drive %2: %3 Hz now lies above its upper limit "
                                    "(P0.06 = %4 Hz): stopping it")
                         .arg(m_line.name)
                         .arg(address)
                         .arg(hzText(d.setpoint), hzText(*raw)));
        answer(address, QString(), QStringLiteral("stop"),
               QStringLiteral("stopped: the set-point lies above the drive's upper limit "
                              "(P0.06 = %1 Hz)")
                   .arg(hzText(*raw)));
        const quint16 was = d.setpoint;
        d.command = RunCommand::Stop;
        d.setpoint = 0;
        d.stopsLeft = StopRepeats;
        send(address, d);
        journalStop(address, QStringLiteral("%1 Hz lies above the drive's upper limit, "
                                            "lowered to P0.06 = %2 Hz")
                                 .arg(hzText(was), hzText(*raw)));
    }
    const QByteArray pending = std::exchange(d.pending, {});
    if (pending.isEmpty())
        return;
    if (raw) {
        runCommand(address, pending);
        return;
    }
    const QJsonObject o = QJsonDocument::fromJson(pending).object();
    const QString client = o.value(QStringLiteral("client")).toString();
    emit logLine(QStringLiteral("line %1: refused a command from %2 for drive %3: its upper limit "
                                "P0.06 could not be read")
                     .arg(m_line.name, client.isEmpty() ? QStringLiteral("?") : client)
                     .arg(address));
    answer(address, client, o.value(QStringLiteral("command")).toString().toLower(),
           QStringLiteral("refused: the drive's upper limit P0.06 could not be read"));
    journalRefusal(address, o, QStringLiteral("the drive's upper limit P0.06 could not be read"));
}

void ServeCommands::lineStop(const QByteArray& payload)
{
    const QString client =
        QJsonDocument::fromJson(payload).object().value(QStringLiteral("client")).toString();
    emit logLine(QStringLiteral("line %1: stop of every drive from %2")
                     .arg(m_line.name, client.isEmpty() ? QStringLiteral("?") : client));
    // Every drive on the line hears the broadcast; the served ones are told
    // one by one as well, since nobody answers a broadcast to say it arrived.
    m_link.SendBroadcastStop();
    const QString why = QStringLiteral("every drive of the line, ") + ServeJournal::askedBy(client);
    if (m_journal)
        m_journal->stopped(m_line.name, 0, QStringLiteral("broadcast to ") + why);
    for (const quint8 address : m_line.drives) {
        Drive& d = m_drives[address];
        d.pending.clear();
        d.command = RunCommand::Stop;
        d.setpoint = 0;
        d.stopsLeft = StopRepeats;
        send(address, d);
        journalStop(address, why);
    }
}

bool ServeCommands::stopAll()
{
    bool any = false;
    m_tick.stop();
    for (auto it = m_drives.begin(); it != m_drives.end(); ++it) {
        Drive& d = it.value();
        d.pending.clear();
        // A drive still being told to stop is told once more, and heard out.
        if (d.command == RunCommand::None)
            continue;
        const bool wasRunning = d.command != RunCommand::Stop;
        if (wasRunning)
            emit logLine(QStringLiteral("line %1: drive %2: stopped, since nobody will renew its "
                                        "command")
                             .arg(m_line.name)
                             .arg(it.key()));
        d.command = RunCommand::Stop;
        d.setpoint = 0;
        d.stopsLeft = 1;
        if (!m_link.port().isOpen()) {
            if (wasRunning)
                journalStop(it.key(), QStringLiteral("the service stops"),
                            QStringLiteral("not sent: the line's port is closed"));
            continue;
        }
        if (wasRunning)
            journalStop(it.key(), QStringLiteral("the service stops"));
        send(it.key(), d);
        m_finalStops.insert(it.key(), 1);
        any = true;
    }
    return any;
}

void ServeCommands::finalStopAnswered(const QByteArray& request, bool answered)
{
    if (request.isEmpty() || !m_finalStops.contains(quint8(request.at(0))))
        return;
    const quint8 address = quint8(request.at(0));
    Drive& d = m_drives[address];
    if (request != d.frame)
        return;
    if (answered) {
        m_finalStops.remove(address);
        return;
    }
    if (m_finalStops[address] >= StopRepeats || !m_link.port().isOpen()) {
        emit logLine(QStringLiteral("line %1: drive %2 did not answer its stop, sent %3 times")
                         .arg(m_line.name)
                         .arg(address)
                         .arg(m_finalStops[address]));
        journalStop(address, QStringLiteral("the service stops"),
                    QStringLiteral("no answer, sent %1 times").arg(m_finalStops[address]));
        m_finalStops.remove(address);
        return;
    }
    ++m_finalStops[address];
    d.command = RunCommand::Stop;
    d.stopsLeft = 1;
    send(address, d);
}

void ServeCommands::tick()
{
    for (auto it = m_drives.begin(); it != m_drives.end(); ++it) {
        Drive& d = it.value();
        const bool running = d.command == RunCommand::Forward || d.command == RunCommand::Reverse;
        const bool expired = running && d.fresh.elapsed() > m_config.commandRhythmMs;
        if (expired) {
            emit logLine(QStringLiteral("line %1: drive %2: no fresh command within %3 ms: "
                                        "stopping it")
                             .arg(m_line.name)
                             .arg(it.key())
                             .arg(m_config.commandRhythmMs));
            d.command = RunCommand::Stop;
            d.setpoint = 0;
            d.stopsLeft = StopRepeats;
        }
        send(it.key(), d);
        if (expired)
            journalStop(it.key(), QStringLiteral("no fresh command within %1 s")
                                      .arg(m_config.commandRhythmMs / 1000.0));
    }
}

void ServeCommands::send(quint8 address, Drive& d)
{
    if (d.command == RunCommand::None || !m_link.port().isOpen())
        return;
    const QByteArray frame =
        Hexedit::ControlFrame(address, Hexedit::RunCommandCode(d.command), d.setpoint);
    // One control frame of a drive's waits for the line at a time: a client
    // renewing its command faster than the line can carry it changes what
    // that frame will say, and the drives' polls still get their turns.
    if (d.frame == frame && m_link.IsWaiting(d.waiting))
        return;
    if (!m_link.ReplaceWaitingFrame(d.waiting, frame))
        d.waiting = m_link.SubmitFrame(frame);
    d.frame = frame;
    if (d.command == RunCommand::Stop && --d.stopsLeft <= 0)
        d.command = RunCommand::None;
}

void ServeCommands::answer(quint8 address, const QString& client, const QString& what,
                           const QString& result)
{
    QJsonObject o;
    if (!what.isEmpty())
        o.insert(QStringLiteral("command"), what);
    o.insert(QStringLiteral("client"), client);
    o.insert(QStringLiteral("result"), result);
    o.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    m_broker.publish(m_base + QString::number(address) + QStringLiteral("/command"),
                     QJsonDocument(o).toJson(QJsonDocument::Compact), false);
}

void ServeCommands::journalRefusal(quint8 address, const QJsonObject& command, const QString& why)
{
    if (!m_journal)
        return;
    // A client that keeps renewing what is refused is journaled once, as a
    // renewal that is obeyed is.
    const QString asked = ServeJournal::askedText(command);
    QString& last = m_lastRefusal[address];
    if (last == asked + why)
        return;
    last = asked + why;
    m_journal->refused(m_line.name, address, asked,
                       command.value(QStringLiteral("command")).toString().toLower() == u"stop",
                       why);
}

void ServeCommands::journalStop(quint8 address, const QString& why, const QString& result)
{
    m_lastRefusal.remove(address);
    if (m_journal)
        m_journal->stopped(m_line.name, address, why, result);
}
