// SPDX-License-Identifier: GPL-3.0-or-later
// What the drives of a site's table say of themselves, read at a gentle pace
// over simulated drives, and how that job stands aside for every other one.
#include "Hexedit.h"
#include "LinkClient.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"
#include "SiteStatusJob.h"
#include "Tab.h"
#include "WaitUntil.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Line
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2, 3}};
    Hexedit link{port};
    LinkClient client{link};
    Line() { port.open(); }
};

QList<SiteDriveStatus> rowsFor(const QList<quint8>& addresses)
{
    QList<SiteDriveStatus> rows;
    for (quint8 a : addresses) {
        SiteDriveStatus row;
        row.line = QStringLiteral("a");
        row.address = a;
        row.name = QStringLiteral("Drive %1").arg(a);
        rows << row;
    }
    return rows;
}

int requestsTo(const QList<QByteArray>& frames, quint8 address)
{
    int n = 0;
    for (const QByteArray& f : frames)
        n += !f.isEmpty() && quint8(f[0]) == address;
    return n;
}

} // namespace

class tst_sitestatusjob : public QObject
{
    Q_OBJECT
private slots:
    void readsEachDriveAndSaysWhatNeedsAttention();
    void standsAsideWhileAnotherJobHoldsTheLine();
    void cancelEndsIt();
};

void tst_sitestatusjob::readsEachDriveAndSaysWhatNeedsAttention()
{
    Line line;
    line.port.bus().drive(2)->trip(11);
    line.port.bus().drive(3)->factorySources();
    QList<QByteArray> sent;
    QObject::connect(&line.link, &Hexedit::frameSent, [&](const QByteArray& f) { sent.append(f); });
    SiteStatusJob job(line.client);
    job.setPauseMs(0);
    QSignalSpy updated(&job, &SiteStatusJob::rowUpdated);
    QSignalSpy finished(&job, &SiteStatusJob::finished);
    bool heldMeanwhile = false;
    QObject::connect(&line.client, &LinkClient::lineHeldChanged,
                     [&](bool held) { heldMeanwhile = heldMeanwhile || held; });
    // Drive 5 is not on the line.
    job.start(rowsFor({1, 2, 3, 5}));
    QVERIFY(waitUntil([&] { return !finished.isEmpty(); }, 20000));
    QCOMPARE(updated.size(), 4);
    QVERIFY(!heldMeanwhile);

    const QList<SiteDriveStatus>& rows = job.rows();
    QCOMPARE(rows[0].name, QStringLiteral("Drive 1")); // the row's own data stays
    QVERIFY(rows[0].answered);
    QVERIFY(rows[0].edition.has_value());
    QCOMPARE(rows[0].stateText(), QStringLiteral("stop"));
    QCOMPARE(rows[0].readinessText(), QStringLiteral("ready"));
    QVERIFY(!rows[0].attention());

    QVERIFY(rows[1].fault);
    QCOMPARE(rows[1].faultNumber, 11);
    QCOMPARE(rows[1].faultText, QString::fromStdString(Tab::FaultDescription(11)));
    QVERIFY(rows[1].attention());

    QVERIFY(rows[2].readiness.known());
    QVERIFY(!rows[2].readiness.ready());
    QVERIFY(rows[2].attention());
    QVERIFY(rows[2].readinessText().contains(QStringLiteral("P0.04")));

    QVERIFY(rows[3].asked);
    QVERIFY(!rows[3].answered);
    QCOMPARE(rows[3].stateText(), QStringLiteral("no answer"));
    QVERIFY(!rows[3].attention());
    // A silent drive is asked its status only (with the retry), nothing more.
    QCOMPARE(requestsTo(sent, 5), 1 + line.client.retries());
    QCOMPARE(requestsTo(sent, 1), 4);
}

void tst_sitestatusjob::standsAsideWhileAnotherJobHoldsTheLine()
{
    Line line;
    QList<QByteArray> sent;
    QObject::connect(&line.link, &Hexedit::frameSent, [&](const QByteArray& f) { sent.append(f); });
    // Another job holds the line and keeps asking drive 3.
    QObject other;
    LinkSession* busy = line.client.openSession(&other);
    busy->holdLine(true);
    int answers = 0;
    std::function<void()> askAgain = [&] {
        busy->submit(LinkRequest::read(3, 0x0003), [&](const LinkResult&) {
            ++answers;
            if (busy->holdsLine())
                askAgain();
        });
    };
    askAgain();

    SiteStatusJob job(line.client);
    job.setPauseMs(0);
    QSignalSpy finished(&job, &SiteStatusJob::finished);
    job.start(rowsFor({1, 2}));
    QVERIFY(waitUntil([&] { return answers >= 15; }, 10000));
    QCOMPARE(requestsTo(sent, 1) + requestsTo(sent, 2), 0);
    QVERIFY(finished.isEmpty());

    busy->holdLine(false);
    QVERIFY(waitUntil([&] { return !finished.isEmpty(); }, 10000));
    QVERIFY(job.rows()[0].answered && job.rows()[1].answered);
}

void tst_sitestatusjob::cancelEndsIt()
{
    Line line;
    SiteStatusJob job(line.client);
    QSignalSpy updated(&job, &SiteStatusJob::rowUpdated);
    QSignalSpy finished(&job, &SiteStatusJob::finished);
    job.start(rowsFor({1, 2, 3}));
    QVERIFY(waitUntil([&] { return !updated.isEmpty(); }, 10000));
    job.cancel();
    QVERIFY(waitUntil([&] { return !finished.isEmpty(); }, 5000));
    QVERIFY(job.cancelled());
    QVERIFY(!job.running());
    QVERIFY(!job.rows()[2].asked);
    QVERIFY(waitUntil([&] { return !line.client.busy(); }, 5000));
}

QTEST_GUILESS_MAIN(tst_sitestatusjob)
#include "tst_sitestatusjob.moc"
