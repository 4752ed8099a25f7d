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
    void parameterAtZeroOnAPlainLine();
    void parameterReadsOnAnEchoingLine();
    void lateTimerFirstTakesTheAnswerWaitingInThePort();
    void lineStaysQuietForALateAnswer();
    void gapAlreadyKeptIsNotWaitedAgain();
    void blockAnswerIsFoundAndItsValuesKeptInPlace_data();
    void blockAnswerIsFoundAndItsValuesKeptInPlace();
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
    QCOMPARE(line.results[0].answerMs, 27.0);
    QCOMPARE(line.port.written().size(), 1);
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
    QCOMPARE(line.port.written().size(), 2);

    line.results.clear();
    line.session->setRetries(0);
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
    // An exception frame ends where it ends: the next answer is whole again.
    line.submit(LinkRequest::read(3, 0x0003));
    line.receive(parameterAnswer(3, 3, 0x0003, 42));
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].value, quint16(42));
}

void tst_linkclient::lateAnswerIsNotTakenForTheNextRequest()
{
    ClientLine line;
    line.session->setRetries(0);
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
    line.session->holdLine(true);
    line.submit(LinkRequest::read(1, 0x0003));
    line.session->submit(LinkRequest::read(1, 0x0004), [](const LinkResult&) {});
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

void tst_linkclient::parameterAtZeroOnAPlainLine()
{
    // A parameter at 0 answers a read with the request's very bytes. On a
    // line not yet known to echo, nothing else follows: it is the answer.
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0000));
    QCOMPARE(parameterAnswer(1, 3, 0x0000, 0), line.port.written().constFirst());
    line.receive(parameterAnswer(1, 3, 0x0000, 0));
    line.timeOut();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Answered);
    QCOMPARE(line.results[0].value, quint16(0));
    QCOMPARE(line.results[0].attempts, 1);
    QCOMPARE(line.port.written().size(), 1);
}

void tst_linkclient::parameterReadsOnAnEchoingLine()
{
    ClientLine line;
    // Echo and answer alike (a parameter at 0): the second is the answer.
    line.submit(LinkRequest::read(1, 0x0000));
    line.receive(line.port.written().constLast());
    QVERIFY(line.results.isEmpty());
    line.receive(parameterAnswer(1, 3, 0x0000, 0));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].value, quint16(0));
    // Now known to echo: the echo of the next read is passed over at once.
    line.submit(LinkRequest::read(1, 0x0003));
    line.receive(line.port.written().constLast());
    QCOMPARE(line.results.size(), 1);
    line.receive(parameterAnswer(1, 3, 0x0003, 500));
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].value, quint16(500));

    // A fresh line that echoes, first read of a parameter that is not 0.
    ClientLine fresh;
    fresh.submit(LinkRequest::read(2, 0x000E));
    fresh.receive(fresh.port.written().constLast());
    fresh.receive(parameterAnswer(2, 3, 0x000E, 125));
    QCOMPARE(fresh.results.size(), 1);
    QCOMPARE(fresh.results[0].value, quint16(125));
}

void tst_linkclient::lateTimerFirstTakesTheAnswerWaitingInThePort()
{
    // The program was busy: the answer sits in the port, its drain not yet
    // run, when the time-out's timer fires. That is no silent drive.
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0003));
    line.port.inject(parameterAnswer(1, 3, 0x0003, 77));
    line.link.AnswerTimer_Timer();
    line.settle();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Answered);
    QCOMPARE(line.results[0].value, quint16(77));
    QCOMPARE(line.port.written().size(), 1);
}

void tst_linkclient::lineStaysQuietForALateAnswer()
{
    ClientLine line;
    line.submit(LinkRequest::read(2, 0x0003));
    line.receive(parameterAnswer(2, 3, 0x0003, 1)); // drive 2 is known to answer
    line.submit(LinkRequest::read(2, 0x0004));
    line.link.SendPollRequest(1, 0); // the main window's poll waits behind it
    line.link.AnswerTimer_Timer();   // the answer's time is up ...
    QVERIFY(line.link.AwaitingAnswer());
    QCOMPARE(line.port.written().size(), 2); // ... but nothing goes over a late answer
    line.receive(parameterAnswer(2, 3, 0x0004, 9));
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].outcome, Outcome::Answered);
    QVERIFY(line.results[1].late);
    QCOMPARE(line.port.written().size(), 3);
    QCOMPARE(line.port.written()[2], readFrame(1, 0x0E00));
    // An address that never answered is quiet only for the frame gap.
    line.timeOut();
    QVERIFY(!line.link.AwaitingAnswer());
    // 3.5 characters of 11 bits at 9600 baud: 4.01 ms.
    QCOMPARE(line.link.QuietAfterTimeoutMs(readFrame(1, 0x0E00)), 5);
}

void tst_linkclient::gapAlreadyKeptIsNotWaitedAgain()
{
    ClientLine line;
    auto once = [](quint8 address) {
        LinkRequest r = LinkRequest::read(address, 0x0E00);
        r.retries = 0;
        return r;
    };
    line.submit(once(3));
    line.submit(once(4)); // waits in the session for the first to end
    // 20 ms on: the request's 8 characters took 9.2 ms, and the line has been
    // silent for longer than the 4 ms gap since. The next goes out at once.
    line.nowMs = 20;
    line.link.AnswerTimer_Timer();
    line.settle();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::TimedOut);
    QCOMPARE(line.port.written().size(), 2);
    // A stray byte 2 ms before the time-out: the gap counts from it.
    line.nowMs = 38;
    line.receive(QByteArray(1, char(0xFF)));
    line.nowMs = 40;
    line.link.AnswerTimer_Timer();
    QVERIFY(line.link.AwaitingAnswer());
    line.link.AnswerTimer_Timer();
    line.settle();
    QCOMPARE(line.results.size(), 2);
    QCOMPARE(line.results[1].outcome, Outcome::TimedOut);
}

namespace {

// A standard answer to a read of several registers: byte count, then words.
QByteArray blockAnswer(quint8 address, const QList<quint16>& values)
{
    QByteArray body;
    body.append(char(address));
    body.append(char(3));
    body.append(char(2 * values.size()));
    for (quint16 v : values) {
        body.append(char(v >> 8));
        body.append(char(v & 0xFF));
    }
    return withCrc(body);
}

} // namespace

void tst_linkclient::blockAnswerIsFoundAndItsValuesKeptInPlace_data()
{
    QTest::addColumn<QByteArray>("heard");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QList<quint16>>("values");
    const QByteArray request = frameOf(2, 3, 0x0100, {4});
    const QByteArray whole = blockAnswer(2, {10, 0, 30, 40});
    QTest::newRow("whole") << whole << int(Outcome::Answered) << QList<quint16>{10, 0, 30, 40};
    QTest::newRow("behind the line's echo")
        << request + whole << int(Outcome::Answered) << QList<quint16>{10, 0, 30, 40};
    QTest::newRow("behind noise") << QByteArray("\x02\x03\xFF\x00", 4) + whole
                                  << int(Outcome::Answered) << QList<quint16>{10, 0, 30, 40};
    QTest::newRow("shorter than asked")
        << blockAnswer(2, {10, 20}) << int(Outcome::Answered) << QList<quint16>{10, 20};
    QTest::newRow("refused") << exceptionAnswer(2, 3, 3) << int(Outcome::Exception)
                             << QList<quint16>{};
    // More values than asked, another drive's, a damaged one: no answer.
    QTest::newRow("longer than asked")
        << blockAnswer(2, {1, 2, 3, 4, 5}) << int(Outcome::TimedOut) << QList<quint16>{};
    QTest::newRow("another drive")
        << blockAnswer(3, {10, 20, 30, 40}) << int(Outcome::TimedOut) << QList<quint16>{};
    QByteArray damaged = whole;
    damaged[6] = char(damaged[6] ^ 0x10);
    QTest::newRow("damaged") << damaged << int(Outcome::TimedOut) << QList<quint16>{};
}

void tst_linkclient::blockAnswerIsFoundAndItsValuesKeptInPlace()
{
    QFETCH(QByteArray, heard);
    QFETCH(int, outcome);
    QFETCH(QList<quint16>, values);
    ClientLine line;
    QSignalSpy shownParameters(&line.link, &Hexedit::parameterReceived);
    LinkRequest request = LinkRequest::readBlock(2, 0x0100, 4);
    request.retries = 0;
    line.submit(request);
    QCOMPARE(line.port.written().value(0), frameOf(2, 3, 0x0100, {4}));
    line.receive(heard);
    if (line.results.isEmpty())
        line.timeOut();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(int(line.results[0].outcome), outcome);
    QCOMPARE(line.results[0].values, values);
    // Nothing of it reaches what the windows show.
    QCOMPARE(shownParameters.size(), 0);
    // The given assembler takes the next single read's answer as before.
    line.submit(LinkRequest::read(2, 0x0003));
    line.receive(parameterAnswer(2, 3, 0x0003, 5000));
    QCOMPARE(line.results.value(1).value, quint16(5000));
    QCOMPARE(shownParameters.size(), 1);
}

QTEST_GUILESS_MAIN(tst_linkclient)
#include "tst_linkclient.moc"
