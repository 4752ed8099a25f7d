// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-drive reads against vfdsim on a pseudo-terminal: in blocks where a
// drive takes them, singly where it refuses them or stays silent, and with a
// drive that answers fewer registers than asked; and a clone's read-back of
// what it wrote, both ways. The frames are counted in the simulator's own log.
#include "CloneJob.h"
#include "ParamJobs.h"
#include "PtyLine.h"

#include <QSignalSpy>
#include <QTest>

namespace {

ParamSet readWhole(PtyLine& line, quint8 address)
{
    ReadJob job(line.client, address);
    QSignalSpy finished(&job, &ReadJob::finished);
    job.start();
    if (!finished.wait(30000))
        return {};
    return job.result();
}

int blockCount(const QList<SimProcess::ReadHeard>& heard)
{
    return int(std::count_if(heard.cbegin(), heard.cend(),
                             [](const SimProcess::ReadHeard& h) { return h.count > 0; }));
}

// Every parameter read with a value, the reserved rows as reserved.
bool wholeAndAnswered(const ParamSet& set)
{
    if (set.values.size() != ParamCatalogue::offeredRegisters().size())
        return false;
    for (auto it = set.values.cbegin(); it != set.values.cend(); ++it) {
        const bool reserved = ParamCatalogue::reserved(it.key());
        if (it->state != (reserved ? ParamValue::State::Reserved : ParamValue::State::Value))
            return false;
    }
    return true;
}

} // namespace

class tst_blockreads : public QObject
{
    Q_OBJECT
private slots:
    void blocksGiveTheSameValuesInFarFewerExchanges();
    void refusingAndSilentDrivesAreReadSingly();
    void shorterAnswersKeepEveryValueInItsPlace();
    void cloneReadsBackInBlocksOrSinglyAfterTheWrites();
};

void tst_blockreads::blocksGiveTheSameValuesInFarFewerExchanges()
{
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("1")});
    QVERIFY(line.port.isOpen());
    // Values of its own, so that a value read into the wrong register shows.
    QObject owner;
    LinkSession* session = line.client.openSession(&owner);
    int written = 0;
    for (const auto& [reg, raw] : {std::pair{0x0003, 4321}, {0x0004, 1}, {0x000E, 123}}) {
        session->submit(LinkRequest::write(1, quint16(reg), quint16(raw)),
                        [&](const LinkResult& r) { written += r.ok(); });
    }
    QTRY_COMPARE_WITH_TIMEOUT(written, 3, 10000);

    const ParamSet inBlocks = readWhole(line, 1);
    QVERIFY(wholeAndAnswered(inBlocks));
    QCOMPARE(inBlocks.raw(0x0003), std::optional<quint16>(4321));
    QCOMPARE(inBlocks.raw(0x000E), std::optional<quint16>(123));
    QCOMPARE(line.client.blockReads(1).known, BlockReads::Known::Takes);
    const QList<SimProcess::ReadHeard> blockRun = line.sim.readsHeard(1);
    // No block reaches over a reserved row or past the rows of its group.
    for (const SimProcess::ReadHeard& h : blockRun) {
        for (int i = 0; i < std::max(h.count, 1); ++i) {
            const quint16 reg = quint16(h.reg + i);
            QVERIFY2(ParamCatalogue::offeredRegisters().contains(reg) &&
                         !ParamCatalogue::reserved(reg),
                     qPrintable(QString::number(reg, 16)));
        }
    }

    // The same drive once more, told to be read singly as the dialect has it.
    line.client.setBlockReads(1, {BlockReads::Known::Refuses, 0, 0});
    const ParamSet single = readWhole(line, 1);
    QCOMPARE(single.values, inBlocks.values);
    const QList<SimProcess::ReadHeard> singleRun = line.sim.readsHeard(1).mid(blockRun.size());
    QCOMPARE(blockCount(singleRun), 0);
    QVERIFY2(blockRun.size() * 4 < singleRun.size(),
             qPrintable(QStringLiteral("%1 block-read exchanges against %2 single")
                            .arg(blockRun.size())
                            .arg(singleRun.size())));
}

void tst_blockreads::refusingAndSilentDrivesAreReadSingly()
{
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("1-3"),
                  QStringLiteral("--single-reads"), QStringLiteral("2"),
                  QStringLiteral("--silent-blocks"), QStringLiteral("3")});
    QVERIFY(line.port.isOpen());
    const ParamSet reference = readWhole(line, 1);
    QVERIFY(wholeAndAnswered(reference));
    for (quint8 address : {2, 3}) {
        const ParamSet set = readWhole(line, address);
        QVERIFY2(wholeAndAnswered(set), qPrintable(QString::number(address)));
        // Every drive starts alike but for its own address.
        for (auto it = reference.values.cbegin(); it != reference.values.cend(); ++it) {
            if (it.key() != 0x0800)
                QCOMPARE(set.values.value(it.key()), *it);
        }
        QCOMPARE(line.client.blockReads(address).known, BlockReads::Known::Refuses);
        // The probe, and nothing more of the kind, on this line.
        QCOMPARE(blockCount(line.sim.readsHeard(address)), 1);
    }
    QVERIFY(readWhole(line, 2).values.size() > 0);
    QCOMPARE(blockCount(line.sim.readsHeard(2)), 1);
    // A line opened again asks again.
    line.port.close();
    line.link.ResetLine();
    QCOMPARE(line.client.blockReads(2).known, BlockReads::Known::NotYet);
}

void tst_blockreads::shorterAnswersKeepEveryValueInItsPlace()
{
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("4"), QStringLiteral("--short-blocks"),
                  QStringLiteral("4:5")});
    QVERIFY(line.port.isOpen());
    const ParamSet inBlocks = readWhole(line, 4);
    QVERIFY(wholeAndAnswered(inBlocks));
    const BlockReads learnt = line.client.blockReads(4);
    QCOMPARE(learnt.known, BlockReads::Known::Takes);
    QCOMPARE(learnt.limit, 5);
    // Asked for more than five once; after that, never.
    const QList<SimProcess::ReadHeard> heard = line.sim.readsHeard(4);
    QCOMPARE(std::count_if(heard.cbegin(), heard.cend(),
                           [](const SimProcess::ReadHeard& h) { return h.count > 5; }),
             qsizetype(1));
    line.client.setBlockReads(4, {BlockReads::Known::Refuses, 0, 0});
    QCOMPARE(readWhole(line, 4).values, inBlocks.values);
}

void tst_blockreads::cloneReadsBackInBlocksOrSinglyAfterTheWrites()
{
    // Drive 3 takes only single reads.
    PtyLine line({QStringLiteral("--drives"), QStringLiteral("1-3"),
                  QStringLiteral("--single-reads"), QStringLiteral("3")});
    QVERIFY(line.port.isOpen());
    ParamSet source = readWhole(line, 1);
    const QList<std::pair<quint16, quint16>> changes{
        {0x0003, 4321}, {0x000C, 30}, {0x000D, 5}, {0x000E, 200}, {0x000F, 200}};
    for (const auto& [reg, raw] : changes)
        source.values[reg] = {ParamValue::State::Value, raw};
    CloneJob clone(line.client, source, {2, 3});
    clone.writesAllowed = [] { return true; };
    QSignalSpy previewed(&clone, &CloneJob::previewReady);
    QSignalSpy finished(&clone, &CloneJob::finished);
    clone.preview();
    QVERIFY(previewed.wait(30000));
    for (const CloneJob::Target& t : clone.targets())
        QCOMPARE(t.plan.writes.size(), changes.size());
    const qsizetype previewReads2 = line.sim.readsHeard(2).size();
    const qsizetype previewReads3 = line.sim.readsHeard(3).size();
    clone.apply();
    QVERIFY(finished.wait(30000));
    QVERIFY2(clone.allDone(), qPrintable(clone.targets()[0].restoreSummary + u'\n' +
                                         clone.targets()[1].restoreSummary));
    for (const CloneJob::Target& t : clone.targets()) {
        for (const WriteItem& w : t.writes)
            QCOMPARE(w.outcome, WriteItem::Outcome::Written);
    }
    // After the status, each drive's writes went out one after another with
    // no read between them; then the read-back.
    for (const int address : {2, 3}) {
        const QString own = QStringLiteral("%1 ").arg(address, 2, 16, QLatin1Char('0'));
        QStringList kinds;
        for (const QString& frame : line.sim.traffic(QStringLiteral("<- "))) {
            if (frame.startsWith(own, Qt::CaseInsensitive))
                kinds << frame.mid(3, 2);
        }
        const qsizetype firstWrite = kinds.indexOf(QStringLiteral("06"));
        QVERIFY(firstWrite > 0);
        QCOMPARE(kinds.mid(firstWrite, changes.size()),
                 QStringList(changes.size(), QStringLiteral("06")));
        QVERIFY(!kinds.mid(firstWrite + changes.size()).contains(QStringLiteral("06")));
    }
    // Drive 2 read back P0.12 to P0.15 in one block and P0.03 alone; drive 3
    // every value alone, the status read before the writes aside.
    const QList<SimProcess::ReadHeard> back2 = line.sim.readsHeard(2).mid(previewReads2);
    const QList<SimProcess::ReadHeard> back3 = line.sim.readsHeard(3).mid(previewReads3);
    QCOMPARE(back2.size(), 1 + 2);
    QCOMPARE(blockCount(back2), 1);
    QCOMPARE(back3.size(), 1 + changes.size());
    QCOMPARE(blockCount(back3), 0);
    // And the drives hold what was written.
    for (const quint8 address : {2, 3}) {
        const ParamSet after = readWhole(line, address);
        for (const auto& [reg, raw] : changes)
            QCOMPARE(after.raw(reg), std::optional<quint16>(raw));
    }
}

QTEST_GUILESS_MAIN(tst_blockreads)
#include "tst_blockreads.moc"
