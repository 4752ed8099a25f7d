// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ClientLine.h"
#include "SimulatedBus.h"

#include <functional>
#include <optional>

// The link client over an in-memory port whose far end is a line of
// simulated drives, answering at once. A test may put its own answer in front
// of a drive's (a refusal, silence) and runs a job until it is done; a request
// nobody answers times out by hand, so nothing waits on a clock.
struct BusLine : ClientLine
{
    SimulatedBus bus{{1, 2, 3}};
    // Return an answer to use instead of the drive's; an empty array: silence.
    std::function<std::optional<QByteArray>(const QByteArray& request)> intercept;
    QList<QByteArray> requests;
    // Frames written so far that the far end has dealt with.
    int handled = 0;

    // Answers every frame that goes out until done() holds.
    bool runUntil(const std::function<bool()>& done, int limit = 20000)
    {
        for (int step = 0; step < limit; ++step) {
            settle();
            if (done())
                return true;
            const QList<QByteArray> sent = port.written();
            if (handled < sent.size()) {
                const QByteArray request = sent[handled++];
                requests << request;
                std::optional<QByteArray> reply = intercept ? intercept(request) : std::nullopt;
                if (!reply) {
                    const std::optional<SimulatedBus::Reply> r = bus.handle(request);
                    reply = r ? r->frame : QByteArray();
                }
                if (!reply->isEmpty())
                    receive(*reply);
                continue;
            }
            if (link.AwaitingAnswer())
                link.AnswerTimer_Timer();
        }
        return done();
    }

    QList<QByteArray> writes() const
    {
        QList<QByteArray> list;
        for (const QByteArray& r : requests) {
            if (quint8(r[1]) == 6)
                list << r;
        }
        return list;
    }
};
