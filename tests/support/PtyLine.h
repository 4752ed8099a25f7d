// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DevicePort.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "SimProcess.h"

// The link client on a pseudo-terminal with vfdsim (and its traffic log) at
// its far end, at a baud rate that keeps long reads short.
struct PtyLine
{
    static inline const QString FastLine = QStringLiteral("115200,E,8,1");

    SimProcess sim;
    DevicePort port;
    Hexedit link{port};
    LinkClient client{link};

    explicit PtyLine(const QStringList& simOptions)
        : sim(QStringList{QStringLiteral("--settings"), FastLine} + simOptions)
    {
        // A busy machine is not to be taken for a silent drive.
        link.SetResponseDelayMs(100);
        port.setPortName(sim.device());
        port.setSettings(FastLine);
        port.open();
    }
};
