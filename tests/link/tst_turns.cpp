// SPDX-License-Identifier: GPL-3.0-or-later
// Taking turns on the half-duplex line: no request while an answer is due.
#include "Frames.h"
#include "LinkBench.h"

#include <QtTest>

namespace {

// A link on an open in-memory line whose far end answers only when told.
struct Line : LinkBench
{
    explicit Line(const QString& settings = QStringLiteral("9600,E,8,1"))
        : LinkBench(FarEnd::AnswersWhenTold, settings)
    {
    }
    void answer(const QByteArray& frame) { receive(frame); }
    void command(quint8 address, quint8 code)
    {
        QVERIFY(link.PrepareControlWrite(address, code, QStringLiteral("50")));
        QVERIFY(link.SendRequest());
    }
};

const QByteArray kStatusOf1 = QByteArray::fromHex("01030E0000011000EFE9");

QString poll(quint8 address, quint16 reg)
{
    return hex(readFrame(address, reg));
}

QString control(quint8 address, quint8 code, quint16 value)
{
    return hex(controlFrame(address, code, value));
}

} // namespace

class tst_turns : public QObject
{
    Q_OBJECT
private slots:
    void timeoutFollowsTheLine_data();
    void timeoutFollowsTheLine();
    void requestWaitsForTheAnswer();
    void requestWaitsForTheTimeout();
    void answerHalfInSurvivesWaitingRequests();
    void onlyTheAddressedDriveEndsTheWait();
    void stopGoesFirstAndCancelsWaitingCommands();
    void newestPollAndCommandReplaceOlderWaitingOnes();
    void clientChangesItsWaitingFrameInPlace();
    void stopsForSeveralDrivesAllGo();
    void answerComingInIsGivenTime();
    void closedLineForgetsWaitingRequests();
};

void tst_turns::timeoutFollowsTheLine_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("ms");
    // 11 bits a character at 9600: 1.146 ms. Status read: 8 + 10 + 3.5 characters,
    // 5 ms response delay, 50 ms for the adapter.
    QTest::addRow("status read, 9600")
        << "9600,E,8,1" << QByteArray::fromHex("01030E0000004722") << 80;
    QTest::addRow("control write, 9600")
        << "9600,E,8,1" << withCrc(QByteArray::fromHex("0110200000020400121388")) << 84;
    QTest::addRow("status read, 1200")
        << "1200,N,8,1" << QByteArray::fromHex("01030E0000004722") << 235;
    QTest::addRow("status read, 115200")
        << "115200,N,8,1" << QByteArray::fromHex("01030E0000004722") << 57;
    // Nobody answers address 0: the line is free once the frame and its gap are by.
    QTest::addRow("broadcast stop, 9600")
        << "9600,E,8,1" << QByteArray::fromHex("00102000000204000100000000") << 19;
}

void tst_turns::timeoutFollowsTheLine()
{
    QFETCH(QString, settings);
    QFETCH(QByteArray, frame);
    QFETCH(int, ms);
    Line line(settings);
    QCOMPARE(line.link.AnswerTimeoutMs(frame), ms);
}

void tst_turns::requestWaitsForTheAnswer()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    QVERIFY(line.link.AwaitingAnswer());
    line.command(1, 0x12); // a command tick while drive 1 answers
    QCOMPARE(line.written(), QStringList{poll(1, 0x0E00)});
    QCOMPARE(line.link.WaitingRequests(), 1);
    line.answer(kStatusOf1);
    QCOMPARE(line.written(), (QStringList{poll(1, 0x0E00), control(1, 0x12, 5000)}));
    QCOMPARE(line.link.WaitingRequests(), 0);
    QVERIFY(line.link.AwaitingAnswer()); // now the command's answer is due
}

void tst_turns::requestWaitsForTheTimeout()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    QVERIFY(line.link.SendPollRequest(1, 1));
    QCOMPARE(line.port.written().size(), 1);
    // The real timer: a silent drive holds the line for its time-out only.
    QTRY_COMPARE_WITH_TIMEOUT(line.port.written().size(), 2, 2000);
    QCOMPARE(line.written().last(), poll(1, 0x0D00));
}

void tst_turns::answerHalfInSurvivesWaitingRequests()
{
    // A poll tick or a parameter read falling while an answer comes in waits
    // its turn and leaves the half-assembled answer alone.
    Line line;
    QSignalSpy status(&line.link, &Hexedit::statusReceived);
    QVERIFY(line.link.SendPollRequest(1, 0));
    line.answer(kStatusOf1.left(5));
    QVERIFY(line.link.SendPollRequest(1, 1));
    QVERIFY(line.link.SendParameterRead(1, 0, 3));
    line.answer(kStatusOf1.mid(5));
    QCOMPARE(status.count(), 1);
    QCOMPARE(line.written(), (QStringList{poll(1, 0x0E00), poll(1, 0x0D00)}));
}

void tst_turns::onlyTheAddressedDriveEndsTheWait()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(2, 0));
    line.command(2, 0x12);
    line.answer(kStatusOf1); // a stray answer of drive 1
    QCOMPARE(line.port.written().size(), 1);
    // Nor does a frame that fits no reply, from the right drive.
    line.answer(withCrc(QByteArray::fromHex("02060E000001")));
    QCOMPARE(line.port.written().size(), 1);
    line.answer(withCrc(QByteArray::fromHex("02030E0000011000")));
    QCOMPARE(line.port.written().size(), 2);
}

void tst_turns::stopGoesFirstAndCancelsWaitingCommands()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    QVERIFY(line.link.SendPollRequest(1, 1));
    line.command(1, 0x12);
    line.command(1, 0x01);
    QCOMPARE(line.link.WaitingRequests(), 2); // the FWD is gone, STOP leads
    passOneTimeout(line.link);
    QCOMPARE(line.written().last(), control(1, 0x01, 5000));
    passOneTimeout(line.link);
    QCOMPARE(line.written(),
             (QStringList{poll(1, 0x0E00), control(1, 0x01, 5000), poll(1, 0x0D00)}));

    // The broadcast stop waits its turn too, but only for its own bytes after.
    QVERIFY(line.link.SendBroadcastStop());
    QCOMPARE(line.port.written().size(), 3);
    passOneTimeout(line.link);
    QCOMPARE(line.written().last(), hex(withCrc(QByteArray::fromHex("0010200000020400010000"))));
    QCOMPARE(line.link.AnswerTimeoutMs(line.port.written().last()), 19);
}

void tst_turns::newestPollAndCommandReplaceOlderWaitingOnes()
{
    // A line far too slow for the rhythms must not build a backlog of stale
    // requests: of each kind only the newest waits.
    Line line(QStringLiteral("1200,N,8,1"));
    QVERIFY(line.link.SendPollRequest(1, 0));
    for (int item = 1; item <= 5; ++item) {
        QVERIFY(line.link.SendPollRequest(1, item));
        line.command(1, item % 2 ? 0x12 : 0x22);
    }
    QCOMPARE(line.link.WaitingRequests(), 2);
    passOneTimeout(line.link);
    passOneTimeout(line.link);
    QCOMPARE(line.written(),
             (QStringList{poll(1, 0x0E00), poll(1, 0x0D04), control(1, 0x12, 5000)}));
}

void tst_turns::clientChangesItsWaitingFrameInPlace()
{
    // A client renewing a run command keeps one frame in the queue, in its
    // place; a stop in its place still goes first and keeps the ticket.
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    const quint64 run = line.link.SubmitFrame(controlFrame(2, 0x12, 1000));
    const quint64 read = line.link.SubmitFrame(readFrame(2, 0x0E00));
    for (quint16 hz = 1100; hz <= 1500; hz += 100)
        QVERIFY(line.link.ReplaceWaitingFrame(run, controlFrame(2, 0x12, hz)));
    QCOMPARE(line.link.WaitingRequests(), 2);
    QVERIFY(!line.link.ReplaceWaitingFrame(run + 100, controlFrame(2, 0x12, 900)));
    QVERIFY(line.link.IsWaiting(run));
    passOneTimeout(line.link);
    QCOMPARE(line.link.OnWireTicket(), run);
    QVERIFY(!line.link.IsWaiting(run));
    QCOMPARE(line.written().last(), control(2, 0x12, 1500));
    // Gone to the wire: nothing left to change.
    QVERIFY(!line.link.ReplaceWaitingFrame(run, controlFrame(2, 0x12, 1600)));

    const quint64 again = line.link.SubmitFrame(controlFrame(2, 0x12, 1600));
    QVERIFY(line.link.ReplaceWaitingFrame(again, controlFrame(2, 0x01, 0)));
    passOneTimeout(line.link);
    QCOMPARE(line.link.OnWireTicket(), again);
    QCOMPARE(line.written().last(), control(2, 0x01, 0));
    passOneTimeout(line.link);
    QCOMPARE(line.link.OnWireTicket(), read);
    QCOMPARE(line.written().size(), 4);
}

void tst_turns::stopsForSeveralDrivesAllGo()
{
    // A service stopping its drives one by one on a busy line, the main
    // window stopping its own: each stop goes, in the order given, and takes
    // only the run commands of the drive it stops with it.
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    QVERIFY(line.link.SubmitFrame(controlFrame(2, 0x12, 1000)) != 0);
    QVERIFY(line.link.SubmitFrame(controlFrame(3, 0x12, 1000)) != 0);
    QVERIFY(line.link.SubmitFrame(controlFrame(4, 0x22, 1000)) != 0);
    line.command(1, 0x12);
    QVERIFY(line.link.SubmitFrame(controlFrame(2, 0x01, 0)) != 0);
    QVERIFY(line.link.SubmitFrame(controlFrame(3, 0x01, 0)) != 0);
    line.command(1, 0x01);
    line.command(1, 0x01); // said twice, sent once
    QCOMPARE(line.link.WaitingRequests(), 4);
    for (int i = 0; i < 4; ++i)
        passOneTimeout(line.link);
    QCOMPARE(line.written(), (QStringList{poll(1, 0x0E00), control(2, 0x01, 0), control(3, 0x01, 0),
                                          control(1, 0x01, 5000), control(4, 0x22, 1000)}));

    // The broadcast stop takes every waiting run command with it.
    QVERIFY(line.link.SubmitFrame(controlFrame(5, 0x12, 1000)) != 0);
    line.command(1, 0x12);
    QVERIFY(line.link.SendBroadcastStop());
    QCOMPARE(line.link.WaitingRequests(), 1);
}

void tst_turns::answerComingInIsGivenTime()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    QVERIFY(line.link.SendPollRequest(1, 1));
    // The time-out falls while the answer waits undrained in the port.
    line.port.inject(kStatusOf1.left(4));
    line.link.AnswerTimer_Timer();
    QCOMPARE(line.port.written().size(), 1);
    line.answer(kStatusOf1.mid(4));
    QCOMPARE(line.port.written().size(), 2);
}

void tst_turns::closedLineForgetsWaitingRequests()
{
    Line line;
    QVERIFY(line.link.SendPollRequest(1, 0));
    line.command(1, 0x12);
    line.port.close();
    line.link.ResetLine();
    QVERIFY(!line.link.AwaitingAnswer());
    QCOMPARE(line.link.WaitingRequests(), 0);
    line.port.open();
    QVERIFY(line.link.SendPollRequest(1, 1));
    QCOMPARE(line.written(), (QStringList{poll(1, 0x0E00), poll(1, 0x0D00)}));
}

QTEST_GUILESS_MAIN(tst_turns)
#include "tst_turns.moc"
