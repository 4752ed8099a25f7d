// SPDX-License-Identifier: GPL-3.0-or-later
// site init and site status: a site made from the command line (its line
// scanned on request), and its table of drives; and where a recording goes
// when a site is open.
#include "Destination.h"
#include "LineScan.h"
#include "ParamCtl.h"
#include "RtuProtocol.h"
#include "ShownText.h"
#include "SiteStatus.h"
#include "SiteStatusJob.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

// The value after an option; nullopt (said why) when there is none.
std::optional<QString> valueAfter(CtlContext& ctx, const QStringList& args, int& i)
{
    if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        ctx.warn(args[i] + CtlText::tr(" needs a value."));
        return std::nullopt;
    }
    return args[++i];
}

// The drives that answer on the line, by a scan of every address; nullopt
// when it was stopped.
std::optional<QList<ScanEntry>> scanLine(CtlContext& ctx, LinkClient& client)
{
    LineScan scan(client);
    QObject::connect(&scan, &LineScan::progress, [&ctx](int done, int total) {
        ctx.progress(QStringLiteral("scanning"), done, total);
    });
    QObject::connect(&scan, &LineScan::found, [&ctx](const ScanEntry& e) {
        ctx.say(CtlText::tr("  drive %1: %2, edition %3")
                    .arg(e.address)
                    .arg(ShownText::of(e.stateText(), "LineScan"),
                         e.editionText().isEmpty() ? QStringLiteral("—") : e.editionText()));
    });
    const bool stopped = ctx.runToEnd(
        scan, &LineScan::finished, [&] { scan.start(1, Rtu::HighestAddress); },
        [&] { scan.cancel(); });
    if (stopped)
        return std::nullopt;
    return scan.entries();
}

int siteInit(CtlContext& ctx, const QStringList& args)
{
    SiteFolder::NewSite what;
    QString folder;
    bool scan = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--name" || a == u"--customer" || a == u"--technician") {
            const std::optional<QString> v = valueAfter(ctx, args, i);
            if (!v)
                return ctx.finish(ParamCtl::UsageOrPort);
            (a == u"--name"       ? what.name
             : a == u"--customer" ? what.customer
                                  : what.technician) = v->trimmed();
        } else if (a == u"--scan") {
            scan = true;
        } else if (folder.isEmpty() && !a.startsWith(u'-')) {
            folder = a;
        } else {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    if (folder.isEmpty() || ctx.portName.isEmpty()) {
        ctx.warn(CtlText::tr("site init takes DIR --port NAME."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    what.port = ctx.portName;
    what.settings = ctx.settings;
    if (!ctx.lineName.isEmpty())
        what.line = ctx.lineName;
    // Made before the line is touched: a folder that holds a site already is
    // refused without a frame sent.
    QString why;
    std::optional<SiteFolder> site = SiteFolder::create(folder, what, &why);
    if (!site) {
        ctx.warn(CtlText::tr("no site was made: %1.").arg(ShownText::of(why)));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    ctx.report.insert(QStringLiteral("site"), site->root());
    ctx.report.insert(QStringLiteral("line"), what.line);
    ctx.say(CtlText::tr("Site made in %1: line %2 on %3 at %4.")
                .arg(site->root(), what.line, what.port, what.settings));
    if (!scan) {
        ctx.report.insert(QStringLiteral("drives"), QJsonArray());
        return ctx.finish(ParamCtl::Done);
    }
    LinkClient* client = ctx.openLink();
    if (!client) {
        ctx.warn(CtlText::tr("the line was not scanned; the site has no drives yet."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    ctx.say(CtlText::tr("Scanning addresses 1 to %1 ...").arg(Rtu::HighestAddress));
    const std::optional<QList<ScanEntry>> found = scanLine(ctx, *client);
    if (!found) {
        ctx.warn(CtlText::tr("stopped: the site has no drives yet."));
        return ctx.finish(ParamCtl::Differences);
    }
    QList<quint8> addresses;
    QJsonArray list;
    for (const ScanEntry& e : *found) {
        addresses << e.address;
        list.append(int(e.address));
    }
    ctx.report.insert(QStringLiteral("drives"), list);
    if (addresses.isEmpty()) {
        ctx.warn(
            CtlText::tr("no drive answered at %1: the site has no drives yet.").arg(what.settings));
        return ctx.finish(ParamCtl::Differences);
    }
    QString problem;
    if (!site->file().addDrives(what.line, addresses, &problem) ||
        !(problem = site->save()).isEmpty()) {
        ctx.warn(CtlText::tr("the drives found could not be written into the site: %1.")
                     .arg(ShownText::of(problem)));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    ctx.say(CtlText::tr("%1 found and added to line %2.")
                .arg(CtlText::drives(addresses.size()), what.line));
    return ctx.finish(ParamCtl::Done);
}

// Columns on a terminal: a CJK character takes two cells.
int shownWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 && (c.unicode() <= 0x115F || c.unicode() >= 0x2E80) &&
                         c.unicode() < 0xD800
                     ? 2
                 : c.unicode() >= 0xF900 && c.unicode() <= 0xFFE6 ? 2
                                                                  : 1;
    return width;
}

void printTable(CtlContext& ctx, const QList<SiteDriveStatus>& rows)
{
    QList<QStringList> cells{ShownText::of(SiteStatus::columnTitles(), "SiteStatus")};
    for (const SiteDriveStatus& row : rows) {
        // The cells as the user reads them; the attention reasons one by one.
        QStringList texts = ShownText::of(SiteStatus::rowTexts(row), "SiteStatus");
        if (row.attention())
            texts.last() =
                ShownText::of(row.attentionReasons(), "SiteStatus").join(CtlText::tr("; "));
        cells << texts;
    }
    QList<int> widths(cells.first().size(), 0);
    for (const QStringList& line : cells)
        for (int c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], shownWidth(line[c]));
    for (const QStringList& line : cells) {
        QString text;
        for (int c = 0; c < line.size(); ++c)
            text += c + 1 < line.size()
                        ? line[c] + QString(widths[c] + 2 - shownWidth(line[c]), u' ')
                        : line[c];
        ctx.answer(text.trimmed());
    }
}

int siteStatus(CtlContext& ctx, const QStringList& args)
{
    bool offline = false;
    for (const QString& a : args) {
        if (a == u"--offline") {
            offline = true;
        } else {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    if (!ctx.site) {
        ctx.warn(CtlText::tr("site status needs the site: --site DIR (or VFDCTL_SITE)."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    QList<SiteDriveStatus> rows = SiteStatus::fromFiles(*ctx.site, *ctx.siteLine);
    if (rows.isEmpty())
        ctx.say(CtlText::tr("Line %1 lists no drives (site init --scan, or the site file, "
                            "adds them).")
                    .arg(ctx.siteLine->name));
    bool stopped = false;
    if (!offline && !rows.isEmpty()) {
        LinkClient* client = ctx.openLink();
        if (!client)
            return ctx.finish(ParamCtl::UsageOrPort);
        SiteStatusJob job(*client);
        job.setPauseMs(0); // vfdctl has the line to itself
        QObject::connect(&job, &SiteStatusJob::rowUpdated, [&](int index, const SiteDriveStatus&) {
            ctx.progress(CtlText::tr("reading the drives"), index + 1, int(rows.size()));
        });
        stopped = ctx.runToEnd(
            job, &SiteStatusJob::finished, [&] { job.start(rows); }, [&] { job.cancel(); });
        rows = job.rows();
    }
    QJsonArray list;
    bool fine = !stopped;
    for (const SiteDriveStatus& row : std::as_const(rows)) {
        list.append(row.json());
        fine = fine && !row.attention() && (offline || (row.asked && row.answered));
    }
    if (!ctx.json)
        printTable(ctx, rows);
    ctx.report.insert(QStringLiteral("site"), ctx.site->root());
    ctx.report.insert(QStringLiteral("line"), ctx.siteLine->name);
    ctx.report.insert(QStringLiteral("drives"), list);
    return ctx.finish(fine ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

std::optional<QStringList> RecordWordsInSite(CtlContext& ctx, const QStringList& args,
                                             QString* created)
{
    static const QStringList withValue{
        QStringLiteral("--values"),          QStringLiteral("--interval"),
        QStringLiteral("--duration"),        QStringLiteral("-o"),
        QStringLiteral("--output"),          QStringLiteral("--snapshot-dir"),
        QStringLiteral("--snapshot-before"), QStringLiteral("--snapshot-after")};
    QStringList out;
    std::optional<QList<quint8>> drives;
    bool output = false;
    bool snapshots = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (withValue.contains(a)) {
            output = output || a == u"-o" || a == u"--output";
            snapshots = snapshots || a == u"--snapshot-dir";
            out << a;
            if (i + 1 < args.size())
                out << args[++i];
        } else if (!drives && !a.startsWith(u'-')) {
            drives = ctx.driveList(a);
            if (!drives)
                return std::nullopt;
            QStringList numbers;
            for (const quint8 d : *drives)
                numbers << QString::number(d);
            out << numbers.join(u',');
        } else {
            out << a; // the recorder says what it makes of it
        }
    }
    if (!ctx.siteLine)
        return out;
    if (!drives) {
        drives = ctx.driveList(QString());
        if (!drives)
            return std::nullopt;
        QStringList numbers;
        for (const quint8 d : *drives)
            numbers << QString::number(d);
        out.prepend(numbers.join(u','));
    }
    if (!snapshots)
        out << QStringLiteral("--snapshot-dir")
            << ctx.site->layout().folder(SiteLayout::Kind::Snapshots);
    if (!output) {
        *created =
            ctx.newSiteFile(SiteLayout::Kind::Recordings, drives->size() == 1 ? drives->first() : 0,
                            SiteOutputs::recordingWhat(), SiteOutputs::recordingExtension(),
                            QDateTime::currentDateTime());
        if (created->isEmpty())
            return std::nullopt;
        ctx.say(CtlText::tr("Recording into %1").arg(*created));
        out << QStringLiteral("-o") << *created;
    }
    return out;
}

void AddSiteCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    ParamCtl::Entry init{
        siteInit, true,
        CtlText::tr("  site init DIR --port NAME [--settings S] [--line NAME] [--name TEXT]\n"
                    "         [--customer TEXT] [--technician TEXT] [--scan]\n"
                    "                             make a site in DIR (refused where one is "
                    "already):\n"
                    "                             site.conf with one line (line1 unless "
                    "--line), and\n"
                    "                             with --scan the drives that answer on it\n")};
    init.needsPort = false; // it checks its own --port: the new line's
    init.usesSite = false;
    commands.insert(QStringLiteral("site init"), init);
    ParamCtl::Entry status{
        siteStatus, true,
        CtlText::tr("  site status [--offline]     the site's drives of the line: name, "
                    "edition,\n"
                    "                             readiness, state, parameters against the "
                    "reference,\n"
                    "                             last test run, recording and report "
                    "(--offline: from\n"
                    "                             the site's files alone); exit 1 when a "
                    "drive did not\n"
                    "                             answer or needs attention (a fault, not "
                    "ready,\n"
                    "                             parameters that differ, a failed test "
                    "run)\n")};
    status.needsPort = false; // it says itself that it needs a site
    commands.insert(QStringLiteral("site status"), status);
}
