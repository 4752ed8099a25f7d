#include "RequestFramer.h"

#include "SimulatedBus.h"

#include <algorithm>

namespace {

// Requests of functions the drives do not know (device identification and the
// like) are short; hunting for a CRC over longer stretches would mostly find
// chance matches in noise.
constexpr int kLongestUnknownFrame = 32;
constexpr quint8 kHighestModbusAddress = 247;

bool hasKnownLength(quint8 function)
{
    return (function >= 0x01 && function <= 0x06) || function == 0x0F || function == 0x10;
}

} // namespace

QList<QByteArray> RequestFramer::feed(const QByteArray& bytes, qint64 nowUs)
{
    if (!m_buffer.isEmpty() && nowUs - m_lastByteUs > m_silenceUs)
        drop(m_buffer.size());
    if (!bytes.isEmpty())
        m_lastByteUs = nowUs;
    m_buffer.append(bytes);

    QList<QByteArray> frames;
    while (m_buffer.size() >= 4) {
        const int length = frameLength(0);
        if (length == 0) {
            // The head may be garbage that only looks like the start of a
            // longer frame; a whole frame further on settles it.
            const int next = nextWholeFrame();
            if (next < 0)
                break;
            drop(next);
            continue;
        }
        if (length < 0) {
            drop(1);
            continue;
        }
        const QByteArray candidate = m_buffer.left(length);
        if (SimulatedBus::hasValidCrc(candidate)) {
            frames.append(candidate);
            m_buffer.remove(0, length);
        } else {
            drop(1);
        }
    }
    return frames;
}

int RequestFramer::nextWholeFrame() const
{
    // Only functions whose length is known are looked for here; hunting CRCs
    // of every length at every offset would cost too much on a noisy line.
    for (int offset = 1; offset + 4 <= m_buffer.size(); ++offset) {
        if (!hasKnownLength(quint8(m_buffer.at(offset + 1))))
            continue;
        const int length = frameLength(offset);
        if (length > 0 && SimulatedBus::hasValidCrc(m_buffer.mid(offset, length)))
            return offset;
    }
    return -1;
}

int RequestFramer::frameLength(int offset) const
{
    const int available = int(m_buffer.size()) - offset;
    if (available < 4)
        return 0;
    const quint8 function = quint8(m_buffer.at(offset + 1));
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        return available >= 8 ? 8 : 0;
    case 0x0F:
    case 0x10: {
        if (available < 7)
            return 0;
        const int length = 9 + quint8(m_buffer.at(offset + 6));
        return available >= length ? length : 0;
    }
    default:
        break;
    }
    // Unknown function: the shortest stretch that carries its own CRC.
    if (quint8(m_buffer.at(offset)) > kHighestModbusAddress)
        return -1;
    for (int length = 4; length <= available && length <= kLongestUnknownFrame; ++length) {
        if (SimulatedBus::hasValidCrc(m_buffer.mid(offset, length)))
            return length;
    }
    // Nothing matched: once longer than any such frame the byte cannot start one.
    return available >= kLongestUnknownFrame ? -1 : 0;
}

void RequestFramer::drop(int count)
{
    count = std::min<int>(count, m_buffer.size());
    m_dropped.append(m_buffer.left(count));
    m_buffer.remove(0, count);
}

QByteArray RequestFramer::takeDropped()
{
    QByteArray dropped;
    dropped.swap(m_dropped);
    return dropped;
}
