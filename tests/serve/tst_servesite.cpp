// SPDX-License-Identifier: GPL-3.0-or-later
// The service started from a site: the site's file is its configuration (the
// site's mistakes named as the site names them), its drives' names go to the
// broker, and every command the service sends or refuses is in the site's
// journal, as vfdsim's log says the drive heard it, even on a full disk.
#include "BrokerProcess.h"
#include "Journal.h"
#include "ServeCommand.h"
#include "ServeProcess.h"
#include "SimProcess.h"
#include "SiteJournal.h"
#include "SmallDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class tst_servesite : public QObject
{
    Q_OBJECT
private slots:
    void siteFileIsTheConfiguration();
    void mistakesAreNamedWithTheirLine_data();
    void mistakesAreNamedWithTheirLine();
    void commandsAreJournaledAsTheDriveHeardThem();
    void fullJournalNeverHoldsBackAStop();
};

namespace {

constexpr int kStop = 0x01;
constexpr int kForward = 0x12;

QString siteText(const QString& port, const QString& broker, const QString& more = {})
{
    return QStringLiteral("# the press hall\n"
                          "[site]\n"
                          "name = Press hall\n"
                          "technician = J. Doe\n"
                          "\n"
                          "[broker]\n"
                          "url = %2\n"
                          "client-id = hall\n"
                          "\n"
                          "[commands]\n"
                          "enabled = yes\n"
                          "rhythm = 1s\n"
                          "\n"
                          "[line a]\n"
                          "port = %1\n"
                          "drives = 1, 2\n"
                          "values = freq-set\n"
                          "interval = 200ms\n"
                          "\n"
                          "[drive a 1]\n"
                          "name = Conveyor 1\n"
                          "reference = conveyor.vfdset\n")
               .arg(port, broker) +
           more;
}

QString writeSite(const QString& folder, const QString& text)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("site.conf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return path;
}

// The commands a drive heard, each told once however often it was repeated:
// code and set-point (0.01 Hz).
QList<QPair<int, int>> commandsHeard(SimProcess& sim, int address)
{
    const QString start = QStringLiteral("%1 10 20 00 ").arg(address, 2, 16, QLatin1Char('0'));
    QList<QPair<int, int>> heard;
    for (const QString& frame : sim.traffic(QStringLiteral("<- "))) {
        if (!frame.startsWith(start, Qt::CaseInsensitive))
            continue;
        const QStringList bytes = frame.split(u' ');
        const QPair<int, int> command{bytes.value(8).toInt(nullptr, 16),
                                      (bytes.value(9) + bytes.value(10)).toInt(nullptr, 16)};
        if (heard.isEmpty() || heard.last() != command)
            heard << command;
    }
    return heard;
}

QString runCommand(const QString& command, double hz)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("command"), command},
                                  {QStringLiteral("hz"), hz},
                                  {QStringLiteral("client"), QStringLiteral("tester")}})
            .toJson(QJsonDocument::Compact));
}

// Says it again every half second until the condition holds: the first may
// come before the service has subscribed.
template <class Condition>
bool sayUntil(BrokerPublisher& to, const QString& payload, Condition done, int limitMs = 20000)
{
    QElapsedTimer since;
    return waitUntil(
        [&] {
            if (!since.isValid() || since.elapsed() > 500) {
                to.send(payload);
                since.start();
            }
            return done();
        },
        limitMs);
}

// The entries of the service that sent something to the drive, as
// (run command code, set-point) to lay beside what the drive heard.
QList<QPair<int, int>> sentOf(const QList<JournalEntry>& entries, quint8 drive)
{
    QList<QPair<int, int>> sent;
    for (const JournalEntry& e : entries) {
        if (e.tool != u"serve" || e.drive != drive || !e.result.isEmpty())
            continue;
        if (e.kind == JournalEntry::Kind::RunStopped) {
            sent << QPair<int, int>{kStop, 0};
        } else if (e.command.startsWith(QStringLiteral("forward "))) {
            const double hz = e.command.section(u' ', 1, 1).toDouble();
            sent << QPair<int, int>{kForward, qRound(hz * 100)};
        }
    }
    return sent;
}

} // namespace

// The site's file, however it is named (the file, --site before or after the
// command word, VFDCTL_SITE), gives the service its lines with their drives'
// names and the site's folder; --line picks one of its lines.
void tst_servesite::siteFileIsTheConfiguration()
{
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("hall"));
    const QString file =
        writeSite(site, siteText(QStringLiteral("SIM"), QStringLiteral("mqtt://127.0.0.1:1999"),
                                 QStringLiteral("\n[line b]\nport = SIM\ndrives = 3\n"
                                                "values = current\n")));
    const QList<QStringList> ways{
        {QStringLiteral("serve"), file},
        {QStringLiteral("serve"), QStringLiteral("--site"), site},
        {QStringLiteral("--site"), site, QStringLiteral("serve")},
    };
    for (const QStringList& words : ways) {
        QString why;
        const auto c = ServeOptions::fromArguments(words, &why);
        QVERIFY2(c, qPrintable(words.join(u' ') + u' ' + why));
        QCOMPARE(c->siteRoot, QDir(site).absolutePath());
        QCOMPARE(c->lines.size(), 2);
        QCOMPARE(c->lines[0].driveNames.value(1), QStringLiteral("Conveyor 1"));
        QVERIFY(!c->lines[0].driveNames.contains(2));
        QCOMPARE(c->brokerPort, 1999);
        QVERIFY(c->commands);
    }
    qputenv("VFDCTL_SITE", QFile::encodeName(site));
    QString why;
    auto c = ServeOptions::fromArguments(
        {QStringLiteral("serve"), QStringLiteral("--line"), QStringLiteral("b")}, &why);
    // A plain configuration named on the command line wins over the environment.
    const QString plain = dir.filePath(QStringLiteral("plain.conf"));
    {
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[line x]\nport = SIM\ndrives = 1\nvalues = current\n");
    }
    const auto other = ServeOptions::fromArguments({QStringLiteral("serve"), plain}, &why);
    qunsetenv("VFDCTL_SITE");
    QVERIFY2(c, qPrintable(why));
    QCOMPARE(c->lines.size(), 1);
    QCOMPARE(c->lines[0].name, QStringLiteral("b"));
    QCOMPARE(c->lines[0].drives, QList<quint8>{3});
    // Beside the service of line a, from the same file: another client at the broker.
    QCOMPARE(c->effectiveClientId(), QStringLiteral("hall-b"));
    QVERIFY2(other, qPrintable(why));
    QVERIFY(other->siteRoot.isEmpty());
    QCOMPARE(other->lines[0].name, QStringLiteral("x"));

    // The options change the line they name, as in a service's own file.
    c = ServeOptions::fromArguments({QStringLiteral("--site"), site, QStringLiteral("--line"),
                                     QStringLiteral("a"), QStringLiteral("serve"),
                                     QStringLiteral("--drives"), QStringLiteral("2")},
                                    &why);
    QVERIFY2(c, qPrintable(why));
    QCOMPARE(c->lines.size(), 1);
    QCOMPARE(c->lines[0].drives, QList<quint8>{2});
    QCOMPARE(c->lines[0].port, QStringLiteral("SIM"));
}

void tst_servesite::mistakesAreNamedWithTheirLine_data()
{
    QTest::addColumn<QString>("more");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("said");
    const QStringList viaSite{QStringLiteral("serve"), QStringLiteral("--site"),
                              QStringLiteral("SITE")};
    // siteText's [drive a 1] is on line 20; what is added starts on line 23.
    QTest::newRow("drive not on its line")
        << "\n[drive a 7]\nname = Press\n"
        << viaSite << "site.conf: line 24: drive 7 is not among the drives of [line a]";
    QTest::newRow("unknown key of a drive")
        << "\n[drive a 2]\nnmae = Press\n"
        << viaSite << "site.conf: line 25: \"nmae\" is not a setting of [drive a 2]";
    QTest::newRow("a name given twice")
        << "\n[drive a 2]\nname = conveyor 1\n"
        << viaSite << "site.conf: line 24: the name \"conveyor 1\" is given on line 20 already";
    QTest::newRow("the service's own key") << "\n[publish]\nevery = 5 minutes\n"
                                           << viaSite << "site.conf: line 25: every takes a time";
    QTest::newRow("a line of no site")
        << QString()
        << QStringList{QStringLiteral("--site"), QStringLiteral("SITE"), QStringLiteral("--line"),
                       QStringLiteral("c"), QStringLiteral("serve")}
        << "the site has no line \"c\" (its lines: a)";
    QTest::newRow("a site's sections in another file")
        << QString() << QStringList{QStringLiteral("serve"), QStringLiteral("SITE/other.conf")}
        << "other.conf, line 2: [site] and [drive ...] sections belong in a site's site.conf";
    QTest::newRow("site and file")
        << QString()
        << QStringList{QStringLiteral("serve"), QStringLiteral("SITE/site.conf"),
                       QStringLiteral("--site"), QStringLiteral("SITE")}
        << "give the site (--site DIR) or a configuration file";
}

// A mistake anywhere in a site's file stops the service before it starts, and
// says where: the site's sections by the site's reader, the service's by its own.
void tst_servesite::mistakesAreNamedWithTheirLine()
{
    QFETCH(QString, more);
    QFETCH(QStringList, words);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString text = siteText(QStringLiteral("SIM"), QStringLiteral("mqtt://127.0.0.1:1"));
    writeSite(dir.path(), text + more);
    {
        QFile other(dir.filePath(QStringLiteral("other.conf")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(text.toUtf8());
    }
    words.replaceInStrings(QStringLiteral("SITE"), dir.path());
    ServeProcess serve(words);
    QCOMPARE(serve.finish(), 2);
    QVERIFY2(serve.log().contains(said), qPrintable(serve.log()));
    QVERIFY(serve.log().contains(QStringLiteral("nothing started")));
}

// A command refused, one obeyed and the STOP the service sends on its own
// when the command is not renewed: each in the journal, and what the journal
// says was sent is what the drive heard, in that order.
void tst_servesite::commandsAreJournaledAsTheDriveHeardThem()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    QVERIFY(!sim.device().isEmpty());
    QTemporaryDir dir;
    writeSite(dir.path(), siteText(sim.device(), broker.url()));
    BrokerSubscriber sub(broker, QStringLiteral("vfd/#"));
    ServeProcess serve({QStringLiteral("serve"), QStringLiteral("--site"), dir.path()});

    // The site's name of drive 1 is there for whoever subscribes, kept.
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/a/1/name"), QStringLiteral("Conveyor 1")),
             qPrintable(serve.log()));
    {
        BrokerSubscriber later(broker, QStringLiteral("vfd/a/+/name"));
        QVERIFY(later.waitFor(QStringLiteral("vfd/a/1/name"), QStringLiteral("Conveyor 1")));
        QVERIFY(later.on(QStringLiteral("vfd/a/1/name")).first().retained);
    }

    BrokerPublisher run(broker, QStringLiteral("vfd/a/1/set/run"));
    auto entries = [&] { return journaled(dir.path()); };
    // Above the simulated drives' upper limit (P0.06 = 50 Hz).
    QVERIFY2(
        sayUntil(run, runCommand(QStringLiteral("fwd"), 80), [&] { return !entries().isEmpty(); }),
        qPrintable(serve.log()));
    // Said again: refused again (the log says each), journaled once.
    QVERIFY2(sayUntil(run, runCommand(QStringLiteral("fwd"), 80),
                      [&] {
                          return serve.log().count(
                                     QStringLiteral("refused a command from tester")) >= 3;
                      }),
             qPrintable(serve.log()));
    QVERIFY2(sayUntil(run, runCommand(QStringLiteral("fwd"), 20),
                      [&] {
                          return commandsHeard(sim, 1).contains(QPair<int, int>{kForward, 2000});
                      }),
             qPrintable(serve.log()));
    // Not renewed: the service stops the drive, and journals that.
    QVERIFY2(waitUntil(
                 [&] {
                     const auto heard = commandsHeard(sim, 1);
                     return !heard.isEmpty() && heard.last().first == kStop &&
                            sentOf(entries(), 1).size() == 2;
                 },
                 15000),
             qPrintable(serve.log()));
    QCOMPARE(serve.terminate(), 0);

    const QList<JournalEntry> all = entries();
    QCOMPARE(sentOf(all, 1), commandsHeard(sim, 1));
    QVERIFY(!commandsHeard(sim, 1).contains(QPair<int, int>{kForward, 8000}));
    // A refusal said again is journaled once, as a renewal that is obeyed is.
    const auto refusals = std::count_if(all.cbegin(), all.cend(), [](const JournalEntry& e) {
        return e.result.startsWith(QStringLiteral("refused"));
    });
    QCOMPARE(refusals, 1);
    const JournalEntry& refused = all.first();
    QCOMPARE(refused.kind, JournalEntry::Kind::RunStarted);
    QCOMPARE(refused.line, QStringLiteral("a"));
    QCOMPARE(refused.drive, quint8(1));
    QCOMPARE(refused.command, QStringLiteral("forward 80.00 Hz, asked by tester"));
    QVERIFY2(refused.result.startsWith(QStringLiteral("refused: ")) &&
                 refused.result.contains(QStringLiteral("P0.06 = 50.00 Hz")),
             qPrintable(refused.result));
    const JournalEntry& stop = all.last();
    QCOMPARE(stop.kind, JournalEntry::Kind::RunStopped);
    QCOMPARE(stop.command, QStringLiteral("stop, no fresh command within 1 s"));
    // Said on the broker: the journal takes what it is given.
    const auto state = sub.on(QStringLiteral("vfd/service/hall/journal"));
    QVERIFY(!state.isEmpty());
    QCOMPARE(QJsonDocument::fromJson(state.last().payload.toUtf8())
                 .object()
                 .value(QStringLiteral("written")),
             QJsonValue(true));
}

// The site on a disk that is full: the drive still hears its STOP, the
// journal's trouble is said once in the log and on the service's topic, and
// the entries that waited go in once there is room.
void tst_servesite::fullJournalNeverHoldsBackAStop()
{
    if (const QString why = BrokerProcess::missing(); !why.isEmpty())
        QSKIP(qPrintable(why));
    SmallDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    BrokerProcess broker;
    QVERIFY(broker.running());
    SimProcess sim;
    QVERIFY(!sim.device().isEmpty());
    const QString site = disk.path();
    writeSite(site, siteText(sim.device(), broker.url()));
    BrokerSubscriber sub(broker, QStringLiteral("vfd/service/hall/journal"));
    ServeProcess serve({QStringLiteral("serve"), site + QStringLiteral("/site.conf")});
    QVERIFY2(sub.waitFor(QStringLiteral("vfd/service/hall/journal")), qPrintable(serve.log()));
    QVERIFY(disk.fill());

    BrokerPublisher run(broker, QStringLiteral("vfd/a/1/set/run"));
    QVERIFY2(sayUntil(run, runCommand(QStringLiteral("fwd"), 20),
                      [&] {
                          return commandsHeard(sim, 1).contains(QPair<int, int>{kForward, 2000});
                      }),
             qPrintable(serve.log()));
    QVERIFY2(waitUntil([&] { return commandsHeard(sim, 1).last().first == kStop; }, 15000),
             qPrintable(serve.log()));
    auto notWritten = [&] {
        for (const auto& m : sub.on(QStringLiteral("vfd/service/hall/journal")))
            if (QJsonDocument::fromJson(m.payload.toUtf8())
                    .object()
                    .value(QStringLiteral("written")) == QJsonValue(false))
                return true;
        return false;
    };
    QVERIFY2(waitUntil(notWritten, 15000), qPrintable(serve.log()));
    QCOMPARE(serve.log().count(QStringLiteral("cannot be written")), 1);
    QVERIFY(journaled(site).isEmpty());

    QVERIFY(disk.free());
    QVERIFY2(waitUntil([&] { return sentOf(journaled(site), 1).size() == 2; }, 15000),
             qPrintable(serve.log()));
    QVERIFY2(waitUntil([&] { return serve.log().contains(QStringLiteral("written again")); }),
             qPrintable(serve.log()));
    QCOMPARE(sentOf(journaled(site), 1), commandsHeard(sim, 1));
    QCOMPARE(serve.terminate(), 0);
}

QTEST_GUILESS_MAIN(tst_servesite)
#include "tst_servesite.moc"
