#include "RequestFramer.h"

#include "SimulatedBus.h"

#include <algorithm>

namespace {

// Nothing longer than this is a Modbus RTU frame.
constexpr int kLongestFrame = 256;

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
        const int length = frameLength();
        if (length == 0)
            break;
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

int RequestFramer::frameLength() const
{
    const quint8 function = quint8(m_buffer.at(1));
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        return m_buffer.size() >= 8 ? 8 : 0;
    case 0x0F:
    case 0x10: {
        if (m_buffer.size() < 7)
            return 0;
        const int length = 9 + quint8(m_buffer.at(6));
        return m_buffer.size() >= length ? length : 0;
    }
    default:
        break;
    }
    // Unknown function: the shortest stretch that carries its own CRC.
    for (int length = 4; length <= m_buffer.size() && length <= kLongestFrame; ++length) {
        if (SimulatedBus::hasValidCrc(m_buffer.left(length)))
            return length;
    }
    // Nothing matched: once longer than any frame the first byte cannot start one.
    return m_buffer.size() >= kLongestFrame ? -1 : 0;
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
