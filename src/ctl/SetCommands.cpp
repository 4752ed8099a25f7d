// SPDX-License-Identifier: GPL-3.0-or-later
// restore and clone: whole parameter sets from files to drives.
#include "CloneJob.h"
#include "DriveList.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ParamJobs.h"
#include "ParamSetFile.h"
#include "ParamSetParts.h"
#include "ShownText.h"
#include "SiteJournaling.h"
#include "WriteRefusals.h"

#include <QJsonArray>

namespace {

QJsonObject writeObject(const WriteItem& w, const ParamSet& before)
{
    return QJsonObject{{QStringLiteral("parameter"), ParamCatalogue::number(w.reg)},
                       {QStringLiteral("name"), ParamCatalogue::name(w.reg).trimmed()},
                       {QStringLiteral("from"), ShownOrNull(w.reg, before.raw(w.reg))},
                       {QStringLiteral("to"), ParamCatalogue::shown(w.reg, w.raw)},
                       {QStringLiteral("unit"), ParamCatalogue::unit(w.reg)}};
}

QJsonArray outcomes(const QList<WriteItem>& items, const ParamSet& before)
{
    QJsonArray list;
    for (const WriteItem& w : items) {
        QJsonObject o = writeObject(w, before);
        o.insert(QStringLiteral("outcome"), w.outcomeWord());
        list.append(o);
    }
    return list;
}

// "P8.00 (...): 2 on the drive, 1 wanted", with how to have it written.
void sayNotAsked(CtlContext& ctx, const QStringList& notAsked, const QString& indent)
{
    for (const QString& line : notAsked)
        ctx.say(indent +
                CtlText::tr("left out as asked (--include-address or --include-line "
                            "writes it): ") +
                ShownText::of(line));
}

int restore(CtlContext& ctx, const QStringList& args)
{
    const std::optional<DriveAndFile> words = DriveAndFileWords(ctx, "restore", args, true);
    if (!words)
        return ctx.finish(ParamCtl::UsageOrPort);
    const std::optional<quint8> address = words->address;
    const std::optional<ParamSet> file = LoadSetFile(ctx, words->file);
    if (!file)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const DriveRead read = ReadWholeDrive(ctx, *client, *address);
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    if (read.stopped) {
        ctx.say(CtlText::tr("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    // Its own address and line settings only when asked for: written, they
    // would cut the drive off from the rest of the restore.
    const WritePlan plan = PlanWrites(*file, read.set, CloneJob::DefaultLeaveOut() - ctx.include);
    for (const QString& left : plan.leftOut)
        ctx.warn(CtlText::tr("left out ") + left);
    sayNotAsked(ctx, plan.notAsked, QString());
    ctx.report.insert(QStringLiteral("leftOut"), QJsonArray::fromStringList(plan.leftOut));
    ctx.report.insert(QStringLiteral("notAsked"), QJsonArray::fromStringList(plan.notAsked));
    if (plan.writes.isEmpty()) {
        ctx.say(CtlText::tr("Drive %1: nothing to write.").arg(*address));
        ctx.report.insert(QStringLiteral("writes"), QJsonArray());
        return ctx.finish(read.complete && plan.leftOut.isEmpty() ? ParamCtl::Done
                                                                  : ParamCtl::Differences);
    }
    for (const WriteItem& w : plan.writes)
        ctx.say(QStringLiteral("%1\t%2\t%3 -> %4\t%5")
                    .arg(ParamCatalogue::number(w.reg),
                         ParamCatalogue::displayName(w.reg).trimmed(),
                         ShownOrDash(w.reg, read.set.raw(w.reg)),
                         ParamCatalogue::shown(w.reg, w.raw), ParamCatalogue::unit(w.reg)));
    bool stopped = false;
    const QString refusal = RefusalBeforeAsking(ctx, *client, *address, plan.writes, &stopped);
    if (stopped || !refusal.isEmpty()) {
        if (stopped)
            ctx.say(CtlText::tr("Stopped before anything was written."));
        else
            ctx.warn(refusal);
        ctx.report.insert(QStringLiteral("refused"), refusal);
        ctx.report.insert(QStringLiteral("writes"), outcomes(plan.writes, read.set));
        return ctx.finish(ParamCtl::Differences);
    }
    if (!ctx.ask(CtlText::tr("Write %1 to drive %2?")
                     .arg(CtlText::parameters(plan.writes.size()))
                     .arg(*address))) {
        ctx.say(CtlText::tr("Nothing written."));
        ctx.report.insert(QStringLiteral("writes"), outcomes(plan.writes, read.set));
        return ctx.finish(ParamCtl::Differences);
    }
    RestoreJob job(*client, *address, plan.writes);
    QObject::connect(&job, &RestoreJob::progress, [&](int done, int total) {
        ctx.progress(CtlText::tr("writing"), done, total);
    });
    stopped = ctx.runToEnd(
        job, &RestoreJob::finished, [&] { job.start(); }, [&] { job.cancel(); });
    if (ctx.site)
        ctx.journaled(SiteJournaling::recordWrites(*ctx.site, ctx.tool(), ctx.siteLine->name,
                                                   *address, job.items(), read.set));
    ctx.answer(job.summary());
    ctx.report.insert(QStringLiteral("writes"), outcomes(job.items(), read.set));
    ctx.report.insert(QStringLiteral("answersAt"), int(job.answersAt()));
    if (const QString refusal = RefusalText(job.refusal(), *address); !refusal.isEmpty())
        ctx.report.insert(QStringLiteral("refused"), refusal);
    return ctx.finish(job.complete() && !stopped ? ParamCtl::Done : ParamCtl::Differences);
}

int cloneCommand(CtlContext& ctx, const QStringList& args)
{
    if (args.size() < 2) {
        ctx.warn(CtlText::tr("clone takes FILE ADDRESS..."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    QList<quint8> addresses;
    for (const QString& word : args.mid(1)) {
        // Drive lists: "2,3 5-7" (with a site, names too).
        const std::optional<QList<quint8>> named = ctx.driveList(word);
        if (!named)
            return ctx.finish(ParamCtl::UsageOrPort);
        for (quint8 address : *named) {
            if (!addresses.contains(address))
                addresses << address;
        }
    }
    const std::optional<ParamSet> file = LoadSetFile(ctx, args[0]);
    if (!file)
        return ctx.finish(ParamCtl::UsageOrPort);
    const QSet<quint16> leaveOut = CloneJob::DefaultLeaveOut() - ctx.include;
    if (const QString refusal =
            CloneJob::SharedAddressRefusal(*file, int(addresses.size()), leaveOut);
        !refusal.isEmpty()) {
        ctx.warn(refusal);
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    CloneJob job(*client, *file, addresses);
    job.leaveOut = leaveOut;
    job.verify = ctx.fullVerify ? CloneJob::Verify::Full : CloneJob::Verify::ReadBack;
    QObject::connect(&job, &CloneJob::progress, [&](const QString& what, int done, int total) {
        ctx.progress(what, done, total);
    });
    if (ctx.runToEnd(
            job, &CloneJob::previewReady, [&] { job.preview(); }, [&] { job.cancel(); })) {
        ctx.say(CtlText::tr("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    int toWrite = 0;
    bool allAnswered = true;
    for (const CloneJob::Target& t : job.targets()) {
        if (t.readFailed) {
            ctx.say(CtlText::tr("Drive %1: does not answer, left alone.").arg(t.address));
            allAnswered = false;
            continue;
        }
        toWrite += !t.plan.writes.isEmpty();
        ctx.say(
            t.plan.writes.isEmpty() && t.plan.leftOut.isEmpty()
                ? CtlText::tr("Drive %1: matches the file.").arg(t.address)
                : CtlText::tr("Drive %1: %2 to write").arg(t.address).arg(t.plan.writes.size()));
        for (const WriteItem& w : t.plan.writes)
            ctx.say(QStringLiteral("  %1\t%2 -> %3")
                        .arg(ParamCatalogue::number(w.reg), ShownOrDash(w.reg, t.before.raw(w.reg)),
                             ParamCatalogue::shown(w.reg, w.raw)));
        for (const QString& left : t.plan.leftOut)
            ctx.say(CtlText::tr("  left out ") + left);
        sayNotAsked(ctx, t.plan.notAsked, QStringLiteral("  "));
    }
    auto targetsReport = [&] {
        QJsonArray list;
        for (const CloneJob::Target& t : job.targets()) {
            QJsonObject o{{QStringLiteral("drive"), int(t.address)},
                          {QStringLiteral("answered"), !t.readFailed},
                          {QStringLiteral("leftOut"), QJsonArray::fromStringList(t.plan.leftOut)},
                          {QStringLiteral("notAsked"), QJsonArray::fromStringList(t.plan.notAsked)},
                          {QStringLiteral("summary"), t.restoreSummary}};
            if (t.differencesAfter >= 0) {
                o.insert(QStringLiteral("differencesLeft"), t.differencesAfter);
                o.insert(QStringLiteral("notAnsweredAfter"), t.unansweredAfter);
            }
            list.append(o);
        }
        ctx.report.insert(QStringLiteral("targets"), list);
    };
    if (toWrite == 0) {
        // Nothing to ask about: a row that already matches is a success.
        targetsReport();
        bool clean = allAnswered;
        for (const CloneJob::Target& t : job.targets())
            clean = clean && t.plan.leftOut.isEmpty();
        ctx.say(CtlText::tr("Nothing to write."));
        return ctx.finish(clean ? ParamCtl::Done : ParamCtl::Differences);
    }
    // A target that would refuse is said before the question, not after it.
    bool stoppedBefore = false;
    const QStringList refusals = CloneRefusalsBeforeAsking(ctx, *client, job, &stoppedBefore);
    if (stoppedBefore) {
        ctx.say(CtlText::tr("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    if (!refusals.isEmpty()) {
        for (const QString& refusal : std::as_const(refusals))
            ctx.warn(refusal);
        ctx.say(CtlText::tr("Nothing written."));
        targetsReport();
        return ctx.finish(ParamCtl::Differences);
    }
    if (!ctx.ask(CtlText::tr("Write to %1 as listed?").arg(CtlText::drives(toWrite)))) {
        ctx.say(CtlText::tr("Nothing written."));
        targetsReport();
        return ctx.finish(ParamCtl::Differences);
    }
    // Each target's writes are journaled as the target is done.
    if (ctx.site)
        QObject::connect(&job, &CloneJob::targetWritten, [&](int index) {
            ctx.journaled(SiteJournaling::recordCloneTarget(
                *ctx.site, ctx.tool(), ctx.siteLine->name, job.targets()[index]));
        });
    const bool stopped = ctx.runToEnd(
        job, &CloneJob::finished, [&] { job.apply(); }, [&] { job.cancel(); });
    for (const CloneJob::Target& t : job.targets()) {
        ctx.answer(t.restoreSummary);
        if (const QString verified = CloneJob::VerifyLine(t); !verified.isEmpty())
            ctx.answer(verified);
    }
    targetsReport();
    return ctx.finish(job.allDone() && !stopped ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddParamSetCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    AddBackupCommands(commands);
    commands.insert(
        QStringLiteral("restore"),
        {restore, true,
         CtlText::tr("  restore ADDRESS FILE [--yes] [--include-address] [--include-line]\n"
                     "                             write the differing parameters of FILE to "
                     "the drive\n"
                     "                             (P8.00 and P8.01 left out; with --site and "
                     "no FILE,\n"
                     "                             the drive's reference set)\n")});
    commands.insert(
        QStringLiteral("clone"),
        {cloneCommand, true,
         CtlText::tr("  clone FILE ADDRESS... [--yes] [--include-line] [--verify full]\n"
                     "                             write FILE to several drives (P8.00 and "
                     "P8.01 left\n"
                     "                             out); each write is read back, --verify "
                     "full reads\n"
                     "                             every target again afterwards\n")});
}
