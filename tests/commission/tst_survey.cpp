// SPDX-License-Identifier: GPL-3.0-or-later
// What the report reads of each drive, over simulated drives in memory: the
// differences from the defaults as a drive at factory settings holds them,
// a silent drive asked once, and a cancel that ends the survey cleanly.
#include "BusLine.h"
#include "DriveSurvey.h"
#include "SimulatedDrive.h"

#include <QSignalSpy>
#include <QTest>

class tst_survey : public QObject
{
    Q_OBJECT
private slots:
    void differencesAreWhatWasChanged();
    void aSilentDriveIsAskedOnceAndCancelEnds();
};

void tst_survey::differencesAreWhatWasChanged()
{
    BusLine line;
    line.bus.drive(1)->factorySources(); // at the catalogue's defaults
    line.bus.drive(1)->trip(3);
    line.bus.drive(2)->parameters().force(0, 3, 3550); // P0.03 35.50 Hz
    DriveSurvey survey(line.client, {1, 2});
    QSignalSpy finished(&survey, &DriveSurvey::finished);
    survey.start();
    QVERIFY(line.runUntil([&] { return finished.size() == 1; }));
    const QList<DriveRecord>& records = survey.records();
    QCOMPARE(records.size(), 2);

    // Drive 1 was never changed: nothing differs, not even the parameters
    // whose catalogue default lies outside their own limits, nor those the
    // drive model sets.
    const DriveRecord& one = records[0];
    QVERIFY(one.answered && one.setComplete);
    QVERIFY2(one.differences().isEmpty(),
             qPrintable(ParamCatalogue::number(one.differences().value(0).reg)));
    // Drive Parameters compares with the same defaults: nothing there either.
    QCOMPARE(CompareSets(one.parameters, ParamSet::defaults()).size(), 0);
    // What the model sets is listed, not compared: P0.14, the acceleration
    // time, is among it with the value the drive holds.
    QVERIFY(one.setOnSite().contains(quint16(0x000E)));
    QCOMPARE(ParamCatalogue::shown(0x000E, *one.parameters.raw(0x000E)), QStringLiteral("10"));
    QCOMPARE(one.readiness.ready(), false);
    QVERIFY(one.fault);
    QCOMPARE(one.faultNumber, 3);
    QCOMPARE(one.faultRecords[0], std::optional<int>(3));
    QVERIFY(one.edition.has_value());

    // Drive 2: set up for the line, its own address and the frequency changed.
    QStringList changed;
    for (const ParamDifference& d : records[1].differences())
        changed << ParamCatalogue::number(d.reg);
    QCOMPARE(changed, (QStringList{QStringLiteral("P0.01"), QStringLiteral("P0.03"),
                                   QStringLiteral("P0.04"), QStringLiteral("P8.00")}));
    QVERIFY(records[1].readiness.ready());
    QCOMPARE(DefaultText(0x0003), QStringLiteral("50 Hz"));
}

void tst_survey::aSilentDriveIsAskedOnceAndCancelEnds()
{
    BusLine line;
    DriveSurvey survey(line.client, {9, 1, 2});
    QSignalSpy finished(&survey, &DriveSurvey::finished);
    survey.start();
    // Drive 9 does not answer its status; drive 1 is being read when the
    // user cancels.
    QVERIFY(line.runUntil([&] {
        return std::count_if(line.requests.cbegin(), line.requests.cend(),
                             [](const QByteArray& r) { return quint8(r[0]) == 1; }) > 20;
    }));
    survey.cancel();
    QVERIFY(line.runUntil([&] { return finished.size() == 1; }));
    int toNine = 0;
    for (const QByteArray& r : line.requests)
        toNine += quint8(r[0]) == 9;
    QCOMPARE(toNine, 1 + line.client.retries()); // the status, and its retries
    QVERIFY(survey.cancelled());
    QCOMPARE(survey.records().size(), 2);
    QVERIFY(!survey.records()[0].answered);
    QVERIFY(!survey.records()[1].setComplete);
    QVERIFY(!line.client.lineHeld()); // the main window may poll again
    // Nothing more goes out after the cancel.
    const qsizetype sent = line.port.written().size();
    ClientLine::settle();
    QCOMPARE(line.port.written().size(), sent);
}

QTEST_MAIN(tst_survey)
#include "tst_survey.moc"
