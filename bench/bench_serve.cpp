// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl serve's figures, printed and never asserted:
//  1. readings published per second for two lines of 31 drives with three
//     values each over paced vfdsim pseudo-terminals at 9600,E,8,1, next to
//     what the lines allow (bytes, silences and the drives' response delay):
//     once with drives that take block reads, once with drives that take
//     only the dialect's single reads (vfdsim --single-reads);
//  2. CPU (share of one core) and resident memory of the vfdctl serve process;
//  3. time from a drive's reading to its delivery by a local mosquitto to a
//     subscriber: median and 99th percentile;
//  4. the broker stopped for a while and started again while publishing:
//     states lost (gaps in their numbers), out of order, and delivered twice
//     (QoS 1 delivers at least once; a subscriber drops a state whose seq it
//     has already seen);
//  5. peers on the same two lines of block-taking drives, in the same run:
//     Node-RED with node-red-contrib-modbus (--node-red DIR) and mbpoll
//     polling each line, their readings a second and CPU.
//
//   bench_serve [--seconds N] [--outage N] [--node-red DIR] [--no-single]
#include "BrokerProcess.h"
#include "DevicePort.h"
#include "Figures.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "MbpollPeer.h"
#include "NodeRedPeer.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// The drives' response delay (P8.03), which enters what the line allows.
int responseDelayMs(const QString& device)
{
    DevicePort port;
    port.setPortName(device);
    port.setSettings(QStringLiteral("9600,E,8,1"));
    if (port.open() != SerialPort::OpenError::None)
        return 0;
    Hexedit link(port);
    LinkClient client(link);
    QObject owner;
    int delay = 0;
    bool done = false;
    client.openSession(&owner)->submit(LinkRequest::read(1, 0x0803), [&](const LinkResult& r) {
        delay = r.ok() ? r.value : 0;
        done = true;
    });
    waitUntil([&] { return done; }, 5000);
    return delay;
}

// What arrives, with the time it arrived.
struct Arrivals
{
    BrokerSubscriber& sub;
    QList<qint64> at; // ms since the epoch, one per message
    void take()
    {
        const qsizetype n = sub.messages().size();
        while (at.size() < n)
            at << QDateTime::currentMSecsSinceEpoch();
    }
    void runFor(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            sub.messages();
            take();
            usleep(500);
        }
    }
};

bool isValue(const QString& topic)
{
    return topic.endsWith(QStringLiteral("/freq-out")) ||
           topic.endsWith(QStringLiteral("/current")) || topic.endsWith(QStringLiteral("/dc-bus"));
}

double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * double(v.size())))];
}

// One stretch of publishing: readings of the three values a second, CPU and
// memory of the publishing process.
struct Stretch
{
    double rate = 0;
    double cpuPercent = 0;
    long rss0 = 0, rss1 = 0;
    qsizetype from = 0; // first message of the stretch
};

Stretch measure(Arrivals& arrivals, qint64 pid, int seconds)
{
    Stretch s;
    s.rss0 = rssKiB(pid);
    const double cpu0 = cpuSeconds(pid);
    s.from = arrivals.sub.messages().size();
    QElapsedTimer wall;
    wall.start();
    arrivals.runFor(seconds * 1000);
    const double elapsed = wall.nsecsElapsed() / 1e9;
    s.cpuPercent = 100 * (cpuSeconds(pid) - cpu0) / elapsed;
    s.rss1 = rssKiB(pid);
    const auto& got = arrivals.sub.messages();
    qsizetype values = 0;
    for (qsizetype i = s.from; i < got.size(); ++i)
        values += isValue(got[i].topic);
    s.rate = double(values) / elapsed;
    return s;
}

// What two lines allow: per drive a status read (8 + 10 bytes) and either one
// block from 0x0D00 to 0x0D07 (8 + 5 + 16 bytes) or three single reads (8 +
// 10 bytes each), every exchange with the drives' response delay (at least
// 3.5 characters of silence), for three readings.
double allowedRate(bool blocks, int delayMs)
{
    const double charMs = 11 * 1000.0 / 9600;
    const double gapMs = std::max(3.5 * charMs, double(delayMs));
    const double statusMs = 18 * charMs + gapMs;
    const double valuesMs = blocks ? 29 * charMs + gapMs : 3 * (18 * charMs + gapMs);
    return 2 * 3 * 1000.0 / (statusMs + valuesMs);
}

QString serveConfig(const QTemporaryDir& dir, const BrokerProcess& broker, const QString& a,
                    const QString& b)
{
    QFile config(dir.filePath(QStringLiteral("serve.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[broker]\nurl = %1\nclient-id = bench\n[publish]\nevery = 1s\n"
                                "queue-dir = %2\n"
                                "[line a]\nport = %3\ndrives = 1-31\nvalues = freq-out,current,"
                                "dc-bus\ninterval = 100ms\n"
                                "[line b]\nport = %4\ndrives = 1-31\nvalues = freq-out,current,"
                                "dc-bus\ninterval = 100ms\n")
                     .arg(broker.url(), dir.filePath(QStringLiteral("queue")), a, b)
                     .toUtf8());
    return config.fileName();
}

QStringList simArguments(bool blocks)
{
    QStringList args{QStringLiteral("--drives"), QStringLiteral("1-31")};
    if (!blocks)
        args << QStringLiteral("--single-reads") << QStringLiteral("1-31");
    return args;
}

const std::string kLimitHow =
    "limit: per drive a status read (8 + 10 bytes) and a block of 0x0D00..0x0D07 (8 + 21 "
    "bytes) or three single reads (8 + 10 bytes each) at 9600,E,8,1, each with the drives' "
    "response delay, for three readings; two lines";

void recordServe(const char* what, const Stretch& s, double allowed, int seconds)
{
    Figures::record("serve", std::string("readings a second, ") + what, s.rate, "/s", "limit",
                    allowed, kLimitHow);
    const std::string how = "utime + stime of the vfdctl serve process over " +
                            std::to_string(seconds) + " s, from /proc";
    Figures::record("serve", std::string("CPU of vfdctl serve, ") + what, s.cpuPercent,
                    "% of one core", "goal", 5, how);
    Figures::record("serve", std::string("resident memory at the end, ") + what, s.rss1 / 1024.0,
                    "MiB", "at the start", s.rss0 / 1024.0,
                    "VmRSS of vfdctl serve at the start and the end of the stretch");
}

// Outage: states lost, out of order and delivered twice.
void outage(BrokerProcess& broker, Arrivals& arrivals, int seconds)
{
    broker.stop();
    arrivals.runFor(seconds * 1000);
    broker.start();
    arrivals.runFor(30000);
    QHash<QString, int> last;
    int lost = 0, backwards = 0, twice = 0;
    for (const auto& m : arrivals.sub.messages()) {
        if (!m.topic.endsWith(QStringLiteral("/state")))
            continue;
        const int seq = QJsonDocument::fromJson(m.payload.toUtf8())
                            .object()
                            .value(QStringLiteral("seq"))
                            .toInt();
        const int before = last.value(m.topic, 0);
        if (seq == before)
            ++twice;
        else if (seq < before)
            ++backwards;
        else
            lost += seq - before - 1;
        last[m.topic] = std::max(seq, before);
    }
    int states = 0;
    for (int n : last)
        states += n;
    std::printf("broker stopped %d s while publishing: %d states of %d lost, %d out of order, %d "
                "delivered twice (QoS 1: at least once; a subscriber drops a seq it has seen)\n",
                seconds, lost, states, backwards, twice);
    const std::string how = "broker stopped " + std::to_string(seconds) +
                            " s and started again; states counted by their seq per drive";
    Figures::record("serve", "broker outage: states lost", lost, "states", "states published",
                    states, how);
    Figures::record("serve", "broker outage: states out of order", backwards, "states", how);
    Figures::record("serve", "broker outage: states delivered twice", twice, "states",
                    how + "; QoS 1 delivers at least once, a subscriber drops a seq it has seen");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const qsizetype at = args.indexOf(QString::fromLatin1(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    const int seconds = option("--seconds", QStringLiteral("60")).toInt();
    const int outageS = option("--outage", QStringLiteral("60")).toInt();
    const QString nodeRed = option("--node-red", {});
    const bool single = !args.contains(QStringLiteral("--no-single"));
    if (const QString why = BrokerProcess::missing(); !why.isEmpty()) {
        std::printf("%s\n", qPrintable(why));
        return 1;
    }
    BrokerProcess broker;
    Stretch blocks;
    int delayMs = 0;
    {
        SimProcess simA(simArguments(true), false);
        SimProcess simB(simArguments(true), false);
        delayMs = responseDelayMs(simA.device());
        QTemporaryDir dir;
        BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), QStringLiteral("bench-sub"));
        ServeProcess serve(
            {QStringLiteral("serve"), serveConfig(dir, broker, simA.device(), simB.device())});
        Arrivals arrivals{sub, {}};
        arrivals.runFor(10000); // settle: both lines read once round
        blocks = measure(arrivals, serve.pid(), seconds);
        const double allowed = allowedRate(true, delayMs);
        QList<double> latencies;
        const auto& got = sub.messages();
        for (qsizetype i = blocks.from; i < got.size(); ++i) {
            if (!got[i].topic.endsWith(QStringLiteral("/state")))
                continue;
            const QDateTime read =
                QDateTime::fromString(QJsonDocument::fromJson(got[i].payload.toUtf8())
                                          .object()
                                          .value(QStringLiteral("time"))
                                          .toString(),
                                      Qt::ISODateWithMs);
            latencies << double(arrivals.at[i] - read.toMSecsSinceEpoch());
        }
        std::printf("two lines of 31 drives x 3 values at 9600,E,8,1, response delay %d ms\n",
                    delayMs);
        std::printf("block reads: published %.1f readings/s (%.0f %% of the %.1f the lines "
                    "allow)\n",
                    blocks.rate, 100 * blocks.rate / allowed, allowed);
        std::printf("vfdctl serve: CPU %.2f %% of one core, resident memory %ld KiB -> %ld KiB\n",
                    blocks.cpuPercent, blocks.rss0, blocks.rss1);
        std::printf("reading to delivery (%lld states): median %.1f ms, 99th percentile %.1f ms\n",
                    static_cast<long long>(latencies.size()), percentile(latencies, 0.5),
                    percentile(latencies, 0.99));
        recordServe("block reads", blocks, allowed, seconds);
        const std::string how = "from the state's own time stamp to its arrival at a subscriber "
                                "of a local mosquitto, " +
                                std::to_string(latencies.size()) + " states; goal below 50 ms";
        Figures::record("serve", "reading to delivery, median", percentile(latencies, 0.5), "ms",
                        "goal", 50, how);
        Figures::record("serve", "reading to delivery, 99th percentile",
                        percentile(latencies, 0.99), "ms", "goal", 50, how);
        if (outageS > 0)
            outage(broker, arrivals, outageS);
        serve.terminate();
    }
    if (single) {
        SimProcess simA(simArguments(false), false);
        SimProcess simB(simArguments(false), false);
        QTemporaryDir dir;
        BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), QStringLiteral("bench-single"));
        ServeProcess serve(
            {QStringLiteral("serve"), serveConfig(dir, broker, simA.device(), simB.device())});
        Arrivals arrivals{sub, {}};
        arrivals.runFor(10000);
        const Stretch s = measure(arrivals, serve.pid(), seconds);
        const double allowed = allowedRate(false, delayMs);
        std::printf("single reads (vfdsim --single-reads 1-31): published %.1f readings/s (%.0f "
                    "%% of the %.1f the lines allow), CPU %.2f %%; the peers cannot read such "
                    "drives (they ask with standard counts, which the drives refuse)\n",
                    s.rate, 100 * s.rate / allowed, allowed, s.cpuPercent);
        recordServe("single reads", s, allowed, seconds);
        serve.terminate();
    }
    const double allowed = allowedRate(true, delayMs);
    if (const QString why = NodeRedPeer::missing(nodeRed); !why.isEmpty()) {
        std::printf("Node-RED peer left out: %s\n", qPrintable(why));
    } else {
        SimProcess simA(simArguments(true), false);
        SimProcess simB(simArguments(true), false);
        BrokerSubscriber sub(broker, QStringLiteral("nodered/#"), QStringLiteral("bench-nodered"));
        NodeRedPeer peer(
            nodeRed, broker.port(),
            {{QStringLiteral("a"), simA.device()}, {QStringLiteral("b"), simB.device()}});
        Arrivals arrivals{sub, {}};
        arrivals.runFor(15000); // Node-RED starts, opens both ports, reads once round
        const Stretch s = measure(arrivals, peer.pid(), seconds);
        std::printf("Node-RED (node-red-contrib-modbus, status + block of 8 per drive): %.1f "
                    "readings/s (%.0f %% of the limit), CPU %.2f %% of one core, resident memory "
                    "%ld KiB; vfdctl serve / Node-RED: readings %.2f, CPU %.2f\n",
                    s.rate, 100 * s.rate / allowed, s.cpuPercent, s.rss1,
                    s.rate > 0 ? blocks.rate / s.rate : 0.0,
                    s.cpuPercent > 0 ? blocks.cpuPercent / s.cpuPercent : 0.0);
        if (s.rate == 0)
            std::printf("Node-RED said:\n%s\n", qPrintable(peer.output()));
        const std::string how =
            "Node-RED " + std::to_string(seconds) +
            " s on the same two lines of block-taking drives: per drive the status register and "
            "a block of 8 from 0x0D00 through node-red-contrib-modbus's flex getter, each request "
            "as soon as the last answer is in, the three values published with QoS 0";
        Figures::record("serve", "readings a second, block reads", blocks.rate, "/s",
                        "Node-RED (same run)", s.rate, how);
        Figures::record("serve", "CPU of vfdctl serve, block reads", blocks.cpuPercent,
                        "% of one core", "Node-RED (same run)", s.cpuPercent, how);
        Figures::record("serve", "resident memory, block reads", blocks.rss1 / 1024.0, "MiB",
                        "Node-RED (same run)", s.rss1 / 1024.0, how);
    }
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty()) {
        std::printf("mbpoll peer left out: mbpoll not found\n");
    } else {
        SimProcess simA(simArguments(true), false);
        SimProcess simB(simArguments(true), false);
        mbpollPeer(mbpoll, {simA.device(), simB.device()}, seconds, allowed, blocks.rate);
    }
    return 0;
}
