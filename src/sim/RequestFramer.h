#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream a drive hears into request frames. The length of a
// frame follows from its function code (8 bytes for reads and single writes,
// 9 + byte count for multiple writes); for any other function the first length
// whose CRC matches ends the frame. A stretch that fails its CRC is given up one
// byte at a time until a frame lines up again, and a line that has been quiet
// for longer than the silence starts afresh, as Modbus RTU prescribes.
class RequestFramer
{
public:
    explicit RequestFramer(qint64 silenceUs = 50'000) : m_silenceUs(silenceUs) {}

    void setSilenceUs(qint64 us) { m_silenceUs = us; }
    // Adds bytes heard at the given time; returns the frames they complete, CRC checked.
    QList<QByteArray> feed(const QByteArray& bytes, qint64 nowUs);
    void clear() { m_buffer.clear(); }
    // Bytes given up since the last call (garbage, bad CRCs, torn frames).
    QByteArray takeDropped();

private:
    // Length of the frame starting at offset: >0 known, 0 need more bytes,
    // -1 the byte there cannot start a frame.
    int frameLength(int offset) const;
    // Offset of the first whole, CRC-checked frame after the head; -1 if none.
    int nextWholeFrame() const;
    void drop(int count);

    QByteArray m_buffer;
    QByteArray m_dropped;
    qint64 m_silenceUs;
    qint64 m_lastByteUs = 0;
};
