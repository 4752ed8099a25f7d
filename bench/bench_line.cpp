// SPDX-License-Identifier: GPL-3.0-or-later
// How closely vfdsim's pseudo-terminal keeps the time of a real RS-485 line:
// a status read (8 bytes) and its reply (10 bytes) should take the bytes'
// time at the baud rate plus the drive's 5 ms response delay. A plain master
// on the terminal (no event loop) writes a request, reads the whole reply and
// writes the next; alongside, the same road through a vfdsim with no pacing
// and no response delay shows what the terminal and the two processes add.
//
// Printed per line setting: the worked-out line time, the fastest, median and
// 90th percentile round trip, the bare road's fastest, and how far the fastest
// round trip less the bare road's is from the line time. On a busy machine the
// median grows with every other process's appetite; the fastest does not.
//
// Usage: bench_line --vfdsim PATH [--rounds 101]
#include "Figures.h"
#include "Hexedit.h"
#include "PtyClient.h"
#include "SerialPort.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QByteArray kStatusRead = QByteArray::fromHex("01030E0000004722");
const QByteArray kStatusReply = Hexedit::WithCrc(QByteArray::fromHex("01030E0000000000"));

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// vfdsim on a pseudo-terminal of its own, ended with the object.
struct Sim
{
    QProcess process;
    QString device;

    Sim(const QString& program, const QStringList& extra)
    {
        process.start(program, QStringList{QStringLiteral("--pty")} + extra);
        if (process.waitForStarted(5000) && process.waitForReadyRead(5000))
            device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Sim()
    {
        process.terminate();
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(2000);
    }
};

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

double roundTripMs(PtyClient& client)
{
    const qint64 start = PtyClient::nowUs();
    if (!client.send(kStatusRead) || client.receive(kStatusReply.size(), 1000) != kStatusReply)
        return -1;
    return double(PtyClient::nowUs() - start) / 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const int rounds = argument(args, QStringLiteral("--rounds"), QStringLiteral("101")).toInt();
    if (vfdsim.isEmpty() || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_line --vfdsim PATH [--rounds 101]\n");
        return 2;
    }

    std::printf("status read and reply through vfdsim --pty, %d round trips each; "
                "line time = 18 characters + 5 ms response delay\n",
                rounds);
    std::printf("%-14s %10s %10s %10s %10s %10s %8s\n", "settings", "line time", "fastest",
                "median", "p90", "bare", "off by");
    const QStringList settingsList = {QStringLiteral("9600,E,8,1"), QStringLiteral("19200,E,8,1"),
                                      QStringLiteral("38400,E,8,1"),
                                      QStringLiteral("115200,N,8,1")};
    for (const QString& settings : settingsList) {
        const SerialSettings line = *SerialSettings::parse(settings);
        const double lineMs = 18 * line.bitsPerCharacter() * 1000.0 / line.baudRate + 5.0;
        Sim paced(vfdsim, {QStringLiteral("--settings"), settings});
        Sim bare(vfdsim, {QStringLiteral("--settings"), settings, QStringLiteral("--no-pacing")});
        PtyClient viaLine(paced.device);
        PtyClient viaBare(bare.device);
        const QByteArray noDelay = Hexedit::WithCrc(QByteArray::fromHex("010608030000"));
        if (!viaLine.isOpen() || !viaBare.isOpen() || !viaBare.send(noDelay) ||
            viaBare.receive(noDelay.size()) != noDelay) {
            std::fprintf(stderr, "bench_line: vfdsim did not start or answer\n");
            return 1;
        }
        std::vector<double> lineTrips;
        std::vector<double> bareTrips;
        for (int i = 0; i < rounds; ++i) {
            lineTrips.push_back(roundTripMs(viaLine));
            bareTrips.push_back(roundTripMs(viaBare));
        }
        if (std::count(lineTrips.begin(), lineTrips.end(), -1.0) +
                std::count(bareTrips.begin(), bareTrips.end(), -1.0) >
            0) {
            std::fprintf(stderr, "bench_line: replies missing at %s\n", qPrintable(settings));
            return 1;
        }
        // Another process can only ever delay a byte, so the fastest round
        // trips are the line's own time plus the least the road adds.
        const double fastest = percentile(lineTrips, 0.0);
        const double bareFastest = percentile(bareTrips, 0.0);
        std::printf("%-14s %7.2f ms %7.2f ms %7.2f ms %7.2f ms %7.2f ms %+7.1f %%\n",
                    qPrintable(settings), lineMs, fastest, percentile(lineTrips, 0.5),
                    percentile(lineTrips, 0.9), bareFastest,
                    (fastest - bareFastest - lineMs) / lineMs * 100.0);
        Figures::record("line", "round trip at " + settings.toStdString() + ", fastest less bare",
                        fastest - bareFastest, "ms", "line time", lineMs,
                        "status read and reply through vfdsim --pty, fastest of " +
                            std::to_string(rounds) +
                            " round trips less the fastest without pacing; line time = 18 "
                            "characters at the baud rate + 5 ms response delay; goal within 10 %");
    }
    return 0;
}
