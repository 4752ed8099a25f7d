// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BusServer.h"
#include "MemoryPort.h"
#include "SimClock.h"
#include "SimulatedBus.h"

#include <QTimer>
#include <deque>
#include <memory>
#include <optional>

// A serial port whose far end is a line of simulated drives (1, 2 and 3 unless
// told otherwise). A written request reaches the drives after its own time on
// the line; the reply follows after the drive's response delay and its bytes
// arrive one by one at the pace of the configured baud rate, so the receive
// path sees what it would see on a real line.
//
// In RealTime mode a timer delivers the bytes; in Manual mode nothing moves
// until advanceMs() is called, which lets tests run the drives without sleeping.
class SimulatedPort : public MemoryPort
{
    Q_OBJECT
public:
    enum class Timing
    {
        RealTime,
        Manual
    };

    explicit SimulatedPort(QObject* parent = nullptr);
    explicit SimulatedPort(Timing timing, const QList<quint8>& addresses = {1, 2, 3},
                           QObject* parent = nullptr);
    ~SimulatedPort() override;

    SimulatedBus& bus() { return m_bus; }
    BusServer& server() { return *m_server; }
    // The line settings the drives speak, when they are to differ from the
    // port's: a request sent at other settings reaches them as noise, and they
    // answer nothing. Unset, the drives follow the port.
    void setDriveSettings(const std::optional<SerialSettings>& settings)
    {
        m_driveSettings = settings;
    }
    // Manual mode: moves time on and delivers whatever has arrived meanwhile.
    void advanceMs(double ms);

    OpenError open() override;
    void close() override;
    bool write(const QByteArray& block) override;
    // What has arrived by now, though the delivering timer has not fired
    // yet (a busy program runs its timers late, in any order).
    void takePending() override;

private:
    struct Incoming
    {
        qint64 dueUs; // when the last bit of the byte is in
        quint8 byte;
    };

    void onTransmit(const QByteArray& bytes, qint64 dueUs);
    void deliver();
    void arm();
    double characterUs() const;

    std::unique_ptr<SimClock> m_clock;
    SimulatedBus m_bus;
    std::unique_ptr<BusServer> m_server;
    std::deque<Incoming> m_onLine;
    QTimer m_timer;
    std::optional<SerialSettings> m_driveSettings;
};
