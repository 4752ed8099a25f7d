// SPDX-License-Identifier: GPL-3.0-or-later
// run, jog, stop and watch: a drive driven and watched from a terminal.
#include "CtlRequests.h"
#include "DriveList.h"
#include "DriveMonitor.h"
#include "Hexedit.h"
#include "NumberText.h"
#include "ParamCtl.h"
#include "ParamSet.h"
#include "RecordCommand.h"
#include "RunningValues.h"
#include "SiteJournaling.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <unistd.h>

namespace {

// The main window's control rhythm: a drive set to stop when the commands
// stop does so within a few of these once vfdctl is gone.
constexpr int kControlRhythmMs = 500;
// Run commands in a row that went unanswered before the drive counts as lost.
constexpr int kSilentCommands = 3;
constexpr quint16 kUpperLimitRegister = 0x0006; // P0.06, 0.01 Hz

struct RunWords
{
    quint8 address = 0;
    bool reverse = false;
    QString hz; // run only
    std::optional<qint64> forMs;
};

// ADDRESS --fwd|--rev [--hz F] [--for 10s]; nullopt (said why) when wrong.
std::optional<RunWords> runWords(CtlContext& ctx, const QStringList& args, bool needsHz)
{
    RunWords w;
    std::optional<bool> reverse;
    QString address;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--fwd" || a == u"--rev") {
            if (reverse && *reverse != (a == u"--rev")) {
                ctx.warn(CtlText::tr("give --fwd or --rev, not both."));
                return std::nullopt;
            }
            reverse = a == u"--rev";
        } else if ((a == u"--hz" && needsHz) || a == u"--for") {
            if (i + 1 >= args.size()) {
                ctx.warn(a + CtlText::tr(" needs a value."));
                return std::nullopt;
            }
            const QString value = args[++i];
            if (a == u"--hz") {
                w.hz = value;
            } else {
                w.forMs = parseDurationMs(value);
                if (!w.forMs || *w.forMs <= 0) {
                    ctx.warn(CtlText::tr("--for takes a time such as 10s or 2min."));
                    return std::nullopt;
                }
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
    if (!reverse) {
        ctx.warn(CtlText::tr("give the direction: --fwd or --rev."));
        return std::nullopt;
    }
    w.address = *one;
    w.reverse = *reverse;
    if (needsHz) {
        const std::optional<double> hz = NumberText::ParseDecimal(w.hz);
        if (w.hz.isEmpty() || !hz || !Hexedit::ControlSetpoint(w.hz) || *hz <= 0) {
            ctx.warn(CtlText::tr("--hz takes the frequency to run at, such as 50 or 12.5."));
            return std::nullopt;
        }
    }
    return w;
}

// Repeats a run command on the control rhythm until the time is up, Ctrl-C,
// or the drive stops answering; then STOP, and what the drive says after it.
int drive(CtlContext& ctx, const RunWords& w, RunCommand command)
{
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    Hexedit& link = client->link();
    const quint8 address = w.address;
    ctx.report.insert(QStringLiteral("drive"), int(address));

    // Said before anything moves: a drive that will not obey, or a frequency
    // above what the drive allows.
    bool stopped = false;
    const QList<LinkResult> first =
        AskAll(ctx, *client,
               {LinkRequest::read(address, Readiness::RunSourceRegister),
                LinkRequest::read(address, Readiness::FrequencySourceRegister),
                LinkRequest::read(address, kUpperLimitRegister)},
               &stopped);
    if (stopped)
        return ctx.finish(ParamCtl::Differences);
    if (!first[2].ok()) {
        ctx.warn(CtlText::tr("drive %1 does not answer: nothing was sent.").arg(address));
        return ctx.finish(ParamCtl::Differences);
    }
    Readiness readiness;
    readiness.address = address;
    if (first[0].ok())
        readiness.runSource = first[0].value;
    if (first[1].ok())
        readiness.frequencySource = first[1].value;
    for (const QString& problem : readiness.problems())
        ctx.warn(problem);
    if (!w.hz.isEmpty()) {
        const quint16 setpoint = *Hexedit::ControlSetpoint(w.hz);
        if (setpoint > first[2].value) {
            ctx.warn(CtlText::tr("%1 Hz lies above the drive's upper limit (P0.06 = %2 Hz): "
                                 "nothing was sent.")
                         .arg(NumberText::Fixed2(setpoint / 100.0),
                              ParamCatalogue::shown(kUpperLimitRegister, first[2].value)));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
    }

    DriveMonitor monitor(link, *client);
    monitor.setDriveChoice({true, address, 1, Rtu::HighestAddress});
    monitor.setFrequencies(w.hz.isEmpty() ? QStringLiteral("0") : w.hz,
                           w.hz.isEmpty() ? QStringLiteral("0") : w.hz);
    monitor.PendingCommand = command;

    QString why;
    int silentInARow = 0;
    QEventLoop loop;
    auto end = [&](const QString& reason) {
        if (why.isEmpty()) {
            why = reason;
            loop.quit();
        }
    };
    auto ours = [&](const QByteArray& request) {
        return request.size() > 1 && quint8(request[0]) == address &&
               Hexedit::KindOf(request) == Hexedit::FrameKind::Command;
    };
    QObject::connect(&link, &Hexedit::answerReceived, &loop,
                     [&](const QByteArray& request, const QByteArray&) {
                         if (ours(request))
                             silentInARow = 0;
                     });
    QObject::connect(&link, &Hexedit::answerTimedOut, &loop, [&](const QByteArray& request, int) {
        if (ours(request) && ++silentInARow >= kSilentCommands)
            end(QStringLiteral(QT_TRANSLATE_NOOP("CtlText", "the drive stopped answering")));
    });
    QObject::connect(
        &link, &Hexedit::exceptionReceived, &loop, [&](quint8 from, quint8 function, quint8 code) {
            if (from == address && function == (Rtu::ControlFunction | 0x80))
                end(QStringLiteral("the drive refused the command (exception %1)").arg(code));
        });
    QObject::connect(&link.port(), &SerialPort::deviceLost, &loop, [&] {
        end(QStringLiteral(QT_TRANSLATE_NOOP("CtlText", "the port went away")));
    });
    QTimer rhythm;
    QObject::connect(&rhythm, &QTimer::timeout, &loop, [&] {
        if (monitor.commandTick() == Hexedit::CommandOutcome::NotSent)
            end(QStringLiteral(QT_TRANSLATE_NOOP("CtlText", "the command could not be sent")));
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (ctx.stopRequested())
            end(QStringLiteral(QT_TRANSLATE_NOOP("CtlText", "stopped by the user")));
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop,
                     [&] { end(QStringLiteral(QT_TRANSLATE_NOOP("CtlText", "time up"))); });

    // The journal keeps its English words; people read theirs.
    const QString direction = w.reverse ? QStringLiteral("reverse") : QStringLiteral("forward");
    const QString said = w.reverse ? CtlText::tr("reverse") : CtlText::tr("forward");
    ctx.say(command == RunCommand::Forward || command == RunCommand::Reverse
                ? CtlText::tr("Drive %1: running %2 at %3 Hz%4 (Ctrl-C stops it).")
                      .arg(address)
                      .arg(said, NumberText::Fixed2(*NumberText::ParseDecimal(w.hz)),
                           w.forMs ? CtlText::tr(" for %1 s").arg(*w.forMs / 1000.0) : QString())
                : CtlText::tr("Drive %1: jogging %2 (Ctrl-C stops it).").arg(address).arg(said));
    // Journaled before it goes out; a journal that cannot be written is said
    // and does not keep the drive from being driven as asked.
    if (ctx.site)
        ctx.journaled(SiteJournaling::recordRunStarted(
            *ctx.site, ctx.tool(), ctx.siteLine->name, address,
            command == RunCommand::Forward || command == RunCommand::Reverse
                ? QStringLiteral("%1 %2 Hz")
                      .arg(direction, NumberText::Fixed2(*NumberText::ParseDecimal(w.hz)))
                : QStringLiteral("jog %1").arg(direction)));
    monitor.commandTick();
    rhythm.start(kControlRhythmMs);
    watch.start(50);
    if (w.forMs)
        limit.start(int(std::min<qint64>(*w.forMs, std::numeric_limits<int>::max())));
    QElapsedTimer ran;
    ran.start();
    loop.exec();
    rhythm.stop();

    // STOP goes out before anything else waiting; its answer (or the drive's
    // silence) is waited for so the process does not end with it unsent.
    monitor.PendingCommand = RunCommand::Stop;
    bool stopAnswered = false;
    QEventLoop stopping;
    QObject::connect(&link, &Hexedit::answerReceived, &stopping,
                     [&](const QByteArray& request, const QByteArray&) {
                         if (ours(request) && request.size() > 8 &&
                             quint8(request[8]) == Rtu::StopCode) {
                             stopAnswered = true;
                             stopping.quit();
                         }
                     });
    QObject::connect(
        &link, &Hexedit::answerTimedOut, &stopping, [&](const QByteArray& request, int) {
            if (ours(request) && request.size() > 8 && quint8(request[8]) == Rtu::StopCode)
                stopping.quit();
        });
    QTimer::singleShot(3000, &stopping, &QEventLoop::quit);
    if (monitor.commandTick() == Hexedit::CommandOutcome::Sent)
        stopping.exec();
    // Only once the STOP is out (or could not go).
    if (ctx.site)
        ctx.journaled(SiteJournaling::recordRunStopped(
            *ctx.site, ctx.tool(), ctx.siteLine->name, address,
            QStringLiteral("STOP (%1)%2")
                .arg(why, stopAnswered ? QString() : QStringLiteral(": no answer"))));
    const DriveStatus after = ReadDriveStatus(ctx, *client, address);
    ctx.say(CtlText::tr("Stopped after %1 s: %2.")
                .arg(ran.elapsed() / 1000.0, 0, 'f', 1)
                // The reason stays English in the journal and the JSON, which
                // compare it; only the sentence for people is translated.
                .arg(CtlText::tr(why.toUtf8().constData())));
    ctx.answer(after.line());
    ctx.report.insert(QStringLiteral("ended"), why);
    ctx.report.insert(QStringLiteral("stopAnswered"), stopAnswered);
    ctx.report.insert(QStringLiteral("status"), after.json());
    ctx.report.insert(QStringLiteral("readiness"),
                      QJsonArray::fromStringList(readiness.problems()));
    const bool fine = why == u"time up" || (why == u"stopped by the user" && !w.forMs);
    if (!stopAnswered)
        ctx.warn(CtlText::tr("drive %1 did not answer the STOP.").arg(address));
    return ctx.finish(fine && stopAnswered ? ParamCtl::Done : ParamCtl::Differences);
}

int run(CtlContext& ctx, const QStringList& args)
{
    const std::optional<RunWords> w = runWords(ctx, args, true);
    if (!w)
        return ctx.finish(ParamCtl::UsageOrPort);
    return drive(ctx, *w, w->reverse ? RunCommand::Reverse : RunCommand::Forward);
}

int jog(CtlContext& ctx, const QStringList& args)
{
    const std::optional<RunWords> w = runWords(ctx, args, false);
    if (!w)
        return ctx.finish(ParamCtl::UsageOrPort);
    return drive(ctx, *w, w->reverse ? RunCommand::JogReverse : RunCommand::JogForward);
}

int stop(CtlContext& ctx, const QStringList& args)
{
    const bool all = args.size() == 1 && args[0].compare(u"all", Qt::CaseInsensitive) == 0;
    std::optional<quint8> address;
    if (!all) {
        if (args.size() != 1) {
            ctx.warn(CtlText::tr("stop takes ADDRESS or all."));
            return ctx.finish(ParamCtl::UsageOrPort);
        }
        address = ctx.driveAddress(args[0]);
        if (!address)
            return ctx.finish(ParamCtl::UsageOrPort);
    }
    LinkClient* client = ctx.openLink();
    if (!client)
        return ctx.finish(ParamCtl::UsageOrPort);
    Hexedit& link = client->link();
    QEventLoop loop;
    bool answered = false;
    bool sent = false;
    QObject::connect(&link, &Hexedit::frameSent, &loop, [&](const QByteArray& frame) {
        if (Hexedit::KindOf(frame) == Hexedit::FrameKind::Command) {
            sent = true;
            if (all) // nobody answers a broadcast
                loop.quit();
        }
    });
    QObject::connect(&link, &Hexedit::answerReceived, &loop,
                     [&](const QByteArray& request, const QByteArray&) {
                         if (Hexedit::KindOf(request) == Hexedit::FrameKind::Command) {
                             answered = true;
                             loop.quit();
                         }
                     });
    QObject::connect(&link, &Hexedit::answerTimedOut, &loop, [&](const QByteArray& request, int) {
        if (Hexedit::KindOf(request) == Hexedit::FrameKind::Command)
            loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const bool queued =
        all ? link.SendBroadcastStop()
            : link.SendControlWrite(*address, RunCommand::Stop, QStringLiteral("0"));
    if (queued)
        loop.exec();
    // Journaled after the STOP went out, never before: the journal waits, the drive not.
    if (ctx.site && sent)
        ctx.journaled(SiteJournaling::recordRunStopped(
            *ctx.site, ctx.tool(), ctx.siteLine->name, all ? 0 : *address,
            all        ? QStringLiteral("STOP to every drive (broadcast)")
            : answered ? QStringLiteral("STOP")
                       : QStringLiteral("STOP: no answer")));
    ctx.report.insert(QStringLiteral("drive"),
                      all ? QJsonValue(QStringLiteral("all")) : QJsonValue(int(*address)));
    ctx.report.insert(QStringLiteral("sent"), sent);
    ctx.report.insert(QStringLiteral("answered"), answered);
    if (all) {
        ctx.say(sent ? CtlText::tr("STOP sent to every drive on the line (none answers it).")
                     : CtlText::tr("STOP could not be sent."));
        return ctx.finish(sent ? ParamCtl::Done : ParamCtl::Differences);
    }
    if (!answered)
        ctx.warn(CtlText::tr("drive %1 did not answer the STOP.").arg(*address));
    else
        ctx.say(CtlText::tr("Drive %1: STOP taken.").arg(*address));
    return ctx.finish(answered ? ParamCtl::Done : ParamCtl::Differences);
}

} // namespace

void AddRunCommands(QMap<QString, ParamCtl::Entry>& commands)
{
    commands.insert(
        QStringLiteral("run"),
        {run, true,
         CtlText::tr("  run ADDRESS --fwd|--rev --hz F [--for 10s]\n"
                     "                             run the drive at F Hz until --for has "
                     "passed or\n"
                     "                             Ctrl-C, then STOP (the command is repeated "
                     "every\n"
                     "                             0.5 s meanwhile)\n")});
    commands.insert(QStringLiteral("jog"),
                    {jog, true,
                     CtlText::tr("  jog ADDRESS --fwd|--rev [--for 2s]\n"
                                 "                             jog the drive until --for has "
                                 "passed or Ctrl-C\n")});
    commands.insert(QStringLiteral("stop"),
                    {stop, false,
                     CtlText::tr("  stop ADDRESS|all           STOP one drive, or every drive "
                                 "(broadcast)\n")});
}
