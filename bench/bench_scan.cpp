// SPDX-License-Identifier: GPL-3.0-or-later
// How long a scan of addresses 1..31 takes over vfdsim's pseudo-terminal at
// 9600,E,8,1 with drives 1, 4 and 7 to 9, next to the line's own limit: each
// drive's four exchanges (status and edition, then P0.04 and P0.01: request
// and answer bytes at the baud rate plus the 5 ms response delay) and one
// answer time-out for each of the 26 silent addresses. Also prints the worst case of the settings
// search (every setting tried at every address, one time-out each).
//
// Usage: bench_scan --vfdsim PATH [--rounds 5]
#include "DevicePort.h"
#include "Hexedit.h"
#include "LineScan.h"
#include "LinkClient.h"
#include "LoopbackPort.h"
#include "SettingsSearch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

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
    const double limitMs =
        drives * (2 * exchangeMs + 2 * sourceMs) + silent * statusTimeoutMs(settings);
    std::printf("line limit at %s: %d x (2 exchanges of %.1f ms + 2 of %.1f ms) + %d time-outs "
                "of %d ms = %.0f ms\n",
                qPrintable(settings), drives, exchangeMs, sourceMs, silent,
                statusTimeoutMs(settings), limitMs);

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
    for (int round = 1; round <= rounds; ++round) {
        LineScan scan(client);
        QEventLoop loop;
        QObject::connect(&scan, &LineScan::finished, &loop, &QEventLoop::quit);
        scan.start(1, 31);
        loop.exec();
        QStringList found;
        for (const ScanEntry& e : scan.entries())
            found << QString::number(e.address);
        std::printf("scan %d: %.0f ms (%.2f x limit), drives %s\n", round, scan.elapsedMs(),
                    scan.elapsedMs() / limitMs, qPrintable(found.join(u',')));
    }
    port.close();
    sim.kill();
    sim.waitForFinished(3000);

    double worstMs = 0;
    for (const QString& s : SettingsSearch::candidates())
        worstMs += 31.0 * statusTimeoutMs(s);
    std::printf("settings search worst case (36 settings x 31 addresses, nothing found): %.0f s;"
                " for one address: %.1f s\n",
                worstMs / 1000, worstMs / 31 / 1000);
    return 0;
}
