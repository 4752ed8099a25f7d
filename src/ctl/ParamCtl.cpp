// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamCtl.h"

#include "CloneJob.h"
#include "DriveList.h"
#include "ParamJobs.h"
#include "ParamSetFile.h"
#include "SelectablePort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>

namespace {

// Longer than a gateway's own connect time-out, which says why it failed.
constexpr int kReadyGuardMs = TcpPort::DefaultConnectTimeoutMs + 2000;

template <class Job, class Signal>
void runToEnd(Job& job, Signal finished, const std::function<void()>& start)
{
    QEventLoop loop;
    QObject::connect(&job, finished, &loop, &QEventLoop::quit);
    start();
    loop.exec();
}

QString differenceLine(const ParamDifference& d, const QString& leftName, const QString& rightName)
{
    return QStringLiteral("%1\t%2\t%3=%4\t%5=%6\t%7")
        .arg(ParamCatalogue::number(d.reg), ParamCatalogue::name(d.reg).trimmed(), leftName,
             ShownOrDash(d.reg, d.left), rightName, ShownOrDash(d.reg, d.right),
             ParamCatalogue::unit(d.reg));
}

} // namespace

ParamCtl::ParamCtl(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

QString ParamCtl::usage() const
{
    return QStringLiteral(
               "Usage: vfdctl --port NAME [--settings 9600,E,8,1] [--retries N] COMMAND ...\n"
               "       vfdctl --help | --version\n"
               "  backup ADDRESS FILE [--force]\n"
               "                             read every parameter of a drive into FILE (CSV);\n"
               "                             nothing is saved when the drive answered none, and\n"
               "                             a FILE holding more answered parameters is kept\n"
               "                             unless --force is given\n"
               "  compare ADDRESS FILE       list the parameters where drive and FILE differ\n"
               "  restore ADDRESS FILE [--yes] [--include-address] [--include-line]\n"
               "                             write the differing parameters of FILE to the drive\n"
               "                             (P8.00 and P8.01 left out)\n"
               "  clone FILE ADDRESS... [--yes] [--include-address] [--include-line]\n"
               "                             write FILE to several drives (P8.00 and P8.01 left "
               "out)\n"
               "NAME: COM1..COM16, a device path, tcp://HOST:PORT for a serial-to-Ethernet\n"
               "gateway in transparent mode, mbtcp://HOST:PORT for one in Modbus TCP mode,\n"
               "or SIM for simulated drives 1 to 3.\n"
               "Writes go only to a stopped drive, each is read back; without --yes the\n"
               "writes are listed and confirmed first.\n"
               "Exit status: 0 done, 1 differences found or some writes failed or parameters\n"
               "not answered (or a backup not saved for that), 2 usage, file or port error.\n") +
           moreUsage;
}

std::unique_ptr<SerialPort> ParamCtl::openPort(const QString& name, const QString& settings)
{
    std::unique_ptr<SerialPort> port(makePort ? makePort() : new SelectablePort);
    port->setPortName(name);
    if (!port->setSettings(settings)) {
        m_err << "vfdctl: the settings \"" << settings << "\" are not valid.\n";
        return nullptr;
    }
    if (port->open() != SerialPort::OpenError::None) {
        m_err << "vfdctl: the port " << name << " could not be opened: " << port->errorString()
              << "\n";
        return nullptr;
    }
    if (const QString why = waitUntilReady(*port); !why.isEmpty()) {
        m_err << "vfdctl: the port " << name << " could not be opened: " << why << "\n";
        return nullptr;
    }
    // From here on a port that goes away says why, whatever the command makes of
    // the requests that then go unanswered.
    QObject::connect(port.get(), &SerialPort::deviceLost, port.get(), [this, p = port.get()] {
        m_err << "vfdctl: the port " << p->portName() << " closed: " << p->errorString() << "\n"
              << Qt::flush;
    });
    return port;
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
    return QStringLiteral("not ready within %1 s.").arg(kReadyGuardMs / 1000);
}

int ParamCtl::run(const QStringList& arguments)
{
    QString portName;
    QString settings = QStringLiteral("9600,E,8,1");
    int retries = 1;
    bool yes = false;
    bool force = false;
    QSet<quint16> include;
    QStringList words;
    QStringList moreArgs;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (a == u"--port") {
            portName = value().value_or(QString()).trimmed();
        } else if (a == u"--settings") {
            settings = value().value_or(QString());
        } else if (a == u"--retries") {
            bool ok = false;
            retries = value().value_or(QString()).toInt(&ok);
            if (!ok || retries < 0 || retries > 10) {
                m_err << "vfdctl: --retries takes 0 to 10.\n";
                return UsageOrPort;
            }
        } else if (a == u"--yes" || a == u"-y") {
            yes = true;
        } else if (a == u"--force") {
            force = true;
        } else if (a == u"--include-address") {
            include.insert(0x0800);
        } else if (a == u"--include-line") {
            include.insert(0x0801);
        } else if (a == u"-h" || a == u"--help") {
            m_out << usage();
            return Done;
        } else if (a == u"--version") {
            m_out << "vfdctl " << ProgramVersion() << "\n";
            return Done;
        } else if (a.startsWith(u'-')) {
            m_err << "vfdctl: unknown option " << a << "\n" << usage();
            return UsageOrPort;
        } else if (words.isEmpty() && moreCommands.contains(a)) {
            // The command's own words follow; they are its to read.
            words << a;
            moreArgs = arguments.mid(i + 1);
            break;
        } else {
            words << a;
        }
    }
    const QString command = words.value(0);
    if (moreCommands.contains(command)) {
        if (portName.isEmpty()) {
            m_err << usage();
            return UsageOrPort;
        }
        const std::unique_ptr<SerialPort> port = openPort(portName, settings);
        if (!port)
            return UsageOrPort;
        Hexedit link(*port);
        LinkClient client(link);
        client.setRetries(retries);
        const int code = moreCommands.value(command)(client, moreArgs);
        m_out.flush();
        m_err.flush();
        return code;
    }
    const bool known = command == u"backup" || command == u"compare" || command == u"restore";
    if (portName.isEmpty() || (known && words.size() != 3) ||
        (command == u"clone" && words.size() < 3) || (!known && command != u"clone")) {
        m_err << usage();
        return UsageOrPort;
    }

    // Addresses and file first: a mistake there is reported before the line is touched.
    QList<quint8> addresses;
    const QStringList addressWords = command == u"clone" ? words.mid(2) : words.mid(1, 1);
    for (const QString& w : addressWords) {
        // A clone's targets are drive lists ("2,3 5-7"); the others take one drive.
        QString problem;
        std::optional<QList<quint8>> named;
        if (command == u"clone")
            named = DriveList::parse(w, &problem);
        else if (const std::optional<quint8> one = DriveList::parseOne(w, &problem))
            named = QList<quint8>{*one};
        if (!named) {
            m_err << "vfdctl: " << problem << ".\n";
            return UsageOrPort;
        }
        for (quint8 address : *named) {
            if (!addresses.contains(address))
                addresses << address;
        }
    }
    const QString file = command == u"clone" ? words[1] : words[2];
    std::optional<ParamSet> fromFile;
    if (command != u"backup") {
        const ParamSetFile::LoadResult loaded = ParamSetFile::Load(file);
        if (!loaded.set) {
            m_err << "vfdctl: " << file;
            if (loaded.line > 0)
                m_err << ", line " << loaded.line;
            m_err << ": " << loaded.error << "\nNothing was written.\n";
            return UsageOrPort;
        }
        fromFile = *loaded.set;
    } else if (const QString problem = ParamSetFile::DestinationProblem(file); !problem.isEmpty()) {
        // Found now, not after minutes of reading the drive.
        m_err << "vfdctl: " << file << " cannot be saved: " << problem
              << "\nThe drive was not read.\n";
        return UsageOrPort;
    }

    const std::unique_ptr<SerialPort> port = openPort(portName, settings);
    if (!port)
        return UsageOrPort;
    Hexedit link(*port);
    LinkClient client(link);
    client.setRetries(retries);
    auto progress = [this](const QString& what) {
        return [this, what](int done, int total) {
            if (showProgress)
                m_err << "\r" << what << " " << done << "/" << total << (done == total ? "\n" : "")
                      << Qt::flush;
        };
    };
    auto readDrive = [&](quint8 address) {
        ReadJob job(client, address);
        QObject::connect(&job, &ReadJob::progress,
                         progress(QStringLiteral("drive %1").arg(address)));
        runToEnd(job, &ReadJob::finished, [&] { job.start(); });
        const QList<quint16> missing = job.unanswered();
        for (quint16 reg : missing)
            m_err << "vfdctl: drive " << int(address) << " did not answer for "
                  << ParamCatalogue::number(reg) << "\n";
        return std::make_pair(job.result(), missing.isEmpty());
    };
    auto ask = [&](const QString& question) {
        if (yes)
            return true;
        return confirm ? confirm(question) : false;
    };

    if (command == u"backup") {
        const quint8 address = addresses[0];
        const auto [set, complete] = readDrive(address);
        const int read = set.answered();
        const int notRead = int(set.values.size()) - read;
        // A file of "no answer" rows would only take the place of a good one.
        if (read == 0) {
            m_err << "vfdctl: drive " << int(address) << " answered for no parameter; " << file
                  << " was not written.\n";
            return Differences;
        }
        const std::optional<int> before = ParamSetFile::AnsweredInFile(file);
        if (before && *before > read && !force) {
            m_err << "vfdctl: drive " << int(address) << ": " << read << " parameters read, "
                  << notRead << " not answered; " << file << " holds " << *before
                  << " and was left as it was (--force replaces it).\n";
            return Differences;
        }
        if (const QString error = ParamSetFile::Save(set, file); !error.isEmpty()) {
            m_err << "vfdctl: " << file << " could not be saved: " << error << "\n";
            return UsageOrPort;
        }
        if (complete)
            m_out << "Drive " << int(address) << ": " << set.values.size()
                  << " parameters saved to " << file << "\n";
        else
            m_out << "Drive " << int(address) << ": " << read << " parameters read, " << notRead
                  << " not answered; saved to " << file << "\n";
        return complete ? Done : Differences;
    }

    if (command == u"compare") {
        const auto [drive, complete] = readDrive(addresses[0]);
        const QList<ParamDifference> list = CompareSets(drive, *fromFile);
        for (const ParamDifference& d : list)
            m_out << differenceLine(d, QStringLiteral("drive"), QStringLiteral("file")) << "\n";
        m_out << list.size() << " differences\n";
        return list.isEmpty() && complete ? Done : Differences;
    }

    if (command == u"restore") {
        const quint8 address = addresses[0];
        const auto [drive, complete] = readDrive(address);
        // Its own address and line settings only when asked for: written, they
        // would cut the drive off from the rest of the restore.
        QSet<quint16> leaveOut = CloneJob::DefaultLeaveOut();
        leaveOut -= include;
        const WritePlan plan = PlanWrites(*fromFile, drive, leaveOut);
        for (const QString& left : plan.leftOut)
            m_err << "vfdctl: left out " << left << "\n";
        if (plan.writes.isEmpty()) {
            m_out << "Drive " << int(address) << ": nothing to write.\n";
            return complete && plan.leftOut.isEmpty() ? Done : Differences;
        }
        for (const WriteItem& w : plan.writes)
            m_out << ParamCatalogue::number(w.reg) << "\t" << ParamCatalogue::name(w.reg).trimmed()
                  << "\t" << ShownOrDash(w.reg, drive.raw(w.reg)) << " -> "
                  << ParamCatalogue::shown(w.reg, w.raw) << "\t" << ParamCatalogue::unit(w.reg)
                  << "\n";
        if (!ask(QStringLiteral("Write %1 parameters to drive %2?")
                     .arg(plan.writes.size())
                     .arg(address))) {
            m_out << "Nothing written.\n";
            return Differences;
        }
        RestoreJob job(client, address, plan.writes);
        QObject::connect(&job, &RestoreJob::progress, progress(QStringLiteral("writing")));
        runToEnd(job, &RestoreJob::finished, [&] { job.start(); });
        m_out << job.summary() << "\n";
        return job.complete() ? Done : Differences;
    }

    // clone
    CloneJob clone(client, *fromFile, addresses);
    for (quint16 reg : include)
        clone.leaveOut.remove(reg);
    QObject::connect(&clone, &CloneJob::progress, [&](const QString& what, int done, int total) {
        progress(what)(done, total);
    });
    runToEnd(clone, &CloneJob::previewReady, [&] { clone.preview(); });
    for (const CloneJob::Target& t : clone.targets()) {
        if (t.readFailed) {
            m_out << "Drive " << int(t.address) << ": does not answer, left alone.\n";
            continue;
        }
        m_out << "Drive " << int(t.address) << ": " << t.plan.writes.size() << " to write\n";
        for (const WriteItem& w : t.plan.writes)
            m_out << "  " << ParamCatalogue::number(w.reg) << "\t"
                  << ShownOrDash(w.reg, t.before.raw(w.reg)) << " -> "
                  << ParamCatalogue::shown(w.reg, w.raw) << "\n";
        for (const QString& left : t.plan.leftOut)
            m_out << "  left out " << left << "\n";
    }
    if (!ask(QStringLiteral("Write to %1 drives as listed?").arg(addresses.size()))) {
        m_out << "Nothing written.\n";
        return Differences;
    }
    runToEnd(clone, &CloneJob::finished, [&] { clone.apply(); });
    for (const CloneJob::Target& t : clone.targets()) {
        m_out << t.restoreSummary << "\n";
        if (t.differencesAfter >= 0)
            m_out << "Drive " << int(t.address) << " verified: " << t.differencesAfter
                  << " differences left.\n";
    }
    return clone.allDone() ? Done : Differences;
}
