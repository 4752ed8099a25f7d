// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "LoopbackPort.h"

#include <QByteArray>

// The far end sends these bytes: the port raises its receive event, the link
// takes the first byte there and its 1 ms drain the rest, one a tick, as in
// the program. The drain ticks until the input is empty, once more to stop
// itself, and never more often than there were bytes (a closed port keeps
// nothing, so a test cannot spin on it).
inline void injectAndDrain(LoopbackPort& port, Hexedit& link, const QByteArray& bytes)
{
    port.inject(bytes);
    for (qint64 left = port.bytesWaiting(); left > 0 && port.bytesWaiting() > 0; --left)
        link.DrainTick();
    link.DrainTick();
}
