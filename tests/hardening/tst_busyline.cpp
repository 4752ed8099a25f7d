// SPDX-License-Identifier: GPL-3.0-or-later
// A busy PC and slow drives on a line timed as a real one (a paced vfdsim
// reports every request that overlaps an answer): the program's event loop is
// blocked for 150 ms at chosen moments while drives answer between 5 and
// 200 ms after a request. No request may go over an answer, no answer that
// came may be called missing, and the statistics must count what the drives
// actually sent.
#include "DevicePort.h"
#include "LineStatistics.h"
#include "LinkClient.h"
#include "SimProcess.h"
#include "WaitUntil.h"

#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

constexpr quint16 kResponseDelay = 0x0803; // P8.03, ms

struct BusyLine
{
    SimProcess sim{{QStringLiteral("--drives"), QStringLiteral("1-3")}};
    DevicePort port;
    Hexedit link{port};
    LinkClient client{link};
    LineStatistics stats{link};
    QObject owner;
    LinkSession* session = client.openSession(&owner);
    QList<LinkResult> results;

    bool open()
    {
        port.setPortName(sim.device());
        return port.open() == SerialPort::OpenError::None;
    }
    bool ask(const LinkRequest& request)
    {
        const qsizetype before = results.size();
        session->submit(request, [this](const LinkResult& r) { results.append(r); });
        return waitUntil([&] { return results.size() > before; }, 10000);
    }
    // The event loop stands still, as on a PC busy with something else.
    static void stall(int ms) { QThread::msleep(ulong(ms)); }
};

} // namespace

class tst_busyline : public QObject
{
    Q_OBJECT
private slots:
    void slowDrivesAndAStalledProgramNeverCollide();
};

void tst_busyline::slowDrivesAndAStalledProgramNeverCollide()
{
    BusyLine line;
    QVERIFY2(line.open(), qPrintable(line.sim.device()));
    // Drive 2 answers 150 ms after a request, drive 3 after 200 ms: both far
    // beyond the link's first allowance. Their own answers to these writes are
    // the first late ones.
    QVERIFY(line.ask(LinkRequest::write(2, kResponseDelay, 150)));
    QVERIFY(line.ask(LinkRequest::write(3, kResponseDelay, 200)));
    line.results.clear();

    // A stall of 150 ms now and then, just as a request has gone out or while
    // its answer comes in.
    int sent = 0;
    QObject::connect(&line.link, &Hexedit::frameSent, &line.owner, [&sent] {
        if (++sent % 5 == 0)
            BusyLine::stall(150);
    });
    QTimer stallWhileAnswering;
    QObject::connect(&stallWhileAnswering, &QTimer::timeout, [] { BusyLine::stall(150); });
    stallWhileAnswering.start(370);

    const QList<quint16> registers{0x0003, 0x0D00, 0x0E00, 0x0105, 0x0D03};
    for (int round = 0; round < 6; ++round) {
        for (quint8 address = 1; address <= 3; ++address) {
            for (quint16 reg : registers)
                QVERIFY(line.ask(LinkRequest::read(address, reg)));
        }
    }
    stallWhileAnswering.stop();
    QVERIFY(waitUntil([&] { return !line.link.AwaitingAnswer(); }));
    QTest::qWait(300); // the last answers are in the log

    int failed = 0;
    for (const LinkResult& r : std::as_const(line.results))
        failed += !r.ok();
    const int collisions = int(line.sim.traffic(QStringLiteral("!! collision")).size());
    const int answersSent = int(line.sim.traffic(QStringLiteral("-> ")).size());
    int answersCounted = 0;
    for (quint8 address = 1; address <= 3; ++address) {
        const DriveCounters c = line.stats.drive(address).counters;
        answersCounted += c.answered + c.exceptions;
    }
    qInfo("%d requests, %d unanswered, %d collisions; far end sent %d answers, counted %d",
          int(line.results.size()), failed, collisions, answersSent, answersCounted);
    QCOMPARE(collisions, 0);
    QCOMPARE(failed, 0);
    QCOMPARE(answersCounted, answersSent);
}

QTEST_MAIN(tst_busyline)

#include "tst_busyline.moc"
