// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's timers send: the poll schedule and the run commands.
#include "Frames.h"
#include "LinkBench.h"

#include <QtTest>

namespace {

bool sent(Hexedit::CommandOutcome outcome)
{
    return outcome == Hexedit::CommandOutcome::Sent;
}

using Bench = LinkBench;

} // namespace

class tst_sequencing : public QObject
{
    Q_OBJECT

private slots:
    void pollSchedule();
    void pollRequest_data();
    void pollRequest();
    void pendingCommand_data();
    void pendingCommand();
    void multiDriveCommandFollowsLastRequest();
    void noWriteReachesEveryDrive();
    void stopWithNoDriveToNameStopsEveryDrive();
    void anotherLineStartsAfresh();
};

void tst_sequencing::pollSchedule()
{
    const quint16 table[] = {0x0E00, 0x0D00, 0x0D01, 0x0D02, 0x0D03, 0x0D04, 0x0D05,
                             0x0D06, 0x0D07, 0x0D08, 0x0E00, 0x0D00, 0x0D09, 0x0D0A,
                             0x0D0B, 0x0D0C, 0x0D0D, 0x0D0E, 0x0D00, 0x0D02, 0x0D01,
                             0x0D11, 0x0D12, 0x0E00, 0x0E00, 0x0D03, 0x0D0F, 0x0D10};
    for (int item = 0; item < Hexedit::PollItemCount; ++item)
        QCOMPARE(Hexedit::PollRegister(item, 0, 0), std::optional<quint16>(table[item]));
    QVERIFY(!Hexedit::PollRegister(28, 0, 0));
    QVERIFY(!Hexedit::PollRegister(-1, 0, 0));
}

void tst_sequencing::pollRequest_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("faultRecord");
    QTest::addColumn<int>("lastErrorValue");
    QTest::addColumn<QString>("frame");
    QTest::addRow("23, no record") << 23 << 0 << 0 << "05 03 0E 00 00 00 46 A6";
    QTest::addRow("23, second fault") << 23 << 20 << 0 << "05 03 0D 14 00 00 06 E6";
    QTest::addRow("24, no value") << 24 << 20 << 0 << "05 03 0E 00 00 00 46 A6";
    QTest::addRow("24, set frequency") << 24 << 0 << 24 << "05 03 0D 18 00 00 C6 E5";
    // Outside the schedule the register of the request before stays (0x0A0C).
    QTest::addRow("28") << 28 << 0 << 0 << "05 03 0A 0C 00 00 87 95";
    QTest::addRow("-1") << -1 << 0 << 0 << "05 03 0A 0C 00 00 87 95";
}

void tst_sequencing::pollRequest()
{
    QFETCH(int, item);
    QFETCH(int, faultRecord);
    QFETCH(int, lastErrorValue);
    QFETCH(QString, frame);
    Bench b;
    b.link.ParameterScale = 1.0;
    b.link.SlaveAddress = 31;
    b.link.FunctionCode = 6;
    b.link.RegisterHigh = 0x0A;
    b.link.RegisterLow = 0x0C;
    QVERIFY(b.link.SendRequest(QStringLiteral("1")));
    QVERIFY(b.link.SendPollRequest(5, item, faultRecord, lastErrorValue));
    QCOMPARE(hex(b.lastWritten()), frame);
}

void tst_sequencing::pendingCommand_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<bool>("single");
    QTest::addColumn<bool>("polledFirst"); // drive 5 was polled before
    QTest::addColumn<QString>("forward");
    QTest::addColumn<QString>("frame"); // empty: nothing may be sent

    const QString none;
    QTest::addRow("FWD to the polled drive") << 1 << false << true << "50"
                                             << "05 10 20 00 00 02 04 00 12 13 88 D2 0D";
    QTest::addRow("REV") << 2 << false << true << "50"
                         << "05 10 20 00 00 02 04 00 22 0B B8 D8 16";
    QTest::addRow("JOG-F") << 3 << false << true << "50"
                           << "05 10 20 00 00 02 04 00 13 00 00 8E 9B";
    QTest::addRow("JOG-R") << 4 << false << true << "50"
                           << "05 10 20 00 00 02 04 00 23 00 00 8E 94";
    QTest::addRow("STOP") << 5 << false << true << "abc"
                          << "05 10 20 00 00 02 04 00 01 00 00 2E 9E";
    QTest::addRow("FWD-S") << 6 << true << true << "50"
                           << "09 10 20 00 00 02 04 00 1E 13 88 2D 5E";
    QTest::addRow("REV-S") << 7 << true << true << "50"
                           << "09 10 20 00 00 02 04 00 2E 0B B8 27 45";
    QTest::addRow("FWD single, nothing polled") << 1 << true << false << "50"
                                                << "09 10 20 00 00 02 04 00 12 13 88 ED 5D";
    QTest::addRow("FWD-S without single") << 6 << false << true << "50" << none;
    QTest::addRow("REV-S without single") << 7 << false << true << "50" << none;
    QTest::addRow("FWD, nothing polled yet") << 1 << false << false << "50" << none;
    QTest::addRow("NONE") << 0 << true << true << "50" << none;
    QTest::addRow("8") << 8 << true << true << "50" << none;
    QTest::addRow("-1") << -1 << true << true << "50" << none;
    QTest::addRow("FWD, frequency not a number") << 1 << false << true << "abc" << none;
    QTest::addRow("FWD, frequency empty") << 1 << true << true << "" << none;
    QTest::addRow("FWD, frequency too high") << 1 << true << true << "700" << none;
}

void tst_sequencing::pendingCommand()
{
    QFETCH(int, pending);
    QFETCH(bool, single);
    QFETCH(bool, polledFirst);
    QFETCH(QString, forward);
    QFETCH(QString, frame);
    Bench b;
    if (polledFirst) {
        QVERIFY(b.link.SendPollRequest(5, 0));
        b.port.clearWritten();
    }
    const bool sent =
        b.link.SendPendingCommand(RunCommand(pending), single, 9, forward, QStringLiteral("30")) ==
        Hexedit::CommandOutcome::Sent;
    QCOMPARE(sent, !frame.isEmpty());
    QCOMPARE(b.port.written().size(), frame.isEmpty() ? 0 : 1);
    if (!frame.isEmpty())
        QCOMPARE(hex(b.lastWritten()), frame);
}

void tst_sequencing::multiDriveCommandFollowsLastRequest()
{
    Bench b;
    QVERIFY(b.link.SendPollRequest(5, 0));
    // A parameter read of drive 7 goes out after the poll; the command follows it.
    b.link.SlaveAddress = 7;
    b.link.FunctionCode = 3;
    QVERIFY(b.link.SendRequest());
    QCOMPARE(b.link.LastRequestAddress(), std::optional<quint8>(7));
    QVERIFY(sent(b.link.SendPendingCommand(RunCommand::Stop, false, 9, QString(), QString())));
    QCOMPARE(quint8(b.lastWritten()[0]), quint8(7));
    // A command that is refused does not move the address either.
    b.link.SlaveAddress = 12;
    QVERIFY(!sent(b.link.SendPendingCommand(RunCommand::Forward, false, 9, QStringLiteral("abc"),
                                            QString())));
    QVERIFY(sent(b.link.SendPendingCommand(RunCommand::Stop, false, 9, QString(), QString())));
    QCOMPARE(quint8(b.lastWritten()[0]), quint8(7));
}

void tst_sequencing::noWriteReachesEveryDrive()
{
    using Outcome = Hexedit::CommandOutcome;
    Bench b;
    // Reading address 0 is harmless (no drive answers); a sweep may start there.
    QVERIFY(b.link.SendPollRequest(0, 0));
    // A run command following that drive, or aimed at 0, would start every drive.
    QCOMPARE(
        b.link.SendPendingCommand(RunCommand::Forward, false, 9, QStringLiteral("50"), QString()),
        Outcome::NoDrive);
    QCOMPARE(b.link.SendPendingCommand(RunCommand::JogForward, true, 0, QString(), QString()),
             Outcome::NoDrive);
    // Nor does a parameter write go there.
    b.link.ParameterScale = 1.0;
    b.link.SlaveAddress = 0;
    b.link.FunctionCode = 6;
    QVERIFY(!b.link.SendRequest(QStringLiteral("10")));
    QCOMPARE(b.port.written().size(), 1);
    // Drive 1 is commanded as ever.
    QVERIFY(sent(b.link.SendPendingCommand(RunCommand::Stop, true, 1, QString(), QString())));
    QCOMPARE(hex(b.lastWritten()), QStringLiteral("01 10 20 00 00 02 04 00 01 00 00 3B AE"));
}

void tst_sequencing::stopWithNoDriveToNameStopsEveryDrive()
{
    using Outcome = Hexedit::CommandOutcome;
    const QString broadcastStop = hex(withCrc(QByteArray::fromHex("0010200000020400010000")));
    // "Single Machine" on address 0.
    Bench single;
    QCOMPARE(single.link.SendPendingCommand(RunCommand::Stop, true, 0, QString(), QString()),
             Outcome::SentToEveryDrive);
    QCOMPARE(hex(single.lastWritten()), broadcastStop);
    // A sweep that has not polled yet, and the same after the line was reopened.
    Bench multi;
    QCOMPARE(multi.link.SendPendingCommand(RunCommand::Stop, false, 9, QString(), QString()),
             Outcome::SentToEveryDrive);
    QVERIFY(multi.link.SendPollRequest(4, 0));
    multi.link.ResetLine();
    QCOMPARE(multi.link.SendPendingCommand(RunCommand::Stop, false, 9, QString(), QString()),
             Outcome::SentToEveryDrive);
    QCOMPARE(multi.port.written().size(), 3);
    QCOMPARE(hex(multi.lastWritten()), broadcastStop);
}

void tst_sequencing::anotherLineStartsAfresh()
{
    Bench b;
    QVERIFY(b.link.SendPollRequest(3, 0));
    b.link.ResetLine(); // the port was closed, perhaps for another one
    QVERIFY(!b.link.LastRequestAddress());
    QVERIFY(!sent(
        b.link.SendPendingCommand(RunCommand::Forward, false, 9, QStringLiteral("50"), QString())));
    QCOMPARE(b.port.written().size(), 1);
}

QTEST_GUILESS_MAIN(tst_sequencing)
#include "tst_sequencing.moc"
