// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BusServer.h"
#include "SerialPort.h"
#include "SimClock.h"
#include "SimulatedBus.h"
#include "WakeTimer.h"

#include <QObject>
#include <deque>
#include <vector>

// The simulated drives' end of a half-duplex RS-485 line, for any byte stream
// (a pseudo-terminal, a TCP connection, a serial device): whoever serves them
// feeds in the bytes heard and writes out what output() hands over.
//
// Paced, the line keeps the time a real one would, even where the stream
// carries bytes at once: a byte heard counts as in only when it would have
// arrived at the baud rate, counted from the first byte of the burst; a frame
// ends after 3.5 characters of silence (at least the floor); the drive waits
// its response delay (P8.03) and its reply goes out byte by byte at the baud
// rate. Bytes heard while a reply is on the line collide with it: neither is
// valid, the drive does not act on what it heard, and the reply's bytes under
// the collision are damaged. Without pacing the drives answer at once, as the
// in-process port does, for tests that only need answers, and for a serial
// device whose own line already does the timing.
//
// With a manual clock the owner calls service() after moving time.
class HalfDuplexLine : public QObject
{
    Q_OBJECT
public:
    // A pseudo-terminal or TCP delivers what one write put in at once, so the
    // silence that ends a frame need cover only the scheduling of the writer;
    // it stays below the drives' default response delay of 5 ms.
    static constexpr qint64 kStreamSilenceFloorUs = 3'000;
    // USB adapters hold received bytes for up to 16 ms before passing them on.
    static constexpr qint64 kDeviceSilenceFloorUs = 20'000;

    HalfDuplexLine(SimulatedBus& bus, SimClock& clock, QObject* parent = nullptr);

    BusServer& server() { return m_server; }

    // Set these before the first bytes are fed.
    void setPaced(bool paced);
    bool isPaced() const { return m_paced; }
    void setSilenceFloorUs(qint64 us);
    void setLineSettings(const SerialSettings& settings);

    // Bytes heard from the stream just now.
    void feed(const QByteArray& bytes);
    // Ends frames and writes reply bytes that are due by now.
    void service();
    // Forgets the frame being heard, the bytes still due to arrive and every
    // reply not yet written: a new client on the stream finds a quiet line.
    void clear();
    // When service() has something to do next; -1 when nothing waits.
    qint64 nextDueUs() const;

signals:
    // Bytes to write to the stream now, in order.
    void output(const QByteArray& bytes);
    // One line of traffic for a log: "<- ..." a request heard, "-> ..." a
    // reply sent, "?? ignored ..." bytes that make no frame, "!! collision ...".
    void traffic(const QString& line);

private:
    struct Reply
    {
        QByteArray bytes;
        std::vector<bool> damaged;
        qint64 startUs;
        int written = 0;
    };

    qint64 byteEndUs(const Reply& reply, int index) const;
    void advance(qint64 nowUs);
    void endFrame(qint64 nowUs);
    bool collide(qint64 startUs, qint64 endUs);
    void writeDue(qint64 nowUs);
    void arm();

    SimClock& m_clock;
    BusServer m_server;
    WakeTimer m_wake;
    bool m_paced = true;
    qint64 m_silenceFloorUs = kStreamSilenceFloorUs;
    double m_characterUs = 1e6 * 11 / 9600;
    qint64 m_silenceUs = kStreamSilenceFloorUs;

    QByteArray m_heard;      // the frame now being heard
    qint64 m_heardEndUs = 0; // when its last byte is in
    bool m_heardCollided = false;
    bool m_heardOverlong = false;
    std::deque<Reply> m_replies; // on the line or waiting their turn, in order
};
