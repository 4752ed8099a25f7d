// SPDX-License-Identifier: GPL-3.0-or-later
#include "EndlessPipe.h"
#include "RecordCsv.h"
#include "RecorderRig.h"
#include "RtuProtocol.h"
#include "TraceStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

class tst_recorder : public QObject
{
    Q_OBJECT
private slots:
    void roundRobinAndScaling();
    void runCommandsGoOutBetweenReads();
    void goneWhileAReadIsOnTheLine();
    void csvWrittenAndReadBack();
    void fieldsThatNeedQuotes();
    void endlessFileIsRefused();
    void diskFull();
    void snapshotAroundTrip();
    void snapshotThatCannotBeWritten();
    void decimationKeepsPeaksAndGaps();
    void marksMerge();
};

// Two drives, two values: status then values, drive after drive, round after round;
// each value scaled by the decimal code of its own reply.
void tst_recorder::roundRobinAndScaling()
{
    RecorderRig rig;
    rig.command(2, 0x12, QStringLiteral("30"));
    rig.pass(100);
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    QList<SampleRound> rounds;
    QObject::connect(&rec.sampler(), &Sampler::roundDone,
                     [&](const SampleRound& r) { rounds.append(r); });
    Recording::Options o;
    o.drives = {1, 2};
    o.values = {*RecordValues::byKey(QStringLiteral("freq-set")),
                *RecordValues::byKey(QStringLiteral("current"))};
    // Drives that take only the dialect's single reads: asked once whether
    // they take blocks (two registers of a drive from 0x0D01), then as before.
    for (const quint8 a : {1, 2})
        rig.drive(a).setStandardReads(SimulatedDrive::StandardReads::Refused);
    rig.sent.clear();
    QVERIFY(rec.start(o));
    QVERIFY(rig.client.lineHeld());
    rig.pass(1500);
    rec.stop();
    QVERIFY(!rig.client.lineHeld());
    QVERIFY2(rounds.size() >= 3, qPrintable(QString::number(rounds.size())));

    QList<QByteArray> single;
    QList<QByteArray> probes;
    for (const QByteArray& f : std::as_const(rig.sent))
        (Hexedit::BlockCountOf(f) > 0 ? probes : single) << f;
    QCOMPARE(probes, (QList<QByteArray>{Hexedit::WithCrc(QByteArray::fromHex("0103 0D01 0002")),
                                        Hexedit::WithCrc(QByteArray::fromHex("0203 0D01 0002"))}));
    const QList<quint16> cycle{Rtu::StatusRegister, 0x0D01, 0x0D02,
                               Rtu::StatusRegister, 0x0D01, 0x0D02};
    const QList<quint8> owners{1, 1, 1, 2, 2, 2};
    for (int i = 0; i < single.size(); ++i) {
        QCOMPARE(registerOf(single[i]), cycle[i % 6]);
        QCOMPARE(quint8(single[i][0]), owners[i % 6]);
    }
    const SampleRound& last = rounds.last();
    QCOMPARE(last.values.size(), 4);
    QCOMPARE(last.values[0], 0.0);                   // drive 1 set frequency
    QVERIFY(std::abs(last.values[2] - 30.0) < 1e-4); // drive 2 set frequency
    QVERIFY(last.states[1].known && last.states[1].running);
    QVERIFY(last.states[0].known && !last.states[0].running);
    for (int i = 1; i < rounds.size(); ++i)
        QVERIFY(rounds[i - 1].time < rounds[i].time);
}

// While a recording holds the line the user's run command still goes out
// next, between two reads, and STOP as well.
void tst_recorder::runCommandsGoOutBetweenReads()
{
    RecorderRig rig;
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    Recording::Options o;
    o.drives = {1};
    o.values = {*RecordValues::byKey(QStringLiteral("freq-out"))};
    QVERIFY(rec.start(o));
    rig.pass(205); // part-way through some read
    for (const quint8 code : {quint8(0x12), Rtu::StopCode}) {
        const qsizetype before = rig.sent.size();
        rig.command(1, code, QStringLiteral("20"));
        rig.pass(200);
        qsizetype at = -1;
        for (qsizetype i = before; i < rig.sent.size() && at < 0; ++i)
            if (registerOf(rig.sent[i]) == Rtu::ControlRegister)
                at = i - before;
        QStringList seen;
        for (qsizetype i = before; i < rig.sent.size(); ++i)
            seen << QString::fromLatin1(rig.sent[i].toHex());
        QVERIFY2(at >= 0 && at <= 1, qPrintable(seen.join(u' ')));
        QVERIFY(rig.sent.size() - before > 3); // and the recording goes on
    }
    // The port closing ends the recording with a message, not a spin.
    QSignalSpy stopped(&rec, &Recording::stopped);
    rig.port.close();
    rig.pass(200);
    QCOMPARE(stopped.size(), 1);
    QVERIFY(stopped.first().first().toString().contains(QStringLiteral("port closed")));
    QVERIFY(!rec.running());
    QVERIFY(!rig.client.lineHeld());
}

// A recording closed while its read is on the line: the late answer finds
// nobody, the line is given back, and the next job's requests are answered.
void tst_recorder::goneWhileAReadIsOnTheLine()
{
    RecorderRig rig;
    {
        Recording rec(rig.client);
        Recording::Options o;
        o.drives = {1};
        o.values = {*RecordValues::byKey(QStringLiteral("current"))};
        QVERIFY(rec.start(o));
        rig.pass(3);
        QVERIFY(rig.link.AwaitingAnswer());
    }
    QVERIFY(!rig.client.lineHeld());
    const qsizetype before = rig.sent.size();
    rig.pass(100);
    QVERIFY(rig.sent.size() - before <= 1); // nothing more of the gone recording
    LinkResult got;
    rig.session->submit(LinkRequest::read(1, Rtu::StatusRegister),
                        [&](const LinkResult& r) { got = r; });
    rig.pass(100);
    QVERIFY(got.ok());
}

void tst_recorder::csvWrittenAndReadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ramp.csv"));
    RecorderRig rig;
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    Recording::Options o;
    o.drives = {1, 3};
    o.values = *RecordValues::parseKeys(QStringLiteral("freq-out,radiator-temp"));
    o.csvPath = path;
    QVERIFY(rec.start(o));
    rig.command(1, 0x12, QStringLiteral("50"));
    rig.pass(3000);
    // Killing the program now would lose nothing: every finished row is on disk.
    QFile early(path);
    QVERIFY(early.open(QIODevice::ReadOnly));
    QCOMPARE(early.readAll().count("\r\n"), rec.rowsWritten() + 1);
    rec.stop();

    QString error;
    const auto file = RecordCsv::read(path, &error);
    QVERIFY2(file, qPrintable(error));
    QCOMPARE(file->columns.first(), QStringLiteral("Drive 1 Output frequency (Hz)"));
    QCOMPARE(file->columns.at(1), QStringLiteral("Drive 1 Radiator temperature (°C)"));
    QCOMPARE(file->columns.size(), 8);
    QVERIFY(file->times.size() > 10);
    for (int i = 1; i < file->times.size(); ++i)
        QVERIFY(file->times[i - 1] < file->times[i]);
    QCOMPARE(file->times.first(), rig.base.toMSecsSinceEpoch());
    // The ramp: output frequency climbs and never goes down while accelerating.
    QVERIFY(file->values.last()[0] > file->values.first()[0]);
    QCOMPARE(file->texts.last()[2], QStringLiteral("Run FWD"));
    QCOMPARE(file->texts.last()[6], QStringLiteral("Stop"));
    // What made the file comes first, then the drives' own events.
    QVERIFY(file->events.size() >= 3);
    QVERIFY2(file->events.first().second.startsWith(QStringLiteral("Recorded by vfdtool ")) &&
                 file->events.first().second.endsWith(QStringLiteral(" at 9600,E,8,1, drives 1,3")),
             qPrintable(file->events.first().second));
    QVERIFY(file->events[1].second.startsWith(QStringLiteral("Drive 1: ")));

    // The raw text: a time stamp with milliseconds and the offset.
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    raw.readLine();
    QVERIFY(raw.readLine().startsWith("2026-03-01T12:00:00.000+01:00,\"Recorded by vfdtool"));

    // A file that is not a recording says which line is wrong.
    QFile bad(dir.filePath(QStringLiteral("bad.csv")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Time,Event,x\r\n2026-03-01T12:00:00.000+01:00,,1\r\nyesterday,,2\r\n");
    bad.close();
    QVERIFY(!RecordCsv::read(bad.fileName(), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Line 3:")), qPrintable(error));
}

void tst_recorder::fieldsThatNeedQuotes()
{
    const QStringList fields{QStringLiteral("a,b"), QStringLiteral("say \"hi\""),
                             QStringLiteral("two\nlines"), QString(), QStringLiteral("°C")};
    const QByteArray text = RecordCsv::line(fields) + RecordCsv::line({QStringLiteral("x")});
    QCOMPARE(text.left(12), QByteArray("\"a,b\",\"say \""));
    const auto records = RecordCsv::parse(QString::fromUtf8(text));
    QVERIFY(records);
    QCOMPARE(records->size(), 2);
    QCOMPARE(records->first(), fields);
    int line = 0;
    QVERIFY(!RecordCsv::parse(QStringLiteral("a\r\n\"open,\r\nb"), &line));
    QCOMPARE(line, 2);
}

// A disk that fills up stops the file; every row before stays whole.
// Opening a recording behind which there is no end (a device, a pipe whose
// writer keeps writing) is refused by what it is, never read.
void tst_recorder::endlessFileIsRefused()
{
    QTemporaryDir dir;
    EndlessPipe pipe(dir.filePath(QStringLiteral("pipe.csv")));
    QVERIFY(pipe.made());
    for (const QString& name : {QStringLiteral("/dev/zero"), pipe.path()}) {
        QString error;
        QVERIFY(!RecordCsv::read(name, &error));
        QVERIFY2(error.contains(name) && error.contains(u", not a file"), qPrintable(error));
    }
}

void tst_recorder::diskFull()
{
    QTemporaryDir dir;
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=12k"), QStringLiteral("tmpfs"), dir.path()});
    if (!mount.waitForFinished(5000) || mount.exitCode() != 0)
        QSKIP("No small tmpfs: mounting is not allowed here.");
    auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });

    RecorderRig rig;
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    QSignalSpy stopped(&rec, &Recording::stopped);
    Recording::Options o;
    o.drives = {1, 2, 3};
    o.values = *RecordValues::parseKeys(QStringLiteral("freq-out,current,voltage,dc-bus"));
    o.csvPath = dir.filePath(QStringLiteral("full.csv"));
    QVERIFY(rec.start(o));
    for (int i = 0; i < 200 && stopped.isEmpty(); ++i)
        rig.pass(500);
    QCOMPARE(stopped.size(), 1);
    QVERIFY(!rec.running());
    QVERIFY(stopped.first().first().toString().contains(QStringLiteral("Every row before")));
    QString error;
    const auto file = RecordCsv::read(o.csvPath, &error);
    QVERIFY2(file, qPrintable(error));
    QCOMPARE(file->times.size() + file->events.size(), rec.rowsWritten());
    QVERIFY(rec.rowsWritten() > 20);
    QFile raw(o.csvPath);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().endsWith("\r\n"));
}

// A trip writes the seconds before it and after it to a file of its own,
// without any CSV being recorded.
void tst_recorder::snapshotAroundTrip()
{
    QTemporaryDir dir;
    RecorderRig rig;
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    QSignalSpy written(&rec, &Recording::snapshotWritten);
    Recording::Options o;
    o.drives = {1, 2};
    o.values = {*RecordValues::byKey(QStringLiteral("freq-out"))};
    o.snapshotDir = dir.path();
    o.snapshotBeforeMs = 2000;
    o.snapshotAfterMs = 1000;
    QVERIFY(rec.start(o));
    rig.command(2, 0x12, QStringLiteral("40"));
    rig.pass(5000);
    QVERIFY(written.isEmpty());
    rig.drive(2).trip(3);
    const qint64 tripAt = rig.now().toMSecsSinceEpoch();
    rig.pass(3000);
    QCOMPARE(written.size(), 1);
    const QString path = written.first().first().toString();
    QVERIFY2(
        QFileInfo(path).fileName().startsWith(QStringLiteral("snapshot-drive2-OC-3-20260301-")),
        qPrintable(path));
    QString error;
    const auto file = RecordCsv::read(path, &error);
    QVERIFY2(file, qPrintable(error));
    // The drive stops as it trips: both marks, at the round that saw them.
    QCOMPARE(file->events.size(), 2);
    QCOMPARE(file->events[0].second, QStringLiteral("Drive 2: Stop"));
    QCOMPARE(file->events[1].second,
             QStringLiteral("Drive 2: trip OC-3:Overcurrent during Constant speed"));
    const qint64 seenAt = file->events[1].first;
    QVERIFY(seenAt >= tripAt && seenAt < tripAt + 200);
    QVERIFY(file->times.first() >= seenAt - 2000 && file->times.first() < seenAt - 1800);
    QVERIFY(file->times.last() >= seenAt + 1000 && file->times.last() < seenAt + 1200);
    QCOMPARE(rec.store().events().last().trip, true);
    rec.stop();
    QCOMPARE(written.size(), 1);
}

// A folder that is a file stops the recording before it asks anything; one
// that turns into a file later loses the trip's snapshot, which is said the
// moment it happens while the recording goes on.
void tst_recorder::snapshotThatCannotBeWritten()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("snaps"));
    auto fileInTheWay = [&] {
        QFile file(folder);
        return file.open(QIODevice::WriteOnly);
    };
    QVERIFY(fileInTheWay());
    RecorderRig rig;
    Recording rec(rig.client);
    rig.follow(rec.sampler());
    QSignalSpy failed(&rec, &Recording::snapshotFailed);
    Recording::Options o;
    o.drives = {2};
    o.values = {*RecordValues::byKey(QStringLiteral("freq-out"))};
    o.snapshotDir = folder;
    o.snapshotAfterMs = 1000;
    QVERIFY(!rec.start(o));
    QVERIFY2(rec.error().contains(QStringLiteral("is a file, not a folder")),
             qPrintable(rec.error()));
    rig.pass(500);
    QVERIFY(rig.sent.isEmpty());

    QVERIFY(QFile::remove(folder));
    QVERIFY2(rec.start(o), qPrintable(rec.error()));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QDir(folder).removeRecursively() && fileInTheWay());
    rig.pass(1000);
    rig.drive(2).trip(3);
    rig.pass(1500);
    QCOMPARE(failed.size(), 1);
    QVERIFY(rec.running());
    QCOMPARE(rec.snapshotsLost(), 1);
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("snapshot-drive2-OC-3-")),
             qPrintable(failed.first().first().toString()));
}

void tst_recorder::decimationKeepsPeaksAndGaps()
{
    TraceStore s;
    s.reset({QStringLiteral("a")});
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        double v = std::sin(i / 1000.0);
        if (i == 123457)
            v = 9; // one spike
        if (i >= 150000 && i < 150010)
            v = std::nan(""); // no answer for a while
        s.append(i * 0.1, {v});
    }
    const QList<QPointF> pts = s.decimated(0, 0, n * 0.1, 800);
    QVERIFY(pts.size() <= 800 * 5 + 2);
    double top = -1e9, bottom = 1e9;
    int gaps = 0;
    for (const QPointF& p : pts) {
        if (std::isnan(p.y())) {
            ++gaps;
            continue;
        }
        top = std::max(top, p.y());
        bottom = std::min(bottom, p.y());
    }
    QCOMPARE(top, 9.0);
    QVERIFY(bottom < -0.999);
    QCOMPARE(gaps, 1);
    for (int i = 1; i < pts.size(); ++i)
        QVERIFY(pts[i - 1].x() <= pts[i].x());
    // Zoomed in far enough, every sample is drawn as it is.
    const QList<QPointF> close = s.decimated(0, 100, 110, 800);
    QCOMPARE(close.size(), 103);
}

void tst_recorder::marksMerge()
{
    TraceStore s;
    s.reset({});
    s.addEvent(10, QStringLiteral("Drive 1: Run"), false);
    s.addEvent(10.5, QStringLiteral("Drive 1: trip OC-1"), true);
    s.addEvent(40, QStringLiteral("Drive 1: Stop"), false);
    const auto wide = s.marks(0, 100, 2);
    QCOMPARE(wide.size(), 2);
    QCOMPARE(wide[0].text, QStringLiteral("Drive 1: Run; Drive 1: trip OC-1"));
    QVERIFY(wide[0].trip);
    QVERIFY(!wide[1].trip);
    QCOMPARE(s.marks(0, 100, 0.1).size(), 3);
    QCOMPARE(s.marks(20, 100, 0.1).size(), 1);
}

QTEST_GUILESS_MAIN(tst_recorder)
#include "tst_recorder.moc"
