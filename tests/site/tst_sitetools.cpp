// SPDX-License-Identifier: GPL-3.0-or-later
// The site's table from its files, and the journal entries of what tools did,
// in a site made in a temporary folder.
#include "ParamSetFile.h"
#include "SiteJournaling.h"
#include "SiteStatus.h"
#include "SmallDisk.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QDateTime kMorning(QDate(2026, 12, 9), QTime(8, 0, 0), QTimeZone::utc());

// A site with line "a" and drives 1, 2, 3; 1 and 2 share a reference set,
// the catalogue's defaults.
std::optional<SiteFolder> makeSite(const QString& folder, ParamSet* reference)
{
    SiteFolder::NewSite what;
    what.line = QStringLiteral("a");
    what.port = QStringLiteral("SIM");
    what.drives = {1, 2, 3};
    QString error;
    std::optional<SiteFolder> site = SiteFolder::create(folder, what, &error);
    if (!site)
        return site;
    // The catalogue's defaults, but for the few it gives outside its own
    // limits (a file with those would not load).
    *reference = ParamSet::defaults();
    reference->values.removeIf(
        [](auto it) { return it->hasValue() && !ParamCatalogue::withinLimits(it.key(), it->raw); });
    const QString sets = site->layout().folder(SiteLayout::Kind::ParameterSets);
    if (!ParamSetFile::Save(*reference, sets + QStringLiteral("/conveyor.csv")).isEmpty())
        return std::nullopt;
    for (quint8 d : {1, 2})
        site->file().setReference(QStringLiteral("a"), d, QStringLiteral("conveyor.csv"), &error);
    site->file().setDriveName(QStringLiteral("a"), 2, QStringLiteral("Conveyor 2"), &error);
    if (!site->save().isEmpty() || !site->reload(&error))
        return std::nullopt;
    return site;
}

QString saveInSite(const SiteFolder& site, SiteLayout::Kind kind, quint8 drive, const QString& what,
                   const QString& extension, const QDateTime& when)
{
    QString error;
    return site.layout().create(kind, QStringLiteral("a"), drive, what, extension, when, &error);
}

void writeTestRun(const QString& path, const TestRunResult& run)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(run.json()).toJson());
}

TestRunResult finishedRun(quint8 drive, bool passing)
{
    TestRunResult r;
    r.plan.address = drive;
    r.plan.hz = 30;
    r.sentAnything = true;
    r.stopAnswered = true;
    r.completed = true;
    r.endReason = QStringLiteral("completed");
    r.keys = TestRunKeys();
    r.checks << TestRunCheck{QStringLiteral("Readiness"), QStringLiteral("ready"),
                             QStringLiteral("ready"), true, true};
    r.checks << TestRunCheck{QStringLiteral("Frequency reached (forward)"),
                             QStringLiteral("30.00 Hz"), QStringLiteral("12.00 Hz"), passing, true};
    return r;
}

WriteItem item(quint16 reg, quint16 raw, WriteItem::Outcome outcome,
               std::optional<quint16> readBack = {})
{
    WriteItem w;
    w.reg = reg;
    w.raw = raw;
    w.outcome = outcome;
    w.readBack = readBack;
    return w;
}

} // namespace

class tst_sitetools : public QObject
{
    Q_OBJECT
private slots:
    void parametersAgainstTheReference();
    void testRunsRecordingsAndReports();
    void writesAreJournaledWithWhatBecameOfThem();
    void runsAndTestRunsAreJournaled();
    void aFullDiskIsSaid();
};

void tst_sitetools::parametersAgainstTheReference()
{
    QTemporaryDir dir;
    ParamSet reference;
    const std::optional<SiteFolder> site = makeSite(dir.path(), &reference);
    QVERIFY(site);

    // Drive 1 read the same as its reference (but for its own address, which
    // is left out as a clone leaves it); drive 2 with two values otherwise
    // and one unanswered; drive 3 has no reference.
    ParamSet one = reference;
    one.values[0x0800] = ParamValue{ParamValue::State::Value, 7};
    QVERIFY(ParamSetFile::Save(one, saveInSite(*site, SiteLayout::Kind::ParameterSets, 1,
                                               SiteOutputs::backupWhat(),
                                               SiteOutputs::backupExtension(), kMorning))
                .isEmpty());
    QList<quint16> changeable;
    for (auto it = reference.values.cbegin(); it != reference.values.cend(); ++it)
        if (it->hasValue() && !ParamCatalogue::reserved(it.key()) && it.key() < 0x0800 &&
            ParamCatalogue::withinLimits(it.key(), it->raw + 1))
            changeable << it.key();
    QVERIFY(changeable.size() >= 3);
    ParamSet two = reference;
    for (const quint16 reg : changeable.mid(0, 2))
        two.values[reg] = ParamValue{ParamValue::State::Value, quint16(*reference.raw(reg) + 1)};
    two.values[changeable[2]] = ParamValue{ParamValue::State::NoAnswer, 0};
    // An older backup that matched is not what counts: the newest is.
    QVERIFY(ParamSetFile::Save(reference,
                               saveInSite(*site, SiteLayout::Kind::ParameterSets, 2,
                                          SiteOutputs::backupWhat(), SiteOutputs::backupExtension(),
                                          kMorning.addSecs(-3600)))
                .isEmpty());
    QVERIFY(ParamSetFile::Save(two, saveInSite(*site, SiteLayout::Kind::ParameterSets, 2,
                                               SiteOutputs::backupWhat(),
                                               SiteOutputs::backupExtension(), kMorning))
                .isEmpty());

    QList<SiteDriveStatus> rows = SiteStatus::fromFiles(*site);
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows[0].parametersProblem.isEmpty(), qPrintable(rows[0].parametersProblem));
    QCOMPARE(rows[0].parametersText(), QStringLiteral("matches"));
    QVERIFY(!rows[0].attention());
    QCOMPARE(rows[1].name, QStringLiteral("Conveyor 2"));
    QCOMPARE(rows[1].parametersText(), QStringLiteral("2 differ, 1 not answered"));
    QVERIFY(rows[1].attention());
    QCOMPARE(rows[1].backupTime, kMorning);
    QCOMPARE(rows[2].parametersText(), QStringLiteral("no reference"));
    // Nothing asked of the drives yet.
    QCOMPARE(rows[0].stateText(), QStringLiteral("not read"));

    // A refused write changed nothing; a verified one (or one that may have
    // been taken) makes the backup stale; a write before it does not.
    JournalEntry w;
    w.kind = JournalEntry::Kind::Write;
    w.line = QStringLiteral("a");
    w.drive = 1;
    w.parameter = QStringLiteral("P0.03");
    w.asked = QStringLiteral("40.00");
    w.time = kMorning.addSecs(-10);
    QVERIFY(site->record(w).isEmpty());
    w.time = kMorning.addSecs(60);
    w.outcome = JournalEntry::Outcome::Refused;
    QVERIFY(site->record(w).isEmpty());
    w.drive = 3; // another drive
    w.outcome = JournalEntry::Outcome::Verified;
    QVERIFY(site->record(w).isEmpty());
    QCOMPARE(SiteStatus::fromFiles(*site)[0].parametersText(), QStringLiteral("matches"));
    w.drive = 1;
    w.outcome = JournalEntry::Outcome::NoAnswer;
    QVERIFY(site->record(w).isEmpty());
    rows = SiteStatus::fromFiles(*site);
    QCOMPARE(rows[0].parametersText(), QStringLiteral("not read since the last write"));

    // A reference that cannot be read says so, with its line.
    QFile bad(site->layout().folder(SiteLayout::Kind::ParameterSets) +
              QStringLiteral("/conveyor.csv"));
    QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("not,a,parameter,set\n");
    bad.close();
    rows = SiteStatus::fromFiles(*site);
    QCOMPARE(rows[1].parametersText(), QStringLiteral("reference not readable"));
    QVERIFY(rows[1].parametersProblem.startsWith(QStringLiteral("conveyor.csv")));
    QVERIFY(!rows[1].attention());
}

void tst_sitetools::testRunsRecordingsAndReports()
{
    QTemporaryDir dir;
    ParamSet reference;
    const std::optional<SiteFolder> site = makeSite(dir.path(), &reference);
    QVERIFY(site);
    auto testRunFile = [&](quint8 drive, const QDateTime& when) {
        return saveInSite(*site, SiteLayout::Kind::TestRuns, drive, SiteOutputs::testRunWhat(),
                          SiteOutputs::testRunExtension(), when);
    };
    // Drive 1 failed earlier and passed since; drive 2 passed and then failed.
    writeTestRun(testRunFile(1, kMorning), finishedRun(1, false));
    writeTestRun(testRunFile(1, kMorning.addSecs(600)), finishedRun(1, true));
    writeTestRun(testRunFile(2, kMorning), finishedRun(2, true));
    // The whole --json document of a run is read as well.
    {
        QFile f(testRunFile(2, kMorning.addSecs(600)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(QJsonObject{{QStringLiteral("testRun"), finishedRun(2, false).json()},
                                          {QStringLiteral("exit"), 1}})
                    .toJson());
    }
    TestRunResult stopped = finishedRun(3, true);
    stopped.completed = false;
    stopped.cancelled = true;
    stopped.endReason = QStringLiteral("cancelled by the user");
    writeTestRun(testRunFile(3, kMorning), stopped);

    // A recording of drive 1 alone, then one of the whole line; a report of
    // drive 2 after the line's.
    const QString ownRecording =
        saveInSite(*site, SiteLayout::Kind::Recordings, 1, SiteOutputs::recordingWhat(),
                   SiteOutputs::recordingExtension(), kMorning);
    const QString lineRecording =
        saveInSite(*site, SiteLayout::Kind::Recordings, 0, SiteOutputs::recordingWhat(),
                   SiteOutputs::recordingExtension(), kMorning.addSecs(5));
    const QString lineReport =
        saveInSite(*site, SiteLayout::Kind::Reports, 0, SiteOutputs::reportWhat(),
                   SiteOutputs::reportExtension(), kMorning);
    const QString ownReport =
        saveInSite(*site, SiteLayout::Kind::Reports, 2, SiteOutputs::reportWhat(),
                   SiteOutputs::reportExtension(), kMorning.addSecs(5));
    QVERIFY(!ownRecording.isEmpty() && !lineRecording.isEmpty() && !ownReport.isEmpty());

    const QList<SiteDriveStatus> rows = SiteStatus::fromFiles(*site);
    QCOMPARE(rows[0].testRun, QStringLiteral("passed"));
    QVERIFY(!rows[0].attention());
    QCOMPARE(rows[1].testRun, QStringLiteral("failed: Frequency reached (forward)"));
    QVERIFY(rows[1].attention());
    QCOMPARE(rows[2].testRun, QStringLiteral("not completed"));
    QVERIFY(!rows[2].testRunFailed);
    QCOMPARE(rows[0].recordingFile, lineRecording);
    QCOMPARE(rows[1].recordingFile, lineRecording);
    QCOMPARE(rows[0].reportFile, lineReport);
    QCOMPARE(rows[1].reportFile, ownReport);
    QCOMPARE(rows[1].reportTime, kMorning.addSecs(5));

    // The JSON of a row carries what the table shows.
    const QJsonObject o = rows[1].json();
    QCOMPARE(o.value(QStringLiteral("drive")).toInt(), 2);
    QCOMPARE(o.value(QStringLiteral("name")).toString(), QStringLiteral("Conveyor 2"));
    QCOMPARE(o.value(QStringLiteral("testRun")).toString(), rows[1].testRun);
    QCOMPARE(o.value(QStringLiteral("attention")).toBool(), true);
    QCOMPARE(o.value(QStringLiteral("report")).toString(), ownReport);
    QCOMPARE(SiteStatus::rowTexts(rows[1]).size(), SiteStatus::columnTitles().size());

    // A test run file that is no test run (an empty file left by a save
    // that failed) is said, not taken for a result.
    QVERIFY(!testRunFile(1, kMorning.addSecs(900)).isEmpty());
    QCOMPARE(SiteStatus::fromFiles(*site)[0].testRun, QStringLiteral("not readable"));
}

void tst_sitetools::writesAreJournaledWithWhatBecameOfThem()
{
    QTemporaryDir dir;
    ParamSet reference;
    const std::optional<SiteFolder> site = makeSite(dir.path(), &reference);
    QVERIFY(site);
    ParamSet before;
    before.values[0x000E] = ParamValue{ParamValue::State::Value, 100};
    before.values[0x000F] = ParamValue{ParamValue::State::Value, 100};
    using O = WriteItem::Outcome;
    const QList<WriteItem> items{
        item(0x000E, 125, O::Written, 125), item(0x000F, 70, O::ReadBackDiffers, 65),
        item(0x0003, 4000, O::Refused),     item(0x0006, 5000, O::SentNoAnswer),
        item(0x0007, 100, O::NotReadBack),  item(0x0008, 5000, O::NotWritten)};
    QVERIFY(SiteJournaling::recordWrites(*site, QStringLiteral("restore"), QStringLiteral("a"), 2,
                                         items, before)
                .isEmpty());
    // A clone target: its writes, with the values it was read with.
    CloneJob::Target target;
    target.address = 3;
    target.before = before;
    target.writes = {item(0x000E, 90, O::Written, 90)};
    QVERIFY(SiteJournaling::recordCloneTarget(*site, QStringLiteral("clone"), QStringLiteral("a"),
                                              target)
                .isEmpty());

    const JournalReading reading = Journal::read(site->layout().journalPath());
    QVERIFY(reading.problems.isEmpty());
    // The write that never went out is not there: it reached no drive.
    QCOMPARE(reading.entries.size(), 6);
    const JournalEntry& first = reading.entries[0];
    QCOMPARE(first.kind, JournalEntry::Kind::Write);
    QCOMPARE(first.tool, QStringLiteral("restore"));
    QCOMPARE(first.line, QStringLiteral("a"));
    QCOMPARE(first.drive, quint8(2));
    QCOMPARE(first.parameter, QStringLiteral("P0.14"));
    QCOMPARE(first.before, std::optional<QString>(ParamCatalogue::shown(0x000E, 100)));
    QCOMPARE(first.asked, ParamCatalogue::shown(0x000E, 125));
    QCOMPARE(first.outcome, JournalEntry::Outcome::Verified);
    QVERIFY(!first.readBack);
    QCOMPARE(reading.entries[1].outcome, JournalEntry::Outcome::ReadBackDiffers);
    QCOMPARE(reading.entries[1].readBack,
             std::optional<QString>(ParamCatalogue::shown(0x000F, 65)));
    QCOMPARE(reading.entries[2].outcome, JournalEntry::Outcome::Refused);
    QVERIFY(!reading.entries[2].before); // not read before: not known
    QCOMPARE(reading.entries[3].outcome, JournalEntry::Outcome::NoAnswer);
    QCOMPARE(reading.entries[4].outcome, JournalEntry::Outcome::NotReadBack);
    QCOMPARE(reading.entries[5].tool, QStringLiteral("clone"));
    QCOMPARE(reading.entries[5].drive, quint8(3));
}

void tst_sitetools::runsAndTestRunsAreJournaled()
{
    QTemporaryDir dir;
    ParamSet reference;
    const std::optional<SiteFolder> site = makeSite(dir.path(), &reference);
    QVERIFY(site);
    const QString tool = QStringLiteral("vfdctl");
    const QString line = QStringLiteral("a");
    QVERIFY(
        SiteJournaling::recordRunStarted(*site, tool, line, 1, QStringLiteral("forward 30.00 Hz"))
            .isEmpty());
    QVERIFY(SiteJournaling::recordRunStopped(*site, tool, line, 1, QStringLiteral("STOP: time up"))
                .isEmpty());
    TestRunResult failed = finishedRun(2, false);
    failed.plan.reverse = true;
    failed.ended = kMorning;
    QVERIFY(SiteJournaling::recordTestRun(*site, tool, line, failed, QStringLiteral("t.json"))
                .isEmpty());
    // Refused before anything went out: nothing reached the drive.
    TestRunResult refused = finishedRun(3, false);
    refused.sentAnything = false;
    QVERIFY(SiteJournaling::recordTestRun(*site, tool, line, refused, QString()).isEmpty());

    const QList<JournalEntry> entries = Journal::read(site->layout().journalPath()).entries;
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].kind, JournalEntry::Kind::RunStarted);
    QCOMPARE(entries[0].command, QStringLiteral("forward 30.00 Hz"));
    QCOMPARE(entries[1].kind, JournalEntry::Kind::RunStopped);
    QCOMPARE(entries[2].kind, JournalEntry::Kind::TestRun);
    QCOMPARE(entries[2].drive, quint8(2));
    QCOMPARE(entries[2].result, QStringLiteral("failed: Frequency reached (forward)"));
    QCOMPARE(entries[2].command, QStringLiteral("forward and reverse 30.00 Hz, 20 s each way"));
    QCOMPARE(entries[2].file, QStringLiteral("t.json"));
    QCOMPARE(entries[2].time, kMorning);
}

void tst_sitetools::aFullDiskIsSaid()
{
    SmallDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    ParamSet reference;
    const std::optional<SiteFolder> site =
        makeSite(disk.path() + QStringLiteral("/site"), &reference);
    QVERIFY(site);
    QVERIFY(disk.fill());
    const QString failure =
        SiteJournaling::recordWrites(*site, QStringLiteral("restore"), QStringLiteral("a"), 1,
                                     {item(0x000E, 125, WriteItem::Outcome::Written, 125),
                                      item(0x000F, 125, WriteItem::Outcome::Written, 125)});
    QVERIFY2(failure.contains(QStringLiteral("cannot be written")), qPrintable(failure));
    QVERIFY(disk.free());
    QVERIFY(SiteJournaling::recordRunStopped(*site, QStringLiteral("vfdctl"), QStringLiteral("a"),
                                             1, QStringLiteral("STOP"))
                .isEmpty());
    QCOMPARE(Journal::read(site->layout().journalPath()).entries.size(), 1);
}

QTEST_GUILESS_MAIN(tst_sitetools)
#include "tst_sitetools.moc"
