// SPDX-License-Identifier: GPL-3.0-or-later
#include "BusServer.h"

#include <algorithm>
#include <cmath>

namespace {

// A quiet line ends a frame after 3.5 characters; USB adapters deliver in
// lumps up to several milliseconds apart, so by default never less than this.
constexpr qint64 kDefaultSilenceFloorUs = 50'000;

} // namespace

BusServer::BusServer(SimulatedBus& bus, SimClock& clock, QObject* parent)
    : QObject(parent), m_bus(bus), m_clock(clock), m_framer(kDefaultSilenceFloorUs),
      m_silenceFloorUs(kDefaultSilenceFloorUs)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BusServer::service);
}

void BusServer::setLineSettings(const SerialSettings& settings)
{
    m_characterUs = settings.bitsPerCharacter() * 1e6 / std::max(settings.baudRate, 1);
    applySilence();
}

void BusServer::setSilenceFloorUs(qint64 us)
{
    m_silenceFloorUs = std::max<qint64>(us, 0);
    applySilence();
}

void BusServer::applySilence()
{
    m_framer.setSilenceUs(std::max(m_silenceFloorUs, qint64(std::ceil(3.5 * m_characterUs))));
}

void BusServer::setCorruption(double percent, quint32 seed)
{
    m_corruptPercent = std::clamp(percent, 0.0, 100.0);
    m_random.seed(seed);
}

QString BusServer::hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void BusServer::receive(const QByteArray& bytes, qint64 leadUs)
{
    const qint64 now = m_clock.nowUs();
    m_bus.advanceTo(now);
    const QList<QByteArray> frames = m_framer.feed(bytes, now);
    handle(frames, now + std::max<qint64>(leadUs, 0));
    arm();
}

void BusServer::handle(const QList<QByteArray>& frames, qint64 startUs)
{
    reportDropped();
    for (const QByteArray& frame : frames) {
        emit traffic(QStringLiteral("<- %1").arg(hex(frame)));
        const std::optional<SimulatedBus::Reply> reply = m_bus.handle(frame);
        for (const QString& note : m_bus.takeNotes())
            emit traffic(QStringLiteral("## %1").arg(note));
        if (!reply)
            continue;
        const qint64 due = startUs + qint64(reply->delayMs) * 1000;
        // Replies leave in the order they were asked for.
        const qint64 after = m_pending.empty() ? due : std::max(due, m_pending.back().dueUs);
        m_pending.push_back({after, reply->frame});
    }
}

void BusServer::reportDropped()
{
    if (const QByteArray dropped = m_framer.takeDropped(); !dropped.isEmpty())
        emit traffic(QStringLiteral("?? ignored %1").arg(hex(dropped)));
}

std::optional<SimulatedBus::Reply> BusServer::answer(const QByteArray& frame)
{
    m_bus.advanceTo(m_clock.nowUs());
    if (!SimulatedBus::hasValidCrc(frame)) {
        emit traffic(QStringLiteral("?? ignored %1").arg(hex(frame)));
        return std::nullopt;
    }
    emit traffic(QStringLiteral("<- %1").arg(hex(frame)));
    std::optional<SimulatedBus::Reply> reply = m_bus.handle(frame);
    for (const QString& note : m_bus.takeNotes())
        emit traffic(QStringLiteral("## %1").arg(note));
    if (reply)
        reply->frame = corrupt(reply->frame);
    return reply;
}

void BusServer::service()
{
    const qint64 now = m_clock.nowUs();
    m_bus.advanceTo(now);
    handle(m_framer.flush(now), now);
    while (!m_pending.empty() && m_pending.front().dueUs <= now) {
        const Pending next = m_pending.front();
        m_pending.pop_front();
        const QByteArray bytes = corrupt(next.frame);
        emit traffic(QStringLiteral("-> %1").arg(hex(bytes)));
        emit transmit(bytes, next.dueUs);
    }
    arm();
}

qint64 BusServer::nextDueUs() const
{
    const qint64 reply = m_pending.empty() ? -1 : m_pending.front().dueUs;
    const qint64 silence = m_framer.deadlineUs();
    if (reply < 0 || silence < 0)
        return std::max(reply, silence);
    return std::min(reply, silence);
}

void BusServer::clearPending()
{
    m_pending.clear();
    m_framer.clear();
    m_timer.stop();
}

void BusServer::arm()
{
    const qint64 next = nextDueUs();
    if (m_clock.isManual() || next < 0) {
        m_timer.stop();
        return;
    }
    const qint64 waitUs = next - m_clock.nowUs();
    m_timer.start(int(std::clamp<qint64>((waitUs + 999) / 1000, 0, 60'000)));
}

QByteArray BusServer::corrupt(QByteArray bytes)
{
    if (m_corruptPercent <= 0)
        return bytes;
    std::uniform_real_distribution<double> share(0.0, 100.0);
    std::uniform_int_distribution<int> bit(0, 7);
    for (char& byte : bytes) {
        if (share(m_random) < m_corruptPercent)
            byte = char(quint8(byte) ^ (1u << bit(m_random)));
    }
    return bytes;
}
