// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrokerProcess.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// The discovery messages a home or building automation hub reads, as a real
// broker hands them out: their topics and keys against the schema the hubs
// document, what they point at delivering, and their removal.
class tst_discovery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void announcesEachValueAndRemovesWhatLeft();
};

namespace {

// The keys the hubs document for each kind of entity (those this service
// could use), and for the device.
const QSet<QString> kCommon{"name",
                            "unique_id",
                            "object_id",
                            "availability_topic",
                            "payload_available",
                            "payload_not_available",
                            "device",
                            "icon",
                            "qos"};
const QMap<QString, QSet<QString>> kSchema{
    {"sensor",
     {"state_topic", "unit_of_measurement", "device_class", "state_class", "value_template",
      "expire_after", "force_update"}},
    {"binary_sensor",
     {"state_topic", "device_class", "value_template", "payload_on", "payload_off",
      "expire_after"}},
    {"button", {"command_topic", "payload_press", "device_class", "retain"}},
    {"switch",
     {"command_topic", "state_topic", "payload_on", "payload_off", "state_on", "state_off",
      "value_template", "optimistic", "retain"}}};
const QSet<QString> kDevice{"identifiers", "connections",  "name",
                            "model",       "manufacturer", "sw_version",
                            "hw_version",  "via_device",   "suggested_area"};
const QSet<QString> kSensorClasses{"frequency", "current", "voltage", "temperature", "speed"};
const QSet<QString> kBinaryClasses{"running", "problem"};

QString configFile(const QTemporaryDir& dir, const BrokerProcess& broker, const QString& port,
                   const QString& drives, const QString& values)
{
    const QString path = dir.filePath(QStringLiteral("serve.conf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral("[broker]\nurl = %1\nclient-id = hall\n[commands]\nenabled = yes\n"
                           "[discovery]\nenabled = yes\nprefix = hub\nrun-hz = 12.5\n"
                           "[line press]\nport = %2\ndrives = %3\nvalues = %4\n"
                           "interval = 200ms\n")
                .arg(broker.url(), port, drives, values)
                .toUtf8());
    return path;
}

// The configuration messages a broker holds retained now, by topic.
QMap<QString, QJsonObject> retainedConfigs(const BrokerProcess& broker, int atLeast)
{
    BrokerSubscriber sub(broker, QStringLiteral("hub/#"));
    waitUntil([&] { return sub.messages().size() >= atLeast; }, 10000);
    // Anything retained comes at once; a moment more for stragglers.
    QTest::qWait(300);
    QMap<QString, QJsonObject> found;
    for (const auto& m : sub.messages())
        if (m.retained && !m.payload.isEmpty())
            found.insert(m.topic, QJsonDocument::fromJson(m.payload.toUtf8()).object());
    return found;
}

// What is wrong with one message against the schema; empty when nothing.
QString schemaProblem(const QString& topic, const QJsonObject& o)
{
    const QStringList levels = topic.split(u'/');
    if (levels.size() != 5 || levels[0] != u"hub" || levels[2] != u"hall" ||
        levels[4] != u"config" || !kSchema.contains(levels[1]))
        return QStringLiteral("topic %1 is not hub/COMPONENT/NODE/OBJECT/config").arg(topic);
    const QString component = levels[1];
    for (const QString& key : o.keys())
        if (!kCommon.contains(key) && !kSchema[component].contains(key))
            return QStringLiteral("%1: %2 is no key of a %3").arg(topic, key, component);
    for (const char* key : {"name", "unique_id", "availability_topic", "device"})
        if (!o.contains(QLatin1String(key)))
            return QStringLiteral("%1 lacks %2").arg(topic, QLatin1String(key));
    const QJsonObject device = o.value(u"device").toObject();
    for (const QString& key : device.keys())
        if (!kDevice.contains(key))
            return QStringLiteral("%1: %2 is no key of a device").arg(topic, key);
    if (device.value(u"identifiers").toArray().isEmpty() ||
        device.value(u"name").toString().isEmpty() || device.value(u"model").toString() != u"drive")
        return QStringLiteral("%1: the device lacks identifiers, name or model").arg(topic);
    const QString cls = o.value(u"device_class").toString();
    if (component == u"sensor" && o.contains(u"device_class") && !kSensorClasses.contains(cls))
        return QStringLiteral("%1: %2 is no sensor class").arg(topic, cls);
    if (component == u"binary_sensor" && !kBinaryClasses.contains(cls))
        return QStringLiteral("%1: %2 is no binary sensor class").arg(topic, cls);
    if ((component == u"sensor" || component == u"binary_sensor" || component == u"switch") &&
        o.value(u"state_topic").toString().isEmpty())
        return QStringLiteral("%1 lacks its state_topic").arg(topic);
    if ((component == u"button" || component == u"switch") &&
        o.value(u"command_topic").toString().isEmpty())
        return QStringLiteral("%1 lacks its command_topic").arg(topic);
    return {};
}

} // namespace

void tst_discovery::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void tst_discovery::announcesEachValueAndRemovesWhatLeft()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim({}, false);
    BrokerSubscriber plain(broker, QStringLiteral("vfd/#"));
    QTemporaryDir dir;
    // Two drives, two values: per drive two sensors, running and fault, stop and run.
    auto serve = std::make_unique<ServeProcess>(QStringList{
        QStringLiteral("serve"), configFile(dir, broker, sim.device(), QStringLiteral("1,2"),
                                            QStringLiteral("freq-out,current"))});
    QVERIFY2(plain.waitFor(QStringLiteral("vfd/press/2/state")), qPrintable(serve->log()));
    QMap<QString, QJsonObject> configs;
    // Announced at once, then again with the software edition once it is read.
    QVERIFY2(waitUntil(
                 [&] {
                     configs = retainedConfigs(broker, 12);
                     int withEdition = 0;
                     for (const QJsonObject& o : configs)
                         withEdition += o.value(u"device").toObject().contains(u"sw_version");
                     return configs.size() == 12 && withEdition == 12;
                 },
                 20000),
             qPrintable(QStringList(configs.keys()).join(u'\n') + serve->log()));
    QSet<QString> ids;
    for (auto it = configs.cbegin(); it != configs.cend(); ++it) {
        const QString problem = schemaProblem(it.key(), it.value());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        ids.insert(it.value().value(u"unique_id").toString());
        // Each points at topics the service really publishes.
        const QString availability = it.value().value(u"availability_topic").toString();
        QVERIFY2(plain.waitFor(availability, QStringLiteral("online")), qPrintable(availability));
        if (it.key().contains(u"/sensor/"))
            QVERIFY2(plain.waitFor(it.value().value(u"state_topic").toString()),
                     qPrintable(it.key()));
    }
    QCOMPARE(ids.size(), configs.size());
    const QJsonObject freq =
        configs.value(QStringLiteral("hub/sensor/hall/press_1_freq-out/config"));
    QCOMPARE(freq.value(u"state_topic").toString(), QStringLiteral("vfd/press/1/freq-out"));
    QCOMPARE(freq.value(u"unit_of_measurement").toString(), QStringLiteral("Hz"));
    QCOMPARE(freq.value(u"device_class").toString(), QStringLiteral("frequency"));
    const QJsonObject current =
        configs.value(QStringLiteral("hub/sensor/hall/press_2_current/config"));
    QCOMPARE(current.value(u"device_class").toString(), QStringLiteral("current"));
    const QJsonObject stop = configs.value(QStringLiteral("hub/button/hall/press_1_stop/config"));
    QCOMPARE(stop.value(u"command_topic").toString(), QStringLiteral("vfd/press/1/set/run"));
    QCOMPARE(QJsonDocument::fromJson(stop.value(u"payload_press").toString().toUtf8())
                 .object()
                 .value(u"command")
                 .toString(),
             QStringLiteral("stop"));
    const QJsonObject run = configs.value(QStringLiteral("hub/switch/hall/press_2_run/config"));
    QCOMPARE(QJsonDocument::fromJson(run.value(u"payload_on").toString().toUtf8())
                 .object()
                 .value(u"hz")
                 .toDouble(),
             12.5);

    // Drive 2 and the current leave the configuration: the next start takes
    // their messages away, and only theirs.
    QCOMPARE(serve->terminate(), 0);
    BrokerSubscriber live(broker, QStringLiteral("hub/#"));
    serve = std::make_unique<ServeProcess>(QStringList{
        QStringLiteral("serve"),
        configFile(dir, broker, sim.device(), QStringLiteral("1"), QStringLiteral("freq-out"))});
    QVERIFY2(
        live.waitFor(QStringLiteral("hub/sensor/hall/press_2_freq-out/config"), QStringLiteral("")),
        qPrintable(serve->log()));
    QVERIFY(waitUntil(
        [&] {
            const QMap<QString, QJsonObject> now = retainedConfigs(broker, 5);
            return QSet<QString>(now.keyBegin(), now.keyEnd()) ==
                   QSet<QString>{QStringLiteral("hub/sensor/hall/press_1_freq-out/config"),
                                 QStringLiteral("hub/binary_sensor/hall/press_1_running/config"),
                                 QStringLiteral("hub/binary_sensor/hall/press_1_fault/config"),
                                 QStringLiteral("hub/button/hall/press_1_stop/config"),
                                 QStringLiteral("hub/switch/hall/press_1_run/config")};
        },
        20000));
    QVERIFY(serve->log().contains(u"press_2_current/config is no longer served"));
}

QTEST_GUILESS_MAIN(tst_discovery)
#include "tst_discovery.moc"
