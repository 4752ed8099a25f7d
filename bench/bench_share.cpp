// SPDX-License-Identifier: GPL-3.0-or-later
// A line shared by vfdctl serve with other masters, printed and never asserted:
//  1. a whole-drive read (as vfdctl backup reads it) through the service's Modbus TCP
//     share against the same read straight on the line, while the service
//     reads and publishes 31 drives at 9600,E,8,1 (goal: at most 1.15 x);
//  2. the service's readings meanwhile: the gaps between two readings of a
//     drive, alone and while the technician reads, and how many readings were
//     lost (a drive marked offline, a value missing from its state; goal:
//     none, only delayed);
//  3. three clients reading whole drives at once beside the service: the
//     collisions vfdsim's log counts on the line (goal: 0).
//
//   bench_share [--runs 3] [--turns N]
#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "Figures.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "ParamJobs.h"
#include "SelectablePort.h"
#include "ServeProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds a whole-drive read takes, from its first request to its last
// answer, as vfdctl backup and the parameter window read a drive; negative
// when it did not read every parameter.
double timedRead(const QString& portName, quint8 drive)
{
    SelectablePort port;
    port.setPortName(portName);
    port.setSettings(QStringLiteral("9600,E,8,1"));
    if (port.open() != SerialPort::OpenError::None ||
        !waitUntil([&] { return port.isReady(); }, 5000))
        return -1;
    Hexedit link(port);
    LinkClient client(link);
    ReadJob job(client, drive);
    bool done = false;
    QObject::connect(&job, &ReadJob::finished, [&] { done = true; });
    QElapsedTimer clock;
    clock.start();
    job.start();
    waitUntil([&] { return done; }, 300000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!done || !job.unanswered().isEmpty()) {
        std::printf("  the read of drive %d through %s left %lld unanswered\n", int(drive),
                    qPrintable(portName), static_cast<long long>(job.unanswered().size()));
        return -1;
    }
    return seconds;
}

// The service's readings as the broker delivers them: for each drive, the
// times its states were read, and what was lost.
struct Readings
{
    BrokerSubscriber& sub;
    qsizetype seen = 0;
    QHash<QString, QList<qint64>> readAt; // drive topic -> reading times (ms)
    int offline = 0;
    int missingValues = 0;
    void take()
    {
        const auto& all = sub.messages();
        for (; seen < all.size(); ++seen) {
            const auto& m = all[seen];
            if (m.retained)
                continue;
            if (m.topic.endsWith(QStringLiteral("/availability")) && m.payload == u"offline") {
                ++offline;
                continue;
            }
            if (!m.topic.endsWith(QStringLiteral("/state")))
                continue;
            const QJsonObject o = QJsonDocument::fromJson(m.payload.toUtf8()).object();
            const QDateTime at = QDateTime::fromString(o.value(QStringLiteral("time")).toString(),
                                                       Qt::ISODateWithMs);
            readAt[m.topic.section(u'/', 0, -2)] << at.toMSecsSinceEpoch();
            if (o.value(QStringLiteral("values")).toObject().size() < 3)
                ++missingValues;
        }
    }
    // Gaps (s) between consecutive readings of each drive within [from, to).
    QList<double> gaps(qint64 from, qint64 to) const
    {
        QList<double> out;
        for (const QList<qint64>& times : readAt) {
            for (qsizetype i = 1; i < times.size(); ++i)
                if (times[i] >= from && times[i] < to)
                    out << (times[i] - times[i - 1]) / 1000.0;
        }
        return out;
    }
};

void spin(Readings& readings, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        readings.take();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char* name, int fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 ? args.value(at + 1).toInt() : fallback;
    };
    const int runs = std::max(1, option("--runs", 3));
    const int turns = option("--turns", 0);
    if (const QString why = BrokerProcess::missing(); !why.isEmpty()) {
        std::printf("%s\n", qPrintable(why));
        return 1;
    }
    QProcess sim;
    QByteArray simLog;
    sim.start(QStringLiteral(VFDSIM_PATH), {QStringLiteral("--pty"), QStringLiteral("--log"),
                                            QStringLiteral("--drives"), QStringLiteral("1-31")});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000))
        return 1;
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QObject::connect(&sim, &QProcess::readyReadStandardError, [&] {
        // Only what the figures need is kept: the log of a busy line is long.
        for (const QByteArray& line : sim.readAllStandardError().split('\n'))
            if (line.contains("collision"))
                simLog += line + '\n';
    });
    auto collisions = [&] {
        QCoreApplication::processEvents();
        return int(simLog.count("collision"));
    };
    QTemporaryDir dir;
    QList<double> direct;
    for (int i = 0; i < runs; ++i)
        direct << timedRead(device, 5);

    BrokerProcess broker;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QFile config(dir.filePath(QStringLiteral("serve.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[broker]\nurl = %1\nclient-id = bench-share\n[publish]\n"
                                "every = 1s\n[line a]\nport = %2\ndrives = 1-31\n"
                                "values = freq-out,current,dc-bus\ninterval = 1s\n"
                                "share = 127.0.0.1:%3\n%4")
                     .arg(broker.url(), device)
                     .arg(port)
                     .arg(turns > 0 ? QStringLiteral("share-turns = %1\n").arg(turns) : QString())
                     .toUtf8());
    config.close();
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), QStringLiteral("bench-share-sub"));
    ServeProcess serve({QStringLiteral("serve"), config.fileName()});
    Readings readings{sub, 0, {}, 0, 0};
    // Settle, then the service alone for a while.
    spin(readings, 8000);
    const qint64 aloneFrom = QDateTime::currentMSecsSinceEpoch();
    spin(readings, 20000);
    const qint64 aloneTo = QDateTime::currentMSecsSinceEpoch();
    const int offlineBefore = readings.offline;
    const int missingBefore = readings.missingValues;
    const int collisionsBefore = collisions();

    const QString shared = QStringLiteral("mbtcp://127.0.0.1:%1").arg(port);
    QList<double> through;
    for (int i = 0; i < runs; ++i) {
        through << timedRead(shared, 5);
        readings.take();
    }
    const qint64 readTo = QDateTime::currentMSecsSinceEpoch();
    spin(readings, 5000);

    // Three technicians at once.
    const int collisionsBeforeThree = collisions();
    QElapsedTimer three;
    three.start();
    std::vector<std::unique_ptr<CtlProcess>> clients;
    for (int drive : {6, 7, 8})
        clients.push_back(std::make_unique<CtlProcess>(QStringList{
            QStringLiteral("--port"), shared, QStringLiteral("--retries"), QStringLiteral("3"),
            QStringLiteral("backup"), QString::number(drive),
            dir.filePath(QStringLiteral("three-%1.csv").arg(drive)), QStringLiteral("--force")}));
    int failed = 0;
    for (auto& c : clients) {
        while (c->process().state() != QProcess::NotRunning)
            spin(readings, 20);
        failed += c->finish().code != 0;
    }
    const double threeSeconds = three.nsecsElapsed() / 1e9;
    spin(readings, 3000);
    serve.terminate();
    const int collisionsThree = collisions() - collisionsBeforeThree;

    const QList<double> alone = readings.gaps(aloneFrom, aloneTo);
    const QList<double> during = readings.gaps(aloneTo, readTo);
    const double d = median(direct), t = median(through);
    std::printf("31 drives x 3 values at 9600,E,8,1, interval 1 s, share-turns %s\n",
                turns > 0 ? qPrintable(QString::number(turns)) : "default");
    std::printf("whole-drive read of drive 5, median of %d: direct %.2f s, through the "
                "service %.2f s -> %.2f x (goal: at most 1.15 x)\n",
                runs, d, t, d > 0 ? t / d : 0.0);
    std::printf(
        "the service's readings of a drive: gap median %.2f s, longest %.2f s alone; "
        "median %.2f s, longest %.2f s while a drive was read through it\n",
        median(alone), alone.isEmpty() ? 0 : *std::max_element(alone.cbegin(), alone.cend()),
        median(during), during.isEmpty() ? 0 : *std::max_element(during.cbegin(), during.cend()));
    std::printf("readings lost meanwhile: %d (drives marked offline %d, states missing a value "
                "%d; goal: none)\n",
                readings.offline - offlineBefore + readings.missingValues - missingBefore,
                readings.offline - offlineBefore, readings.missingValues - missingBefore);
    std::printf("three vfdctl backups (--retries 3) at once beside the service: %.1f s, %d "
                "failed, %d collisions on the line (goal: 0); %d before them\n",
                threeSeconds, failed, collisionsThree, collisionsBefore);

    const std::string setup = "31 drives x 3 values at 9600,E,8,1, interval 1 s, share-turns " +
                              (turns > 0 ? std::to_string(turns) : std::string("default"));
    const std::string readHow =
        "whole-drive read of drive 5 as vfdctl backup reads it, median of " + std::to_string(runs) +
        " runs, through the service's Modbus TCP "
        "share and straight on the line; " +
        setup;
    Figures::record("share", "whole-drive read through the service", t, "s",
                    "the same read direct (goal: ratio at most 1.15)", d, readHow);
    const std::string gapHow = "time between two state messages of a drive on the broker; " + setup;
    Figures::record("share", "service's readings: longest gap, alone",
                    alone.isEmpty() ? 0 : *std::max_element(alone.cbegin(), alone.cend()), "s",
                    "interval", 1, gapHow);
    Figures::record("share", "service's readings: longest gap, while a drive is read through it",
                    during.isEmpty() ? 0 : *std::max_element(during.cbegin(), during.cend()), "s",
                    "interval", 1, gapHow);
    Figures::record("share", "service's readings lost meanwhile",
                    readings.offline - offlineBefore + readings.missingValues - missingBefore,
                    "readings", "goal: none", std::nan(""),
                    "drives marked offline and states missing a value while drive 5 was read "
                    "through the share; " +
                        setup);
    Figures::record("share", "collisions, three backups at once beside the service",
                    collisionsThree, "collisions", "goal: none", std::nan(""),
                    "collisions vfdsim's log counts on the line while three vfdctl backup "
                    "(--retries 3) read drives 6, 7 and 8 through the share; " +
                        setup);
    Figures::record("share", "three backups at once beside the service", threeSeconds, "s",
                    std::to_string(failed) + " failed; " + setup);
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
