// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrokerProcess.h"
#include "DiskQueue.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// vfdctl serve as a plant runs it: a real broker, simulated drives on their
// own line, the service in a process of its own, and what the broker delivers
// read back by a subscriber.
class tst_serve : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void publishesDrivesAndLeavesItsWill();
    void linesStandAloneAndComeBack();
    void brokerAwayLosesNothingInOrder();
    void badConfigurationStartsNothing();
    void commandsOnlyWhenAllowedAndFresh();
    void tlsAndPasswordsSayWhatIsWrong();
};

namespace {

// Whether the drive's latest state says it runs; nullopt before any state.
std::optional<bool> runs(BrokerSubscriber& sub, const QString& drive)
{
    const auto states = sub.on(drive + QStringLiteral("/state"));
    if (states.isEmpty())
        return std::nullopt;
    return QJsonDocument::fromJson(states.last().payload.toUtf8())
        .object()
        .value(QStringLiteral("run"))
        .toBool();
}

QJsonObject json(const QString& text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QString& text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return path;
}

// The drive states the service has queued for the broker, oldest first: each
// carries the time it was read, so none is mistaken for another.
QList<BrokerMessage> queuedStates(const QTemporaryDir& dir)
{
    QList<BrokerMessage> found;
    for (const BrokerMessage& m : DiskQueue::peek(dir.path()))
        if (m.topic.endsWith(QStringLiteral("/state")))
            found << m;
    return found;
}

// Where each of the expected messages came, in order; -1 for one missing.
int lastInOrder(const QList<BrokerSubscriber::Message>& got, const QList<BrokerMessage>& expected,
                int from)
{
    int at = from;
    for (const BrokerMessage& e : expected) {
        while (at < got.size() &&
               (got[at].topic != e.topic || got[at].payload.toUtf8() != e.payload))
            ++at;
        if (at == got.size())
            return -1;
        ++at;
    }
    return at;
}

} // namespace

void tst_serve::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

// One line from the command line: values, state, availability (a drive that
// is not there is offline), the service's retained status, and the broker's
// "offline" for it once the process is killed.
void tst_serve::publishesDrivesAndLeavesItsWill()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("2:11")}, false);
    QVERIFY(!sim.device().isEmpty());
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"));
    ServeProcess serve({QStringLiteral("--port"), sim.device(), QStringLiteral("serve"),
                        QStringLiteral("--broker"), broker.url(), QStringLiteral("--drives"),
                        QStringLiteral("1,2,4"), QStringLiteral("--values"),
                        QStringLiteral("freq-out,current"), QStringLiteral("--interval"),
                        QStringLiteral("200ms"), QStringLiteral("--every"), QStringLiteral("1s"),
                        QStringLiteral("--line"), QStringLiteral("press"),
                        QStringLiteral("--client-id"), QStringLiteral("svc1")});
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/press/2/state")), qPrintable(serve.log()));
    QVERIFY(sub.waitFor(QStringLiteral("vfd/press/1/freq-out")));
    QVERIFY(sub.waitFor(QStringLiteral("vfd/press/4/availability"), QStringLiteral("offline")));
    QVERIFY(sub.waitFor(QStringLiteral("vfd/service/svc1"), QStringLiteral("online")));

    bool number = false;
    sub.on(QStringLiteral("vfd/press/1/freq-out")).first().payload.toDouble(&number);
    QVERIFY(number);
    const QJsonObject tripped = json(sub.on(QStringLiteral("vfd/press/2/state")).first().payload);
    QCOMPARE(tripped.value(QStringLiteral("fault")).toBool(), true);
    QCOMPARE(tripped.value(QStringLiteral("fault_number")).toInt(), 11);
    QVERIFY(!tripped.value(QStringLiteral("fault_text")).toString().isEmpty());
    QCOMPARE(tripped.value(QStringLiteral("run")).toBool(), false);
    QVERIFY(tripped.value(QStringLiteral("values")).toObject().contains(QStringLiteral("current")));
    QVERIFY(
        QDateTime::fromString(tripped.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs)
            .isValid());
    const QJsonObject healthy = json(sub.on(QStringLiteral("vfd/press/1/state")).first().payload);
    QCOMPARE(healthy.value(QStringLiteral("fault")).toBool(), false);
    QCOMPARE(healthy.value(QStringLiteral("direction")).toString(), QStringLiteral("forward"));
    // Nothing is read for a drive that does not answer.
    QVERIFY(sub.on(QStringLiteral("vfd/press/4/freq-out")).isEmpty());
    QVERIFY(sub.on(QStringLiteral("vfd/press/4/state")).isEmpty());

    // Whoever subscribes later is told at once what is there and what is not.
    BrokerSubscriber late(broker, QStringLiteral("vfd/+/+/availability"));
    QVERIFY(late.waitFor(QStringLiteral("vfd/press/1/availability"), QStringLiteral("online")));
    QVERIFY(late.waitFor(QStringLiteral("vfd/press/4/availability"), QStringLiteral("offline")));
    QVERIFY(late.on(QStringLiteral("vfd/press/1/availability")).first().retained);

    serve.kill();
    QVERIFY(sub.waitFor(QStringLiteral("vfd/service/svc1"), QStringLiteral("offline")));
    BrokerSubscriber after(broker, QStringLiteral("vfd/service/#"));
    QVERIFY(after.waitFor(QStringLiteral("vfd/service/svc1"), QStringLiteral("offline")));
    QVERIFY(after.on(QStringLiteral("vfd/service/svc1")).first().retained);
}

// Two lines from a file: one line's gateway goes away and comes back on the
// same port; the other line goes on meanwhile, and the first is read again
// without a restart. A polite stop says every drive and the service offline.
void tst_serve::linesStandAloneAndComeBack()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess simA({}, false);
    const QString gatewayPort = QString::number(freePort());
    auto simB =
        std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), gatewayPort}, false);
    QTemporaryDir dir;
    const QString config = writeFile(
        dir, QStringLiteral("serve.conf"),
        QStringLiteral("[broker]\nurl = %1\nclient-id = svc2\n[publish]\nevery = 1s\n"
                       "[line a]\nport = %2\ndrives = 1\nvalues = freq-out\ninterval = 200ms\n"
                       "[line b]\nport = tcp://127.0.0.1:%3\ndrives = 1,2\nvalues = current\n"
                       "interval = 200ms\n")
            .arg(broker.url(), simA.device(), gatewayPort));
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"));
    ServeProcess serve({QStringLiteral("serve"), config});
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/b/2/availability"), QStringLiteral("online")),
             qPrintable(serve.log()));
    QVERIFY(sub.waitFor(QStringLiteral("vfd/a/1/availability"), QStringLiteral("online")));

    simB->kill();
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/b/1/availability"), QStringLiteral("offline")),
             qPrintable(serve.log()));
    QVERIFY(waitUntil([&] {
        for (const auto& m : sub.on(QStringLiteral("vfd/b/status")))
            if (json(m.payload).value(QStringLiteral("state")) == QStringLiteral("closed"))
                return true;
        return false;
    }));
    // Line a goes on as if nothing happened.
    const qsizetype before = sub.on(QStringLiteral("vfd/a/1/freq-out")).size();
    QVERIFY(waitUntil(
        [&] { return sub.on(QStringLiteral("vfd/a/1/freq-out")).size() >= before + 2; }, 10000));
    QVERIFY(serve.running());

    simB = std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), gatewayPort}, false);
    QVERIFY(waitUntil(
        [&] {
            const auto seen = sub.on(QStringLiteral("vfd/b/1/availability"));
            return seen.size() >= 3 && seen.last().payload == QStringLiteral("online");
        },
        20000));
    QVERIFY(serve.log().contains(QStringLiteral("line b")));

    QCOMPARE(serve.terminate(), 0);
    QVERIFY(sub.waitFor(QStringLiteral("vfd/service/svc2"), QStringLiteral("offline")));
    QCOMPARE(sub.on(QStringLiteral("vfd/a/1/availability")).last().payload,
             QStringLiteral("offline"));
}

// The broker is stopped while the service reads: what it queued meanwhile is
// delivered once the broker is back, in order. Stopped (SIGTERM) while the
// broker is away, the service keeps its queue for the next start, which holds
// only as many as it may and says how many it dropped.
void tst_serve::brokerAwayLosesNothingInOrder()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim({}, false);
    QTemporaryDir state;
    // A session of its own: the broker keeps for it what comes while it reconnects.
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), QStringLiteral("keeper"));
    const QStringList args{QStringLiteral("--port"),
                           sim.device(),
                           QStringLiteral("serve"),
                           QStringLiteral("--broker"),
                           broker.url(),
                           QStringLiteral("--drives"),
                           QStringLiteral("1,2"),
                           QStringLiteral("--values"),
                           QStringLiteral("freq-out,dc-bus"),
                           QStringLiteral("--interval"),
                           QStringLiteral("100ms"),
                           QStringLiteral("--every"),
                           QStringLiteral("1s"),
                           QStringLiteral("--client-id"),
                           QStringLiteral("svc3"),
                           QStringLiteral("--queue-dir"),
                           state.path()};
    auto serve = std::make_unique<ServeProcess>(args);
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/line1/2/state")), qPrintable(serve->log()));

    broker.stop();
    QVERIFY2(waitUntil([&] { return queuedStates(state).size() >= 6; }, 20000),
             qPrintable(serve->log()));
    const QList<BrokerMessage> waiting = queuedStates(state);
    QVERIFY(broker.start());
    QVERIFY2(waitUntil([&] { return lastInOrder(sub.messages(), waiting, 0) >= 0; }, 20000),
             qPrintable(serve->log() + sub.errors()));
    // Each drive's states carry their number: none missing, none out of
    // order (one sent again after the reconnection may come twice).
    for (const QString& drive : {QStringLiteral("vfd/line1/1"), QStringLiteral("vfd/line1/2")}) {
        int last = 0;
        for (const auto& m : sub.on(drive + QStringLiteral("/state"))) {
            const int seq = json(m.payload).value(QStringLiteral("seq")).toInt();
            QVERIFY2(seq == last || seq == last + 1,
                     qPrintable(QStringLiteral("%1: %2 after %3").arg(drive).arg(seq).arg(last)));
            last = seq;
        }
        QVERIFY(last > 3);
    }

    // Stopped while the broker is away: nothing lost at the stop either.
    broker.stop();
    QVERIFY(waitUntil([&] { return queuedStates(state).size() >= 6; }, 20000));
    QCOMPARE(serve->terminate(), 0);
    QVERIFY2(serve->log().contains(QStringLiteral("kept for the next start")),
             qPrintable(serve->log()));
    const int keptCount = int(DiskQueue::peek(state.path()).size());
    const QList<BrokerMessage> keptStates = queuedStates(state);
    QVERIFY(keptCount > 10);
    QVERIFY(broker.start());
    serve = std::make_unique<ServeProcess>(
        args + QStringList{QStringLiteral("--queue-size"), QStringLiteral("10")});
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/service/svc3/dropped")),
             qPrintable(serve->log() + sub.errors() + broker.log()));
    const QJsonObject dropped =
        json(sub.on(QStringLiteral("vfd/service/svc3/dropped")).last().payload);
    QVERIFY(dropped.value(QStringLiteral("dropped")).toInt() >= keptCount - 10);
    // The newest of the old run were kept and come through.
    QVERIFY(waitUntil(
        [&] { return lastInOrder(sub.messages(), keptStates.mid(keptStates.size() - 2), 0) >= 0; },
        20000));
    QCOMPARE(serve->terminate(), 0);
}

void tst_serve::badConfigurationStartsNothing()
{
    QTemporaryDir dir;
    const QString config =
        writeFile(dir, QStringLiteral("bad.conf"),
                  QStringLiteral("[broker]\nurl = mqtt://127.0.0.1:1\n[line a]\nport = SIM\n"
                                 "drives = 1\nvalues = freq-out, torque\n"));
    ServeProcess serve({QStringLiteral("serve"), config});
    QCOMPARE(serve.finish(), 2);
    QVERIFY2(serve.log().contains(QStringLiteral("line 6: values: \"torque\"")),
             qPrintable(serve.log()));
    QVERIFY(serve.log().contains(QStringLiteral("nothing started")));
}

// Commands are obeyed only where the configuration allows them, for the
// line's own drives, while they keep coming; a line-wide stop stops them all.
void tst_serve::commandsOnlyWhenAllowedAndFresh()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim({}, false);
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"));
    const QString fwd = QStringLiteral("{\"command\":\"fwd\",\"hz\":20,\"client\":\"scada-7\"}");
    auto serveWith = [&](const QStringList& more) {
        return std::make_unique<ServeProcess>(
            QStringList{QStringLiteral("--port"), sim.device(), QStringLiteral("serve"),
                        QStringLiteral("--broker"), broker.url(), QStringLiteral("--drives"),
                        QStringLiteral("1,2"), QStringLiteral("--values"),
                        QStringLiteral("freq-set"), QStringLiteral("--interval"),
                        QStringLiteral("200ms"), QStringLiteral("--every"), QStringLiteral("1s")} +
            more);
    };
    const QString drive1 = QStringLiteral("vfd/line1/1");
    const QString drive2 = QStringLiteral("vfd/line1/2");

    // Off by default: the drive does not start however often it is told.
    auto serve = serveWith({});
    QVERIFY2(sub.waitFor(drive1 + QStringLiteral("/state")), qPrintable(serve->log()));
    {
        BrokerPublisher run(broker, drive1 + QStringLiteral("/set/run"));
        const qsizetype before = sub.on(drive1 + QStringLiteral("/state")).size();
        QVERIFY(waitUntil(
            [&] {
                run.send(fwd);
                return sub.on(drive1 + QStringLiteral("/state")).size() >= before + 3;
            },
            15000));
        QCOMPARE(runs(sub, drive1), false);
    }
    QCOMPARE(serve->terminate(), 0);

    // On, with a rhythm of a second: runs while renewed, stops once not.
    serve =
        serveWith({QStringLiteral("--commands"), QStringLiteral("--rhythm"), QStringLiteral("1s")});
    {
        BrokerPublisher run(broker, drive1 + QStringLiteral("/set/run"));
        QVERIFY2(waitUntil(
                     [&] {
                         run.send(fwd);
                         return runs(sub, drive1) == true;
                     },
                     15000),
                 qPrintable(serve->log()));
        QVERIFY(serve->log().contains(QStringLiteral("drive 1: fwd 20.00 Hz from scada-7")));
        QVERIFY(sub.waitFor(drive1 + QStringLiteral("/command")));
        QCOMPARE(json(sub.on(drive1 + QStringLiteral("/command")).first().payload)
                     .value(QStringLiteral("result")),
                 QStringLiteral("accepted"));
    }
    QVERIFY(waitUntil([&] { return runs(sub, drive1) == false; }, 15000));
    QVERIFY(serve->log().contains(QStringLiteral("drive 1: no fresh command")));

    // Not a drive of the line: refused, and said.
    {
        BrokerPublisher other(broker, QStringLiteral("vfd/line1/9/set/run"));
        other.send(fwd);
        QVERIFY(sub.waitFor(QStringLiteral("vfd/line1/9/command")));
        QVERIFY(json(sub.on(QStringLiteral("vfd/line1/9/command")).first().payload)
                    .value(QStringLiteral("result"))
                    .toString()
                    .startsWith(QStringLiteral("refused")));
    }
    QVERIFY(serve->log().contains(QStringLiteral("for drive 9: not a drive of this line")));
    QCOMPARE(serve->terminate(), 0);

    // A command left retained at the broker reaches every new connection: refused.
    {
        BrokerPublisher kept(broker, drive2 + QStringLiteral("/set/run"), true);
        kept.send(fwd);
    }
    serve = serveWith(
        {QStringLiteral("--commands"), QStringLiteral("--rhythm"), QStringLiteral("60s")});
    QVERIFY2(waitUntil([&] { return serve->log().contains(QStringLiteral("retained")); }),
             qPrintable(serve->log()));
    {
        // An empty retained message takes the retained one away.
        BrokerPublisher clear(broker, drive2 + QStringLiteral("/set/run"), true);
        clear.send(QString());
    }
    const qsizetype seen = sub.on(drive2 + QStringLiteral("/state")).size();
    QVERIFY(waitUntil([&] { return sub.on(drive2 + QStringLiteral("/state")).size() > seen; }));
    QCOMPARE(runs(sub, drive2), false);

    // A long rhythm: one command keeps the drive running until the line's stop.
    {
        BrokerPublisher run(broker, drive2 + QStringLiteral("/set/run"));
        run.send(fwd);
        QVERIFY2(waitUntil([&] { return runs(sub, drive2) == true; }, 15000),
                 qPrintable(serve->log()));
        BrokerPublisher stop(broker, QStringLiteral("vfd/line1/set/stop"));
        stop.send(QStringLiteral("{\"client\":\"panel\"}"));
        QVERIFY(waitUntil([&] { return runs(sub, drive2) == false; }, 15000));
        QVERIFY(serve->log().contains(QStringLiteral("stop of every drive from panel")));
    }
    QCOMPARE(serve->terminate(), 0);
}

// Through TLS with a password: values arrive; a wrong password, or a CA that
// did not sign the broker's certificate, is said in so many words.
void tst_serve::tlsAndPasswordsSayWhatIsWrong()
{
    BrokerTls tls;
    if (!tls.error().isEmpty())
        QSKIP(qPrintable(tls.error()));
    BrokerProcess broker(tls.brokerConfig());
    QVERIFY2(broker.running(), qPrintable(broker.log()));
    SimProcess sim({}, false);
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"), {}, tls.clientOptions());
    QTemporaryDir dir;
    const QString right = tls.writeFile(QStringLiteral("right"), "s3cret\n");
    const QString wrong = tls.writeFile(QStringLiteral("wrong"), "guess\n");
    auto serveWith = [&](const QString& host, const QString& ca, const QString& password) {
        const QString config =
            writeFile(dir, QStringLiteral("serve.conf"),
                      QStringLiteral("[broker]\nurl = mqtts://%1:%2\nca-file = %3\nuser = vfd\n"
                                     "password-file = %4\n[line a]\nport = %5\ndrives = 1\n"
                                     "values = freq-out\ninterval = 200ms\n")
                          .arg(host)
                          .arg(broker.port())
                          .arg(ca, password, sim.device()));
        return std::make_unique<ServeProcess>(QStringList{QStringLiteral("serve"), config});
    };

    auto serve = serveWith(QStringLiteral("localhost"), tls.path(QStringLiteral("ca.pem")), right);
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/a/1/freq-out")),
             qPrintable(serve->log() + sub.errors() + broker.log()));
    QCOMPARE(serve->terminate(), 0);

    serve = serveWith(QStringLiteral("localhost"), tls.path(QStringLiteral("ca.pem")), wrong);
    QVERIFY2(waitUntil([&] { return serve->log().contains(QStringLiteral("refused")); }, 15000),
             qPrintable(serve->log()));
    QVERIFY2(serve->log().contains(QStringLiteral("not authorised")) ||
                 serve->log().contains(QStringLiteral("bad user name or password")),
             qPrintable(serve->log()));
    QCOMPARE(serve->terminate(), 0);

    serve = serveWith(QStringLiteral("localhost"), tls.path(QStringLiteral("other-ca.pem")), right);
    QVERIFY2(waitUntil([&] { return serve->log().contains(QStringLiteral("certificate")); }, 20000),
             qPrintable(serve->log()));
    QVERIFY(serve->log().contains(QStringLiteral("ca-file")));
    QCOMPARE(serve->terminate(), 0);

    // A password file that is not there stops the start, saying which.
    serve = serveWith(QStringLiteral("localhost"), tls.path(QStringLiteral("ca.pem")),
                      dir.filePath(QStringLiteral("missing")));
    QCOMPARE(serve->finish(), 2);
    QVERIFY(serve->log().contains(QStringLiteral("password-file ") +
                                  dir.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(tst_serve)
#include "tst_serve.moc"
