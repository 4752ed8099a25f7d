// SPDX-License-Identifier: GPL-3.0-or-later
// A whole row commissioned over vfdsim's paced pseudo-terminal: a full line
// of 31 drives, drive 1 the reference source (20 parameters set by hand,
// among them 2 s ramps), its set cloned to the other 30, every drive
// test-run forward at 50 Hz held 20 s, then the report; printed against the
// least the line and the test runs allow. Printed, never asserted.
//
// The floor adds what has to go over the wire one exchange after the other
// and what the motors need:
//   - the scan: per drive its status, its edition, P0.04 and P0.01;
//   - the backup: every offered parameter of the reference drive;
//   - the clone: per target one read of each parameter that holds a value
//     (a reserved one has nothing to compare), and per planned write one
//     write and one read-back;
//   - the report: per drive its status, edition and the nine values of its
//     fault records (the sets read during the job are not read again);
//   - the test runs: ceil(31 / parallel) rounds of ramp up + hold + ramp
//     down, with the ramps of the cloned set (P0.14, P0.15 to 50 Hz). Their
//     own reads and run commands share the line with the motors' time.
// An exchange takes its request and answer bytes at the baud rate, and
// between them the drive's response delay, never less than 3.5 characters.
//
// Usage: bench_commission --vfdsim PATH [--parallel 4] [--hold 20] [--drives 31]
//                         [--settings 9600,E,8,1] [--delay-ms 5]
#include "DevicePort.h"
#include "Figures.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "ParamJobs.h"
#include "SiteCommission.h"
#include "SiteFolder.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

template <class Job, class Signal>
void waitFor(Job& job, Signal done, const std::function<void()>& start)
{
    QEventLoop loop;
    QObject::connect(&job, done, &loop, &QEventLoop::quit);
    start();
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // the report lays out text
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const QString settings =
        argument(args, QStringLiteral("--settings"), QStringLiteral("9600,E,8,1"));
    const int parallel = argument(args, QStringLiteral("--parallel"), QStringLiteral("4")).toInt();
    const int holdS = argument(args, QStringLiteral("--hold"), QStringLiteral("20")).toInt();
    const int drives =
        std::clamp(argument(args, QStringLiteral("--drives"), QStringLiteral("31")).toInt(), 2, 31);
    const double delayMs =
        argument(args, QStringLiteral("--delay-ms"), QStringLiteral("5")).toDouble();
    if (vfdsim.isEmpty() || parallel < 1) {
        std::fprintf(stderr, "usage: bench_commission --vfdsim PATH [--parallel 4] [--hold 20] "
                             "[--drives 31] [--settings 9600,E,8,1] [--delay-ms 5]\n");
        return 2;
    }
    QProcess sim;
    sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--settings"), settings,
                       QStringLiteral("--drives"), QStringLiteral("1-%1").arg(drives)});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000))
        return 2;
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    DevicePort port;
    port.setPortName(device);
    port.setSettings(settings);
    if (port.open() != SerialPort::OpenError::None) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(device));
        return 2;
    }
    Hexedit link(port);
    link.SetResponseDelayMs(int(delayMs));
    LinkClient client(link);

    // The reference drive set up by hand: 2 s ramps and 18 more parameters a
    // step away, none of those that decide whether it runs from the line.
    ReadJob read(client, 1);
    waitFor(read, &ReadJob::finished, [&] { read.start(); });
    ParamSet wanted = read.result();
    wanted.values[0x000E].raw = 20; // P0.14 = 2.0 s
    wanted.values[0x000F].raw = 20; // P0.15 = 2.0 s
    int changed = 2;
    for (const quint16 reg : ParamCatalogue::offeredRegisters()) {
        const std::optional<quint16> raw = read.result().raw(reg);
        if (changed == 20 || !raw || reg < 0x0100 || reg >= 0x0800)
            continue;
        for (const quint16 next : {quint16(*raw + 1), quint16(*raw - 1)})
            if (ParamCatalogue::withinLimits(reg, next)) {
                wanted.values[reg].raw = next;
                ++changed;
                break;
            }
    }
    RestoreJob setUp(client, 1, PlanWrites(wanted, read.result(), {0x0800, 0x0801}).writes);
    waitFor(setUp, &RestoreJob::finished, [&] { setUp.start(); });
    if (!setUp.complete()) {
        std::fprintf(stderr, "the reference drive was not set up: %s\n",
                     qPrintable(setUp.summary()));
        return 2;
    }

    QTemporaryDir dir;
    SiteFolder::NewSite what;
    what.name = QStringLiteral("Bench hall");
    what.line = QStringLiteral("a");
    what.port = device;
    what.settings = settings;
    for (int a = 1; a <= drives; ++a)
        what.drives << quint8(a);
    QString why;
    std::optional<SiteFolder> site = SiteFolder::create(dir.path(), what, &why);
    if (!site) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 2;
    }
    QString text = site->file().text();
    text.replace(QStringLiteral("[site]\n"), QStringLiteral("[site]\ntest-hz = 50\ntest-for = %1s\n"
                                                            "parallel = %2\n")
                                                 .arg(holdS)
                                                 .arg(parallel));
    text += QStringLiteral("\n[drive a 1]\nreference = row.csv\nreference-source = yes\n");
    for (int a = 2; a <= drives; ++a)
        text += QStringLiteral("\n[drive a %1]\nreference = row.csv\n").arg(a);
    if (!site->file().setText(text, &why) || !site->save().isEmpty() || !site->reload(&why)) {
        std::fprintf(stderr, "site file: %s\n", qPrintable(why));
        return 2;
    }

    SiteCommission job(client, *site, QStringLiteral("a"), {});
    QElapsedTimer clock;
    double firstRunS = -1;
    double lastRunS = 0;
    QObject::connect(&job, &SiteCommission::stepStarted, [&](quint8, SiteCommission::Step step) {
        if (step == SiteCommission::Step::TestRun && firstRunS < 0)
            firstRunS = clock.elapsed() / 1000.0;
    });
    QObject::connect(&job, &SiteCommission::stepEnded,
                     [&](quint8 drive, SiteCommission::Step step, SiteCommission::Outcome outcome,
                         const QString& text, const QString&) {
                         if (step == SiteCommission::Step::TestRun)
                             lastRunS = clock.elapsed() / 1000.0;
                         if (outcome != SiteCommission::Outcome::Done)
                             std::printf("  drive %d %s: %s\n", drive,
                                         qPrintable(SiteCommission::stepName(step)),
                                         qPrintable(text));
                     });
    clock.start();
    waitFor(job, &SiteCommission::finished, [&] { job.start(); });
    const double totalS = clock.elapsed() / 1000.0;

    // The floor, as worked out above.
    const double charMs =
        port.lineSettings().bitsPerCharacter() * 1000.0 / port.lineSettings().baudRate;
    const double gapMs = std::max(3.5 * charMs, delayMs);
    const double parameterMs = (8 + 8) * charMs + gapMs; // read or write of one parameter
    const double monitorMs = (8 + 10) * charMs + gapMs;  // a status or running value
    const QList<quint16>& offered = ParamCatalogue::offeredRegisters();
    const auto compared = std::count_if(offered.begin(), offered.end(),
                                        [](quint16 reg) { return !ParamCatalogue::reserved(reg); });
    const int writes = changed * (drives - 1);
    const double wireS = (drives * (2 * monitorMs + 2 * parameterMs) +
                          offered.size() * parameterMs + (drives - 1) * compared * parameterMs +
                          2.0 * writes * parameterMs + drives * 11 * monitorMs) /
                         1000.0;
    const double perRunS = 2.0 + holdS + 2.0;
    const int rounds = (drives + parallel - 1) / parallel;
    const double floorS = wireS + rounds * perRunS;
    int commissioned = 0;
    for (const SiteCommission::DriveSummary& s : job.summary())
        commissioned += s.commissioned();
    std::printf("vfdsim --pty at %s, %d drives, parallel = %d, test runs at 50 Hz held %d s\n",
                qPrintable(settings), drives, parallel, holdS);
    std::printf("  one parameter %.1f ms, one status or value %.1f ms on the wire\n", parameterMs,
                monitorMs);
    std::printf("  floor: wire %.1f s (scan, backup, clone of %d writes with read-back, report) "
                "+ %d rounds x %.0f s of test runs = %.1f s\n",
                wireS, writes, rounds, perRunS, floorS);
    std::printf("  measured: %.1f s in all (%.1f s before the first test run, test runs %.1f s, "
                "report %.1f s)\n",
                totalS, firstRunS, lastRunS - firstRunS, totalS - lastRunS);
    std::printf("  ratio to the floor %.2f (goal: at most 1.10; under 600 s with parallel 4); "
                "%d of %d drives commissioned; report read once for %lld drives\n",
                totalS / floorS, commissioned, drives, qint64(job.reusedReads().size()));
    Figures::record("commission",
                    std::to_string(drives) + " drives commissioned, parallel " +
                        std::to_string(parallel),
                    totalS, "s", "floor", floorS,
                    "floor: scan, backup, clone with read-back and report exchanges at the baud "
                    "rate with the response delay, + ceil(drives / parallel) x (ramp up + hold + "
                    "ramp down) of test runs; " +
                        std::to_string(commissioned) + " of " + std::to_string(drives) +
                        " commissioned; goal at most 1.10");
    sim.kill();
    sim.waitForFinished(3000);
    return 0;
}
