// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters a Sparkplug host may write: born with what the drive holds,
// written through the same checks and journal as the plain topics' set, and
// refused with nothing sent to the drive. A real broker, vfdsim (its traffic
// logged) and the service, each a process of its own.
#include "BrokerProcess.h"
#include "Journal.h"
#include "ServeProcess.h"
#include "SimProcess.h"
#include "SiteJournal.h"
#include "SparkplugHost.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_sparkplugparams : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void hostWritesAWritableParameter();
    void nothingReachesTheDriveWithCommandsOff();
};

namespace {

using Message = SparkplugHost::Message;

const QString kAccel = QStringLiteral("Parameters/P0.14");
const QString kDevice = QStringLiteral("press-1");
const QString kDcmd = QStringLiteral("spBv1.0/plant/DCMD/edge1/press-1");

// A site of one line "press" (drives 1 and 2) on the simulator, Sparkplug
// on, with the [commands] given; the site's journal beside its file.
QString makeSite(const QTemporaryDir& dir, const BrokerProcess& broker, const QString& port,
                 const QString& commands)
{
    const QString path = dir.filePath(QStringLiteral("site.conf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral("[site]\nname = Hall\n"
                           "[broker]\nurl = %1\nclient-id = edge1\n"
                           "[sparkplug]\nenabled = yes\ngroup = plant\n%3\n"
                           "[line press]\nport = %2\ndrives = 1,2\nvalues = freq-out\n"
                           "interval = 200ms\n")
                .arg(broker.url(), port, commands)
                .toUtf8());
    return path;
}

// Frames the drive heard that write (function 6, or 16 for the run
// commands), any register.
int writesHeard(SimProcess& sim, int address)
{
    int n = 0;
    const QString drive = QStringLiteral("%1 ").arg(address, 2, 16, QLatin1Char('0'));
    for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
        n += frame.startsWith(drive + QStringLiteral("06 "), Qt::CaseInsensitive) ||
             frame.startsWith(drive + QStringLiteral("10 "), Qt::CaseInsensitive);
    return n;
}

QJsonObject properties(const QJsonObject& metric)
{
    return metric.value(u"properties").toObject();
}

// The data of the device that carry the metric (by alias), in order.
QList<QJsonObject> dataOf(SparkplugHost& host, qint64 alias)
{
    QList<QJsonObject> found;
    for (const Message& m : host.of(QStringLiteral("DDATA"), kDevice))
        if (const QJsonObject o = m.metric({}, alias); !o.isEmpty())
            found << o;
    return found;
}

} // namespace

void tst_sparkplugparams::initTestCase()
{
    if (const QString why = SparkplugHost::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

// The birth says what the drive holds (set at its keypad before), with the
// catalogue's type and unit, writable where the other values are read-only.
// A write is taken, read back and journaled, and the host hears the read-back;
// a parameter not listed as writable and a value out of range are refused
// before anything is sent.
void tst_sparkplugparams::hostWritesAWritableParameter()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    sim.process().write("keypad 1 P0.14=321\n");
    SparkplugHost host(broker);
    QTemporaryDir dir;
    ServeProcess serve(
        {QStringLiteral("serve"),
         makeSite(dir, broker, sim.device(),
                  QStringLiteral("[commands]\nenabled = yes\nwritable = P0.14, P0.09\n"))});
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), kDevice),
             qPrintable(serve.log() + host.errors()));

    const Message birth = host.of(QStringLiteral("DBIRTH"), kDevice).first();
    const QJsonObject accel = birth.metric(kAccel);
    QCOMPARE(accel.value(u"datatype").toInt(), 9);
    QCOMPARE(accel.value(u"value").toDouble(), 32.1f);
    QCOMPARE(properties(accel).value(u"engUnit").toString(), QStringLiteral("s"));
    QCOMPARE(properties(accel).value(u"readOnly").toBool(true), false);
    QCOMPARE(properties(accel).value(u"writable").toBool(), true);
    // A choice of whole numbers is an integer to a host.
    const QJsonObject volts = birth.metric(QStringLiteral("Parameters/P0.09"));
    QCOMPARE(volts.value(u"datatype").toInt(), 3);
    QCOMPARE(properties(volts).value(u"engUnit").toString(), QStringLiteral("V"));
    QVERIFY(!volts.value(u"null").toBool());
    const QJsonObject freq = birth.metric(QStringLiteral("Output frequency"));
    QCOMPARE(properties(freq).value(u"readOnly").toBool(), true);
    QVERIFY(properties(freq).value(u"writable").isUndefined());
    QVERIFY(birth.metric(QStringLiteral("Parameters/P0.15")).isEmpty());
    const qint64 alias = accel.value(u"alias").toInteger();
    QCOMPARE(writesHeard(sim, 1), 0);

    // Accepted: the drive takes it, the host hears what it reads back.
    QVERIFY(SparkplugHost::send(broker, kDcmd,
                                SparkplugHost::payload({SparkplugHost::metric(kAccel, 9, 12.3)})));
    QVERIFY2(waitUntil([&] { return !dataOf(host, alias).isEmpty(); }, 15000),
             qPrintable(serve.log()));
    QCOMPARE(dataOf(host, alias).first().value(u"value").toDouble(), 12.3f);
    QVERIFY(dataOf(host, alias).first().value(u"timestamp").toInteger() > 0);
    QCOMPARE(writesHeard(sim, 1), 1);
    QCOMPARE(sim.traffic(QStringLiteral("<- "))
                 .filter(QStringLiteral("01 06 00 0e 00 7b"), Qt::CaseInsensitive)
                 .size(),
             1);

    // Refused: not writable, out of range, and both in one; nothing more is sent.
    const QList<QJsonArray> refused{
        {SparkplugHost::metric(QStringLiteral("Parameters/P0.15"), 9, 20.0)},
        {SparkplugHost::metric(kAccel, 9, 4000.0)},
        {SparkplugHost::metric(kAccel, 9, 15.0),
         SparkplugHost::metric(QStringLiteral("Parameters/P8.00"), 3, 5)},
    };
    for (const QJsonArray& metrics : refused)
        QVERIFY(SparkplugHost::send(broker, kDcmd, SparkplugHost::payload(metrics)));
    QVERIFY2(waitUntil(
                 [&] {
                     const QString log = serve.log();
                     return log.contains(u"P0.15 is not writable") &&
                            log.contains(u"P8.00 is not writable") &&
                            log.contains(u"lies outside 0.1 .. 3600") &&
                            log.count(u"refused a parameter write from sparkplug host") >= 3;
                 },
                 15000),
             qPrintable(serve.log()));
    // A refusal on a metric of the drive is answered with what it still holds.
    QVERIFY(waitUntil([&] { return dataOf(host, alias).size() >= 3; }, 10000));
    for (const QJsonObject& o : dataOf(host, alias))
        QCOMPARE(o.value(u"value").toDouble(), 12.3f);
    QCOMPARE(writesHeard(sim, 1), 1);

    QCOMPARE(serve.terminate(), 0);
    const QList<JournalEntry> writes = journaled(dir.path(), JournalEntry::Kind::Write);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].parameter, QStringLiteral("P0.14"));
    QCOMPARE(writes[0].before.value_or(QString()), QStringLiteral("32.1"));
    QCOMPARE(writes[0].asked, QStringLiteral("12.3"));
    QCOMPARE(writes[0].outcome, JournalEntry::Outcome::Verified);
    QVERIFY2(writes[0].tool.contains(u"sparkplug host"), qPrintable(writes[0].tool));
}

// With commands off a parameter listed as writable is no metric, and neither
// a write to it nor a run command reaches the drive: each refusal is logged.
void tst_sparkplugparams::nothingReachesTheDriveWithCommandsOff()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    SparkplugHost host(broker);
    QTemporaryDir dir;
    ServeProcess serve(
        {QStringLiteral("serve"),
         makeSite(dir, broker, sim.device(), QStringLiteral("[commands]\nwritable = P0.14\n"))});
    QVERIFY2(host.waitFor(QStringLiteral("DBIRTH"), kDevice),
             qPrintable(serve.log() + host.errors()));
    const Message birth = host.of(QStringLiteral("DBIRTH"), kDevice).first();
    QVERIFY(birth.metric(kAccel).isEmpty());
    QVERIFY(birth.metric(QStringLiteral("Commands/Run")).isEmpty());

    QVERIFY(SparkplugHost::send(
        broker, kDcmd,
        SparkplugHost::payload(
            {SparkplugHost::metric(kAccel, 9, 12.5),
             SparkplugHost::metric(QStringLiteral("Commands/Run"), 12, QStringLiteral("fwd"))})));
    QVERIFY2(waitUntil(
                 [&] {
                     const QString log = serve.log();
                     return log.contains(u"commands are not enabled on this service") &&
                            log.contains(u"refused a Sparkplug write of Commands/Run");
                 },
                 15000),
             qPrintable(serve.log()));
    QCOMPARE(serve.terminate(), 0);
    QCOMPARE(writesHeard(sim, 1), 0);
    QVERIFY(journaled(dir.path(), JournalEntry::Kind::Write).isEmpty());
}

QTEST_GUILESS_MAIN(tst_sparkplugparams)
#include "tst_sparkplugparams.moc"
