// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drain.h"
#include "Frames.h"
#include "Hexedit.h"
#include "LineTurns.h"
#include "LinkClient.h"
#include "LoopbackPort.h"

#include <QCoreApplication>
#include <QList>

// The link client on an in-memory line whose clock stands still: the test
// injects answers, lets time-outs pass by hand and collects the results.
struct ClientLine
{
    LoopbackPort port;
    Hexedit link{port};
    LinkClient client{link};
    // The test's own session on the client, as a window or a job has one.
    QObject owner;
    LinkSession* session = client.openSession(&owner);
    double nowMs = 0;
    QList<LinkResult> results;

    ClientLine()
    {
        port.open();
        link.clock = [this] { return nowMs; };
    }

    void submit(const LinkRequest& request)
    {
        session->submit(request, [this](const LinkResult& r) { results.append(r); });
        settle();
    }

    // Results and follow-up requests are handed over from the event loop.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    void receive(const QByteArray& bytes)
    {
        injectAndDrain(port, link, bytes);
        settle();
    }

    void timeOut()
    {
        passAnswerTimeout(link);
        settle();
    }
};
