// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter sets: whole-drive read, files, compare, restore and clone on a
// line of simulated drives.
#include "BusLine.h"
#include "CloneJob.h"
#include "EndlessPipe.h"
#include "ParamJobs.h"
#include "ParamSetFile.h"

#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr quint16 P0_03 = 0x0003, P0_06 = 0x0006, P0_14 = 0x000E, P0_17 = 0x0011, P0_19 = 0x0013,
                  P8_00 = 0x0800, P8_01 = 0x0801;

ParamSet readWhole(BusLine& line, quint8 address)
{
    ReadJob job(line.client, address);
    job.start();
    line.runUntil([&] { return !job.running(); });
    return job.result();
}

// Runs a restore of the given writes and returns the job's account.
struct Restore
{
    BusLine& line;
    RestoreJob job;
    Restore(BusLine& l, quint8 address, const QList<WriteItem>& writes, bool allowed = true)
        : line(l), job(l.client, address, writes)
    {
        job.writesAllowed = [allowed] { return allowed; };
        job.start();
        line.runUntil([&] { return !job.running(); });
    }
};

WriteItem item(quint16 reg, quint16 raw)
{
    WriteItem w;
    w.reg = reg;
    w.raw = raw;
    return w;
}

QByteArray exception(const QByteArray& request, quint8 code)
{
    return exceptionAnswer(quint8(request[0]), quint8(request[1]), code);
}

} // namespace

class tst_paramsets : public QObject
{
    Q_OBJECT
private slots:
    void wholeReadListsReservedAndUnanswered();
    void fileRoundTripKeepsRawValuesExact();
    void badFileNamesLineAndProblem_data();
    void badFileNamesLineAndProblem();
    void failedSaveLeavesOldFile();
    void endlessFileIsRefused_data();
    void endlessFileIsRefused();
    void compareCases();
    void restoreRefusesBeforeWriting();
    void restoreWritesLimitsFirstAndRetriesRefused();
    void driveLostMidRestoreListsWhatWasWritten();
    void restoreWritesTheAddressLastAndFollowsTheDrive();
    void acknowledgedWriteWithoutReadBackIsSaidSo();
    void cloneLeavesAddressAndLineOutAndVerifies();
    void cloneNeverGivesTwoDrivesOneAddress();
};

void tst_paramsets::wholeReadListsReservedAndUnanswered()
{
    BusLine line;
    line.bus.drive(1)->parameters().force(0, 3, 4321);
    // P2.05 is never answered, however often it is asked for, alone or in a
    // block of registers.
    line.intercept = [](const QByteArray& r) -> std::optional<QByteArray> {
        const int count = std::max(1, quint8(r[4]) << 8 | quint8(r[5]));
        const bool covers = registerOf(r) <= 0x0205 && 0x0205 < registerOf(r) + count;
        return covers ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    };
    const ParamSet set = readWhole(line, 1);
    QCOMPARE(set.values.size(), 185);
    QCOMPARE(set.raw(P0_03), std::optional<quint16>(4321));
    QCOMPARE(set.values.value(0x0109).state, ParamValue::State::Reserved); // P1.09
    QCOMPARE(set.values.value(0x0205).state, ParamValue::State::NoAnswer);
    // Its block went unanswered and was read again singly: P2.05 alone was
    // asked twice, the first attempt and its retry.
    QCOMPARE(std::count_if(line.requests.cbegin(), line.requests.cend(),
                           [](const QByteArray& r) { return registerOf(r) == 0x0205; }),
             2);
}

void tst_paramsets::fileRoundTripKeepsRawValuesExact()
{
    BusLine line;
    line.bus.drive(2)->parameters().force(1, 5, 1234); // 1.234, scale 0.001
    line.bus.drive(2)->parameters().force(0, 3, 5050); // 50.5 Hz
    ParamSet set = readWhole(line, 2);
    set.values[0x0205] = {ParamValue::State::NoAnswer, 0};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drive2.csv"));
    QCOMPARE(ParamSetFile::Save(set, path), QString());
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
    QVERIFY2(loaded.set, qPrintable(loaded.error));
    QCOMPARE(loaded.set->values, set.values);
    QCOMPARE(loaded.set->address, quint8(2));
    QCOMPARE(loaded.set->readAt.toSecsSinceEpoch(), set.readAt.toSecsSinceEpoch());
    const QByteArray text = ParamSetFile::ToCsv(set);
    QVERIFY(text.contains("\r\nP1.05,"));
    QVERIFY(text.contains(",1.234,1234,"));
}

void tst_paramsets::badFileNamesLineAndProblem_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("problem");
    ParamSet set;
    set.address = 1;
    set.readAt = QDateTime::currentDateTime();
    set.values.insert(P0_03, {ParamValue::State::Value, 5000});
    set.values.insert(P0_14, {ParamValue::State::Value, 100});
    const QByteArray good = ParamSetFile::ToCsv(set); // header, 4 "#" rows, P0.03 on line 6
    auto edit = [&](const QByteArray& from, const QByteArray& to) {
        QByteArray b = good;
        return b.replace(from, to);
    };
    QTest::newRow("cut mid-row") << good.left(good.size() - 30) << 7 << "fields";
    QTest::newRow("cut at a row") << good.left(good.lastIndexOf("P0.14")) << 6 << "announces 2";
    QTest::newRow("open quote") << good + "P0.05,\"Motor" << 8 << "quoted field";
    QTest::newRow("latin-1") << edit("Run Frequency", "Run Fr\xE9quency") << 6 << "UTF-8";
    QTest::newRow("utf-16") << QByteArray("\xFF\xFEP\0a\0", 6) << 1 << "UTF-16";
    QTest::newRow("unknown") << edit("P0.14,", "P0.99,") << 7 << "unknown parameter";
    QTest::newRow("outside limits") << edit("50,5000", ",40100") << 6 << "outside";
    QTest::newRow("value and raw disagree") << edit("50,5000", "55,5000") << 6 << "disagree";
    QTest::newRow("not a number") << edit("50,5000", "fifty,") << 6 << "not a number";
    QTest::newRow("between steps") << edit("50,5000", "50.005,") << 6 << "can hold";
    QTest::newRow("twice") << edit("P0.14,", "P0.03,") << 7 << "twice";
    QTest::newRow("no header") << good.mid(good.indexOf('\n') + 1) << 1 << "header";
    QTest::newRow("bad time") << edit("#Read at,", "#Read at,yesterday") << 4 << "ISO 8601";
}

void tst_paramsets::badFileNamesLineAndProblem()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, problem);
    const ParamSetFile::LoadResult r = ParamSetFile::FromCsv(bytes);
    QVERIFY(!r.set);
    QVERIFY2(r.error.contains(problem), qPrintable(r.error));
    QCOMPARE(r.line, line);
}

void tst_paramsets::endlessFileIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("/dev/zero") << "/dev/zero"
                               << ", not a file";
    QTest::newRow("/dev/urandom") << "/dev/urandom"
                                  << ", not a file";
    QTest::newRow("pipe that never ends") << "pipe"
                                          << ", not a file";
    QTest::newRow("file beyond the largest set") << "sparse"
                                                 << "far too large for a parameter set";
}

// A name with no end behind it (a device, a pipe whose writer keeps
// writing) is refused by what it is, before a byte is read; a file larger
// than any set by its size.
void tst_paramsets::endlessFileIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    std::unique_ptr<EndlessPipe> pipe;
    if (name == u"pipe") {
        pipe = std::make_unique<EndlessPipe>(dir.filePath(name));
        QVERIFY(pipe->made());
        name = pipe->path();
    } else if (name == u"sparse") {
        name = dir.filePath(name);
        QFile sparse(name);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(4 * 1024 * 1024 + 1));
    }
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(name);
    QVERIFY(!loaded.set);
    QCOMPARE(loaded.line, 0);
    QVERIFY2(loaded.error.contains(refusal), qPrintable(loaded.error));
}

void tst_paramsets::failedSaveLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.csv"));
    ParamSet set = ParamSet::defaults();
    QCOMPARE(ParamSetFile::Save(set, path), QString());
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    // A disk that fills up: files may grow no further than 1 KiB meanwhile.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &tight);
    set.address = 7;
    const QString error = ParamSetFile::Save(set, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!error.isEmpty());
    QVERIFY(before.open(QIODevice::ReadOnly));
    QCOMPARE(before.readAll(), old);
    QVERIFY(!ParamSetFile::Save(set, dir.filePath(QStringLiteral("no/such/folder.csv"))).isEmpty());
}

void tst_paramsets::compareCases()
{
    BusLine line;
    const ParamSet drive1 = readWhole(line, 1);
    // A fresh drive holds the defaults wherever they are numbers, except its
    // sources, set up for the line (P0.01, P0.04). The two whose catalogue
    // defaults lie outside their own limits (P1.15, P2.10) are held at the
    // limit, and so are the defaults compared with.
    const QList<ParamDifference> fromDefaults = CompareSets(drive1, ParamSet::defaults());
    QCOMPARE(fromDefaults.size(), 2);
    QCOMPARE(fromDefaults[0].reg, quint16(0x0001));
    QCOMPARE(fromDefaults[1].reg, quint16(0x0004));
    QCOMPARE(ParamSet::defaults().raw(0x010F), drive1.raw(0x010F));
    QCOMPARE(ParamSet::defaults().raw(0x020A), drive1.raw(0x020A));
    QVERIFY(CompareSets(drive1, ParamSet::defaults(), false).size() > 150);
    line.bus.drive(2)->parameters().force(0, 14, 123);
    line.bus.drive(2)->parameters().force(5, 3, 7);
    const ParamSet drive2 = readWhole(line, 2);
    const QList<ParamDifference> d = CompareSets(drive1, drive2);
    QCOMPARE(d.size(), 3); // and the drives' own addresses
    QCOMPARE(d[2].reg, P8_00);
    QCOMPARE(d[0].reg, P0_14);
    QCOMPARE(d[0].right, std::optional<quint16>(123));
    // A file holding a few parameters is compared on those alone.
    ParamSet few;
    few.values.insert(P0_14, {ParamValue::State::Value, 100});
    few.values.insert(P0_03, {ParamValue::State::NoAnswer, 0});
    const QList<ParamDifference> withFew = CompareSets(few, drive2);
    QCOMPARE(withFew.size(), 2);
    QVERIFY(!withFew[0].left); // no answer differs from a value
}

void tst_paramsets::restoreRefusesBeforeWriting()
{
    BusLine line;
    const QList<WriteItem> writes{item(P0_14, 200)};
    {
        Restore r(line, 1, writes, false);
        QCOMPARE(r.job.refusal(), RestoreJob::Refusal::Locked);
    }
    {
        Restore r(line, 0, writes);
        QCOMPARE(r.job.refusal(), RestoreJob::Refusal::Broadcast);
    }
    {
        Restore r(line, 1, {item(P0_03, 40100)}); // 401 Hz
        QCOMPARE(r.job.refusal(), RestoreJob::Refusal::OutsideLimits);
    }
    QVERIFY(line.requests.isEmpty());
    line.bus.drive(1)->command(SimulatedDrive::Forward, 1000);
    Restore running(line, 1, writes);
    QCOMPARE(running.job.refusal(), RestoreJob::Refusal::Running);
    QCOMPARE(line.requests.size(), 1); // the status, and nothing written
    QCOMPARE(registerOf(line.requests[0]), quint16(0x0E00));
    QCOMPARE(running.job.items()[0].outcome, WriteItem::Outcome::NotWritten);
}

void tst_paramsets::restoreWritesLimitsFirstAndRetriesRefused()
{
    BusLine line;
    DriveParameters& p = line.bus.drive(1)->parameters();
    // The drive takes no V/F frequency F1 above F2, and no run frequency above
    // the upper limit.
    line.intercept = [&p](const QByteArray& r) -> std::optional<QByteArray> {
        const quint16 value = quint16(quint8(r[4]) << 8 | quint8(r[5]));
        if (quint8(r[1]) == 6 && registerOf(r) == P0_17 && value > *p.raw(0, 19))
            return exception(r, 3);
        if (quint8(r[1]) == 6 && registerOf(r) == P0_03 && value > *p.raw(0, 6))
            return exception(r, 3);
        return std::nullopt;
    };
    Restore r(line, 1,
              {item(P0_17, 3000), item(P0_03, 6000), item(P0_19, 4000), item(P0_06, 6000)});
    QVERIFY2(r.job.complete(), qPrintable(r.job.summary()));
    QStringList order;
    for (const QByteArray& w : line.writes())
        order << QString::number(registerOf(w), 16);
    QCOMPARE(order.join(u' '), QStringLiteral("6 11 3 13 11")); // P0.17 again after P0.19
    QCOMPARE(*p.raw(0, 17), quint16(3000));
    // Every write was read back.
    QCOMPARE(line.requests.size(), 1 + 5 + 4);
    // Compared again: nothing differs.
    ParamSet wanted;
    for (quint16 reg : {P0_17, P0_03, P0_19, P0_06})
        wanted.values.insert(reg, {ParamValue::State::Value, *p.raw(reg >> 8, reg & 0xFF)});
    QCOMPARE(CompareSets(wanted, readWhole(line, 1)).size(), 0);
}

void tst_paramsets::driveLostMidRestoreListsWhatWasWritten()
{
    BusLine line;
    int writes = 0;
    line.intercept = [&writes](const QByteArray& r) -> std::optional<QByteArray> {
        if (quint8(r[1]) == 6 && ++writes > 2)
            return QByteArray(); // gone after two writes
        if (writes > 2)
            return QByteArray();
        return std::nullopt;
    };
    Restore r(line, 1, {item(0x000C, 30), item(0x000D, 5), item(P0_14, 200), item(0x000F, 200)});
    QVERIFY(r.job.driveLost());
    QCOMPARE(r.job.written(), 2);
    // The third write went out and was never answered: whether the drive
    // took it nobody knows. The fourth never went out.
    QCOMPARE(r.job.items()[2].outcome, WriteItem::Outcome::SentNoAnswer);
    QCOMPARE(r.job.items()[3].outcome, WriteItem::Outcome::NotWritten);
    QVERIFY2(r.job.summary().contains(
                 QStringLiteral("P0.14 = 20: sent, no answer: may have been written")),
             qPrintable(r.job.summary()));
    QVERIFY(r.job.summary().contains(QStringLiteral("P0.15 = 20: not written")));
    QCOMPARE(r.job.items()[2].outcomeWord(),
             QStringLiteral("sent, no answer: may have been written"));
    QVERIFY(!line.client.lineHeld());
}

void tst_paramsets::restoreWritesTheAddressLastAndFollowsTheDrive()
{
    BusLine line;
    Restore r(line, 1, {item(P8_00, 5), item(P0_14, 200), item(0x000F, 200)});
    QVERIFY2(r.job.complete(), qPrintable(r.job.summary()));
    QStringList order;
    for (const QByteArray& w : line.writes())
        order << QString::number(registerOf(w), 16) + u'@' + QString::number(quint8(w[0]));
    // Everything else first, while the drive is still at 1; then its address.
    QCOMPARE(order.join(u' '), QStringLiteral("e@1 f@1 800@1"));
    // The address was read back where the drive now answers.
    QCOMPARE(quint8(line.requests.constLast()[0]), quint8(5));
    QCOMPARE(r.job.answersAt(), quint8(5));
    QVERIFY(r.job.summary().contains(QStringLiteral("now answers at 5")));
    QVERIFY(line.bus.drive(5));
}

void tst_paramsets::acknowledgedWriteWithoutReadBackIsSaidSo()
{
    BusLine line;
    // The drive echoes its second write and then falls silent.
    int writes = 0;
    line.intercept = [&writes](const QByteArray& r) -> std::optional<QByteArray> {
        if (quint8(r[1]) == 6)
            ++writes;
        if (writes >= 2 && quint8(r[1]) != 6)
            return QByteArray();
        return std::nullopt;
    };
    Restore r(line, 1, {item(0x000C, 30), item(P0_14, 200), item(0x000F, 200)});
    QVERIFY(r.job.driveLost());
    QCOMPARE(r.job.items()[0].outcome, WriteItem::Outcome::Written);
    QCOMPARE(r.job.items()[1].outcome, WriteItem::Outcome::NotReadBack);
    QCOMPARE(r.job.items()[2].outcome, WriteItem::Outcome::NotWritten);
    QVERIFY(r.job.summary().contains(
        QStringLiteral("P0.14 = 20: written (the drive acknowledged it), not read back")));

    // Cancelled while a write is on the line: the exchange ends, and is told.
    BusLine other;
    RestoreJob job(other.client, 1, {item(0x000C, 30), item(P0_14, 200), item(0x000F, 200)});
    job.writesAllowed = [] { return true; };
    other.intercept = [&job](const QByteArray& r) -> std::optional<QByteArray> {
        if (quint8(r[1]) == 6 && registerOf(r) == P0_14)
            job.cancel();
        return std::nullopt;
    };
    job.start();
    QVERIFY(other.runUntil([&] { return !job.running(); }));
    QVERIFY(job.cancelled());
    QCOMPARE(job.items()[1].outcome, WriteItem::Outcome::NotReadBack);
    QCOMPARE(job.items()[2].outcome, WriteItem::Outcome::NotWritten);
    QCOMPARE(other.writes().size(), 2);
}

void tst_paramsets::cloneLeavesAddressAndLineOutAndVerifies()
{
    BusLine line;
    ParamSet source = readWhole(line, 1);
    source.values[P0_14] = {ParamValue::State::Value, 250};
    source.values[P8_00] = {ParamValue::State::Value, 9};
    source.values[P8_01] = {ParamValue::State::Value, 1};
    line.bus.drive(3)->parameters().force(0, 14, 250); // already right
    CloneJob clone(line.client, source, {2, 3, 4});
    clone.writesAllowed = [] { return true; };
    bool previewed = false;
    bool finished = false;
    QObject::connect(&clone, &CloneJob::previewReady, [&] { previewed = true; });
    QObject::connect(&clone, &CloneJob::finished, [&] { finished = true; });
    clone.preview();
    QVERIFY(line.runUntil([&] { return previewed; }));
    const QList<CloneJob::Target>& t = clone.targets();
    QCOMPARE(t[0].plan.writes.size(), 1);
    QCOMPARE(t[0].plan.writes[0].reg, P0_14);
    QCOMPARE(t[1].plan.writes.size(), 0);
    QVERIFY(t[2].readFailed); // no drive 4 on the line
    line.requests.clear();
    clone.apply();
    QVERIFY(line.runUntil([&] { return finished; }));
    QCOMPARE(line.writes().size(), 1);
    QCOMPARE(t[0].differencesAfter, 0);
    QCOMPARE(t[1].differencesAfter, 0);
    QCOMPARE(*line.bus.drive(2)->parameters().raw(8, 0), quint16(2));
    QVERIFY(!clone.allDone()); // drive 4 was not there
}

void tst_paramsets::cloneNeverGivesTwoDrivesOneAddress()
{
    BusLine line;
    ParamSet source = readWhole(line, 1);
    source.values[P8_00] = {ParamValue::State::Value, 1};
    source.values[P0_14] = {ParamValue::State::Value, 250};
    CloneJob clone(line.client, source, {2, 3});
    clone.writesAllowed = [] { return true; };
    clone.leaveOut.remove(P8_00);
    bool finished = false;
    QObject::connect(&clone, &CloneJob::finished, [&] { finished = true; });
    line.requests.clear();
    clone.apply();
    QVERIFY(line.runUntil([&] { return finished; }));
    QVERIFY(line.writes().isEmpty());
    QVERIFY(clone.targets()[0].restoreSummary.contains(QStringLiteral("the address 1")));
    QVERIFY(!clone.allDone());
    // One target may take the set's address.
    QVERIFY(CloneJob::SharedAddressRefusal(source, 1, clone.leaveOut).isEmpty());
}

QTEST_GUILESS_MAIN(tst_paramsets)
#include "tst_paramsets.moc"
