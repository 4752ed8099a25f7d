// SPDX-License-Identifier: GPL-3.0-or-later
// The drives' parameters through the broker, a parameter changed at a drive's
// keypad behind the service's back, and a trip: a real broker, vfdsim and
// the service, each its own process, the service run from a site so that
// what it writes and finds lands in the site's journal.
#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "Journal.h"
#include "ServeProcess.h"
#include "SimProcess.h"
#include "SiteJournal.h"
#include "Tab.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class tst_servedrift : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parametersThroughTheBroker();
    void nothingObeyedWithCommandsOff();
    void keypadChangeIsADriftUntilSetBack();
    void tripIsOneFaultEventWithItsRecords();
};

namespace {

// Acceleration time P0.14 and deceleration time P0.15 (0.1 s a step).
const QString kAccel = QStringLiteral("P0.14");

// A site of one line "a" on the simulator's terminal, with the service's keys.
QString makeSite(const QTemporaryDir& dir, const QString& port, const BrokerProcess& broker,
                 const QString& commands, const QString& drives = QStringLiteral("1"))
{
    const QString folder = dir.filePath(QStringLiteral("hall"));
    QDir().mkpath(folder);
    QFile f(QDir(folder).filePath(QStringLiteral("site.conf")));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(
        QStringLiteral("[site]\nname = Press hall\n\n"
                       "[broker]\nurl = %1\nclient-id = hall\n\n"
                       "[publish]\nevery = 1s\n\n"
                       "%2\n"
                       "[drift]\nshare = 50%\n\n"
                       "[line a]\nport = %3\ndrives = %4\nvalues = freq-out\ninterval = 200ms\n")
            .arg(broker.url(), commands, port, drives)
            .toUtf8());
    return folder;
}

QJsonObject json(const QString& payload)
{
    return QJsonDocument::fromJson(payload.toUtf8()).object();
}

// The message on the topic whose JSON has the field at the value.
std::optional<QJsonObject> findOn(BrokerSubscriber& sub, const QString& topic, const QString& key,
                                  const QJsonValue& value)
{
    for (const BrokerSubscriber::Message& m : sub.on(topic))
        if (json(m.payload).value(key) == value)
            return json(m.payload);
    return std::nullopt;
}

// Sends the request again every second until its answer (by id) came:
// the first may go before the service has subscribed.
std::optional<QJsonObject> ask(BrokerProcess& broker, BrokerSubscriber& sub, const QString& topic,
                               const QJsonObject& request, const QString& replyTopic)
{
    BrokerPublisher to(broker, topic);
    const QString payload =
        QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact));
    const QJsonValue id = request.value(QStringLiteral("id"));
    QElapsedTimer since;
    std::optional<QJsonObject> answer;
    waitUntil(
        [&] {
            if (!since.isValid() || since.elapsed() > 1000) {
                to.send(payload);
                since.start();
            }
            answer = findOn(sub, replyTopic, QStringLiteral("id"), id);
            return answer.has_value();
        },
        30000);
    return answer;
}

// Write requests (function 6) the drive heard for a register, "hh ll" as logged.
int writesHeard(SimProcess& sim, const QString& registerBytes)
{
    int n = 0;
    for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
        n += frame.startsWith(QStringLiteral("01 06 ") + registerBytes, Qt::CaseInsensitive);
    return n;
}

} // namespace

void tst_servedrift::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

// Reads and writes with their ids, on the reply topic a request names or the
// drive's own; each refusal said, and nothing sent for it.
void tst_servedrift::parametersThroughTheBroker()
{
    BrokerProcess broker;
    SimProcess sim;
    QTemporaryDir dir;
    // Drive 4 is on the line but silent: the simulator serves 1 to 3.
    const QString site = makeSite(dir, sim.device(), broker,
                                  QStringLiteral("[commands]\nenabled = yes\nwritable = P0.14\n"),
                                  QStringLiteral("1, 4"));
    // Commissioned as it stands: a write sent through the service is no drift.
    const CtlRun backup =
        CtlProcess({QStringLiteral("--site"), site, QStringLiteral("backup"), QStringLiteral("1")})
            .finish();
    QVERIFY2(backup.code == 0, qPrintable(backup.err));
    BrokerSubscriber sub(broker, QStringLiteral("#"));
    ServeProcess serve({QStringLiteral("serve"), QStringLiteral("--site"), site});
    const QString base = QStringLiteral("vfd/a/");
    const QString mine = QStringLiteral("scada/answers");

    auto answer = ask(broker, sub, base + QStringLiteral("1/set"),
                      {{QStringLiteral("id"), QStringLiteral("w1")},
                       {QStringLiteral("parameter"), kAccel},
                       {QStringLiteral("value"), 12.5},
                       {QStringLiteral("client"), QStringLiteral("scada-1")}},
                      base + QStringLiteral("1/reply"));
    QVERIFY2(answer, qPrintable(serve.log()));
    QVERIFY2(!answer->contains(QStringLiteral("error")), qPrintable(serve.log()));
    QJsonObject w = answer->value(QStringLiteral("results")).toArray().first().toObject();
    QCOMPARE(w.value(QStringLiteral("outcome")).toString(), QStringLiteral("verified"));
    QCOMPARE(w.value(QStringLiteral("raw")).toInt(), 125);
    const QString before = w.value(QStringLiteral("before")).toString();
    QVERIFY(!before.isEmpty());
    QCOMPARE(writesHeard(sim, QStringLiteral("00 0e")), 1);

    // Read back through the broker: what the drive now holds, on the topic asked for.
    answer = ask(broker, sub, base + QStringLiteral("1/get"),
                 {{QStringLiteral("id"), 2},
                  {QStringLiteral("parameters"), QJsonArray{kAccel, QStringLiteral("P0.15")}},
                  {QStringLiteral("reply"), mine}},
                 mine);
    QVERIFY(answer);
    const QJsonArray read = answer->value(QStringLiteral("results")).toArray();
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].toObject().value(QStringLiteral("value")).toString(), QStringLiteral("12.5"));
    QCOMPARE(read[0].toObject().value(QStringLiteral("raw")).toInt(), 125);
    QCOMPARE(read[0].toObject().value(QStringLiteral("unit")).toString(), QStringLiteral("s"));
    QCOMPARE(read[1].toObject().value(QStringLiteral("parameter")).toString(),
             QStringLiteral("P0.15"));
    QVERIFY(read[1].toObject().contains(QStringLiteral("raw")));

    // The silent drive's answer says so, per parameter.
    answer =
        ask(broker, sub, base + QStringLiteral("4/get"),
            {{QStringLiteral("id"), QStringLiteral("s")}, {QStringLiteral("parameter"), kAccel}},
            base + QStringLiteral("4/reply"));
    QVERIFY(answer);
    QCOMPARE(answer->value(QStringLiteral("results"))
                 .toArray()
                 .first()
                 .toObject()
                 .value(QStringLiteral("error"))
                 .toString(),
             QStringLiteral("no answer"));

    // Refused before anything goes out: one mistake in a request, no write at all.
    const struct
    {
        const char* id;
        QJsonObject values;
        const char* why;
    } refusals[] = {
        {"r1", {{kAccel, 30}, {QStringLiteral("P0.15"), 30}}, "not writable"},
        {"r2", {{kAccel, 99999}}, "P0.14: "},
        {"r3", {{QStringLiteral("P8.00"), 5}}, "not writable"},
    };
    for (const auto& r : refusals) {
        answer =
            ask(broker, sub, base + QStringLiteral("1/set"),
                {{QStringLiteral("id"), QLatin1String(r.id)}, {QStringLiteral("values"), r.values}},
                base + QStringLiteral("1/reply"));
        QVERIFY2(answer, r.id);
        QVERIFY2(answer->value(QStringLiteral("error")).toString().startsWith(u"refused: "), r.id);
        QVERIFY2(answer->value(QStringLiteral("error")).toString().contains(QLatin1String(r.why)),
                 qPrintable(answer->value(QStringLiteral("error")).toString()));
    }
    answer =
        ask(broker, sub, base + QStringLiteral("9/get"),
            {{QStringLiteral("id"), QStringLiteral("n")}, {QStringLiteral("parameter"), kAccel}},
            base + QStringLiteral("9/reply"));
    QVERIFY(answer);
    QVERIFY(answer->value(QStringLiteral("error")).toString().contains(u"not a drive"));
    QCOMPARE(writesHeard(sim, QStringLiteral("00 0e")), 1);
    QCOMPARE(writesHeard(sim, QStringLiteral("00 0f")), 0);
    QCOMPARE(writesHeard(sim, QStringLiteral("08 00")), 0);
    // Two more passes of the drift watch over the written drive: nothing drifted.
    const QString pass = QStringLiteral("drift watch: a pass over");
    const qsizetype passes = serve.log().count(pass);
    QVERIFY2(waitUntil([&] { return serve.log().count(pass) >= passes + 2; }, 30000),
             qPrintable(serve.log()));
    QVERIFY(sub.on(base + QStringLiteral("1/drift")).isEmpty());

    // The write is in the journal as vfdctl set journals it, with its client.
    QCOMPARE(serve.terminate(), 0);
    const QList<JournalEntry> writes = journaled(site, JournalEntry::Kind::Write);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].parameter, kAccel);
    QCOMPARE(writes[0].before.value_or(QString()), before);
    QCOMPARE(writes[0].asked, QStringLiteral("12.5"));
    QCOMPARE(writes[0].outcome, JournalEntry::Outcome::Verified);
    QVERIFY(writes[0].tool.contains(u"scada-1"));
}

// With commands off a request is answered with why, and never obeyed.
void tst_servedrift::nothingObeyedWithCommandsOff()
{
    BrokerProcess broker;
    SimProcess sim;
    QTemporaryDir dir;
    const QString site =
        makeSite(dir, sim.device(), broker, QStringLiteral("[commands]\nwritable = P0.14\n"));
    BrokerSubscriber sub(broker, QStringLiteral("vfd/a/1/reply"));
    ServeProcess serve({QStringLiteral("serve"), QStringLiteral("--site"), site});
    for (const QString& what : {QStringLiteral("get"), QStringLiteral("set")}) {
        const auto answer = ask(broker, sub, QStringLiteral("vfd/a/1/") + what,
                                {{QStringLiteral("id"), what},
                                 {QStringLiteral("parameter"), kAccel},
                                 {QStringLiteral("value"), 20}},
                                QStringLiteral("vfd/a/1/reply"));
        QVERIFY2(answer, qPrintable(serve.log()));
        QVERIFY(answer->value(QStringLiteral("error")).toString().contains(u"not enabled"));
        QVERIFY(!answer->contains(QStringLiteral("results")));
    }
    QCOMPARE(writesHeard(sim, QStringLiteral("00 0e")), 0);
}

// The drive's backup in the site is what it was commissioned with; a value
// set at its keypad is one drift event (and retained state, and a journal
// entry) within a pass, and setting it back clears it.
void tst_servedrift::keypadChangeIsADriftUntilSetBack()
{
    BrokerProcess broker;
    SimProcess sim;
    QTemporaryDir dir;
    const QString site = makeSite(dir, sim.device(), broker, QString());
    const CtlRun backup =
        CtlProcess({QStringLiteral("--site"), site, QStringLiteral("backup"), QStringLiteral("1")})
            .finish();
    QVERIFY2(backup.code == 0, qPrintable(backup.err));
    BrokerSubscriber sub(broker, QStringLiteral("vfd/a/1/drift/#"));
    ServeProcess serve({QStringLiteral("serve"), QStringLiteral("--site"), site});
    // A pass over the drive that matches its backup: no drift.
    const QString state = QStringLiteral("vfd/a/1/drift/state");
    QVERIFY2(sub.waitFor(state), qPrintable(serve.log()));
    QCOMPARE(json(sub.on(state).first().payload).value(QStringLiteral("drifted")).toArray().size(),
             0);

    sim.process().write("keypad 1 P0.14=321\n");
    const QString events = QStringLiteral("vfd/a/1/drift");
    QVERIFY2(waitUntil([&] { return !sub.on(events).isEmpty(); }, 30000), qPrintable(serve.log()));
    QJsonObject event = json(sub.on(events).first().payload);
    QCOMPARE(event.value(QStringLiteral("parameter")).toString(), kAccel);
    QCOMPARE(event.value(QStringLiteral("now")).toString(), QStringLiteral("32.1"));
    QCOMPARE(event.value(QStringLiteral("cleared")).toBool(), false);
    const QString commissioned = event.value(QStringLiteral("commissioned")).toString();
    QVERIFY(commissioned != u"32.1" && !commissioned.isEmpty());
    QVERIFY(waitUntil(
        [&] {
            const QJsonArray list =
                json(sub.on(state).last().payload).value(QStringLiteral("drifted")).toArray();
            return list.size() == 1 &&
                   list[0].toObject().value(QStringLiteral("parameter")).toString() == kAccel;
        },
        10000));

    // Set back at the keypad: cleared, once, and the state empty again.
    const int raw = qRound(commissioned.toDouble() * 10);
    sim.process().write(QStringLiteral("keypad 1 P0.14=%1\n").arg(raw).toUtf8());
    QVERIFY2(waitUntil([&] { return sub.on(events).size() >= 2; }, 30000), qPrintable(serve.log()));
    event = json(sub.on(events)[1].payload);
    QCOMPARE(event.value(QStringLiteral("cleared")).toBool(), true);
    QVERIFY(waitUntil(
        [&] {
            return json(sub.on(state).last().payload)
                .value(QStringLiteral("drifted"))
                .toArray()
                .isEmpty();
        },
        10000));
    QCOMPARE(serve.terminate(), 0);
    // Found and cleared, each said once, over several passes.
    QCOMPARE(sub.on(events).size(), 2);
    const QList<JournalEntry> drifts = journaled(site, JournalEntry::Kind::Drift);
    QCOMPARE(drifts.size(), 2);
    QCOMPARE(drifts[0].parameter, kAccel);
    QCOMPARE(drifts[0].before.value_or(QString()), commissioned);
    QCOMPARE(drifts[0].readBack.value_or(QString()), QStringLiteral("32.1"));
    QCOMPARE(drifts[1].result, QStringLiteral("cleared"));
}

// A trip is one event, retained, with the drive's fault records and the
// values it kept: the same the drive gives vfdctl faults afterwards.
void tst_servedrift::tripIsOneFaultEventWithItsRecords()
{
    BrokerProcess broker;
    SimProcess sim;
    QTemporaryDir dir;
    const QString site = makeSite(dir, sim.device(), broker, QString());
    BrokerSubscriber sub(broker, QStringLiteral("vfd/a/1/#"));
    ServeProcess serve({QStringLiteral("serve"), QStringLiteral("--site"), site});
    const QString stateTopic = QStringLiteral("vfd/a/1/state");
    QVERIFY2(sub.waitFor(stateTopic), qPrintable(serve.log()));
    sim.process().write("trip 1 7\n");
    const QString faultTopic = QStringLiteral("vfd/a/1/fault");
    QVERIFY2(sub.waitFor(faultTopic), qPrintable(serve.log()));
    // Several readings later, still the one event.
    const qsizetype states = sub.on(stateTopic).size();
    QVERIFY(waitUntil([&] { return sub.on(stateTopic).size() >= states + 3; }, 15000));
    QCOMPARE(sub.on(faultTopic).size(), 1);
    const QJsonObject fault = json(sub.on(faultTopic).first().payload);
    QCOMPARE(fault.value(QStringLiteral("number")).toInt(), 7);
    const auto code = Tab::FaultCode(7);
    QVERIFY(code);
    QCOMPARE(fault.value(QStringLiteral("code")).toString(),
             QString::fromUtf8(code->data(), qsizetype(code->size())));
    QCOMPARE(fault.value(QStringLiteral("count")).toInt(), 1);
    QVERIFY(fault.value(QStringLiteral("complete")).toBool());
    QCOMPARE(
        fault.value(QStringLiteral("records")).toArray()[0].toObject().value(u"number").toInt(), 7);
    QCOMPARE(serve.terminate(), 0);

    // The last event stays at the broker for whoever subscribes later.
    BrokerSubscriber late(broker, faultTopic);
    QVERIFY(late.waitFor(faultTopic));
    QVERIFY(late.on(faultTopic).first().retained);

    // What the drive itself says of its last fault, read directly afterwards.
    const CtlRun faults =
        CtlProcess({QStringLiteral("--port"), sim.device(), QStringLiteral("--json"),
                    QStringLiteral("faults"), QStringLiteral("1")})
            .finish();
    QVERIFY2(faults.code == 0, qPrintable(faults.err));
    const QJsonArray kept = json(faults.out).value(QStringLiteral("atLastFault")).toArray();
    const QJsonObject atFault = fault.value(QStringLiteral("at_fault")).toObject();
    QCOMPARE(kept.size(), atFault.size());
    const QStringList keys{QStringLiteral("freq-out"), QStringLiteral("freq-set"),
                           QStringLiteral("current"),  QStringLiteral("voltage"),
                           QStringLiteral("dc-bus"),   QStringLiteral("module-temp")};
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(atFault.value(keys[i]).toDouble(),
                 kept[i].toObject().value(QStringLiteral("value")).toDouble());
}

QTEST_GUILESS_MAIN(tst_servedrift)
#include "tst_servedrift.moc"
