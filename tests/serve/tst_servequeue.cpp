// SPDX-License-Identifier: GPL-3.0-or-later
// The service's queue on real disks: one that is full, and a file left far
// larger than the queue may hold. vfdctl serve runs in a process of its own
// on the in-process simulated drives.
#include "BrokerProcess.h"
#include "DiskQueue.h"
#include "ServeProcess.h"
#include "SmallDisk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class tst_servequeue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fullDiskIsSaidCountedAndTriedAgain();
    void largeFileIsReadWithinTheBound();
};

namespace {

QStringList serveArgs(const QString& broker, const QString& id, const QString& queueDir,
                      const QStringList& more = {})
{
    return QStringList{QStringLiteral("--port"),
                       QStringLiteral("SIM"),
                       QStringLiteral("serve"),
                       QStringLiteral("--broker"),
                       broker,
                       QStringLiteral("--drives"),
                       QStringLiteral("1,2"),
                       QStringLiteral("--values"),
                       QStringLiteral("freq-out"),
                       QStringLiteral("--interval"),
                       QStringLiteral("100ms"),
                       QStringLiteral("--every"),
                       QStringLiteral("1s"),
                       QStringLiteral("--client-id"),
                       id,
                       QStringLiteral("--queue-dir"),
                       queueDir} +
           more;
}

// The highest the process's resident memory has been, in KiB; -1 if unknown.
qint64 peakMemoryKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

void tst_servequeue::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

// The queue folder on a full disk: said at once in the log and on the
// service's own topic, the readings kept only in memory counted, and the file
// tried again until there is room, when it holds them.
void tst_servequeue::fullDiskIsSaidCountedAndTriedAgain()
{
    SmallDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    QVERIFY(disk.fill());
    BrokerProcess broker;
    QVERIFY(broker.running());
    const QString topic = QStringLiteral("vfd/service/svcq/queue");
    // A session of its own: what comes while the broker is away waits for it.
    BrokerSubscriber keeper(broker, topic, QStringLiteral("queue-keeper"));
    ServeProcess serve(serveArgs(broker.url(), QStringLiteral("svcq"), disk.path()));
    auto said = [&](const QString& text) { return serve.log().count(text); };
    auto stateSeen = [&](auto fits, qsizetype from = 0) {
        for (const auto& m : keeper.on(topic).mid(from))
            if (fits(QJsonDocument::fromJson(m.payload.toUtf8()).object()))
                return true;
        return false;
    };

    QVERIFY2(waitUntil([&] { return said(QStringLiteral("cannot be written")) > 0; }, 15000),
             qPrintable(serve.log()));
    QVERIFY(serve.log().contains(QStringLiteral("at risk")));
    QVERIFY2(waitUntil(
                 [&] {
                     return stateSeen([](const QJsonObject& o) {
                         return o.value(QStringLiteral("written")) == false;
                     });
                 },
                 15000),
             qPrintable(serve.log()));

    // Away and back: the readings that waited in memory meanwhile are counted.
    broker.stop();
    QVERIFY(waitUntil([&] { return said(QStringLiteral("connection to the broker was lost")) > 0; },
                      15000));
    QVERIFY(broker.start());
    const qsizetype seenBefore = keeper.on(topic).size();
    QVERIFY2(waitUntil([&] { return said(QStringLiteral("connected to the broker")) > 1; }, 20000),
             qPrintable(serve.log()));
    QVERIFY2(waitUntil(
                 [&] {
                     return stateSeen(
                         [](const QJsonObject& o) {
                             return o.value(QStringLiteral("written")) == false &&
                                    o.value(QStringLiteral("at_risk")).toInt() > 0;
                         },
                         seenBefore);
                 },
                 20000),
             qPrintable(serve.log() + keeper.errors()));

    // Away again, and room made: the file is written and holds the queue.
    broker.stop();
    QVERIFY2(
        waitUntil([&] { return said(QStringLiteral("connection to the broker was lost")) > 1; },
                  15000),
        qPrintable(serve.log()));
    // The queue emptied while the broker was there; what came since cannot be written.
    QVERIFY2(waitUntil(
                 [&] {
                     const QString log = serve.log();
                     return log.lastIndexOf(QStringLiteral("cannot be written")) >
                            log.lastIndexOf(QStringLiteral("is written again"));
                 },
                 15000),
             qPrintable(serve.log()));
    const int before = said(QStringLiteral("is written again"));
    QVERIFY(disk.free());
    QVERIFY2(waitUntil(
                 [&] {
                     return said(QStringLiteral("is written again")) > before &&
                            !DiskQueue::peek(disk.path()).empty();
                 },
                 20000),
             qPrintable(serve.log()));
    QCOMPARE(serve.terminate(), 0);
}

// A queue file of far more readings than --queue-size lets the service hold:
// the newest are kept, the rest counted, and never more than the bound is
// held while reading it.
void tst_servequeue::largeFileIsReadWithinTheBound()
{
    // Without the sanitizer's quarantine, memory freed is memory the process
    // may use again, in that build as in the others.
    const QStringList env{
        QStringLiteral("ASAN_OPTIONS=") + qEnvironmentVariable("ASAN_OPTIONS") +
        QStringLiteral(":quarantine_size_mb=0:thread_local_quarantine_size_kb=0")};
    const QString broker = QStringLiteral("mqtt://127.0.0.1:%1").arg([] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }());
    auto peakOnceRead = [&](const QString& dir, const QString& expect) {
        ServeProcess serve(serveArgs(broker, QStringLiteral("big"), dir,
                                     {QStringLiteral("--queue-size"), QStringLiteral("100")}),
                           {}, env);
        if (!waitUntil([&] { return serve.log().contains(QStringLiteral("reading SIM")); }, 60000))
            return qint64(-1);
        const qint64 peak = peakMemoryKiB(serve.pid());
        if (!serve.log().contains(expect))
            return qint64(-1);
        serve.terminate();
        return peak;
    };

    QTemporaryDir empty;
    const qint64 base = peakOnceRead(empty.path(), QStringLiteral("reading SIM"));
    QVERIFY(base > 0);

    // 20000 readings of 4 KB: 80 MB, two hundred times what 100 of them take.
    QTemporaryDir full;
    {
        QFile f(QDir(full.path()).filePath(QString::fromLatin1(DiskQueue::FileName)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray filler(4000, 'v');
        for (int i = 0; i < 20000; ++i)
            f.write("{\"t\":\"vfd/line1/1/state\",\"p\":\"" + QByteArray::number(i) + filler +
                    "\"}\n");
    }
    const qint64 loaded = peakOnceRead(full.path(), QStringLiteral("100 readings of an earlier "
                                                                   "run wait"));
    QVERIFY(loaded > 0);
    // Held whole, the file would cost more than its size; a quarter of it
    // is far more than reading it needs.
    QVERIFY2(
        loaded - base < 20 * 1024,
        qPrintable(
            QStringLiteral("%1 KiB at most, %2 KiB with nothing queued").arg(loaded).arg(base)));
    // The newest of them, in order, ahead of what the service read since.
    QList<int> old;
    for (const BrokerMessage& m : DiskQueue::peek(full.path()))
        if (m.payload.endsWith("vvvv"))
            old << m.payload.left(m.payload.indexOf('v')).toInt();
    QVERIFY(!old.isEmpty());
    QCOMPARE(old.last(), 19999);
    QVERIFY(old.first() >= 19900);
    QVERIFY(std::is_sorted(old.begin(), old.end()));
}

QTEST_GUILESS_MAIN(tst_servequeue)
#include "tst_servequeue.moc"
