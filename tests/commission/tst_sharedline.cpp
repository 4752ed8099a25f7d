// SPDX-License-Identifier: GPL-3.0-or-later
// A test run on a line the main window drives too, over simulated drives in
// memory: the run's commands are its own and leave the window's alone.
#include "BusLine.h"
#include "TestRun.h"

#include <QTest>

class tst_sharedline : public QObject
{
    Q_OBJECT
private slots:
    void runLeavesTheMainWindowsCommandsAlone();
    void stopFromTheMainWindowEndsTheRun();
};

namespace {

const quint8 kForward = Hexedit::RunCommandCode(RunCommand::Forward);

bool isControl(const QByteArray& frame, quint8 address, quint8 code)
{
    return frame.size() > 8 && quint8(frame[0]) == address && quint8(frame[1]) == 0x10 &&
           quint8(frame[8]) == code;
}

// Where the first control frame of that drive and code is among the frames.
qsizetype firstControl(const QList<QByteArray>& frames, quint8 address, quint8 code)
{
    const auto at = std::find_if(frames.cbegin(), frames.cend(),
                                 [&](const QByteArray& r) { return isControl(r, address, code); });
    return at == frames.cend() ? -1 : at - frames.cbegin();
}

TestRunPlan drive2At10Hz()
{
    TestRunPlan plan;
    plan.address = 2;
    plan.hz = 10.0;
    return plan;
}

// A test run of drive 2 at 10 Hz, started and past its first run command.
struct RunOfDrive2
{
    BusLine line;
    TestRun run{line.client, drive2At10Hz()};

    bool started()
    {
        run.start();
        return line.runUntil([&] { return firstControl(line.requests, 2, kForward) >= 0; });
    }
};

} // namespace

void tst_sharedline::runLeavesTheMainWindowsCommandsAlone()
{
    RunOfDrive2 t;
    QVERIFY(t.started());
    // The window's commands follow the drive it last addressed: not the run's.
    QCOMPARE(t.line.link.LastRequestAddress(), std::nullopt);

    // The window runs drive 1 while the line is busy; the run is cancelled
    // meanwhile. Its STOP goes first and the window's command still goes.
    QVERIFY(t.line.link.SendPollRequest(3, 0));
    QVERIFY(t.line.link.SendControlWrite(1, RunCommand::Forward, QStringLiteral("30")));
    t.run.cancel();
    const qsizetype before = t.line.requests.size();
    QVERIFY(t.line.runUntil([&] {
        return !t.run.running() && t.line.link.WaitingRequests() == 0 &&
               !t.line.link.AwaitingAnswer();
    }));
    const QList<QByteArray> after = t.line.requests.mid(before);
    const qsizetype stop = firstControl(after, 2, Rtu::StopCode);
    const qsizetype window = firstControl(after, 1, kForward);
    QVERIFY(stop >= 0);
    QVERIFY(window >= 0);
    QVERIFY(stop < window);
}

void tst_sharedline::stopFromTheMainWindowEndsTheRun()
{
    // The user stops the drive under test from the main window: the run ends
    // and sends no run command after that STOP.
    RunOfDrive2 t;
    QVERIFY(t.started());
    QVERIFY(t.line.link.SendControlWrite(2, RunCommand::Stop, QStringLiteral("0")));
    QVERIFY(t.line.runUntil([&] { return !t.run.running(); }));
    QVERIFY2(t.run.result().endReason.contains(QStringLiteral("elsewhere")),
             qPrintable(t.run.result().endReason));
    const QList<QByteArray> written = t.line.port.written();
    const qsizetype stop = firstControl(written, 2, Rtu::StopCode);
    QVERIFY(stop >= 0);
    QCOMPARE(firstControl(written.mid(stop), 2, kForward), -1);
}

QTEST_GUILESS_MAIN(tst_sharedline)
#include "tst_sharedline.moc"
