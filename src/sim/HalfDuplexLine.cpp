// SPDX-License-Identifier: GPL-3.0-or-later
#include "HalfDuplexLine.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The longest frame a Modbus RTU line carries; a longer stretch is kept only
// this far, for the log.
constexpr int kLongestFrame = 256;

} // namespace

HalfDuplexLine::HalfDuplexLine(SimulatedBus& bus, SimClock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_server(bus, clock)
{
    m_server.setSilenceFloorUs(m_silenceFloorUs);
    connect(&m_server, &BusServer::traffic, this, &HalfDuplexLine::traffic);
    // Only an unpaced line lets the server send; a paced one asks answer().
    connect(&m_server, &BusServer::transmit, this,
            [this](const QByteArray& bytes, qint64) { emit output(bytes); });
    connect(&m_wake, &WakeTimer::timeout, this, &HalfDuplexLine::service);
}

void HalfDuplexLine::clear()
{
    m_heard.clear();
    // The line is quiet from now: what the last client sent would still be
    // "arriving" for as long as it takes at the baud rate (100 kB at 9600 is
    // nearly two minutes), and the next client's request would wait behind it.
    m_heardEndUs = 0;
    m_heardCollided = false;
    m_heardOverlong = false;
    m_replies.clear();
    m_server.clearPending();
    m_wake.stop();
}

void HalfDuplexLine::setPaced(bool paced)
{
    m_paced = paced;
}

void HalfDuplexLine::setSilenceFloorUs(qint64 us)
{
    m_silenceFloorUs = std::max<qint64>(us, 0);
    m_server.setSilenceFloorUs(m_silenceFloorUs);
    m_silenceUs = std::max(m_silenceFloorUs, qint64(std::ceil(3.5 * m_characterUs)));
}

void HalfDuplexLine::setLineSettings(const SerialSettings& settings)
{
    m_characterUs = settings.bitsPerCharacter() * 1e6 / std::max(settings.baudRate, 1);
    m_server.setLineSettings(settings);
    setSilenceFloorUs(m_silenceFloorUs);
}

void HalfDuplexLine::feed(const QByteArray& bytes)
{
    if (!m_paced) {
        m_server.receive(bytes);
        return;
    }
    const qint64 now = m_clock.nowUs();
    advance(now);
    if (!bytes.isEmpty()) {
        // A stream hands over at once what a wire carries one character after
        // another: these bytes follow those still arriving.
        const qint64 start = std::max(now, m_heardEndUs);
        const qint64 end = start + std::llround(double(bytes.size()) * m_characterUs);
        if (collide(start, end))
            m_heardCollided = true;
        if (m_heard.size() + bytes.size() > kLongestFrame)
            m_heardOverlong = true;
        m_heard.append(bytes.left(std::max<qsizetype>(kLongestFrame - m_heard.size(), 0)));
        m_heardEndUs = end;
    }
    arm();
}

void HalfDuplexLine::service()
{
    if (!m_paced) {
        m_server.service();
        return;
    }
    advance(m_clock.nowUs());
    arm();
}

qint64 HalfDuplexLine::nextDueUs() const
{
    if (!m_paced)
        return m_server.nextDueUs();
    qint64 next = -1;
    if (!m_heard.isEmpty())
        next = m_heardEndUs + m_silenceUs + 1;
    if (!m_replies.empty()) {
        const qint64 byte = byteEndUs(m_replies.front(), m_replies.front().written);
        next = next < 0 ? byte : std::min(next, byte);
    }
    return next;
}

qint64 HalfDuplexLine::byteEndUs(const Reply& reply, int index) const
{
    return reply.startUs + std::llround(double(index + 1) * m_characterUs);
}

void HalfDuplexLine::advance(qint64 nowUs)
{
    if (!m_heard.isEmpty() && nowUs - m_heardEndUs > m_silenceUs)
        endFrame(nowUs);
    writeDue(nowUs);
}

void HalfDuplexLine::endFrame(qint64 nowUs)
{
    QByteArray frame;
    frame.swap(m_heard);
    const bool collided = std::exchange(m_heardCollided, false);
    const bool overlong = std::exchange(m_heardOverlong, false);
    if (collided) {
        emit traffic(QStringLiteral("!! collision %1").arg(BusServer::hex(frame)));
        return;
    }
    if (overlong) {
        emit traffic(QStringLiteral("?? ignored %1 ...").arg(BusServer::hex(frame)));
        return;
    }
    const std::optional<SimulatedBus::Reply> reply = m_server.answer(frame);
    if (!reply || reply->frame.isEmpty())
        return;
    // The drive answers its delay after the request's end, and not before it
    // can know the request has ended; one reply waits for the one before.
    qint64 start = std::max(m_heardEndUs + qint64(reply->delayMs) * 1000, nowUs);
    if (!m_replies.empty()) {
        const Reply& last = m_replies.back();
        start = std::max(start, byteEndUs(last, int(last.bytes.size()) - 1));
    }
    m_replies.push_back({reply->frame, std::vector<bool>(size_t(reply->frame.size())), start});
}

bool HalfDuplexLine::collide(qint64 startUs, qint64 endUs)
{
    bool hit = false;
    for (Reply& reply : m_replies) {
        for (int k = reply.written; k < reply.bytes.size(); ++k) {
            const qint64 byteStart = k == 0 ? reply.startUs : byteEndUs(reply, k - 1);
            if (byteStart >= endUs)
                break;
            if (byteEndUs(reply, k) > startUs) {
                reply.damaged[size_t(k)] = true;
                hit = true;
            }
        }
    }
    return hit;
}

void HalfDuplexLine::writeDue(qint64 nowUs)
{
    // Signals go out once the queue is settled, so a receiver may feed bytes back.
    QByteArray out;
    QStringList sent;
    while (!m_replies.empty()) {
        Reply& reply = m_replies.front();
        while (reply.written < reply.bytes.size() && byteEndUs(reply, reply.written) <= nowUs) {
            const quint8 byte = quint8(reply.bytes.at(reply.written));
            // Two drivers on the line at once: what arrives is neither's byte.
            out.append(char(reply.damaged[size_t(reply.written)] ? quint8(~byte) : byte));
            ++reply.written;
        }
        if (reply.written < reply.bytes.size())
            break;
        QByteArray whole = reply.bytes;
        for (qsizetype k = 0; k < whole.size(); ++k) {
            if (reply.damaged[size_t(k)])
                whole[k] = char(~quint8(whole.at(k)));
        }
        sent.append(QStringLiteral("-> %1").arg(BusServer::hex(whole)));
        m_replies.pop_front();
    }
    // The log tells of a reply just before its last byte goes, so whoever has
    // read the reply finds it in the log.
    for (const QString& line : sent)
        emit traffic(line);
    if (!out.isEmpty())
        emit output(out);
}

void HalfDuplexLine::arm()
{
    if (m_clock.isManual())
        return;
    const qint64 next = nextDueUs();
    if (next < 0)
        m_wake.stop();
    else
        m_wake.startUs(next - m_clock.nowUs());
}
