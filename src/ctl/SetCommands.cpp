// SPDX-License-Identifier: GPL-3.0-or-later
// backup, compare, restore and clone: whole parameter sets between drives and files.
#include "CloneJob.h"
#include "DriveList.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ParamJobs.h"
#include "ParamSetFile.h"
#include "WriteRefusals.h"

#include <QJsonArray>

namespace {

using NumberText::Counted;

QString differenceLine(const ParamDifference& d, const QString& leftName, const QString& rightName)
{
    return QStringLiteral("%1\t%2\t%3=%4\t%5=%6\t%7")
        .arg(ParamCatalogue::number(d.reg), ParamCatalogue::name(d.reg).trimmed(), leftName,
             ShownOrDash(d.reg, d.left), rightName, ShownOrDash(d.reg, d.right),
             ParamCatalogue::unit(d.reg));
}

QJsonValue shownOrNull(quint16 reg, const std::optional<quint16>& raw)
{
    return raw ? QJsonValue(ParamCatalogue::shown(reg, *raw)) : QJsonValue();
}

QJsonObject writeObject(const WriteItem& w, const ParamSet& before)
{
    return QJsonObject{{QStringLiteral("parameter"), ParamCatalogue::number(w.reg)},
                       {QStringLiteral("name"), ParamCatalogue::name(w.reg).trimmed()},
                       {QStringLiteral("from"), shownOrNull(w.reg, before.raw(w.reg))},
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
                QStringLiteral("left out as asked (--include-address or --include-line "
                               "writes it): ") +
                line);
}

std::optional<ParamSet> loadSet(CtlContext& ctx, const QString& file)
{
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(file);
    if (loaded.set)
        return *loaded.set;
    ctx.warn(file + (loaded.line > 0 ? QStringLiteral(", line %1").arg(loaded.line) : QString()) +
             QStringLiteral(": ") + loaded.error + QStringLiteral("\nNothing was written."));
    return std::nullopt;
}

// A whole drive read; the parameters it did not answer are said.
struct DriveRead
{
    ParamSet set;
    bool complete = false;
    bool stopped = false;
};

DriveRead readDrive(CtlContext& ctx, LinkClient& client, quint8 address)
{
    ReadJob job(client, address);
    QObject::connect(&job, &ReadJob::progress, [&](int done, int total) {
        ctx.progress(QStringLiteral("drive %1").arg(address), done, total);
    });
    DriveRead read;
    read.stopped = ctx.runToEnd(
        job, &ReadJob::finished, [&] { job.start(); }, [&] { job.cancel(); });
    const QList<quint16> missing = job.unanswered();
    if (!read.stopped) {
        for (quint16 reg : missing)
            ctx.warn(QStringLiteral("drive %1 did not answer for %2")
                         .arg(address)
                         .arg(ParamCatalogue::number(reg)));
    }
    read.set = job.result();
    read.complete = missing.isEmpty() && !read.stopped;
    return read;
}

// The drive of backup, compare and restore, which take ADDRESS FILE; nullopt
// (said) when the words do not fit.
std::optional<quint8> addressOfAddressFile(CtlContext& ctx, const char* command,
                                           const QStringList& args)
{
    if (args.size() != 2) {
        ctx.warn(QStringLiteral("%1 takes ADDRESS FILE.").arg(QLatin1String(command)));
        return std::nullopt;
    }
    return ctx.driveAddress(args[0]);
}

int backup(CtlContext& ctx, const QStringList& args)
{
    const std::optional<quint8> address = addressOfAddressFile(ctx, "backup", args);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    const QString file = args[1];
    if (const QString problem = ParamSetFile::DestinationProblem(file); !problem.isEmpty()) {
        // Found now, not after minutes of reading the drive.
        ctx.warn(file + QStringLiteral(" cannot be saved: ") + problem +
                 QStringLiteral("\nThe drive was not read."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const DriveRead read = readDrive(ctx, *client, *address);
    const int answered = read.set.answered();
    const int notRead = int(read.set.values.size()) - answered;
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    ctx.report.insert(QStringLiteral("read"), answered);
    ctx.report.insert(QStringLiteral("notAnswered"), notRead);
    ctx.report.insert(QStringLiteral("saved"), false);
    if (read.stopped) {
        ctx.warn(QStringLiteral("stopped; %1 was not written.").arg(file));
        return ctx.finish(ParamCtl::Differences);
    }
    // A file of "no answer" rows would only take the place of a good one.
    if (answered == 0) {
        ctx.warn(QStringLiteral("drive %1 answered for no parameter; %2 was not written.")
                     .arg(*address)
                     .arg(file));
        return ctx.finish(ParamCtl::Differences);
    }
    const std::optional<int> before = ParamSetFile::AnsweredInFile(file);
    if (before && *before > answered && !ctx.force) {
        ctx.warn(QStringLiteral("drive %1: %2 read, %3 not answered; %4 holds %5 and was left "
                                "as it was (--force replaces it).")
                     .arg(*address)
                     .arg(Counted(answered, "parameter", "parameters"))
                     .arg(notRead)
                     .arg(file)
                     .arg(*before));
        return ctx.finish(ParamCtl::Differences);
    }
    if (const QString error = ParamSetFile::Save(read.set, file); !error.isEmpty()) {
        ctx.warn(file + QStringLiteral(" could not be saved: ") + error);
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    ctx.report.insert(QStringLiteral("saved"), true);
    ctx.report.insert(QStringLiteral("file"), file);
    if (read.complete)
        ctx.say(QStringLiteral("Drive %1: %2 saved to %3")
                    .arg(*address)
                    .arg(Counted(read.set.values.size(), "parameter", "parameters"), file));
    else
        ctx.say(QStringLiteral("Drive %1: %2 read, %3 not answered; saved to %4")
                    .arg(*address)
                    .arg(Counted(answered, "parameter", "parameters"))
                    .arg(notRead)
                    .arg(file));
    return ctx.finish(read.complete ? ParamCtl::Done : ParamCtl::Differences);
}

int compare(CtlContext& ctx, const QStringList& args)
{
    const std::optional<quint8> address = addressOfAddressFile(ctx, "compare", args);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    std::optional<ParamSet> file = loadSet(ctx, args[1]);
    if (!file)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const DriveRead read = readDrive(ctx, *client, *address);
    if (read.stopped) {
        ctx.warn(QStringLiteral("stopped before the drive was read whole; nothing compared."));
        return ctx.finish(ParamCtl::Differences);
    }
    // Like clone and restore: a drive's own address and line settings differ
    // from the file by design unless asked for.
    for (quint16 reg : CloneJob::DefaultLeaveOut() - ctx.include)
        file->values.remove(reg);
    QJsonArray list;
    int differs = 0;
    int unheard = 0;
    for (const ParamDifference& d : CompareSets(read.set, *file)) {
        const bool silent =
            read.set.values.value(d.reg).state == ParamValue::State::NoAnswer && d.right;
        (silent ? unheard : differs) += 1;
        ctx.answer(differenceLine(d, QStringLiteral("drive"), QStringLiteral("file")));
        list.append(QJsonObject{{QStringLiteral("parameter"), ParamCatalogue::number(d.reg)},
                                {QStringLiteral("name"), ParamCatalogue::name(d.reg).trimmed()},
                                {QStringLiteral("drive"), shownOrNull(d.reg, d.left)},
                                {QStringLiteral("file"), shownOrNull(d.reg, d.right)},
                                {QStringLiteral("unit"), ParamCatalogue::unit(d.reg)}});
    }
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    ctx.report.insert(QStringLiteral("differences"), list);
    ctx.report.insert(QStringLiteral("notAnswered"), unheard);
    QString total = Counted(differs, "difference", "differences");
    if (unheard > 0)
        total +=
            QStringLiteral(", %1 not answered").arg(Counted(unheard, "parameter", "parameters"));
    ctx.say(total);
    return ctx.finish(list.isEmpty() && read.complete ? ParamCtl::Done : ParamCtl::Differences);
}

int restore(CtlContext& ctx, const QStringList& args)
{
    const std::optional<quint8> address = addressOfAddressFile(ctx, "restore", args);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    const std::optional<ParamSet> file = loadSet(ctx, args[1]);
    if (!file)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const DriveRead read = readDrive(ctx, *client, *address);
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    if (read.stopped) {
        ctx.say(QStringLiteral("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    // Its own address and line settings only when asked for: written, they
    // would cut the drive off from the rest of the restore.
    const WritePlan plan = PlanWrites(*file, read.set, CloneJob::DefaultLeaveOut() - ctx.include);
    for (const QString& left : plan.leftOut)
        ctx.warn(QStringLiteral("left out ") + left);
    sayNotAsked(ctx, plan.notAsked, QString());
    ctx.report.insert(QStringLiteral("leftOut"), QJsonArray::fromStringList(plan.leftOut));
    ctx.report.insert(QStringLiteral("notAsked"), QJsonArray::fromStringList(plan.notAsked));
    if (plan.writes.isEmpty()) {
        ctx.say(QStringLiteral("Drive %1: nothing to write.").arg(*address));
        ctx.report.insert(QStringLiteral("writes"), QJsonArray());
        return ctx.finish(read.complete && plan.leftOut.isEmpty() ? ParamCtl::Done
                                                                  : ParamCtl::Differences);
    }
    for (const WriteItem& w : plan.writes)
        ctx.say(QStringLiteral("%1\t%2\t%3 -> %4\t%5")
                    .arg(ParamCatalogue::number(w.reg), ParamCatalogue::name(w.reg).trimmed(),
                         ShownOrDash(w.reg, read.set.raw(w.reg)),
                         ParamCatalogue::shown(w.reg, w.raw), ParamCatalogue::unit(w.reg)));
    bool stopped = false;
    const QString refusal = RefusalBeforeAsking(ctx, *client, *address, plan.writes, &stopped);
    if (stopped || !refusal.isEmpty()) {
        if (stopped)
            ctx.say(QStringLiteral("Stopped before anything was written."));
        else
            ctx.warn(refusal);
        ctx.report.insert(QStringLiteral("refused"), refusal);
        ctx.report.insert(QStringLiteral("writes"), outcomes(plan.writes, read.set));
        return ctx.finish(ParamCtl::Differences);
    }
    if (!ctx.ask(QStringLiteral("Write %1 to drive %2?")
                     .arg(Counted(plan.writes.size(), "parameter", "parameters"))
                     .arg(*address))) {
        ctx.say(QStringLiteral("Nothing written."));
        ctx.report.insert(QStringLiteral("writes"), outcomes(plan.writes, read.set));
        return ctx.finish(ParamCtl::Differences);
    }
    RestoreJob job(*client, *address, plan.writes);
    QObject::connect(&job, &RestoreJob::progress, [&](int done, int total) {
        ctx.progress(QStringLiteral("writing"), done, total);
    });
    stopped = ctx.runToEnd(
        job, &RestoreJob::finished, [&] { job.start(); }, [&] { job.cancel(); });
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
        ctx.warn(QStringLiteral("clone takes FILE ADDRESS..."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    QList<quint8> addresses;
    for (const QString& word : args.mid(1)) {
        // Drive lists: "2,3 5-7".
        QString problem;
        const std::optional<QList<quint8>> named = DriveList::parse(word, &problem);
        if (!named) {
            ctx.warn(problem + u'.');
            return ctx.finish(ParamCtl::UsageOrPort);
        }
        for (quint8 address : *named) {
            if (!addresses.contains(address))
                addresses << address;
        }
    }
    const std::optional<ParamSet> file = loadSet(ctx, args[0]);
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
        ctx.say(QStringLiteral("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    int toWrite = 0;
    bool allAnswered = true;
    for (const CloneJob::Target& t : job.targets()) {
        if (t.readFailed) {
            ctx.say(QStringLiteral("Drive %1: does not answer, left alone.").arg(t.address));
            allAnswered = false;
            continue;
        }
        toWrite += !t.plan.writes.isEmpty();
        ctx.say(
            t.plan.writes.isEmpty() && t.plan.leftOut.isEmpty()
                ? QStringLiteral("Drive %1: matches the file.").arg(t.address)
                : QStringLiteral("Drive %1: %2 to write").arg(t.address).arg(t.plan.writes.size()));
        for (const WriteItem& w : t.plan.writes)
            ctx.say(QStringLiteral("  %1\t%2 -> %3")
                        .arg(ParamCatalogue::number(w.reg), ShownOrDash(w.reg, t.before.raw(w.reg)),
                             ParamCatalogue::shown(w.reg, w.raw)));
        for (const QString& left : t.plan.leftOut)
            ctx.say(QStringLiteral("  left out ") + left);
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
        ctx.say(QStringLiteral("Nothing to write."));
        return ctx.finish(clean ? ParamCtl::Done : ParamCtl::Differences);
    }
    // A target that would refuse is said before the question, not after it.
    bool stoppedBefore = false;
    const QStringList refusals = CloneRefusalsBeforeAsking(ctx, *client, job, &stoppedBefore);
    if (stoppedBefore) {
        ctx.say(QStringLiteral("Stopped before anything was written."));
        return ctx.finish(ParamCtl::Differences);
    }
    if (!refusals.isEmpty()) {
        for (const QString& refusal : std::as_const(refusals))
            ctx.warn(refusal);
        ctx.say(QStringLiteral("Nothing written."));
        targetsReport();
        return ctx.finish(ParamCtl::Differences);
    }
    if (!ctx.ask(
            QStringLiteral("Write to %1 as listed?").arg(Counted(toWrite, "drive", "drives")))) {
        ctx.say(QStringLiteral("Nothing written."));
        targetsReport();
        return ctx.finish(ParamCtl::Differences);
    }
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
    commands.insert(
        QStringLiteral("backup"),
        {backup, true,
         QStringLiteral("  backup ADDRESS FILE [--force]\n"
                        "                             read every parameter of a drive into FILE "
                        "(CSV);\n"
                        "                             nothing is saved when the drive answered "
                        "none, and\n"
                        "                             a FILE holding more answered parameters is "
                        "kept\n"
                        "                             unless --force is given\n")});
    commands.insert(QStringLiteral("compare"),
                    {compare, true,
                     QStringLiteral("  compare ADDRESS FILE [--include-address] [--include-line]\n"
                                    "                             list the parameters where drive "
                                    "and FILE differ\n"
                                    "                             (P8.00 and P8.01 left out)\n")});
    commands.insert(
        QStringLiteral("restore"),
        {restore, true,
         QStringLiteral("  restore ADDRESS FILE [--yes] [--include-address] [--include-line]\n"
                        "                             write the differing parameters of FILE to "
                        "the drive\n"
                        "                             (P8.00 and P8.01 left out)\n")});
    commands.insert(
        QStringLiteral("clone"),
        {cloneCommand, true,
         QStringLiteral("  clone FILE ADDRESS... [--yes] [--include-line] [--verify full]\n"
                        "                             write FILE to several drives (P8.00 and "
                        "P8.01 left\n"
                        "                             out); each write is read back, --verify "
                        "full reads\n"
                        "                             every target again afterwards\n")});
}
