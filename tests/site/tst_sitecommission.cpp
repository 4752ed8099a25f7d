// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl site commission over simulated drives: a row of four where drive 3
// trips while it is test-run and drive 4 ignores the line's run commands.
#include "CtlProcess.h"
#include "Journal.h"
#include "SimProcess.h"
#include "WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A line fast enough for a test; the job is the same at any baud rate.
const QString kSettings = QStringLiteral("115200,E,8,1");

QJsonObject lastJson(const QString& out)
{
    const QStringList lines = out.trimmed().split(u'\n');
    return QJsonDocument::fromJson(lines.last().toUtf8()).object();
}

QJsonObject driveOf(const QJsonObject& report, int address)
{
    for (const QJsonValue& v : report.value(u"drives").toArray())
        if (v.toObject().value(u"drive").toInt() == address)
            return v.toObject();
    return {};
}

QString stepOutcome(const QJsonObject& drive, const QString& step)
{
    for (const QJsonValue& v : drive.value(u"steps").toArray())
        if (v.toObject().value(u"step").toString() == step)
            return v.toObject().value(u"outcome").toString() + u' ' +
                   v.toObject().value(u"text").toString();
    return QStringLiteral("(no such step)");
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class tst_sitecommission : public QObject
{
    Q_OBJECT
private slots:
    void aRowInOneGo();
    void refusedBeforeAnythingIsSent();
    void ctrlCStopsTheRunningDrives();
    void aReferenceIsNeverReplaced();
};

void tst_sitecommission::aRowInOneGo()
{
    SimProcess sim({QStringLiteral("--settings"), kSettings, QStringLiteral("--drives"),
                    QStringLiteral("1-4"), QStringLiteral("--trip-after"),
                    QStringLiteral("3:2:1.5"), QStringLiteral("--factory-sources"),
                    QStringLiteral("4")});
    QVERIFY(!sim.device().isEmpty());
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("site"));
    QVERIFY(QDir().mkpath(root));
    QFile conf(QDir(root).filePath(QStringLiteral("site.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[site]\nname = Test hall\ntechnician = T. Tester\n"
                              "test-hz = 20\ntest-for = 2s\nparallel = 4\n\n"
                              "[line a]\nport = %1\nsettings = %2\ndrives = 1-4\n\n"
                              "[drive a 1]\nname = Conveyor 1\nreference = conveyor.csv\n"
                              "reference-source = yes\n\n"
                              "[drive a 2]\nreference = conveyor.csv\n\n"
                              "[drive a 3]\nreference = conveyor.csv\n")
                   .arg(sim.device(), kSettings)
                   .toUtf8());
    conf.close();
    // The reference drive set up by hand: short ramps, which the row takes.
    const CtlRun set = runVfdctl({QStringLiteral("--site"), root, QStringLiteral("set"),
                                  QStringLiteral("1"), QStringLiteral("P0.14=0.5"),
                                  QStringLiteral("P0.15=0.5"), QStringLiteral("--yes")});
    QCOMPARE(set.code, 0);

    const CtlRun run =
        runVfdctl({QStringLiteral("--site"), root, QStringLiteral("site"),
                   QStringLiteral("commission"), QStringLiteral("--yes"), QStringLiteral("--json")},
                  90000);
    QVERIFY2(run.code == 1, qPrintable(run.out + run.err));
    const QJsonObject report = lastJson(run.out);
    for (const int a : {1, 2}) {
        const QJsonObject d = driveOf(report, a);
        QVERIFY2(d.value(u"commissioned").toBool(), qPrintable(QJsonDocument(d).toJson()));
    }
    QVERIFY(stepOutcome(driveOf(report, 1), QStringLiteral("backup")).startsWith(u"done"));
    QVERIFY(stepOutcome(driveOf(report, 2), QStringLiteral("clone")).startsWith(u"done 2 writes"));
    const QString tripped = stepOutcome(driveOf(report, 3), QStringLiteral("test run"));
    QVERIFY2(tripped.startsWith(u"failed") && tripped.contains(u"tripped"), qPrintable(tripped));
    // Its clone was done before it tripped, and it is in the report as it is.
    QVERIFY(stepOutcome(driveOf(report, 3), QStringLiteral("clone")).startsWith(u"done"));
    QVERIFY(stepOutcome(driveOf(report, 3), QStringLiteral("report")).startsWith(u"done"));
    const QString ignoring = stepOutcome(driveOf(report, 4), QStringLiteral("test run"));
    QVERIFY2(ignoring.contains(u"does not take run commands"), qPrintable(ignoring));
    QCOMPARE(driveOf(report, 4).value(u"commissioned").toBool(), false);

    // Nothing but STOP went to the tripped drive after its trip, and no run
    // command at all to the drive that ignores the line.
    const QList<int> toTripped = sim.commandsHeard(3);
    QVERIFY(!toTripped.isEmpty());
    QCOMPARE(toTripped.last(), 0x01);
    QVERIFY(sim.commandsHeard(4).isEmpty());

    // Every step's file is in the site.
    const QString sets = QDir(root).filePath(QStringLiteral("parameter-sets"));
    const QStringList setFiles = filesIn(sets);
    QVERIFY2(setFiles.contains(u"conveyor.csv"), qPrintable(setFiles.join(u' ')));
    QVERIFY(std::any_of(setFiles.begin(), setFiles.end(), [](const QString& f) {
        return f.startsWith(u"a-d01-") && f.endsWith(u"-backup.csv");
    }));
    const QStringList runs = filesIn(QDir(root).filePath(QStringLiteral("test-runs")));
    QCOMPARE(runs.size(), 4);
    const QString pdf = report.value(u"report").toString();
    QVERIFY(QFileInfo(pdf).size() > 0);
    QVERIFY(
        QFileInfo::exists(QString(pdf).replace(QStringLiteral(".pdf"), QStringLiteral(".html"))));

    // The journal has the clone's writes as the drives heard them, and the
    // runs overlapped (parallel = 4).
    const JournalReading journal =
        Journal::read(QDir(root).filePath(QStringLiteral("journal.jsonl")));
    QVERIFY(journal.problems.isEmpty());
    QStringList writes;
    QDateTime firstStopped;
    QDateTime lastStarted;
    for (const JournalEntry& e : journal.entries) {
        if (e.tool != u"commission")
            continue; // the set before it is journaled too
        if (e.kind == JournalEntry::Kind::Write) {
            QCOMPARE(e.outcome, JournalEntry::Outcome::Verified);
            writes << QStringLiteral("%1 %2=%3").arg(e.drive).arg(e.parameter, e.asked);
        } else if (e.kind == JournalEntry::Kind::RunStarted) {
            lastStarted = std::max(lastStarted, e.time);
        } else if (e.kind == JournalEntry::Kind::RunStopped) {
            firstStopped = firstStopped.isValid() ? std::min(firstStopped, e.time) : e.time;
        }
    }
    writes.sort();
    QCOMPARE(writes, QStringList({QStringLiteral("2 P0.14=0.5"), QStringLiteral("2 P0.15=0.5"),
                                  QStringLiteral("3 P0.14=0.5"), QStringLiteral("3 P0.15=0.5")}));
    const QStringList heard = sim.traffic(QStringLiteral("<- "));
    for (const QString& frame :
         {QStringLiteral("02 06 00 0E 00 05"), QStringLiteral("03 06 00 0F 00 05")})
        QVERIFY2(
            std::any_of(heard.begin(), heard.end(),
                        [&](const QString& f) { return f.startsWith(frame, Qt::CaseInsensitive); }),
            qPrintable(frame));
    QVERIFY(lastStarted < firstStopped);

    // Drives read whole during the job (the backup, the clone's reading) are
    // not read whole again for the report: one whole read of each drive (of
    // drive 4 by the report), which asks from P0.00 once singly and at most
    // once more as the block that learns whether the drive takes blocks.
    for (const int a : {1, 2, 3, 4}) {
        const QString start = QStringLiteral("%1 03 00 00 ").arg(a, 2, 16, QLatin1Char('0'));
        const auto asked = std::count_if(heard.begin(), heard.end(),
                                         [&](const QString& f) { return f.startsWith(start); });
        QVERIFY2(asked >= 1 && asked <= 2, qPrintable(QString::number(asked)));
    }
    QCOMPARE(report.value(u"readOnceForReport").toArray(), QJsonArray({1, 2, 3}));
}

void tst_sitecommission::refusedBeforeAnythingIsSent()
{
    SimProcess sim({QStringLiteral("--settings"), kSettings, QStringLiteral("--drives"),
                    QStringLiteral("1-2")});
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("site.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[site]\n[line a]\nport = %1\nsettings = %2\ndrives = 1-2\n")
                   .arg(sim.device(), kSettings)
                   .toUtf8());
    conf.close();
    // No test frequency: said before the port is touched.
    CtlRun run = runVfdctl({QStringLiteral("--site"), dir.path(), QStringLiteral("site"),
                            QStringLiteral("commission"), QStringLiteral("--yes")});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(u"test-hz"), qPrintable(run.err));
    // A drive the line does not have.
    run = runVfdctl({QStringLiteral("--site"), dir.path(), QStringLiteral("site"),
                     QStringLiteral("commission"), QStringLiteral("7")});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(u"drive 7"), qPrintable(run.err));
    QVERIFY(sim.traffic(QStringLiteral("<- ")).isEmpty());
}

void tst_sitecommission::ctrlCStopsTheRunningDrives()
{
    SimProcess sim({QStringLiteral("--settings"), kSettings, QStringLiteral("--drives"),
                    QStringLiteral("1-2")});
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("site.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[site]\ntest-hz = 10\ntest-for = 5min\nparallel = 2\n"
                              "[line a]\nport = %1\nsettings = %2\ndrives = 1-2\n")
                   .arg(sim.device(), kSettings)
                   .toUtf8());
    conf.close();
    CtlProcess ctl({QStringLiteral("--site"), dir.path(), QStringLiteral("site"),
                    QStringLiteral("commission"), QStringLiteral("--yes")});
    // Both drives running at once, then Ctrl-C.
    const int forward = 0x12;
    QVERIFY(waitUntil(
        [&] {
            return sim.commandsHeard(1).contains(forward) && sim.commandsHeard(2).contains(forward);
        },
        20000));
    ctl.signal(SIGINT);
    const CtlRun run = ctl.finish(20000);
    QCOMPARE(run.code, 1);
    for (const int a : {1, 2}) {
        const QList<int> heard = sim.commandsHeard(a);
        QCOMPARE(heard.last(), 0x01);
    }
    QVERIFY2(run.out.contains(u"cancelled by the user"), qPrintable(run.out));
    // No report after a cancel; the runs as far as they went are kept.
    QVERIFY(filesIn(QDir(dir.path()).filePath(QStringLiteral("reports"))).isEmpty());
    QCOMPARE(filesIn(QDir(dir.path()).filePath(QStringLiteral("test-runs"))).size(), 2);
}

void tst_sitecommission::aReferenceIsNeverReplaced()
{
    SimProcess sim({QStringLiteral("--settings"), kSettings, QStringLiteral("--drives"),
                    QStringLiteral("1-2")});
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("site.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[site]\ntest-hz = 10\ntest-for = 1s\n"
                              "[line a]\nport = %1\nsettings = %2\ndrives = 1-2\n"
                              "[drive a 1]\nreference = row.csv\nreference-source = yes\n"
                              "[drive a 2]\nreference = row.csv\n")
                   .arg(sim.device(), kSettings)
                   .toUtf8());
    conf.close();
    // The reference taken as drive 1 was; then drive 1 changed by hand.
    const QString sets = QDir(dir.path()).filePath(QStringLiteral("parameter-sets"));
    QVERIFY(QDir().mkpath(sets));
    const QString reference = QDir(sets).filePath(QStringLiteral("row.csv"));
    QCOMPARE(runVfdctl({QStringLiteral("--port"), sim.device(), QStringLiteral("--settings"),
                        kSettings, QStringLiteral("backup"), QStringLiteral("1"), reference})
                 .code,
             0);
    QFile file(reference);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QCOMPARE(runVfdctl({QStringLiteral("--port"), sim.device(), QStringLiteral("--settings"),
                        kSettings, QStringLiteral("set"), QStringLiteral("1"),
                        QStringLiteral("P0.14=0.5"), QStringLiteral("--yes")})
                 .code,
             0);

    const CtlRun run = runVfdctl({QStringLiteral("--site"), dir.path(), QStringLiteral("site"),
                                  QStringLiteral("commission"), QStringLiteral("--yes"),
                                  QStringLiteral("--json")});
    QCOMPARE(run.code, 1);
    const QJsonObject report = lastJson(run.out);
    const QString clone = stepOutcome(driveOf(report, 2), QStringLiteral("clone"));
    QVERIFY2(clone.startsWith(u"failed") && clone.contains(u"P0.14") &&
                 clone.contains(u"never replaced"),
             qPrintable(clone));
    // Drive 2 was written nothing and the file is as it was; drive 1 was
    // backed up (a backup of its own beside the file) and commissioned.
    const QStringList heard = sim.traffic(QStringLiteral("<- "));
    QVERIFY(std::none_of(heard.begin(), heard.end(),
                         [](const QString& f) { return f.startsWith(u"02 06 "); }));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QVERIFY(stepOutcome(driveOf(report, 1), QStringLiteral("backup")).startsWith(u"done"));
    QVERIFY(driveOf(report, 1).value(u"commissioned").toBool());
    QCOMPARE(filesIn(sets).size(), 2);
}

QTEST_GUILESS_MAIN(tst_sitecommission)
#include "tst_sitecommission.moc"
