// SPDX-License-Identifier: GPL-3.0-or-later
// The settings search against simulated drives that answer only at their own
// line settings: found, offered, taken or declined, and nothing found.
//
// vfdsim on a pseudo-terminal hears every byte whatever the terminal's
// settings, so the far end here is the in-process simulated line, which
// compares the port's settings with the drives'.
#include "HealthRig.h"
#include "LineCommands.h"
#include "LineScan.h"
#include "SelectablePort.h"
#include "SettingsSearch.h"
#include "SimulatedPort.h"

struct SimBus
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {3}};
    Hexedit link{port};
    LinkClient client{link};

    explicit SimBus(const QString& driveSettings)
    {
        port.setDriveSettings(SerialSettings::parse(driveSettings));
        allowForLoad(link);
        port.open();
    }
};

class tst_settingssearch : public QObject
{
    Q_OBJECT
private slots:
    void candidatesFastestFirst();
    void findsTheDrivesSettingsAndTakesThemOnRequest();
    void nothingFoundLeavesThePortAsItWas();
    void findSettingsCommand();
    void theSimPortIsFoundAtItsDrivesSettings();
};

void tst_settingssearch::candidatesFastestFirst()
{
    const QStringList all = SettingsSearch::candidates();
    QCOMPARE(all.size(), 36);
    QCOMPARE(all.first(), QStringLiteral("38400,N,8,1"));
    QCOMPARE(all[1], QStringLiteral("38400,N,8,2"));
    QCOMPARE(all.last(), QStringLiteral("1200,E,8,2"));
    for (const QString& s : all)
        QVERIFY(SerialSettings::parse(s).has_value());
}

void tst_settingssearch::findsTheDrivesSettingsAndTakesThemOnRequest()
{
    SimBus bus(QStringLiteral("19200,O,8,1"));
    // At the port's own settings nobody answers.
    LineScan before(bus.client);
    QVERIFY(before.start(1, 4));
    QVERIFY(SimLine::waitFor(before, &LineScan::finished));
    QVERIFY(before.entries().isEmpty());

    SettingsSearch search(bus.client);
    QSignalSpy trying(&search, &SettingsSearch::trying);
    QVERIFY(search.start(1, 4));
    QVERIFY(bus.client.lineHeld());
    QVERIFY(SimLine::waitFor(search, &SettingsSearch::finished));
    QCOMPARE(search.foundSettings(), QStringLiteral("19200,O,8,1"));
    QCOMPARE(search.foundAddress(), 3);
    // Six at 38400, then N1, N2, O1 at 19200 (one more should an answer come
    // only at the next try: the setting before is confirmed then).
    QVERIFY(search.triesMade() == 9 || search.triesMade() == 10);
    QCOMPARE(trying.size(), search.triesMade());
    // Until the user takes it, the port stays at its own settings.
    QCOMPARE(bus.port.settings(), QStringLiteral("9600,E,8,1"));
    QVERIFY(!bus.client.lineHeld());
    QCOMPARE(bus.client.retries(), 1);
    QVERIFY(search.take());
    QCOMPARE(bus.port.settings(), QStringLiteral("19200,O,8,1"));
    LineScan after(bus.client);
    QVERIFY(after.start(1, 4));
    QVERIFY(SimLine::waitFor(after, &LineScan::finished));
    QCOMPARE(after.entries().size(), 1);
    QCOMPARE(after.entries()[0].address, quint8(3));
}

void tst_settingssearch::nothingFoundLeavesThePortAsItWas()
{
    // Seven data bits: no setting the search tries.
    SimBus bus(QStringLiteral("9600,E,7,1"));
    bus.port.setSettings(QStringLiteral("4800,N,8,2"));
    SettingsSearch search(bus.client);
    QSignalSpy finished(&search, &SettingsSearch::finished);
    QVERIFY(search.start(3, 3));
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toBool(), false);
    QCOMPARE(search.triesMade(), 36);
    QVERIFY(search.foundSettings().isEmpty());
    QVERIFY(!search.take());
    QCOMPARE(bus.port.settings(), QStringLiteral("4800,N,8,2"));

    // A closed port: nothing to search.
    bus.port.close();
    QVERIFY(!search.start(1, 31));
}

void tst_settingssearch::findSettingsCommand()
{
    SimBus bus(QStringLiteral("38400,E,8,2"));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(
        runFindSettingsCommand(bus.client, {QStringLiteral("--to"), QStringLiteral("x")}, out, err),
        2);
    QVERIFY(!errText.isEmpty());
    QCOMPARE(runFindSettingsCommand(bus.client,
                                    {QStringLiteral("--from"), QStringLiteral("3"),
                                     QStringLiteral("--to"), QStringLiteral("3")},
                                    out, err),
             0);
    out.flush();
    QVERIFY2(outText.startsWith(QStringLiteral("Drive 3 answers at 38400,E,8,2 (")),
             qPrintable(outText));
}

// The port a newcomer opens without hardware: whatever it was opened at,
// the search must come back with the settings the README gives its drives.
void tst_settingssearch::theSimPortIsFoundAtItsDrivesSettings()
{
    SelectablePort port;
    port.setPortName(QStringLiteral("SIM"));
    QVERIFY(port.setSettings(QStringLiteral("38400,N,8,1")));
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    Hexedit link(port);
    allowForLoad(link);
    LinkClient client(link);
    SettingsSearch search(client);
    QVERIFY(search.start(1, 3));
    QVERIFY(SimLine::waitFor(search, &SettingsSearch::finished, 60000));
    QCOMPARE(search.foundSettings(), QStringLiteral("9600,E,8,1"));
    QCOMPARE(search.foundAddress(), 1);
}

QTEST_GUILESS_MAIN(tst_settingssearch)
#include "tst_settingssearch.moc"
