// SPDX-License-Identifier: GPL-3.0-or-later
// get, set, status and faults: one drive's values, one at a time.
#include "CatalogueText.h"
#include "CloneJob.h"
#include "CtlRequests.h"
#include "DriveList.h"
#include "Hexedit.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ParamJobs.h"
#include "RunningValues.h"
#include "ShownText.h"
#include "SiteJournaling.h"
#include "Tab.h"

#include <QJsonArray>
#include <cmath>

namespace {

using NumberText::Counted;

// "P0.14" to its register, refusing what no drive offers.
std::optional<quint16> parameterWord(CtlContext& ctx, const QString& word)
{
    const std::optional<quint16> reg = ParamCatalogue::registerOf(word.toUpper());
    if (!reg)
        ctx.warn(
            CtlText::tr("\"%1\" is no parameter of the catalogue (write it as P0.14).").arg(word));
    else if (ParamCatalogue::reserved(*reg)) {
        ctx.warn(CtlText::tr("%1 is reserved: it holds nothing to read or write.")
                     .arg(ParamCatalogue::number(*reg)));
        return std::nullopt;
    }
    return reg;
}

QString withUnit(quint16 reg, quint16 raw)
{
    const QString unit = ParamCatalogue::unit(reg);
    return ParamCatalogue::shown(reg, raw) + (unit.isEmpty() ? QString() : u' ' + unit);
}

int get(CtlContext& ctx, const QStringList& args)
{
    if (args.size() < 2) {
        ctx.warn(CtlText::tr("get takes ADDRESS PARAMETER..."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    const std::optional<quint8> address = ctx.driveAddress(args[0]);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    QList<quint16> registers;
    for (const QString& word : args.mid(1)) {
        const std::optional<quint16> reg = parameterWord(ctx, word);
        if (!reg)
            return ctx.finish(ParamCtl::UsageOrPort);
        registers << *reg;
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    QList<LinkRequest> requests;
    for (quint16 reg : registers)
        requests << LinkRequest::read(*address, reg);
    bool stopped = false;
    const QList<LinkResult> results = AskAll(ctx, *client, requests, &stopped);
    QJsonArray list;
    bool all = !stopped;
    for (int i = 0; i < registers.size(); ++i) {
        const quint16 reg = registers[i];
        const LinkResult& r = results[i];
        const QString number = ParamCatalogue::number(reg);
        QJsonObject o{{QStringLiteral("parameter"), number},
                      {QStringLiteral("name"), ParamCatalogue::name(reg).trimmed()},
                      {QStringLiteral("unit"), ParamCatalogue::unit(reg)},
                      {QStringLiteral("minimum"), ParamCatalogue::minimumText(reg)},
                      {QStringLiteral("maximum"), ParamCatalogue::maximumText(reg)}};
        if (r.ok()) {
            o.insert(QStringLiteral("value"), ParamCatalogue::shown(reg, r.value));
            o.insert(QStringLiteral("raw"), r.value);
            if (ctx.quiet)
                ctx.answer(ParamCatalogue::shown(reg, r.value));
            else
                ctx.answer(
                    CtlText::tr("%1\t%2\t%3\traw %4\t(%5 .. %6)")
                        .arg(number, ParamCatalogue::displayName(reg).trimmed(),
                             withUnit(reg, r.value))
                        .arg(r.value)
                        .arg(ParamCatalogue::minimumText(reg), ParamCatalogue::maximumText(reg)));
        } else {
            all = false;
            const QString why = r.outcome == LinkResult::Outcome::Exception
                                    ? CtlText::tr("refused (exception %1)").arg(r.exceptionCode)
                                    : CtlText::tr("no answer");
            o.insert(QStringLiteral("error"), why);
            ctx.warn(CtlText::tr("drive %1, %2: %3").arg(*address).arg(number, ShownText::of(why)));
        }
        list.append(o);
    }
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    ctx.report.insert(QStringLiteral("parameters"), list);
    return ctx.finish(all ? ParamCtl::Done : ParamCtl::Differences);
}

int set(CtlContext& ctx, const QStringList& args)
{
    if (args.size() < 2) {
        ctx.warn(CtlText::tr("set takes ADDRESS PARAMETER=VALUE..."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    const std::optional<quint8> address = ctx.driveAddress(args[0]);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    // Every value is checked before anything is sent: one mistake, no write.
    QList<WriteItem> writes;
    for (const QString& word : args.mid(1)) {
        const qsizetype eq = word.indexOf(u'=');
        if (eq <= 0) {
            ctx.warn(CtlText::tr("\"%1\": write PARAMETER=VALUE (P0.14=12.5). Nothing was "
                                 "written.")
                         .arg(word));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
        const std::optional<quint16> reg = parameterWord(ctx, word.left(eq));
        if (!reg)
            return ctx.finish(ParamCtl::UsageOrPort);
        if (CloneJob::DefaultLeaveOut().contains(*reg) && !ctx.include.contains(*reg)) {
            ctx.warn(CtlText::tr("%1 changes how the drive is reached; give %2 to write it. "
                                 "Nothing was written.")
                         .arg(ParamCatalogue::number(*reg),
                              *reg == 0x0800 ? QStringLiteral("--include-address")
                                             : QStringLiteral("--include-line")));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
        QString problem;
        const std::optional<quint16> raw = ParamCatalogue::rawOf(*reg, word.mid(eq + 1), &problem);
        if (!raw) {
            ctx.warn(ParamCatalogue::number(*reg) + QStringLiteral(": ") + problem +
                     CtlText::tr(". Nothing was written."));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
        writes.removeIf([&](const WriteItem& w) { return w.reg == *reg; });
        WriteItem item;
        item.reg = *reg;
        item.raw = *raw;
        writes << item;
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    // The restore's rules: a stopped drive, limits first, its own address and
    // line settings last, every write read back.
    std::stable_sort(writes.begin(), writes.end(), [](const WriteItem& a, const WriteItem& b) {
        return ParamCatalogue::isLimitParameter(a.reg) > ParamCatalogue::isLimitParameter(b.reg);
    });
    // In a site the journal keeps the value each write replaced: read first.
    ParamSet before;
    if (ctx.site) {
        QList<LinkRequest> reads;
        for (const WriteItem& w : writes)
            reads << LinkRequest::read(*address, w.reg);
        bool stoppedFirst = false;
        const QList<LinkResult> r = AskAll(ctx, *client, reads, &stoppedFirst);
        if (stoppedFirst) {
            ctx.say(CtlText::tr("Stopped before anything was written."));
            return ctx.finish(ParamCtl::Differences);
        }
        for (int i = 0; i < writes.size(); ++i)
            if (r[i].ok())
                before.values.insert(writes[i].reg, {ParamValue::State::Value, r[i].value});
    }
    RestoreJob job(*client, *address, writes);
    const bool stopped = ctx.runToEnd(
        job, &RestoreJob::finished, [&] { job.start(); }, [&] { job.cancel(); });
    if (ctx.site)
        ctx.journaled(SiteJournaling::recordWrites(*ctx.site, ctx.tool(), ctx.siteLine->name,
                                                   *address, job.items(), before));
    QJsonArray list;
    for (const WriteItem& w : job.items()) {
        if (w.outcome == WriteItem::Outcome::Written)
            ctx.say(CtlText::tr("%1 = %2 written")
                        .arg(ParamCatalogue::number(w.reg), withUnit(w.reg, w.raw)));
        QJsonObject o{{QStringLiteral("parameter"), ParamCatalogue::number(w.reg)},
                      {QStringLiteral("value"), ParamCatalogue::shown(w.reg, w.raw)},
                      {QStringLiteral("outcome"), w.outcomeWord()}};
        if (w.readBack)
            o.insert(QStringLiteral("readBack"), ParamCatalogue::shown(w.reg, *w.readBack));
        list.append(o);
    }
    if (!job.complete() || stopped)
        ctx.warn(job.summary());
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    ctx.report.insert(QStringLiteral("answersAt"), int(job.answersAt()));
    ctx.report.insert(QStringLiteral("writes"), list);
    return ctx.finish(job.complete() && !stopped ? ParamCtl::Done : ParamCtl::Differences);
}

int status(CtlContext& ctx, const QStringList& args)
{
    // With a site, no drives named: every drive of its line.
    if (args.size() > 1 || (args.isEmpty() && !ctx.siteLine)) {
        ctx.warn(CtlText::tr("status takes ADDRESS[,ADDRESS...]."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    const std::optional<QList<quint8>> drives = ctx.driveList(args.value(0));
    if (!drives)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    QJsonArray list;
    bool all = true;
    for (quint8 address : *drives) {
        bool stopped = false;
        const DriveStatus s = ReadDriveStatus(ctx, *client, address, &stopped);
        if (stopped)
            return ctx.finish(ParamCtl::Differences);
        all = all && s.answered;
        ctx.answer(s.line());
        list.append(s.json());
    }
    ctx.report.insert(QStringLiteral("drives"), list);
    return ctx.finish(all ? ParamCtl::Done : ParamCtl::Differences);
}

int faults(CtlContext& ctx, const QStringList& args)
{
    if (args.size() != 1) {
        ctx.warn(CtlText::tr("faults takes ADDRESS."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    const std::optional<quint8> address = ctx.driveAddress(args[0]);
    if (!address)
        return ctx.finish(ParamCtl::UsageOrPort);
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    using namespace RunningValues;
    QList<LinkRequest> requests;
    for (int index = FaultRecord1; index <= TemperatureAtLastFault; ++index)
        requests << LinkRequest::read(*address, Table[std::size_t(index)].reg());
    bool stopped = false;
    const QList<LinkResult> r = AskAll(ctx, *client, requests, &stopped);
    bool all = !stopped;
    QJsonArray records;
    QJsonArray atFault;
    for (int i = 0; i < r.size(); ++i) {
        const RunningValue& v = Table[std::size_t(FaultRecord1 + i)];
        const bool ok = r[i].ok() && r[i].answer.size() >= Rtu::MonitorReplyLength;
        all = all && ok;
        const double value = ok ? double(Hexedit::DecodeRunningValue(r[i].answer).value) : 0.0;
        if (isFaultRecord(v.index)) {
            // Shown as the main window's fault-record chooser shows it: the
            // code, its text beside it; 20 is an empty record.
            const int number = int(std::lround(value));
            const auto code = Tab::FaultCode(number);
            const QString codeText = !ok            ? CtlText::tr("no answer")
                                     : number == 20 ? CtlText::tr("none")
                                     : code         ? QString::fromUtf8(code->data(), code->size())
                                                    : QString::number(number);
            const QString text = ok && number != 20 && number != 0
                                     ? CatalogueText::faultDescription(number)
                                     : QString();
            ctx.answer(QStringLiteral("%1\t%2%3")
                           .arg(QLatin1String(v.name), codeText,
                                text.isEmpty() ? QString() : u'\t' + text));
            QJsonObject o{{QStringLiteral("record"), v.index - FaultRecord1 + 1}};
            if (ok) {
                o.insert(QStringLiteral("number"), number);
                o.insert(QStringLiteral("code"), number == 20 ? QString() : codeText);
                o.insert(QStringLiteral("text"), text);
            }
            records.append(o);
        } else {
            const QString shown = ok ? NumberText::Plain(float(value)) : QStringLiteral("—");
            ctx.answer(QStringLiteral("%1\t%2 %3")
                           .arg(QLatin1String(v.name), shown, QString::fromUtf8(v.unit)));
            atFault.append(
                QJsonObject{{QStringLiteral("name"), QLatin1String(v.name)},
                            {QStringLiteral("value"), ok ? QJsonValue(value) : QJsonValue()},
                            {QStringLiteral("unit"), QString::fromUtf8(v.unit)}});
        }
    }
    if (!all && !stopped)
        ctx.warn(CtlText::tr("drive %1 did not answer every request.").arg(*address));
    ctx.report.insert(QStringLiteral("drive"), int(*address));
    ctx.report.insert(QStringLiteral("records"), records);
    ctx.report.insert(QStringLiteral("atLastFault"), atFault);
    return ctx.finish(all ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddDriveCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(QStringLiteral("get"),
                    {get, true,
                     CtlText::tr("  get ADDRESS PARAMETER...   read parameters (P0.14 ...): "
                                 "value, raw value, limits\n")});
    commands.insert(
        QStringLiteral("set"),
        {set, true,
         CtlText::tr("  set ADDRESS PARAMETER=VALUE... [--include-address] [--include-line]\n"
                     "                             write parameters, checked against the "
                     "catalogue's\n"
                     "                             limits first; each is read back\n")});
    commands.insert(QStringLiteral("status"),
                    {status, true,
                     CtlText::tr("  status ADDRESS[,ADDRESS...]\n"
                                 "                             state, direction, fault, output "
                                 "frequency, current,\n"
                                 "                             DC bus, and whether the drive "
                                 "obeys the line (with\n"
                                 "                             --site and no drive named: "
                                 "every drive of the line)\n")});
    commands.insert(QStringLiteral("faults"),
                    {faults, true,
                     CtlText::tr("  faults ADDRESS             the stored fault records and "
                                 "the values at the\n"
                                 "                             last fault\n")});
}
