// SPDX-License-Identifier: GPL-3.0-or-later
// The sampler (recorder, service, test run) against vfdsim on a pseudo-
// terminal: a drive that takes standard reads gives its running values in
// blocks, scaled by the codes its single reads carried; one that refuses
// them, one that ignores them and one that answers fewer registers are read
// as far as each allows, every value the same as a single read gives it.
#include "PtyLine.h"
#include "RecordValues.h"
#include "Sampler.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace {

// Set frequency and count set of each drive made its own, so a value read
// into another's place shows.
quint16 setFrequencyOf(quint8 address)
{
    return quint16(1000 + 111 * address); // 0.01 Hz
}
quint16 countSetOf(quint8 address)
{
    return quint16(20 + address);
}

bool writeAll(PtyLine& line, const QList<quint8>& drives)
{
    QObject owner;
    LinkSession* session = line.client.openSession(&owner);
    int written = 0;
    for (const quint8 a : drives) {
        // The frequency from P0.03 (source 0), not from the line.
        session->submit(LinkRequest::write(a, 0x0001, 0),
                        [&](const LinkResult& r) { written += r.ok(); });
        session->submit(LinkRequest::write(a, 0x0003, setFrequencyOf(a)),
                        [&](const LinkResult& r) { written += r.ok(); });
        session->submit(LinkRequest::write(a, 0x0410, countSetOf(a)),
                        [&](const LinkResult& r) { written += r.ok(); });
    }
    return QTest::qWaitFor([&] { return written == 3 * drives.size(); }, 20000);
}

QList<RecordValue> values(const QStringList& keys)
{
    QList<RecordValue> list;
    for (const QString& key : keys)
        list << *RecordValues::byKey(key);
    return list;
}

int blocksHeard(const QList<SimProcess::ReadHeard>& heard, int largerThan = 0)
{
    return int(std::count_if(heard.cbegin(), heard.cend(),
                             [&](const SimProcess::ReadHeard& h) { return h.count > largerThan; }));
}

} // namespace

class tst_samplerblocks : public QObject
{
    Q_OBJECT
private slots:
    void everyKindOfDriveGivesTheSameValues();
    void aDriveWithOneValueIsNeverProbed();
};

void tst_samplerblocks::everyKindOfDriveGivesTheSameValues()
{
    // 1 takes blocks, 2 refuses them, 3 ignores them, 4 answers two at most.
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("1-4"),
                  QStringLiteral("--single-reads"), QStringLiteral("2"),
                  QStringLiteral("--silent-blocks"), QStringLiteral("3"),
                  QStringLiteral("--short-blocks"), QStringLiteral("4:2")});
    QVERIFY(line.port.isOpen());
    const QList<quint8> drives{1, 2, 3, 4};
    QVERIFY(writeAll(line, drives));

    // Hundredths, tenths and whole numbers; a gap of four registers read
    // through; count set far off, read on its own.
    Sampler sampler(line.client);
    sampler.setup(drives,
                  values({QStringLiteral("freq-set"), QStringLiteral("current"),
                          QStringLiteral("dc-bus"), QStringLiteral("count-set")}),
                  0);
    QList<SampleRound> rounds;
    connect(&sampler, &Sampler::roundDone, this, [&](const SampleRound& r) { rounds << r; });
    sampler.start();
    QVERIFY(QTest::qWaitFor([&] { return rounds.size() >= 4; }, 60000));
    sampler.stop();

    // The first round is read singly throughout; every later one gives the same.
    const SampleRound& first = rounds.first();
    for (int d = 0; d < drives.size(); ++d) {
        const quint8 a = drives[d];
        QVERIFY(first.states[d].known);
        // The drive's own single precision.
        QVERIFY(std::abs(first.values[d * 4 + 0] - setFrequencyOf(a) / 100.0) < 1e-4);
        QCOMPARE(first.values[d * 4 + 1], 0.0);
        QVERIFY(first.values[d * 4 + 2] > 100);
        QCOMPARE(first.values[d * 4 + 3], double(countSetOf(a)));
    }
    for (const SampleRound& round : std::as_const(rounds)) {
        for (int i = 0; i < first.values.size(); ++i)
            QVERIFY2(std::abs(round.values[i] - first.values[i]) < 1e-9,
                     qPrintable(QStringLiteral("value %1: %2 against %3")
                                    .arg(i)
                                    .arg(round.values[i])
                                    .arg(first.values[i])));
    }

    // Drive 1: blocks within the chosen span, count set always singly.
    const auto one = line.sim.readsHeard(1);
    QVERIFY(blocksHeard(one) >= 2);
    for (const SimProcess::ReadHeard& h : one) {
        if (h.count > 0)
            QVERIFY(h.reg >= 0x0D01 && h.reg + h.count - 1 <= 0x0D07);
    }
    QCOMPARE(line.client.blockReads(1).known, BlockReads::Known::Takes);
    // Drives 2 and 3 were asked once, and no more; drive 4 for more than two once.
    QCOMPARE(blocksHeard(line.sim.readsHeard(2)), 1);
    QCOMPARE(blocksHeard(line.sim.readsHeard(3)), 1);
    QCOMPARE(line.client.blockReads(3).known, BlockReads::Known::Refuses);
    QCOMPARE(blocksHeard(line.sim.readsHeard(4), 2), 1);
    QCOMPARE(line.client.blockReads(4).limit, 2);

    // Freq-set, the first of drive 1's block, was read singly in the first
    // round and before the probe in the second; never again. Drive 2 reads it
    // singly every round.
    auto singlesOfFreqSet = [&](int address) {
        const auto heard = line.sim.readsHeard(address);
        return std::count_if(heard.cbegin(), heard.cend(), [](const SimProcess::ReadHeard& h) {
            return h.reg == 0x0D01 && h.count == 0;
        });
    };
    QVERIFY(QTest::qWaitFor([&] { return singlesOfFreqSet(2) >= rounds.size(); }, 5000));
    QCOMPARE(singlesOfFreqSet(1), qsizetype(2));
}

// With one value there is nothing to gain: no probe, and the frames are the
// dialect's single reads as before.
void tst_samplerblocks::aDriveWithOneValueIsNeverProbed()
{
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("1")});
    QVERIFY(line.port.isOpen());
    Sampler sampler(line.client);
    sampler.setup({1}, values({QStringLiteral("freq-out")}), 0);
    QSignalSpy rounds(&sampler, &Sampler::roundDone);
    sampler.start();
    QVERIFY(QTest::qWaitFor([&] { return rounds.size() >= 3; }, 30000));
    sampler.stop();
    QCOMPARE(blocksHeard(line.sim.readsHeard(1)), 0);
    QCOMPARE(line.client.blockReads(1).known, BlockReads::Known::NotYet);
}

QTEST_GUILESS_MAIN(tst_samplerblocks)
#include "tst_samplerblocks.moc"
