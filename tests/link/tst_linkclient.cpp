// SPDX-License-Identifier: GPL-3.0-or-later
// The link client: answers matched to their requests, time-outs and retries,
// damaged and exception answers, and a user's run command during a job.
#include "ClientLine.h"

#include <QSignalSpy>
#include <QTest>

using Outcome = LinkResult::Outcome;

class tst_linkclient : public QObject
{
    Q_OBJECT
private slots:
    void answerIsMatchedByDriveKindAndRegister();
    void retriesAfterTimeOutThenGivesUp();
    void damagedAnswerIsCountedAndRetried();
    void exceptionEndsTheWaitAndIsReported();
    void lateAnswerIsNotTakenForTheNextRequest();
    void runCommandAndStopGoOutBetweenJobRequests();
    void closedPortEndsTheRequest();
    void answerWhoseCrcEndsInZeroIsWhole();
};

void tst_linkclient::answerIsMatchedByDriveKindAndRegister()
{
    ClientLine line;
    line.nowMs = 100;
    line.submit(LinkRequest::read(2, 0x0003));
    QCOMPARE(line.port.written().size(), 1);
    // Another drive, another register, and a write echo of the same register
    // are no answer to this read.
    line.receive(parameterAnswer(1, 3, 0x0003, 111));
    line.receive(parameterAnswer(2, 3, 0x0004, 222));
    line.receive(parameterAnswer(2, 6, 0x0003, 333));
    QVERIFY(line.results.isEmpty());
    QVERIFY(line.link.AwaitingAnswer());
    line.nowMs = 127;
    line.receive(parameterAnswer(2, 3, 0x0003, 5000));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Answered);
    QCOMPARE(line.results[0].value, quint16(5000));
    const DriveCounters c = line.client.counters(2);
    QCOMPARE(c.sent, 1);
    QCOMPARE(c.answered, 1);
    QCOMPARE(c.maxAnswerMs, 27.0);
    QCOMPARE(line.client.counters(1).sent, 0);
}

void tst_linkclient::retriesAfterTimeOutThenGivesUp()
{
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0105));
    line.timeOut();
    // The first attempt timed out: the same frame goes out once more.
    QCOMPARE(line.port.written().size(), 2);
    QCOMPARE(line.port.written()[0], line.port.written()[1]);
    QVERIFY(line.results.isEmpty());
    line.timeOut();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::TimedOut);
    QCOMPARE(line.results[0].attempts, 2);
    QCOMPARE(line.client.counters(1).timedOut, 2);
    QCOMPARE(line.port.written().size(), 2);

    line.results.clear();
    line.client.setRetries(0);
    line.submit(LinkRequest::read(1, 0x0105));
    line.timeOut();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].attempts, 1);
}

void tst_linkclient::damagedAnswerIsCountedAndRetried()
{
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0003));
    QByteArray damaged = parameterAnswer(1, 3, 0x0003, 4000);
    damaged[7] = char(damaged[7] ^ 0x11);
    line.receive(damaged);
    QVERIFY(line.results.isEmpty());
    line.timeOut();
    QCOMPARE(line.port.written().size(), 2);
    line.receive(parameterAnswer(1, 3, 0x0003, 4000));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Answered);
    QCOMPARE(line.results[0].damaged, 1);
    QCOMPARE(line.client.counters(1).damaged, 1);
    QCOMPARE(line.client.counters(1).timedOut, 0);
}

void tst_linkclient::exceptionEndsTheWaitAndIsReported()
{
    ClientLine line;
    QSignalSpy exceptions(&line.link, &Hexedit::exceptionReceived);
    QSignalSpy parameters(&line.link, &Hexedit::parameterReceived);
    line.submit(LinkRequest::write(3, 0x0003, 60000));
    line.receive(exceptionAnswer(3, 6, 3));
    QCOMPARE(exceptions.size(), 1);
    QCOMPARE(exceptions[0][1].toInt(), 0x86);
    QCOMPARE(exceptions[0][2].toInt(), 3);
    QVERIFY(!line.link.AwaitingAnswer());
    QCOMPARE(parameters.size(), 0);
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Exception);
    QCOMPARE(line.results[0].exceptionCode, quint8(3));
    QCOMPARE(line.client.counters(3).exceptions, 1);
    // An exception frame ends where it ends: the next answer is whole again.
    line.submit(LinkRequest::read(3, 0x0003));
    line.receive(parameterAnswer(3, 3, 0x0003, 42));
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].value, quint16(42));
}

void tst_linkclient::lateAnswerIsNotTakenForTheNextRequest()
{
    ClientLine line;
    line.client.setRetries(0);
    line.submit(LinkRequest::read(1, 0x0003));
    line.timeOut();
    QCOMPARE(line.results.size(), 1);
    line.submit(LinkRequest::read(1, 0x0004));
    line.receive(parameterAnswer(1, 3, 0x0003, 5000)); // the first one's, too late
    QCOMPARE(line.results.size(), 1);
    QVERIFY(line.link.AwaitingAnswer());
    line.receive(parameterAnswer(1, 3, 0x0004, 7));
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].value, quint16(7));
}

void tst_linkclient::runCommandAndStopGoOutBetweenJobRequests()
{
    ClientLine line;
    line.client.holdLine(true);
    line.submit(LinkRequest::read(1, 0x0003));
    line.client.submit(LinkRequest::read(1, 0x0004), [](const LinkResult&) {});
    // The user runs drive 1 while the job's read is on the wire, then stops it.
    QCOMPARE(
        line.link.SendPendingCommand(RunCommand::Forward, true, 1, QStringLiteral("30"), QString()),
        Hexedit::CommandOutcome::Sent);
    QCOMPARE(line.link.SendPendingCommand(RunCommand::Stop, true, 1, QString(), QString()),
             Hexedit::CommandOutcome::Sent);
    line.receive(parameterAnswer(1, 3, 0x0003, 1));
    const QList<QByteArray> w = line.port.written();
    QCOMPARE(w.size(), 2);
    QCOMPARE(quint8(w[1][1]), quint8(0x10));
    QCOMPARE(quint8(w[1][8]), quint8(0x01)); // STOP, and no run after it
    line.receive(Hexedit::WithCrc(w[1].left(6)));
    QCOMPARE(line.port.written().size(), 3);
    QCOMPARE(line.port.written()[2], LinkRequest::read(1, 0x0004).frame());
}

void tst_linkclient::closedPortEndsTheRequest()
{
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0003));
    line.port.close();
    line.timeOut(); // the retry finds the port closed
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::NotSent);
    QVERIFY(!line.client.busy());
}

void tst_linkclient::answerWhoseCrcEndsInZeroIsWhole()
{
    // 03 03 00 0E 00 64 24 00: its first five bytes have the CRC 64 24, so the
    // frame checks out at seven bytes already; it ends at eight.
    ClientLine line;
    const QByteArray answer = parameterAnswer(3, 3, 0x000E, 100);
    QCOMPARE(answer.toHex(), QByteArray("0303000e00642400"));
    line.submit(LinkRequest::read(3, 0x000E));
    line.receive(answer);
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].value, quint16(100));
}

QTEST_GUILESS_MAIN(tst_linkclient)
#include "tst_linkclient.moc"
