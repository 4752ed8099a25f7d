// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl through a serial-to-Ethernet gateway: every command against vfdsim
// serving on a loopback TCP port, and every command against gateways that
// cannot be reached, each of which must say why.
#include "CtlProcess.h"
#include "DeadGateways.h"
#include "ParamSetFile.h"
#include "RecordCsv.h"
#include "SimProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

namespace {

// Fast enough that a whole drive is read in well under a second.
const QString kSettings = QStringLiteral("115200,E,8,1");

} // namespace

class tst_ctlgateway : public QObject
{
    Q_OBJECT
private slots:
    void everyCommandOverAGateway();
    void unreachableGatewaySaysWhy_data();
    void unreachableGatewaySaysWhy();
    void gatewayLostMidRecordingSaysWhy();
};

void tst_ctlgateway::everyCommandOverAGateway()
{
    SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--drives"),
                    QStringLiteral("1,2"), QStringLiteral("--settings"), kSettings},
                   false);
    QVERIFY2(sim.device().startsWith(u"tcp://127.0.0.1:"), qPrintable(sim.device()));
    auto ctl = [&](const QStringList& command) {
        return runVfdctl(QStringList{QStringLiteral("--port"), sim.device(),
                                     QStringLiteral("--settings"), kSettings} +
                         command);
    };
    QTemporaryDir dir;

    const CtlRun scan = ctl({QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"),
                             QStringLiteral("--to"), QStringLiteral("3")});
    QVERIFY2(scan.code == 0, qPrintable(scan.out + scan.err));
    QVERIFY2(scan.out.contains(QStringLiteral("2 drive(s) answered of addresses 1..3")),
             qPrintable(scan.out));

    const CtlRun search = ctl({QStringLiteral("find-settings"), QStringLiteral("--from"),
                               QStringLiteral("1"), QStringLiteral("--to"), QStringLiteral("2")});
    QVERIFY2(search.code == 0, qPrintable(search.out + search.err));
    QVERIFY2(search.out.startsWith(QStringLiteral("Drive 1 answers at")), qPrintable(search.out));

    const QString file = dir.filePath(QStringLiteral("drive1.csv"));
    const CtlRun backup = ctl({QStringLiteral("backup"), QStringLiteral("1"), file});
    QVERIFY2(backup.code == 0, qPrintable(backup.out + backup.err));
    const auto saved = ParamSetFile::Load(file).set;
    QVERIFY(saved);
    QCOMPARE(saved->values.size(), 185);
    for (const ParamValue& v : saved->values)
        QVERIFY(v.state != ParamValue::State::NoAnswer);

    const CtlRun same = ctl({QStringLiteral("compare"), QStringLiteral("1"), file});
    QVERIFY2(same.code == 0, qPrintable(same.out + same.err));
    QCOMPARE(same.out.trimmed(), QStringLiteral("0 differences"));

    // P0.14 changed in the file: restored to drive 1, cloned to drive 2.
    ParamSet changed = *saved;
    const quint16 other = saved->raw(0x000E) == std::optional<quint16>(250) ? 251 : 250;
    changed.values[0x000E] = {ParamValue::State::Value, other};
    const QString changedFile = dir.filePath(QStringLiteral("changed.csv"));
    QCOMPARE(ParamSetFile::Save(changed, changedFile), QString());
    const CtlRun restore =
        ctl({QStringLiteral("restore"), QStringLiteral("1"), changedFile, QStringLiteral("--yes")});
    QVERIFY2(restore.code == 0, qPrintable(restore.out + restore.err));
    QVERIFY2(restore.out.contains(QStringLiteral("1 of 1 written and verified")),
             qPrintable(restore.out));

    const CtlRun clone =
        ctl({QStringLiteral("clone"), changedFile, QStringLiteral("2"), QStringLiteral("--yes")});
    QVERIFY2(clone.code == 0, qPrintable(clone.out + clone.err));
    QVERIFY2(clone.out.contains(QStringLiteral("Drive 2 verified: 0 differences left.")),
             qPrintable(clone.out));

    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    const CtlRun record =
        ctl({QStringLiteral("record"), QStringLiteral("1,2"), QStringLiteral("--values"),
             QStringLiteral("freq-out"), QStringLiteral("--duration"), QStringLiteral("1s"),
             QStringLiteral("-o"), csv});
    QVERIFY2(record.code == 0, qPrintable(record.out + record.err));
    const auto recorded = RecordCsv::read(csv, nullptr);
    QVERIFY(recorded);
    QVERIFY(!recorded->times.isEmpty());
    for (const QList<double>& row : recorded->values)
        QVERIFY(!std::isnan(row.value(0)) && !std::isnan(row.value(3)));
}

void tst_ctlgateway::unreachableGatewaySaysWhy_data()
{
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("reason");
    QTest::newRow("refused") << QStringLiteral("refused")
                             << QStringLiteral("refused the connection");
    // Spaces make it no host name at all, so no resolver is ever asked; and it
    // lies under a domain reserved never to exist.
    QTest::newRow("unknown host") << QStringLiteral("tcp://no such gateway.invalid:502")
                                  << QStringLiteral("\"no such gateway.invalid\" is not known");
    QTest::newRow("never answers")
        << QStringLiteral("deaf") << QStringLiteral("No answer from 127.0.0.1:%1 within 3 s");
}

void tst_ctlgateway::unreachableGatewaySaysWhy()
{
    QFETCH(QString, gateway);
    QFETCH(QString, reason);
    DeafListener deaf;
    if (gateway == u"refused") {
        gateway = QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort());
    } else if (gateway == u"deaf") {
        QVERIFY(deaf.port() != 0);
        gateway = QStringLiteral("tcp://127.0.0.1:%1").arg(deaf.port());
        reason = reason.arg(deaf.port());
    }
    QTemporaryDir dir;
    ParamSet set;
    set.values.insert(0x000E, {ParamValue::State::Value, 250});
    const QString file = dir.filePath(QStringLiteral("set.csv"));
    QCOMPARE(ParamSetFile::Save(set, file), QString());
    const QString backupFile = dir.filePath(QStringLiteral("backup.csv"));
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    const QList<QStringList> commands{
        {QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"),
         QStringLiteral("--to"), QStringLiteral("2")},
        {QStringLiteral("find-settings"), QStringLiteral("--from"), QStringLiteral("1"),
         QStringLiteral("--to"), QStringLiteral("1")},
        {QStringLiteral("backup"), QStringLiteral("1"), backupFile},
        {QStringLiteral("compare"), QStringLiteral("1"), file},
        {QStringLiteral("restore"), QStringLiteral("1"), file, QStringLiteral("--yes")},
        {QStringLiteral("clone"), file, QStringLiteral("1"), QStringLiteral("2"),
         QStringLiteral("--yes")},
        {QStringLiteral("record"), QStringLiteral("1"), QStringLiteral("--values"),
         QStringLiteral("freq-out"), QStringLiteral("--duration"), QStringLiteral("10s"),
         QStringLiteral("-o"), csv},
    };
    QList<QStringList> runs;
    for (const QStringList& command : commands)
        runs << QStringList{QStringLiteral("--port"), gateway} + command;
    // Together: each waits out the same connect time-out.
    const QList<CtlRun> results = runVfdctlTogether(runs);
    for (qsizetype i = 0; i < results.size(); ++i) {
        const CtlRun& r = results[i];
        const QString what =
            commands[i].first() + QStringLiteral(" %1\n").arg(r.code) + r.out + r.err;
        QVERIFY2(r.code == 2, qPrintable(what));
        QVERIFY2(r.err.contains(QStringLiteral("could not be opened: ")) && r.err.contains(reason),
                 qPrintable(what));
        // Nothing was asked, so nothing is reported of any drive.
        QVERIFY2(r.out.isEmpty(), qPrintable(what));
        QCOMPARE(r.err.count(u'\n'), 1);
    }
    QVERIFY(!QFile::exists(backupFile));
    QVERIFY(!QFile::exists(csv));
}

void tst_ctlgateway::gatewayLostMidRecordingSaysWhy()
{
    SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0")}, false);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    CtlProcess record({QStringLiteral("--port"), sim.device(), QStringLiteral("record"),
                       QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("freq-out"),
                       QStringLiteral("--duration"), QStringLiteral("30s"), QStringLiteral("-o"),
                       csv});
    // Samples are coming in; then the gateway goes.
    QTRY_VERIFY_WITH_TIMEOUT(
        RecordCsv::read(csv, nullptr).value_or(RecordedFile{}).times.size() >= 2, 15000);
    sim.kill();
    const CtlRun r = record.finish(15000);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("closed the connection")), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(tst_ctlgateway)
#include "tst_ctlgateway.moc"
