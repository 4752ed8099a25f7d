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

bool isControl(const QByteArray& frame, quint8 address, quint8 code)
{
    return frame.size() > 8 && quint8(frame[0]) == address && quint8(frame[1]) == 0x10 &&
           quint8(frame[8]) == code;
}

} // namespace

void tst_sharedline::runLeavesTheMainWindowsCommandsAlone()
{
    BusLine line;
    TestRunPlan plan;
    plan.address = 2;
    plan.hz = 10.0;
    TestRun run(line.client, plan);
    run.start();
    const quint8 forward = Hexedit::RunCommandCode(RunCommand::Forward);
    QVERIFY(line.runUntil([&] {
        return std::any_of(line.requests.cbegin(), line.requests.cend(),
                           [&](const QByteArray& r) { return isControl(r, 2, forward); });
    }));
    // The window's commands follow the drive it last addressed: not the run's.
    QCOMPARE(line.link.LastRequestAddress(), std::nullopt);

    // The window runs drive 1 while the line is busy; the run is cancelled
    // meanwhile. Its STOP goes first and the window's command still goes.
    QVERIFY(line.link.SendPollRequest(3, 0));
    QVERIFY(line.link.SendControlWrite(1, RunCommand::Forward, QStringLiteral("30")));
    run.cancel();
    const qsizetype before = line.requests.size();
    QVERIFY(line.runUntil([&] {
        return !run.running() && line.link.WaitingRequests() == 0 && !line.link.AwaitingAnswer();
    }));
    const QList<QByteArray> after = line.requests.mid(before);
    const auto stop = std::find_if(after.cbegin(), after.cend(), [](const QByteArray& r) {
        return isControl(r, 2, Rtu::StopCode);
    });
    const auto window = std::find_if(after.cbegin(), after.cend(),
                                     [&](const QByteArray& r) { return isControl(r, 1, forward); });
    QVERIFY(stop != after.cend());
    QVERIFY(window != after.cend());
    QVERIFY(stop < window);
}

void tst_sharedline::stopFromTheMainWindowEndsTheRun()
{
    // The user stops the drive under test from the main window: the run ends
    // and sends no run command after that STOP.
    BusLine line;
    TestRunPlan plan;
    plan.address = 2;
    plan.hz = 10.0;
    TestRun run(line.client, plan);
    run.start();
    const quint8 forward = Hexedit::RunCommandCode(RunCommand::Forward);
    QVERIFY(line.runUntil([&] {
        return std::any_of(line.requests.cbegin(), line.requests.cend(),
                           [&](const QByteArray& r) { return isControl(r, 2, forward); });
    }));
    QVERIFY(line.link.SendControlWrite(2, RunCommand::Stop, QStringLiteral("0")));
    QVERIFY(line.runUntil([&] { return !run.running(); }));
    QVERIFY2(run.result().endReason.contains(QStringLiteral("elsewhere")),
             qPrintable(run.result().endReason));
    const QList<QByteArray> written = line.port.written();
    const auto stop = std::find_if(written.cbegin(), written.cend(), [](const QByteArray& r) {
        return isControl(r, 2, Rtu::StopCode);
    });
    QVERIFY(stop != written.cend());
    QVERIFY(std::none_of(stop, written.cend(),
                         [&](const QByteArray& r) { return isControl(r, 2, forward); }));
}

QTEST_GUILESS_MAIN(tst_sharedline)
#include "tst_sharedline.moc"
