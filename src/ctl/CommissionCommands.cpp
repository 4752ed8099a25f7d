// SPDX-License-Identifier: GPL-3.0-or-later
// testrun and report: a drive run through a checked profile, and the
// commissioning report of several drives as PDF and HTML.
#include "BoundedRead.h"
#include "CommissionReport.h"
#include "Destination.h"
#include "DriveList.h"
#include "DriveSurvey.h"
#include "LinkClient.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "RecordCommand.h"
#include "ReportFromSite.h"
#include "ShownText.h"
#include "SiteJournaling.h"
#include "SiteStatus.h"
#include "TestRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The value after an option; nullopt (said why) when there is none.
std::optional<QString> valueOf(CtlContext& ctx, const QStringList& args, int& i)
{
    if (i + 1 >= args.size()) {
        ctx.warn(args[i] + CtlText::tr(" needs a value."));
        return std::nullopt;
    }
    return args[++i];
}

std::optional<TestRunPlan> testRunWords(CtlContext& ctx, const QStringList& args, QString* outFile)
{
    TestRunPlan plan;
    QString address;
    QString hz;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--reverse") {
            plan.reverse = true;
        } else if (a == u"--despite-fault") {
            plan.runDespiteFault = true;
        } else if (a == u"--hz" || a == u"--for" || a == u"--expect" || a == u"-o") {
            const std::optional<QString> v = valueOf(ctx, args, i);
            if (!v)
                return std::nullopt;
            if (a == u"--hz") {
                hz = *v;
            } else if (a == u"-o") {
                *outFile = *v;
            } else if (a == u"--for") {
                const std::optional<qint64> ms = parseDurationMs(*v);
                if (!ms || *ms <= 0) {
                    ctx.warn(CtlText::tr("--for takes a time such as 20s or 1min."));
                    return std::nullopt;
                }
                plan.holdMs = *ms;
            } else {
                QString problem;
                const std::optional<ExpectLimit> limit = ExpectLimit::parse(*v, &problem);
                if (!limit) {
                    ctx.warn(problem + u'.');
                    return std::nullopt;
                }
                plan.limits << *limit;
            }
        } else if (address.isEmpty() && !a.startsWith(u'-')) {
            address = a;
        } else {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return std::nullopt;
        }
    }
    const std::optional<quint8> one = ctx.driveAddress(address);
    if (!one)
        return std::nullopt;
    plan.address = *one;
    const std::optional<double> f = NumberText::ParseDecimal(hz);
    if (hz.isEmpty() || !f || *f <= 0 || !Hexedit::ControlSetpoint(hz)) {
        ctx.warn(CtlText::tr("--hz takes the frequency to run at, such as 50 or 12.5."));
        return std::nullopt;
    }
    plan.hz = *f;
    return plan;
}

QString saveJson(const QString& path, const QJsonObject& o)
{
    // Checked again: the name may have become a device while the drive ran.
    if (const QString error = saveWhole(path, QJsonDocument(o).toJson()); !error.isEmpty())
        return CtlText::tr("cannot write %1: %2").arg(path, error);
    return {};
}

int testrun(CtlContext& ctx, const QStringList& args)
{
    QString outFile;
    const std::optional<TestRunPlan> plan = testRunWords(ctx, args, &outFile);
    if (!plan)
        return ctx.finish(ParamCtl::UsageOrPort);
    // Before the question and the first frame: a result with nowhere to go
    // would make the run worthless.
    // With a site and no -o, the run goes into its test runs.
    const bool intoSite = outFile.isEmpty() && ctx.site;
    if (intoSite) {
        if (const QString problem =
                folderDestinationProblem(ctx.site->layout().folder(SiteLayout::Kind::TestRuns));
            !problem.isEmpty()) {
            ctx.warn(CtlText::tr("the test run cannot be saved: %1. Nothing was sent.")
                         .arg(ShownText::of(problem)));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    } else if (!outFile.isEmpty()) {
        if (const QString problem = destinationProblem(outFile); !problem.isEmpty()) {
            ctx.warn(CtlText::tr("the test run cannot be saved: %1. Nothing was sent.")
                         .arg(ShownText::of(problem)));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    const QString what =
        CtlText::tr("Drive %1 will run forward%2 to %3 Hz and hold it %4 s%5. Go ahead?")
            .arg(plan->address)
            .arg(plan->reverse ? CtlText::tr(" and then in reverse") : QString(),
                 NumberText::Fixed2(plan->hz), QString::number(plan->holdMs / 1000.0),
                 plan->reverse ? CtlText::tr(" each way") : QString());
    if (!ctx.ask(what)) {
        ctx.warn(CtlText::tr("not confirmed: nothing was sent (--yes confirms)."));
        return ctx.finish(ParamCtl::Differences);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    TestRun job(*client, *plan);
    // A fault at the start is asked about at the terminal only; a script
    // that means it says --despite-fault.
    job.confirmFault = [&ctx](const QString& question) {
        return !ctx.json && ctx.confirm && ctx.confirm(ShownText::of(question, "TestRun"));
    };
    QObject::connect(&job, &TestRun::progress, [&ctx](const QString& text) { ctx.say(text); });
    // On a terminal the drive's output frequency and current as they come.
    QObject::connect(&job, &TestRun::sampled, [&ctx, &job](const TestRunSample& sample) {
        const QStringList& keys = job.result().keys;
        const double hz = sample.values.value(keys.indexOf(QStringLiteral("freq-out")), qQNaN());
        const double amps = sample.values.value(keys.indexOf(QStringLiteral("current")), qQNaN());
        auto shown = [](double v) {
            return qIsFinite(v) ? NumberText::Fixed2(v) : QStringLiteral("—");
        };
        ctx.live(QStringLiteral("  %1 s  %2 Hz  %3 A")
                     .arg(sample.seconds, 0, 'f', 1)
                     .arg(shown(hz), shown(amps)));
    });
    ctx.runToEnd(
        job, &TestRun::finished, [&] { job.start(); }, [&] { job.cancel(); });
    const TestRunResult& r = job.result();
    for (const TestRunCheck& c : r.checks)
        ctx.answer(CtlText::tr("%1  %2: %3 (expected %4)")
                       .arg(ShownText::of(c.resultWord(), "TestRun"),
                            ShownText::of(c.name, "TestRun"), ShownText::of(c.measured, "TestRun"),
                            ShownText::of(c.expected, "TestRun")));
    ctx.answer(
        CtlText::tr("Test run of drive %1 %2; ended: %3.")
            .arg(plan->address)
            .arg(ShownText::of(r.verdict(), "TestRun"), ShownText::of(r.endReason, "TestRun")));
    // A run cut short says what it never got to check.
    if (const QStringList missed = r.notReached(); !missed.isEmpty())
        ctx.answer(CtlText::tr("Not reached: %1.")
                       .arg(ShownText::of(missed, "TestRun").join(CtlText::tr(", "))));
    if (r.sentAnything && !r.stopAnswered)
        ctx.warn(CtlText::tr("drive %1 did not answer the STOP.").arg(plan->address));
    ctx.report.insert(QStringLiteral("testRun"), r.json());
    if (intoSite) {
        outFile = ctx.newSiteFile(SiteLayout::Kind::TestRuns, plan->address,
                                  SiteOutputs::testRunWhat(), SiteOutputs::testRunExtension(),
                                  r.started.isValid() ? r.started : QDateTime::currentDateTime());
    }
    QString saved;
    if (!outFile.isEmpty()) {
        const QString problem = saveJson(outFile, r.json());
        if (!problem.isEmpty()) {
            ctx.warn(problem);
            if (intoSite)
                QFile::remove(outFile); // the empty file its name was taken with
        } else {
            saved = outFile;
            ctx.report.insert(QStringLiteral("file"), saved);
            if (intoSite)
                ctx.say(CtlText::tr("Saved to %1.").arg(saved));
        }
    }
    if (ctx.site)
        ctx.journaled(SiteJournaling::recordTestRun(
            *ctx.site, ctx.tool(), ctx.siteLine->name, r,
            saved.isEmpty() ? QString() : QDir(ctx.site->root()).relativeFilePath(saved)));
    if ((intoSite || !outFile.isEmpty()) && saved.isEmpty())
        return ctx.finish(ParamCtl::UsageOrPort);
    return ctx.finish(r.passed() ? ParamCtl::Done : ParamCtl::Differences);
}

// A test run as written by testrun -o, or the whole --json document of it.
std::optional<TestRunResult> loadRun(CtlContext& ctx, const QString& path)
{
    // A named pipe or a device is refused by its name, never waited on.
    const BoundedRead read = readFileAtMost(path, 64 << 20);
    if (read.outcome != BoundedRead::Outcome::Read) {
        ctx.warn(CtlText::tr("cannot read %1: %2").arg(path, ShownText::of(read.error)));
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(read.bytes, &error);
    if (!doc.isObject()) {
        ctx.warn(CtlText::tr("%1 is no test run: %2 at offset %3")
                     .arg(path, error.errorString())
                     .arg(error.offset));
        return std::nullopt;
    }
    QJsonObject o = doc.object();
    if (o.contains(QStringLiteral("testRun")))
        o = o.value(QStringLiteral("testRun")).toObject();
    QString problem;
    std::optional<TestRunResult> run = TestRunResult::fromJson(o, &problem);
    if (!run)
        ctx.warn(CtlText::tr("%1 is no test run: %2.").arg(path, ShownText::of(problem)));
    return run;
}

int report(CtlContext& ctx, const QStringList& args)
{
    ReportInput input;
    QString list;
    QString pdf;
    QPageSize::PageSizeId paper = QPageSize::A4;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--appendix" || a == u"--no-appendix") {
            input.appendix = a == u"--appendix";
        } else if (a == u"-o" || a == u"--test-run" || a == u"--site" || a == u"--technician" ||
                   a == u"--customer" || a == u"--paper") {
            const std::optional<QString> v = valueOf(ctx, args, i);
            if (!v)
                return ctx.finish(ParamCtl::UsageOrPort);
            if (a == u"-o") {
                pdf = *v;
            } else if (a == u"--site") {
                input.site = *v;
            } else if (a == u"--technician") {
                input.technician = *v;
            } else if (a == u"--customer") {
                input.customer = *v;
            } else if (a == u"--paper") {
                if (v->compare(u"a4", Qt::CaseInsensitive) == 0) {
                    paper = QPageSize::A4;
                } else if (v->compare(u"letter", Qt::CaseInsensitive) == 0) {
                    paper = QPageSize::Letter;
                } else {
                    ctx.warn(CtlText::tr("--paper takes a4 or letter."));
                    return ctx.finish(ParamCtl::UsageOrPort);
                }
            } else {
                const std::optional<TestRunResult> run = loadRun(ctx, *v);
                if (!run)
                    return ctx.finish(ParamCtl::UsageOrPort);
                input.runs << *run;
            }
        } else if (list.isEmpty() && !a.startsWith(u'-')) {
            list = a;
        } else {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    if (list.isEmpty() && !ctx.siteLine) {
        ctx.warn(CtlText::tr("report takes ADDRESS[,ADDRESS...]."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    // With a site: every drive of its line unless named, and its name and
    // technician unless given.
    const std::optional<QList<quint8>> drives = ctx.driveList(list);
    if (!drives)
        return ctx.finish(ParamCtl::UsageOrPort);
    if (ctx.site) {
        if (input.site.isEmpty())
            input.site = ctx.site->site().name;
        if (input.technician.isEmpty())
            input.technician = ctx.site->site().technician;
        for (const QString& problem : FillReportFromSite(input, *ctx.site, *ctx.siteLine, *drives))
            ctx.warn(problem + u'.');
        // The drives' newest test runs in the site, unless runs were named.
        if (input.runs.isEmpty())
            for (const SiteDriveStatus& row : SiteStatus::fromFiles(*ctx.site, *ctx.siteLine))
                if (drives->contains(row.address) && row.testRun != u"none" &&
                    row.testRun != u"not readable")
                    if (const std::optional<TestRunResult> run = loadRun(ctx, row.testRunFile))
                        input.runs << *run;
    }
    // The report is signed by the technician: a blank is said now, not
    // found on paper later.
    if (input.technician.isEmpty())
        ctx.warn(CtlText::tr("no technician named (--technician NAME, or the site's "
                             "technician); the report leaves the name blank."));
    // The report's files, taken in the site now (removed again should no
    // report come of it) or checked, before the survey, which may take minutes.
    const bool intoSite = pdf.isEmpty() && ctx.site;
    if (intoSite) {
        pdf = ctx.newSiteFile(SiteLayout::Kind::Reports, drives->size() == 1 ? drives->first() : 0,
                              SiteOutputs::reportWhat(), SiteOutputs::reportExtension(),
                              QDateTime::currentDateTime());
        if (pdf.isEmpty())
            return ctx.finish(ParamCtl::UsageOrPort);
        // The HTML beside it is never one that is there already.
        if (QFileInfo::exists(CommissionReport::HtmlPathFor(pdf))) {
            ctx.warn(CtlText::tr("%1 is there already; nothing was sent.")
                         .arg(CommissionReport::HtmlPathFor(pdf)));
            QFile::remove(pdf);
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    auto dropEmptyPdf = [&] {
        if (intoSite)
            QFile::remove(pdf);
    };
    if (pdf.isEmpty()) {
        ctx.warn(CtlText::tr("name the report: -o FILE.pdf."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    for (const QString& file : {pdf, CommissionReport::HtmlPathFor(pdf)}) {
        if (const QString problem = destinationProblem(file); !problem.isEmpty()) {
            ctx.warn(CtlText::tr("the report cannot be written: %1. Nothing was sent.")
                         .arg(ShownText::of(problem)));
            dropEmptyPdf();
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    LinkClient* client = ctx.openLink();
    if (!client) {
        dropEmptyPdf();
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    DriveSurvey survey(*client, *drives);
    QObject::connect(
        &survey, &DriveSurvey::progress,
        [&ctx](const QString& text, int done, int total) { ctx.progress(text, done, total); });
    const bool stopped = ctx.runToEnd(
        survey, &DriveSurvey::finished, [&] { survey.start(); }, [&] { survey.cancel(); });
    if (stopped) {
        ctx.warn(CtlText::tr("stopped: no report was written."));
        dropEmptyPdf();
        return ctx.finish(ParamCtl::Differences);
    }
    input.drives = survey.records();
    input.portName = client->link().port().portName();
    input.lineSettings = client->link().port().settings();
    input.made = QDateTime::currentDateTime();
    const QString error = CommissionReport::Write(input, pdf, paper);
    if (!error.isEmpty()) {
        ctx.warn(error);
        dropEmptyPdf();
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    bool all = true;
    QJsonArray list2;
    for (const DriveRecord& d : input.drives) {
        all = all && d.answered && d.setComplete;
        if (!d.answered)
            ctx.warn(CtlText::tr("drive %1 did not answer; the report says so.").arg(d.address));
        else if (!d.setComplete)
            ctx.warn(CtlText::tr("drive %1: %2 not answered and not compared; the report "
                                 "says so.")
                         .arg(d.address)
                         .arg(CtlText::parameters(d.unanswered)));
        list2.append(QJsonObject{{QStringLiteral("drive"), int(d.address)},
                                 {QStringLiteral("answered"), d.answered},
                                 {QStringLiteral("differences"), int(d.differences().size())},
                                 {QStringLiteral("notAnswered"), d.unanswered}});
    }
    ctx.say(CtlText::tr("Report written: %1 and %2.").arg(pdf, CommissionReport::HtmlPathFor(pdf)));
    ctx.report.insert(QStringLiteral("pdf"), pdf);
    ctx.report.insert(QStringLiteral("html"), CommissionReport::HtmlPathFor(pdf));
    ctx.report.insert(QStringLiteral("drives"), list2);
    return ctx.finish(all ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddCommissionCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(
        QStringLiteral("testrun"),
        {testrun, true,
         CtlText::tr("  testrun ADDRESS --hz F [--for 20s] [--reverse] [--expect KEY<N]...\n"
                     "         [--despite-fault] [-o FILE.json]\n"
                     "                             run the drive forward (and in reverse) to "
                     "F Hz, hold,\n"
                     "                             STOP, and check it (exit 0 when it ran "
                     "its whole plan\n"
                     "                             and every check passed); with --site and "
                     "no -o, into\n"
                     "                             the site's test-runs/, journaled with "
                     "its result\n")});
    commands.insert(
        QStringLiteral("report"),
        {report, true,
         CtlText::tr("  report ADDRESS[,ADDRESS...] -o FILE.pdf [--test-run FILE.json]...\n"
                     "         [--site TEXT] [--customer TEXT] [--technician TEXT]\n"
                     "         [--paper a4|letter] [--appendix|--no-appendix]\n"
                     "                             the commissioning report as PDF, and as "
                     "HTML beside it:\n"
                     "                             page 1 the verdict, a page or more a drive, "
                     "the whole\n"
                     "                             sets appended (default: up to 4 drives)\n"
                     "                             (with --site DIR before the command: "
                     "the line's drives,\n"
                     "                             the site's name, customer, technician, "
                     "names, references,\n"
                     "                             journal and newest test runs,\n"
                     "                             and into its reports/ without -o)\n")});
}
