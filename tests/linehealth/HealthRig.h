// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DevicePort.h"
#include "Frames.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "SimProcess.h"
#include "WaitUntil.h"

#include <QSignalSpy>
#include <QTest>

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
    QObject owner;
    LinkSession* session = client.openSession(&owner);

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
