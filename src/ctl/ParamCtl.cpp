// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamCtl.h"

#include "LinkClient.h"
#include "ParamSet.h"
#include "SelectablePort.h"
#include "ShownText.h"
#include "UsbLatency.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

// Longer than a gateway's own connect time-out, which says why it failed.
constexpr int kReadyGuardMs = TcpPort::DefaultConnectTimeoutMs + 2000;

} // namespace

ParamCtl::ParamCtl(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

QString ParamCtl::usage() const
{
    QString text = CtlText::tr(
        "Usage: vfdctl --port NAME [--settings 9600,E,8,1] [--retries N] [--json] [--quiet]\n"
        "              [--lang en|zh_CN] COMMAND ...\n"
        "       vfdctl --site DIR [--line NAME] [...] COMMAND ...\n"
        "       vfdctl --help | --version\n"
        "Commands:\n");
    for (auto it = commands.cbegin(); it != commands.cend(); ++it)
        text += it->usage;
    text += usageNotes;
    text += CtlText::tr(
        "NAME: COM1..COM16, a device path, tcp://HOST:PORT for a serial-to-Ethernet\n"
        "gateway in transparent mode, mbtcp://HOST:PORT for one in Modbus TCP mode,\n"
        "or SIM for simulated drives 1 to 3.\n"
        "--site DIR (or VFDCTL_SITE=DIR) takes the port and settings of the site's line\n"
        "(--line NAME where it has several); its drives' names stand for addresses (quote\n"
        "a name with spaces), outputs without -o or FILE go into the site under names\n"
        "never reused, and every write, run command and test run is journaled there (a\n"
        "journal that cannot be written is said and makes the exit status 1). --site\n"
        "after \"report\" is the report's own plant name.\n"
        "--json writes one JSON document (JSON lines for record and watch) instead of the\n"
        "report, with \"exit\" and \"messages\" even for a usage or port error; --quiet\n"
        "leaves out everything but the answers and the problems.\n"
        "--lang en|zh_CN chooses the language of the words for people; without it the\n"
        "locale does (LC_ALL, LC_MESSAGES, LANG). With --json everything is English.\n"
        "Writes go only to a stopped drive and each is read back; without --yes the\n"
        "writes are listed and confirmed first (with --json, --yes is needed to write).\n"
        "Ctrl-C ends a command once the exchange on the line has ended, says what was\n"
        "done, and exits 1 (a running drive is stopped first); so do SIGTERM, SIGHUP\n"
        "(a closed terminal), SIGQUIT and the reader of the output gone.\n"
        "Exit status: 0 done; 1 differences found, writes that failed, parameters or\n"
        "drives that did not answer, or stopped; 2 usage, file or port error; 3 the port\n"
        "went away (scan, find-settings).\n");
    return text;
}

std::unique_ptr<SerialPort> ParamCtl::openPort(CtlContext& ctx, const QString& name,
                                               const QString& settings)
{
    std::unique_ptr<SerialPort> port(makePort ? makePort() : new SelectablePort);
    port->setPortName(name);
    if (!port->setSettings(settings)) {
        ctx.warn(CtlText::tr("the settings \"%1\" are not valid.").arg(settings));
        return nullptr;
    }
    if (port->open() != SerialPort::OpenError::None) {
        ctx.warn(CtlText::tr("the port %1 could not be opened: %2").arg(name, port->errorString()));
        return nullptr;
    }
    if (const QString why = waitUntilReady(*port); !why.isEmpty()) {
        ctx.warn(CtlText::tr("the port %1 could not be opened: %2").arg(name, ShownText::of(why)));
        return nullptr;
    }
    if (const std::optional<int> ms = port->adapterLatencyMs();
        ms && *ms > UsbLatency::WorthSayingMs)
        ctx.warn(UsbLatency::advice(port->portName(), *ms));
    // From here on a port that goes away says why, whatever the command makes of
    // the requests that then go unanswered.
    QObject::connect(port.get(), &SerialPort::deviceLost, port.get(), [&ctx, p = port.get()] {
        ctx.warn(CtlText::tr("the port %1 closed: %2").arg(p->portName(), p->errorString()));
    });
    return port;
}

QString ParamCtl::outputLost() const
{
    // Asked of the descriptors themselves: a command that writes nothing
    // while a drive runs must still learn that nobody is there any more.
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        pollfd p{fd, 0, 0};
        if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)))
            return fd == STDOUT_FILENO ? CtlText::tr("standard output is gone")
                                       : CtlText::tr("standard error is gone");
    }
    if (m_out.status() == QTextStream::WriteFailed)
        return CtlText::tr("standard output could not be written");
    if (m_err.status() == QTextStream::WriteFailed)
        return CtlText::tr("standard error could not be written");
    return QString();
}

QString ParamCtl::waitUntilReady(SerialPort& port)
{
    // A gateway's connection is made after open() returns; nothing may be
    // asked before, or every request of the job would go unsent. The port
    // itself gives up after its connect time-out and says why; the guard
    // only keeps a port that never says either from hanging the command.
    if (port.isReady())
        return {};
    QEventLoop loop;
    QObject::connect(&port, &SerialPort::ready, &loop, &QEventLoop::quit);
    QObject::connect(&port, &SerialPort::deviceLost, &loop, &QEventLoop::quit);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(kReadyGuardMs);
    loop.exec();
    if (port.isReady())
        return {};
    if (!port.isOpen())
        return port.errorString();
    port.close();
    return CtlText::tr("not ready within %1 s.").arg(kReadyGuardMs / 1000);
}

int ParamCtl::run(const QStringList& arguments)
{
    CtlContext ctx(m_out, m_err);
    ctx.showProgress = showProgress;
    ctx.confirm = confirm;
    ctx.stop = stop;
    QString& settings = ctx.settings;
    bool settingsGiven = false;
    QString siteDir = qEnvironmentVariable("VFDCTL_SITE");
    QString lineName;
    int retries = 1;
    QString command;
    QStringList args;
    // A script that asked for JSON gets its one document even when the words
    // are wrong, so it never has to tell a usage error from a crash.
    ctx.json = arguments.contains(QStringLiteral("--json"));
    auto refuse = [&](const QString& problem, bool withUsage = false) {
        ctx.warn(problem);
        if (withUsage)
            m_err << usage();
        return ctx.finish(UsageOrPort);
    };
    // Options every command takes may stand anywhere; the rest is the command's.
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (a == u"--port") {
            ctx.portName = value().value_or(QString()).trimmed();
        } else if (a == u"--settings") {
            settings = value().value_or(QString());
            settingsGiven = true;
        } else if (a == u"--site" && command == u"report") {
            // The report's own --site TEXT (the plant's name on its pages),
            // older than the site folder: after "report" it stays the report's.
            args << a;
            if (i + 1 < arguments.size())
                args << arguments[++i];
        } else if (a == u"--site") {
            siteDir = value().value_or(QString());
            if (siteDir.isEmpty())
                return refuse(CtlText::tr("--site takes the site's folder."));
        } else if (a == u"--line") {
            lineName = value().value_or(QString());
            if (lineName.isEmpty())
                return refuse(CtlText::tr("--line takes a line of the site."));
        } else if (a == u"--retries") {
            bool ok = false;
            retries = value().value_or(QString()).toInt(&ok);
            if (!ok || retries < 0 || retries > 10)
                return refuse(CtlText::tr("--retries takes 0 to 10."));
        } else if (a == u"--yes" || a == u"-y") {
            ctx.yes = true;
        } else if (a == u"--force") {
            ctx.force = true;
        } else if (a == u"--json") {
            ctx.json = true;
        } else if (a == u"--quiet" || a == u"-q") {
            ctx.quiet = true;
        } else if (a == u"--include-address") {
            ctx.include.insert(0x0800);
        } else if (a == u"--include-line") {
            ctx.include.insert(0x0801);
        } else if (a == u"--verify") {
            const QString how = value().value_or(QString());
            if (how != u"full" && how != u"read-back")
                return refuse(CtlText::tr("--verify takes full or read-back."));
            ctx.fullVerify = how == u"full";
        } else if (a == u"--lang" || a.startsWith(u"--lang=")) {
            // One the program has was taken out before (main); this one it has not.
            return refuse(CtlText::tr("--lang takes en or zh_CN."));
        } else if (a == u"-h" || a == u"--help") {
            m_out << usage();
            return Done;
        } else if (a == u"--version") {
            m_out << "vfdctl " << ProgramVersion() << "\n";
            return Done;
        } else if (command.isEmpty() && a.startsWith(u'-')) {
            return refuse(CtlText::tr("unknown option %1").arg(a), true);
        } else if (command.isEmpty()) {
            command = a;
        } else if (args.isEmpty() && commands.contains(command + u' ' + a)) {
            command += u' ' + a; // "site init", "site status" ...
        } else {
            args << a;
        }
    }
    if (!command.isEmpty() && !commands.contains(command))
        return refuse(CtlText::tr("unknown command %1").arg(command), true);
    if (command.isEmpty())
        return refuse(CtlText::tr("name a command."), true);
    const Entry entry = commands.value(command);
    ctx.command = command;
    ctx.lineName = lineName;
    // A site gives the port and settings of its line; --port and --settings
    // still win, for a line reached another way today.
    std::optional<SiteFolder> site;
    if (!siteDir.isEmpty() && entry.usesSite) {
        QString why;
        site = SiteFolder::open(siteDir, &why);
        if (!site)
            return refuse(CtlText::tr("--site: %1.").arg(ShownText::of(why)));
        ctx.site = &*site;
        ctx.siteLine = site->line(lineName, &why);
        if (!ctx.siteLine)
            return refuse(CtlText::tr("--site: %1 (--line NAME).").arg(ShownText::of(why)));
        if (ctx.portName.isEmpty())
            ctx.portName = ctx.siteLine->port;
        if (!settingsGiven)
            settings = ctx.siteLine->settings;
    } else if (!lineName.isEmpty() && entry.usesSite) {
        return refuse(CtlText::tr("--line names a line of a site: give --site DIR too."));
    }
    if (ctx.portName.isEmpty() && entry.needsPort)
        return refuse(CtlText::tr("name the port: --port NAME (or --site DIR)."), true);
    if (entry.answersStop && catchStop)
        catchStop();

    std::unique_ptr<SerialPort> port;
    std::unique_ptr<Hexedit> link;
    std::unique_ptr<LinkClient> client;
    bool tried = false;
    ctx.openLink = [&]() -> LinkClient* {
        if (client || tried)
            return client.get(); // nullptr once it failed: said why already
        tried = true;
        port = openPort(ctx, ctx.portName, settings);
        if (!port || !port->isOpen())
            return nullptr;
        link = std::make_unique<Hexedit>(*port);
        client = std::make_unique<LinkClient>(*link);
        client->setRetries(retries);
        return client.get();
    };
    // Whoever reads what the command writes may go at any time: the command
    // then ends as at Ctrl-C (a running drive is stopped first) and says so.
    QString lost;
    QTimer listener;
    QObject::connect(&listener, &QTimer::timeout, [&] {
        if (lost.isEmpty())
            lost = outputLost();
        if (!lost.isEmpty() && stop)
            stop->store(true);
    });
    listener.start(50);
    int code = entry.run(ctx, args);
    listener.stop();
    if (lost.isEmpty())
        lost = outputLost();
    if (!lost.isEmpty()) {
        m_err << "vfdctl: " << CtlText::tr("%1: the command was ended.").arg(lost) << '\n'
              << Qt::flush;
        code = std::max(code, int(Differences));
    }
    client.reset();
    link.reset();
    port.reset();
    m_out.flush();
    m_err.flush();
    return code;
}
