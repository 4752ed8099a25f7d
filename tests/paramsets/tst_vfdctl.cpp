// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl end to end: vfdsim on a pseudo-terminal, vfdctl and mbpoll as the
// programs a production line would run.
#include "CtlProcess.h"
#include "ParamSetFile.h"
#include "SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

CtlRun vfdctl(const QString& device, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--port"), device} + arguments);
}

} // namespace

class tst_vfdctl : public QObject
{
    Q_OBJECT
private slots:
    void compareFindsExactlyWhatChangedBehindItsBack();
    void driveLostMidRestore();
    void badFileWritesNothing();
    void scanAndRecordRunOnTheSamePort();
};

void tst_vfdctl::compareFindsExactlyWhatChangedBehindItsBack()
{
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        QSKIP("mbpoll is not installed");
    SimProcess sim;
    QVERIFY(!sim.device().isEmpty());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drive1.csv"));
    const CtlRun backup =
        vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"), file});
    QCOMPARE(backup.code, 0);
    QCOMPARE(ParamSetFile::Load(file).set->values.size(), 185);

    // P0.14, P2.05 and P5.03 changed by another Modbus master.
    for (const auto& [reg, value] : {std::pair{14, 250}, {0x0205, 1}, {0x0503, 150}}) {
        QProcess m;
        m.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-b9600"),
                         QStringLiteral("-Peven"), QStringLiteral("-a1"), QStringLiteral("-0"),
                         QStringLiteral("-r%1").arg(reg), QStringLiteral("-t4"),
                         QStringLiteral("-1"), sim.device(), QString::number(value)});
        QVERIFY(m.waitForFinished(15000));
        QCOMPARE(m.exitCode(), 0);
    }
    const CtlRun compare =
        vfdctl(sim.device(), {QStringLiteral("compare"), QStringLiteral("1"), file});
    QCOMPARE(compare.code, 1);
    QStringList listed;
    for (const QString& line : compare.out.split(u'\n', Qt::SkipEmptyParts))
        listed << line.section(u'\t', 0, 0);
    QCOMPARE(listed, QStringList({QStringLiteral("P0.14"), QStringLiteral("P2.05"),
                                  QStringLiteral("P5.03"), QStringLiteral("3 differences")}));

    const CtlRun restore = vfdctl(sim.device(), {QStringLiteral("restore"), QStringLiteral("1"),
                                                 file, QStringLiteral("--yes")});
    QCOMPARE(restore.code, 0);
    QVERIFY2(restore.out.contains(QStringLiteral("3 of 3 written and verified")),
             qPrintable(restore.out + restore.err));
    const CtlRun again =
        vfdctl(sim.device(), {QStringLiteral("compare"), QStringLiteral("1"), file});
    QVERIFY2(again.code == 0, qPrintable(again.out + again.err));
    QCOMPARE(again.out.trimmed(), QStringLiteral("0 differences"));
}

void tst_vfdctl::driveLostMidRestore()
{
    SimProcess sim;
    QTemporaryDir dir;
    // A set far from the drive's: forty parameters to write.
    ParamSet wanted;
    for (int index = 0; index < 10; ++index) {
        wanted.values.insert(quint16(0x0200 | (index + 22)), {ParamValue::State::Value, 300});
        wanted.values.insert(quint16(0x0600 | index), {ParamValue::State::Value, 1});
    }
    const QString file = dir.filePath(QStringLiteral("far.csv"));
    QCOMPARE(ParamSetFile::Save(wanted, file), QString());
    QProcess ctl;
    ctl.start(QStringLiteral(VFDCTL_PATH),
              {QStringLiteral("--port"), sim.device(), QStringLiteral("restore"),
               QStringLiteral("1"), file, QStringLiteral("--yes")});
    // Once the third write has been heard, the simulator is gone.
    QTRY_VERIFY_WITH_TIMEOUT(
        sim.traffic(QStringLiteral("<- ")).filter(QStringLiteral("01 06 ")).size() >= 3, 30000);
    sim.kill();
    QVERIFY(ctl.waitForFinished(30000));
    const QString out = QString::fromUtf8(ctl.readAllStandardOutput());
    QCOMPARE(ctl.exitCode(), 1);
    QVERIFY2(out.contains(QStringLiteral("stopped answering")), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral(": not written")));
    QVERIFY(!out.contains(QStringLiteral("20 of 20")));
}

void tst_vfdctl::badFileWritesNothing()
{
    SimProcess sim;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bad.csv"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Parameter,Name,Value,Raw,Resolution,Minimum,Maximum,Default\r\n"
            "P0.03,Run Frequency setting,450,,0.01Hz,0.00,400,50.00Hz\r\n");
    f.close();
    const CtlRun r = vfdctl(sim.device(), {QStringLiteral("restore"), QStringLiteral("1"), file,
                                           QStringLiteral("--yes")});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QStringLiteral("line 2: P0.03: value 450 lies outside")),
             qPrintable(r.err));
    QVERIFY(sim.traffic(QStringLiteral("<- ")).isEmpty());
}

void tst_vfdctl::scanAndRecordRunOnTheSamePort()
{
    // The line-health and recorder commands take their own words after the
    // command name; the options before it still pick the port.
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1,4")});
    QVERIFY(!sim.device().isEmpty());
    const CtlRun scan =
        vfdctl(sim.device(), {QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"),
                              QStringLiteral("--to"), QStringLiteral("5")});
    QCOMPARE(scan.code, 0);
    QStringList found;
    for (const QString& line : scan.out.split(u'\n').mid(1))
        if (line.contains(u'\t'))
            found << line.section(u'\t', 0, 0);
    QCOMPARE(found, (QStringList{QStringLiteral("1"), QStringLiteral("4")}));

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    const CtlRun record = vfdctl(
        sim.device(), {QStringLiteral("record"), QStringLiteral("4"), QStringLiteral("--values"),
                       QStringLiteral("freq-out"), QStringLiteral("--duration"),
                       QStringLiteral("1s"), QStringLiteral("-o"), csv});
    QVERIFY2(record.code == 0, qPrintable(record.out + record.err));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readLine().contains("Drive 4 Output frequency (Hz)"));
    // A command word it does not know is still refused with the usage.
    const CtlRun bad = vfdctl(sim.device(), {QStringLiteral("sweep")});
    QCOMPARE(bad.code, 2);
    QVERIFY(bad.err.contains(u"record ADDRESS"));
}

QTEST_GUILESS_MAIN(tst_vfdctl)
#include "tst_vfdctl.moc"
