// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModbusTcpGateway.h"

#include "TcpPort.h"

#include <algorithm>
#include <cmath>

ModbusTcpGateway::ModbusTcpGateway(SimulatedBus& bus, SimClock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_server(bus, clock)
{
    m_tcp.setScheme(TcpPort::schemeOf(TcpPort::Framing::ModbusTcp));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ModbusTcpGateway::sendDue);
    connect(&m_server, &BusServer::traffic, this, &ModbusTcpGateway::traffic);
    connect(&m_tcp, &TcpBusServer::received, this, &ModbusTcpGateway::receive);
    connect(&m_tcp, &TcpBusServer::clientChanged, this, [this](const QString& text) {
        clear();
        emit clientChanged(text);
    });
    connect(&m_tcp, &TcpBusServer::clientRefused, this, &ModbusTcpGateway::clientRefused);
}

void ModbusTcpGateway::setLineSettings(const SerialSettings& settings)
{
    m_characterUs = settings.bitsPerCharacter() * 1e6 / std::max(settings.baudRate, 1);
}

qint64 ModbusTcpGateway::wireUs(qsizetype bytes) const
{
    return m_paced ? qint64(std::ceil(double(bytes) * m_characterUs)) : 0;
}

void ModbusTcpGateway::receive(const QByteArray& bytes)
{
    m_stream.feed(bytes);
    while (const std::optional<ModbusTcp::Adu> request = m_stream.next())
        take(*request);
    if (const QByteArray dropped = m_stream.takeDropped(); !dropped.isEmpty())
        emit traffic(QStringLiteral("?? ignored %1").arg(BusServer::hex(dropped)));
    arm();
}

void ModbusTcpGateway::take(const ModbusTcp::Adu& request)
{
    const QByteArray frame = ModbusTcp::toRtu(request.unit, request.pdu);
    // The request goes on the line once the one before has had its turn.
    const qint64 start = std::max(m_clock.nowUs(), m_lineFreeUs);
    const qint64 heard = start + wireUs(frame.size());
    m_lineFreeUs = heard;
    const std::optional<SimulatedBus::Reply> reply = m_server.answer(frame);
    if (!reply || reply->frame.isEmpty())
        return;
    const qint64 due = heard + qint64(reply->delayMs) * 1000 + wireUs(reply->frame.size());
    m_lineFreeUs = due;
    m_pending.push_back({request.transaction, reply->frame, due});
}

void ModbusTcpGateway::sendDue()
{
    const qint64 now = m_clock.nowUs();
    while (!m_pending.empty() && m_pending.front().dueUs <= now) {
        const Pending next = m_pending.front();
        m_pending.pop_front();
        // A reply damaged on the line fails its CRC at the gateway, which
        // passes on nothing rather than something wrong.
        if (!SimulatedBus::hasValidCrc(next.reply)) {
            emit traffic(QStringLiteral("?? damaged reply not passed on %1")
                             .arg(BusServer::hex(next.reply)));
            continue;
        }
        emit traffic(QStringLiteral("-> %1").arg(BusServer::hex(next.reply)));
        if (const std::optional<ModbusTcp::Adu> adu =
                ModbusTcp::fromRtu(next.reply, next.transaction))
            m_tcp.write(ModbusTcp::encode(*adu));
    }
    arm();
}

void ModbusTcpGateway::arm()
{
    if (m_pending.empty()) {
        m_timer.stop();
        return;
    }
    const qint64 waitUs = m_pending.front().dueUs - m_clock.nowUs();
    m_timer.start(int(std::clamp<qint64>((waitUs + 999) / 1000, 0, 60'000)));
}

void ModbusTcpGateway::clear()
{
    m_stream.clear();
    m_pending.clear();
    m_timer.stop();
    m_lineFreeUs = 0;
}
