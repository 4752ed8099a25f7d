// SPDX-License-Identifier: GPL-3.0-or-later
// A restore that writes first and reads back afterwards, all together and in
// blocks: what the line carries, and what the account says when a block, a
// value or the drive itself fails it.
#include "BusLine.h"
#include "ParamJobs.h"

#include <QTest>

namespace {

constexpr quint16 P0_12 = 0x000C, P0_13 = 0x000D, P0_14 = 0x000E, P0_15 = 0x000F, P8_00 = 0x0800;

WriteItem item(quint16 reg, quint16 raw)
{
    WriteItem w;
    w.reg = reg;
    w.raw = raw;
    return w;
}

const QList<WriteItem> kFour{item(P0_12, 30), item(P0_13, 5), item(P0_14, 200), item(P0_15, 200)};

struct Restore
{
    BusLine& line;
    RestoreJob job;
    Restore(BusLine& l, quint8 address, const QList<WriteItem>& writes, bool start = true)
        : line(l), job(l.client, address, writes)
    {
        job.writesAllowed = [] { return true; };
        job.readBack = RestoreJob::ReadBack::AfterWrites;
        if (start)
            run();
    }
    void run()
    {
        job.start();
        QVERIFY(line.runUntil([&] { return !job.running(); }));
    }
};

// Learns, as a clone's preview does, that drive 1 takes block reads.
void learnBlocks(BusLine& line)
{
    ReadJob read(line.client, 1);
    read.setRegisters({P0_12, P0_13, P0_14});
    read.start();
    QVERIFY(line.runUntil([&] { return !read.running(); }));
    QCOMPARE(line.client.blockReads(1).known, BlockReads::Known::Takes);
    line.requests.clear();
}

bool isBlockRead(const QByteArray& r)
{
    return quint8(r[1]) == 3 && (quint8(r[4]) << 8 | quint8(r[5])) > 0;
}

QStringList outcomes(const RestoreJob& job)
{
    QStringList list;
    for (const WriteItem& w : job.items())
        list << w.outcomeWord();
    return list;
}

} // namespace

class tst_restorereadback : public QObject
{
    Q_OBJECT
private slots:
    void driveNotAskedForBlocksYetIsProbedOnTheWay();
    void aValueTheBlockGetsWrongIsAskedAgainAlone();
    void driveGoingSilentKeepsTheAccountTrue();
    void addressIsWrittenAfterTheRestIsReadBack();
};

void tst_restorereadback::driveNotAskedForBlocksYetIsProbedOnTheWay()
{
    // Read back singly first, probed on the way, and every write verified.
    BusLine line;
    Restore r(line, 2, kFour);
    QVERIFY2(r.job.complete(), qPrintable(r.job.summary()));
    QCOMPARE(line.client.blockReads(2).known, BlockReads::Known::Takes);
    QCOMPARE(*line.bus.drive(2)->parameters().raw(0, 15), quint16(200));
}

void tst_restorereadback::aValueTheBlockGetsWrongIsAskedAgainAlone()
{
    BusLine line;
    learnBlocks(line);
    // Any block that covers P0.14 goes unanswered; P0.15 read alone keeps
    // answering 19.9 (the drive took 20.0 but holds something else).
    line.intercept = [](const QByteArray& r) -> std::optional<QByteArray> {
        if (isBlockRead(r) && registerOf(r) <= P0_14)
            return QByteArray();
        if (quint8(r[1]) == 3 && !isBlockRead(r) && registerOf(r) == P0_15)
            return parameterAnswer(1, 3, P0_15, 199);
        return std::nullopt;
    };
    Restore r(line, 1, kFour);
    QCOMPARE(outcomes(r.job),
             (QStringList{"verified", "verified", "verified", "reads back differently"}));
    QCOMPARE(r.job.items()[3].readBack, std::optional<quint16>(199));
    QVERIFY2(r.job.summary().contains(QStringLiteral("P0.15 = 20: reads back as 19.9")),
             qPrintable(r.job.summary()));
    QVERIFY(!r.job.driveLost());
    // P0.15 went out in the block, then alone after it, then alone once more
    // to be sure: the block's silence never decided anything.
    const auto asked =
        std::count_if(line.requests.cbegin(), line.requests.cend(), [](const QByteArray& q) {
            return quint8(q[1]) == 3 && !isBlockRead(q) && registerOf(q) == P0_15;
        });
    QCOMPARE(asked, 2);
}

void tst_restorereadback::driveGoingSilentKeepsTheAccountTrue()
{
    // The drive stops taking writes after two but still answers reads: what
    // it took is read back and verified, the third write may have been taken,
    // the fourth never went out.
    {
        BusLine line;
        learnBlocks(line);
        int writes = 0;
        line.intercept = [&writes](const QByteArray& q) -> std::optional<QByteArray> {
            if (quint8(q[1]) == 6 && ++writes > 2)
                return QByteArray();
            return std::nullopt;
        };
        Restore r(line, 1, kFour);
        QVERIFY(r.job.driveLost());
        QCOMPARE(outcomes(r.job),
                 (QStringList{"verified", "verified", "sent, no answer: may have been written",
                              "not written"}));
        for (const QByteArray& w : line.writes())
            QVERIFY(registerOf(w) != P0_15);
    }
    // Silent altogether after two writes: those two are told as taken and not
    // read back, never as verified or as not written.
    {
        BusLine line;
        learnBlocks(line);
        int writes = 0;
        line.intercept = [&writes](const QByteArray& q) -> std::optional<QByteArray> {
            if (quint8(q[1]) == 6)
                ++writes;
            return writes > 2 ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        };
        Restore r(line, 1, kFour);
        QVERIFY(r.job.driveLost());
        QCOMPARE(outcomes(r.job),
                 (QStringList{"written, not read back", "written, not read back",
                              "sent, no answer: may have been written", "not written"}));
        QCOMPARE(r.job.written(), 0);
        QVERIFY(!line.client.lineHeld());
    }
    // Cancelled while a write is on the line: the exchange ends, what was
    // taken is read back, and nothing more is written.
    {
        BusLine line;
        learnBlocks(line);
        Restore r(line, 1, kFour, false);
        line.intercept = [&r](const QByteArray& q) -> std::optional<QByteArray> {
            if (quint8(q[1]) == 6 && registerOf(q) == P0_13)
                r.job.cancel();
            return std::nullopt;
        };
        r.run();
        QVERIFY(r.job.cancelled());
        QVERIFY(!r.job.driveLost());
        QCOMPARE(outcomes(r.job),
                 (QStringList{"verified", "verified", "not written", "not written"}));
        QCOMPARE(line.writes().size(), 2);
    }
}

void tst_restorereadback::addressIsWrittenAfterTheRestIsReadBack()
{
    BusLine line;
    learnBlocks(line);
    Restore r(line, 1, {item(P8_00, 5), item(P0_14, 200), item(P0_15, 200)});
    QVERIFY2(r.job.complete(), qPrintable(r.job.summary()));
    QStringList order;
    for (const QByteArray& q : line.requests.mid(1)) {
        order << QStringLiteral("%1%2@%3")
                     .arg(quint8(q[1]) == 6 ? QStringLiteral("w") : QStringLiteral("r"))
                     .arg(registerOf(q), 0, 16)
                     .arg(quint8(q[0]));
    }
    // P0.14 and P0.15 read back in one block at 1, before the address
    // changes; the address read back where the drive answers now.
    QCOMPARE(order.join(u' '), QStringLiteral("we@1 wf@1 re@1 w800@1 r800@5"));
    QCOMPARE(r.job.answersAt(), quint8(5));
}

QTEST_GUILESS_MAIN(tst_restorereadback)
#include "tst_restorereadback.moc"
