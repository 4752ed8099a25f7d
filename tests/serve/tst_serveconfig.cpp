// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskQueue.h"
#include "ServeCommand.h"
#include "ServeConfig.h"
#include "ServeLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_serveconfig : public QObject
{
    Q_OBJECT
private slots:
    void readsAWholeFile();
    void shippedExampleStarts();
    void badFileNamesItsLine_data();
    void badFileNamesItsLine();
    void standardsNeedWhatTheyName();
    void optionsOverrideTheFile();
    void queueIsBoundedAndOutlivesARun();
    void queueSkipsACutLine();
    void queueReadsOnlyTheNewestItMayHold();
    void numbersAsTheDriveMeansThem();
};

namespace {

const char* const kPlant = R"(# two lines of the press hall
[broker]
url = mqtts://broker.plant:8884
client-id = press-hall
user = vfd
password-file = /etc/vfdctl/password
ca-file = /etc/vfdctl/ca.pem

[publish]
prefix = plant/press
every = 30s
queue-dir = /var/lib/vfdctl
queue-size = 5000

[commands]
enabled = yes
rhythm = 3s

[line hall-a]
port = /dev/ttyUSB0
drives = 1-3, 7
values = freq-out, current
interval = 500ms

[line gateway]
port = tcp://10.0.0.5:4001
settings = 19200,N,8,1
drives = 2
values = dc-bus
)";

QString write(QTemporaryDir& dir, const QString& text)
{
    const QString path = dir.filePath(QStringLiteral("serve.conf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return path;
}

QStringList topics(const DiskQueue& q)
{
    QStringList t;
    for (int i = 0; i < q.size(); ++i)
        t << q.at(i).topic;
    return t;
}

} // namespace

void tst_serveconfig::readsAWholeFile()
{
    QString why;
    const auto c = ServeConfigText::parse(QString::fromUtf8(kPlant), &why);
    QVERIFY2(c, qPrintable(why));
    QVERIFY(ServeConfigText::validate(*c, &why));
    QVERIFY(c->tls);
    QCOMPARE(c->host, QStringLiteral("broker.plant"));
    QCOMPARE(c->brokerPort, 8884);
    QCOMPARE(c->effectiveClientId(), QStringLiteral("press-hall"));
    QCOMPARE(c->prefix, QStringLiteral("plant/press"));
    QCOMPARE(c->publishEveryMs, 30000);
    QCOMPARE(c->queueLimit, 5000);
    QVERIFY(c->commands);
    QCOMPARE(c->commandRhythmMs, 3000);
    QCOMPARE(c->lines.size(), 2);
    QCOMPARE(c->lines[0].drives, (QList<quint8>{1, 2, 3, 7}));
    QCOMPARE(c->lines[0].values.size(), 2);
    QCOMPARE(c->lines[0].intervalMs, 500);
    QCOMPARE(c->lines[0].settings, QStringLiteral("9600,E,8,1"));
    QCOMPARE(c->lines[1].port, QStringLiteral("tcp://10.0.0.5:4001"));
    QCOMPARE(c->lines[1].settings, QStringLiteral("19200,N,8,1"));
    // The port given without one is the protocol's own.
    ServeConfig plain;
    QVERIFY(ServeConfigText::parseBroker(QStringLiteral("mqtt://localhost"), plain, &why));
    QCOMPARE(plain.brokerPort, 1883);
    QVERIFY(!plain.tls);
}

void tst_serveconfig::shippedExampleStarts()
{
    QString why;
    const auto c =
        ServeOptions::fromArguments({QStringLiteral("serve"), QStringLiteral(SERVE_EXAMPLE)}, &why);
    QVERIFY2(c, qPrintable(why));
    QCOMPARE(c->lines.size(), 1);
}

void tst_serveconfig::badFileNamesItsLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    QTest::newRow("setting before a section") << "url = mqtt://x\n"
                                              << "line 1: a setting before";
    QTest::newRow("unknown section") << "\n[brokers]\n"
                                     << "line 2: [brokers] is not a section";
    QTest::newRow("unknown key") << "[publish]\nprefix = a\nqueue = 5\n"
                                 << "line 3: \"queue\" is not a setting of [publish]";
    QTest::newRow("key twice") << "[line a]\nport = SIM\n# again\nport = SIM\n"
                               << "line 4: \"port\" is set twice";
    QTest::newRow("no equals") << "[line a]\nport SIM\n"
                               << "line 2: a setting is written";
    QTest::newRow("open heading") << "[line a\n"
                                  << "line 1: a section heading ends";
    QTest::newRow("section twice") << "[line a]\n[line a]\n"
                                   << "line 2: [line a] comes twice";
    QTest::newRow("wildcard in a name") << "[line a/#]\n"
                                        << "line 1: a line's name";
    QTest::newRow("wildcard in prefix") << "[publish]\nprefix = plant/+\n"
                                        << "line 2: prefix";
    // The client id is a level of the service's status topic and its last will.
    QTest::newRow("+ in client-id") << "[broker]\nclient-id = press+1\n"
                                    << "line 2: client-id \"press+1\" becomes a topic level";
    QTest::newRow("# in client-id") << "[broker]\nclient-id = #\n"
                                    << "line 2: client-id \"#\" becomes a topic level";
    QTest::newRow("bad broker") << "[broker]\nurl = http://x:1\n"
                                << "line 2: the broker";
    QTest::newRow("drive 32") << "[line a]\ndrives = 1-32\n"
                              << "line 2: drives:";
    QTest::newRow("empty drive item") << "[line a]\ndrives = 1,,2\n"
                                      << "line 2: drives:";
    QTest::newRow("unknown value") << "[line a]\nvalues = torque\n"
                                   << "line 2: values: \"torque\"";
    QTest::newRow("interval too short") << "[line a]\ninterval = 10ms\n"
                                        << "line 2: interval";
    QTest::newRow("bad settings") << "[line a]\nsettings = 9600,X,8,1\n"
                                  << "line 2: settings";
    QTest::newRow("commands neither yes nor no") << "[commands]\nenabled = on\n"
                                                 << "line 2: enabled takes yes or no";
    QTest::newRow("queue too small") << "[publish]\nqueue-size = 3\n"
                                     << "line 2: queue-size";
    // Sparkplug ids and the discovery prefix become topic levels.
    QTest::newRow("separator in a group") << "[sparkplug]\ngroup = plant/a\n"
                                          << "line 2: group takes";
    QTest::newRow("wildcard in a node") << "[sparkplug]\nnode = edge+\n"
                                        << "line 2: node takes";
    QTest::newRow("wildcard in discovery") << "[discovery]\nprefix = hub/#\n"
                                           << "line 2: prefix takes";
    QTest::newRow("no run frequency") << "[discovery]\nrun-hz = 0\n"
                                      << "line 2: run-hz";
    QTest::newRow("unknown sparkplug key") << "[sparkplug]\ngroups = a\n"
                                           << "line 2: \"groups\" is not a setting of [sparkplug]";
}

void tst_serveconfig::standardsNeedWhatTheyName()
{
    const QString line = QStringLiteral("[line a]\nport = SIM\ndrives = 1\nvalues = freq-out\n");
    QString why;
    const auto spark =
        ServeConfigText::parse(QStringLiteral("[sparkplug]\nenabled = yes\n") + line, &why);
    QVERIFY2(spark, qPrintable(why));
    QVERIFY(!ServeConfigText::validate(*spark, &why));
    QCOMPARE(why, QStringLiteral("[sparkplug] needs its group"));
    const auto hub =
        ServeConfigText::parse(QStringLiteral("[discovery]\nenabled = yes\n") + line, &why);
    QVERIFY2(hub, qPrintable(why));
    QVERIFY(!ServeConfigText::validate(*hub, &why));
    QVERIFY2(why.startsWith(QStringLiteral("[discovery] needs the prefix")), qPrintable(why));
    // Named but not enabled: nothing is asked of them.
    const auto off = ServeConfigText::parse(
        QStringLiteral("[sparkplug]\nenabled = no\n[discovery]\nrun-hz = 20\n") + line, &why);
    QVERIFY2(off && ServeConfigText::validate(*off, &why), qPrintable(why));
    QVERIFY(!off->sparkplug.enabled && !off->discovery.enabled);
}

void tst_serveconfig::badFileNamesItsLine()
{
    QFETCH(QString, text);
    QFETCH(QString, said);
    QString why;
    QVERIFY(!ServeConfigText::parse(text, &why));
    QVERIFY2(why.startsWith(said), qPrintable(why));
    // Through the command as a user meets it: the file's name and the line.
    QTemporaryDir dir;
    const QString path = write(dir, text);
    QVERIFY(!ServeOptions::fromArguments({QStringLiteral("serve"), path}, &why));
    QVERIFY2(why.startsWith(path + QStringLiteral(", ") + said), qPrintable(why));
}

void tst_serveconfig::optionsOverrideTheFile()
{
    QTemporaryDir dir;
    const QString path = write(dir, QString::fromUtf8(kPlant));
    QString why;
    // A file and options for one of its lines: the options win there only.
    auto c = ServeOptions::fromArguments(
        {QStringLiteral("--port"), QStringLiteral("SIM"), QStringLiteral("serve"), path,
         QStringLiteral("--line"), QStringLiteral("gateway"), QStringLiteral("--drives"),
         QStringLiteral("1-3"), QStringLiteral("--broker"), QStringLiteral("mqtt://127.0.0.1:1999"),
         QStringLiteral("--prefix"), QStringLiteral("test")},
        &why);
    QVERIFY2(c, qPrintable(why));
    QCOMPARE(c->lines.size(), 2);
    QCOMPARE(c->lines[1].port, QStringLiteral("SIM"));
    QCOMPARE(c->lines[1].drives, (QList<quint8>{1, 2, 3}));
    QCOMPARE(c->lines[1].settings, QStringLiteral("19200,N,8,1"));
    QCOMPARE(c->lines[0].port, QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(!c->tls);
    QCOMPARE(c->brokerPort, 1999);
    QCOMPARE(c->prefix, QStringLiteral("test"));

    // One line without any file.
    c = ServeOptions::fromArguments({QStringLiteral("--port"), QStringLiteral("SIM"),
                                     QStringLiteral("serve"), QStringLiteral("--drives"),
                                     QStringLiteral("2"), QStringLiteral("--values"),
                                     QStringLiteral("freq-out")},
                                    &why);
    QVERIFY2(c, qPrintable(why));
    QCOMPARE(c->lines.size(), 1);
    QCOMPARE(c->lines[0].name, QStringLiteral("line1"));
    // Commands stay off unless asked for.
    QVERIFY(!c->commands);

    // What is missing or wrong is named as an option, not as a line of a file.
    QVERIFY(!ServeOptions::fromArguments({QStringLiteral("--port"), QStringLiteral("SIM"),
                                          QStringLiteral("serve"), QStringLiteral("--drives"),
                                          QStringLiteral("2")},
                                         &why));
    QVERIFY2(why.contains(QStringLiteral("names no values")), qPrintable(why));
    QVERIFY(!ServeOptions::fromArguments({QStringLiteral("--port"), QStringLiteral("SIM"),
                                          QStringLiteral("serve"), QStringLiteral("--drives"),
                                          QStringLiteral("2"), QStringLiteral("--values"),
                                          QStringLiteral("torque")},
                                         &why));
    QVERIFY2(why.startsWith(QStringLiteral("values: \"torque\"")), qPrintable(why));
    QVERIFY(!ServeOptions::fromArguments(
        {QStringLiteral("--port"), QStringLiteral("SIM"), QStringLiteral("serve"),
         QStringLiteral("--drives"), QStringLiteral("1"), QStringLiteral("--values"),
         QStringLiteral("freq-out"), QStringLiteral("--client-id"), QStringLiteral("svc/+")},
        &why));
    QVERIFY2(why.startsWith(QStringLiteral("client-id \"svc/+\"")), qPrintable(why));
    QVERIFY(!ServeOptions::fromArguments(
        {QStringLiteral("serve"), QStringLiteral("--broker"), QStringLiteral("mqtt://x")}, &why));
    QVERIFY2(why.contains(QStringLiteral("no line")), qPrintable(why));
    QVERIFY(
        !ServeOptions::fromArguments({QStringLiteral("serve"), QStringLiteral("--bogus")}, &why));
    QVERIFY(!ServeOptions::fromArguments(
        {QStringLiteral("serve"), dir.filePath(QStringLiteral("missing.conf"))}, &why));
    QVERIFY2(why.contains(QStringLiteral("missing.conf")), qPrintable(why));
}

void tst_serveconfig::queueIsBoundedAndOutlivesARun()
{
    QTemporaryDir dir;
    {
        DiskQueue q(10);
        QString why;
        QVERIFY2(q.open(dir.path(), &why), qPrintable(why));
        for (int i = 0; i < 14; ++i)
            q.push({QStringLiteral("t/%1").arg(i), QByteArray::number(i), i == 3});
        // The four oldest went, counted once.
        QCOMPARE(q.size(), 10);
        QCOMPARE(q.at(0).topic, QStringLiteral("t/4"));
        QCOMPARE(q.takeDropped(), 4);
        QCOMPARE(q.takeDropped(), 0);
        q.popFront(2);
        QCOMPARE(q.at(0).topic, QStringLiteral("t/6"));
        // Killed here: no flush, what was written as it came must do.
    }
    DiskQueue again(10);
    QString why;
    QVERIFY2(again.open(dir.path(), &why), qPrintable(why));
    // Exactly what was left: neither the dropped nor the taken come back.
    QCOMPARE(again.size(), 8);
    QCOMPARE(again.at(0).topic, QStringLiteral("t/6"));
    QCOMPARE(again.at(7).topic, QStringLiteral("t/13"));
    QCOMPARE(again.at(7).payload, QByteArray("13"));
    QCOMPARE(again.takeDropped(), 0);
    // A binary payload (a Sparkplug one: any byte, no text) comes back byte for byte.
    QByteArray binary;
    for (int b = 0; b < 256; ++b)
        binary.append(char(b));
    binary.append("\xc3\x28\n\"", 4);
    {
        DiskQueue other(10);
        QTemporaryDir otherDir;
        QVERIFY(other.open(otherDir.path(), &why));
        other.push({QStringLiteral("spBv1.0/g/DDATA/n/d"), binary, false});
        DiskQueue back(10);
        QVERIFY(back.open(otherDir.path(), &why));
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.at(0).payload, binary);
    }
    again.push({QStringLiteral("t/14"), "14", false});
    again.popFront(4);
    // Taken after a flush: exactly what was left, nothing more.
    again.popFront(2);
    QVERIFY(again.flush(&why));
    DiskQueue third(10);
    QVERIFY(third.open(dir.path(), &why));
    QCOMPARE(topics(third),
             (QStringList{QStringLiteral("t/12"), QStringLiteral("t/13"), QStringLiteral("t/14")}));
    // More than it may hold (a smaller size set since): the oldest go, counted.
    DiskQueue small(2);
    QVERIFY(small.open(dir.path(), &why));
    QCOMPARE(topics(small), (QStringList{QStringLiteral("t/13"), QStringLiteral("t/14")}));
    QCOMPARE(small.takeDropped(), 1);
    // Emptied: the next run starts with nothing.
    small.popFront(2);
    DiskQueue fourth(10);
    QVERIFY(fourth.open(dir.path(), &why));
    QVERIFY(fourth.empty());
}

void tst_serveconfig::queueSkipsACutLine()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QString::fromLatin1(DiskQueue::FileName)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\"t\":\"a/0\",\"p\":\"1\"}\n{\"taken\":1}\n{\"t\":\"a/1\",\"p\":\"online\","
            "\"r\":true}\n{\"t\":\"a/2\",\"p\":\"5\"}\n{\"t\":\"a/3\",\"p");
    f.close();
    DiskQueue q(100);
    QString why;
    QVERIFY(q.open(dir.path(), &why));
    QCOMPARE(q.unreadable(), 1);
    QCOMPARE(topics(q), (QStringList{QStringLiteral("a/1"), QStringLiteral("a/2")}));
    QVERIFY(q.at(0).retain);
    QVERIFY(!q.at(1).retain);
    // A folder that cannot be made is said, not ignored.
    DiskQueue nowhere(10);
    QVERIFY(!nowhere.open(f.fileName() + QStringLiteral("/sub"), &why));
    QVERIFY(!why.isEmpty());
}

// Read with a window of the bound, a file of many runs gives exactly what
// reading it whole and cutting it would: the front moved by what was taken,
// even where that lies among readings already let go.
void tst_serveconfig::queueReadsOnlyTheNewestItMayHold()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QString::fromLatin1(DiskQueue::FileName)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3000; ++i) {
        f.write(QStringLiteral("{\"t\":\"a/%1\",\"p\":\"%1\"}\n").arg(i).toUtf8());
        if (i % 10 == 9)
            f.write(QStringLiteral("{\"taken\":%1}\n").arg(i % 70 == 69 ? 15 : 7).toUtf8());
        if (i == 1500)
            f.write("{\"t\":\"a/long\",\"p\":\"" + QByteArray(100000, 'x') + "\"}\n");
    }
    // The front moves into the newest readings, and more come.
    f.write("{\"taken\":520}\n");
    for (int i = 0; i < 40; ++i)
        f.write(QStringLiteral("{\"t\":\"b/%1\",\"p\":\"%1\"}\n").arg(i).toUtf8());
    f.close();
    int unreadable = 0;
    const std::deque<BrokerMessage> whole = DiskQueue::peek(dir.path(), &unreadable);
    // No reading is that long: the line is left out, the rest read.
    QCOMPARE(unreadable, 1);
    QVERIFY(whole.size() > 50);
    DiskQueue q(50);
    QString why;
    QVERIFY2(q.open(dir.path(), &why), qPrintable(why));
    QCOMPARE(q.size(), 50);
    for (int i = 0; i < 50; ++i)
        QCOMPARE(q.at(i).topic, whole[whole.size() - 50 + size_t(i)].topic);
    QCOMPARE(q.takeDropped(), qint64(whole.size()) - 50);
    QCOMPARE(q.unreadable(), 1);
}

void tst_serveconfig::numbersAsTheDriveMeansThem()
{
    // The drive's value in single precision, without the digits float adds.
    QCOMPARE(ServeLine::valueText(double(1234.0f * 0.01f)), QByteArray("12.34"));
    QCOMPARE(ServeLine::valueText(double(500.0f * 0.1f)), QByteArray("50"));
    QCOMPARE(ServeLine::valueText(65535.0), QByteArray("65535"));
    QCOMPARE(ServeLine::valueText(double(1.0f * 0.001f)), QByteArray("0.001"));
}

QTEST_GUILESS_MAIN(tst_serveconfig)
#include "tst_serveconfig.moc"
