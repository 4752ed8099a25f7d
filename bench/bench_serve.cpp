// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl serve's figures, printed and never asserted:
//  1. readings published per second for two lines of 31 drives with three
//     values each over paced vfdsim pseudo-terminals at 9600,E,8,1, next to
//     what the lines allow (bytes, silences and the drives' response delay);
//  2. CPU (share of one core) and resident memory of the vfdctl serve process;
//  3. time from a drive's reading to its delivery by a local mosquitto to a
//     subscriber: median and 99th percentile;
//  4. the broker stopped for a while and started again while publishing:
//     states lost (gaps in their numbers) and whether they came in order.
//
//   bench_serve [--seconds N] [--outage N]
#include "BrokerProcess.h"
#include "DevicePort.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// utime + stime of a process, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = f.readAll();
    // Fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

long rssKiB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int seconds = args.contains(QStringLiteral("--seconds"))
                            ? args.value(args.indexOf(QStringLiteral("--seconds")) + 1).toInt()
                            : 60;
    const int outage = args.contains(QStringLiteral("--outage"))
                           ? args.value(args.indexOf(QStringLiteral("--outage")) + 1).toInt()
                           : 60;
    if (const QString why = BrokerProcess::missing(); !why.isEmpty()) {
        std::printf("%s\n", qPrintable(why));
        return 1;
    }
    BrokerProcess broker;
    SimProcess simA({QStringLiteral("--drives"), QStringLiteral("1-31")}, false);
    SimProcess simB({QStringLiteral("--drives"), QStringLiteral("1-31")}, false);
    const int delayMs = responseDelayMs(simA.device());
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("serve.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(
        QStringLiteral("[broker]\nurl = %1\nclient-id = bench\n[publish]\nevery = 1s\n"
                       "queue-dir = %2\n"
                       "[line a]\nport = %3\ndrives = 1-31\nvalues = freq-out,current,"
                       "dc-bus\ninterval = 100ms\n"
                       "[line b]\nport = %4\ndrives = 1-31\nvalues = freq-out,current,"
                       "dc-bus\ninterval = 100ms\n")
            .arg(broker.url(), dir.filePath(QStringLiteral("queue")), simA.device(), simB.device())
            .toUtf8());
    config.close();
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), QStringLiteral("bench-sub"));
    ServeProcess serve({QStringLiteral("serve"), config.fileName()});
    Arrivals arrivals{sub, {}};
    // Settle: both lines read once round.
    arrivals.runFor(10000);

    const qint64 pid = serve.pid();
    const long rss0 = rssKiB(pid);
    const double cpu0 = cpuSeconds(pid);
    const qsizetype from = sub.messages().size();
    QElapsedTimer wall;
    wall.start();
    arrivals.runFor(seconds * 1000);
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds(pid) - cpu0;
    const long rss1 = rssKiB(pid);

    const auto& got = sub.messages();
    qsizetype values = 0;
    QList<double> latencies;
    for (qsizetype i = from; i < got.size(); ++i) {
        if (isValue(got[i].topic))
            ++values;
        else if (got[i].topic.endsWith(QStringLiteral("/state"))) {
            const QDateTime read =
                QDateTime::fromString(QJsonDocument::fromJson(got[i].payload.toUtf8())
                                          .object()
                                          .value(QStringLiteral("time"))
                                          .toString(),
                                      Qt::ISODateWithMs);
            latencies << double(arrivals.at[i] - read.toMSecsSinceEpoch());
        }
    }
    const double charMs = 11 * 1000.0 / 9600;
    const double readMs = (8 + 10) * charMs + std::max(3.5 * charMs, double(delayMs));
    // Per line: a status and three values per drive, three of four reads a value.
    const double allowed = 2 * 0.75 * 1000.0 / readMs;
    const double rate = double(values) / elapsed;
    std::printf("two lines of 31 drives x 3 values at 9600,E,8,1, response delay %d ms: one read "
                "%.2f ms -> the lines allow %.1f readings/s\n",
                delayMs, readMs, allowed);
    std::printf("published %.1f readings/s over %.0f s (%.0f %% of what the lines allow)\n", rate,
                elapsed, 100 * rate / allowed);
    std::printf("vfdctl serve: CPU %.2f %% of one core, resident memory %ld KiB -> %ld KiB\n",
                100 * cpu / elapsed, rss0, rss1);
    std::printf("reading to delivery (%lld states): median %.1f ms, 99th percentile %.1f ms\n",
                static_cast<long long>(latencies.size()), percentile(latencies, 0.5),
                percentile(latencies, 0.99));

    // The broker away for a while, then back on the same port.
    broker.stop();
    arrivals.runFor(outage * 1000);
    broker.start();
    arrivals.runFor(30000);
    QHash<QString, int> last;
    int lost = 0, backwards = 0, twice = 0;
    for (const auto& m : sub.messages()) {
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
                "delivered twice\n",
                outage, lost, states, backwards, twice);
    serve.terminate();
    return 0;
}
