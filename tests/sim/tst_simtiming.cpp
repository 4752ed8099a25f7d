// SPDX-License-Identifier: GPL-3.0-or-later
// vfdsim on a pseudo-terminal as a Modbus master on the other side meets it:
// the time a request and its reply take, a master that does not wait for its
// answers, and a request that runs into a reply.
#include "PtyClient.h"
#include "SimProcess.h"
#include "SimRig.h"

#include <QTest>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

const QByteArray kStatusRead = QByteArray::fromHex("01030E0000004722");
const QByteArray kStatusReply = Hexedit::WithCrc(QByteArray::fromHex("01030E0000000000"));

// The share-th smallest of the values: 0 the smallest, 0.5 the median.
double quantile(QList<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[qsizetype(share * double(values.size() - 1))];
}

// Milliseconds from writing a status read to holding its whole reply; -1 if none came.
double roundTripMs(PtyClient& client)
{
    const qint64 start = PtyClient::nowUs();
    if (!client.send(kStatusRead) || client.receive(kStatusReply.size(), 1000) != kStatusReply)
        return -1;
    return double(PtyClient::nowUs() - start) / 1000.0;
}

// Round trips of a status read through a paced vfdsim, and through one that
// answers as soon as a request is in (no pacing, no response delay): the
// latter is what the terminal, the scheduler and the two processes add. A
// request to each in turn, so both see the same load. Another process can
// only ever delay a byte, never hasten it, so the fastest round trips are the
// line's own time plus the least the road adds; medians on a machine shared
// with builds grow with everybody else's appetite.
struct RoundTrips
{
    double fastestMs = -1;
    double medianMs = -1;
    double bareFastestMs = -1;
};

RoundTrips measure(const QString& settings, int rounds)
{
    SimProcess paced({QStringLiteral("--settings"), settings}, false);
    SimProcess instant({QStringLiteral("--settings"), settings, QStringLiteral("--no-pacing")},
                       false);
    PtyClient line(paced.device());
    PtyClient bare(instant.device());
    const QByteArray noDelay = frame({1, 6, 8, 3, 0, 0}); // P8.03 = 0
    if (!line.isOpen() || !bare.isOpen() || !bare.send(noDelay) ||
        bare.receive(noDelay.size()) != noDelay)
        return {};
    QList<double> viaLine;
    QList<double> viaBare;
    for (int i = 0; i < rounds; ++i) {
        viaLine << roundTripMs(line);
        viaBare << roundTripMs(bare);
        if (viaLine.last() < 0 || viaBare.last() < 0)
            return {};
    }
    return {quantile(viaLine, 0), quantile(viaLine, 0.5), quantile(viaBare, 0)};
}

} // namespace

class tst_simtiming : public QObject
{
    Q_OBJECT

private slots:
    void roundTripTakesLineTime_data();
    void roundTripTakesLineTime();
    void masterThatDoesNotWaitGetsEveryReply();
    void requestRunningIntoReplyCollides();
};

void tst_simtiming::roundTripTakesLineTime_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("9600,E,8,1") << "9600,E,8,1";
    QTest::newRow("38400,E,8,1") << "38400,E,8,1";
}

void tst_simtiming::roundTripTakesLineTime()
{
    // Eight request bytes, the drive's 5 ms response delay and ten reply bytes.
    QFETCH(QString, settings);
    const SerialSettings line = *SerialSettings::parse(settings);
    const double lineMs = 18 * line.bitsPerCharacter() * 1000.0 / line.baudRate + 5.0;
    // A second measurement is allowed for a machine busy throughout the first.
    RoundTrips t;
    bool within = false;
    for (int attempt = 0; attempt < 2 && !within; ++attempt) {
        t = measure(settings, 41);
        QVERIFY2(t.fastestMs > 0 && t.bareFastestMs >= 0, "no answer from vfdsim");
        within = std::abs(t.fastestMs - t.bareFastestMs - lineMs) <= 0.1 * lineMs;
    }
    const QString figures = QStringLiteral("%1: round trip fastest %2 ms (median %3 ms), of which "
                                           "%4 ms terminal and processes; line time %5 ms")
                                .arg(settings)
                                .arg(t.fastestMs, 0, 'f', 2)
                                .arg(t.medianMs, 0, 'f', 2)
                                .arg(t.bareFastestMs, 0, 'f', 2)
                                .arg(lineMs, 0, 'f', 2);
    qInfo("%s", qPrintable(figures));
    QVERIFY2(within, qPrintable(figures));
}

void tst_simtiming::masterThatDoesNotWaitGetsEveryReply()
{
    // 2000 reads of P0.00..P0.19 written as fast as the terminal takes them,
    // nothing read meanwhile: 90,000 bytes of answers, far more than a
    // pseudo-terminal holds. They wait for room; none is lost or torn.
    SimProcess sim({QStringLiteral("--no-pacing")}, false);
    PtyClient client(sim.device());
    QVERIFY(client.isOpen());
    const QByteArray request = frame({1, 3, 0, 0, 0, 20});
    SimulatedBus reference;
    const QByteArray answer = reference.handle(request)->frame;
    QVERIFY(client.send(request.repeated(2000)));
    QThread::msleep(300); // the answers pile up at the far end
    const QByteArray got = client.receive(answer.size() * 2000, 5000);
    QCOMPARE(got.size(), answer.size() * 2000);
    QVERIFY(got == answer.repeated(2000));
    QVERIFY(client.receive(1, 100).isEmpty());
}

void tst_simtiming::requestRunningIntoReplyCollides()
{
    // At 1200 baud a status reply is on the line for 92 ms; a write of P0.03
    // sent as its first byte arrives lands in the middle of it.
    SimProcess sim({QStringLiteral("--settings"), QStringLiteral("1200,E,8,1")});
    PtyClient client(sim.device());
    QVERIFY(client.isOpen());
    QVERIFY(client.send(kStatusRead));
    QByteArray reply = client.receive(1);
    QCOMPARE(reply, kStatusReply.left(1));
    const QByteArray write = frame({1, 6, 0, 3, 0x0B, 0xB8}); // 30.00 Hz
    QVERIFY(client.send(write));
    reply += client.receive(kStatusReply.size() - 1);
    QCOMPARE(reply.size(), kStatusReply.size());
    QVERIFY2(!SimulatedBus::hasValidCrc(reply), qPrintable(BusServer::hex(reply)));
    QVERIFY(client.receive(1, 300).isEmpty()); // the write gets no answer...
    QTRY_COMPARE(sim.traffic(QStringLiteral("!! collision ")), QStringList{BusServer::hex(write)});
    // ...and the drive kept its value.
    QVERIFY(client.send(readParameter(3)));
    QCOMPARE(client.receive(7), frame({1, 3, 2, 0x13, 0x88}));
}

QTEST_GUILESS_MAIN(tst_simtiming)
#include "tst_simtiming.moc"
