// SPDX-License-Identifier: GPL-3.0-or-later
// The drift watch's full pass over a line: worked out from the frames on the
// wire (each exchange's request and answer bytes at the baud rate and the
// silence before the answer, the drive's response delay or 3.5 characters),
// for a drive that takes block reads and one read singly, and measured for
// one drive over vfdsim's pseudo-terminal (which keeps the line's time) and
// carried over to the drives and the share. Printed, never asserted.
//
// Usage: bench_drift --vfdsim PATH [--settings 9600,E,8,1] [--drives 31]
//                    [--share 5] [--delay-ms 5]
#include "Figures.h"

#include "DevicePort.h"
#include "DriftWatch.h"
#include "ParamJobs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <cstdio>

namespace {

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

// One drive's watched parameters read once; milliseconds, or -1.
double onePass(const QString& vfdsim, const QString& settings, int delayMs, bool singly)
{
    QProcess sim;
    QStringList simArgs{QStringLiteral("--pty"), QStringLiteral("--settings"), settings,
                        QStringLiteral("--drives"), QStringLiteral("1")};
    if (singly)
        simArgs << QStringLiteral("--single-reads") << QStringLiteral("1");
    sim.start(vfdsim, simArgs);
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000))
        return -1;
    DevicePort port;
    port.setPortName(QString::fromLocal8Bit(sim.readLine()).trimmed());
    port.setSettings(settings);
    if (port.open() != SerialPort::OpenError::None)
        return -1;
    Hexedit link(port);
    link.SetResponseDelayMs(delayMs);
    LinkClient client(link);
    ReadJob read(client, 1);
    read.setRegisters(DriftWatch::watchedRegisters());
    QEventLoop loop;
    QObject::connect(&read, &ReadJob::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    read.start();
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    port.close();
    sim.kill();
    sim.waitForFinished(3000);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const QString settings =
        argument(args, QStringLiteral("--settings"), QStringLiteral("9600,E,8,1"));
    const int drives = argument(args, QStringLiteral("--drives"), QStringLiteral("31")).toInt();
    const double share =
        argument(args, QStringLiteral("--share"), QStringLiteral("5")).toDouble() / 100.0;
    const int delayMs = argument(args, QStringLiteral("--delay-ms"), QStringLiteral("5")).toInt();
    if (vfdsim.isEmpty() || drives < 1 || share <= 0) {
        std::fprintf(stderr, "usage: bench_drift --vfdsim PATH [--settings 9600,E,8,1] "
                             "[--drives 31] [--share 5] [--delay-ms 5]\n");
        return 2;
    }
    std::printf("drift watch, %d drives at %.0f %% of a %s line, %lld parameters a drive, "
                "response delay %d ms\n",
                drives, share * 100, qPrintable(settings),
                qlonglong(DriftWatch::watchedRegisters().size()), delayMs);
    for (const bool singly : {false, true}) {
        const double worked = DriftWatch::passSeconds(drives, settings, share, !singly, delayMs);
        const double one = onePass(vfdsim, settings, delayMs, singly);
        const double measured = one < 0 ? -1 : drives * one / 1000.0 / share;
        std::printf("%-14s worked out %6.1f min   measured (one drive %6.0f ms) %6.1f min\n",
                    singly ? "read singly" : "block reads", worked / 60.0, one, measured / 60.0);
        if (measured > 0)
            Figures::record("drift",
                            std::string("full pass over ") + std::to_string(drives) + " drives, " +
                                (singly ? "drives read singly" : "drives that take block reads"),
                            measured / 60.0, "min", "worked out from the frames", worked / 60.0,
                            "one drive's pass over paced vfdsim (" + std::to_string(delayMs) +
                                " ms response delay) x the drives / the share of " +
                                std::to_string(int(std::lround(share * 100))) +
                                " %; worked out: every "
                                "exchange's bytes at the baud rate and the delay, over the share");
    }
    return 0;
}
