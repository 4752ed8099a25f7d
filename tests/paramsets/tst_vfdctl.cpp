// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl end to end: vfdsim on a pseudo-terminal, vfdctl and mbpoll as the
// programs a production line would run.
#include "CtlProcess.h"
#include "ParamSetFile.h"
#include "ReadOnlyFolder.h"
#include "SimProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

CtlRun vfdctl(const QString& device, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--port"), device} + arguments);
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A backup of drive 1 that loses its drive part of the way: the simulator
// is gone once twenty reads have been heard. The drive takes single reads
// only, so that twenty reads are a part of the way (in blocks they would be
// nearly all of it).
CtlRun backupCutShort(const QString& file, const QStringList& extra)
{
    SimProcess sim({QStringLiteral("--single-reads"), QStringLiteral("1")});
    QProcess ctl;
    ctl.start(QStringLiteral(VFDCTL_PATH),
              QStringList{QStringLiteral("--port"), sim.device(), QStringLiteral("backup"),
                          QStringLiteral("1"), file} +
                  extra);
    ctl.closeWriteChannel();
    const bool underway = QTest::qWaitFor(
        [&] {
            return sim.traffic(QStringLiteral("<- ")).filter(QStringLiteral("01 03 ")).size() >= 20;
        },
        30000);
    sim.kill();
    if (!underway)
        ctl.kill();
    if (!ctl.waitForFinished(30000))
        ctl.kill();
    return {ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1,
            QString::fromUtf8(ctl.readAllStandardOutput()),
            QString::fromUtf8(ctl.readAllStandardError())};
}

} // namespace

class tst_vfdctl : public QObject
{
    Q_OBJECT
private slots:
    void compareFindsExactlyWhatChangedBehindItsBack();
    void driveLostMidRestore();
    void badFileWritesNothing();
    void aRunningDriveIsRefusedBeforeTheQuestion();
    void scanAndRecordRunOnTheSamePort();
    void backupOfSilentDriveWritesNothing();
    void backupChecksTheFolderBeforeReading();
    void shorterBackupReplacesOnlyWhenForced();
    void cloneOfMatchingDrivesAsksNothing();
    void ctrlCDuringCloneSaysWhatWasWritten();
    void recordKeepsEveryRecording();
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
    // Once the third write has been heard, the simulator halts: its line is
    // still there, but nothing answers a write that goes out from now on.
    QTRY_VERIFY_WITH_TIMEOUT(
        sim.traffic(QStringLiteral("<- ")).filter(QStringLiteral("01 06 ")).size() >= 3, 30000);
    ::kill(pid_t(sim.process().processId()), SIGSTOP);
    QVERIFY(ctl.waitForFinished(30000));
    const QStringList heard = sim.traffic(QStringLiteral("<- ")).filter(QStringLiteral("01 06 "));
    sim.kill();
    const QString out = QString::fromUtf8(ctl.readAllStandardOutput());
    QCOMPARE(ctl.exitCode(), 1);
    QVERIFY2(out.contains(QStringLiteral("stopped answering")), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral(": not written")));
    QVERIFY(!out.contains(QStringLiteral("20 of 20")));
    // No write the drive heard is said to be unwritten.
    static const QRegularExpression notWritten(
        QStringLiteral("P(\\d+)\\.(\\d+) = [^:]*: not written"));
    for (auto m = notWritten.globalMatch(out); m.hasNext();) {
        const QRegularExpressionMatch one = m.next();
        const QString frame = QStringLiteral("01 06 %1 %2")
                                  .arg(one.captured(1).toInt(), 2, 16, QLatin1Char('0'))
                                  .arg(one.captured(2).toInt(), 2, 16, QLatin1Char('0'));
        QVERIFY2(heard.filter(frame, Qt::CaseInsensitive).isEmpty(), qPrintable(frame));
    }
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

// A drive left running (its vfdctl killed outright, so no STOP went out) is
// refused before the question about writing to it, not after its "yes".
void tst_vfdctl::aRunningDriveIsRefusedBeforeTheQuestion()
{
    SimProcess sim;
    QTemporaryDir dir;
    QCOMPARE(vfdctl(sim.device(), {QStringLiteral("set"), QStringLiteral("1"),
                                   QStringLiteral("P8.02=0"), QStringLiteral("--yes")})
                 .code,
             0); // no communication time-out: it runs until told to stop
    CtlProcess run({QStringLiteral("--port"), sim.device(), QStringLiteral("run"),
                    QStringLiteral("1"), QStringLiteral("--fwd"), QStringLiteral("--hz"),
                    QStringLiteral("10"), QStringLiteral("--for"), QStringLiteral("60s"),
                    QStringLiteral("--yes")});
    QTRY_VERIFY_WITH_TIMEOUT(
        !sim.traffic(QStringLiteral("<- ")).filter(QStringLiteral("01 10 20 00")).isEmpty(), 30000);
    run.signal(SIGKILL);
    QCOMPARE(run.finish().code, -1);
    auto writesHeard = [&] {
        return sim.traffic(QStringLiteral("<- "))
            .filter(QRegularExpression(QStringLiteral("^01 06 ")))
            .size();
    };
    const qsizetype writesBefore = writesHeard(); // P8.02's

    ParamSet wanted;
    wanted.values.insert(0x000E, {ParamValue::State::Value, 250});
    const QString file = dir.filePath(QStringLiteral("one.csv"));
    QCOMPARE(ParamSetFile::Save(wanted, file), QString());
    const CtlRun restore =
        vfdctl(sim.device(), {QStringLiteral("restore"), QStringLiteral("1"), file});
    const QString said = restore.out + restore.err;
    QCOMPARE(restore.code, 1);
    QVERIFY2(said.contains(QStringLiteral("Drive 1 reports \"Run\": stop it before writing")),
             qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("Write 1 parameter")), qPrintable(said));
    QCOMPARE(writesHeard(), writesBefore);
    // Nor does clone ask about a target that runs.
    const CtlRun asked = vfdctl(sim.device(), {QStringLiteral("clone"), file, QStringLiteral("1")});
    QCOMPARE(asked.code, 1);
    QVERIFY2(!(asked.out + asked.err).contains(QStringLiteral("as listed?")),
             qPrintable(asked.out + asked.err));
    QVERIFY((asked.out + asked.err).contains(QStringLiteral("stop it before writing")));
    QCOMPARE(writesHeard(), writesBefore);
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

// Drive 9 is not there: the good file of an earlier backup stays as it was,
// and where there was none, none is made.
void tst_vfdctl::backupOfSilentDriveWritesNothing()
{
    SimProcess sim;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("keep.csv"));
    QCOMPARE(vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"), file}).code, 0);
    const QByteArray good = contentsOf(file);
    const CtlRun silent =
        vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("9"), file});
    QCOMPARE(silent.code, 1);
    QVERIFY2(silent.err.contains(QStringLiteral("drive 9 answered for no parameter")),
             qPrintable(silent.err));
    QVERIFY2(!silent.out.contains(QStringLiteral("saved")), qPrintable(silent.out));
    QCOMPARE(contentsOf(file), good);

    const QString fresh = dir.filePath(QStringLiteral("fresh.csv"));
    QCOMPARE(vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("9"), fresh}).code, 1);
    QVERIFY(!QFile::exists(fresh));
}

// A destination that cannot take the file is refused before a single request.
void tst_vfdctl::backupChecksTheFolderBeforeReading()
{
    SimProcess sim;
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString& path : {dir.filePath(QStringLiteral("no/such/dir/x.csv")),
                                dir.filePath(QStringLiteral("plain/x.csv")), dir.path()}) {
        const CtlRun r =
            vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"), path});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("cannot be saved")), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("The drive was not read.")));
    }
    QCOMPARE(sim.traffic(QStringLiteral("<- ")), QStringList());

    ReadOnlyFolder readOnly;
    if (!readOnly.ok())
        QSKIP(qPrintable(readOnly.reason()));
    const CtlRun r = vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"),
                                           readOnly.filePath(QStringLiteral("x.csv"))});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QStringLiteral("takes no new files")), qPrintable(r.err));
    QCOMPARE(sim.traffic(QStringLiteral("<- ")), QStringList());
}

// A read cut short says how far it got; it takes the place of a whole backup
// only with --force.
void tst_vfdctl::shorterBackupReplacesOnlyWhenForced()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("keep.csv"));
    {
        SimProcess sim;
        QCOMPARE(vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"), file}).code,
                 0);
    }
    const QByteArray good = contentsOf(file);

    const CtlRun kept = backupCutShort(file, {});
    QCOMPARE(kept.code, 1);
    QVERIFY2(kept.err.contains(QStringLiteral(" not answered; ")) &&
                 kept.err.contains(QStringLiteral("holds 185 and was left as it was")),
             qPrintable(kept.err));
    QCOMPARE(contentsOf(file), good);

    const CtlRun forced = backupCutShort(file, {QStringLiteral("--force")});
    QCOMPARE(forced.code, 1);
    QVERIFY2(forced.out.contains(QStringLiteral(" not answered; saved to ")),
             qPrintable(forced.out));
    const ParamSetFile::LoadResult saved = ParamSetFile::Load(file);
    QVERIFY(saved.set);
    QVERIFY2(saved.set->answered() >= 15 && saved.set->answered() < 185,
             qPrintable(QString::number(saved.set->answered())));
}

// Drives that already hold the file's values: nothing to confirm, success;
// their own addresses differ from the file's and that is said, every time.
void tst_vfdctl::cloneOfMatchingDrivesAsksNothing()
{
    SimProcess sim;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drive1.csv"));
    QCOMPARE(vfdctl(sim.device(), {QStringLiteral("backup"), QStringLiteral("1"), file}).code, 0);
    const CtlRun clone = vfdctl(
        sim.device(), {QStringLiteral("clone"), file, QStringLiteral("2"), QStringLiteral("3")});
    QVERIFY2(clone.code == 0, qPrintable(clone.out + clone.err));
    QVERIFY(!clone.out.contains(QStringLiteral("[y/N]")));
    QCOMPARE(clone.out.count(QStringLiteral("matches the file")), 2);
    QCOMPARE(clone.out.count(QStringLiteral("left out as asked")), 2);
    QVERIFY(clone.out.contains(QStringLiteral("P8.00")));

    const CtlRun restore =
        vfdctl(sim.device(), {QStringLiteral("restore"), QStringLiteral("3"), file});
    QCOMPARE(restore.code, 0);
    QVERIFY2(restore.out.contains(QStringLiteral("left out as asked")) &&
                 restore.out.contains(QStringLiteral("nothing to write")),
             qPrintable(restore.out));
    // The drive's own address is no difference a script must stumble over.
    const CtlRun compare =
        vfdctl(sim.device(), {QStringLiteral("compare"), QStringLiteral("2"), file});
    QVERIFY2(compare.code == 0, qPrintable(compare.out));
    QCOMPARE(vfdctl(sim.device(), {QStringLiteral("compare"), QStringLiteral("2"), file,
                                   QStringLiteral("--include-address")})
                 .code,
             1);
}

// Ctrl-C halfway through a clone: the exchange under way ends, the report
// says per drive what was written, and it agrees with what the drives heard.
void tst_vfdctl::ctrlCDuringCloneSaysWhatWasWritten()
{
    SimProcess sim;
    QTemporaryDir dir;
    ParamSet wanted;
    for (int index = 0; index < 10; ++index) {
        wanted.values.insert(quint16(0x0200 | (index + 22)), {ParamValue::State::Value, 300});
        wanted.values.insert(quint16(0x0600 | index), {ParamValue::State::Value, 1});
    }
    const QString file = dir.filePath(QStringLiteral("far.csv"));
    QCOMPARE(ParamSetFile::Save(wanted, file), QString());
    CtlProcess ctl({QStringLiteral("--port"), sim.device(), QStringLiteral("clone"), file,
                    QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("--yes")});
    auto heard = [&](int address) {
        int count = 0;
        for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
            count += frame.startsWith(QStringLiteral("0%1 06 ").arg(address));
        return count;
    };
    QTRY_VERIFY_WITH_TIMEOUT(heard(2) >= 6, 30000);
    ctl.signal(SIGINT);
    const CtlRun run = ctl.finish(30000);
    QVERIFY2(run.code == 1, qPrintable(run.out + run.err));
    const QRegularExpression done(QStringLiteral("Drive 2: (\\d+) of \\d+ written and verified"));
    const QRegularExpressionMatch m = done.match(run.out);
    QVERIFY2(m.hasMatch(), qPrintable(run.out));
    const int acknowledged =
        m.captured(1).toInt() + int(run.out.count(QStringLiteral("not read back")));
    QCOMPARE(acknowledged, heard(2));
    QVERIFY(run.out.contains(QStringLiteral("Cancelled after the exchange under way")));
    QVERIFY(run.out.contains(QStringLiteral("Drive 3: stopped before its turn; nothing written.")));
    QCOMPARE(heard(3), 0);
}

void tst_vfdctl::recordKeepsEveryRecording()
{
    // Recorded twice without -o: two files named by the time, each said.
    SimProcess sim({}, false);
    QTemporaryDir dir;
    const QStringList args{QStringLiteral("--port"),     sim.device(),
                           QStringLiteral("record"),     QStringLiteral("1"),
                           QStringLiteral("--values"),   QStringLiteral("freq-out"),
                           QStringLiteral("--duration"), QStringLiteral("1s")};
    const CtlRun first = runVfdctl(args, 60000, dir.path());
    const CtlRun second = runVfdctl(args, 60000, dir.path());
    QVERIFY2(first.code == 0 && second.code == 0, qPrintable(first.err + second.err));
    const QStringList files =
        QDir(dir.path()).entryList({QStringLiteral("recording-*.csv")}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    static const QRegularExpression name(QStringLiteral("^recording-\\d{8}-\\d{6}(-\\d+)?\\.csv$"));
    for (const QString& f : files) {
        QVERIFY2(name.match(f).hasMatch(), qPrintable(f));
        QFile file(dir.filePath(f));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().contains("Drive 1 Output frequency (Hz)"));
        QVERIFY(!file.readLine().isEmpty()); // rows, not a header alone
    }
    const QString firstPath =
        first.out.section(QStringLiteral("Recording into "), 1, 1).section(u'\n', 0, 0);
    QVERIFY2(files.contains(QFileInfo(firstPath).fileName()), qPrintable(first.out));
    QVERIFY(!second.out.contains(firstPath));

    // An earlier recording named with -o is kept unless --force says otherwise.
    const QString kept = dir.filePath(files[0]);
    QFile before(kept);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    const CtlRun refused = runVfdctl(args + QStringList{QStringLiteral("-o"), kept});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("exists already")), qPrintable(refused.err));
    QVERIFY(before.open(QIODevice::ReadOnly));
    QCOMPARE(before.readAll(), bytes);
    before.close();
    const CtlRun forced =
        runVfdctl(args + QStringList{QStringLiteral("-o"), kept, QStringLiteral("--force")});
    QVERIFY2(forced.code == 0, qPrintable(forced.err));
    QVERIFY(before.open(QIODevice::ReadOnly));
    QVERIFY(before.readAll() != bytes);
}

QTEST_GUILESS_MAIN(tst_vfdctl)
#include "tst_vfdctl.moc"
