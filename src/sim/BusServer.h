#pragma once

#include "RequestFramer.h"
#include "SerialPort.h"
#include "SimClock.h"
#include "SimulatedBus.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <random>

// Serves a simulated bus on a byte stream: bytes heard on the line go in
// through receive(), each reply leaves through transmit() once the answering
// drive's response delay has passed. With a real clock the server keeps its
// own timer; with a manual clock the owner calls service() after moving time.
class BusServer : public QObject
{
    Q_OBJECT
public:
    BusServer(SimulatedBus& bus, SimClock& clock, QObject* parent = nullptr);

    SimulatedBus& bus() { return m_bus; }

    // The line's character time sets how long a quiet line must be to end a frame.
    void setLineSettings(const SerialSettings& settings);
    // Flips one random bit in this share (0..100 %) of the reply bytes.
    void setCorruption(double percent, quint32 seed);

    // Bytes heard from the line. leadUs: how long the bytes took to arrive,
    // counted before the drive's response delay starts.
    void receive(const QByteArray& bytes, qint64 leadUs = 0);
    // Hands out every reply that is due by now.
    void service();
    // When the next reply is due; -1 when none waits.
    qint64 nextDueUs() const;
    // Forgets replies not yet sent and any half-heard frame.
    void clearPending();

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

    void arm();
    QByteArray corrupt(QByteArray bytes);
    static QString hex(const QByteArray& bytes);

    SimulatedBus& m_bus;
    SimClock& m_clock;
    RequestFramer m_framer;
    std::deque<Pending> m_pending; // in order of due time
    QTimer m_timer;
    double m_corruptPercent = 0;
    std::mt19937 m_random;
};
