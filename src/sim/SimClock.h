// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// Where the simulated drives take their time from. Everything in the
// simulation counts in microseconds since the clock was made, so tests can run
// a ten-second ramp in a blink with a ManualClock and the program can use the
// wall clock.
class SimClock
{
public:
    virtual ~SimClock() = default;
    virtual qint64 nowUs() const = 0;
    // A manual clock only moves when told to; real-time users arm timers instead.
    virtual bool isManual() const = 0;
};

class SteadyClock : public SimClock
{
public:
    SteadyClock() { m_started.start(); }
    qint64 nowUs() const override { return m_started.nsecsElapsed() / 1000; }
    bool isManual() const override { return false; }

private:
    QElapsedTimer m_started;
};

class ManualClock : public SimClock
{
public:
    qint64 nowUs() const override { return m_now; }
    bool isManual() const override { return true; }
    void advanceUs(qint64 us) { m_now += us > 0 ? us : 0; }
    void advanceMs(double ms) { advanceUs(qint64(ms * 1000.0)); }

private:
    qint64 m_now = 0;
};
