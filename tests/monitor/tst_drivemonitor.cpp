// SPDX-License-Identifier: GPL-3.0-or-later
// The drive monitor without any window: the sweep, the watched drive, silence
// judged by the link's time-outs, and the run command's repeat.
#include "DriveMonitor.h"
#include "LinkBench.h"
#include "LinkClient.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Addresses of the frames written so far.
QList<int> addressesWritten(const LoopbackPort& port)
{
    QList<int> addresses;
    for (const QByteArray& frame : port.written())
        addresses << quint8(frame[0]);
    return addresses;
}

struct MonitorBench
{
    LinkBench bench;
    LinkClient client{bench.link};
    QObject job; // a tool's job holding the line
    LinkSession* jobSession = client.openSession(&job);
    DriveMonitor monitor{bench.link, client};

    explicit MonitorBench(LinkBench::FarEnd farEnd = LinkBench::FarEnd::Silent) : bench(farEnd) {}

    void watchOne(quint8 address) { monitor.setDriveChoice({true, address, 1, 31}); }
    void sweep(quint8 first, quint8 end) { monitor.setDriveChoice({false, 1, first, end}); }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            monitor.pollTick();
    }
};

} // namespace

class tst_drivemonitor : public QObject
{
    Q_OBJECT
private slots:
    void sweepGoesRoundTheRangeAndHeedsANarrowerOne();
    void onlyTheWatchedDriveIsShownEveryDriveIsKept();
    void silenceIsCountedInTimeOutsOfTheWatchedDrive();
    void commandRepeatsAndStopGoesOutWhileThePollStandsAside();
};

void tst_drivemonitor::sweepGoesRoundTheRangeAndHeedsANarrowerOne()
{
    MonitorBench m;
    QSignalSpy left(&m.monitor, &DriveMonitor::shownDriveLeft);
    m.sweep(3, 5);
    m.ticks(3 * Hexedit::PollItemCount + 1);
    QList<int> expected;
    for (int drive : {3, 4, 5})
        expected << QList<int>(Hexedit::PollItemCount, drive);
    expected << 3;
    QCOMPARE(addressesWritten(m.bench.port), expected);
    // Each turn to another drive says so once: 3 -> 4 -> 5 -> 3.
    QCOMPARE(left.size(), 3);
    QCOMPARE(m.monitor.watchedDrive(), quint8(3));

    // "End" pulled below the drive due next, in mid-round: the sweep starts
    // again at "First" instead of reading beyond "End".
    m.ticks(2 * Hexedit::PollItemCount - 1); // the rest of drive 3, all of 4
    m.bench.port.clearWritten();
    m.sweep(3, 4);
    m.ticks(2);
    QCOMPARE(addressesWritten(m.bench.port), (QList<int>{3, 3}));
}

void tst_drivemonitor::onlyTheWatchedDriveIsShownEveryDriveIsKept()
{
    MonitorBench m;
    QSignalSpy values(&m.monitor, &DriveMonitor::runningValue);
    QSignalSpy states(&m.monitor, &DriveMonitor::driveStatus);
    m.watchOne(2);
    m.monitor.pollTick();
    m.bench.receive(runningValueAnswer(3, RunningValues::OutputCurrent, 120, 4));
    m.bench.receive(statusAnswer(3, 0, 0x10, 0));
    QCOMPARE(values.size(), 0);
    QCOMPARE(states.size(), 0);
    m.bench.receive(runningValueAnswer(2, RunningValues::OutputFrequency, 5000, 8));
    QCOMPARE(values.size(), 1);
    QCOMPARE(values.first().first().value<RunningValueReply>().address, quint8(2));

    // Every drive's last values are kept, the unwatched one's too.
    const DriveMonitor::DriveValues& three = m.monitor.lastValues(3);
    QVERIFY(three.status && three.status->running);
    QCOMPARE(three.values[RunningValues::OutputCurrent]->raw, quint16(120));
    QVERIFY(!three.values[RunningValues::OutputFrequency]);
    QCOMPARE(m.monitor.lastValues(2).values[RunningValues::OutputFrequency]->raw, quint16(5000));
    QVERIFY(!m.monitor.lastValues(0).status && !m.monitor.lastValues(200).status);
}

void tst_drivemonitor::silenceIsCountedInTimeOutsOfTheWatchedDrive()
{
    MonitorBench m(LinkBench::FarEnd::AnswersWhenTold);
    QSignalSpy stale(&m.monitor, &DriveMonitor::staleChanged);
    m.watchOne(1);
    // A slow line: the first poll's answer is still due, the later polls wait
    // their turn (the newest replacing the one before). Polls sent are no
    // silence; only time-outs are.
    m.ticks(DriveMonitor::SilentTimeouts + 10);
    QCOMPARE(m.bench.port.written().size(), 1);
    QVERIFY(!m.monitor.stale());

    // Whole rounds of time-outs are. A parameter read that goes unanswered
    // counts for nothing here: it is no poll.
    passAnswerTimeout(m.bench.link);
    QVERIFY(m.bench.link.SendParameterRead(1, 0, 3));
    passAnswerTimeout(m.bench.link);
    const int counted = m.monitor.timeouts();
    QVERIFY(counted >= 1);
    for (int i = counted; i < DriveMonitor::SilentTimeouts - 1; ++i) {
        m.monitor.pollTick();
        passAnswerTimeout(m.bench.link);
    }
    QCOMPARE(m.monitor.timeouts(), DriveMonitor::SilentTimeouts - 1);
    QVERIFY(stale.isEmpty());
    m.monitor.pollTick();
    passAnswerTimeout(m.bench.link);
    QVERIFY(m.monitor.stale());
    QCOMPARE(stale.size(), 1);

    // Another drive's answer is no answer from this one; this one's is.
    m.bench.receive(statusAnswer(2, 0, 0x10, 0));
    QVERIFY(m.monitor.stale());
    m.monitor.pollTick();
    m.bench.receive(exceptionAnswer(1, 3, 2)); // a refusal is an answer too
    QVERIFY(!m.monitor.stale());
    QCOMPARE(m.monitor.timeouts(), 0);
    QCOMPARE(stale.size(), 2);
}

void tst_drivemonitor::commandRepeatsAndStopGoesOutWhileThePollStandsAside()
{
    MonitorBench m;
    QSignalSpy done(&m.monitor, &DriveMonitor::commandDone);
    m.watchOne(4);
    m.monitor.setFrequencies("30", "12.5");
    m.jobSession->holdLine(true);
    m.monitor.PollItem = 5;
    QVERIFY(!m.monitor.pollTick());
    QCOMPARE(m.monitor.PollItem, quint8(5));
    QVERIFY(m.bench.port.written().isEmpty());

    m.monitor.PendingCommand = RunCommand::Reverse;
    m.monitor.commandTick();
    m.monitor.commandTick();
    m.monitor.PendingCommand = RunCommand::Stop;
    m.monitor.commandTick();
    const QString reverse = hex(controlFrame(4, Rtu::ReverseCode, 1250));
    QCOMPARE(m.bench.written(),
             (QStringList{reverse, reverse, hex(controlFrame(4, Rtu::StopCode, 0))}));

    m.jobSession->holdLine(false);
    QVERIFY(m.monitor.pollTick());
    QCOMPARE(m.bench.lastWritten(), readFrame(4, *Hexedit::PollRegister(5, 0, 0)));

    // FWD-S belongs to one drive: outside single-drive mode the tick sends
    // nothing, and at once it goes to the drive polled last.
    m.bench.port.clearWritten();
    m.sweep(7, 7);
    m.monitor.pollTick();
    m.monitor.sendAtOnce(RunCommand::SingleForward);
    QCOMPARE(m.monitor.commandTick(), Hexedit::CommandOutcome::NothingToSend);
    const std::optional<Hexedit::CommandOutcome> again = m.monitor.refreshCommand();
    QVERIFY(again && *again == Hexedit::CommandOutcome::Sent);
    const QString single = hex(controlFrame(7, Rtu::SingleForwardCode, 3000));
    QCOMPARE(m.bench.written().mid(1), (QStringList{single, single}));
    QCOMPARE(done.last().first().value<Hexedit::CommandOutcome>(), Hexedit::CommandOutcome::Sent);
}

QTEST_MAIN(tst_drivemonitor)
#include "tst_drivemonitor.moc"
