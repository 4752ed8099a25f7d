// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamSetParts.h"

#include "ParamJobs.h"
#include "ParamSetFile.h"
#include "ShownText.h"

std::optional<ParamSet> LoadSetFile(CtlContext& ctx, const QString& file)
{
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(file);
    if (loaded.set)
        return *loaded.set;
    ctx.warn(file + (loaded.line > 0 ? CtlText::tr(", line %1").arg(loaded.line) : QString()) +
             QStringLiteral(": ") + ShownText::of(loaded.error) +
             CtlText::tr("\nNothing was written."));
    return std::nullopt;
}

DriveRead ReadWholeDrive(CtlContext& ctx, LinkClient& client, quint8 address)
{
    ReadJob job(client, address);
    QObject::connect(&job, &ReadJob::progress, [&](int done, int total) {
        ctx.progress(CtlText::tr("drive %1").arg(address), done, total);
    });
    DriveRead read;
    read.stopped = ctx.runToEnd(
        job, &ReadJob::finished, [&] { job.start(); }, [&] { job.cancel(); });
    const QList<quint16> missing = job.unanswered();
    if (!read.stopped) {
        for (quint16 reg : missing)
            ctx.warn(CtlText::tr("drive %1 did not answer for %2")
                         .arg(address)
                         .arg(ParamCatalogue::number(reg)));
    }
    read.set = job.result();
    read.complete = missing.isEmpty() && !read.stopped;
    return read;
}

std::optional<DriveAndFile> DriveAndFileWords(CtlContext& ctx, const char* command,
                                              const QStringList& args, bool referenceByDefault)
{
    const bool fileOptional = ctx.siteLine != nullptr;
    if (args.size() != 2 && !(fileOptional && args.size() == 1)) {
        ctx.warn(fileOptional ? CtlText::tr("%1 takes ADDRESS [FILE] (a drive's name will do).")
                                    .arg(QLatin1String(command))
                              : CtlText::tr("%1 takes ADDRESS FILE.").arg(QLatin1String(command)));
        return std::nullopt;
    }
    const std::optional<quint8> address = ctx.driveAddress(args[0]);
    if (!address)
        return std::nullopt;
    DriveAndFile words{*address, args.value(1)};
    if (words.file.isEmpty() && referenceByDefault) {
        words.file = ctx.site->referencePath(*ctx.siteLine, *address);
        if (words.file.isEmpty()) {
            ctx.warn(CtlText::tr("the site names no reference set for drive %1: name the "
                                 "FILE.")
                         .arg(ctx.driveLabel(*address)));
            return std::nullopt;
        }
        ctx.say(CtlText::tr("Drive %1: the site's reference set %2.")
                    .arg(ctx.driveLabel(*address), words.file));
    }
    return words;
}

QJsonValue ShownOrNull(quint16 reg, const std::optional<quint16>& raw)
{
    return raw ? QJsonValue(ParamCatalogue::shown(reg, *raw)) : QJsonValue();
}

QString DifferenceLine(const ParamDifference& d, const QString& leftName, const QString& rightName)
{
    return QStringLiteral("%1\t%2\t%3=%4\t%5=%6\t%7")
        .arg(ParamCatalogue::number(d.reg), ParamCatalogue::displayName(d.reg).trimmed(), leftName,
             ShownOrDash(d.reg, d.left), rightName, ShownOrDash(d.reg, d.right),
             ParamCatalogue::unit(d.reg));
}
