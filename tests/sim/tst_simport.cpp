// SPDX-License-Identifier: GPL-3.0-or-later
// The ways onto the simulated line: request framing, the reply server, the
// in-process port in real time, the port the program picks by name, and the
// command line of vfdsim.
#include "BusServer.h"
#include "Hexedit.h"
#include "RequestFramer.h"
#include "SelectablePort.h"
#include "SimCommandLine.h"
#include "SimRig.h"

#include <QSignalSpy>
#include <QTest>
#include <random>

class tst_simport : public QObject
{
    Q_OBJECT

private slots:
    void framerCutsFrames_data();
    void framerCutsFrames();
    void framerForgetsTornFrameAfterSilence();
    void corruptionFlipsBitsReproducibly();
    void randomRequestsGetSoundRepliesOrNone();
    void realTimePortDeliversPacedReply();
    void closingDropsRepliesOnTheirWay();
    void selectablePortChoosesByName_data();
    void selectablePortChoosesByName();
    void selectablePortServesTheSimulatedDrives();
    void commandLine_data();
    void commandLine();
};

void tst_simport::framerCutsFrames_data()
{
    // Chunks heard a millisecond apart; an empty chunk is a quiet line.
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("frames");

    const QByteArray status = QByteArray::fromHex("01030E0000004722");
    const QByteArray run = QByteArray::fromHex("0110200000020400121388C73D");
    const QByteArray unknown = frame({1, 0x11}); // report slave id: 4 bytes
    const QByteArray quiet;
    // A read of drive 1 whose CRC is damaged and whose middle happens to be a
    // whole request of function 0x13 for drive 3.
    const QByteArray hidden = QByteArray::fromHex("0103") + frame({3, 0x13}) + QByteArray(2, 0);
    QTest::newRow("one read") << QList<QByteArray>{status} << QList<QByteArray>{status};
    QTest::newRow("read in single bytes")
        << QList<QByteArray>{status.left(1), status.mid(1, 3), status.mid(4, 3), status.right(1)}
        << QList<QByteArray>{status};
    QTest::newRow("control write then read")
        << QList<QByteArray>{run + status} << QList<QByteArray>{run, status};
    QTest::newRow("garbage before a frame")
        << QList<QByteArray>{QByteArray::fromHex("FF0755") + status} << QList<QByteArray>{};
    QTest::newRow("garbage, quiet, a frame")
        << QList<QByteArray>{QByteArray::fromHex("FF0755"), quiet, status}
        << QList<QByteArray>{status};
    QTest::newRow("bad crc, then a good frame")
        << QList<QByteArray>{status.left(7) + char(0x00) + run} << QList<QByteArray>{};
    QTest::newRow("bad crc, quiet, a good frame")
        << QList<QByteArray>{status.left(7) + char(0x00), quiet, run} << QList<QByteArray>{run};
    QTest::newRow("frame hidden in a damaged one")
        << QList<QByteArray>{hidden, status, quiet, status} << QList<QByteArray>{status};
    QTest::newRow("unknown function ends at the quiet")
        << QList<QByteArray>{unknown, quiet, status} << QList<QByteArray>{unknown, status};
    QTest::newRow("unknown function runs into a read")
        << QList<QByteArray>{unknown + status, quiet} << QList<QByteArray>{};
    QTest::newRow("half a frame waits") << QList<QByteArray>{run.left(9)} << QList<QByteArray>{};
}

void tst_simport::framerCutsFrames()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, frames);
    RequestFramer framer(50'000);
    QList<QByteArray> found;
    qint64 now = 0;
    for (const QByteArray& chunk : chunks) {
        if (chunk.isEmpty()) {
            now += 60'000;
            found += framer.flush(now);
        } else {
            found += framer.feed(chunk, now);
        }
        now += 1000;
    }
    QCOMPARE(found, frames);
}

void tst_simport::framerForgetsTornFrameAfterSilence()
{
    RequestFramer framer(50'000);
    const QByteArray status = QByteArray::fromHex("01030E0000004722");
    QVERIFY(framer.feed(status.left(5), 0).isEmpty());
    // The rest of that frame never came; a new request after a quiet line
    // must not be glued to its remains.
    const QList<QByteArray> frames = framer.feed(status, 200'000);
    QCOMPARE(frames, QList<QByteArray>{status});
    QCOMPARE(framer.takeDropped(), status.left(5));
}

void tst_simport::corruptionFlipsBitsReproducibly()
{
    auto run = [](double percent, quint32 seed) {
        SimulatedBus bus;
        ManualClock clock;
        BusServer server(bus, clock);
        server.setCorruption(percent, seed);
        QByteArray out;
        QObject::connect(&server, &BusServer::transmit,
                         [&out](const QByteArray& bytes, qint64) { out += bytes; });
        for (int i = 0; i < 20; ++i) {
            server.receive(QByteArray::fromHex("01030E0000004722"));
            clock.advanceMs(100);
            server.service();
        }
        return out;
    };
    const QByteArray clean = run(0, 1);
    QCOMPARE(clean.size(), 200);
    QCOMPARE(clean.left(10), frame({1, 3, 0x0E, 0, 0, 0, 0, 0}));

    const QByteArray all = run(100, 7);
    QCOMPARE(all.size(), clean.size());
    for (int i = 0; i < all.size(); ++i) // one bit exactly in every byte
        QCOMPARE(qPopulationCount(quint8(all[i] ^ clean[i])), 1);

    const QByteArray some = run(20, 42);
    QCOMPARE(run(20, 42), some);
    int changed = 0;
    for (int i = 0; i < some.size(); ++i)
        changed += some[i] != clean[i];
    QVERIFY(changed > 10 && changed < 90);
}

void tst_simport::randomRequestsGetSoundRepliesOrNone()
{
    // Whatever arrives with a good CRC, a drive either stays silent or answers
    // with a well-formed frame from its own address; it never reads past a
    // short request.
    SimulatedBus bus;
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(2, 18);
    std::uniform_int_distribution<int> address(0, 4);
    const int functions[] = {3, 6, 16, 4, 0x11, 0x83};
    for (int i = 0; i < 3000; ++i) {
        QByteArray body;
        body.append(char(address(random)));
        body.append(char(functions[byte(random) % 6]));
        const int extra = length(random) - 2;
        for (int k = 0; k < extra; ++k)
            body.append(char(k < 2 ? byte(random) % 16 : byte(random)));
        const QByteArray request = Hexedit::WithCrc(body);
        const std::optional<SimulatedBus::Reply> reply = bus.handle(request);
        if (!reply)
            continue;
        QVERIFY(request[0] != 0 && quint8(request[0]) <= 3);
        QVERIFY(SimulatedBus::hasValidCrc(reply->frame));
        QCOMPARE(reply->frame[0], request[0]);
        QCOMPARE(quint8(reply->frame[1]) & 0x7F, quint8(request[1]) & 0x7F);
    }
}

void tst_simport::realTimePortDeliversPacedReply()
{
    SimulatedPort port;
    QVERIFY(port.setSettings(QStringLiteral("9600,E,8,1")));
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QSignalSpy received(&port, &SerialPort::bytesReceived);
    QVERIFY(port.write(QByteArray::fromHex("01030E0000004722")));
    QByteArray reply;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (const auto b = port.readByte())
                reply.append(char(*b));
            return reply.size() >= 10;
        }(),
        3000);
    QCOMPARE(reply, frame({1, 3, 0x0E, 0, 0, 0, 0, 0}));
    // Paced byte by byte, the reply does not arrive in one lump.
    QVERIFY(received.count() > 1);
}

void tst_simport::closingDropsRepliesOnTheirWay()
{
    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    port.write(QByteArray::fromHex("01030E0000004722"));
    port.close();
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    port.advanceMs(100);
    QCOMPARE(port.bytesWaiting(), qint64(0));
    QVERIFY(!port.readByte());
    QCOMPARE(port.open(), SerialPort::OpenError::PortBusy);
    port.close();
    QVERIFY(!port.write(QByteArray::fromHex("01030E0000004722")));
}

void tst_simport::selectablePortChoosesByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("simulated");
    QTest::newRow("SIM") << "SIM" << true;
    QTest::newRow("sim") << "sim" << true;
    QTest::newRow("Sim with blanks") << " Sim " << true;
    QTest::newRow("SIM1") << "SIM1" << false;
    QTest::newRow("COM1") << "COM1" << false;
    QTest::newRow("device path") << "/dev/ttyUSB0" << false;
}

void tst_simport::selectablePortChoosesByName()
{
    QFETCH(QString, name);
    QFETCH(bool, simulated);
    QCOMPARE(SelectablePort::isSimulatorName(name), simulated);
}

void tst_simport::selectablePortServesTheSimulatedDrives()
{
    SelectablePort port;
    port.setPortName(QStringLiteral("/dev/vfdtool-no-such-port"));
    QCOMPARE(port.open(), SerialPort::OpenError::InvalidPort);
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());

    port.setPortName(QStringLiteral("SIM"));
    QVERIFY(port.setSettings(QStringLiteral("19200,N,8,1")));
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QVERIFY(port.isOpen());
    QCOMPARE(port.active(), &port.simulator());
    QCOMPARE(port.simulator().lineSettings().baudRate, 19200);
    QCOMPARE(port.open(), SerialPort::OpenError::PortBusy);

    // The program's own link, through the port it would use. The drives
    // keep their factory settings: at 19200,N,8,1 they hear only noise.
    Hexedit link(port);
    QList<StatusReply> statuses;
    QSignalSpy silent(&link, &Hexedit::answerTimedOut);
    connect(&link, &Hexedit::statusReceived, [&](const StatusReply& r) { statuses.append(r); });
    port.simulator().bus().drive(3)->trip(8);
    link.RxIndex = 0;
    QVERIFY(link.SendPollRequest(3, 0));
    QTRY_COMPARE_WITH_TIMEOUT(silent.size(), 1, 3000);
    QVERIFY(statuses.isEmpty());

    // Settings changed while open reach the simulated line.
    QVERIFY(port.setSettings(QStringLiteral("9600,E,8,1")));
    QCOMPARE(port.simulator().lineSettings().baudRate, 9600);
    QVERIFY(link.SendPollRequest(3, 0));
    QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 1, 3000);
    QVERIFY(statuses.first().fault);
    QCOMPARE(statuses.first().faultNumber, 8);
    port.close();
    QVERIFY(!port.isOpen());
    QVERIFY(!port.write(QByteArray(8, '\1')));
    QCOMPARE(port.bytesWaiting(), qint64(0));
}

void tst_simport::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");

    using O = SimCommandLine::Outcome;
    QTest::newRow("pty") << QStringList{"--pty"} << int(O::Run);
    QTest::newRow("device with everything")
        << QStringList{"--device", "/dev/ttyUSB1", "--settings", "19200,N,8,2",
                       "--drives", "1-31",         "--log",      "--corrupt",
                       "2.5",      "--seed",       "9",          "--fault",
                       "4:11",     "--trip",       "5:19",       "--no-pacing"}
        << int(O::Run);
    QTest::newRow("--port names the device") << QStringList{"--port", "/dev/ttyS0"} << int(O::Run);
    QTest::newRow("help") << QStringList{"--help"} << int(O::ShowHelp);
    QTest::newRow("neither pty nor device") << QStringList{} << int(O::Error);
    QTest::newRow("both") << QStringList{"--pty", "--device", "/dev/ttyS0"} << int(O::Error);
    QTest::newRow("unknown option") << QStringList{"--pty", "--fast"} << int(O::Error);
    QTest::newRow("bad settings") << QStringList{"--pty", "--settings", "9600,X,8,1"}
                                  << int(O::Error);
    QTest::newRow("bad drives") << QStringList{"--pty", "--drives", "0-40"} << int(O::Error);
    QTest::newRow("empty drive") << QStringList{"--pty", "--drives", "1,,2"} << int(O::Error);
    QTest::newRow("corrupt above 100") << QStringList{"--pty", "--corrupt", "150"} << int(O::Error);
    QTest::newRow("fault for a drive not served")
        << QStringList{"--pty", "--fault", "5:3"} << int(O::Error);
    QTest::newRow("fault number 0") << QStringList{"--pty", "--fault", "1:0"} << int(O::Error);
    QTest::newRow("stray argument") << QStringList{"--pty", "extra"} << int(O::Error);
    QTest::newRow("tcp") << QStringList{"--tcp", "1502"} << int(O::Run);
    QTest::newRow("tcp and pty") << QStringList{"--tcp", "0", "--pty"} << int(O::Error);
    QTest::newRow("tcp port too high") << QStringList{"--tcp", "65536"} << int(O::Error);
    QTest::newRow("tcp port not a number") << QStringList{"--tcp", "gw"} << int(O::Error);
    QTest::newRow("modbus tcp") << QStringList{"--modbus-tcp", "1502"} << int(O::Run);
    QTest::newRow("modbus tcp and tcp")
        << QStringList{"--modbus-tcp", "1502", "--tcp", "1503"} << int(O::Error);
    QTest::newRow("modbus tcp port too high")
        << QStringList{"--modbus-tcp", "70000"} << int(O::Error);
}

void tst_simport::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    SimCommandLine commandLine;
    const auto result = commandLine.parse(QStringList{"vfdsim"} + arguments);
    QCOMPARE(int(result), outcome);
    if (result == SimCommandLine::Outcome::Error)
        QVERIFY(!commandLine.errorText().isEmpty());
    if (result == SimCommandLine::Outcome::ShowHelp) // not the test's own path
        QVERIFY2(commandLine.helpText().startsWith(u"Usage: vfdsim [options]\n"),
                 qPrintable(commandLine.helpText().section(u'\n', 0, 0)));
    if (QTest::currentDataTag() == QByteArray("device with everything")) {
        const SimOptions& o = commandLine.options();
        QCOMPARE(o.device, QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(o.settings, QStringLiteral("19200,N,8,2"));
        QCOMPARE(o.drives.size(), 31);
        QVERIFY(o.log);
        QVERIFY(!o.pacing);
        QCOMPARE(o.corruptPercent, 2.5);
        QCOMPARE(o.seed, std::optional<quint32>(9));
        QCOMPARE(o.faults, (QList<QPair<quint8, int>>{{4, 11}, {5, 19}}));
    }
    if (QTest::currentDataTag() == QByteArray("tcp") ||
        QTest::currentDataTag() == QByteArray("modbus tcp")) {
        QCOMPARE(commandLine.options().tcpPort, std::optional<quint16>(1502));
        QCOMPARE(commandLine.options().modbusTcp,
                 QTest::currentDataTag() == QByteArray("modbus tcp"));
    }
}

QTEST_GUILESS_MAIN(tst_simport)
#include "tst_simport.moc"
