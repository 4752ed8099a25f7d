// SPDX-License-Identifier: GPL-3.0-or-later
// The scan: which addresses answer, what they say, a damaged and a refused
// answer, a drive slower than the line's time-out, and the command-line face.
#include "ClientLine.h"
#include "HealthRig.h"
#include "LineCommands.h"
#include "LineScan.h"
#include "LineStatistics.h"
#include "Tab.h"

class tst_linescan : public QObject
{
    Q_OBJECT
private slots:
    void findsExactlyTheDrivesOnTheLine();
    void lateDriveIsListedAsLate();
    void slowDriveIsFoundAmongTheWholeRange();
    void damagedAnswerIsAskedAgainAndRefusalIsListed();
    void cancelFreesTheLine();
    void scanCommand();
};

void tst_linescan::findsExactlyTheDrivesOnTheLine()
{
    SimLine line({QStringLiteral("--drives"), QStringLiteral("1,4,7-9"), QStringLiteral("--fault"),
                  QStringLiteral("4:11")});
    QVERIFY(line.port.isOpen());
    LineScan scan(line.client);
    const LineStatistics stats(line.link);
    QSignalSpy progress(&scan, &LineScan::progress);
    QSignalSpy held(&line.client, &LinkClient::lineHeldChanged);
    QVERIFY(scan.start(1, 12));
    QVERIFY(!scan.start(1, 12)); // one scan at a time
    QVERIFY(SimLine::waitFor(scan, &LineScan::finished));
    QList<int> addresses;
    for (const ScanEntry& e : scan.entries()) {
        addresses << e.address;
        QVERIFY(!e.late);
        QVERIFY(e.edition.has_value());
    }
    QCOMPARE(addresses, (QList<int>{1, 4, 7, 8, 9}));
    const ScanEntry tripped = scan.entries()[1];
    QVERIFY(tripped.fault);
    QCOMPARE(tripped.faultNumber, 11);
    QCOMPARE(tripped.faultText, QString::fromUtf8(Tab::FaultText(11)->data()));
    QCOMPARE(scan.entries()[0].faultText, QStringLiteral("Normal"));
    QCOMPARE(progress.last()[0].toInt(), 12);
    // The line was held for the scan and given back, with the retries as they were.
    QCOMPARE(held.size(), 2);
    QVERIFY(!line.client.lineHeld());
    // One status read per address; per drive the edition and its two sources.
    QCOMPARE(stats.drive(2).counters.sent, 1);
    QCOMPARE(stats.drive(7).counters.sent, 4);
    const QStringList rows = LineScan::tableText(scan.entries()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 6);
    QVERIFY(rows[2].startsWith(QStringLiteral("4\t")));
}

void tst_linescan::lateDriveIsListedAsLate()
{
    SimLine line({QStringLiteral("--drives"), QStringLiteral("1,2")});
    // Drive 2 is told to take 200 ms before it answers: longer than the
    // line's time-out allows for.
    // It takes the new delay at once: the write's own answer is late already.
    std::optional<LinkResult> written;
    line.session->submit(LinkRequest::write(2, 0x0803, 200),
                         [&](const LinkResult& r) { written = r; });
    QVERIFY(waitUntil([&] { return written.has_value(); }));
    QTest::qWait(400);
    // A link that has not heard the drive yet: its time-out is the short one.
    line.link.ResetLine();
    LineScan scan(line.client);
    QVERIFY(scan.start(1, 5));
    QVERIFY(SimLine::waitFor(scan, &LineScan::finished));
    QCOMPARE(scan.entries().size(), 2);
    QVERIFY(!scan.entries()[0].late);
    QCOMPARE(scan.entries()[1].address, quint8(2));
    QVERIFY(scan.entries()[1].late);
    QVERIFY(LineScan::rowTexts(scan.entries()[1]).last().contains(QStringLiteral("time-out")));
}

void tst_linescan::slowDriveIsFoundAmongTheWholeRange()
{
    SimLine line({QStringLiteral("--drives"), QStringLiteral("1,2,5,9,30")});
    std::optional<LinkResult> written;
    line.session->submit(LinkRequest::write(9, 0x0803, 200),
                         [&](const LinkResult& r) { written = r; });
    QVERIFY(waitUntil([&] { return written.has_value(); }));
    QTest::qWait(400);
    // The drives' own response delay, as a scan on a quiet line assumes: a
    // silent address costs the time an answer would take to begin. Drive 9's
    // answer then comes while later addresses are asked, or runs into their
    // requests on the line; either way the scan looks again.
    line.link.SetResponseDelayMs(5);
    line.link.ResetLine();
    LineScan scan(line.client);
    QVERIFY(scan.start(1, 31));
    QVERIFY(SimLine::waitFor(scan, &LineScan::finished));
    QList<int> addresses;
    for (const ScanEntry& e : scan.entries())
        addresses << e.address;
    QCOMPARE(addresses, (QList<int>{1, 2, 5, 9, 30}));
    QVERIFY(scan.entries()[3].late);
    QVERIFY(scan.entries()[3].edition.has_value());
}

void tst_linescan::damagedAnswerIsAskedAgainAndRefusalIsListed()
{
    ClientLine line;
    LineScan scan(line.client);
    QVERIFY(scan.start(1, 3));
    line.settle();
    QCOMPARE(line.port.written().size(), 1);
    QByteArray damaged = statusAnswer(1, 0, 0x14, 0);
    damaged[5] = char(damaged[5] ^ 0x40);
    line.receive(damaged);
    line.timeOut();
    // Bytes came back: the same status read once more.
    QCOMPARE(line.port.written().size(), 2);
    QCOMPARE(line.port.written()[1], line.port.written()[0]);
    line.receive(statusAnswer(1, 0, 0x14, 0));
    // Every address its status first: address 2 refuses, address 3 stays
    // silent and is asked once only.
    QCOMPARE(line.port.written().size(), 3);
    QCOMPARE(line.port.written()[2], readFrame(2, 0x0E00));
    line.receive(exceptionAnswer(2, 3, 2));
    QCOMPARE(line.port.written().size(), 4);
    line.timeOut();
    // Then the drive found: its edition, and whether it obeys the line.
    QCOMPARE(line.port.written().size(), 5);
    QCOMPARE(registerOf(line.port.written()[4]), quint16(0x0D1C));
    line.receive(runningValueAnswer(1, 0x1C, 0x012C, 8)); // the edition
    QCOMPARE(registerOf(line.port.written().value(5)), Readiness::RunSourceRegister);
    line.receive(parameterAnswer(1, 3, Readiness::RunSourceRegister, 2));
    QCOMPARE(registerOf(line.port.written().value(6)), Readiness::FrequencySourceRegister);
    line.receive(parameterAnswer(1, 3, Readiness::FrequencySourceRegister, 1));
    QVERIFY(!scan.running());
    QCOMPARE(line.port.written().size(), 7);
    const QList<ScanEntry> entries = scan.entries();
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0].running);
    QVERIFY(entries[0].reverse);
    QCOMPARE(entries[0].editionText(), QStringLiteral("3.00"));
    QVERIFY(entries[0].readiness.obeysRunCommands());
    QCOMPARE(LineScan::rowTexts(entries[0]).last(), QStringLiteral("own frequency (P0.01 = 1)"));
    QCOMPARE(entries[1].exceptionCode, std::optional<quint8>(2));
    QVERIFY(entries[1].stateText().contains(QStringLiteral("exception 2")));
}

void tst_linescan::cancelFreesTheLine()
{
    ClientLine line;
    LineScan scan(line.client);
    QSignalSpy finished(&scan, &LineScan::finished);
    QVERIFY(scan.start(1, 31));
    line.settle();
    scan.cancel();
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0][0].toBool());
    QVERIFY(!line.client.lineHeld());
    // The answer to the cancelled read and every later time-out send nothing more.
    line.receive(statusAnswer(1, 0, 0, 0));
    line.timeOut();
    QCOMPARE(line.port.written().size(), 1);
    QVERIFY(scan.start(5, 5)); // and a new scan may begin
}

void tst_linescan::scanCommand()
{
    SimLine line({QStringLiteral("--drives"), QStringLiteral("2,3")});
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(runScanCommand(line.client, {QStringLiteral("--from"), QStringLiteral("0")}, out, err),
             2);
    QCOMPARE(runScanCommand(line.client,
                            {QStringLiteral("--from"), QStringLiteral("5"), QStringLiteral("--to"),
                             QStringLiteral("4")},
                            out, err),
             2);
    QCOMPARE(runScanCommand(line.client, {QStringLiteral("--bogus")}, out, err), 2);
    QVERIFY(outText.isEmpty());
    QCOMPARE(runScanCommand(line.client,
                            {QStringLiteral("--from"), QStringLiteral("1"), QStringLiteral("--to"),
                             QStringLiteral("4")},
                            out, err),
             0);
    out.flush();
    const QStringList lines = outText.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[1].startsWith(QStringLiteral("2\tStop\tFWD\tNormal\t")));
    QVERIFY(lines[3].startsWith(QStringLiteral("2 drive(s) answered of addresses 1..4")));
    outText.clear();
    QCOMPARE(runScanCommand(line.client,
                            {QStringLiteral("--from"), QStringLiteral("9"), QStringLiteral("--to"),
                             QStringLiteral("10")},
                            out, err),
             1);
}

QTEST_GUILESS_MAIN(tst_linescan)
#include "tst_linescan.moc"
