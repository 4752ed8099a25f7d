// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DevicePort.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "SimProcess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Runs the event loop until the condition holds; false after the time limit.
// QTRY_* would sleep between its looks, and the link drains the port on a
// 1 ms timer that must keep ticking meanwhile.
template <typename Condition> bool runUntil(Condition done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > ms)
            loop.quit();
    });
    look.start(1);
    if (!done())
        loop.exec();
    return done();
}

// The drives answer in a few milliseconds, but a test shares the machine with
// builds and other suites: the link allows that much more before it counts an
// answer as missing, so a busy moment is not taken for a silent drive.
inline void allowForLoad(Hexedit& link)
{
    link.SetResponseDelayMs(100);
}

// The link client on a real pseudo-terminal with vfdsim at its far end.
struct SimLine
{
    SimProcess sim;
    DevicePort port;
    Hexedit link{port};
    LinkClient client{link};

    explicit SimLine(const QStringList& simArgs, bool log = false) : sim(simArgs, log)
    {
        allowForLoad(link);
        port.setPortName(sim.device());
        port.open();
    }

    // Waits for a job's "finished" signal; false when it never came.
    template <typename Job, typename Signal>
    static bool waitFor(Job& job, Signal signal, int ms = 20000)
    {
        QSignalSpy spy(&job, signal);
        return spy.wait(ms);
    }
};

// A drive's status answer: address, 3, 0x0E, 0x00, status word, flags, fault flag.
inline QByteArray statusAnswer(quint8 address, quint16 word, quint8 flags, quint8 fault)
{
    QByteArray body;
    body.append(char(address)).append(char(3)).append(char(0x0E)).append(char(0));
    body.append(char(word >> 8)).append(char(word & 0xFF)).append(char(flags)).append(char(fault));
    return Hexedit::WithCrc(body);
}
