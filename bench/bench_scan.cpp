// SPDX-License-Identifier: GPL-3.0-or-later
// How long a scan of addresses 1..31 takes over vfdsim's pseudo-terminal at
// 9600,E,8,1 with drives 1, 4 and 7 to 9, next to its floor on this port:
// each drive's four exchanges (status and edition, then P0.04 and P0.01:
// request and answer bytes at the baud rate plus the 5 ms response delay),
// and for each of the 26 silent addresses the wait the port needs before an
// answer would have begun (Hexedit::SilentAllowanceMs, no adapter here), and
// of the 3.5 characters of quiet the next request needs whatever that wait
// has not already kept since the request's last byte. In the same run, with
// the scan's port closed, `mbpoll -a 1:31` reads the status register of every
// address at the shortest time-out (from 10 ms up, in steps of a millisecond)
// that still finds all five drives. Also
// prints the worst case of the settings search (every setting tried at every
// address, one time-out each).
//
// Usage: bench_scan --vfdsim PATH [--rounds 5] [--mbpoll PATH]
#include "DevicePort.h"
#include "Figures.h"
#include "Hexedit.h"
#include "LineScan.h"
#include "LinkClient.h"
#include "LoopbackPort.h"
#include "SettingsSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <cstdio>

namespace {

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// Time-out of a status read at a setting, as the link works it out.
int statusTimeoutMs(const QString& settings)
{
    LoopbackPort port;
    port.setSettings(settings);
    Hexedit link(port);
    return link.AnswerTimeoutMs(LinkRequest::read(1, 0x0E00).frame());
}

// One run of mbpoll over the whole range at a time-out: wall time and how
// many addresses answered.
std::pair<double, int> mbpollScan(const QString& mbpoll, const QString& device, double timeoutS)
{
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-b"),
                     QStringLiteral("9600"), QStringLiteral("-P"), QStringLiteral("even"),
                     QStringLiteral("-0"), QStringLiteral("-1"), QStringLiteral("-o"),
                     QString::number(timeoutS, 'f', 2), QStringLiteral("-a"),
                     QStringLiteral("1:31"), QStringLiteral("-r"), QStringLiteral("3584"),
                     QStringLiteral("-c"), QStringLiteral("1"), device});
    p.waitForFinished(60000);
    const double ms = clock.nsecsElapsed() / 1e6;
    return {ms, int(QString::fromLocal8Bit(p.readAllStandardOutput()).count(u"[3584]:"))};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), QString());
    const int rounds = argument(args, QStringLiteral("--rounds"), QStringLiteral("5")).toInt();
    if (vfdsim.isEmpty()) {
        std::fprintf(stderr, "usage: bench_scan --vfdsim PATH [--rounds 5]\n");
        return 2;
    }

    const QString settings = QStringLiteral("9600,E,8,1");
    const SerialSettings line = *SerialSettings::parse(settings);
    const double characterMs = line.bitsPerCharacter() * 1000.0 / line.baudRate;
    const int drives = 5, silent = 26, responseDelayMs = 5;
    const double exchangeMs = (8 + 10) * characterMs + responseDelayMs;
    const double sourceMs = (8 + 8) * characterMs + responseDelayMs;
    const double gapMs = std::ceil(3.5 * characterMs);
    QProcess sim;
    sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--drives"),
                       QStringLiteral("1,4,7-9"), QStringLiteral("--settings"), settings});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000)) {
        std::fprintf(stderr, "vfdsim did not start\n");
        return 1;
    }
    DevicePort port;
    port.setPortName(QString::fromLocal8Bit(sim.readLine()).trimmed());
    port.setSettings(settings);
    if (port.open() != SerialPort::OpenError::None) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(port.portName()));
        return 1;
    }
    Hexedit link(port);
    LinkClient client(link);
    const QByteArray status = LinkRequest::read(2, 0x0E00).frame();
    const int silentMs = link.SilentAllowanceMs(status);
    // The line is quiet from the request's last byte on: the wait has kept
    // that much of the gap already.
    const double quietMs = std::max(0.0, gapMs - (silentMs - status.size() * characterMs));
    const double floorMs = drives * (2 * exchangeMs + 2 * sourceMs) + silent * (silentMs + quietMs);
    std::printf("floor on this port (%s, no adapter latency) at %s: %d x (2 exchanges of %.1f ms "
                "+ 2 of %.1f ms) + %d silent addresses x (%d ms + %.1f ms more quiet) = %.0f ms\n",
                qPrintable(port.portName()), qPrintable(settings), drives, exchangeMs, sourceMs,
                silent, silentMs, quietMs, floorMs);
    std::printf("(a silent address used to cost the full answer time-out of %d ms on every "
                "port)\n",
                statusTimeoutMs(settings));
    double best = 0;
    double bestRound = 0;
    for (int round = 1; round <= rounds; ++round) {
        LineScan scan(client);
        QEventLoop loop;
        QObject::connect(&scan, &LineScan::finished, &loop, &QEventLoop::quit);
        scan.start(1, 31);
        loop.exec();
        QStringList found;
        for (const ScanEntry& e : scan.entries())
            found << QString::number(e.address);
        best = round == 1 ? scan.elapsedMs() : std::min(best, scan.elapsedMs());
        bestRound = round == 1 ? scan.statusRoundMs() : std::min(bestRound, scan.statusRoundMs());
        std::printf("scan %d: %.0f ms (%.2f x floor), status round %.0f ms, drives %s\n", round,
                    scan.elapsedMs(), scan.elapsedMs() / floorMs, scan.statusRoundMs(),
                    qPrintable(found.join(u',')));
    }
    const std::string floorHow =
        "best of " + std::to_string(rounds) +
        " scans of 1..31 over paced vfdsim --pty with drives 1,4,7-9 at " + settings.toStdString() +
        "; floor: each drive's status, edition, P0.04 and P0.01 (bytes at the baud rate + 5 ms "
        "response delay) and each silent address the port's allowance, and of the 3.5 "
        "characters of quiet what the allowance leaves after the request's last byte";
    Figures::record("scan", "scan of 1..31, 5 drives", best, "ms", "floor on this port", floorMs,
                    floorHow);
    port.close();
    const QString mbpoll = argument(args, QStringLiteral("--mbpoll"),
                                    QStandardPaths::findExecutable(QStringLiteral("mbpoll")));
    if (!mbpoll.isEmpty()) {
        // The shortest time-out that still finds every drive, then that one
        // timed as often as the scan was.
        for (int timeoutMs = 10; timeoutMs <= 100; ++timeoutMs) {
            const double timeoutS = timeoutMs / 1000.0;
            if (mbpollScan(mbpoll, port.portName(), timeoutS).second != drives)
                continue;
            // A run that missed a drive did less than the scan: it is shown,
            // never the best.
            double mbBest = 0;
            int missed = 0;
            for (int round = 1; round <= rounds; ++round) {
                const auto [ms, answered] = mbpollScan(mbpoll, port.portName(), timeoutS);
                if (answered == drives)
                    mbBest = mbBest > 0 ? std::min(mbBest, ms) : ms;
                else
                    ++missed;
                std::printf("mbpoll -a 1:31 -o %.3f: %.0f ms, %d drives answered\n", timeoutS, ms,
                            answered);
            }
            if (mbBest <= 0)
                continue;
            if (missed > 0)
                std::printf("(%d of %d mbpoll runs at this time-out missed a drive)\n", missed,
                            rounds);
            std::printf("best scan %.0f ms against best mbpoll %.0f ms: %.2f x (status, edition "
                        "and both sources against the status alone)\n",
                        best, mbBest, best / mbBest);
            std::printf("best status round %.0f ms against best mbpoll %.0f ms: %.2f x (the same "
                        "question of every address)\n",
                        bestRound, mbBest, bestRound / mbBest);
            char peer[64];
            std::snprintf(peer, sizeof peer, "mbpoll -a 1:31 -o %.3f (same run)", timeoutS);
            const std::string how =
                "best of " + std::to_string(rounds) +
                "; mbpoll reads the status of every address at the shortest time-out (from 10 ms "
                "up in 1 ms steps) that found all 5 drives once; its best run that found all 5";
            Figures::record("scan", "scan of 1..31 (status, edition, both sources)", best, "ms",
                            peer, mbBest, how);
            Figures::record("scan", "status round of the scan", bestRound, "ms", peer, mbBest, how);
            break;
        }
    } else {
        std::printf("mbpoll not found: no side-by-side figure\n");
    }
    sim.kill();
    sim.waitForFinished(3000);

    double worstMs = 0;
    for (const QString& s : SettingsSearch::candidates())
        worstMs += 31.0 * statusTimeoutMs(s);
    std::printf("settings search worst case (36 settings x 31 addresses, nothing found): %.0f s;"
                " for one address: %.1f s\n",
                worstMs / 1000, worstMs / 31 / 1000);
    Figures::record("scan", "settings search, worst case", worstMs / 1000, "s",
                    "worked out, not timed: 36 settings x 31 addresses x the status read's "
                    "answer time-out at each setting");
    return 0;
}
