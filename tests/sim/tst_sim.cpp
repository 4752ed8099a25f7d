// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated drives as the program sees them: every reply goes through
// Hexedit's receive path and decoder.
#include "SimRig.h"
#include "Tab.h"

#include <QTest>

class tst_sim : public QObject
{
    Q_OBJECT

private slots:
    void rampsToSetpointAndReportsIt();
    void runCommandsSetStateAndDirection_data();
    void runCommandsSetStateAndDirection();
    void stopDeceleratesToStandstill();
    void commandTimeoutStopsDrive();
    void parameterReadsGiveCatalogueDefaults_data();
    void parameterReadsGiveCatalogueDefaults();
    void everyParameterStartsWithinItsLimits();
    void parameterWriteEchoDecodesAndIsStored();
    void writesAreJudgedAgainstLimits_data();
    void writesAreJudgedAgainstLimits();
    void injectedFaultIsReportedAndRecorded();
    void faultClearsOnlyAfterStopThenRun();
    void standardReads_data();
    void standardReads();
    void onlyTheAddressedDriveAnswers();
    void broadcastRunsEveryDriveSilently();
    void addressChangeMovesTheDrive();
    void replyWaitsForDelayAndArrivesAtBaudRate();
    void sourcesDecideWhetherTheLineIsObeyed();
};

void tst_sim::rampsToSetpointAndReportsIt()
{
    SimRig rig;
    rig.command(1, 0x12, QStringLiteral("50"));
    // 10 s from 0 to 50 Hz: about half way after five seconds.
    rig.hold(1, 0x12, QStringLiteral("50"), 5);
    const auto halfway = rig.runningValue(1, 0);
    QVERIFY(halfway);
    QVERIFY2(halfway->value > 20 && halfway->value < 30,
             qPrintable(QString::number(halfway->value)));

    rig.hold(1, 0x12, QStringLiteral("50"), 7);
    const auto output = rig.runningValue(1, 0);
    QVERIFY(output);
    QCOMPARE(output->address, quint8(1));
    QCOMPARE(output->decimalCode, quint8(8));
    QCOMPARE(output->raw, quint16(5000));
    QCOMPARE(output->value, 50.0f);
    QCOMPARE(rig.drive(1).outputFrequency(), 50.0);

    const auto set = rig.runningValue(1, 1);
    QVERIFY(set);
    QCOMPARE(set->value, 50.0f);
    // Current in tenths of an ampere, as the model holds it; voltage and speed
    // in whole units at full base frequency.
    const auto current = rig.runningValue(1, 2);
    QVERIFY(current);
    QCOMPARE(current->decimalCode, quint8(4));
    QVERIFY(current->value > 0.5f);
    QCOMPARE(current->raw, quint16(std::lround(rig.drive(1).outputCurrent() * 10)));
    QCOMPARE(rig.runningValue(1, 3)->raw, quint16(380));
    QCOMPARE(rig.runningValue(1, 4)->raw, quint16(1440));
    QCOMPARE(rig.runningValue(1, 28)->value, 2.1f);

    const auto status = rig.status(1);
    QVERIFY(status);
    QVERIFY(status->running);
    QVERIFY(!status->reverse);
    QVERIFY(!status->fault);
    // The other drives were never commanded.
    QVERIFY(!rig.status(2)->running);
    QCOMPARE(rig.runningValue(2, 0)->raw, quint16(0));
}

void tst_sim::runCommandsSetStateAndDirection_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("hz");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<quint16>("frequency");

    QTest::newRow("forward 30") << 0x12 << "30" << false << quint16(3000);
    QTest::newRow("reverse 30") << 0x22 << "30" << true << quint16(3000);
    QTest::newRow("single-drive reverse") << 0x2E << "20" << true << quint16(2000);
    QTest::newRow("single-drive forward") << 0x1E << "12.5" << false << quint16(1250);
    QTest::newRow("jog forward runs at P2.19") << 0x13 << "0" << false << quint16(1000);
    QTest::newRow("jog reverse runs at P2.19") << 0x23 << "0" << true << quint16(1000);
    QTest::newRow("above the upper limit P0.06") << 0x12 << "60" << false << quint16(5000);
}

void tst_sim::runCommandsSetStateAndDirection()
{
    QFETCH(int, code);
    QFETCH(QString, hz);
    QFETCH(bool, reverse);
    QFETCH(quint16, frequency);

    SimRig rig;
    rig.hold(2, quint8(code), hz, 15);
    const auto status = rig.status(2);
    QVERIFY(status);
    QVERIFY(status->running);
    QCOMPARE(status->reverse, reverse);
    QCOMPARE(rig.drive(2).isReverse(), reverse);
    QCOMPARE(rig.runningValue(2, 0)->raw, frequency);
    QCOMPARE(rig.runningValue(2, 1)->raw, frequency);
}

void tst_sim::stopDeceleratesToStandstill()
{
    SimRig rig;
    rig.hold(1, 0x12, QStringLiteral("50"), 12);
    rig.command(1, 0x01);
    rig.pass(2000);
    // Still coming down: the drive reports that it runs until it stands.
    QVERIFY(rig.status(1)->running);
    const float falling = rig.runningValue(1, 0)->value;
    QVERIFY(falling > 30 && falling < 45);
    rig.hold(1, 0x01, QStringLiteral("0"), 9);
    QCOMPARE(rig.runningValue(1, 0)->raw, quint16(0));
    QVERIFY(!rig.status(1)->running);
}

void tst_sim::commandTimeoutStopsDrive()
{
    SimRig rig;
    rig.hold(3, 0x12, QStringLiteral("40"), 12);
    QCOMPARE(rig.runningValue(3, 0)->raw, quint16(4000));
    // Polls are no commands, yet nine seconds without one keep it running...
    for (int i = 0; i < 8; ++i) {
        rig.pass(1000);
        rig.read(3, 0x0E00);
    }
    QCOMPARE(rig.runningValue(3, 0)->raw, quint16(4000));
    // ...past P8.02 (10.0 s) it ramps down by itself and stops.
    rig.pass(3000);
    QVERIFY(rig.runningValue(3, 0)->raw < 4000);
    rig.pass(10000);
    QVERIFY(!rig.status(3)->running);
    QCOMPARE(rig.runningValue(3, 0)->raw, quint16(0));
}

void tst_sim::parameterReadsGiveCatalogueDefaults_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<quint16>("raw");

    QTest::newRow("P0.03 50.00Hz") << 0 << 3 << quint16(5000);
    QTest::newRow("P0.09 380V") << 0 << 9 << quint16(380);
    QTest::newRow("P0.14 model setting 10.0 s") << 0 << 14 << quint16(100);
    QTest::newRow("P1.02 model setting 1440 rpm") << 1 << 2 << quint16(1440);
    QTest::newRow("P1.09 reserved") << 1 << 9 << quint16(0);
    QTest::newRow("P4.13 10O% is 100") << 4 << 13 << quint16(100);
    QTest::newRow("P5.07 O.01Hz") << 5 << 7 << quint16(1);
    QTest::newRow("P1.15 20.00 above its maximum") << 1 << 15 << quint16(1000);
    QTest::newRow("P2.10 0.0S below its minimum") << 2 << 10 << quint16(1);
    QTest::newRow("P8.00 is the address") << 8 << 0 << quint16(2);
    QTest::newRow("P8.02 10.0S") << 8 << 2 << quint16(100);
    QTest::newRow("PA.07 1S") << 10 << 7 << quint16(1);
}

void tst_sim::parameterReadsGiveCatalogueDefaults()
{
    QFETCH(int, group);
    QFETCH(int, index);
    QFETCH(quint16, raw);

    SimRig rig;
    rig.read(2, quint16(group << 8 | index));
    QCOMPARE(rig.parameters.size(), 1);
    QCOMPARE(rig.parameters.first().address, quint8(2));
    QCOMPARE(rig.parameters.first().group, quint8(group));
    QCOMPARE(rig.parameters.first().index, quint8(index));
    QCOMPARE(rig.parameters.first().raw, raw);
}

void tst_sim::everyParameterStartsWithinItsLimits()
{
    // Writing back what a drive holds must always be accepted: a value it
    // starts with outside its own limits could never be restored by the user.
    SimulatedDrive drive(1);
    int checked = 0;
    for (int group = 0; group <= 10; ++group) {
        for (int index = 0; index < Tab::GroupRowCount(group); ++index) {
            if (!Tab::ParamScale(Tab::CatalogueRow(group, index)))
                continue;
            const quint16 raw = *drive.parameters().raw(group, index);
            QVERIFY2(drive.parameters().write(group, index, raw) ==
                         DriveParameters::WriteResult::Stored,
                     qPrintable(QStringLiteral("P%1.%2 = %3").arg(group).arg(index).arg(raw)));
            ++checked;
        }
    }
    QCOMPARE(checked, 192 - 17); // all but the reserved rows
}

void tst_sim::parameterWriteEchoDecodesAndIsStored()
{
    SimRig rig;
    rig.link.SlaveAddress = 1;
    rig.link.FunctionCode = 6;
    rig.link.RegisterHigh = 0;
    rig.link.RegisterLow = 3;
    rig.link.ParameterScale = 0.01;
    rig.link.RxIndex = 0;
    QVERIFY(rig.link.SendRequest(QStringLiteral("50.5")));
    rig.pass(50);
    // The echo is the request itself, which the decoder takes for a parameter reply.
    QCOMPARE(rig.parameters.size(), 1);
    QCOMPARE(rig.parameters.first().raw, quint16(5050));
    QCOMPARE(rig.drive(1).parameters().raw(0, 3), std::optional<quint16>(5050));
    rig.parameters.clear();
    rig.read(1, 0x0003);
    QCOMPARE(rig.parameters.first().raw, quint16(5050));
}

void tst_sim::writesAreJudgedAgainstLimits_data()
{
    QTest::addColumn<quint16>("reg");
    QTest::addColumn<quint16>("value");
    QTest::addColumn<int>("exception"); // 0: stored and echoed

    QTest::newRow("P0.03 50.50") << quint16(0x0003) << quint16(5050) << 0;
    QTest::newRow("P0.06 at its maximum 400.00") << quint16(0x0006) << quint16(40000) << 0;
    QTest::newRow("P0.06 above 400.00") << quint16(0x0006) << quint16(40001) << 3;
    QTest::newRow("P0.14 below 0.1") << quint16(0x000E) << quint16(0) << 3;
    QTest::newRow("P0.14 at 0.1") << quint16(0x000E) << quint16(1) << 0;
    QTest::newRow("P0.08 below 1.00") << quint16(0x0008) << quint16(99) << 3;
    QTest::newRow("P9.01 360 V") << quint16(0x0901) << quint16(360) << 0;
    QTest::newRow("P9.01 359 V") << quint16(0x0901) << quint16(359) << 3;
    QTest::newRow("P3.03 named reserved, ordinary") << quint16(0x0303) << quint16(9999) << 0;
    QTest::newRow("P1.09 reserved") << quint16(0x0109) << quint16(0) << 2;
    QTest::newRow("PA.08 reserved") << quint16(0x0A08) << quint16(0) << 2;
    QTest::newRow("P0.24 beyond group 0") << quint16(0x0018) << quint16(0) << 2;
    QTest::newRow("group 11") << quint16(0x0B00) << quint16(0) << 2;
    QTest::newRow("status register") << quint16(0x0E00) << quint16(0) << 2;
}

void tst_sim::writesAreJudgedAgainstLimits()
{
    QFETCH(quint16, reg);
    QFETCH(quint16, value);
    QFETCH(int, exception);

    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    const std::optional<quint16> before =
        port.bus().drive(1)->parameters().raw(reg >> 8, reg & 0xFF);
    const QByteArray request = frame({1, 6, reg >> 8, reg & 0xFF, value >> 8, value & 0xFF});
    const QByteArray reply = exchange(port, request);
    const std::optional<quint16> after =
        port.bus().drive(1)->parameters().raw(reg >> 8, reg & 0xFF);
    if (exception == 0) {
        QCOMPARE(reply, request);
        QCOMPARE(after, std::optional<quint16>(value));
    } else {
        QCOMPARE(reply, frame({1, 0x86, exception}));
        QCOMPARE(after, before);
    }
}

void tst_sim::injectedFaultIsReportedAndRecorded()
{
    SimRig rig;
    rig.hold(2, 0x12, QStringLiteral("50"), 12);
    rig.drive(2).trip(11);
    const auto status = rig.status(2);
    QVERIFY(status);
    QVERIFY(status->fault);
    QCOMPARE(status->faultNumber, 11);
    QVERIFY(!status->running);
    QCOMPARE(rig.runningValue(2, 0)->raw, quint16(0));
    QCOMPARE(rig.runningValue(2, 19)->raw, quint16(11));
    // What the drive did when it tripped.
    QCOMPARE(rig.runningValue(2, 22)->value, 50.0f);
    QCOMPARE(rig.runningValue(2, 23)->value, 50.0f);
    QVERIFY(rig.runningValue(2, 24)->value > 0.5f);
    QCOMPARE(rig.runningValue(2, 24)->decimalCode, quint8(4));
    QCOMPARE(rig.runningValue(2, 25)->raw, quint16(380));

    rig.drive(2).trip(4);
    QCOMPARE(rig.status(2)->faultNumber, 4);
    QCOMPARE(rig.runningValue(2, 19)->raw, quint16(4));
    QCOMPARE(rig.runningValue(2, 20)->raw, quint16(11));
    QCOMPARE(rig.runningValue(2, 21)->raw, quint16(0));
    // Tripped at standstill this time.
    QCOMPARE(rig.runningValue(2, 22)->raw, quint16(0));
    QVERIFY(!rig.status(1)->fault);
}

void tst_sim::faultClearsOnlyAfterStopThenRun()
{
    SimRig rig;
    rig.drive(1).trip(3);
    rig.hold(1, 0x12, QStringLiteral("20"), 3);
    QVERIFY(rig.status(1)->fault);
    QVERIFY(!rig.status(1)->running);
    rig.command(1, 0x01);
    QVERIFY(rig.status(1)->fault); // a stop alone does not clear it
    rig.hold(1, 0x12, QStringLiteral("20"), 6);
    const auto status = rig.status(1);
    QVERIFY(!status->fault);
    QCOMPARE(status->faultNumber, 0);
    QVERIFY(status->running);
    QCOMPARE(rig.runningValue(1, 0)->raw, quint16(2000));
    QCOMPARE(rig.runningValue(1, 19)->raw, quint16(3)); // the record stays
}

void tst_sim::standardReads_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("P0.03..P0.04") << frame({1, 3, 0x00, 0x03, 0, 2})
                                  << frame({1, 3, 4, 0x13, 0x88, 0x00,
                                            0x02}); // P0.04 = 2: set up for the line
    QTest::newRow("status word alone") << frame({2, 3, 0x0E, 0x00, 0, 1}) << frame({2, 3, 2, 0, 0});
    QTest::newRow("bus and input voltage")
        << frame({1, 3, 0x0D, 0x07, 0, 2}) << frame({1, 3, 4, 0x02, 0x19, 0x01, 0x7C});
    QTest::newRow("P8.00 of drive 3") << frame({3, 3, 0x08, 0x00, 0, 1}) << frame({3, 3, 2, 0, 3});
    QTest::newRow("runs past group 0") << frame({1, 3, 0x00, 0x17, 0, 2}) << frame({1, 0x83, 2});
    QTest::newRow("past the last running value")
        << frame({1, 3, 0x0D, 0x1C, 0, 2}) << frame({1, 0x83, 2});
    QTest::newRow("126 registers") << frame({1, 3, 0x02, 0x00, 0, 126}) << frame({1, 0x83, 3});
    QTest::newRow("one-register dialect, unknown register")
        << frame({1, 3, 0x0F, 0x00, 0, 0}) << frame({1, 0x83, 2});
    QTest::newRow("function 4") << frame({1, 4, 0x00, 0x00, 0, 1}) << frame({1, 0x84, 1});
}

void tst_sim::standardReads()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    QCOMPARE(exchange(port, request).toHex(' '), reply.toHex(' '));
}

void tst_sim::onlyTheAddressedDriveAnswers()
{
    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    QVERIFY(exchange(port, frame({4, 3, 0x0E, 0x00, 0, 0})).isEmpty());
    QByteArray badCrc = frame({1, 3, 0x0E, 0x00, 0, 0});
    badCrc[7] = char(badCrc[7] ^ 0x01);
    QVERIFY(exchange(port, badCrc).isEmpty());
    // The line recovers at once: the next good request is answered.
    const QByteArray reply = exchange(port, QByteArray::fromHex("01030E0000004722"));
    QCOMPARE(reply.size(), 10);
    QCOMPARE(reply.left(4), QByteArray::fromHex("01030E00"));
}

void tst_sim::broadcastRunsEveryDriveSilently()
{
    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    const QByteArray run = frame({0, 0x10, 0x20, 0x00, 0, 2, 4, 0, 0x12, 0x07, 0xD0});
    QVERIFY(exchange(port, run, 3000).isEmpty());
    for (SimulatedDrive* drive : port.bus().drives()) {
        QVERIFY(drive->isRunning());
        QCOMPARE(drive->setFrequency(), 20.0);
    }
    QVERIFY(exchange(port, frame({0, 6, 0x00, 0x03, 0x0F, 0xA0})).isEmpty());
    QCOMPARE(port.bus().drive(3)->parameters().raw(0, 3), std::optional<quint16>(4000));
}

void tst_sim::addressChangeMovesTheDrive()
{
    SimulatedPort port(SimulatedPort::Timing::Manual);
    port.open();
    const QByteArray move = frame({1, 6, 0x08, 0x00, 0, 7});
    QCOMPARE(exchange(port, move), move);
    QVERIFY(exchange(port, frame({1, 3, 0x0E, 0x00, 0, 0})).isEmpty());
    QCOMPARE(exchange(port, frame({7, 3, 0x08, 0x00, 0, 0})), frame({7, 3, 8, 0, 0, 7}));
    // Another drive's address or the broadcast address would leave two answering
    // or none.
    QCOMPARE(exchange(port, frame({7, 6, 0x08, 0x00, 0, 2})), frame({7, 0x86, 3}));
    QCOMPARE(exchange(port, frame({7, 6, 0x08, 0x00, 0, 0})), frame({7, 0x86, 3}));
}

void tst_sim::replyWaitsForDelayAndArrivesAtBaudRate()
{
    SimulatedPort port(SimulatedPort::Timing::Manual);
    QVERIFY(port.setSettings(QStringLiteral("9600,E,8,1"))); // 11 bits: 1.146 ms a byte
    port.open();
    port.write(QByteArray::fromHex("01030E0000004722"));
    // 8 request bytes (9.17 ms), then the 5 ms response delay of P8.03.
    port.advanceMs(14.0);
    QCOMPARE(port.bytesWaiting(), qint64(0));
    port.advanceMs(3.7); // three characters and a little later
    QCOMPARE(port.bytesWaiting(), qint64(3));
    port.advanceMs(20.0);
    QCOMPARE(port.bytesWaiting(), qint64(10));

    // A longer P8.03 holds the reply back accordingly.
    port.bus().drive(2)->parameters().force(8, 3, 200);
    port.clearInput();
    port.write(QByteArray::fromHex("02030E0000004722").left(6) +
               frame({2, 3, 0x0E, 0, 0, 0}).right(2));
    port.advanceMs(150);
    QCOMPARE(port.bytesWaiting(), qint64(0));
    port.advanceMs(100);
    QCOMPARE(port.bytesWaiting(), qint64(10));
}

// Set up for the line, a drive follows run commands and the set-point; at the
// factory's sources it answers them and does not run, and at the keypad's
// frequency source it runs at its own P0.03. Its notes say why.
void tst_sim::sourcesDecideWhetherTheLineIsObeyed()
{
    SimRig rig;
    rig.hold(1, 0x12, QStringLiteral("20"), 12);
    QCOMPARE(rig.drive(1).outputFrequency(), 20.0);
    QVERIFY(rig.drive(1).command(0x12, 2000));
    QVERIFY(rig.drive(1).takeNotes().isEmpty());

    rig.drive(2).factorySources();
    rig.hold(2, 0x12, QStringLiteral("20"), 12);
    QVERIFY(!rig.drive(2).isRunning());
    QCOMPARE(rig.drive(2).outputFrequency(), 0.0);
    QVERIFY(rig.drive(2).command(0x12, 2000)); // answered all the same
    const QStringList ignored = rig.drive(2).takeNotes();
    QVERIFY(!ignored.isEmpty());
    QVERIFY2(ignored.first().contains(QStringLiteral("P0.04 = 0")), qPrintable(ignored.first()));

    rig.drive(2).parameters().force(0, 4, 2); // runs from the line, frequency from the keypad
    rig.hold(2, 0x12, QStringLiteral("20"), 12);
    QVERIFY(rig.drive(2).isRunning());
    QCOMPARE(rig.drive(2).outputFrequency(), 50.0);
    QVERIFY(rig.drive(2).command(0x12, 2000));
    QVERIFY(rig.drive(2).takeNotes().join(u' ').contains(QStringLiteral("own frequency")));
}

QTEST_GUILESS_MAIN(tst_sim)
#include "tst_sim.moc"
