// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream a drive hears into request frames where the bytes take
// no time on the line: the in-process port, a line served without pacing, and
// a serial device whose own line has already timed them. A frame of a function
// whose length is known (reads, single and multiple writes) ends with that
// length; one of any other function ends at the next silence. Either counts
// only if its CRC matches over the whole frame. A frame that fails leaves the
// rest of the stretch unreadable, since nothing tells where the next frame
// would begin: it is given up up to the next silence, never searched for
// something that happens to carry a good CRC.
class RequestFramer
{
public:
    explicit RequestFramer(qint64 silenceUs = 50'000) : m_silenceUs(silenceUs) {}

    void setSilenceUs(qint64 us) { m_silenceUs = us; }
    // Adds bytes heard at the given time; returns the frames they complete.
    QList<QByteArray> feed(const QByteArray& bytes, qint64 nowUs);
    // Ends the stretch in progress once the line has been quiet for the silence.
    QList<QByteArray> flush(qint64 nowUs);
    // When flush() will end the stretch in progress; -1 when nothing waits.
    qint64 deadlineUs() const;
    void clear();
    // Bytes given up since the last call (garbage, bad CRCs, torn frames).
    QByteArray takeDropped();

private:
    // Length of the frame at the head: >0 known and all in, 0 need more bytes,
    // -1 a function whose frame only the silence ends.
    int headLength() const;
    void cut(QList<QByteArray>& frames);
    void endStretch(QList<QByteArray>& frames);
    void giveUp();

    QByteArray m_buffer;
    QByteArray m_dropped;
    bool m_unreadable = false; // the stretch failed; wait for the silence
    qint64 m_silenceUs;
    qint64 m_lastByteUs = 0;
};
