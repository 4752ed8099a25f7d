// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeCommand.h"

#include "BrokerLink.h"
#include "DiskQueue.h"
#include "DriveList.h"
#include "QueueLock.h"
#include "RecordCommand.h"
#include "SerialPort.h"
#include "ServeFiles.h"
#include "ServeJournal.h"
#include "ServeLine.h"
#include "ServeSite.h"
#include "ServeStandards.h"
#include "ShownText.h"
#include "SiteLayout.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <memory>
#include <vector>

namespace {

constexpr qint64 kConfigLimit = 1 << 20;
// How long a stop waits for the broker to take what is queued.
constexpr int kFlushWaitMs = 5000;
// Long enough for every stop to be sent its few times and each time wait
// out its answer at the slowest line settings.
constexpr int kStopsOutMs = 10000;

std::atomic<bool> serveStop{false};

void requestServeStop(int)
{
    serveStop = true;
}

// However the service is told to go (Ctrl-C, systemd's SIGTERM, a closed
// terminal's SIGHUP, SIGQUIT), it goes the same orderly way: the drives it
// runs are stopped and heard to stop first. A reader of its output that
// went is a failed write, not a death by SIGPIPE.
void catchServeStop()
{
    struct sigaction action = {};
    action.sa_handler = requestServeStop;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaction(sig, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

std::optional<ServeConfig> readConfigFile(const QString& path, QString* error)
{
    const auto text =
        ServeFiles::readInput(QStringLiteral("configuration"), path, kConfigLimit, error);
    if (!text)
        return std::nullopt;
    QString why;
    auto config = ServeConfigText::parse(QString::fromUtf8(*text), &why);
    if (!config) {
        *error = path + QStringLiteral(", ") + why;
    } else if (const QString problem = ServeSite::misplaced(*config, path); !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    return config;
}

} // namespace

QString serveUsage()
{
    return QCoreApplication::translate(
        "ServeText",
        "  serve [CONFIG | --site DIR] [--broker mqtt://HOST:PORT] [--drives 1-3]\n"
        "        [--values KEY,...] [--interval 1s] [--every 60s] [--prefix vfd]\n"
        "        [--line NAME] [--client-id ID] [--queue-dir DIR] [--queue-size N]\n"
        "        [--commands [--rhythm 2s]]\n"
        "                             publish drives to an MQTT broker until stopped; with\n"
        "                             --port the options make one line, CONFIG may hold\n"
        "                             several, and so may a site's DIR/site.conf (its\n"
        "                             drives' names published, the commands it sends\n"
        "                             journaled; --line NAME serves one of its lines)\n"
        "                             (runs until SIGTERM, SIGINT, SIGHUP or SIGQUIT,\n"
        "                             stopping the drives it runs first; exits 2 on a bad\n"
        "                             setting, 1 when its log cannot be written)\n");
}

namespace ServeOptions {

std::optional<ServeConfig> fromArguments(const QStringList& arguments, QString* error)
{
    // vfdctl's own options come before the command word; serve's after it.
    QString port, settings, line, broker, drives, values, interval, every, prefix, clientId,
        queueDir, queueSize, retries, rhythm, file, siteDir;
    bool commands = false;
    bool seenServe = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString& into) {
            if (i + 1 >= arguments.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            into = arguments[++i];
            return true;
        };
        bool ok = true;
        if (a == u"--port")
            ok = value(port);
        else if (a == u"--settings")
            ok = value(settings);
        else if (a == u"--retries")
            ok = value(retries);
        else if (a == u"--site")
            ok = value(siteDir);
        else if (a == u"--line")
            ok = value(line);
        else if (!seenServe && a == u"serve")
            seenServe = true;
        else if (seenServe && a == u"--broker")
            ok = value(broker);
        else if (seenServe && a == u"--drives")
            ok = value(drives);
        else if (seenServe && a == u"--values")
            ok = value(values);
        else if (seenServe && a == u"--interval")
            ok = value(interval);
        else if (seenServe && a == u"--every")
            ok = value(every);
        else if (seenServe && a == u"--prefix")
            ok = value(prefix);
        else if (seenServe && a == u"--client-id")
            ok = value(clientId);
        else if (seenServe && a == u"--queue-dir")
            ok = value(queueDir);
        else if (seenServe && a == u"--queue-size")
            ok = value(queueSize);
        else if (seenServe && a == u"--commands")
            commands = true;
        else if (seenServe && a == u"--rhythm")
            ok = value(rhythm);
        else if (seenServe && !a.startsWith(u'-') && file.isEmpty())
            file = a;
        else {
            *error = QStringLiteral("serve does not take %1").arg(a);
            return std::nullopt;
        }
        if (!ok)
            return std::nullopt;
    }
    if (!siteDir.isNull() && siteDir.isEmpty()) {
        *error = QStringLiteral("--site takes the site's folder");
        return std::nullopt;
    }
    if (!siteDir.isNull() && !file.isEmpty()) {
        *error = QStringLiteral("give the site (--site DIR) or a configuration file, not both");
        return std::nullopt;
    }
    if (!file.isEmpty() && !ServeSite::folderOf(file).isEmpty())
        siteDir = ServeSite::folderOf(file);
    // The site vfdctl works in stands for the configuration when nothing
    // else says what to serve.
    const bool fromEnvironment = siteDir.isNull() && file.isEmpty() && port.isNull() &&
                                 !qEnvironmentVariableIsEmpty("VFDCTL_SITE");
    if (fromEnvironment)
        siteDir = qEnvironmentVariable("VFDCTL_SITE");
    ServeConfig config;
    const bool lineOptions = !port.isNull() || !settings.isNull() || !drives.isNull() ||
                             !values.isNull() || !interval.isNull();
    if (!siteDir.isEmpty()) {
        auto read = ServeSite::read(siteDir, error);
        if (!read || !ServeSite::pickLine(*read, line, lineOptions, error)) {
            if (fromEnvironment)
                error->prepend(QStringLiteral("VFDCTL_SITE: "));
            return std::nullopt;
        }
        config = *read;
    } else if (!file.isEmpty()) {
        auto read = readConfigFile(file, error);
        if (!read)
            return std::nullopt;
        config = *read;
    }
    // The options, as if they stood in the file: each checked by the same rules.
    QStringList text{QStringLiteral("[broker]")};
    auto set = [&](const QString& key, const QString& v) {
        if (!v.isNull())
            text << key + QStringLiteral(" = ") + v;
    };
    set(QStringLiteral("url"), broker);
    set(QStringLiteral("client-id"), clientId);
    text << QStringLiteral("[publish]");
    set(QStringLiteral("prefix"), prefix);
    set(QStringLiteral("every"), every);
    set(QStringLiteral("queue-dir"), queueDir);
    set(QStringLiteral("queue-size"), queueSize);
    set(QStringLiteral("retries"), retries);
    text << QStringLiteral("[commands]");
    set(QStringLiteral("rhythm"), rhythm);
    const QString lineName = line.isNull() ? (config.lines.size() == 1 ? config.lines.first().name
                                                                       : QStringLiteral("line1"))
                                           : line;
    // A line named on its own is a line of the options, except with a site,
    // where it picks one of the site's lines.
    const bool optionLine = lineOptions || (!line.isNull() && config.siteRoot.isEmpty());
    if (optionLine) {
        text << QStringLiteral("[line %1]").arg(lineName);
        set(QStringLiteral("port"), port);
        set(QStringLiteral("settings"), settings);
        set(QStringLiteral("drives"), drives);
        set(QStringLiteral("values"), values);
        set(QStringLiteral("interval"), interval);
    }
    QString why;
    const auto given = ServeConfigText::parse(text.join(u'\n'), &why);
    if (!given) {
        // Name the option, not the line of a text the user never wrote.
        const QString problem = why.section(QStringLiteral(": "), 1, -1);
        *error = problem.isEmpty() ? why : problem;
        return std::nullopt;
    }
    if (!broker.isNull())
        ServeConfigText::parseBroker(broker, config, nullptr);
    if (!clientId.isNull())
        config.clientId = given->clientId;
    if (!prefix.isNull())
        config.prefix = given->prefix;
    if (!every.isNull())
        config.publishEveryMs = given->publishEveryMs;
    if (!queueDir.isNull())
        config.queueDir = given->queueDir;
    if (!queueSize.isNull())
        config.queueLimit = given->queueLimit;
    if (!retries.isNull())
        config.retries = given->retries;
    if (commands)
        config.commands = true;
    if (!rhythm.isNull())
        config.commandRhythmMs = given->commandRhythmMs;
    if (optionLine) {
        const ServeLineConfig& g = given->lines.first();
        ServeLineConfig* target = nullptr;
        for (ServeLineConfig& l : config.lines)
            if (l.name == lineName)
                target = &l;
        if (!target) {
            config.lines.append(ServeLineConfig{});
            target = &config.lines.last();
            target->name = lineName;
        }
        if (!port.isNull())
            target->port = g.port;
        if (!settings.isNull())
            target->settings = g.settings;
        if (!drives.isNull())
            target->drives = g.drives;
        if (!values.isNull())
            target->values = g.values;
        if (!interval.isNull())
            target->intervalMs = g.intervalMs;
    }
    if (!ServeConfigText::validate(config, error))
        return std::nullopt;
    return config;
}

} // namespace ServeOptions

int runServe(const ServeConfig& config, QTextStream& err, const std::atomic<bool>& stop)
{
    // A log nobody can read any more (the pipe's reader gone, the terminal
    // closed) ends the service, as an unwritable output ends every command.
    bool logLost = false;
    auto log = [&](const QString& text) {
        if (logLost)
            return;
        // The log is for the person watching; what it reports stays English
        // wherever programs read it (the journal, MQTT).
        err << "vfdctl serve: " << ShownText::of(text) << "\n" << Qt::flush;
        logLost = err.status() != QTextStream::Ok;
    };
    DiskQueue queue(config.queueLimit);
    QueueLock lock;
    if (!config.queueDir.isEmpty()) {
        QString why;
        if (!QDir().mkpath(config.queueDir) ||
            !lock.take(config.queueDir, config.effectiveClientId(), &why)) {
            log(why.isEmpty()
                    ? QStringLiteral("the queue folder %1 could not be made").arg(config.queueDir)
                    : why);
            return 2;
        }
        if (!queue.open(config.queueDir, &why)) {
            log(why);
            return 2;
        }
        if (queue.unreadable() > 0)
            log(QStringLiteral("%1 lines of %2 could not be read and were left out")
                    .arg(queue.unreadable())
                    .arg(queue.path()));
        if (!queue.empty())
            log(QStringLiteral("%1 readings of an earlier run wait for the broker")
                    .arg(queue.size()));
    }
    BrokerLink broker(config, queue);
    QObject::connect(&broker, &BrokerLink::logLine, &broker, log);
    QString why;
    if (!broker.start(&why)) {
        log(why);
        return 2;
    }
    // Run from a site, the commands go into its journal (declared before
    // the lines, which hand it their entries until they go).
    std::unique_ptr<ServeJournal> journal;
    if (!config.siteRoot.isEmpty()) {
        journal = std::make_unique<ServeJournal>(SiteLayout(config.siteRoot).journalPath(), broker);
        QObject::connect(journal.get(), &ServeJournal::logLine, &broker, log);
        log(QStringLiteral("%1 journaled in %2")
                .arg(config.commands ? QStringLiteral("the commands sent and drifts found are")
                                     : QStringLiteral("drifts found are"),
                     journal->path()));
    }
    std::vector<std::unique_ptr<ServeLine>> lines;
    for (const ServeLineConfig& l : config.lines) {
        lines.push_back(std::make_unique<ServeLine>(l, config, broker));
        QObject::connect(lines.back().get(), &ServeLine::logLine, &broker, log);
        lines.back()->setJournal(journal.get());
        if (!lines.back()->openShare(&why)) {
            log(why + QStringLiteral("; nothing started"));
            return 2;
        }
    }
    // Sparkplug and discovery hear the lines from their first reading on.
    ServeStandards standards(config, broker);
    QObject::connect(&standards, &ServeStandards::logLine, &broker, log);
    if (!standards.start(lines, &why)) {
        log(why);
        broker.stop(0);
        return 2;
    }
    for (auto& l : lines)
        l->start();
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (stop || logLost)
            loop.quit();
    });
    watch.start(100);
    loop.exec();
    const bool byFailure = logLost && !stop;
    log(byFailure ? QStringLiteral("stopping: the log cannot be written")
                  : QStringLiteral("stopping"));
    bool stopping = false;
    for (auto& l : lines)
        stopping = l->stopDrives() || stopping;
    if (stopping) {
        // The stops take their turn on each line, and are heard out, before
        // the ports close.
        QElapsedTimer clock;
        clock.start();
        QObject::disconnect(&watch, nullptr, &loop, nullptr);
        QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
            bool done = true;
            for (auto& l : lines)
                done = done && l->drivesStopped();
            if (done || clock.elapsed() > kStopsOutMs)
                loop.quit();
        });
        loop.exec();
    }
    watch.stop();
    if (journal)
        journal->finish(ServeJournal::RetryMs + 1000);
    for (auto& l : lines)
        l->stop();
    standards.stop(kFlushWaitMs);
    broker.stop(kFlushWaitMs);
    return byFailure ? 1 : 0;
}

std::optional<int> runServeCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    // The first word that is no option, nor an option's value, is the command.
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--port" || a == u"--settings" || a == u"--retries" || a == u"--site" ||
            a == u"--line") {
            ++i;
            continue;
        }
        if (a.startsWith(u'-'))
            return std::nullopt;
        if (a != u"serve")
            return std::nullopt;
        break;
    }
    if (!arguments.contains(QStringLiteral("serve")))
        return std::nullopt;
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        out << QCoreApplication::translate("ServeText", "Usage: vfdctl [--port NAME | --site DIR "
                                                        "[--line NAME]] [--settings 9600,E,8,1]\n"
                                                        "              [--retries N] serve ...\n")
            << serveUsage();
        return 0;
    }
    QString why;
    const auto config = ServeOptions::fromArguments(arguments, &why);
    if (!config) {
        err << "vfdctl serve: "
            << QCoreApplication::translate("ServeText", "%1; nothing started.").arg(why) << '\n'
            << serveUsage() << Qt::flush;
        return 2;
    }
    serveStop = false;
    catchServeStop();
    return runServe(*config, err, serveStop);
}
