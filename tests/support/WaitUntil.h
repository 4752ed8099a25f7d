// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

// Runs the event loop until the condition holds; false after the time-out.
// It wakes at every event (bytes arriving, the drain) and at least every few
// milliseconds, so a test goes at the pace of the line.
template <class Condition> bool waitUntil(Condition done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for the given time as the program's own loop runs it.
// QTest::qWait sleeps up to 10 ms between its rounds of events, so the
// receive drain's 1 ms ticks come every 10 ms there and an exchange on the
// line takes several times its real length: a test of rhythms must not wait
// that way.
inline void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
