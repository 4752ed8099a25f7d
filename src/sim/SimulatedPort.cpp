// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedPort.h"

#include <algorithm>
#include <cmath>

SimulatedPort::SimulatedPort(QObject* parent) : SimulatedPort(Timing::RealTime, {1, 2, 3}, parent)
{
}

SimulatedPort::SimulatedPort(Timing timing, const QList<quint8>& addresses, QObject* parent)
    : MemoryPort(parent),
      m_clock(timing == Timing::Manual ? std::unique_ptr<SimClock>(new ManualClock)
                                       : std::unique_ptr<SimClock>(new SteadyClock)),
      m_bus(addresses), m_server(std::make_unique<BusServer>(m_bus, *m_clock))
{
    setPortName(QStringLiteral("SIM"));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedPort::deliver);
    connect(m_server.get(), &BusServer::transmit, this, &SimulatedPort::onTransmit);
}

SimulatedPort::~SimulatedPort()
{
    // The server refers to the clock and the bus; let it go first.
    m_server.reset();
}

double SimulatedPort::characterUs() const
{
    const SerialSettings line = lineSettings();
    return line.bitsPerCharacter() * 1e6 / std::max(line.baudRate, 1);
}

SerialPort::OpenError SimulatedPort::open()
{
    if (isOpen()) {
        setErrorString(tr("The port is already open."));
        return OpenError::PortBusy;
    }
    setOpen(true);
    m_onLine.clear();
    m_server->setLineSettings(lineSettings());
    return OpenError::None;
}

void SimulatedPort::close()
{
    // The drives keep running; only what was on its way to us is lost.
    setOpen(false);
    m_onLine.clear();
    m_server->clearPending();
    m_timer.stop();
}

bool SimulatedPort::write(const QByteArray& block)
{
    if (!isOpen())
        return false;
    if (m_driveSettings) {
        const SerialSettings port = lineSettings();
        const SerialSettings& drives = *m_driveSettings;
        if (port.baudRate != drives.baudRate || port.parity != drives.parity ||
            port.dataBits != drives.dataBits || port.stopBits != drives.stopBits)
            return true; // sent, but no drive makes a request of it
    }
    m_server->setLineSettings(lineSettings());
    m_server->receive(block, qint64(block.size() * characterUs()));
    deliver();
    return true;
}

void SimulatedPort::onTransmit(const QByteArray& bytes, qint64 dueUs)
{
    if (!isOpen())
        return;
    // One character after another; a reply waits for the one before it.
    const double perByte = characterUs();
    double at = double(dueUs);
    if (!m_onLine.empty())
        at = std::max(at, double(m_onLine.back().dueUs));
    for (char byte : bytes) {
        at += perByte;
        m_onLine.push_back({qint64(std::ceil(at)), quint8(byte)});
    }
    arm();
}

void SimulatedPort::advanceMs(double ms)
{
    if (auto* manual = dynamic_cast<ManualClock*>(m_clock.get()))
        manual->advanceMs(ms);
    deliver();
}

void SimulatedPort::takePending()
{
    if (isOpen() && !m_clock->isManual())
        deliver();
}

void SimulatedPort::deliver()
{
    const qint64 now = m_clock->nowUs();
    m_bus.advanceTo(now);
    m_server->service();
    bool arrived = false;
    while (!m_onLine.empty() && m_onLine.front().dueUs <= now) {
        arrive(m_onLine.front().byte);
        m_onLine.pop_front();
        arrived = true;
    }
    arm();
    if (arrived && isOpen())
        emit bytesReceived();
}

void SimulatedPort::arm()
{
    if (m_clock->isManual())
        return;
    qint64 next = -1;
    if (!m_onLine.empty())
        next = m_onLine.front().dueUs;
    if (const qint64 reply = m_server->nextDueUs(); reply >= 0)
        next = next < 0 ? reply : std::min(next, reply);
    if (next < 0) {
        m_timer.stop();
        return;
    }
    const qint64 waitUs = next - m_clock->nowUs();
    m_timer.start(int(std::clamp<qint64>((waitUs + 999) / 1000, 0, 60'000)));
}
