// SPDX-License-Identifier: GPL-3.0-or-later
// A line's share keys, who may connect, and what a client may ask of a drive.
#include "ServeConfig.h"
#include "ShareRules.h"

#include <QTest>

class tst_shareconfig : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void clientsAdmitted();
    void writesChecked();
    void commandsChecked();
};

namespace {

const QString kBase = QStringLiteral("[line a]\nport = SIM\ndrives = 1-3\nvalues = freq-out\n");

} // namespace

void tst_shareconfig::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem"); // empty: taken
    QTest::newRow("ipv4") << "share = 127.0.0.1:1502"
                          << "";
    QTest::newRow("any") << "share = 0.0.0.0:502"
                         << "";
    QTest::newRow("ipv6") << "share = [::1]:1502"
                          << "";
    QTest::newRow("name, not address") << "share = localhost:1502"
                                       << "ADDRESS:PORT";
    QTest::newRow("no port") << "share = 127.0.0.1"
                             << "ADDRESS:PORT";
    QTest::newRow("port 0") << "share = 127.0.0.1:0"
                            << "ADDRESS:PORT";
    QTest::newRow("port too big") << "share = 127.0.0.1:70000"
                                  << "ADDRESS:PORT";
    QTest::newRow("clients") << "share-clients = 10.0.0.5, 192.168.1.0/24, loopback"
                             << "";
    QTest::newRow("client typo") << "share-clients = 10.0.0.300"
                                 << "no address or subnet";
    QTest::newRow("writes maybe") << "share-writes = maybe"
                                  << "yes or no";
    QTest::newRow("include") << "share-include = address, line"
                             << "";
    QTest::newRow("include other") << "share-include = speed"
                                   << "address, line";
    QTest::newRow("turns 0") << "share-turns = 0"
                             << "1 to 100";
    QTest::newRow("unknown share key") << "share-everything = yes"
                                       << "not a setting";
}

void tst_shareconfig::keys()
{
    QFETCH(QString, text);
    QFETCH(QString, problem);
    QString error;
    const auto config = ServeConfigText::parse(kBase + text + u'\n', &error);
    if (problem.isEmpty()) {
        QVERIFY2(config, qPrintable(error));
        return;
    }
    QVERIFY(!config);
    // The line of the file is named with the problem.
    QVERIFY2(error.startsWith(QStringLiteral("line 5: ")) && error.contains(problem),
             qPrintable(error));
}

void tst_shareconfig::clientsAdmitted()
{
    // Off and loopback-only unless the file says otherwise.
    auto config = ServeConfigText::parse(kBase, nullptr);
    QVERIFY(config);
    LineShareConfig share = config->lines.first().share;
    QVERIFY(!share.enabled());
    QVERIFY(!share.writes && !share.commands);
    QVERIFY(share.admits(QHostAddress(QStringLiteral("127.0.0.1"))));
    QVERIFY(share.admits(QHostAddress(QStringLiteral("::ffff:127.0.0.1"))));
    QVERIFY(share.admits(QHostAddress::LocalHostIPv6));
    QVERIFY(!share.admits(QHostAddress(QStringLiteral("192.168.1.7"))));

    config = ServeConfigText::parse(
        kBase + QStringLiteral("share = 0.0.0.0:1502\nshare-clients = 192.168.1.0/24, 10.0.0.5\n"),
        nullptr);
    QVERIFY(config);
    share = config->lines.first().share;
    QVERIFY(share.enabled());
    QVERIFY(share.admits(QHostAddress(QStringLiteral("192.168.1.7"))));
    QVERIFY(share.admits(QHostAddress(QStringLiteral("::ffff:10.0.0.5"))));
    QVERIFY(!share.admits(QHostAddress(QStringLiteral("10.0.0.6"))));
    // Named, loopback is one client like the others: not let in besides.
    QVERIFY(!share.admits(QHostAddress(QStringLiteral("127.0.0.1"))));

    // Two lines cannot listen at one address.
    QString error;
    const QString two = kBase + QStringLiteral("share = 127.0.0.1:1502\n[line b]\nport = SIM\n"
                                               "drives = 4\nvalues = freq-out\n"
                                               "share = 127.0.0.1:1502\n");
    config = ServeConfigText::parse(two, &error);
    QVERIFY(config);
    QVERIFY(!ServeConfigText::validate(*config, &error));
    QVERIFY2(error.contains(QStringLiteral("127.0.0.1:1502")), qPrintable(error));
}

void tst_shareconfig::writesChecked()
{
    using namespace ShareRules;
    LineShareConfig share;
    const DriveView stopped{true, false};
    const quint16 accel = 0x000E; // P0.14, 0.1 s
    auto code = [&](quint8 unit, const DriveView& drive, quint16 reg, quint16 raw) {
        const auto refusal = parameterWrite(share, unit, drive, reg, raw);
        return refusal ? int(refusal->exception) : 0;
    };
    QCOMPARE(code(2, stopped, accel, 125), int(IllegalFunction)); // writes off
    share.writes = true;
    QCOMPARE(code(2, stopped, accel, 125), 0);
    QCOMPARE(code(0, stopped, accel, 125), int(IllegalFunction)); // every drive at once
    QCOMPARE(code(9, DriveView{false, false}, accel, 125), int(PathUnavailable));
    QCOMPARE(code(2, stopped, 0x0D00, 1), int(IllegalAddress)); // a running value
    QCOMPARE(code(2, stopped, accel, 60000), int(IllegalValue));
    QCOMPARE(code(2, DriveView{true, true}, accel, 125), int(DeviceBusy));
    QCOMPARE(code(2, DriveView{true, std::nullopt}, accel, 125), int(TargetSilent));
    // The drive's address and line settings only when the line names them.
    QCOMPARE(code(2, stopped, 0x0800, 5), int(IllegalFunction));
    QCOMPARE(code(2, stopped, 0x0801, 1), int(IllegalFunction));
    share.include = {0x0800};
    QCOMPARE(code(2, stopped, 0x0800, 5), 0);
    QCOMPARE(code(2, stopped, 0x0801, 1), int(IllegalFunction));
}

void tst_shareconfig::commandsChecked()
{
    using namespace ShareRules;
    LineShareConfig share;
    const DriveView drive{true, false};
    // A STOP goes whatever the line allows, to one drive or to all.
    QVERIFY(!runCommand(share, 2, drive, 0x01));
    QVERIFY(!runCommand(share, 0, DriveView{}, 0x01));
    QCOMPARE(runCommand(share, 2, drive, 0x12)->exception, IllegalFunction);
    share.commands = true;
    QVERIFY(!runCommand(share, 2, drive, 0x12));
    QCOMPARE(runCommand(share, 2, drive, 0x55)->exception, IllegalValue);
    QCOMPARE(runCommand(share, 0, drive, 0x12)->exception, IllegalFunction);
    QCOMPARE(runCommand(share, 7, DriveView{false, false}, 0x22)->exception, PathUnavailable);
    // Jogs run at the drive's own jog frequency: no set-point to check.
    QVERIFY(usesSetpoint(0x12) && usesSetpoint(0x22) && !usesSetpoint(0x13));
    QVERIFY(!aboveUpperLimit(5000, 5000));
    const auto above = aboveUpperLimit(5001, 5000);
    QVERIFY(above);
    QCOMPARE(above->exception, IllegalValue);
    QVERIFY2(above->why.contains(QStringLiteral("50.01 Hz")), qPrintable(above->why));
}

QTEST_GUILESS_MAIN(tst_shareconfig)
#include "tst_shareconfig.moc"
