// SPDX-License-Identifier: GPL-3.0-or-later
// vfdsim run as its own process on a pseudo-terminal, reached through the
// kernel's serial layer: by the program's link over QSerialPort, and by an
// outside Modbus client.
#include "DevicePort.h"
#include "Hexedit.h"
#include "SimProcess.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

class tst_sime2e : public QObject
{
    Q_OBJECT

private slots:
    void linkPollsDrivesOverRealSerialPath();
    void mbpollReadsAndWritesRegisters();
    void endsCleanlyOnTerminate();
    void badOptionsFailWithMessage();
    void newGatewayClientFindsAQuietLine();
};

void tst_sime2e::linkPollsDrivesOverRealSerialPath()
{
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("2:11")}, false);
    QVERIFY2(sim.device().startsWith(u'/'), qPrintable(sim.device()));

    DevicePort port;
    port.setPortName(sim.device());
    QVERIFY(port.setSettings(QStringLiteral("9600,E,8,1")));
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    Hexedit link(port);
    QList<StatusReply> statuses;
    QList<RunningValueReply> values;
    QList<ParameterReply> parameters;
    connect(&link, &Hexedit::statusReceived, [&](const StatusReply& r) { statuses.append(r); });
    connect(&link, &Hexedit::runningValueReceived,
            [&](const RunningValueReply& r) { values.append(r); });
    connect(&link, &Hexedit::parameterReceived,
            [&](const ParameterReply& r) { parameters.append(r); });

    // Drive 2 was tripped with fault 11 at start.
    link.RxIndex = 0;
    QVERIFY(link.SendPollRequest(2, 0));
    QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 1, 3000);
    QCOMPARE(statuses.first().address, quint8(2));
    QVERIFY(statuses.first().fault);
    QCOMPARE(statuses.first().faultNumber, 11);

    // A short acceleration time for drive 1 keeps the test quick: P0.14 = 0.1 s.
    link.SlaveAddress = 1;
    link.FunctionCode = 6;
    link.RegisterHigh = 0;
    link.RegisterLow = 14;
    link.ParameterScale = 0.1;
    link.RxIndex = 0;
    QVERIFY(link.SendRequest(QStringLiteral("0.1")));
    QTRY_COMPARE_WITH_TIMEOUT(parameters.size(), 1, 3000);
    QCOMPARE(parameters.first().raw, quint16(1));

    int framesHeard = 0;
    connect(&link, &Hexedit::trafficLog, [&](const QString& text) {
        if (text == QStringLiteral("\r\n"))
            ++framesHeard;
    });
    QVERIFY(link.PrepareControlWrite(1, 0x12, QStringLiteral("30")));
    link.RxIndex = 0;
    QVERIFY(link.SendRequest());
    // A half-duplex line carries one request at a time: the drive's echo of
    // the run command comes before the next request goes.
    QTRY_COMPARE_WITH_TIMEOUT(framesHeard, 1, 3000);
    // Poll the output frequency as the main window does until the ramp is done.
    std::optional<float> frequency;
    for (int attempt = 0; attempt < 60 && frequency != 30.0f; ++attempt) {
        values.clear();
        link.RxIndex = 0;
        link.SendPollRequest(1, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!values.isEmpty(), 3000);
        QCOMPARE(values.first().index, quint8(0));
        QCOMPARE(values.first().decimalCode, quint8(8));
        frequency = values.first().value;
        QTest::qWait(20);
    }
    QCOMPARE(frequency, std::optional<float>(30.0f));

    statuses.clear();
    link.RxIndex = 0;
    link.SendPollRequest(1, 10);
    QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 1, 3000);
    QVERIFY(statuses.first().running);
    QVERIFY(!statuses.first().reverse);
    QVERIFY(!statuses.first().fault);
}

void tst_sime2e::mbpollReadsAndWritesRegisters()
{
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        QSKIP("mbpoll is not installed (scripts/deps installs it)");
    SimProcess sim({}, false);
    QVERIFY(!sim.device().isEmpty());

    // Options, then the device, then any values to write.
    auto run = [&](const QStringList& options, const QStringList& values = {}) {
        QProcess client;
        client.start(mbpoll, QStringList{"-m", "rtu", "-b", "9600", "-P", "even", "-1", "-o", "1"} +
                                 options + QStringList{sim.device()} + values);
        if (!client.waitForFinished(5000)) {
            client.kill();
            client.waitForFinished(1000);
        }
        return QString::fromLocal8Bit(client.readAllStandardOutput());
    };
    // mbpoll counts references from 1: reference 4 is P0.03, 50.00 Hz.
    QVERIFY2(
        run({"-a", "1", "-t", "4", "-r", "4", "-c", "1"}).contains(QStringLiteral("[4]: \t5000")),
        "P0.03 read");
    // Bus and mains voltage of drive 3 with register numbers as on the wire.
    const QString voltages = run({"-a", "3", "-t", "4", "-0", "-r", "3335", "-c", "2"});
    QVERIFY2(voltages.contains(QStringLiteral("[3335]: \t537")) &&
                 voltages.contains(QStringLiteral("[3336]: \t380")),
             qPrintable(voltages));
    // A write within the limits sticks; the next read sees it.
    QVERIFY(run({"-a", "2", "-t", "4", "-r", "4"}, {"3000"}).contains(QStringLiteral("Written 1")));
    QVERIFY(
        run({"-a", "2", "-t", "4", "-r", "4", "-c", "1"}).contains(QStringLiteral("[4]: \t3000")));
}

void tst_sime2e::endsCleanlyOnTerminate()
{
    SimProcess sim({}, false);
    QVERIFY(!sim.device().isEmpty());
    sim.process().terminate();
    QVERIFY(sim.process().waitForFinished(3000));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
}

// One client floods the line with bytes that make no frame and leaves; the
// next one is answered at once, not after the flood would have crossed the
// wire at 9600 baud (nearly two minutes).
void tst_sime2e::newGatewayClientFindsAQuietLine()
{
    SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0")}, false);
    const quint16 port = sim.device().section(u':', -1).toUShort();
    QVERIFY2(port != 0, qPrintable(sim.device()));
    {
        QTcpSocket flood;
        flood.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(flood.waitForConnected(3000));
        flood.write(QByteArray(100 * 1024, char(0xA5)));
        while (flood.bytesToWrite() > 0)
            QVERIFY(flood.waitForBytesWritten(3000));
        flood.disconnectFromHost();
        if (flood.state() != QAbstractSocket::UnconnectedState)
            QVERIFY(flood.waitForDisconnected(3000));
    }
    // The status of drive 1. Until the simulator has seen the first client go
    // it turns a newcomer away (closes it at once); then it lets one in.
    const QByteArray request = QByteArray::fromHex("01030E0000004722");
    QByteArray answer;
    for (int attempt = 0; attempt < 100 && answer.isEmpty(); ++attempt) {
        QTcpSocket next;
        next.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(next.waitForConnected(3000));
        next.write(request);
        const bool heard = next.waitForReadyRead(3000);
        if (!heard && next.state() != QAbstractSocket::ConnectedState) {
            QTest::qWait(20);
            continue;
        }
        QVERIFY2(heard, "the drive did not answer the client after the flood");
        answer = next.readAll();
        // The answer comes at the line's pace, not in one piece.
        while (answer.size() < 10 && next.waitForReadyRead(1000))
            answer += next.readAll();
    }
    QVERIFY2(answer.startsWith(QByteArray::fromHex("0103")), answer.toHex(' ').constData());
}

void tst_sime2e::badOptionsFailWithMessage()
{
    QProcess process;
    process.start(QStringLiteral(VFDSIM_PATH),
                  {QStringLiteral("--pty"), QStringLiteral("--drives"), QStringLiteral("0-40")});
    QVERIFY(process.waitForFinished(3000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("drive list"));

    process.start(QStringLiteral(VFDSIM_PATH),
                  {QStringLiteral("--device"), QStringLiteral("/dev/vfdsim-no-such-device")});
    QVERIFY(process.waitForFinished(3000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("cannot open"));
}

QTEST_GUILESS_MAIN(tst_sime2e)
#include "tst_sime2e.moc"
