// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrokerProcess.h"
#include "ServeProcess.h"
#include "SimProcess.h"
#include "SparkplugHost.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// vfdctl serve as a Sparkplug edge node, read by a host that decodes the
// payloads apart from the service: a real broker, simulated drives and the
// service, each a process of its own.
class tst_sparkplug : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void birthsDeathsAndWill();
    void rebirthAndDeviceCommands();
    void sequenceRunsOnAcrossABrokerRestart();
    void waitsForThePrimaryHost();
};

namespace {

using Message = SparkplugHost::Message;

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A configuration of one line "press" on the port, drives 1, 2 and 4 (the
// simulator has 1 to 3), with Sparkplug on and what else is given.
QString configFile(const QTemporaryDir& dir, const BrokerProcess& broker, const QString& port,
                   const QString& extra = {}, const QString& site = {})
{
    // With a site's sections, the site's own file.
    const QString path =
        dir.filePath(site.isEmpty() ? QStringLiteral("serve.conf") : QStringLiteral("site.conf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral("[broker]\nurl = %1\nclient-id = edge1\n"
                           "[sparkplug]\nenabled = yes\ngroup = plant\n%3\n"
                           "[line press]\nport = %2\ndrives = 1,2,4\nvalues = freq-out,current\n"
                           "interval = 200ms\n%4")
                .arg(broker.url(), port, extra, site)
                .toUtf8());
    return path;
}

qint64 bdSeq(const Message& m)
{
    return m.metric(QStringLiteral("bdSeq")).value(u"value").toInteger(-1);
}

// Every message of the node from its last NBIRTH on is numbered one more
// than the one before, 0-255; an empty text when so, else where not.
QString seqGaps(const QList<Message>& all, int from)
{
    qint64 expected = 0;
    // QoS 1 is at least once: a broker restarted with a host's session may
    // hand a message over again, the same bytes (time and seq) on the same topic.
    QSet<QString> seen;
    for (int i = from; i < all.size(); ++i) {
        const Message& m = all[i];
        const QString same = QStringLiteral("%1 %2 %3")
                                 .arg(m.topic())
                                 .arg(m.seq())
                                 .arg(m.json.value(u"timestamp").toInteger());
        if (seen.contains(same))
            continue;
        seen.insert(same);
        // Deaths carry no number; commands and a host's STATE are not the node's.
        static const QStringList numbered{"NBIRTH", "NDATA", "DBIRTH", "DDATA", "DDEATH"};
        if (!m.topic().startsWith(u"spBv1.0/plant/") || !numbered.contains(m.kind()))
            continue;
        if (m.kind() == u"NBIRTH")
            expected = 0;
        if (m.seq() != expected)
            return QStringLiteral("%1 #%2 has seq %3, expected %4")
                .arg(m.topic())
                .arg(i)
                .arg(m.seq())
                .arg(expected);
        expected = (expected + 1) % 256;
    }
    return {};
}

int lastIndexOf(const QList<Message>& all, const QString& kind)
{
    for (int i = int(all.size()) - 1; i >= 0; --i)
        if (all[i].kind() == kind)
            return i;
    return -1;
}

} // namespace

void tst_sparkplug::initTestCase()
{
    if (const QString why = SparkplugHost::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

// Births with every metric, type and unit; a drive that does not answer is
// never born; drives whose line goes die and are born again when it is
// back; the node's will is its death with the birth's bdSeq.
void tst_sparkplug::birthsDeathsAndWill()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    const QString simPort = QString::number(freePort());
    auto sim =
        std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), simPort,
                                                 QStringLiteral("--fault"), QStringLiteral("2:11")},
                                     false);
    SparkplugHost host(broker);
    QTemporaryDir dir;
    ServeProcess serve({QStringLiteral("serve"),
                        configFile(dir, broker, QStringLiteral("tcp://127.0.0.1:") + simPort)});
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-2")),
             qPrintable(serve.log() + host.errors()));
    QVERIFY(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1")));

    const Message nbirth = host.of(QStringLiteral("NBIRTH")).first();
    QCOMPARE(nbirth.topic(), QStringLiteral("spBv1.0/plant/NBIRTH/edge1"));
    QCOMPARE(nbirth.seq(), 0);
    QVERIFY(bdSeq(nbirth) >= 0);
    const QJsonObject rebirth = nbirth.metric(QStringLiteral("Node Control/Rebirth"));
    QCOMPARE(rebirth.value(u"datatype").toInt(), 11);
    QCOMPARE(rebirth.value(u"value").toBool(), false);
    QVERIFY(!nbirth.metric(QStringLiteral("Lines/press/State")).isEmpty());

    const Message tripped = host.of(QStringLiteral("DBIRTH"), QStringLiteral("press-2")).first();
    const QJsonObject freq = tripped.metric(QStringLiteral("Output frequency"));
    QCOMPARE(freq.value(u"datatype").toInt(), 9);
    QCOMPARE(freq.value(u"properties").toObject().value(u"engUnit").toString(),
             QStringLiteral("Hz"));
    QCOMPARE(tripped.metric(QStringLiteral("Output current"))
                 .value(u"properties")
                 .toObject()
                 .value(u"engUnit")
                 .toString(),
             QStringLiteral("A"));
    QCOMPARE(tripped.metric(QStringLiteral("Status/Fault")).value(u"value").toBool(), true);
    QCOMPARE(tripped.metric(QStringLiteral("Status/Fault number")).value(u"value").toInt(), 11);
    QVERIFY(
        !tripped.metric(QStringLiteral("Status/Fault code")).value(u"value").toString().isEmpty());
    // Without commands nothing is writable, and there is nothing to command.
    QVERIFY(tripped.metric(QStringLiteral("Commands/Run")).isEmpty());
    for (const QJsonValue& v : tripped.metrics()) {
        const QJsonObject m = v.toObject();
        QVERIFY2(m.value(u"timestamp").toInteger() > 0, qPrintable(m.value(u"name").toString()));
        QVERIFY(m.value(u"alias").toInteger() > 0);
    }

    // The line goes: its drives die; it comes back: they are born again.
    sim->kill();
    QVERIFY2(host.waitFor(QStringLiteral("DDEATH"), QStringLiteral("press-1")),
             qPrintable(serve.log()));
    QVERIFY(host.waitFor(QStringLiteral("DDEATH"), QStringLiteral("press-2")));
    sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), simPort}, false);
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1"), 2),
             qPrintable(serve.log()));
    QVERIFY(host.of(QStringLiteral("DBIRTH"), QStringLiteral("press-4")).isEmpty());
    QVERIFY(host.of(QStringLiteral("DDATA"), QStringLiteral("press-4")).isEmpty());
    QStringList states;
    for (const Message& m : host.of(QStringLiteral("NDATA")))
        states << m.metrics().first().toObject().value(u"value").toString();
    QVERIFY2(states.contains(QStringLiteral("closed")), qPrintable(states.join(u',')));

    // Killed: the broker says its death, with the number of its birth.
    serve.kill();
    QVERIFY(host.waitFor(QStringLiteral("NDEATH")));
    QCOMPARE(bdSeq(host.of(QStringLiteral("NDEATH")).first()), bdSeq(nbirth));
    const QString gaps = seqGaps(host.messages(), 0);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
}

// A host's NCMD rebirth is answered with the births again (seq 0, the same
// bdSeq); its DCMD run commands go through the run commands' checks: a write
// to a value is refused, a frequency above the drive's limit is refused, a
// fresh forward at a frequency it allows runs the drive.
void tst_sparkplug::rebirthAndDeviceCommands()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    SparkplugHost host(broker);
    BrokerSubscriber plain(broker, QStringLiteral("vfd/#"));
    QTemporaryDir dir;
    ServeProcess serve({QStringLiteral("serve"),
                        configFile(dir, broker, sim.device(),
                                   QStringLiteral("[commands]\nenabled = yes\nrhythm = 5s"))});
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1")),
             qPrintable(serve.log() + host.errors()));
    const Message birth = host.of(QStringLiteral("DBIRTH"), QStringLiteral("press-1")).first();
    const QJsonObject run = birth.metric(QStringLiteral("Commands/Run"));
    QCOMPARE(run.value(u"datatype").toInt(), 12);
    QCOMPARE(run.value(u"properties").toObject().value(u"writable").toBool(), true);
    QVERIFY(birth.metric(QStringLiteral("Output frequency"))
                .value(u"properties")
                .toObject()
                .value(u"writable")
                .isUndefined());

    QVERIFY(SparkplugHost::send(broker, QStringLiteral("spBv1.0/plant/NCMD/edge1"),
                                SparkplugHost::payload({SparkplugHost::metric(
                                    QStringLiteral("Node Control/Rebirth"), 11, true)})));
    QVERIFY2(host.waitFor(QStringLiteral("NBIRTH"), {}, 2), qPrintable(serve.log()));
    QVERIFY(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1"), 2));
    const QList<Message> births = host.of(QStringLiteral("NBIRTH"));
    QCOMPARE(births[1].seq(), 0);
    QCOMPARE(bdSeq(births[1]), bdSeq(births[0]));

    const QString dcmd = QStringLiteral("spBv1.0/plant/DCMD/edge1/press-1");
    QVERIFY(SparkplugHost::send(broker, dcmd,
                                SparkplugHost::payload({SparkplugHost::metric(
                                    QStringLiteral("Output frequency"), 9, 30.0)})));
    QVERIFY(waitUntil(
        [&] { return serve.log().contains(u"refused a Sparkplug write of Output frequency"); },
        10000));
    QVERIFY(SparkplugHost::send(
        broker, dcmd,
        SparkplugHost::payload(
            {SparkplugHost::metric(QStringLiteral("Commands/Frequency"), 9, 450.0),
             SparkplugHost::metric(QStringLiteral("Commands/Run"), 12, QStringLiteral("fwd"))})));
    QVERIFY2(waitUntil(
                 [&] {
                     const auto answers = plain.on(QStringLiteral("vfd/press/1/command"));
                     return !answers.isEmpty() && answers.last().payload.contains(u"refused");
                 },
                 10000),
             qPrintable(serve.log()));
    QVERIFY(sim.commandsHeard(1).isEmpty());

    QVERIFY(SparkplugHost::send(
        broker, dcmd,
        SparkplugHost::payload(
            {SparkplugHost::metric(QStringLiteral("Commands/Frequency"), 9, 10.0),
             SparkplugHost::metric(QStringLiteral("Commands/Run"), 12, QStringLiteral("fwd"))})));
    // The host hears the drive run, in data that name their metrics by alias.
    const qint64 running =
        birth.metric(QStringLiteral("Status/Running")).value(u"alias").toInteger();
    QVERIFY2(waitUntil(
                 [&] {
                     for (const Message& m :
                          host.of(QStringLiteral("DDATA"), QStringLiteral("press-1")))
                         if (m.metric({}, running).value(u"value").toBool())
                             return true;
                     return false;
                 },
                 15000),
             qPrintable(serve.log()));
    QVERIFY(!sim.commandsHeard(1).isEmpty());
    for (const Message& m : host.of(QStringLiteral("DDATA")))
        for (const QJsonValue& v : m.metrics()) {
            QVERIFY(v.toObject().value(u"name").isNull());
            QVERIFY(v.toObject().value(u"timestamp").toInteger() > 0);
        }
    QCOMPARE(serve.terminate(), 0);
    QVERIFY(host.waitFor(QStringLiteral("NDEATH")));
    QCOMPARE(bdSeq(host.of(QStringLiteral("NDEATH")).first()), bdSeq(births[0]));
    const QString gaps = seqGaps(host.messages(), 0);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
}

// The broker goes away while the line does too: what happened meanwhile
// waits in the queue and follows the new births, numbered on without a gap,
// and the new session has a bdSeq of its own.
void tst_sparkplug::sequenceRunsOnAcrossABrokerRestart()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    const QString simPort = QString::number(freePort());
    auto sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), simPort}, false);
    SparkplugHost host(broker, QStringLiteral("scada-host"));
    QTemporaryDir dir;
    ServeProcess serve(
        {QStringLiteral("serve"),
         configFile(
             dir, broker, QStringLiteral("tcp://127.0.0.1:") + simPort,
             QStringLiteral("[publish]\nqueue-dir = %1").arg(dir.filePath(QStringLiteral("q"))))});
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1")),
             qPrintable(serve.log() + host.errors()));

    broker.stop();
    QVERIFY(waitUntil(
        [&] { return serve.log().contains(u"sparkplug: the connection to the broker was lost"); },
        15000));
    sim->kill();
    QVERIFY(waitUntil([&] { return serve.log().contains(u"line press: the port"); }, 15000));
    sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--tcp"), simPort}, false);
    QVERIFY(waitUntil([&] { return serve.log().count(u"line press: reading") >= 2; }, 15000));
    QVERIFY(broker.start());

    QVERIFY2(host.waitFor(QStringLiteral("NBIRTH"), {}, 2), qPrintable(serve.log()));
    // What was queued comes after the births: the line's closing, its drives' deaths and births.
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-1"), 3),
             qPrintable(serve.log()));
    QVERIFY(host.waitFor(QStringLiteral("NDATA"), {}, 2));
    const QList<Message> all = host.messages();
    const int second = lastIndexOf(all, QStringLiteral("NBIRTH"));
    // Each connection tried takes the next number: a host tells the sessions apart.
    QVERIFY(bdSeq(all[second]) >= 0);
    QVERIFY(bdSeq(all[second]) != bdSeq(host.of(QStringLiteral("NBIRTH")).first()));
    QStringList after, every;
    for (int i = second; i < all.size(); ++i)
        after << all[i].kind() + u' ' + all[i].device();
    for (const Message& m : all)
        every << QStringLiteral("%1 %2 %3").arg(m.kind(), m.device()).arg(m.seq());
    QVERIFY2(after.indexOf(QStringLiteral("NDATA ")) >
                 after.indexOf(QStringLiteral("DBIRTH press-1")),
             qPrintable(after.join(u',')));
    QVERIFY2(after.contains(QStringLiteral("DDEATH press-1")), qPrintable(after.join(u',')));
    const QString gaps = seqGaps(all, 0);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps + u'\n' + every.join(u',')));
}

// With a primary host named, nothing is born while its STATE says it is
// not online; its coming online brings the births, its going offline the
// node's death. Run from a site, a drive is the device of its name; one
// whose name says nothing in topic letters is its line and address.
void tst_sparkplug::waitsForThePrimaryHost()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim({}, false);
    SparkplugHost host(broker);
    BrokerSubscriber plain(broker, QStringLiteral("vfd/#"));
    QTemporaryDir dir;
    ServeProcess serve(
        {QStringLiteral("serve"),
         configFile(dir, broker, sim.device(), QStringLiteral("primary-host = scada"),
                    QStringLiteral("[site]\nname = Hall\n[drive press 1]\nname = Conveyor 3\n"
                                   "[drive press 2]\nname = 传送带\n"))});
    // Readings flow on the plain topics, none on Sparkplug's.
    QVERIFY2(plain.waitFor(QStringLiteral("vfd/press/1/state")), qPrintable(serve.log()));
    QVERIFY(waitUntil([&] { return serve.log().contains(u"sparkplug: connected"); }, 10000));
    QVERIFY(host.of(QStringLiteral("NBIRTH")).isEmpty());
    QVERIFY(host.of(QStringLiteral("DBIRTH")).isEmpty());

    BrokerPublisher state(broker, QStringLiteral("spBv1.0/STATE/scada"), true);
    state.send(QStringLiteral(R"({"online":true,"timestamp":1})"));
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("Conveyor_3")),
             qPrintable(serve.log()));
    QVERIFY(host.waitFor(QStringLiteral("DBIRTH"), QStringLiteral("press-2")));
    state.send(QStringLiteral(R"({"online":false,"timestamp":2})"));
    QVERIFY2(host.waitFor(QStringLiteral("NDEATH")), qPrintable(serve.log()));
    QCOMPARE(bdSeq(host.of(QStringLiteral("NDEATH")).first()),
             bdSeq(host.of(QStringLiteral("NBIRTH")).first()));
}

QTEST_GUILESS_MAIN(tst_sparkplug)
#include "tst_sparkplug.moc"
