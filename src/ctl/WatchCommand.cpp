// SPDX-License-Identifier: GPL-3.0-or-later
// watch: a table of drives' running values, refreshed in the terminal until Ctrl-C.
#include "CtlRequests.h"
#include "DriveList.h"
#include "Hexedit.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "RecordCommand.h"
#include "RecordValues.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <unistd.h>

namespace {

constexpr int kDefaultIntervalMs = 1000;

QString cell(const QString& text, int width)
{
    return text.leftJustified(width);
}

int watch(CtlContext& ctx, const QStringList& args)
{
    std::optional<QList<quint8>> drives;
    QList<RecordValue> values;
    for (const char* key : {"freq-out", "current", "dc-bus"})
        values << *RecordValues::byKey(QLatin1String(key));
    int intervalMs = kDefaultIntervalMs;
    std::optional<int> rounds; // for scripts and tests: end after this many
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasNext = i + 1 < args.size();
        if (a == u"--values" && hasNext) {
            QString unknown;
            const auto v = RecordValues::parseKeys(args[++i], &unknown);
            if (!v) {
                ctx.warn(CtlText::tr("unknown value \"%1\" (see vfdctl --help for the keys).")
                             .arg(unknown));
                return ctx.finish(ParamCtl::UsageOrPort);
            }
            values = *v;
        } else if (a == u"--interval" && hasNext) {
            const std::optional<qint64> ms = parseDurationMs(args[++i]);
            if (!ms || *ms < 100 || *ms > 60000) {
                ctx.warn(CtlText::tr("the interval must be 100ms .. 60s."));
                return ctx.finish(ParamCtl::UsageOrPort);
            }
            intervalMs = int(*ms);
        } else if (a == u"--count" && hasNext) {
            bool ok = false;
            rounds = args[++i].toInt(&ok);
            if (!ok || *rounds < 1) {
                ctx.warn(CtlText::tr("--count takes a number of refreshes, 1 or more."));
                return ctx.finish(ParamCtl::UsageOrPort);
            }
        } else if (!drives && !a.startsWith(u'-')) {
            drives = ctx.driveList(a);
            if (!drives)
                return ctx.finish(ParamCtl::UsageOrPort);
        } else {
            ctx.warn(QStringLiteral("unexpected \"%1\".").arg(a));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }
    if (!drives && ctx.siteLine) {
        drives = ctx.driveList(QString()); // every drive of the site's line
        if (!drives)
            return ctx.finish(ParamCtl::UsageOrPort);
    }
    if (!drives) {
        ctx.warn(CtlText::tr("watch takes ADDRESS[,ADDRESS...] [--values KEY,...]."));
        return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);

    // A terminal gets the table redrawn in place; a pipe gets one block per round.
    const bool redraw = !ctx.json && ::isatty(STDOUT_FILENO);
    QStringList header{CtlText::tr("Drive"), CtlText::tr("State")};
    for (const RecordValue& v : values)
        header << RecordValues::label(v);
    QList<int> widths;
    for (const QString& h : header)
        widths << std::max<int>(8, int(h.size()) + 2);

    QList<LinkRequest> requests;
    for (quint8 address : *drives) {
        requests << LinkRequest::read(address, Rtu::StatusRegister);
        for (const RecordValue& v : values)
            requests << LinkRequest::read(address, v.reg());
    }
    int round = 0;
    bool anyAnswered = false;
    while (!ctx.stopRequested() && (!rounds || round < *rounds)) {
        QElapsedTimer took;
        took.start();
        bool stopped = false;
        const QList<LinkResult> r = AskAll(ctx, *client, requests, &stopped);
        if (stopped)
            break;
        ++round;
        const QString now = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
        QStringList lines;
        lines << CtlText::tr("vfdctl watch — %1 — Ctrl-C ends").arg(now);
        QString row;
        for (int c = 0; c < header.size(); ++c)
            row += cell(header[c], widths[c]);
        lines << row.trimmed();
        qsizetype at = 0;
        for (quint8 address : *drives) {
            QJsonObject o{{QStringLiteral("time"), now}, {QStringLiteral("drive"), int(address)}};
            const LinkResult& status = r[at++];
            const bool answered = status.ok() && status.answer.size() >= Rtu::MonitorReplyLength;
            anyAnswered = anyAnswered || answered;
            QString state = CtlText::tr("no answer");
            if (answered) {
                const StatusReply s = Hexedit::DecodeStatus(status.answer);
                state = s.fault     ? CtlText::tr("Fault")
                        : s.running ? (s.reverse ? CtlText::tr("Run rev") : CtlText::tr("Run fwd"))
                                    : CtlText::tr("Stop");
            }
            o.insert(QStringLiteral("state"), state);
            row = cell(QString::number(address), widths[0]) + cell(state, widths[1]);
            int c = 2;
            for (const RecordValue& v : values) {
                const LinkResult& one = r[at++];
                const bool ok = one.ok() && one.answer.size() >= Rtu::MonitorReplyLength;
                const double value = ok ? double(Hexedit::DecodeRunningValue(one.answer).value) : 0;
                row += cell(ok ? (v.shown == RunningValues::Shown::Plain
                                      ? NumberText::Plain(float(value))
                                      : NumberText::Fixed2(value))
                               : QStringLiteral("—"),
                            widths[c++]);
                o.insert(QLatin1String(v.key), ok ? QJsonValue(value) : QJsonValue());
            }
            lines << row.trimmed();
            if (ctx.json)
                ctx.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n' << Qt::flush;
        }
        if (!ctx.json) {
            if (redraw)
                ctx.out << "\x1b[H\x1b[2J";
            ctx.out << lines.join(u'\n') << "\n" << (redraw ? "" : "\n") << Qt::flush;
        }
        const qint64 wait = intervalMs - took.elapsed();
        if (wait > 0 && (!rounds || round < *rounds)) {
            QEventLoop pause;
            QTimer::singleShot(int(wait), &pause, &QEventLoop::quit);
            QTimer watchStop;
            QObject::connect(&watchStop, &QTimer::timeout, &pause, [&] {
                if (ctx.stopRequested())
                    pause.quit();
            });
            watchStop.start(50);
            pause.exec();
        }
    }
    if (!anyAnswered)
        ctx.warn(CtlText::tr("no drive answered."));
    // With --json the last line holds the exit status and the messages.
    return ctx.finish(anyAnswered ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddWatchCommand(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(
        QStringLiteral("watch"),
        {watch, true,
         CtlText::tr("  watch ADDRESS[,ADDRESS...] [--values KEY,...] [--interval 1s] "
                     "[--count N]\n"
                     "                             a table of state and running values, "
                     "refreshed until\n"
                     "                             Ctrl-C (or N refreshes); the default "
                     "values are\n"
                     "                             freq-out,current,dc-bus\n")});
}
