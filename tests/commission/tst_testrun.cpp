// SPDX-License-Identifier: GPL-3.0-or-later
// The test run and the report end to end: vfdctl against vfdsim on a
// pseudo-terminal, what vfdctl says checked against what the drives heard.
#include "CtlProcess.h"
#include "ParamSetFile.h"
#include "SimProcess.h"
#include "SiteFolder.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

CtlRun vfdctl(const SimProcess& sim, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--port"), sim.device()} + arguments, 90000);
}

QJsonObject testRunOf(const CtlRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8())
        .object()
        .value(QStringLiteral("testRun"))
        .toObject();
}

// The checks of a run by name: whether each passed.
QMap<QString, bool> checksOf(const QJsonObject& run)
{
    QMap<QString, bool> checks;
    for (const QJsonValue& v : run.value(QStringLiteral("checks")).toArray())
        checks.insert(v.toObject().value(QStringLiteral("name")).toString(),
                      v.toObject().value(QStringLiteral("passed")).toBool());
    return checks;
}

constexpr int kStop = 0x01;
constexpr int kForward = 0x12;
constexpr int kReverse = 0x22;

// Short ramps keep the runs short: 2 s from 0 to 50 Hz either way.
void quickRamps(SimProcess& sim, int address)
{
    const CtlRun set = vfdctl(sim, {QStringLiteral("set"), QString::number(address),
                                    QStringLiteral("P0.14=2"), QStringLiteral("P0.15=2")});
    QVERIFY2(set.code == 0, qPrintable(set.err));
}

} // namespace

class tst_testrun : public QObject
{
    Q_OBJECT
private slots:
    void aHealthyDrivePassesBothWays();
    void aTripMidRunEndsWithStopAndAFailedCheck();
    void ctrlCStopsTheDrive();
    void nothingIsSentToADriveThatIsNotReady();
    void reportOfThreeDrivesNamesTheOneMissing();
    void aRunStoppedDuringItsHoldIsNotPassed();
    void reportCountsTheParametersNotAnswered();
    void pageOneShowsATripAndADriveThatIgnoresTheLine();
    void aSitesReportHasReferencesNamesAndWrites();
};

void tst_testrun::aHealthyDrivePassesBothWays()
{
    SimProcess sim;
    quickRamps(sim, 2);
    // Asked first: without --yes (and no one at the terminal) nothing moves.
    const CtlRun unasked = vfdctl(sim, {QStringLiteral("testrun"), QStringLiteral("2"),
                                        QStringLiteral("--hz"), QStringLiteral("30")});
    QCOMPARE(unasked.code, 1);
    QVERIFY(sim.commandsHeard(2).isEmpty());

    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("--yes"), QStringLiteral("testrun"),
                     QStringLiteral("2"), QStringLiteral("--hz"), QStringLiteral("30"),
                     QStringLiteral("--for"), QStringLiteral("1s"), QStringLiteral("--reverse"),
                     QStringLiteral("--expect"), QStringLiteral("current<20"),
                     QStringLiteral("--expect"), QStringLiteral("dc-bus>5000")});
    const QJsonObject result = testRunOf(run);
    const QMap<QString, bool> checks = checksOf(result);
    QVERIFY2(checks.value(QStringLiteral("Readiness")), qPrintable(run.out + run.err));
    QVERIFY(checks.value(QStringLiteral("Frequency reached (forward)")));
    QVERIFY(checks.value(QStringLiteral("Frequency reached (reverse)")));
    QVERIFY(checks.value(QStringLiteral("Direction (forward)")));
    QVERIFY(checks.value(QStringLiteral("Direction (reverse)")));
    QVERIFY(checks.value(QStringLiteral("No trip")));
    QVERIFY(checks.value(QStringLiteral("Limit current < 20 A")));
    QVERIFY(checks.value(QStringLiteral("Stopped")));
    // A limit the drive cannot keep fails, and with it the run (exit 1).
    QVERIFY(checks.contains(QStringLiteral("Limit dc-bus > 5000 V")));
    QVERIFY(!checks.value(QStringLiteral("Limit dc-bus > 5000 V")));
    // What failed is said with its units, as the report's headline says it.
    for (const QJsonValue& v : result.value(QStringLiteral("checks")).toArray()) {
        const QJsonObject c = v.toObject();
        const QString failure = c.value(QStringLiteral("failure")).toString();
        QCOMPARE(failure.isEmpty(), c.value(QStringLiteral("passed")).toBool());
        if (!failure.isEmpty())
            QVERIFY2(failure.startsWith(QStringLiteral("dc-bus fell to ")) &&
                         failure.endsWith(QStringLiteral(" V, limit 5000 V")),
                     qPrintable(failure));
    }
    QCOMPARE(run.code, 1);
    QCOMPARE(result.value(QStringLiteral("ended")).toString(), QStringLiteral("completed"));
    const QList<int> codes = sim.commandsHeard(2);
    QVERIFY(codes.indexOf(kForward) < codes.indexOf(kReverse));
    QCOMPARE(codes.last(), kStop);
    QVERIFY(result.value(QStringLiteral("samples")).toArray().size() > 10);
}

void tst_testrun::aTripMidRunEndsWithStopAndAFailedCheck()
{
    // Drive 1 trips with fault 3 once it has run for 1.5 s.
    SimProcess sim({QStringLiteral("--trip-after"), QStringLiteral("1:3:1.5")});
    quickRamps(sim, 1);
    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--json"), QStringLiteral("--yes"), QStringLiteral("testrun"),
                     QStringLiteral("1"), QStringLiteral("--hz"), QStringLiteral("40"),
                     QStringLiteral("--for"), QStringLiteral("20s")});
    QCOMPARE(run.code, 1);
    const QJsonObject result = testRunOf(run);
    QVERIFY2(result.value(QStringLiteral("ended"))
                 .toString()
                 .startsWith(QStringLiteral("the drive tripped")),
             qPrintable(run.out));
    QCOMPARE(checksOf(result).value(QStringLiteral("No trip"), true), false);
    const QList<int> codes = sim.commandsHeard(1);
    QVERIFY2(codes.contains(kForward), qPrintable(sim.traffic(QString()).join(u'\n')));
    QCOMPARE(codes.last(), kStop);
    // Ended long before the 20 s hold: the trip, not the time, ended it.
    QVERIFY(codes.count(kForward) < 20);
}

void tst_testrun::ctrlCStopsTheDrive()
{
    SimProcess sim;
    CtlProcess ctl({QStringLiteral("--port"), sim.device(), QStringLiteral("--yes"),
                    QStringLiteral("testrun"), QStringLiteral("3"), QStringLiteral("--hz"),
                    QStringLiteral("25"), QStringLiteral("--for"), QStringLiteral("5min")});
    QTRY_VERIFY_WITH_TIMEOUT(sim.commandsHeard(3).count(kForward) >= 2, 20000);
    ctl.signal(SIGINT);
    const CtlRun run = ctl.finish(30000);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.out.contains(QStringLiteral("ended: cancelled by the user")),
             qPrintable(run.out + run.err));
    QCOMPARE(sim.commandsHeard(3).last(), kStop);

    // The drives fall silent mid-run (the simulator halted, its line still
    // there): the lost answers end the run, said as such.
    CtlProcess lost({QStringLiteral("--port"), sim.device(), QStringLiteral("--yes"),
                     QStringLiteral("testrun"), QStringLiteral("3"), QStringLiteral("--hz"),
                     QStringLiteral("25"), QStringLiteral("--for"), QStringLiteral("5min")});
    QTRY_VERIFY_WITH_TIMEOUT(sim.commandsHeard(3).count(kForward) >= 6, 20000);
    ::kill(pid_t(sim.process().processId()), SIGSTOP);
    const CtlRun cut = lost.finish(30000);
    sim.kill();
    QCOMPARE(cut.code, 1);
    QVERIFY2(cut.out.contains(QStringLiteral("ended: the drive stopped answering")),
             qPrintable(cut.out + cut.err));
    QVERIFY(cut.err.contains(QStringLiteral("did not answer the STOP")));
}

void tst_testrun::nothingIsSentToADriveThatIsNotReady()
{
    // Drive 1 reports a fault, drive 2 takes no run commands from the line.
    SimProcess sim({QStringLiteral("--trip"), QStringLiteral("1:11"),
                    QStringLiteral("--factory-sources"), QStringLiteral("2")});
    for (const QString& drive : {QStringLiteral("1"), QStringLiteral("2")}) {
        const CtlRun run = vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), drive,
                                        QStringLiteral("--hz"), QStringLiteral("20")});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.out.contains(QStringLiteral("nothing was sent")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("Test run of drive %1 failed").arg(drive)),
                 qPrintable(run.out));
    }
    QVERIFY(sim.commandsHeard(1).isEmpty());
    QVERIFY(sim.commandsHeard(2).isEmpty());
    QVERIFY(vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("2"),
                         QStringLiteral("--hz"), QStringLiteral("20")})
                .out.contains(QStringLiteral("FAIL  Readiness: P0.04 = 0, P0.01 = 1")));

    // Confirmed for a script with --despite-fault: STOP resets the fault first.
    const CtlRun despite =
        vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("1"),
                     QStringLiteral("--hz"), QStringLiteral("5"), QStringLiteral("--for"),
                     QStringLiteral("1s"), QStringLiteral("--despite-fault")});
    QVERIFY2(despite.code == 0, qPrintable(despite.out + despite.err));
    const QList<int> codes = sim.commandsHeard(1);
    QCOMPARE(codes.first(), kStop);
    QCOMPARE(codes.last(), kStop);
}

void tst_testrun::reportOfThreeDrivesNamesTheOneMissing()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // Drive 1 left at the factory's settings: the catalogue's defaults.
    SimProcess sim({QStringLiteral("--factory-sources"), QStringLiteral("1"),
                    QStringLiteral("--drives"), QStringLiteral("1-2")},
                   false);
    quickRamps(sim, 2);
    QTemporaryDir dir;
    const QString runFile = dir.filePath(QStringLiteral("run2.json"));
    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("2"),
                     QStringLiteral("--hz"), QStringLiteral("20"), QStringLiteral("--for"),
                     QStringLiteral("1s"), QStringLiteral("-o"), runFile});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    // A loaded machine may let an answer come late; the report must then say
    // so rather than claim no differences, so allow it the retries a busy
    // line would be given.
    const CtlRun report = vfdctl(sim, {QStringLiteral("--retries"), QStringLiteral("4"),
                                       QStringLiteral("report"), QStringLiteral("1,2,9"),
                                       QStringLiteral("-o"), pdf, QStringLiteral("--test-run"),
                                       runFile, QStringLiteral("--site"), QStringLiteral("Hall 3"),
                                       QStringLiteral("--technician"), QStringLiteral("R. Ohm")});
    QCOMPARE(report.code, 1); // drive 9 did not answer
    QVERIFY2(report.err.contains(QStringLiteral("drive 9 did not answer")), qPrintable(report.err));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString body = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QString& s :
         {QStringLiteral("Hall 3"), QStringLiteral("R. Ohm"),
          QStringLiteral("Drive 9 did not answer"), QStringLiteral("No differences"),
          QStringLiteral("P0.04"), QStringLiteral("Result: PASS"),
          QStringLiteral("Frequency reached (forward)"),
          QStringLiteral("Appendix: parameter set of drive 2")})
        QVERIFY2(body.contains(s), qPrintable(s + u'\n' + report.err));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("report.html"))));

    const CtlRun bad = vfdctl(sim, {QStringLiteral("report"), QStringLiteral("1"),
                                    QStringLiteral("-o"), pdf, QStringLiteral("--test-run"), pdf});
    QCOMPARE(bad.code, 2);
    QVERIFY2(bad.err.contains(QStringLiteral("is no test run")), qPrintable(bad.err));
}

void tst_testrun::aRunStoppedDuringItsHoldIsNotPassed()
{
    // 10 Hz is reached within half a second; a service manager's SIGTERM
    // comes while the drive holds it.
    SimProcess sim;
    quickRamps(sim, 1);
    QTemporaryDir dir;
    const QString runFile = dir.filePath(QStringLiteral("run1.json"));
    CtlProcess ctl({QStringLiteral("--port"), sim.device(), QStringLiteral("--yes"),
                    QStringLiteral("testrun"), QStringLiteral("1"), QStringLiteral("--hz"),
                    QStringLiteral("10"), QStringLiteral("--for"), QStringLiteral("20s"),
                    QStringLiteral("-o"), runFile});
    QTRY_VERIFY_WITH_TIMEOUT(sim.commandsHeard(1).count(kForward) >= 8, 30000);
    ctl.signal(SIGTERM);
    const CtlRun run = ctl.finish(30000);
    QCOMPARE(sim.commandsHeard(1).last(), kStop);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.out.contains(QStringLiteral(
                 "Test run of drive 1 not completed; ended: cancelled by the user.")),
             qPrintable(run.out + run.err));
    QVERIFY(run.out.contains(QStringLiteral("PASS  Frequency reached (forward)")));
    QVERIFY(run.out.contains(QStringLiteral("Not reached: Held (forward).")));

    QFile file(runFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(saved.value(QStringLiteral("passed")).toBool(true), false);
    QCOMPARE(saved.value(QStringLiteral("completed")).toBool(true), false);

    // The report made from it shows the run as not completed.
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const CtlRun report =
        vfdctl(sim, {QStringLiteral("report"), QStringLiteral("1"), QStringLiteral("-o"), pdf,
                     QStringLiteral("--test-run"), runFile});
    QVERIFY2(report.code == 0, qPrintable(report.err));
    QFile html(dir.filePath(QStringLiteral("report.html")));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    QVERIFY(page.contains(QStringLiteral("Result: NOT COMPLETED")));
    QVERIFY(!page.contains(QStringLiteral("Result: PASS")));
}

void tst_testrun::reportCountsTheParametersNotAnswered()
{
    // A drive at the catalogue's defaults answers its status, its values and
    // a few parameters; then the simulator halts, its line still there.
    SimProcess sim({QStringLiteral("--factory-sources"), QStringLiteral("1"),
                    QStringLiteral("--drives"), QStringLiteral("1")});
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    CtlProcess ctl({QStringLiteral("--port"), sim.device(), QStringLiteral("report"),
                    QStringLiteral("1"), QStringLiteral("-o"), pdf});
    QTRY_VERIFY_WITH_TIMEOUT(sim.traffic(QStringLiteral("-> ")).size() >= 17, 30000);
    ::kill(pid_t(sim.process().processId()), SIGSTOP);
    const CtlRun report = ctl.finish(60000);
    sim.kill();
    QCOMPARE(report.code, 1);
    static const QRegularExpression said(
        QStringLiteral("drive 1: (\\d+) parameters not answered and not compared"));
    const QRegularExpressionMatch m = said.match(report.err);
    QVERIFY2(m.hasMatch(), qPrintable(report.err));
    const int unanswered = m.captured(1).toInt();
    QVERIFY(unanswered > 100);
    QFile html(dir.filePath(QStringLiteral("report.html")));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    QVERIFY(!page.contains(QStringLiteral("No differences")));
    QVERIFY(page.contains(QStringLiteral("%1 parameters not answered").arg(unanswered)));
    QVERIFY(page.contains(QStringLiteral("<td>match defaults; %1 not read</td>").arg(unanswered)));
}

void tst_testrun::pageOneShowsATripAndADriveThatIgnoresTheLine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // Drive 2 has tripped (OC-3); drive 1 is as it left the factory (its
    // address too), so it ignores the line and differs from the defaults in
    // nothing.
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-3"), QStringLiteral("--trip"),
                    QStringLiteral("2:3"), QStringLiteral("--factory-sources"),
                    QStringLiteral("1")},
                   false);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const CtlRun report = vfdctl(sim, {QStringLiteral("--retries"), QStringLiteral("4"),
                                       QStringLiteral("report"), QStringLiteral("1-3"),
                                       QStringLiteral("-o"), pdf, QStringLiteral("--no-appendix")});
    QVERIFY2(report.code == 0, qPrintable(report.err));
    QVERIFY2(report.err.contains(QStringLiteral("no technician named")), qPrintable(report.err));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-l"),
                                             QStringLiteral("1"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString first = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QString& s :
         {QStringLiteral("Result: FAILED"), QStringLiteral("0 ready, 2 need attention, 1 failed"),
          QStringLiteral("OC-3"), QStringLiteral("will ignore the line"),
          QStringLiteral("match defaults"), QStringLiteral("Technician: not named")})
        QVERIFY2(first.contains(s), qPrintable(s + u'\n' + first));
    QVERIFY(!first.contains(QStringLiteral("Appendix")));
    // Three drives, no appendix: the verdict and a page each, or little more.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(30000));
    static const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
    const int pages =
        pagesLine.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
    QVERIFY2(pages >= 4 && pages <= 7, qPrintable(QString::number(pages)));
}

void tst_testrun::aSitesReportHasReferencesNamesAndWrites()
{
    // Drive 1 was commissioned to 40 Hz (its reference) and holds 50 Hz; the
    // journal holds one write to it. Drive 2 has a name and no reference.
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-2")}, false);
    QTemporaryDir dir;
    SiteFolder::NewSite what;
    what.name = QStringLiteral("Hall 7");
    what.customer = QStringLiteral("Example Works");
    what.technician = QStringLiteral("R. Ohm");
    what.line = QStringLiteral("a");
    what.port = sim.device();
    what.drives = {1, 2};
    QString error;
    std::optional<SiteFolder> site = SiteFolder::create(dir.path(), what, &error);
    QVERIFY2(site, qPrintable(error));
    ParamSet reference = ParamSet::defaults();
    reference.values[0x0003].raw = 4000;
    reference.values[0x0001].raw = 3; // set up for the line, as the drives are
    reference.values[0x0004].raw = 2;
    const QString sets = site->layout().folder(SiteLayout::Kind::ParameterSets);
    QCOMPARE(ParamSetFile::Save(reference, sets + QStringLiteral("/pump.csv")), QString());
    QVERIFY(site->file().setReference(QStringLiteral("a"), 1, QStringLiteral("pump.csv"), &error));
    QVERIFY(site->file().setDriveName(QStringLiteral("a"), 2, QStringLiteral("Fan 2"), &error));
    QCOMPARE(site->save(), QString());
    JournalEntry write;
    write.tool = QStringLiteral("vfdctl set");
    write.line = QStringLiteral("a");
    write.drive = 1;
    write.parameter = QStringLiteral("P0.14");
    write.before = QStringLiteral("10.0");
    write.asked = QStringLiteral("2.0");
    QCOMPARE(site->record(write), QString());

    const CtlRun report = runVfdctl({QStringLiteral("--site"), dir.path(), QStringLiteral("report"),
                                     QStringLiteral("--no-appendix")},
                                    90000);
    QVERIFY2(report.code == 0, qPrintable(report.out + report.err));
    QVERIFY2(!report.err.contains(QStringLiteral("no technician")), qPrintable(report.err));
    QString html;
    for (QDirIterator it(site->layout().folder(SiteLayout::Kind::Reports),
                         {QStringLiteral("*.html")});
         it.hasNext();) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        html = QString::fromUtf8(file.readAll());
    }
    for (const QString& s :
         {QStringLiteral("Hall 7"), QStringLiteral("Example Works"), QStringLiteral("R. Ohm"),
          QStringLiteral("2 (Fan 2)"), QStringLiteral("1 differs from reference"),
          QStringLiteral("Differences from the reference set"),
          QStringLiteral("P0.14 Acceleration time 1 = <b style=\"font-size: 8.5pt\">10 s</b>"),
          QStringLiteral("<td>50 Hz</td><td>40 Hz</td>"),
          QStringLiteral("<td>P0.14</td><td>10.0</td>"
                         "<td>2.0</td><td>verified</td>")})
        QVERIFY2(html.contains(s), qPrintable(s + u'\n' + report.err));
}

QTEST_MAIN(tst_testrun)
#include "tst_testrun.moc"
