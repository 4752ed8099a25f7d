// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl's single values and run commands end to end: vfdsim on a
// pseudo-terminal as the drives, what vfdctl reports checked against what
// the simulator heard.
#include "CtlProcess.h"
#include "SimProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

CtlRun vfdctl(const SimProcess& sim, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--port"), sim.device()} + arguments);
}

// Command codes of the control writes the simulator heard for a drive, in order.
QList<int> commandsHeard(SimProcess& sim, int address)
{
    const QString start = QStringLiteral("%1 10 20 00 ").arg(address, 2, 16, QLatin1Char('0'));
    QList<int> codes;
    for (const QString& frame : sim.traffic(QStringLiteral("<- "))) {
        if (frame.startsWith(start, Qt::CaseInsensitive))
            codes << frame.split(u' ').value(8).toInt(nullptr, 16);
    }
    return codes;
}

int writesHeard(SimProcess& sim, int address)
{
    const QString start = QStringLiteral("%1 06 ").arg(address, 2, 16, QLatin1Char('0'));
    int count = 0;
    for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
        count += frame.startsWith(start, Qt::CaseInsensitive);
    return count;
}

QJsonObject jsonOf(const CtlRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

} // namespace

class tst_fieldkit : public QObject
{
    Q_OBJECT
private slots:
    void setChecksEverythingBeforeSending();
    void setWritesReadsBackAndGetShowsIt();
    void statusAndRunSayWhenADriveIgnoresTheLine();
    void runRepeatsTheCommandAndEndsWithStop();
    void ctrlCStopsARunningDrive();
    void faultsShowTheStoredRecords();
    void watchWritesJsonLines();
    void lineCommandsAnswerInJson();
};

void tst_fieldkit::setChecksEverythingBeforeSending()
{
    SimProcess sim;
    // Each of these is refused before the line is touched: nothing is written,
    // not even the values given before the bad one.
    const QList<QStringList> refused{
        {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P0.14=10"),
         QStringLiteral("P0.14=99999")}, // above its limit
        {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P0.00=0.6")}, // between steps
        {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P8.00=5")},   // own address
        {QStringLiteral("set"), QStringLiteral("0"), QStringLiteral("P0.14=10")},  // broadcast
        {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P0.99=1")},   // no such
        {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P0.14")},     // no value
        {QStringLiteral("get"), QStringLiteral("32"), QStringLiteral("P0.14")},
    };
    for (const QStringList& args : refused) {
        const CtlRun run = vfdctl(sim, args);
        QVERIFY2(run.code == 2, qPrintable(args.join(u' ') + u'\n' + run.err));
        QVERIFY2(!run.err.isEmpty(), qPrintable(args.join(u' ')));
    }
    QCOMPARE(writesHeard(sim, 1), 0);
    QCOMPARE(sim.traffic(QStringLiteral("<- ")).size(), 0);
}

void tst_fieldkit::setWritesReadsBackAndGetShowsIt()
{
    SimProcess sim;
    const CtlRun set = vfdctl(sim, {QStringLiteral("set"), QStringLiteral("2"),
                                    QStringLiteral("p0.14=12.5"), QStringLiteral("P0.15=7")});
    QVERIFY2(set.code == 0, qPrintable(set.out + set.err));
    QVERIFY2(set.out.contains(QStringLiteral("P0.14 = 12.5")), qPrintable(set.out));
    QCOMPARE(writesHeard(sim, 2), 2);

    const CtlRun get =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("get"), QStringLiteral("2"),
                     QStringLiteral("P0.14"), QStringLiteral("P0.15")});
    QCOMPARE(get.code, 0);
    const QJsonArray params = jsonOf(get).value(QStringLiteral("parameters")).toArray();
    QCOMPARE(params.size(), 2);
    QCOMPARE(params[0].toObject().value(QStringLiteral("value")).toString(),
             QStringLiteral("12.5"));
    QCOMPARE(params[1].toObject().value(QStringLiteral("value")).toString(), QStringLiteral("7"));
    QCOMPARE(jsonOf(get).value(QStringLiteral("exit")).toInt(), 0);

    // Quiet: the values alone, one a line, for a script.
    const CtlRun quiet = vfdctl(sim, {QStringLiteral("--quiet"), QStringLiteral("get"),
                                      QStringLiteral("2"), QStringLiteral("P0.14")});
    QCOMPARE(quiet.out, QStringLiteral("12.5\n"));

    // A drive that is not there: no answer said, exit 1.
    const CtlRun absent =
        vfdctl(sim, {QStringLiteral("get"), QStringLiteral("9"), QStringLiteral("P0.14")});
    QCOMPARE(absent.code, 1);
    QVERIFY(absent.err.contains(QStringLiteral("no answer")));
}

void tst_fieldkit::statusAndRunSayWhenADriveIgnoresTheLine()
{
    SimProcess sim({QStringLiteral("--factory-sources"), QStringLiteral("2")});
    const CtlRun status = vfdctl(sim, {QStringLiteral("status"), QStringLiteral("1,2")});
    QCOMPARE(status.code, 0);
    const QStringList lines = status.out.split(u'\n');
    QVERIFY2(lines.value(0).startsWith(QStringLiteral("Drive 1: Stop, forward, Normal")),
             qPrintable(status.out));
    QVERIFY2(!status.out.contains(QStringLiteral("drive 1 will")), qPrintable(status.out));
    QVERIFY2(status.out.contains(QStringLiteral("drive 2 will ignore run commands from the line: "
                                                "P0.04 = 0 (keypad)")),
             qPrintable(status.out));
    QVERIFY(status.out.contains(QStringLiteral("P0.01 = 1")));

    // Said before the run, and the simulated drive indeed does not run.
    const CtlRun run =
        vfdctl(sim, {QStringLiteral("run"), QStringLiteral("2"), QStringLiteral("--fwd"),
                     QStringLiteral("--hz"), QStringLiteral("20"), QStringLiteral("--for"),
                     QStringLiteral("1s")});
    QVERIFY2(run.err.contains(QStringLiteral("drive 2 will ignore run commands")),
             qPrintable(run.err));
    QVERIFY(!sim.traffic(QStringLiteral("## drive 2 ignores the run command")).isEmpty());
}

void tst_fieldkit::runRepeatsTheCommandAndEndsWithStop()
{
    SimProcess sim;
    // Above the drive's upper limit (P0.06, 50 Hz): refused, nothing sent.
    const CtlRun tooFast =
        vfdctl(sim, {QStringLiteral("run"), QStringLiteral("1"), QStringLiteral("--fwd"),
                     QStringLiteral("--hz"), QStringLiteral("60")});
    QCOMPARE(tooFast.code, 2);
    QVERIFY2(tooFast.err.contains(QStringLiteral("upper limit")), qPrintable(tooFast.err));
    QVERIFY(commandsHeard(sim, 1).isEmpty());

    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("run"), QStringLiteral("1"),
                     QStringLiteral("--rev"), QStringLiteral("--hz"), QStringLiteral("25"),
                     QStringLiteral("--for"), QStringLiteral("2s")});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
    const QList<int> codes = commandsHeard(sim, 1);
    // Repeated while it lasted (every 0.5 s over 2 s), then one STOP, last.
    QVERIFY2(codes.count(0x22) >= 3, qPrintable(QString::number(codes.count(0x22))));
    QCOMPARE(codes.last(), 0x01);
    QCOMPARE(codes.count(0x01), 1);
    const QJsonObject report = jsonOf(run);
    QCOMPARE(report.value(QStringLiteral("ended")).toString(), QStringLiteral("time up"));
    QCOMPARE(report.value(QStringLiteral("stopAnswered")).toBool(), true);
}

void tst_fieldkit::ctrlCStopsARunningDrive()
{
    SimProcess sim;
    CtlProcess ctl({QStringLiteral("--port"), sim.device(), QStringLiteral("run"),
                    QStringLiteral("3"), QStringLiteral("--fwd"), QStringLiteral("--hz"),
                    QStringLiteral("30")});
    QTRY_VERIFY_WITH_TIMEOUT(commandsHeard(sim, 3).count(0x12) >= 2, 20000);
    ctl.signal(SIGINT);
    const CtlRun run = ctl.finish(20000);
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
    const QList<int> codes = commandsHeard(sim, 3);
    QCOMPARE(codes.last(), 0x01);
    QVERIFY2(run.out.contains(QStringLiteral("stopped by the user")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("Drive 3: ")), qPrintable(run.out));

    // The same with the drive gone mid-run: the command ends by itself, says
    // so, and exits 1.
    CtlProcess lost({QStringLiteral("--port"), sim.device(), QStringLiteral("run"),
                     QStringLiteral("3"), QStringLiteral("--fwd"), QStringLiteral("--hz"),
                     QStringLiteral("30")});
    QTRY_VERIFY_WITH_TIMEOUT(commandsHeard(sim, 3).count(0x12) >= 4, 20000);
    sim.kill();
    const CtlRun cut = lost.finish(30000);
    QCOMPARE(cut.code, 1);
}

void tst_fieldkit::faultsShowTheStoredRecords()
{
    SimProcess sim({QStringLiteral("--trip"), QStringLiteral("1:11")});
    const CtlRun faults =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("faults"), QStringLiteral("1")});
    QCOMPARE(faults.code, 0);
    const QJsonArray records = jsonOf(faults).value(QStringLiteral("records")).toArray();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].toObject().value(QStringLiteral("number")).toInt(), 11);
    QVERIFY(!records[0].toObject().value(QStringLiteral("text")).toString().isEmpty());
    QCOMPARE(jsonOf(faults).value(QStringLiteral("atLastFault")).toArray().size(), 6);

    const CtlRun status = vfdctl(sim, {QStringLiteral("status"), QStringLiteral("1")});
    QVERIFY2(!status.out.contains(QStringLiteral("Normal")), qPrintable(status.out));
}

void tst_fieldkit::watchWritesJsonLines()
{
    SimProcess sim;
    const CtlRun watch =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("watch"), QStringLiteral("1,2,7"),
                     QStringLiteral("--values"), QStringLiteral("freq-out,dc-bus"),
                     QStringLiteral("--count"), QStringLiteral("2"), QStringLiteral("--interval"),
                     QStringLiteral("200ms")});
    QCOMPARE(watch.code, 0);
    const QStringList lines = watch.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7); // three drives, two rounds, then the exit status
    QCOMPARE(QJsonDocument::fromJson(lines.last().toUtf8()).object().value(u"exit").toInt(-1), 0);
    for (const QString& line : lines.mid(0, 6)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        const int drive = o.value(QStringLiteral("drive")).toInt();
        QVERIFY(drive == 1 || drive == 2 || drive == 7);
        if (drive == 7) {
            QCOMPARE(o.value(QStringLiteral("state")).toString(), QStringLiteral("no answer"));
            QVERIFY(o.value(QStringLiteral("dc-bus")).isNull());
        } else {
            QVERIFY(o.value(QStringLiteral("dc-bus")).toDouble() > 100);
        }
    }
}

void tst_fieldkit::lineCommandsAnswerInJson()
{
    SimProcess sim;
    const CtlRun scan =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("scan"), QStringLiteral("--from"),
                     QStringLiteral("1"), QStringLiteral("--to"), QStringLiteral("4")});
    QCOMPARE(scan.code, 0);
    const QJsonObject found = jsonOf(scan);
    QCOMPARE(found.value(QStringLiteral("exit")).toInt(), 0);
    const QJsonArray drives = found.value(QStringLiteral("drives")).toArray();
    QCOMPARE(drives.size(), 3); // the simulator's drives 1..3; 4 is silent
    QCOMPARE(drives[2].toObject().value(QStringLiteral("drive")).toInt(), 3);
    QVERIFY(drives[0].toObject().value(QStringLiteral("edition")).toDouble() > 0);

    const CtlRun search = vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("find-settings"),
                                       QStringLiteral("--from"), QStringLiteral("2"),
                                       QStringLiteral("--to"), QStringLiteral("2")});
    QCOMPARE(search.code, 0);
    // A pseudo-terminal has no baud rate: the first setting tried is answered.
    QVERIFY(jsonOf(search).value(QStringLiteral("found")).toBool());
    QVERIFY(jsonOf(search).value(QStringLiteral("settings")).toString().contains(u','));
    QCOMPARE(jsonOf(search).value(QStringLiteral("drive")).toInt(), 2);

    // record: a line per drive and round, the silent drive's values null, its
    // silence an event, and a last line whose rounds match the lines written.
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    const CtlRun record = vfdctl(
        sim, {QStringLiteral("--json"), QStringLiteral("record"), QStringLiteral("1,7"),
              QStringLiteral("--values"), QStringLiteral("freq-out,dc-bus"),
              QStringLiteral("--interval"), QStringLiteral("300ms"), QStringLiteral("--duration"),
              QStringLiteral("1500ms"), QStringLiteral("-o"), csv});
    QVERIFY2(record.code == 0, qPrintable(record.err));
    const QStringList lines = record.out.split(u'\n', Qt::SkipEmptyParts);
    int rows = 0, silentEvents = 0;
    for (const QString& line : lines.mid(0, lines.size() - 1)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        QVERIFY2(!o.isEmpty(), qPrintable(line));
        if (o.contains(QStringLiteral("event"))) {
            silentEvents += o.value(QStringLiteral("kind")).toString() == u"no-answer";
            continue;
        }
        ++rows;
        const bool silent = o.value(QStringLiteral("drive")).toInt() == 7;
        QCOMPARE(o.value(QStringLiteral("dc-bus")).isNull(), silent);
        QCOMPARE(o.value(QStringLiteral("state")).toString() == u"no answer", silent);
    }
    const QJsonObject last = QJsonDocument::fromJson(lines.last().toUtf8()).object();
    QCOMPARE(last.value(QStringLiteral("exit")).toInt(), 0);
    QCOMPARE(last.value(QStringLiteral("csv")).toString(), csv);
    QVERIFY(last.value(QStringLiteral("rounds")).toInt() >= 2);
    QCOMPARE(rows, 2 * last.value(QStringLiteral("rounds")).toInt());
    QCOMPARE(silentEvents, 1);
}

QTEST_GUILESS_MAIN(tst_fieldkit)
#include "tst_fieldkit.moc"
