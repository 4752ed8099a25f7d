// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drain.h"
#include "Frames.h"
#include "Hexedit.h"
#include "LineTurns.h"
#include "LoopbackPort.h"

#include <QStringList>

// A link on an open in-memory port. The far end sends what the test injects;
// unless the test is about taking turns, it never answers, and each answer
// time-out passes the moment its request is written.
struct LinkBench
{
    enum class FarEnd
    {
        Silent,
        AnswersWhenTold
    };

    LoopbackPort port;
    Hexedit link{port};

    explicit LinkBench(FarEnd farEnd = FarEnd::Silent, const QString& settings = QString())
    {
        if (!settings.isEmpty())
            port.setSettings(settings);
        port.open();
        if (farEnd == FarEnd::Silent)
            answerNothing(link);
    }

    QByteArray lastWritten() const
    {
        return port.written().isEmpty() ? QByteArray() : port.written().constLast();
    }
    // Every frame written so far, as hex.
    QStringList written() const
    {
        QStringList frames;
        for (const QByteArray& frame : port.written())
            frames << hex(frame);
        return frames;
    }
    // The far end sends these bytes; the link takes them as its drain would.
    void receive(const QByteArray& bytes) { injectAndDrain(port, link, bytes); }
};
