// SPDX-License-Identifier: GPL-3.0-or-later
// The service's run commands on a busy line: however often a client renews a
// command, one control frame of a drive's waits for the line, so the polls of
// the drives keep their turns and the newest command is the one that goes.
#include "BrokerLink.h"
#include "DiskQueue.h"
#include "LinkBench.h"
#include "ServeCommands.h"

#include <QtTest>

namespace {

QByteArray run(const char* command, double hz)
{
    return QStringLiteral("{\"command\":\"%1\",\"hz\":%2,\"client\":\"scada\"}")
        .arg(QLatin1String(command))
        .arg(hz)
        .toUtf8();
}

QString control(quint8 address, RunCommand command, quint16 setpoint)
{
    return hex(Hexedit::ControlFrame(address, Hexedit::RunCommandCode(command), setpoint));
}

// A service line of drives 1 and 2 on an in-memory line whose far end
// answers only when told, the broker never reached.
struct Service
{
    ServeConfig config;
    ServeLineConfig line;
    LinkBench bench{LinkBench::FarEnd::AnswersWhenTold};
    DiskQueue queue{100};
    std::unique_ptr<BrokerLink> broker;
    std::unique_ptr<ServeCommands> commands;

    Service()
    {
        config.commands = true;
        config.commandRhythmMs = 60000;
        line.name = QStringLiteral("line1");
        line.drives = {1, 2};
        broker = std::make_unique<BrokerLink>(config, queue);
        commands = std::make_unique<ServeCommands>(line, config, bench.link, *broker);
        // Both allow 400 Hz (P0.06), as read when the drives were first seen.
        commands->setUpperLimit(1, 40000);
        commands->setUpperLimit(2, 40000);
    }
    void take(int address, const QByteArray& payload)
    {
        commands->take(QStringLiteral("vfd/line1/%1/set/run").arg(address), payload, false);
    }
};

} // namespace

class tst_servecommands : public QObject
{
    Q_OBJECT
private slots:
    void renewalsKeepOneFrameWaiting();
    void stopSaidOftenGoesFirstAndRepeatsAtTheTick();
};

void tst_servecommands::renewalsKeepOneFrameWaiting()
{
    Service s;
    QVERIFY(s.bench.link.SendPollRequest(1, 0)); // the line is busy
    for (int i = 0; i < 100; ++i)
        s.take(1, run("fwd", 20));
    QCOMPARE(s.bench.link.WaitingRequests(), 1);
    // The drives' polls still find room, and a new frequency takes the
    // waiting frame's place instead of queueing behind it.
    for (int i = 0; i < 20; ++i)
        QVERIFY(s.bench.link.SubmitFrame(readFrame(2, 0x0E00)) != 0);
    s.take(1, run("fwd", 30));
    s.take(2, run("rev", 10));
    QCOMPARE(s.bench.link.WaitingRequests(), 22);
    passOneTimeout(s.bench.link);
    QCOMPARE(s.bench.written().last(), control(1, RunCommand::Forward, 3000));

    // Gone to the line: the tick sends it again, once.
    s.commands->tick();
    s.commands->tick();
    QCOMPARE(s.bench.link.WaitingRequests(), 22);
    for (int i = 0; i < 22; ++i)
        passOneTimeout(s.bench.link);
    const QStringList written = s.bench.written();
    QCOMPARE(written.count(control(1, RunCommand::Forward, 3000)), 2);
    QCOMPARE(written.count(control(2, RunCommand::Reverse, 1000)), 1);
    QCOMPARE(written.count(hex(readFrame(2, 0x0E00))), 20);
}

void tst_servecommands::stopSaidOftenGoesFirstAndRepeatsAtTheTick()
{
    Service s;
    s.take(1, run("fwd", 20)); // on the line at once
    QVERIFY(s.bench.link.SubmitFrame(readFrame(2, 0x0E00)) != 0);
    s.take(1, run("fwd", 25)); // waits behind the read
    for (int i = 0; i < 50; ++i)
        s.take(1, run("stop", 0));
    // The stop took the waiting run command's place, in front of the read.
    QCOMPARE(s.bench.link.WaitingRequests(), 2);
    passOneTimeout(s.bench.link);
    QCOMPARE(s.bench.written().last(), control(1, RunCommand::Stop, 0));
    passOneTimeout(s.bench.link);
    QCOMPARE(s.bench.written().last(), hex(readFrame(2, 0x0E00)));
    // Then, since it was said again after it went, all its repeats: one a
    // tick, and no more than that.
    for (int tick = 0; tick < 5; ++tick) {
        s.commands->tick();
        passOneTimeout(s.bench.link);
    }
    const QStringList written = s.bench.written();
    QCOMPARE(written.count(control(1, RunCommand::Stop, 0)), 1 + ServeCommands::StopRepeats);
    QCOMPARE(written.count(control(1, RunCommand::Forward, 2500)), 0);
    QCOMPARE(s.commands->commandOf(1), RunCommand::None);
}

QTEST_GUILESS_MAIN(tst_servecommands)
#include "tst_servecommands.moc"
