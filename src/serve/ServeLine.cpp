// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeLine.h"

#include "BrokerLink.h"
#include "DriftWatch.h"
#include "FaultEvents.h"
#include "LineShare.h"
#include "LinkClient.h"
#include "Sampler.h"
#include "SelectablePort.h"
#include "ServeCommands.h"
#include "ServeParams.h"
#include "Tab.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// Longer than a gateway's own connect time-out, which says why it failed.
constexpr int kReadyGuardMs = TcpPort::DefaultConnectTimeoutMs + 2000;
// P0.06, the upper frequency limit, in 0.01 Hz; read again this often, as
// someone at the drive's keypad may change it.
constexpr quint16 kUpperLimitRegister = 0x0006;
constexpr int kLimitRefreshMs = 60000;

QString isoTime(const QDateTime& t)
{
    return t.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

ServeLine::ServeLine(const ServeLineConfig& line, const ServeConfig& config, BrokerLink& broker,
                     QObject* parent)
    : QObject(parent), m_line(line), m_config(config), m_broker(broker),
      m_port(std::make_unique<SelectablePort>()), m_link(std::make_unique<Hexedit>(*m_port)),
      m_client(std::make_unique<LinkClient>(*m_link)),
      m_sampler(std::make_unique<Sampler>(*m_client)), m_out(line.drives.size())
{
    m_client->setRetries(config.retries);
    m_sampler->setup(line.drives, line.values, line.intervalMs);
    // Each drive as soon as it is read: on a long line a round takes seconds.
    connect(m_sampler.get(), &Sampler::driveRead, this, &ServeLine::publishDrive);
    connect(m_sampler.get(), &Sampler::portClosed, this,
            [this] { portGone(QStringLiteral("the port closed")); });
    connect(m_port.get(), &SerialPort::deviceLost, this,
            [this] { portGone(m_port->errorString()); });
    connect(m_port.get(), &SerialPort::ready, this, [this] {
        m_readyGuard.stop();
        if (m_running && !m_sampler->running()) {
            setLineStatus(QStringLiteral("reading"), {});
            m_sampler->start();
            m_drift->start();
        }
    });
    if (config.commands) {
        m_commands = std::make_unique<ServeCommands>(m_line, m_config, *m_link, m_broker);
        connect(m_commands.get(), &ServeCommands::logLine, this, &ServeLine::logLine);
        for (const QString& filter : m_commands->filters())
            m_broker.subscribe(filter);
        connect(&m_broker, &BrokerLink::messageReceived, m_commands.get(), &ServeCommands::take);
        m_limits = m_client->openSession(this);
        connect(m_commands.get(), &ServeCommands::limitWanted, this, &ServeLine::readLimit);
        m_limitRefresh.setInterval(kLimitRefreshMs);
        connect(&m_limitRefresh, &QTimer::timeout, this, [this] {
            for (int d = 0; d < m_line.drives.size(); ++d)
                if (m_out[d].availability == "online")
                    readLimit(m_line.drives[d]);
        });
        m_limitRefresh.start();
    }
    // Parameters over the broker, the drift watch and the trips: each on a
    // session of its own, between the readings.
    m_params = std::make_unique<ServeParams>(m_line, m_config, *m_client, m_broker);
    connect(m_params.get(), &ServeParams::logLine, this, &ServeLine::logLine);
    for (const QString& filter : m_params->filters())
        m_broker.subscribe(filter);
    connect(&m_broker, &BrokerLink::messageReceived, m_params.get(), &ServeParams::take);
    m_drift = std::make_unique<DriftWatch>(m_line, m_config, *m_client, m_broker);
    connect(m_drift.get(), &DriftWatch::logLine, this, &ServeLine::logLine);
    connect(m_params.get(), &ServeParams::written, m_drift.get(), &DriftWatch::written);
    connect(m_params.get(), &ServeParams::writing, m_drift.get(), &DriftWatch::writing);
    m_faults = std::make_unique<FaultEvents>(m_line, m_config, *m_client, m_broker);
    connect(m_faults.get(), &FaultEvents::logLine, this, &ServeLine::logLine);
    connect(m_sampler.get(), &Sampler::event, m_faults.get(), &FaultEvents::take);
    if (line.share.enabled()) {
        m_share = std::make_unique<LineShare>(m_line, *m_client);
        connect(m_share.get(), &LineShare::logLine, this, &ServeLine::logLine);
    }
    m_reopen.setSingleShot(true);
    connect(&m_reopen, &QTimer::timeout, this, &ServeLine::openPort);
    m_readyGuard.setSingleShot(true);
    connect(&m_readyGuard, &QTimer::timeout, this, [this] {
        if (!m_port->isReady())
            portGone(QStringLiteral("not ready within %1 s").arg(kReadyGuardMs / 1000));
    });
}

ServeLine::~ServeLine()
{
    // The sessions go before the client they ask through.
    delete m_limits;
    m_faults.reset();
    m_drift.reset();
    m_params.reset();
    m_share.reset();
    m_commands.reset();
    m_sampler.reset();
    m_client.reset();
}

bool ServeLine::reading() const
{
    return m_sampler->running();
}

void ServeLine::start()
{
    m_running = true;
    if (!m_config.siteRoot.isEmpty())
        publishNames();
    openPort();
}

bool ServeLine::openShare(QString* error)
{
    if (!m_share || !m_share->listen(error))
        return !m_share;
    emit logLine(QStringLiteral("line %1: shared with Modbus TCP clients at %2")
                     .arg(m_line.name, m_line.share.listen));
    return true;
}

void ServeLine::setJournal(ServeJournal* journal)
{
    if (m_share)
        m_share->setJournal(journal);
    if (m_commands)
        m_commands->setJournal(journal);
    m_params->setJournal(journal);
    m_drift->setJournal(journal);
}

void ServeLine::publishNames()
{
    // An unnamed drive's topic is emptied: a name taken out of the site's
    // file, or given to another drive, must not stay behind at the broker.
    for (const quint8 address : m_line.drives)
        m_broker.publish(driveTopic(address) + QStringLiteral("/name"),
                         m_line.driveNames.value(address).toUtf8(), true);
}

bool ServeLine::stopDrives()
{
    m_limitRefresh.stop();
    const bool commanded = m_commands && m_commands->stopAll();
    const bool shared = m_share && m_share->stop();
    return commanded || shared;
}

bool ServeLine::drivesStopped() const
{
    return (!m_commands || m_commands->stopsDone()) && (!m_share || m_share->stopsDone());
}

void ServeLine::readLimit(quint8 address)
{
    if (!m_limits || m_limitAsked.contains(address))
        return;
    m_limitAsked.insert(address);
    m_limits->submit(LinkRequest::read(address, kUpperLimitRegister),
                     [this, address](const LinkResult& r) {
                         m_limitAsked.remove(address);
                         if (m_commands)
                             m_commands->setUpperLimit(
                                 address, r.ok() ? std::optional<quint16>(r.value) : std::nullopt);
                     });
}

void ServeLine::stop()
{
    m_running = false;
    m_reopen.stop();
    m_readyGuard.stop();
    if (m_share)
        m_share->stop();
    m_sampler->stop();
    m_drift->stop();
    m_port->close();
    // A clean stop: nobody reads these drives any more.
    for (int d = 0; d < m_line.drives.size(); ++d)
        setAvailability(d, false);
}

void ServeLine::openPort()
{
    if (!m_running)
        return;
    m_port->setPortName(m_line.port);
    m_port->setSettings(m_line.settings);
    if (m_port->open() != SerialPort::OpenError::None) {
        portGone(m_port->errorString());
        return;
    }
    if (m_port->isReady()) {
        setLineStatus(QStringLiteral("reading"), {});
        m_sampler->start();
        m_drift->start();
    } else {
        // A gateway: its connection is made after open() returns.
        m_readyGuard.start(kReadyGuardMs);
    }
}

void ServeLine::portGone(const QString& why)
{
    if (!m_running)
        return;
    m_sampler->stop();
    m_drift->stop();
    m_readyGuard.stop();
    if (m_port->isOpen())
        m_port->close();
    setLineStatus(QStringLiteral("closed"), why);
    // Whatever they last said is no longer current.
    for (int d = 0; d < m_line.drives.size(); ++d)
        setAvailability(d, false);
    if (!m_reopen.isActive())
        m_reopen.start(ReopenMs);
}

void ServeLine::setLineStatus(const QString& state, const QString& why)
{
    emit statusChanged(state);
    const QString problem = state == u"reading" ? QString() : why;
    if (problem != m_lastProblem || state == u"reading") {
        if (!problem.isEmpty())
            emit logLine(QStringLiteral("line %1: the port %2 cannot be used: %3; trying again "
                                        "every %4 s")
                             .arg(m_line.name, m_line.port, problem)
                             .arg(ReopenMs / 1000));
        else if (!m_lastProblem.isEmpty() || state == u"reading")
            emit logLine(QStringLiteral("line %1: reading %2").arg(m_line.name, m_line.port));
    }
    if (problem == m_lastProblem && state != u"reading")
        return;
    m_lastProblem = problem;
    QJsonObject o;
    o.insert(QStringLiteral("state"), state);
    o.insert(QStringLiteral("port"), m_line.port);
    if (!problem.isEmpty())
        o.insert(QStringLiteral("reason"), problem);
    o.insert(QStringLiteral("time"), isoTime(QDateTime::currentDateTime()));
    m_broker.publish(m_config.prefix + u'/' + m_line.name + QStringLiteral("/status"),
                     QJsonDocument(o).toJson(QJsonDocument::Compact), true);
}

QString ServeLine::driveTopic(quint8 address) const
{
    return m_config.prefix + u'/' + m_line.name + u'/' + QString::number(address);
}

void ServeLine::setAvailability(int drive, bool online)
{
    const QByteArray text = online ? "online" : "offline";
    if (m_out[drive].availability == text)
        return;
    // Silent, it may come back as another drive: its limit is read again first.
    if (!online && m_commands && m_out[drive].availability == "online")
        m_commands->setUpperLimit(m_line.drives[drive], std::nullopt);
    m_out[drive].availability = text;
    m_broker.publish(driveTopic(m_line.drives[drive]) + QStringLiteral("/availability"), text,
                     true);
}

QByteArray ServeLine::valueText(double value)
{
    // The drives send single precision: seven digits are all it holds.
    return QByteArray::number(value, 'g', 7);
}

bool ServeLine::due(const Published& last, const QByteArray& text, const QDateTime& now) const
{
    return last.text != text || !last.at.isValid() ||
           last.at.msecsTo(now) >= m_config.publishEveryMs;
}

void ServeLine::publishDrive(int d, const SampleRound& round)
{
    const int perDrive = int(m_line.values.size());
    // When its last value came in: the time the readings are of.
    const QDateTime readAt = QDateTime::currentDateTime();
    const DriveState& s = round.states[d];
    // A drive seen for the first time, or again after silence, may not be
    // the drive it was: what it allows is read before it is commanded.
    if (s.known && m_out[d].availability != "online")
        readLimit(m_line.drives[d]);
    setAvailability(d, s.known);
    if (m_share)
        m_share->setDriveState(m_line.drives[d], s.known ? std::optional(s.running) : std::nullopt);
    emit driveSampled(d, round);
    if (!s.known)
        return;
    DriveOut& out = m_out[d];
    const QString topic = driveTopic(m_line.drives[d]);
    QJsonObject values;
    for (int v = 0; v < perDrive; ++v) {
        const double value = round.values[d * perDrive + v];
        if (std::isnan(value))
            continue;
        const QString key = QString::fromLatin1(m_line.values[v].key);
        const QByteArray text = valueText(value);
        values.insert(key, text.toDouble());
        Published& last = out.values[key];
        if (!due(last, text, readAt))
            continue;
        m_broker.publish(topic + u'/' + key, text, false);
        last = {text, readAt};
    }
    QJsonObject state;
    state.insert(QStringLiteral("run"), s.running);
    state.insert(QStringLiteral("direction"),
                 s.reverse ? QStringLiteral("reverse") : QStringLiteral("forward"));
    state.insert(QStringLiteral("fault"), s.fault);
    state.insert(QStringLiteral("fault_number"), s.faultNumber);
    const auto code = s.fault ? Tab::FaultCode(s.faultNumber) : std::nullopt;
    state.insert(QStringLiteral("fault_code"),
                 code ? QString::fromUtf8(code->data(), qsizetype(code->size())) : QString());
    state.insert(QStringLiteral("fault_text"),
                 s.fault ? QString::fromStdString(Tab::FaultDescription(s.faultNumber))
                         : QString());
    state.insert(QStringLiteral("values"), values);
    // Compared without its time: a reading that says the same is no change.
    const QByteArray same = QJsonDocument(state).toJson(QJsonDocument::Compact);
    if (!due(out.state, same, readAt))
        return;
    out.state = {same, readAt};
    // Numbered, so a subscriber can tell one was lost or came twice.
    state.insert(QStringLiteral("seq"), double(++out.sequence));
    state.insert(QStringLiteral("time"), isoTime(readAt));
    m_broker.publish(topic + QStringLiteral("/state"),
                     QJsonDocument(state).toJson(QJsonDocument::Compact), false);
}
