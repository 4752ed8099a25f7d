// SPDX-License-Identifier: GPL-3.0-or-later
// What Sparkplug costs vfdctl serve, printed and never asserted: two lines of
// 31 drives with three values each over paced vfdsim pseudo-terminals, the
// first four drives of each line kept ramping between two frequencies by run
// commands (so their readings keep changing; a command is a frame on the line
// each second, and more of them would leave the lines little time to read),
// run once with the plain topics alone and once with Sparkplug beside them:
//  1. messages per second on the broker, plain and Sparkplug;
//  2. CPU (share of one core) of the vfdctl serve process, and the ratio of
//     the run with Sparkplug to the one without (goal: at most 1.10);
//  3. bytes on the broker (topic and payload) per value reading: the plain
//     topics' bytes over their value messages, Sparkplug's over the value
//     metrics its births and data carry.
//
// Each run is made --rounds times in turn (default 2) and the one of least
// CPU kept.
//
//   bench_serve_sparkplug [--seconds N] [--rounds N]
#include "BrokerProcess.h"
#include "Figures.h"
#include "ServeProcess.h"
#include "SimProcess.h"
#include "SparkplugPayload.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <mosquitto.h>
#include <unistd.h>

namespace {

double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = f.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// Everything on the broker, each message's topic and payload in hex.
class Tap
{
public:
    explicit Tap(const BrokerProcess& broker)
    {
        m_sub.start(BrokerProcess::program("mosquitto_sub"),
                    {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(broker.port()), QStringLiteral("-t"), QStringLiteral("vfd/#"),
                     QStringLiteral("-t"), QStringLiteral("spBv1.0/#"), QStringLiteral("-F"),
                     QStringLiteral("%t %x")});
        m_sub.waitForStarted(3000);
    }
    ~Tap()
    {
        m_sub.kill();
        m_sub.waitForFinished(3000);
    }
    struct Count
    {
        qint64 messages = 0, bytes = 0, readings = 0;
    };
    Count plain, sparkplug;
    bool counting = false;

    void take()
    {
        while (m_sub.canReadLine()) {
            const QByteArray line = m_sub.readLine().trimmed();
            const QByteArray topic = line.left(line.indexOf(' '));
            const QByteArray payload = QByteArray::fromHex(
                line.indexOf(' ') < 0 ? QByteArray() : line.mid(line.indexOf(' ') + 1));
            if (!counting)
                continue;
            const bool sp = topic.startsWith("spBv1.0/");
            Count& c = sp ? sparkplug : plain;
            ++c.messages;
            c.bytes += topic.size() + payload.size();
            if (!sp) {
                c.readings += topic.endsWith("/freq-out") || topic.endsWith("/current") ||
                              topic.endsWith("/dc-bus");
            } else if (topic.contains("/DDATA/") || topic.contains("/DBIRTH/")) {
                // The values' aliases end in their index in the running-value table (< 0x100).
                if (const auto p = Sparkplug::decode(payload))
                    for (const Sparkplug::Metric& m : p->metrics)
                        c.readings += m.alias && (*m.alias & 0xffff) < 0x100;
            }
        }
    }

private:
    QProcess m_sub;
};

// Keeps drives 1 to 4 of each line running, between 10 and 45 Hz, renewed
// every few seconds.
class Commander
{
public:
    static constexpr int Running = 4;

    explicit Commander(const BrokerProcess& broker)
    {
        mosquitto_lib_init();
        m_client = mosquitto_new("bench-commander", true, nullptr);
        mosquitto_connect(m_client, "127.0.0.1", broker.port(), 30);
        mosquitto_loop_start(m_client);
    }
    ~Commander()
    {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, true);
        mosquitto_destroy(m_client);
    }
    void tick(qint64 ms)
    {
        const double hz = (ms / 10000) % 2 ? 45 : 10;
        const QByteArray payload =
            QJsonDocument(QJsonObject{{QStringLiteral("command"), QStringLiteral("fwd")},
                                      {QStringLiteral("hz"), hz},
                                      {QStringLiteral("client"), QStringLiteral("bench")}})
                .toJson(QJsonDocument::Compact);
        for (const char* line : {"a", "b"})
            for (int d = 1; d <= Running; ++d) {
                const QByteArray topic =
                    QByteArray("vfd/") + line + '/' + QByteArray::number(d) + "/set/run";
                mosquitto_publish(m_client, nullptr, topic.constData(), int(payload.size()),
                                  payload.constData(), 1, false);
            }
    }

private:
    mosquitto* m_client = nullptr;
};

struct Run
{
    double seconds = 0, cpu = 0;
    Tap::Count plain, sparkplug;
};

Run measure(const BrokerProcess& broker, const QString& simA, const QString& simB, bool sparkplug,
            int seconds)
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("serve.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[broker]\nurl = %1\nclient-id = bench\n[publish]\nevery = 1s\n"
                                "[commands]\nenabled = yes\nrhythm = 60s\n%4"
                                "[line a]\nport = %2\ndrives = 1-31\nvalues = freq-out,current,"
                                "dc-bus\ninterval = 100ms\n"
                                "[line b]\nport = %3\ndrives = 1-31\nvalues = freq-out,current,"
                                "dc-bus\ninterval = 100ms\n")
                     .arg(broker.url(), simA, simB,
                          sparkplug ? QStringLiteral("[sparkplug]\nenabled = yes\ngroup = bench\n")
                                    : QString())
                     .toUtf8());
    config.close();
    Tap tap(broker);
    Commander commander(broker);
    ServeProcess serve({QStringLiteral("serve"), config.fileName()});
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = -5000;
    auto runFor = [&](int ms) {
        QElapsedTimer span;
        span.start();
        while (span.elapsed() < ms) {
            if (clock.elapsed() - lastTick >= 5000) {
                lastTick = clock.elapsed();
                commander.tick(lastTick);
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            tap.take();
            usleep(2000);
        }
    };
    // Settle: both lines read round, the drives running.
    runFor(15000);
    tap.counting = true;
    const double cpu0 = cpuSeconds(serve.pid());
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    Run r;
    r.seconds = wall.nsecsElapsed() / 1e9;
    r.cpu = cpuSeconds(serve.pid()) - cpu0;
    tap.take();
    r.plain = tap.plain;
    r.sparkplug = tap.sparkplug;
    serve.terminate();
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int seconds = args.contains(QStringLiteral("--seconds"))
                            ? args.value(args.indexOf(QStringLiteral("--seconds")) + 1).toInt()
                            : 60;
    const int rounds =
        args.contains(QStringLiteral("--rounds"))
            ? std::max(1, args.value(args.indexOf(QStringLiteral("--rounds")) + 1).toInt())
            : 2;
    if (const QString why = BrokerProcess::missing(); !why.isEmpty()) {
        std::printf("%s\n", qPrintable(why));
        return 1;
    }
    BrokerProcess broker;
    SimProcess simA({QStringLiteral("--drives"), QStringLiteral("1-31")}, false);
    SimProcess simB({QStringLiteral("--drives"), QStringLiteral("1-31")}, false);
    // Taken in turns, each kept at its least CPU: on a shared machine the
    // least is the run the others disturbed least.
    Run plain, both;
    for (int round = 0; round < rounds; ++round) {
        for (const bool sparkplug : {false, true}) {
            const Run r = measure(broker, simA.device(), simB.device(), sparkplug, seconds);
            Run& best = sparkplug ? both : plain;
            if (round == 0 || r.cpu / r.seconds < best.cpu / best.seconds)
                best = r;
        }
    }
    auto rate = [](qint64 n, double s) { return s > 0 ? double(n) / s : 0.0; };
    auto perReading = [](const Tap::Count& c) {
        return c.readings > 0 ? double(c.bytes) / double(c.readings) : 0.0;
    };
    std::printf("two lines of 31 drives x 3 values at 9600,E,8,1, drives 1-%d of each ramping "
                "between 10 and 45 Hz; %d s each, least CPU of %d runs\n",
                Commander::Running, seconds, rounds);
    std::printf("plain topics only:        %7.1f messages/s, CPU %5.2f %% of one core\n",
                rate(plain.plain.messages, plain.seconds), 100 * plain.cpu / plain.seconds);
    std::printf("plain topics + Sparkplug: %7.1f + %.1f messages/s, CPU %5.2f %% of one core\n",
                rate(both.plain.messages, both.seconds),
                rate(both.sparkplug.messages, both.seconds), 100 * both.cpu / both.seconds);
    const double ratio =
        plain.cpu > 0 ? (both.cpu / both.seconds) / (plain.cpu / plain.seconds) : 0;
    std::printf("CPU with Sparkplug on: %.2f x the plain topics' alone (goal: at most 1.10)\n",
                ratio);
    std::printf("bytes on the broker per value reading: plain %.1f (%lld readings), Sparkplug "
                "%.1f (%lld readings)\n",
                perReading(both.plain), static_cast<long long>(both.plain.readings),
                perReading(both.sparkplug), static_cast<long long>(both.sparkplug.readings));

    const std::string setup = "two lines of 31 drives x 3 values at 9600,E,8,1, drives 1-" +
                              std::to_string(Commander::Running) + " of each ramping; " +
                              std::to_string(seconds) + " s a run, the run of least CPU of " +
                              std::to_string(rounds);
    const double plainCpu = plain.seconds > 0 ? 100 * plain.cpu / plain.seconds : 0;
    const double bothCpu = both.seconds > 0 ? 100 * both.cpu / both.seconds : 0;
    const std::string cpuHow = "utime + stime of the vfdctl serve process, from /proc; " + setup;
    Figures::record("serve_sparkplug", "CPU of vfdctl serve, plain topics only", plainCpu,
                    "% of one core", cpuHow);
    Figures::record("serve_sparkplug", "CPU of vfdctl serve, plain topics + Sparkplug", bothCpu,
                    "% of one core", "plain topics only (goal: ratio at most 1.10)", plainCpu,
                    cpuHow);
    const std::string rateHow = "messages a subscriber to vfd/# and spBv1.0/# received; " + setup;
    Figures::record("serve_sparkplug", "messages a second, plain topics only",
                    rate(plain.plain.messages, plain.seconds), "/s", rateHow);
    Figures::record("serve_sparkplug", "messages a second, Sparkplug beside the plain topics",
                    rate(both.sparkplug.messages, both.seconds), "/s", "plain topics, same run",
                    rate(both.plain.messages, both.seconds), rateHow);
    Figures::record("serve_sparkplug", "bytes on the broker per value reading, Sparkplug",
                    perReading(both.sparkplug), "bytes", "plain topics, same run",
                    perReading(both.plain),
                    "topic and payload bytes over the value readings they carry: the plain "
                    "topics' value messages, the value metrics of Sparkplug's births and data; " +
                        setup);
    return 0;
}
