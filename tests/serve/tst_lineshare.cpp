// SPDX-License-Identifier: GPL-3.0-or-later
// The service's line shared with other masters over Modbus TCP: vfdctl,
// mbpoll and plain clients reach the drives through a running service, which
// stays the line's one master (vfdsim's log), keeps its own readings going,
// refuses what the line does not allow, journals what it lets through, and
// never leaves a client hanging when it stops.
#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "Journal.h"
#include "ModbusTcpClient.h"
#include "ParamSet.h"
#include "ParamSetFile.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_lineshare : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void throughTheShareAsDirect();
    void refusedUnlessAllowed();
    void floodLeavesTheServiceItsTurns();
    void stoppedWhileAClientWaits();
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return path;
}

QString lineText(const QString& device, quint16 port, const QString& more = {})
{
    return QStringLiteral("[line a]\nport = %1\ndrives = 1-3\nvalues = freq-out\n"
                          "interval = 100ms\nshare = 127.0.0.1:%2\n")
               .arg(device)
               .arg(port) +
           more;
}

// The service, once its share is open and its line read.
std::unique_ptr<ServeProcess> startService(const QStringList& arguments)
{
    auto serve = std::make_unique<ServeProcess>(arguments);
    waitUntil(
        [&] {
            const QString log = serve->log();
            return !serve->running() || (log.contains(QStringLiteral("shared with")) &&
                                         log.contains(QStringLiteral("line a: reading")));
        },
        15000);
    return serve;
}

QString mbtcp(quint16 port)
{
    return QStringLiteral("mbtcp://127.0.0.1:%1").arg(port);
}

QByteArray pdu(const char* hex)
{
    return QByteArray::fromHex(hex);
}

bool heard(SimProcess& sim, const QString& frameStart)
{
    for (const QString& frame : sim.traffic(QStringLiteral("<- ")))
        if (frame.startsWith(frameStart, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

void tst_lineshare::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void tst_lineshare::throughTheShareAsDirect()
{
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-3")});
    QVERIFY(!sim.device().isEmpty());
    QTemporaryDir dir;
    const QString direct = dir.filePath(QStringLiteral("direct.csv"));
    const QString shared = dir.filePath(QStringLiteral("shared.csv"));
    // Read straight from the line while nobody else is its master.
    const CtlRun first = runVfdctl({QStringLiteral("--port"), sim.device(),
                                    QStringLiteral("backup"), QStringLiteral("2"), direct});
    QVERIFY2(first.code == 0, qPrintable(first.err));

    BrokerProcess broker;
    const quint16 port = freePort();
    const QString site = dir.filePath(QStringLiteral("hall"));
    QDir().mkpath(site);
    writeFile(QDir(site).filePath(QStringLiteral("site.conf")),
              QStringLiteral("[site]\nname = Hall\ntechnician = J. Doe\n[broker]\nurl = %1\n"
                             "client-id = share-test\n")
                      .arg(broker.url()) +
                  lineText(sim.device(), port, QStringLiteral("share-writes = yes\n")));
    auto serve = startService({QStringLiteral("serve"), QStringLiteral("--site"), site});
    QVERIFY2(serve->running(), qPrintable(serve->log()));

    const CtlRun backup = runVfdctl({QStringLiteral("--port"), mbtcp(port),
                                     QStringLiteral("backup"), QStringLiteral("2"), shared});
    QVERIFY2(backup.code == 0, qPrintable(backup.err));
    const auto a = ParamSetFile::Load(direct);
    const auto b = ParamSetFile::Load(shared);
    QVERIFY2(a.set && b.set, qPrintable(a.error + b.error));
    QCOMPARE(b.set->values, a.set->values);

    const CtlRun set = runVfdctl({QStringLiteral("--port"), mbtcp(port), QStringLiteral("set"),
                                  QStringLiteral("2"), QStringLiteral("P0.14=12.5")});
    QVERIFY2(set.code == 0, qPrintable(set.out + set.err));
    const CtlRun get =
        runVfdctl({QStringLiteral("--port"), mbtcp(port), QStringLiteral("-q"),
                   QStringLiteral("get"), QStringLiteral("2"), QStringLiteral("P0.14")});
    QCOMPARE(get.out.trimmed(), QStringLiteral("12.5"));
    // In the site's journal, with who asked for it.
    const QString journal = QDir(site).filePath(QStringLiteral("journal.jsonl"));
    QVERIFY(waitUntil([&] { return !Journal::read(journal).entries.isEmpty(); }, 10000));
    const JournalEntry e = Journal::read(journal).entries.first();
    QVERIFY2(e.tool.startsWith(QStringLiteral("serve, Modbus TCP client 127.0.0.1:")),
             qPrintable(e.tool));
    QCOMPARE(e.drive, quint8(2));
    QCOMPARE(e.parameter, QStringLiteral("P0.14"));
    QCOMPARE(e.asked, QStringLiteral("12.5"));
    QCOMPARE(e.outcome, JournalEntry::Outcome::Verified);
    QCOMPARE(e.before,
             std::optional<QString>(ParamCatalogue::shown(0x000E, a.set->raw(0x000E).value_or(0))));

    // mbpoll, a generic client: three registers in one standard read.
    QProcess mbpoll;
    mbpoll.start(QStringLiteral("mbpoll"),
                 {QStringLiteral("-m"), QStringLiteral("tcp"), QStringLiteral("-p"),
                  QString::number(port), QStringLiteral("-a"), QStringLiteral("2"),
                  QStringLiteral("-0"), QStringLiteral("-r"), QStringLiteral("0"),
                  QStringLiteral("-c"), QStringLiteral("3"), QStringLiteral("-1"),
                  QStringLiteral("127.0.0.1")});
    QVERIFY(waitUntil([&] { return mbpoll.state() == QProcess::NotRunning; }, 20000));
    const QString polled = QString::fromLocal8Bit(mbpoll.readAllStandardOutput());
    QCOMPARE(mbpoll.exitCode(), 0);
    for (int reg = 0; reg < 3; ++reg)
        QVERIFY2(polled.contains(QStringLiteral("[%1]: \t%2")
                                     .arg(reg)
                                     .arg(qint16(a.set->raw(quint16(reg)).value_or(0)))),
                 qPrintable(polled));

    // A drive that is not there: the gateway's "target failed to respond".
    ModbusTcpClient client;
    QVERIFY(client.connectTo(port));
    QCOMPARE(client.answer(client.read(9, 0x0E00, 0)), std::optional(pdu("830b")));
    // The dialect's single read passes as the drive answers it.
    const auto status = client.answer(client.read(2, 0x0E00, 0));
    QVERIFY(status);
    QCOMPARE(status->left(3), pdu("030e00"));

    QCOMPARE(serve->terminate(), 0);
    QVERIFY(sim.traffic(QStringLiteral("!! collision")).isEmpty());
}

void tst_lineshare::refusedUnlessAllowed()
{
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-3")});
    BrokerProcess broker;
    QTemporaryDir dir;
    const quint16 port = freePort();
    const QString config = writeFile(dir.filePath(QStringLiteral("serve.conf")),
                                     QStringLiteral("[broker]\nurl = %1\n").arg(broker.url()) +
                                         lineText(sim.device(), port));
    auto serve = startService({QStringLiteral("serve"), config});
    QVERIFY2(serve->running(), qPrintable(serve->log()));

    const CtlRun set = runVfdctl({QStringLiteral("--port"), mbtcp(port), QStringLiteral("set"),
                                  QStringLiteral("2"), QStringLiteral("P0.14=20")});
    QVERIFY(set.code != 0);
    ModbusTcpClient client;
    QVERIFY(client.connectTo(port));
    // A write and a run command: "illegal function" here, nothing on the line.
    QCOMPARE(client.answer(client.send(2, pdu("06000e00c8"))), std::optional(pdu("8601")));
    QCOMPARE(client.answer(client.send(1, pdu("10200000020400120fa0"))),
             std::optional(pdu("9001")));
    // A STOP always goes, and is answered as the drive answers it.
    QCOMPARE(client.answer(client.send(1, pdu("10200000020400010000"))),
             std::optional(pdu("1020000002")));
    QVERIFY(heard(sim, QStringLiteral("01 10 20 00 00 02 04 00 01")));
    QVERIFY(!heard(sim, QStringLiteral("02 06 00 0e")));
    QVERIFY(!heard(sim, QStringLiteral("01 10 20 00 00 02 04 00 12")));
    QVERIFY(serve->log().contains(QStringLiteral("share-writes")));
    QCOMPARE(serve->terminate(), 0);
}

void tst_lineshare::floodLeavesTheServiceItsTurns()
{
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-3")});
    BrokerProcess broker;
    QTemporaryDir dir;
    const quint16 port = freePort();
    const int turns = 3;
    const QString config = writeFile(
        dir.filePath(QStringLiteral("serve.conf")),
        QStringLiteral("[broker]\nurl = %1\n").arg(broker.url()) +
            lineText(sim.device(), port, QStringLiteral("share-turns = %1\n").arg(turns)));
    auto serve = startService({QStringLiteral("serve"), config});
    QVERIFY2(serve->running(), qPrintable(serve->log()));

    // Two connections, each with as many requests waiting as it may have.
    ModbusTcpClient one, two;
    QVERIFY(one.connectTo(port) && two.connectTo(port));
    for (int i = 0; i < 30; ++i) {
        one.read(3, 0x0000, 0);
        two.read(3, 0x0001, 0);
    }
    QVERIFY(waitUntil([&] { return one.answered() == 30 && two.answered() == 30; }, 30000));
    for (const QByteArray& answer : one.answers())
        QCOMPARE(answer.left(3), pdu("030000"));
    serve->terminate();

    // On the line, between two of the service's requests the clients had at
    // most their turns; more only where the service had nothing waiting,
    // which is where its next round begins (drive 1's status).
    const QStringList frames = sim.traffic(QStringLiteral("<- "));
    auto isClients = [](const QString& f) { return f.startsWith(QStringLiteral("03 03 00 0")); };
    const qsizetype firstClient =
        std::find_if(frames.cbegin(), frames.cend(), isClients) - frames.cbegin();
    int run = 0, services = 0, clients = 0;
    for (qsizetype i = firstClient; i < frames.size() && clients < 60; ++i) {
        if (isClients(frames[i])) {
            ++run;
            ++clients;
            continue;
        }
        if (clients < 60)
            ++services;
        if (run > turns)
            QVERIFY2(frames[i].startsWith(QStringLiteral("01 03 0e 00"), Qt::CaseInsensitive),
                     qPrintable(QStringLiteral("%1 client requests in a row before %2")
                                    .arg(run)
                                    .arg(frames[i])));
        run = 0;
    }
    QCOMPARE(clients, 60);
    // The service's readings went on meanwhile, at its share.
    QVERIFY2(services >= 60 / turns - 2, qPrintable(QString::number(services)));
    // Both connections took turns: neither was served all at once.
    QVERIFY(frames.mid(firstClient, 10).filter(QStringLiteral("03 03 00 01")).size() >= 2);
}

void tst_lineshare::stoppedWhileAClientWaits()
{
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1-3")}, false);
    BrokerProcess broker;
    QTemporaryDir dir;
    const quint16 port = freePort();
    const QString config = writeFile(dir.filePath(QStringLiteral("serve.conf")),
                                     QStringLiteral("[broker]\nurl = %1\n").arg(broker.url()) +
                                         lineText(sim.device(), port));
    auto serve = startService({QStringLiteral("serve"), config});
    QVERIFY2(serve->running(), qPrintable(serve->log()));
    ModbusTcpClient client;
    QVERIFY(client.connectTo(port));
    // Reads of a drive that never answers: each waits out its time-out.
    QList<quint16> waiting;
    for (int i = 0; i < 25; ++i)
        waiting << client.read(9, 0x0E00, 0);
    QVERIFY(client.answer(waiting.first()));
    QCOMPARE(serve->terminate(), 0);
    // Every request has its answer, or the connection is closed: nobody waits on.
    QVERIFY(
        waitUntil([&] { return client.closed() || client.answered() == waiting.size(); }, 10000));
    QVERIFY(waitUntil([&] { return client.closed(); }, 10000));
    for (const QByteArray& answer : client.answers())
        QVERIFY2(answer == pdu("830b") || answer == pdu("830a"), answer.toHex().constData());
}

QTEST_GUILESS_MAIN(tst_lineshare)
#include "tst_lineshare.moc"
