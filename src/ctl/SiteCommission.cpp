// SPDX-License-Identifier: GPL-3.0-or-later
// site commission: a row of the site's line scanned, backed up, cloned,
// test-run and reported in one go.
#include "SiteCommission.h"

#include "LinkClient.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ShownText.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

QString stepLine(const QString& label, SiteCommission::Step step, SiteCommission::Outcome outcome,
                 const QString& text, const QString& file)
{
    QString line = CtlText::tr("Drive %1: %2 %3")
                       .arg(label, ShownText::of(SiteCommission::stepName(step), "SiteSteps"),
                            ShownText::of(SiteCommission::outcomeName(outcome), "SiteSteps"));
    if (!text.isEmpty())
        line += CtlText::tr(": ") + ShownText::of(text, "SiteSteps");
    if (!file.isEmpty() && !text.contains(file))
        line += QStringLiteral(" [%1]").arg(file);
    return line;
}

int siteCommission(CtlContext& ctx, const QStringList& args)
{
    if (!ctx.site || !ctx.siteLine) {
        ctx.warn(CtlText::tr("site commission works on a site: --site DIR (or VFDCTL_SITE)."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    for (const QString& a : args)
        if (a.startsWith(u'-')) {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    QString why;
    const std::optional<QList<quint8>> drives =
        SiteFolder::drivesOf(*ctx.siteLine, args.join(u','), &why);
    if (!drives) {
        ctx.warn(why + u'.');
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    // The job is made on the link only once the words and the site are
    // checked: a mistake there never opens the port.
    const QString problem = SiteCommission::problemOf(*ctx.site, ctx.siteLine->name, *drives);
    if (!problem.isEmpty()) {
        ctx.warn(ShownText::of(problem, "SiteSteps") + CtlText::tr(". Nothing was sent."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    SiteCommission job(*client, *ctx.site, ctx.siteLine->name, *drives);
    if (!ctx.ask(job.plan())) {
        ctx.warn(CtlText::tr("not confirmed: nothing was sent (--yes confirms)."));
        return ctx.finish(ParamCtl::Differences);
    }
    const SiteLine& line = *ctx.siteLine;
    QObject::connect(
        &job, &SiteCommission::stepStarted, [&ctx, &line](quint8 drive, SiteCommission::Step step) {
            ctx.say(drive == 0
                        ? CtlText::tr("Line %1: %2")
                              .arg(line.name,
                                   ShownText::of(SiteCommission::stepName(step), "SiteSteps"))
                        : CtlText::tr("Drive %1: %2")
                              .arg(SiteFolder::driveLabel(line, drive),
                                   ShownText::of(SiteCommission::stepName(step), "SiteSteps")));
        });
    QObject::connect(
        &job, &SiteCommission::stepEnded,
        [&ctx, &line](quint8 drive, SiteCommission::Step step, SiteCommission::Outcome outcome,
                      const QString& text, const QString& file) {
            ctx.say(stepLine(SiteFolder::driveLabel(line, drive), step, outcome, text, file));
        });
    QObject::connect(&job, &SiteCommission::progress,
                     [&ctx](const QString& text) { ctx.live(ShownText::of(text, "SiteSteps")); });
    const bool stopped = ctx.runToEnd(
        job, &SiteCommission::finished, [&] { job.start(); }, [&] { job.cancel(); });

    // Drive by drive, what was done.
    QJsonArray list;
    for (const SiteCommission::DriveSummary& s : job.summary()) {
        ctx.answer(CtlText::tr("Drive %1: %2")
                       .arg(s.label, s.commissioned() ? CtlText::tr("commissioned")
                                                      : CtlText::tr("NOT commissioned")));
        QJsonArray steps;
        for (const SiteCommission::StepResult& r : s.steps) {
            ctx.answer(CtlText::tr("  %1: %2%3")
                           .arg(ShownText::of(SiteCommission::stepName(r.step), "SiteSteps"),
                                ShownText::of(SiteCommission::outcomeName(r.outcome), "SiteSteps"),
                                r.text.isEmpty() ? QString()
                                                 : CtlText::tr(" (%1)").arg(
                                                       ShownText::of(r.text, "SiteSteps"))));
            QJsonObject o{{QStringLiteral("step"), SiteCommission::stepName(r.step)},
                          {QStringLiteral("outcome"), SiteCommission::outcomeName(r.outcome)},
                          {QStringLiteral("text"), r.text}};
            if (!r.file.isEmpty())
                o.insert(QStringLiteral("file"), r.file);
            steps.append(o);
        }
        QJsonObject d{{QStringLiteral("drive"), int(s.address)},
                      {QStringLiteral("label"), s.label},
                      {QStringLiteral("commissioned"), s.commissioned()},
                      {QStringLiteral("steps"), steps}};
        if (s.run)
            d.insert(QStringLiteral("testRun"), s.run->verdict());
        list.append(d);
    }
    ctx.report.insert(QStringLiteral("site"), ctx.site->root());
    ctx.report.insert(QStringLiteral("line"), line.name);
    ctx.report.insert(QStringLiteral("drives"), list);
    ctx.report.insert(QStringLiteral("cancelled"), stopped || job.cancelled());
    if (!job.reportPath().isEmpty()) {
        ctx.report.insert(QStringLiteral("report"), job.reportPath());
        ctx.say(CtlText::tr("Report: %1").arg(job.reportPath()));
    }
    QJsonArray reused;
    for (const quint8 a : job.reusedReads())
        reused.append(int(a));
    ctx.report.insert(QStringLiteral("readOnceForReport"), reused);
    if (stopped)
        ctx.warn(CtlText::tr("stopped: the running drives were sent STOP; no report was made."));
    return ctx.finish(job.allCommissioned() && !stopped ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddSiteCommissionCommand(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(
        QStringLiteral("site commission"),
        {siteCommission, true,
         CtlText::tr(
             "  site commission [DRIVES] [--yes]\n"
             "                             with --site: scan the line, back up each reference\n"
             "                             source drive, write its set to the drives of its\n"
             "                             reference (each write read back), test-run every\n"
             "                             drive as the site says (test-hz, test-for, ...),\n"
             "                             then the report; all saved into the site (exit 0\n"
             "                             when every drive was commissioned and passed)\n")});
}
