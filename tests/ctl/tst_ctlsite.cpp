// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl with a site: vfdsim on a pseudo-terminal as the line, a site made in
// a scratch folder by `site init`; what the journal says checked against what
// the simulator heard, and what lands in the site's folders.
#include "CtlProcess.h"
#include "Journal.h"
#include "ParamSet.h"
#include "RtuProtocol.h"
#include "SimProcess.h"
#include "SiteFolder.h"
#include "SiteJournal.h"
#include "SmallDisk.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A paced line would make every whole-drive read take seconds.
QStringList quickSim(const QStringList& extra = {})
{
    return QStringList{QStringLiteral("--no-pacing")} + extra;
}

CtlRun inSite(const QString& site, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--site"), site} + arguments);
}

QJsonObject jsonOf(const CtlRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// A site on the simulator's line with its drives 1 to 3, drive 2 named
// "Conveyor 2" (the scan of site init is tried once, in its own test).
bool makeSite(SimProcess& sim, const QString& folder)
{
    SiteFolder::NewSite what;
    what.line = QStringLiteral("a");
    what.port = sim.device();
    what.drives = {1, 2, 3};
    QString why;
    std::optional<SiteFolder> site = SiteFolder::create(folder, what, &why);
    return site &&
           site->file().setDriveName(QStringLiteral("a"), 2, QStringLiteral("Conveyor 2"), &why) &&
           site->save().isEmpty();
}

// The parameter writes (function 6) the simulator heard for a drive, as
// register and raw value.
QList<QPair<quint16, quint16>> writesHeard(SimProcess& sim, int address)
{
    const QString start = QStringLiteral("%1 06 ").arg(address, 2, 16, QLatin1Char('0'));
    QList<QPair<quint16, quint16>> writes;
    for (const QString& frame : sim.traffic(QStringLiteral("<- "))) {
        if (!frame.startsWith(start, Qt::CaseInsensitive))
            continue;
        const QStringList b = frame.split(u' ');
        writes.append({quint16(b[2].toUInt(nullptr, 16) << 8 | b[3].toUInt(nullptr, 16)),
                       quint16(b[4].toUInt(nullptr, 16) << 8 | b[5].toUInt(nullptr, 16))});
    }
    return writes;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class tst_ctlsite : public QObject
{
    Q_OBJECT
private slots:
    void siteInitScansAndNeverReplacesASite();
    void theSiteGivesThePortAndNamesStandForAddresses();
    void backupsGoIntoTheSiteUnderNamesNeverUsed();
    void setAndRestoreAreJournaledAsTheDriveHeardThem();
    void siteStatusSaysWhatNeedsAttention();
    void aJournalThatCannotBeWrittenNeverHoldsBackAStop();
};

void tst_ctlsite::siteInitScansAndNeverReplacesASite()
{
    SimProcess sim(quickSim({QStringLiteral("--drives"), QStringLiteral("1,4,9")}));
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("hall"));
    const CtlRun init =
        runVfdctl({QStringLiteral("--json"), QStringLiteral("site"), QStringLiteral("init"), folder,
                   QStringLiteral("--port"), sim.device(), QStringLiteral("--name"),
                   QStringLiteral("Press hall"), QStringLiteral("--technician"),
                   QStringLiteral("J. Doe"), QStringLiteral("--scan")});
    QVERIFY2(init.code == 0, qPrintable(init.out + init.err));
    QCOMPARE(jsonOf(init).value(QStringLiteral("drives")).toArray(), (QJsonArray{1, 4, 9}));
    QString why;
    std::optional<SiteFolder> site = SiteFolder::open(folder, &why);
    QVERIFY2(site, qPrintable(why));
    QCOMPARE(site->site().name, QStringLiteral("Press hall"));
    QCOMPARE(site->site().technician, QStringLiteral("J. Doe"));
    const SiteLine* line = site->line(QString(), &why);
    QVERIFY(line);
    QCOMPARE(line->name, QStringLiteral("line1"));
    QCOMPARE(line->port, sim.device());
    QCOMPARE(line->drives.size(), 3);
    QCOMPARE(line->drives[1].address, quint8(4));
    for (const QString& kind : {QStringLiteral("parameter-sets"), QStringLiteral("test-runs"),
                                QStringLiteral("recordings"), QStringLiteral("reports")})
        QVERIFY2(QFileInfo(QDir(folder).filePath(kind)).isDir(), qPrintable(kind));

    // A second init on that folder is refused before the line is touched, and
    // the site stays as it was.
    const QString text = site->file().text();
    const int heard = int(sim.traffic(QStringLiteral("<- ")).size());
    const CtlRun again =
        runVfdctl({QStringLiteral("site"), QStringLiteral("init"), folder, QStringLiteral("--port"),
                   sim.device(), QStringLiteral("--scan")});
    QCOMPARE(again.code, 2);
    QVERIFY2(again.err.contains(QStringLiteral("holds a site already")), qPrintable(again.err));
    QCOMPARE(sim.traffic(QStringLiteral("<- ")).size(), heard);
    QVERIFY(SiteFolder::open(folder, &why)->file().text() == text);

    // Without its port a site is not made at all.
    const CtlRun noPort = runVfdctl(
        {QStringLiteral("site"), QStringLiteral("init"), dir.filePath(QStringLiteral("other"))});
    QCOMPARE(noPort.code, 2);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("other/site.conf"))));
}

void tst_ctlsite::theSiteGivesThePortAndNamesStandForAddresses()
{
    SimProcess sim(quickSim());
    QTemporaryDir dir;
    QVERIFY(makeSite(sim, dir.path()));

    // No --port: the site's line; a name (any case) for the drive.
    const CtlRun byName =
        inSite(dir.path(), {QStringLiteral("--quiet"), QStringLiteral("get"),
                            QStringLiteral("conveyor 2"), QStringLiteral("P0.14")});
    QVERIFY2(byName.code == 0, qPrintable(byName.err));
    const QString reads = QStringLiteral("02 03 00 0e");
    bool heardDrive2 = false;
    for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
        heardDrive2 = heardDrive2 || frame.startsWith(reads, Qt::CaseInsensitive);
    QVERIFY(heardDrive2);

    // The environment names the site as well; names and addresses mix in a list.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VFDCTL_SITE"), dir.path());
    const CtlRun status = CtlProcess({QStringLiteral("--json"), QStringLiteral("status"),
                                      QStringLiteral("Conveyor 2,3")},
                                     {}, env)
                              .finish();
    QVERIFY2(status.code == 0, qPrintable(status.err));
    const QJsonArray drives = jsonOf(status).value(QStringLiteral("drives")).toArray();
    QCOMPARE(drives.size(), 2);
    QCOMPARE(drives[0].toObject().value(QStringLiteral("drive")).toInt(), 2);
    QCOMPARE(drives[1].toObject().value(QStringLiteral("drive")).toInt(), 3);

    // A name the site does not know is refused before anything is sent.
    const int heard = int(sim.traffic(QStringLiteral("<- ")).size());
    for (const QStringList& args :
         {QStringList{QStringLiteral("set"), QStringLiteral("Conveyor 9"),
                      QStringLiteral("P0.14=12")},
          QStringList{QStringLiteral("stop"), QStringLiteral("Press")},
          QStringList{QStringLiteral("status"), QStringLiteral("1,Nobody")}}) {
        const CtlRun refused = inSite(dir.path(), args);
        QVERIFY2(refused.code == 2, qPrintable(args.join(u' ') + refused.err));
        QVERIFY2(refused.err.contains(QStringLiteral("names no drive of line a")),
                 qPrintable(refused.err));
    }
    QCOMPARE(sim.traffic(QStringLiteral("<- ")).size(), heard);

    // --line names a line the site does not have: refused.
    const CtlRun noLine = inSite(dir.path(), {QStringLiteral("--line"), QStringLiteral("b"),
                                              QStringLiteral("status"), QStringLiteral("1")});
    QCOMPARE(noLine.code, 2);
}

void tst_ctlsite::backupsGoIntoTheSiteUnderNamesNeverUsed()
{
    SimProcess sim(quickSim());
    QTemporaryDir dir;
    QVERIFY(makeSite(sim, dir.path()));
    QString why;
    const SiteLayout layout = SiteFolder::open(dir.path(), &why)->layout();
    const QString sets = layout.folder(SiteLayout::Kind::ParameterSets);
    // Another tool has taken the names of drive 2's backups for the next
    // minute: the backup takes the next free name of its second.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int s = -2; s < 60; ++s)
        QVERIFY(!layout
                     .create(SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 2,
                             QStringLiteral("backup"), QStringLiteral("csv"), now.addSecs(s), &why)
                     .isEmpty());
    const QStringList taken = filesIn(sets);

    const CtlRun first = inSite(dir.path(), {QStringLiteral("--json"), QStringLiteral("backup"),
                                             QStringLiteral("Conveyor 2")});
    QVERIFY2(first.code == 0, qPrintable(first.err));
    const CtlRun second = inSite(dir.path(), {QStringLiteral("backup"), QStringLiteral("2")});
    QVERIFY2(second.code == 0, qPrintable(second.err));
    const QString firstFile = jsonOf(first).value(QStringLiteral("file")).toString();
    QVERIFY2(firstFile.endsWith(QStringLiteral("-backup-2.csv")), qPrintable(firstFile));
    QVERIFY2(second.out.contains(sets), qPrintable(second.out)); // says where

    QStringList made = filesIn(sets);
    for (const QString& name : taken)
        made.removeOne(name);
    QCOMPARE(made.size(), 2);
    for (const QString& name : made) {
        QVERIFY2(name.startsWith(QStringLiteral("a-d02-")), qPrintable(name));
        QVERIFY(QFileInfo(QDir(sets).filePath(name)).size() > 1000);
    }
    // The names taken before are as they were: empty, never written over.
    for (const QString& name : taken)
        QCOMPARE(QFileInfo(QDir(sets).filePath(name)).size(), 0);

    // A test run without -o goes into the site as well, and into the journal.
    const CtlRun run =
        inSite(dir.path(), {QStringLiteral("--yes"), QStringLiteral("--json"),
                            QStringLiteral("testrun"), QStringLiteral("1"), QStringLiteral("--hz"),
                            QStringLiteral("10"), QStringLiteral("--for"), QStringLiteral("1s")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QString runFile = jsonOf(run).value(QStringLiteral("file")).toString();
    QVERIFY2(runFile.startsWith(layout.folder(SiteLayout::Kind::TestRuns) + u'/'),
             qPrintable(runFile));
    const QList<JournalEntry> journal = journaled(dir.path());
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal[0].kind, JournalEntry::Kind::TestRun);
    QCOMPARE(journal[0].result, QStringLiteral("passed"));
    QCOMPARE(QDir(dir.path()).filePath(journal[0].file), runFile);
}

void tst_ctlsite::setAndRestoreAreJournaledAsTheDriveHeardThem()
{
    SimProcess sim(quickSim());
    QTemporaryDir dir;
    QVERIFY(makeSite(sim, dir.path()));
    const CtlRun backup = inSite(dir.path(), {QStringLiteral("--json"), QStringLiteral("backup"),
                                              QStringLiteral("Conveyor 2")});
    QVERIFY2(backup.code == 0, qPrintable(backup.err));
    const QString saved = jsonOf(backup).value(QStringLiteral("file")).toString();
    const CtlRun before = inSite(dir.path(), {QStringLiteral("--quiet"), QStringLiteral("get"),
                                              QStringLiteral("2"), QStringLiteral("P0.14")});

    const CtlRun set =
        inSite(dir.path(), {QStringLiteral("set"), QStringLiteral("Conveyor 2"),
                            QStringLiteral("P0.14=12.5"), QStringLiteral("P0.15=7")});
    QVERIFY2(set.code == 0, qPrintable(set.err));
    const CtlRun restore = inSite(dir.path(), {QStringLiteral("--yes"), QStringLiteral("restore"),
                                               QStringLiteral("Conveyor 2"), saved});
    QVERIFY2(restore.code == 0, qPrintable(restore.err));

    const QList<QPair<quint16, quint16>> heard = writesHeard(sim, 2);
    const QList<JournalEntry> journal = journaled(dir.path());
    QCOMPARE(heard.size(), 4);
    QCOMPARE(journal.size(), heard.size());
    for (int i = 0; i < journal.size(); ++i) {
        const JournalEntry& e = journal[i];
        QCOMPARE(e.kind, JournalEntry::Kind::Write);
        QCOMPARE(e.tool, i < 2 ? QStringLiteral("vfdctl set") : QStringLiteral("vfdctl restore"));
        QCOMPARE(e.line, QStringLiteral("a"));
        QCOMPARE(e.drive, quint8(2));
        QCOMPARE(e.outcome, JournalEntry::Outcome::Verified);
        // What was asked is what the drive heard, frame for frame.
        const std::optional<quint16> reg = ParamCatalogue::registerOf(e.parameter);
        QVERIFY(reg);
        QCOMPARE(*reg, heard[i].first);
        QCOMPARE(ParamCatalogue::rawOf(*reg, e.asked), std::optional<quint16>(heard[i].second));
    }
    // Before the set: the value the drive gave; before the restore: the set's.
    QCOMPARE(journal[0].before, std::optional<QString>(before.out.trimmed()));
    QCOMPARE(journal[2].before, std::optional<QString>(journal[0].asked));
    QCOMPARE(journal[2].asked, before.out.trimmed());

    // A clone to drives 1 and 3 (by the site's names and addresses): drive 3
    // differs in one parameter, drive 1 in none; each write journaled.
    QVERIFY(runVfdctl({QStringLiteral("--port"), sim.device(), QStringLiteral("set"),
                       QStringLiteral("3"), QStringLiteral("P0.15=7")})
                .code == 0); // outside the site: not journaled
    const CtlRun clone = inSite(dir.path(), {QStringLiteral("--yes"), QStringLiteral("clone"),
                                             saved, QStringLiteral("1,3")});
    QVERIFY2(clone.code == 0, qPrintable(clone.out + clone.err));
    const QList<QPair<quint16, quint16>> heard3 = writesHeard(sim, 3);
    QCOMPARE(heard3.size(), 2); // the set outside the site, then the clone's
    const QList<JournalEntry> after = journaled(dir.path()).mid(4);
    QCOMPARE(after.size(), 1);
    QCOMPARE(after[0].tool, QStringLiteral("vfdctl clone"));
    QCOMPARE(after[0].drive, quint8(3));
    QCOMPARE(after[0].before, std::optional<QString>(QStringLiteral("7")));
    QCOMPARE(ParamCatalogue::registerOf(after[0].parameter), std::optional(heard3[1].first));
    QCOMPARE(ParamCatalogue::rawOf(heard3[1].first, after[0].asked),
             std::optional(heard3[1].second));
    QCOMPARE(writesHeard(sim, 1).size(), 0);
}

void tst_ctlsite::siteStatusSaysWhatNeedsAttention()
{
    SimProcess sim(quickSim({QStringLiteral("--fault"), QStringLiteral("3:11")}));
    QTemporaryDir dir;
    QVERIFY(makeSite(sim, dir.path()));
    // Drive 2's reference is a backup of it; drive 1 has none.
    const CtlRun backup = inSite(
        dir.path(), {QStringLiteral("--json"), QStringLiteral("backup"), QStringLiteral("2")});
    QVERIFY2(backup.code == 0, qPrintable(backup.err));
    {
        QString why;
        std::optional<SiteFolder> site = SiteFolder::open(dir.path(), &why);
        const QString file =
            QFileInfo(jsonOf(backup).value(QStringLiteral("file")).toString()).fileName();
        QVERIFY(site->file().setReference(QStringLiteral("a"), 2, file, &why));
        QVERIFY(site->save().isEmpty());
    }
    auto rowsOf = [&](const CtlRun& run) {
        return jsonOf(run).value(QStringLiteral("drives")).toArray();
    };
    CtlRun status = inSite(
        dir.path(), {QStringLiteral("--json"), QStringLiteral("site"), QStringLiteral("status")});
    QCOMPARE(status.code, 1); // drive 3 reports a fault
    QJsonArray rows = rowsOf(status);
    QCOMPARE(rows.size(), 3);
    const QJsonObject two = rows[1].toObject();
    QCOMPARE(two.value(QStringLiteral("name")).toString(), QStringLiteral("Conveyor 2"));
    QCOMPARE(two.value(QStringLiteral("parameters")).toString(), QStringLiteral("matches"));
    QCOMPARE(two.value(QStringLiteral("readiness")).toString(), QStringLiteral("ready"));
    QCOMPARE(two.value(QStringLiteral("state")).toString(), QStringLiteral("stop"));
    QVERIFY(two.value(QStringLiteral("edition")).isDouble());
    QCOMPARE(two.value(QStringLiteral("attention")).toBool(), false);
    QCOMPARE(rows[0].toObject().value(QStringLiteral("parameters")).toString(),
             QStringLiteral("no reference"));
    const QJsonObject three = rows[2].toObject();
    QCOMPARE(three.value(QStringLiteral("fault")).toBool(), true);
    QCOMPARE(three.value(QStringLiteral("attention")).toBool(), true);

    // A write since the backup: not read since; the text table says it too.
    QVERIFY(inSite(dir.path(),
                   {QStringLiteral("set"), QStringLiteral("2"), QStringLiteral("P0.14=12.5")})
                .code == 0);
    status = inSite(dir.path(), {QStringLiteral("site"), QStringLiteral("status")});
    QVERIFY2(status.out.contains(QStringLiteral("not read since the last write")),
             qPrintable(status.out));
    QVERIFY(status.out.startsWith(QStringLiteral("Line")));
    // A new backup compares again: one parameter differs and needs attention.
    // Its name holds the second it was made, and a write within that second
    // counts as after it: the backup starts in a second of its own.
    const qint64 writtenAt = journaled(dir.path()).last().time.toSecsSinceEpoch();
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > writtenAt, 3000);
    QVERIFY(inSite(dir.path(), {QStringLiteral("backup"), QStringLiteral("2")}).code == 0);
    status = inSite(dir.path(), {QStringLiteral("--json"), QStringLiteral("site"),
                                 QStringLiteral("status"), QStringLiteral("--offline")});
    rows = rowsOf(status);
    QCOMPARE(rows[1].toObject().value(QStringLiteral("parameters")).toString(),
             QStringLiteral("1 differ"));
    QCOMPARE(rows[1].toObject().value(QStringLiteral("attention")).toBool(), true);
    QCOMPARE(rows[1].toObject().value(QStringLiteral("asked")).toBool(), false);
    QCOMPARE(status.code, 1);
}

void tst_ctlsite::aJournalThatCannotBeWrittenNeverHoldsBackAStop()
{
    SmallDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    SimProcess sim(quickSim());
    const QString folder = disk.path() + QStringLiteral("/site");
    QVERIFY(makeSite(sim, folder));
    QVERIFY(disk.fill());
    const CtlRun stop = inSite(folder, {QStringLiteral("stop"), QStringLiteral("Conveyor 2")});
    QCOMPARE(stop.code, 1);
    QVERIFY2(stop.err.contains(QStringLiteral("journal")), qPrintable(stop.err));
    QCOMPARE(sim.commandsHeard(2), QList<int>{Rtu::StopCode});
    // A write goes out, is read back, and says it is not journaled.
    const CtlRun set =
        inSite(folder, {QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("P0.14=12.5")});
    QCOMPARE(set.code, 1);
    QVERIFY2(set.err.contains(QStringLiteral("not in the site's journal")), qPrintable(set.err));
    QCOMPARE(writesHeard(sim, 1).size(), 1);
    QVERIFY(disk.free());
}

QTEST_GUILESS_MAIN(tst_ctlsite)
#include "tst_ctlsite.moc"
