// SPDX-License-Identifier: GPL-3.0-or-later
// Modbus TCP framing in memory: RTU requests out with their header, replies
// back as RTU frames only when they fit the request awaiting its answer,
// however the connection cut or merged them.
#include "Frames.h"
#include "ModbusTcpFrames.h"

#include <QTest>

using namespace ModbusTcp;

namespace {

// The reply ADU of drive `unit` carrying the PDU of an RTU frame.
QByteArray replyAdu(quint16 transaction, quint8 unit, const QByteArray& rtu)
{
    return encode({transaction, 0, unit, rtu.mid(1, rtu.size() - 3)});
}

// A status answer of drive 1 and of drive 2, as RTU frames.
const QByteArray kAnswer1 = frameOf(1, 3, 0x0E00, {0x0003, 0x0000});
const QByteArray kAnswer2 = frameOf(2, 3, 0x0E00, {0x0001, 0x0000});

} // namespace

class tst_modbustcp : public QObject
{
    Q_OBJECT
private slots:
    void requestsGoOutWithTheirHeader();
    void repliesComeBackOnlyWhenTheyFit_data();
    void repliesComeBackOnlyWhenTheyFit();
    void aDamagedStreamIsDroppedAndTheNextReplyFound();
    void aSlowDrivesReplyComesLateAndOnce();
};

void tst_modbustcp::requestsGoOutWithTheirHeader()
{
    ClientFraming framing;
    // Reading the status of drive 1: transaction 1, protocol 0, six bytes
    // follow, unit 1, the PDU without its CRC.
    const auto first = framing.request(QByteArray::fromHex("01030E0000004722"));
    QVERIFY(first);
    QCOMPARE(hex(first->bytes), QStringLiteral("00 01 00 00 00 06 01 03 0E 00 00 00"));
    // Each request its own transaction id; the broadcast STOP goes to unit 0.
    const QByteArray stop = controlFrame(0, 0x05, 0);
    const auto second = framing.request(stop);
    QVERIFY(second);
    QCOMPARE(second->bytes, encode({2, 0, 0, stop.mid(1, stop.size() - 3)}));
    QCOMPARE(hex(second->bytes.first(7)), QStringLiteral("00 02 00 00 00 0B 00"));

    // Only whole frames can be reframed: a damaged CRC or a stub is refused
    // and uses up no transaction id.
    QVERIFY(!framing.request(QByteArray::fromHex("01030E0000004723")));
    QVERIFY(!framing.request(QByteArray::fromHex("0103")));
    QVERIFY(!framing.request(QByteArray(300, '\x01')));
    QCOMPARE(framing.request(readFrame(2, 0x0E00))->transaction, quint16(3));

    // The ids wrap round rather than stop.
    ClientFraming late;
    for (int n = 1; n < 65536; ++n)
        late.request(readFrame(1, 0));
    QCOMPARE(late.request(readFrame(1, 0))->transaction, quint16(0));
}

void tst_modbustcp::repliesComeBackOnlyWhenTheyFit_data()
{
    // The request awaiting its answer is transaction 7 to drive 1; `segments`
    // are what the connection delivered, one receive() each.
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<QByteArray>("shown");
    const QByteArray fits = replyAdu(7, 1, kAnswer1);
    QTest::newRow("whole") << QList<QByteArray>{fits} << kAnswer1;
    QList<QByteArray> bytes;
    for (const char c : fits)
        bytes << QByteArray(1, c);
    QTest::newRow("a byte at a time") << bytes << kAnswer1;
    QTest::newRow("header split") << QList<QByteArray>{fits.left(5), fits.mid(5)} << kAnswer1;
    QTest::newRow("a late reply, then the one awaited, in one segment")
        << QList<QByteArray>{replyAdu(6, 1, kAnswer1) + fits} << kAnswer1;
    QTest::newRow("the one awaited, then a copy of it")
        << QList<QByteArray>{fits + fits} << kAnswer1;
    QTest::newRow("the one awaited split over a stale one")
        << QList<QByteArray>{replyAdu(5, 1, kAnswer1) + fits.left(9), fits.mid(9)} << kAnswer1;
    QTest::newRow("wrong transaction")
        << QList<QByteArray>{replyAdu(8, 1, kAnswer1)} << QByteArray();
    QTest::newRow("wrong unit") << QList<QByteArray>{replyAdu(7, 2, kAnswer2)} << QByteArray();
    QByteArray otherProtocol = fits;
    otherProtocol[3] = 1;
    QTest::newRow("other protocol") << QList<QByteArray>{otherProtocol} << QByteArray();
    QTest::newRow("other protocol, then the reply")
        << QList<QByteArray>{otherProtocol + fits} << kAnswer1;
    QTest::newRow("half a reply") << QList<QByteArray>{fits.chopped(1)} << QByteArray();
}

void tst_modbustcp::repliesComeBackOnlyWhenTheyFit()
{
    QFETCH(QList<QByteArray>, segments);
    QFETCH(QByteArray, shown);
    ClientFraming framing;
    std::optional<ClientFraming::Request> request;
    for (int n = 0; n < 7; ++n)
        request = framing.request(readFrame(1, 0x0E00));
    framing.sent(*request);
    QByteArray received;
    for (const QByteArray& segment : segments)
        received += framing.receive(segment);
    QCOMPARE(hex(received), hex(shown));
}

void tst_modbustcp::aDamagedStreamIsDroppedAndTheNextReplyFound()
{
    ClientFraming framing;
    auto ask = [&](quint8 unit) {
        const auto request = framing.request(readFrame(unit, 0x0E00));
        framing.sent(*request);
        return request->transaction;
    };
    // A length no ADU can have: the stream is out of step, all of it goes,
    // including a fitting reply behind it in the same segment.
    quint16 id = ask(1);
    QByteArray badLength = replyAdu(id, 1, kAnswer1);
    badLength[5] = char(0xFF);
    QVERIFY(framing.receive(badLength + replyAdu(id, 1, kAnswer1)).isEmpty());
    QVERIFY(framing.receive(QByteArray::fromHex("0000000000010100")).isEmpty());
    // The next exchange is found again where it starts.
    id = ask(2);
    QCOMPARE(framing.receive(replyAdu(id, 2, kAnswer2)), kAnswer2);

    // Nothing is awaited after a broadcast or once the link let go.
    framing.sent(*framing.request(controlFrame(0, 0x05, 0)));
    QVERIFY(framing.receive(replyAdu(id + 1, 0, kAnswer1)).isEmpty());
    id = ask(1);
    framing.forget();
    QVERIFY(framing.receive(replyAdu(id, 1, kAnswer1)).isEmpty());
    // A reply torn by forget() keeps the stream in step.
    id = ask(1);
    const QByteArray torn = replyAdu(id, 1, kAnswer1);
    QVERIFY(framing.receive(torn.left(4)).isEmpty());
    framing.forget();
    QVERIFY(framing.receive(torn.mid(4)).isEmpty());
    id = ask(1);
    QCOMPARE(framing.receive(replyAdu(id, 1, kAnswer1)), kAnswer1);
    QVERIFY(framing.droppedReplies() >= 3);
}

// A drive given up on that answers while another is asked is heard, as on a
// serial line, once; its reply is never taken for a request to itself.
void tst_modbustcp::aSlowDrivesReplyComesLateAndOnce()
{
    ClientFraming framing;
    auto ask = [&](quint8 unit) {
        const auto request = framing.request(readFrame(unit, 0x0E00));
        framing.sent(*request);
        return request->transaction;
    };
    const quint16 two = ask(2);
    const quint16 one = ask(1);
    QCOMPARE(hex(framing.receive(replyAdu(two, 2, kAnswer2))), hex(kAnswer2));
    QVERIFY(framing.receive(replyAdu(two, 2, kAnswer2)).isEmpty()); // a copy
    QCOMPARE(hex(framing.receive(replyAdu(one, 1, kAnswer1))), hex(kAnswer1));
    // Asked again: the first request's reply is no answer to the second.
    const quint16 first = ask(2);
    const quint16 again = ask(2);
    QVERIFY(framing.receive(replyAdu(first, 2, kAnswer2)).isEmpty());
    QCOMPARE(hex(framing.receive(replyAdu(again, 2, kAnswer2))), hex(kAnswer2));
    // A new connection forgets what was given up on.
    const quint16 before = ask(2);
    ask(1);
    framing.reset();
    QVERIFY(framing.receive(replyAdu(before, 2, kAnswer2)).isEmpty());
}

QTEST_GUILESS_MAIN(tst_modbustcp)
#include "tst_modbustcp.moc"
