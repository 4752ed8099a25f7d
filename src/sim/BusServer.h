// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RequestFramer.h"
#include "SerialPort.h"
#include "SimClock.h"
#include "SimulatedBus.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <optional>
#include <random>

// Serves a simulated bus on a byte stream: bytes heard on the line go in
// through receive(), each reply leaves through transmit() once the answering
// drive's response delay has passed. With a real clock the server keeps its
// own timer; with a manual clock the owner calls service() after moving time.
// A line that cuts frames itself (HalfDuplexLine) hands them to answer().
class BusServer : public QObject
{
    Q_OBJECT
public:
    BusServer(SimulatedBus& bus, SimClock& clock, QObject* parent = nullptr);

    SimulatedBus& bus() { return m_bus; }

    // The line's character time sets how long a quiet line must be to end a
    // frame, never less than the floor.
    void setLineSettings(const SerialSettings& settings);
    void setSilenceFloorUs(qint64 us);
    // Flips one random bit in this share (0..100 %) of the reply bytes.
    void setCorruption(double percent, quint32 seed);

    // Bytes heard from the line. leadUs: how long the bytes took to arrive,
    // counted before the drive's response delay starts.
    void receive(const QByteArray& bytes, qint64 leadUs = 0);
    // Hands out every reply that is due by now and ends a frame the silence ends.
    void service();
    // When service() has something to do next; -1 when nothing waits.
    qint64 nextDueUs() const;
    // Forgets replies not yet sent and any half-heard frame.
    void clearPending();

    // A whole frame heard until endUs, cut by the caller: the drives act on it
    // at once if its CRC matches. The reply (damaged as setCorruption says)
    // is for the caller to send after its delay; nothing goes to transmit().
    std::optional<SimulatedBus::Reply> answer(const QByteArray& frame);

    static QString hex(const QByteArray& bytes);

signals:
    // A reply going onto the line; dueUs is when its first byte starts.
    void transmit(const QByteArray& bytes, qint64 dueUs);
    // One line of traffic for a log: "<- 01 03 ...", "-> 01 03 ...", "?? ...".
    void traffic(const QString& line);

private:
    struct Pending
    {
        qint64 dueUs;
        QByteArray frame;
    };

    void applySilence();
    void handle(const QList<QByteArray>& frames, qint64 startUs);
    void reportDropped();
    void arm();
    QByteArray corrupt(QByteArray bytes);

    SimulatedBus& m_bus;
    SimClock& m_clock;
    RequestFramer m_framer;
    std::deque<Pending> m_pending; // in order of due time
    QTimer m_timer;
    qint64 m_silenceFloorUs;
    double m_characterUs = 0;
    double m_corruptPercent = 0;
    std::mt19937 m_random;
};
