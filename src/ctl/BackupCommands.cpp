// SPDX-License-Identifier: GPL-3.0-or-later
// backup and compare: a drive's whole parameter set to a file, and against one.
#include "CloneJob.h"
#include "Destination.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ParamSetFile.h"
#include "ParamSetParts.h"
#include "SiteStatus.h"

#include <QFile>
#include <QJsonArray>

namespace {

int backup(CtlContext& ctx, const QStringList& args)
{
    const std::optional<DriveAndFile> words = DriveAndFileWords(ctx, "backup", args, false);
    if (!words)
        return ctx.finish(ParamCtl::UsageOrPort);
    const quint8 address = words->address;
    // No FILE with a site: a new file in its parameter sets, made once the
    // drive has been read and named by the time the read began.
    const bool intoSite = words->file.isEmpty();
    QString file = words->file;
    const QString problem =
        intoSite
            ? folderDestinationProblem(ctx.site->layout().folder(SiteLayout::Kind::ParameterSets))
            : ParamSetFile::DestinationProblem(file);
    if (!problem.isEmpty()) {
        // Found now, not after minutes of reading the drive.
        ctx.warn((intoSite ? CtlText::tr("the backup") : file) + CtlText::tr(" cannot be saved: ") +
                 problem + CtlText::tr("\nThe drive was not read."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const QDateTime began = QDateTime::currentDateTime();
    const DriveRead read = ReadWholeDrive(ctx, *client, address);
    const int answered = read.set.answered();
    const int notRead = int(read.set.values.size()) - answered;
    const QString nowhere =
        intoSite ? CtlText::tr("nothing was saved") : CtlText::tr("%1 was not written").arg(file);
    ctx.report.insert(QStringLiteral("drive"), int(address));
    ctx.report.insert(QStringLiteral("read"), answered);
    ctx.report.insert(QStringLiteral("notAnswered"), notRead);
    ctx.report.insert(QStringLiteral("saved"), false);
    if (read.stopped) {
        ctx.warn(CtlText::tr("stopped; %1.").arg(nowhere));
        return ctx.finish(ParamCtl::Differences);
    }
    // A file of "no answer" rows would only take the place of a good one.
    if (answered == 0) {
        ctx.warn(CtlText::tr("drive %1 answered for no parameter; %2.").arg(address).arg(nowhere));
        return ctx.finish(ParamCtl::Differences);
    }
    if (intoSite) {
        file = ctx.newSiteFile(SiteLayout::Kind::ParameterSets, address, SiteOutputs::backupWhat(),
                               SiteOutputs::backupExtension(), began);
        if (file.isEmpty())
            return ctx.finish(ParamCtl::UsageOrPort);
    } else if (const std::optional<int> before = ParamSetFile::AnsweredInFile(file);
               before && *before > answered && !ctx.force) {
        ctx.warn(CtlText::tr("drive %1: %2 read, %3 not answered; %4 holds %5 and was left "
                             "as it was (--force replaces it).")
                     .arg(address)
                     .arg(CtlText::parameters(answered))
                     .arg(notRead)
                     .arg(file)
                     .arg(*before));
        return ctx.finish(ParamCtl::Differences);
    }
    if (const QString error = ParamSetFile::Save(read.set, file); !error.isEmpty()) {
        ctx.warn(file + CtlText::tr(" could not be saved: ") + error);
        if (intoSite)
            QFile::remove(file); // the empty file its name was taken with
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    ctx.report.insert(QStringLiteral("saved"), true);
    ctx.report.insert(QStringLiteral("file"), file);
    if (read.complete)
        ctx.say(CtlText::tr("Drive %1: %2 saved to %3")
                    .arg(ctx.driveLabel(address))
                    .arg(CtlText::parameters(read.set.values.size()), file));
    else
        ctx.say(CtlText::tr("Drive %1: %2 read, %3 not answered; saved to %4")
                    .arg(ctx.driveLabel(address))
                    .arg(CtlText::parameters(answered))
                    .arg(notRead)
                    .arg(file));
    return ctx.finish(read.complete ? ParamCtl::Done : ParamCtl::Differences);
}

int compare(CtlContext& ctx, const QStringList& args)
{
    const std::optional<DriveAndFile> words = DriveAndFileWords(ctx, "compare", args, true);
    if (!words)
        return ctx.finish(ParamCtl::UsageOrPort);
    const quint8 address = words->address;
    std::optional<ParamSet> file = LoadSetFile(ctx, words->file);
    if (!file)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    const DriveRead read = ReadWholeDrive(ctx, *client, address);
    if (read.stopped) {
        ctx.warn(CtlText::tr("stopped before the drive was read whole; nothing compared."));
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
        ctx.answer(DifferenceLine(d, QStringLiteral("drive"), QStringLiteral("file")));
        list.append(QJsonObject{{QStringLiteral("parameter"), ParamCatalogue::number(d.reg)},
                                {QStringLiteral("name"), ParamCatalogue::name(d.reg).trimmed()},
                                {QStringLiteral("drive"), ShownOrNull(d.reg, d.left)},
                                {QStringLiteral("file"), ShownOrNull(d.reg, d.right)},
                                {QStringLiteral("unit"), ParamCatalogue::unit(d.reg)}});
    }
    ctx.report.insert(QStringLiteral("drive"), int(address));
    ctx.report.insert(QStringLiteral("differences"), list);
    ctx.report.insert(QStringLiteral("notAnswered"), unheard);
    QString total = CtlText::differences(differs);
    if (unheard > 0)
        total += CtlText::tr(", %1 not answered").arg(CtlText::parameters(unheard));
    ctx.say(total);
    return ctx.finish(list.isEmpty() && read.complete ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddBackupCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(
        QStringLiteral("backup"),
        {backup, true,
         CtlText::tr("  backup ADDRESS FILE [--force]\n"
                     "                             read every parameter of a drive into FILE "
                     "(CSV);\n"
                     "                             nothing is saved when the drive answered "
                     "none, and\n"
                     "                             a FILE holding more answered parameters is "
                     "kept\n"
                     "                             unless --force is given; with --site and "
                     "no FILE, a\n"
                     "                             new file in the site's parameter-sets/\n")});
    commands.insert(QStringLiteral("compare"),
                    {compare, true,
                     CtlText::tr("  compare ADDRESS FILE [--include-address] [--include-line]\n"
                                 "                             list the parameters where drive "
                                 "and FILE differ\n"
                                 "                             (P8.00 and P8.01 left out; with "
                                 "--site and no FILE,\n"
                                 "                             the drive's reference set)\n")});
}
