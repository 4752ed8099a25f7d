// SPDX-License-Identifier: GPL-3.0-or-later
// vfdsim's end of a half-duplex line, on a clock the test moves: the time a
// request and its reply take, framing by silence, and collisions.
#include "SimRig.h"

#include <QTest>
#include <cmath>

namespace {

const QByteArray kStatusRead = QByteArray::fromHex("01030E0000004722");

double characterTimeUs(const QString& settings)
{
    const SerialSettings line = *SerialSettings::parse(settings);
    return line.bitsPerCharacter() * 1e6 / line.baudRate;
}

} // namespace

class tst_simline : public QObject
{
    Q_OBJECT

private slots:
    void replyKeepsLineTime_data();
    void replyKeepsLineTime();
    void requestsAsCloseAsTheLineAllows();
    void collision_data();
    void collision();
    void noiseWithoutPauseIsOneStretch();
};

void tst_simline::replyKeepsLineTime_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("9600,E,8,1") << "9600,E,8,1" << 5;
    QTest::newRow("38400,N,8,1") << "38400,N,8,1" << 5;
    QTest::newRow("19200,O,7,2") << "19200,O,7,2" << 5;
    QTest::newRow("2400,N,8,2, 40 ms delay") << "2400,N,8,2" << 40;
    // A drive cannot answer before the silence tells it the request is over.
    QTest::newRow("9600,E,8,1, no delay") << "9600,E,8,1" << 0;
}

void tst_simline::replyKeepsLineTime()
{
    QFETCH(QString, settings);
    QFETCH(int, delayMs);
    LineBench b(settings);
    b.bus.drive(1)->parameters().force(8, 3, quint16(delayMs));
    const double c = characterTimeUs(settings);
    const qint64 requestEnd = std::llround(8 * c);
    const qint64 silence = std::max<qint64>(3000, qint64(std::ceil(3.5 * c)));

    b.line.feed(kStatusRead);
    // The stream brought all eight bytes at once; the drive hears them at the baud rate.
    b.passUs(requestEnd);
    QVERIFY(b.logged(QStringLiteral("<- ")).isEmpty());
    b.passMs(1000);
    QCOMPARE(b.logged(QStringLiteral("<- ")), QStringList{"<- 01 03 0E 00 00 00 47 22"});

    const QByteArray reply = frame({1, 3, 0x0E, 0, 0, 0, 0, 0});
    QCOMPARE(b.sent.size(), reply.size()); // byte by byte
    const qint64 replyStart = requestEnd + std::max<qint64>(delayMs * 1000, silence + 1);
    for (int k = 0; k < reply.size(); ++k) {
        QCOMPARE(b.sent[k].bytes, reply.mid(k, 1));
        QCOMPARE(b.sent[k].us, replyStart + std::llround((k + 1) * c));
    }
    QCOMPARE(b.logged(QStringLiteral("-> ")), QStringList{"-> " + BusServer::hex(reply)});
}

void tst_simline::requestsAsCloseAsTheLineAllows()
{
    // At 9600 a read takes 9.2 ms, the drive waits 5 ms and its 7-byte answer
    // takes 8 ms: a request every 25 ms leaves the line quiet in between.
    // Every third request is damaged, one of them so that its middle is a
    // whole request for drive 3 with a function it does not know.
    LineBench b;
    SimulatedBus reference;
    QByteArray expected;
    int damaged = 0;
    for (int i = 0; i < 30; ++i) {
        QByteArray request = readParameter(i % 20);
        if (i % 3 == 1) {
            request = i % 2 ? request.left(7) + char(request.back() ^ 0x40)
                            : QByteArray::fromHex("0103") + frame({3, 0x13}) + QByteArray(2, 0);
            ++damaged;
        } else {
            expected += reference.handle(request)->frame;
        }
        b.line.feed(request);
        b.passMs(25);
    }
    b.passMs(100);
    QCOMPARE(BusServer::hex(b.take()), BusServer::hex(expected));
    QCOMPARE(b.logged(QStringLiteral("?? ignored ")).size(), damaged);
    QCOMPARE(b.logged(QStringLiteral("<- ")).size(), 30 - damaged);
    QVERIFY(b.logged(QStringLiteral("!! collision")).isEmpty());
}

void tst_simline::collision_data()
{
    // When the write of P0.03 starts, counted from the status read at 0.
    // At 9600 the read is in at 9.2 ms and ends its frame at 13.2 ms; the
    // reply's ten bytes are on the line from 14.2 to 25.6 ms, the write's
    // eight take 9.2 ms.
    QTest::addColumn<int>("atUs");
    QTest::addColumn<int>("intactBefore"); // reply bytes out before the write began
    QTest::addColumn<int>("damaged");      // reply bytes under the write
    QTest::newRow("write over the reply") << 17'000 << 2 << 8;
    QTest::newRow("write into the start of the reply") << 13'500 << 0 << 8;
    QTest::newRow("write under the last byte") << 25'000 << 9 << 1;
}

void tst_simline::collision()
{
    QFETCH(int, atUs);
    QFETCH(int, intactBefore);
    QFETCH(int, damaged);
    LineBench b;
    const QByteArray clean = frame({1, 3, 0x0E, 0, 0, 0, 0, 0});
    const QByteArray write = frame({1, 6, 0, 3, 0x0B, 0xB8}); // P0.03 = 30.00 Hz
    b.line.feed(kStatusRead);
    b.passUs(atUs);
    b.line.feed(write);
    b.passMs(200);

    // Both are lost: the reply's bytes under the write are damaged...
    const QByteArray reply = b.take();
    QCOMPARE(reply.size(), clean.size());
    for (int k = 0; k < reply.size(); ++k) {
        const bool under = k >= intactBefore && k < intactBefore + damaged;
        QVERIFY2((reply[k] != clean[k]) == under,
                 qPrintable(QStringLiteral("byte %1 of %2").arg(k).arg(BusServer::hex(reply))));
    }
    QVERIFY(!SimulatedBus::hasValidCrc(reply));
    QCOMPARE(b.logged(QStringLiteral("-> ")), QStringList{"-> " + BusServer::hex(reply)});
    // ...and the drive neither acts on the write nor answers it.
    QCOMPARE(b.logged(QStringLiteral("!! collision")),
             QStringList{"!! collision " + BusServer::hex(write)});
    QCOMPARE(b.bus.drive(1)->parameters().raw(0, 3), std::optional<quint16>(5000));

    // Once the line is quiet, the drive answers as before.
    b.line.feed(readParameter(3));
    b.passMs(100);
    QCOMPARE(b.take(), frame({1, 3, 2, 0x13, 0x88}));
}

void tst_simline::noiseWithoutPauseIsOneStretch()
{
    // A line that never falls quiet carries no frame, however long it goes on,
    // and the drive keeps no more of it than a frame's length.
    LineBench b(QStringLiteral("115200,N,8,1"));
    for (int i = 0; i < 1000; ++i) { // 8 bytes take 0.69 ms at 115200
        b.line.feed(kStatusRead);
        b.passUs(700);
    }
    b.passMs(100);
    QVERIFY(b.sent.isEmpty());
    const QStringList ignored = b.logged(QStringLiteral("?? ignored "));
    QCOMPARE(ignored.size(), 1);
    QVERIFY(ignored.first().size() < 1000);
    QVERIFY(b.logged(QStringLiteral("<- ")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_simline)
#include "tst_simline.moc"
