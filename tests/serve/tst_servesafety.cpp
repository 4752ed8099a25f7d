// SPDX-License-Identifier: GPL-3.0-or-later
// What the service must never do, tried on the real thing: a real broker,
// vfdsim's drives (its log the witness of what reached them), vfdctl serve in
// a process of its own, told to go by real signals, and given files that are
// not files.
#include "BrokerProcess.h"
#include "ServeProcess.h"
#include "SimProcess.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

class tst_servesafety : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyEndStopsTheDrivesItRuns_data();
    void everyEndStopsTheDrivesItRuns();
    void unsafeCommandsNeverReachTheDrive();
    void inputsThatAreNoFilesAreRefused_data();
    void inputsThatAreNoFilesAreRefused();
    void oneServicePerQueueFolder();
};

namespace {

constexpr int kStop = 0x01;
constexpr int kForward = 0x12;

// The control writes a drive heard, in order, and whether it answered the last.
struct Controls
{
    QList<int> codes;
    QList<int> setpoints;
    bool lastAnswered = false;
};

Controls controlsHeard(SimProcess& sim, int address)
{
    const QString start = QStringLiteral("%1 10 20 00 ").arg(address, 2, 16, QLatin1Char('0'));
    Controls heard;
    for (const QString& line : sim.traffic(QString())) {
        const QString frame = line.mid(3);
        if (!frame.startsWith(start, Qt::CaseInsensitive))
            continue;
        if (line.startsWith(QStringLiteral("<- "))) {
            const QStringList bytes = frame.split(u' ');
            heard.codes << bytes.value(8).toInt(nullptr, 16);
            heard.setpoints << (bytes.value(9) + bytes.value(10)).toInt(nullptr, 16);
            heard.lastAnswered = false;
        } else if (line.startsWith(QStringLiteral("-> "))) {
            heard.lastAnswered = true;
        }
    }
    return heard;
}

QString runCommand(const QString& command, double hz, const QString& time = {})
{
    QJsonObject o{{QStringLiteral("command"), command},
                  {QStringLiteral("hz"), hz},
                  {QStringLiteral("client"), QStringLiteral("tester")}};
    if (!time.isEmpty())
        o.insert(QStringLiteral("time"), time);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// Says it again every second until the condition holds: the first may come
// before the service has subscribed.
template <class Condition>
bool sayUntil(BrokerPublisher& to, const QString& payload, Condition done, int limitMs = 20000)
{
    QElapsedTimer since;
    return waitUntil(
        [&] {
            if (!since.isValid() || since.elapsed() > 1000) {
                to.send(payload);
                since.start();
            }
            return done();
        },
        limitMs);
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
    return path;
}

QStringList serveArgs(const QString& port, const QString& broker, const QStringList& more)
{
    return QStringList{QStringLiteral("--port"),
                       port,
                       QStringLiteral("serve"),
                       QStringLiteral("--broker"),
                       broker,
                       QStringLiteral("--drives"),
                       QStringLiteral("1"),
                       QStringLiteral("--values"),
                       QStringLiteral("freq-set"),
                       QStringLiteral("--interval"),
                       QStringLiteral("200ms")} +
           more;
}

} // namespace

void tst_servesafety::initTestCase()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void tst_servesafety::everyEndStopsTheDrivesItRuns_data()
{
    QTest::addColumn<int>("sig");
    QTest::addColumn<int>("code");
    // 0: no signal; the reader of the log goes away.
    QTest::newRow("terminal closed (SIGHUP)") << int(SIGHUP) << 0;
    QTest::newRow("SIGQUIT") << int(SIGQUIT) << 0;
    QTest::newRow("log reader gone, SIGPIPE ignored") << 0 << 1;
}

// However the service ends while a drive runs on a broker's command, the last
// thing the drive hears is a STOP, and it is heard out before the end.
void tst_servesafety::everyEndStopsTheDrivesItRuns()
{
    QFETCH(int, sig);
    QFETCH(int, code);
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    QVERIFY(!sim.device().isEmpty());
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("log"));
    int reader = -1;
    if (sig == 0) {
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
    }
    ServeProcess serve(serveArgs(sim.device(), broker.url(),
                                 {QStringLiteral("--commands"), QStringLiteral("--rhythm"),
                                  QStringLiteral("60s")}),
                       sig == 0 ? fifo : QString());
    BrokerPublisher run(broker, QStringLiteral("vfd/line1/1/set/run"));
    QVERIFY2(sayUntil(run, runCommand(QStringLiteral("fwd"), 20),
                      [&] { return controlsHeard(sim, 1).codes.contains(kForward); }),
             qPrintable(serve.log()));

    if (sig != 0) {
        serve.signal(sig);
    } else {
        ::close(reader);
        // Whatever it says next finds nobody to read it.
        BrokerPublisher other(broker, QStringLiteral("vfd/line1/9/set/run"));
        QVERIFY(sayUntil(other, runCommand(QStringLiteral("fwd"), 20),
                         [&] { return !serve.running(); }));
    }
    QCOMPARE(serve.finish(), code);
    const Controls heard = controlsHeard(sim, 1);
    QVERIFY2(!heard.codes.isEmpty() && heard.codes.last() == kStop,
             qPrintable(sim.traffic(QString()).join(u'\n')));
    QVERIFY(heard.lastAnswered);
}

// A frequency above the drive's upper limit, a command left retained while
// the service listens, and one sent long ago never make a drive move; a fresh
// one within the limit does.
void tst_servesafety::unsafeCommandsNeverReachTheDrive()
{
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    BrokerSubscriber sub(broker, QStringLiteral("vfd/line1/1/command"));
    ServeProcess serve(serveArgs(sim.device(), broker.url(), {QStringLiteral("--commands")}));
    const QString topic = QStringLiteral("vfd/line1/1/set/run");
    auto saidOf = [&](const QString& part) {
        for (const auto& m : sub.on(QStringLiteral("vfd/line1/1/command")))
            if (m.payload.contains(part))
                return true;
        return false;
    };

    // The simulated drives allow 50 Hz (P0.06).
    BrokerPublisher run(broker, topic);
    QVERIFY2(sayUntil(run, runCommand(QStringLiteral("fwd"), 80),
                      [&] { return saidOf(QStringLiteral("P0.06 = 50.00 Hz")); }),
             qPrintable(serve.log()));
    QVERIFY(saidOf(QStringLiteral("\"result\":\"refused")));
    {
        BrokerPublisher kept(broker, topic, true);
        kept.send(runCommand(QStringLiteral("fwd"), 20));
        QVERIFY2(waitUntil([&] { return saidOf(QStringLiteral("retained")); }, 15000),
                 qPrintable(serve.log()));
    }
    {
        BrokerPublisher clear(broker, topic, true);
        clear.send(QString());
    }
    const QString longAgo =
        QDateTime::currentDateTimeUtc().addSecs(-30).toString(Qt::ISODateWithMs);
    run.send(runCommand(QStringLiteral("fwd"), 20, longAgo));
    QVERIFY2(waitUntil(
                 [&] {
                     return saidOf(QStringLiteral("a command must be fresh")) &&
                            saidOf(QStringLiteral(" ago"));
                 },
                 15000),
             qPrintable(serve.log()));
    QVERIFY2(!controlsHeard(sim, 1).codes.contains(kForward),
             qPrintable(sim.traffic(QStringLiteral("<- ")).join(u'\n')));

    // Fresh, dated now, within the limit: obeyed.
    QVERIFY(sayUntil(run,
                     runCommand(QStringLiteral("fwd"), 20,
                                QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)),
                     [&] { return controlsHeard(sim, 1).setpoints.contains(2000); }));
    QVERIFY(!controlsHeard(sim, 1).setpoints.contains(8000));
    QCOMPARE(serve.terminate(), 0);
}

void tst_servesafety::inputsThatAreNoFilesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("configuration a FIFO") << "config-fifo"
                                          << "a FIFO";
    QTest::newRow("configuration a device") << "config-device"
                                            << "a device";
    QTest::newRow("configuration a folder") << "config-folder"
                                            << "a folder";
    QTest::newRow("password-file a FIFO") << "password-fifo"
                                          << "password-file";
    QTest::newRow("ca-file a FIFO") << "ca-fifo"
                                    << "ca-file";
    QTest::newRow("ca-file no certificate") << "ca-garbage"
                                            << "ca-file";
    QTest::newRow("queue file a FIFO") << "queue-fifo"
                                       << "queue file";
}

// Each is refused at the start, with its name, instead of waiting for ever
// on a FIFO nobody writes, reading a device, or trusting the TLS library to
// say which file it could not use.
void tst_servesafety::inputsThatAreNoFilesAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    QTemporaryDir dir;
    auto fifo = [&](const QString& name) {
        const QString path = dir.filePath(name);
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
    };
    auto config = [&](const QString& broker) {
        return writeFile(dir.filePath(QStringLiteral("serve.conf")),
                         (QStringLiteral("[broker]\n") + broker +
                          QStringLiteral("\n[line a]\nport = SIM\ndrives = 1\nvalues = freq-out\n"))
                             .toUtf8());
    };
    const QString plain = QStringLiteral("url = mqtt://127.0.0.1:%1").arg(freePort());
    QString named;
    QStringList args{QStringLiteral("serve")};
    if (kind == u"config-fifo") {
        named = fifo(QStringLiteral("serve.conf"));
    } else if (kind == u"config-device") {
        // A copy of /dev/null.
        named = dir.filePath(QStringLiteral("null"));
        if (::mknod(QFile::encodeName(named).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("device nodes cannot be made here");
    } else if (kind == u"config-folder") {
        named = dir.path();
    } else if (kind == u"password-fifo") {
        named = fifo(QStringLiteral("password"));
        args << config(plain + QStringLiteral("\nuser = vfd\npassword-file = ") + named);
    } else if (kind == u"ca-fifo" || kind == u"ca-garbage") {
        named = kind == u"ca-fifo"
                    ? fifo(QStringLiteral("ca.pem"))
                    : writeFile(dir.filePath(QStringLiteral("ca.pem")), "this is no certificate\n");
        args << config(QStringLiteral("url = mqtts://127.0.0.1:%1\nca-file = ").arg(freePort()) +
                       named);
    } else if (kind == u"queue-fifo") {
        named = fifo(QStringLiteral("serve-queue.jsonl"));
        args << config(plain) << QStringLiteral("--queue-dir") << dir.path();
    }
    QVERIFY(!named.isEmpty());
    if (args.size() == 1)
        args << named;
    ServeProcess serve(args);
    QCOMPARE(serve.finish(), 2);
    QVERIFY2(serve.log().contains(named) && serve.log().contains(said), qPrintable(serve.log()));
}

// A second service given a queue folder in use is refused, naming the
// first; one killed outright leaves the folder to the next.
void tst_servesafety::oneServicePerQueueFolder()
{
    QTemporaryDir state;
    const QString broker = QStringLiteral("mqtt://127.0.0.1:%1").arg(freePort());
    auto args = [&](const QString& id) {
        return serveArgs(
            QStringLiteral("SIM"), broker,
            {QStringLiteral("--client-id"), id, QStringLiteral("--queue-dir"), state.path()});
    };
    auto reading = [](ServeProcess& p) {
        return waitUntil([&] { return p.log().contains(QStringLiteral("reading SIM")); }, 15000);
    };
    ServeProcess first(args(QStringLiteral("press-a")));
    QVERIFY2(reading(first), qPrintable(first.log()));
    ServeProcess second(args(QStringLiteral("press-b")));
    QCOMPARE(second.finish(), 2);
    QVERIFY2(second.log().contains(QStringLiteral("client id press-a")), qPrintable(second.log()));
    QVERIFY(first.running());

    first.kill();
    ServeProcess third(args(QStringLiteral("press-c")));
    QVERIFY2(reading(third), qPrintable(third.log()));
    ServeProcess fourth(args(QStringLiteral("press-d")));
    QCOMPARE(fourth.finish(), 2);
    QVERIFY2(fourth.log().contains(QStringLiteral("client id press-c")), qPrintable(fourth.log()));
    QCOMPARE(third.terminate(), 0);
}

QTEST_GUILESS_MAIN(tst_servesafety)
#include "tst_servesafety.moc"
