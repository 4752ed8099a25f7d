// SPDX-License-Identifier: GPL-3.0-or-later
// Sessions on the link client: each owner's requests, retries, cancel and hold
// are its own, and nothing of a session outlives its owner.
#include "ClientLine.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Outcome = LinkResult::Outcome;

class tst_sessions : public QObject
{
    Q_OBJECT
private slots:
    void ownerGoneMidRequestCallsNobody();
    void ownerGoneBeforeItsTurnKeepsItsFrameOffTheLine();
    void cancelEndsOnlyTheSessionsOwnRequests();
    void retriesAndHoldBelongToTheSession();
    void sessionsTakeTurns();
    void toolReadIsNotReplacedByTheWindowsPoll();
    void clientGoneBeforeItsSessions();
};

void tst_sessions::ownerGoneMidRequestCallsNobody()
{
    ClientLine line;
    auto job = std::make_unique<QObject>();
    LinkSession* session = line.client.openSession(job.get());
    session->holdLine(true);
    // The callback would write into the job: it must never run once the job is gone.
    int* landed = new int(0);
    QObject::connect(job.get(), &QObject::destroyed, [landed] { delete landed; });
    bool called = false;
    session->submit(LinkRequest::read(1, 0x0003), [&called, landed](const LinkResult&) {
        called = true;
        ++*landed;
    });
    line.settle();
    QCOMPARE(line.port.written().size(), 1);
    QVERIFY(line.client.lineHeld());
    job.reset();
    QVERIFY(!line.client.lineHeld());
    // The answer still comes, after its owner has gone: nobody is called.
    line.receive(parameterAnswer(1, 3, 0x0003, 12));
    QVERIFY(!called);
    // The line goes on serving others.
    line.submit(LinkRequest::read(2, 0x0004));
    line.receive(parameterAnswer(2, 3, 0x0004, 34));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].value, quint16(34));
}

void tst_sessions::ownerGoneBeforeItsTurnKeepsItsFrameOffTheLine()
{
    ClientLine line;
    line.submit(LinkRequest::read(1, 0x0003)); // on the wire, its answer awaited
    auto job = std::make_unique<QObject>();
    LinkSession* session = line.client.openSession(job.get());
    bool called = false;
    session->submit(LinkRequest::read(2, 0x0005), [&](const LinkResult&) { called = true; });
    session->submit(LinkRequest::read(2, 0x0006), [&](const LinkResult&) { called = true; });
    job.reset();
    line.receive(parameterAnswer(1, 3, 0x0003, 1));
    line.timeOut();
    QCOMPARE(line.port.written().size(), 1);
    QVERIFY(!called);
    QVERIFY(!line.client.busy());
}

void tst_sessions::cancelEndsOnlyTheSessionsOwnRequests()
{
    ClientLine line;
    QObject scanOwner;
    LinkSession* scan = line.client.openSession(&scanOwner);
    QList<LinkResult> scanResults;
    scan->submit(LinkRequest::read(1, 0x0E00),
                 [&](const LinkResult& r) { scanResults.append(r); }); // on the wire
    line.submit(LinkRequest::read(2, 0x0003));                         // waits its turn
    scan->submit(LinkRequest::read(2, 0x0E00), [&](const LinkResult& r) { scanResults.append(r); });
    line.settle();
    QCOMPARE(line.port.written().size(), 1);
    scan->cancel();
    line.settle();
    QCOMPARE(scanResults.size(), 2);
    QCOMPARE(scanResults[0].outcome, Outcome::NotSent);
    QCOMPARE(scanResults[1].outcome, Outcome::NotSent);
    QVERIFY(line.results.isEmpty());
    // The other session's read still goes out once the line is free, and is answered.
    passOneTimeout(line.link);
    QCOMPARE(line.port.written().size(), 2);
    QCOMPARE(line.port.written()[1], readFrame(2, 0x0003));
    line.receive(parameterAnswer(2, 3, 0x0003, 77));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].value, quint16(77));
}

void tst_sessions::retriesAndHoldBelongToTheSession()
{
    ClientLine line;
    QSignalSpy held(&line.client, &LinkClient::lineHeldChanged);
    QObject scanOwner;
    LinkSession* scan = line.client.openSession(&scanOwner);
    scan->setRetries(0);
    scan->holdLine(true);
    line.session->holdLine(true); // a recording
    QCOMPARE(held.size(), 1);
    scan->holdLine(false); // the scan ends; the recording still holds the line
    QVERIFY(line.client.lineHeld());
    QCOMPARE(held.size(), 1);
    // The recording's read keeps its retry although the scan asks for none.
    line.submit(LinkRequest::read(1, 0x0D00));
    line.timeOut();
    QCOMPARE(line.port.written().size(), 2);
    line.timeOut();
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].attempts, 2);
    line.session->holdLine(false);
    QVERIFY(!line.client.lineHeld());
    QCOMPARE(held.size(), 2);
}

void tst_sessions::sessionsTakeTurns()
{
    ClientLine line;
    QObject otherOwner;
    LinkSession* other = line.client.openSession(&otherOwner);
    other->setRetries(0);
    line.session->setRetries(0);
    for (quint16 reg : {0x0001, 0x0002, 0x0003})
        line.session->submit(LinkRequest::read(1, reg), [](const LinkResult&) {});
    other->submit(LinkRequest::read(2, 0x0101), [](const LinkResult&) {});
    line.settle();
    for (int i = 0; i < 4; ++i)
        line.timeOut();
    // A long job does not shut out another window's single read.
    QCOMPARE(line.port.written().size(), 4);
    QCOMPARE(line.port.written()[1], readFrame(2, 0x0101));
}

void tst_sessions::toolReadIsNotReplacedByTheWindowsPoll()
{
    ClientLine line;
    line.link.SendPollRequest(1, 0); // the main window's status poll is on the wire
    line.submit(LinkRequest::read(2, 0x0E00));
    line.link.SendPollRequest(1, 0); // the next tick, same kind of frame
    passOneTimeout(line.link);
    QCOMPARE(line.port.written().size(), 2);
    QCOMPARE(line.port.written()[1], readFrame(2, 0x0E00));
    line.receive(statusAnswer(2, 0, 0x10, 0));
    QCOMPARE(line.results.size(), 1);
    QCOMPARE(line.results[0].outcome, Outcome::Answered);
    // The window's own poll follows.
    QCOMPARE(line.port.written().size(), 3);
    QCOMPARE(line.port.written()[2], readFrame(1, 0x0E00));
}

void tst_sessions::clientGoneBeforeItsSessions()
{
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    QObject owner;
    LinkSession* session = nullptr;
    {
        LinkClient client(link);
        session = client.openSession(&owner);
        session->submit(LinkRequest::read(1, 3), [](const LinkResult&) {});
    }
    // A session whose client has gone answers NotSent, and its owner can still go.
    bool called = false;
    session->submit(LinkRequest::read(1, 3),
                    [&](const LinkResult& r) { called = r.outcome == Outcome::NotSent; });
    ClientLine::settle();
    QVERIFY(called);
}

QTEST_MAIN(tst_sessions)

#include "tst_sessions.moc"
