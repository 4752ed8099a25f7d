// SPDX-License-Identifier: GPL-3.0-or-later
#include "RequestFramer.h"

#include "RtuProtocol.h"
#include "SimulatedBus.h"

#include <algorithm>

namespace {

// The longest request a Modbus RTU line carries.
constexpr int kLongestFrame = 256;
constexpr int kShortestFrame = 4; // address, function, CRC

} // namespace

QList<QByteArray> RequestFramer::feed(const QByteArray& bytes, qint64 nowUs)
{
    QList<QByteArray> frames;
    if (nowUs - m_lastByteUs > m_silenceUs)
        endStretch(frames);
    if (bytes.isEmpty())
        return frames;
    m_lastByteUs = nowUs;
    if (m_unreadable) {
        m_dropped.append(bytes);
        return frames;
    }
    m_buffer.append(bytes);
    cut(frames);
    return frames;
}

QList<QByteArray> RequestFramer::flush(qint64 nowUs)
{
    QList<QByteArray> frames;
    const qint64 deadline = deadlineUs();
    if (deadline >= 0 && nowUs >= deadline)
        endStretch(frames);
    return frames;
}

qint64 RequestFramer::deadlineUs() const
{
    if (m_buffer.isEmpty() && !m_unreadable)
        return -1;
    return m_lastByteUs + m_silenceUs + 1;
}

void RequestFramer::clear()
{
    m_buffer.clear();
    m_unreadable = false;
}

int RequestFramer::headLength() const
{
    const int available = int(m_buffer.size());
    if (available < 2)
        return 0;
    // The drives' functions and the other standard ones a master may send: the
    // fixed eight-byte requests, and the writes that carry their byte count.
    switch (quint8(m_buffer.at(1))) {
    case 0x01:
    case 0x02:
    case Rtu::ReadFunction:
    case 0x04:
    case 0x05:
    case Rtu::WriteFunction:
        return available >= 8 ? 8 : 0;
    case 0x0F:
    case Rtu::ControlFunction: {
        if (available < 7)
            return 0;
        const int length = 9 + quint8(m_buffer.at(6));
        return available >= length ? length : 0;
    }
    default:
        return -1;
    }
}

void RequestFramer::cut(QList<QByteArray>& frames)
{
    while (!m_buffer.isEmpty()) {
        const int length = headLength();
        if (length == 0)
            return;
        if (length < 0) {
            // Only the silence ends it; a stretch longer than any frame cannot be one.
            if (m_buffer.size() > kLongestFrame)
                giveUp();
            return;
        }
        const QByteArray candidate = m_buffer.left(length);
        if (!SimulatedBus::hasValidCrc(candidate)) {
            giveUp();
            return;
        }
        frames.append(candidate);
        m_buffer.remove(0, length);
    }
}

void RequestFramer::endStretch(QList<QByteArray>& frames)
{
    // What is left is a frame of a function only the silence ends, or a torn one.
    if (m_buffer.size() >= kShortestFrame && SimulatedBus::hasValidCrc(m_buffer))
        frames.append(m_buffer);
    else
        m_dropped.append(m_buffer);
    m_buffer.clear();
    m_unreadable = false;
}

void RequestFramer::giveUp()
{
    m_dropped.append(m_buffer);
    m_buffer.clear();
    m_unreadable = true;
}

QByteArray RequestFramer::takeDropped()
{
    QByteArray dropped;
    dropped.swap(m_dropped);
    return dropped;
}
