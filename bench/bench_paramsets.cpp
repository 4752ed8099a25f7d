// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter sets over vfdsim on a pseudo-terminal: a whole-drive read, a
// restore of 20 differing parameters with read-back, and a clone to three
// drives, each against the line's own limit: every exchange's request and
// answer bytes at the baud rate, and between them the drive's response delay,
// which runs from the request's last byte and is never shorter than the 3.5
// characters of silence that end the request. Printed, never asserted.
//
// Last, a row of drives: a reference drive read whole and cloned to the
// other 30 of a full line (20 parameters differ on each), against the line's
// limit of the frames it really sent (which also counts its retries and any
// extra reads) and against the least single reads could do with every write
// read back (the reference read, per target one read of every parameter that
// holds a value, the writes and their read-backs), which blocks go below.
//
// The whole-drive read is timed twice: in blocks (the simulated drives take
// standard reads of several registers) and singly, as the dialect reads and
// as a drive that refuses blocks is read. With the port closed afterwards,
// mbpoll (if found) reads the same drive's eleven parameter groups, one
// multi-register read each, one process per group as a script would.
//
// Usage: bench_paramsets --vfdsim PATH [--settings 9600,E,8,1] [--delay-ms 5]
//                        [--row 31] (0 leaves the row out) [--mbpoll PATH]
#include "CloneJob.h"

#include "DevicePort.h"
#include "Figures.h"
#include "MbpollPeer.h"
#include "ParamJobs.h"
#include "Tab.h"
#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

namespace {

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

// Adds up the line's limit for every frame the link puts on the wire.
struct LineLimit
{
    double characterMs = 0;
    double delayMs = 0;
    double totalMs = 0;
    void add(const QByteArray& frame)
    {
        const int block = Hexedit::BlockCountOf(frame);
        const int answer = block > 0                                               ? 5 + 2 * block
                           : Hexedit::KindOf(frame) == Hexedit::FrameKind::Monitor ? 10
                                                                                   : 8;
        totalMs += (frame.size() + answer) * characterMs + std::max(3.5 * characterMs, delayMs);
    }
};

template <class Job, class Signal>
double timed(Job& job, Signal done, const std::function<void()>& start)
{
    QEventLoop loop;
    QObject::connect(&job, done, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    start();
    loop.exec();
    return clock.nsecsElapsed() / 1e6;
}

// The limit: what every frame the job sent needs on the wire.
std::string limitHow(const LineLimit& limit, int exchanges)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "limit: the %d exchanges sent, each request and answer at %.3f ms a character "
                  "+ the %.0f ms response delay (at least 3.5 characters)",
                  exchanges, limit.characterMs, limit.delayMs);
    return text;
}

void print(const char* what, double ms, const LineLimit& limit, int exchanges)
{
    std::printf("%-38s %8.0f ms  limit %8.0f ms  ratio %.2f  (%d exchanges, %.1f ms each)\n", what,
                ms, limit.totalMs, ms / limit.totalMs, exchanges, ms / std::max(1, exchanges));
    Figures::record("paramsets", what, ms, "ms", "limit", limit.totalMs,
                    limitHow(limit, exchanges));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const QString settings =
        argument(args, QStringLiteral("--settings"), QStringLiteral("9600,E,8,1"));
    const double delayMs =
        argument(args, QStringLiteral("--delay-ms"), QStringLiteral("5")).toDouble();
    if (vfdsim.isEmpty()) {
        std::fprintf(stderr, "usage: bench_paramsets --vfdsim PATH [--settings 9600,E,8,1]\n");
        return 2;
    }
    QProcess sim;
    const int row =
        std::clamp(argument(args, QStringLiteral("--row"), QStringLiteral("31")).toInt(), 0, 31);
    sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--settings"), settings,
                       QStringLiteral("--drives"), QStringLiteral("1-%1").arg(std::max(3, row))});
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
    LineLimit limit{port.lineSettings().bitsPerCharacter() * 1000.0 / port.lineSettings().baudRate,
                    delayMs, 0};
    int exchanges = 0;
    QObject::connect(&link, &Hexedit::frameSent, [&](const QByteArray& f) {
        limit.add(f);
        ++exchanges;
    });
    std::printf("vfdsim --pty at %s, response delay %.0f ms; one parameter's limit %.1f ms\n",
                qPrintable(settings), delayMs,
                (8 + 8) * limit.characterMs + std::max(3.5 * limit.characterMs, delayMs));

    ReadJob read(client, 1);
    double ms = timed(read, &ReadJob::finished, [&] { read.start(); });
    const double blockMs = ms;
    print("whole-drive read, block reads", ms, limit, exchanges);
    const ParamSet drive = read.result();
    // The same drive read as one that refuses blocks is.
    const BlockReads learnt = client.blockReads(1);
    client.setBlockReads(1, {BlockReads::Known::Refuses, 0, 0});
    limit.totalMs = 0;
    exchanges = 0;
    ReadJob single(client, 1);
    ms = timed(single, &ReadJob::finished, [&] { single.start(); });
    print("whole-drive read, single reads", ms, limit, exchanges);
    std::printf("%-38s %s\n", "  same values both ways",
                single.result().values == drive.values ? "yes" : "NO");
    for (auto it = drive.values.cbegin(); it != drive.values.cend(); ++it) {
        const ParamValue other = single.result().values.value(it.key());
        if (!(other == *it))
            std::printf("  %s: %d/%u in blocks, %d/%u singly\n",
                        qPrintable(ParamCatalogue::number(it.key())), int(it->state), it->raw,
                        int(other.state), other.raw);
    }
    client.setBlockReads(1, learnt);

    // Twenty parameters set a step away from what the drive holds.
    ParamSet wanted = drive;
    int changed = 0;
    for (quint16 reg : ParamCatalogue::offeredRegisters()) {
        const std::optional<quint16> raw = drive.raw(reg);
        if (changed == 20 || !raw || reg == 0x0800 || reg == 0x0801)
            continue;
        for (const quint16 next : {quint16(*raw + 1), quint16(*raw - 1)}) {
            if (ParamCatalogue::withinLimits(reg, next)) {
                wanted.values[reg].raw = next;
                ++changed;
                break;
            }
        }
    }
    limit.totalMs = 0;
    exchanges = 0;
    RestoreJob restore(client, 1, PlanWrites(wanted, drive, CloneJob::DefaultLeaveOut()).writes);
    ms = timed(restore, &RestoreJob::finished, [&] { restore.start(); });
    print("restore of 20 with read-back", ms, limit, exchanges);
    if (!restore.complete())
        std::printf("  %s\n", qPrintable(restore.summary()));

    limit.totalMs = 0;
    exchanges = 0;
    CloneJob clone(client, wanted, {1, 2, 3});
    clone.writesAllowed = [] { return true; };
    ms = timed(clone, &CloneJob::previewReady, [&] { clone.preview(); });
    ms += timed(clone, &CloneJob::finished, [&] { clone.apply(); });
    print("clone to 3 drives (preview, write, verify)", ms, limit, exchanges);

    double cloneMs = 0;
    QList<CloneJob::Target> cloned;
    if (row >= 2) {
        // Drive 1 now holds the 20 changes (the restore above); drives 4 and
        // up do not, and drives 2 and 3 get them once more from the file.
        limit.totalMs = 0;
        exchanges = 0;
        QList<quint8> targets;
        for (int address = 2; address <= row; ++address)
            targets << quint8(address);
        ReadJob reference(client, 1);
        ms = timed(reference, &ReadJob::finished, [&] { reference.start(); });
        CloneJob line(client, reference.result(), targets);
        line.writesAllowed = [] { return true; };
        ms += timed(line, &CloneJob::previewReady, [&] { line.preview(); });
        int writes = 0;
        for (const CloneJob::Target& t : line.targets())
            writes += int(t.plan.writes.size());
        ms += timed(line, &CloneJob::finished, [&] { line.apply(); });
        // What single reads could at best do: the reference read whole, each
        // target's parameters that hold a value (a reserved one has nothing to
        // compare), and per planned write one write and one read of the same
        // size, each an exchange of its own. Blocks go below it.
        const double perExchange =
            (8 + 8) * limit.characterMs + std::max(3.5 * limit.characterMs, delayMs);
        const QList<quint16>& offered = ParamCatalogue::offeredRegisters();
        const auto compared = std::count_if(offered.begin(), offered.end(), [](quint16 reg) {
            return !ParamCatalogue::reserved(reg);
        });
        const double floorMs =
            (double(offered.size()) + double(compared) * (row - 1) + 2.0 * writes) * perExchange;
        const QString what = QStringLiteral("clone 1 -> 2..%1 (%2 writes)").arg(row).arg(writes);
        print(qPrintable(what), ms, limit, exchanges);
        std::printf("%-38s %8.0f ms  floor %8.0f ms  ratio %.2f%s\n",
                    "  against single reads' floor", ms, floorMs, ms / floorMs,
                    line.allDone() ? "" : "  NOT ALL DONE");
        Figures::record("paramsets", what.toStdString(), ms, "ms", "floor of single reads", floorMs,
                        "floor of single reads: the reference read whole, each target's "
                        "parameters that hold a value, one write and one read-back per planned "
                        "write, each an exchange of 8 + 8 bytes and the response delay");
        cloneMs = ms;
        cloned = line.targets();
    }
    port.close();
    const QString mbpoll = argument(args, QStringLiteral("--mbpoll"),
                                    QStandardPaths::findExecutable(QStringLiteral("mbpoll")));
    const QStringList parts = settings.split(u',');
    if (!mbpoll.isEmpty() && parts.size() == 4) {
        const QString parity = parts[1] == u"E"   ? QStringLiteral("even")
                               : parts[1] == u"O" ? QStringLiteral("odd")
                                                  : QStringLiteral("none");
        QElapsedTimer clock;
        clock.start();
        int values = 0;
        for (int group = 0; group < Tab::GroupCount; ++group) {
            QProcess p;
            p.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-b"),
                             parts[0], QStringLiteral("-P"), parity, QStringLiteral("-d"), parts[2],
                             QStringLiteral("-s"), parts[3], QStringLiteral("-0"),
                             QStringLiteral("-1"), QStringLiteral("-a"), QStringLiteral("1"),
                             QStringLiteral("-r"), QString::number(group << 8),
                             QStringLiteral("-c"), QString::number(Tab::GroupSize(group)), device});
            p.waitForFinished(30000);
            values += int(QString::fromLocal8Bit(p.readAllStandardOutput()).count(u"]: "));
        }
        const double mbMs = clock.nsecsElapsed() / 1e6;
        std::printf("%-38s %8.0f ms  (%d values in %d reads)\n", "mbpoll, a read per group", mbMs,
                    values, int(Tab::GroupCount));
        std::printf("%-38s %.2f x mbpoll\n", "  whole-drive read in blocks", blockMs / mbMs);
        if (!cloned.isEmpty()) {
            // The same clone as a script of mbpoll calls: the reference and
            // each target read a group at a time, then each write the clone
            // planned and its read-back, one process each.
            MbpollLine peer{mbpoll, device, settings};
            clock.restart();
            QList<int> whole{1};
            for (const CloneJob::Target& t : cloned)
                whole << t.address;
            for (const int address : whole)
                for (int group = 0; group < Tab::GroupCount; ++group)
                    peer.read(address, quint16(group << 8), Tab::GroupSize(group));
            int verified = 0, writes = 0;
            for (const CloneJob::Target& t : cloned) {
                for (const WriteItem& w : t.plan.writes) {
                    ++writes;
                    if (peer.write(t.address, w.reg, w.raw) &&
                        peer.read(t.address, w.reg, 1).value(0, quint16(~w.raw)) == w.raw)
                        ++verified;
                }
            }
            const double peerMs = clock.nsecsElapsed() / 1e6;
            std::printf("%-38s %8.0f ms  (%d mbpoll runs, %d of %d writes read back the same); "
                        "clone / mbpoll %.2f\n",
                        "mbpoll script, the same clone", peerMs, peer.processes, verified, writes,
                        cloneMs / peerMs);
            Figures::record("paramsets", "clone 1 -> 2..31", cloneMs, "ms",
                            "an mbpoll script, the same clone (same run)", peerMs,
                            "the script reads the reference and each target a group at a time "
                            "(11 reads a drive), then writes each planned parameter and reads it "
                            "back, one mbpoll process an exchange");
        }
        Figures::record("paramsets", "whole-drive read, block reads", blockMs, "ms",
                        "mbpoll, a read per group (same run)", mbMs,
                        "mbpoll -m rtu reads the drive's 11 parameter groups, one process and one "
                        "multi-register read each, as a script would; the port closed meanwhile");
    }
    sim.kill();
    sim.waitForFinished(3000);
    return 0;
}
