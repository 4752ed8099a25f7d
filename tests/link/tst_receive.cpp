// SPDX-License-Identifier: GPL-3.0-or-later
// The receive side of the link: assembling frames byte by byte, the drain of
// waiting input, and what a complete reply is decoded into.
#include "Hexedit.h"
#include "LineTurns.h"
#include "LoopbackPort.h"

#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// Everything a link hands on, written down in arrival order.
struct Recorder
{
    QStringList decoded;
    QString log;

    explicit Recorder(Hexedit& link)
    {
        QObject::connect(&link, &Hexedit::trafficLog, [this](const QString& t) { log += t; });
        QObject::connect(&link, &Hexedit::statusReceived, [this](const StatusReply& r) {
            decoded << QStringLiteral("status %1 word=%2 rev=%3 run=%4 fault=%5 number=%6")
                           .arg(r.address)
                           .arg(r.statusWord, 4, 16, QChar(u'0'))
                           .arg(r.reverse)
                           .arg(r.running)
                           .arg(r.fault)
                           .arg(r.faultNumber);
        });
        QObject::connect(&link, &Hexedit::runningValueReceived, [this](const RunningValueReply& r) {
            decoded << QStringLiteral("running %1 index=%2 raw=%3 code=%4 value=%5")
                           .arg(r.address)
                           .arg(r.index)
                           .arg(r.raw)
                           .arg(r.decimalCode)
                           .arg(double(r.value));
        });
        QObject::connect(&link, &Hexedit::parameterReceived, [this](const ParameterReply& r) {
            decoded << QStringLiteral("parameter %1 group=%2 index=%3 raw=%4")
                           .arg(r.address)
                           .arg(r.group)
                           .arg(r.index)
                           .arg(r.raw);
        });
    }
};

void feed(Hexedit& link, const QByteArray& bytes)
{
    for (const char c : bytes)
        link.ReceiveByte(quint8(c));
}

// Replies as drives send them, with noise and a control-write echo between
// them and a Modbus exception reply at the end.
QByteArray mixedStream()
{
    return hex("20 FF C8") + hex("01 03 0E 00 00 01 10 00 EF E9") +
           hex("01 03 0D 00 13 88 00 08 36 B2") + hex("7F") + hex("02 03 0E 00 00 60 14 20 FD 3A") +
           hex("01 10 20 00 00 02 4A 08") + hex("03 03 02 05 01 F4 55 86") +
           hex("1F 03 0E 00 01 60 10 20 3E 93") + hex("01 83 02 C0 F1");
}

} // namespace

class tst_receive : public QObject
{
    Q_OBJECT

private slots:
    void frameByteByByte();
    void garbageBeforeFrame_data();
    void garbageBeforeFrame();
    void twentyByteWrap();
    void notDecoded_data();
    void notDecoded();
    void wrongShapeNotShown_data();
    void wrongShapeNotShown();
    void oneAtATimeEqualsBulk();
    void absurdIndexStaysInside_data();
    void absurdIndexStaysInside();
    void receiveEventHandsOneByte();
    void drainTick_data();
    void drainTick();
    void echoingLine();
};

void tst_receive::frameByteByByte()
{
    LoopbackPort port;
    Hexedit link(port);
    Recorder rec(link);
    const QByteArray frame = hex("01 03 0E 00 00 01 10 00 EF E9");
    for (int i = 0; i < frame.size(); ++i) {
        QCOMPARE(rec.decoded.size(), 0);
        link.ReceiveByte(quint8(frame[i]));
        if (i < frame.size() - 1)
            QCOMPARE(link.RxIndex, quint8(i + 1));
    }
    QCOMPARE(rec.decoded.size(), 1);
    QVERIFY(rec.decoded[0].startsWith(u"status 1 word=0001"));
    QCOMPARE(rec.log, QStringLiteral("1 3 E 0 0 1 10 0 EF E9 \r\n"));
    QCOMPARE(link.RxIndex, quint8(0));

    // The status read's own eight bytes pass their CRC check at the eighth, but
    // a status answer has ten: the frame goes on, nothing is shown.
    rec.log.clear();
    feed(link, hex("01 03 0E 00 00 00 47 22"));
    QCOMPARE(link.RxIndex, quint8(8));
    QVERIFY(!rec.log.contains(u'\r'));
    QCOMPARE(rec.decoded.size(), 1);
    // A running value whose CRC matches early, at its ninth byte, is whole at ten.
    link.RxIndex = 0;
    feed(link, hex("03 03 0D 01 00 00 00 04 0E 00"));
    QCOMPARE(rec.decoded.size(), 2);
    QCOMPARE(link.RxIndex, quint8(0));
}

void tst_receive::garbageBeforeFrame_data()
{
    QTest::addColumn<QByteArray>("garbage");
    QTest::addColumn<QString>("log");
    QTest::addRow("20") << hex("20") << "20 ";
    QTest::addRow("C8 FF 7F") << hex("C8 FF 7F") << "C8 FF 7F ";
}

void tst_receive::garbageBeforeFrame()
{
    QFETCH(QByteArray, garbage);
    QFETCH(QString, log);
    LoopbackPort port;
    Hexedit link(port);
    Recorder rec(link);
    feed(link, garbage);
    QCOMPARE(link.RxIndex, quint8(0));
    QCOMPARE(rec.log, log);
    link.ReceiveByte(0x01);
    QCOMPARE(link.RxBuffer[0], quint8(0x01));
    feed(link, hex("03 0D 00 13 88 00 08 36 B2"));
    QCOMPARE(rec.decoded,
             QStringList{QStringLiteral("running 1 index=0 raw=5000 code=8 value=50")});
}

void tst_receive::twentyByteWrap()
{
    LoopbackPort port;
    Hexedit link(port);
    Recorder rec(link);
    // A slave address followed by bytes that never name a function.
    link.ReceiveByte(0x01);
    for (int i = 1; i < 19; ++i)
        link.ReceiveByte(0x00);
    QCOMPARE(link.RxIndex, quint8(19));
    link.ReceiveByte(0x1A); // the twentieth
    QCOMPARE(link.RxBuffer[19], quint8(0x1A));
    QCOMPARE(link.RxIndex, quint8(1));
    link.ReceiveByte(0x1B); // the twenty-first lands next to the old byte 0
    QCOMPARE(link.RxBuffer[1], quint8(0x1B));
    QCOMPARE(link.RxBuffer[0], quint8(0x01));
    QCOMPARE(link.RxIndex, quint8(2));
    QVERIFY(rec.decoded.isEmpty());
    QVERIFY(!rec.log.contains(u'\r'));
}

void tst_receive::notDecoded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("01 03 0E 00 00 00 22 47") << hex("01 03 0E 00 00 00 22 47");
    QTest::addRow("01 03 0E 00 00 01 47 22") << hex("01 03 0E 00 00 01 47 22");
    // An exception reply ends its frame but is never decoded (see the link client's tests).
    QTest::addRow("01 83 02 C1 F1") << hex("01 83 02 C1 F1 00 00 00 00");
    QTest::addRow("01 04 0E 00 00 00 F2 E2") << hex("01 04 0E 00 00 00 F2 E2");
}

void tst_receive::notDecoded()
{
    QFETCH(QByteArray, bytes);
    LoopbackPort port;
    Hexedit link(port);
    Recorder rec(link);
    feed(link, bytes);
    QVERIFY(rec.decoded.isEmpty());
    QVERIFY(!rec.log.contains(u'\r'));
}

void tst_receive::wrongShapeNotShown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Right CRC, wrong shape for the kind of reply: what a confused gateway or
    // a torn reply puts on the line. Shown, each was a plausible false value.
    QTest::addRow("write echo on the running values") << Hexedit::WithCrc(hex("01 06 0D 00 32 2D"));
    QTest::addRow("running value cut to 8 bytes") << Hexedit::WithCrc(hex("01 03 0D 00 35 FD"));
    QTest::addRow("status as a write") << Hexedit::WithCrc(hex("01 06 0E 00 00 01 10 00"));
    QTest::addRow("parameter in 10 bytes") << Hexedit::WithCrc(hex("01 03 00 03 13 88 00 00"));
    QTest::addRow("parameter by control write") << Hexedit::WithCrc(hex("01 10 00 03 13 88"));
}

void tst_receive::wrongShapeNotShown()
{
    QFETCH(QByteArray, bytes);
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    Recorder rec(link);
    feed(link, bytes);
    QVERIFY(rec.decoded.isEmpty());
    // The next request's whole answer is shown as ever.
    QVERIFY(link.SendPollRequest(1, 1));
    feed(link, hex("01 03 0D 00 13 88 00 08 36 B2"));
    QCOMPARE(rec.decoded.size(), 1);
}

void tst_receive::oneAtATimeEqualsBulk()
{
    const QByteArray stream = mixedStream();

    LoopbackPort directPort;
    Hexedit direct(directPort);
    Recorder expected(direct);
    feed(direct, stream);
    QCOMPARE(expected.decoded.size(), 5);

    // All at once: the receive event takes one byte, the drain the rest.
    LoopbackPort bulkPort;
    bulkPort.open();
    Hexedit bulk(bulkPort);
    Recorder got(bulk);
    bulkPort.inject(stream);
    int ticks = 0;
    while (bulk.DrainTimer().isActive() && ticks++ < 10 * stream.size())
        bulk.DrainTick();
    QCOMPARE(got.decoded, expected.decoded);
    QCOMPARE(got.log, expected.log);

    // In pieces of odd sizes, each raising its own receive event.
    LoopbackPort piecePort;
    piecePort.open();
    Hexedit pieces(piecePort);
    Recorder gotPieces(pieces);
    for (int at = 0, size = 1; at < stream.size(); at += size, size = size % 5 + 2) {
        piecePort.inject(stream.mid(at, size));
        while (pieces.DrainTimer().isActive())
            pieces.DrainTick();
    }
    QCOMPARE(gotPieces.decoded, expected.decoded);
    QCOMPARE(gotPieces.log, expected.log);
}

void tst_receive::absurdIndexStaysInside_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("19") << 19;
    QTest::newRow("20") << 20;
    QTest::newRow("21") << 21;
    QTest::newRow("200") << 200;
    QTest::newRow("255") << 255;
}

void tst_receive::absurdIndexStaysInside()
{
    QFETCH(int, index);
    LoopbackPort port;
    Hexedit link(port);
    link.RxBuffer.fill(0x01); // address 1, function 1: the index keeps counting
    link.RxIndex = quint8(index);
    link.ReceiveByte(0x05);
    QVERIFY(std::find(link.RxBuffer.begin(), link.RxBuffer.end(), 0x05) != link.RxBuffer.end());
    QVERIFY(link.RxIndex < link.RxBuffer.size());
    link.RxIndex = quint8(index);
    link.CalcReceiveCrc(); // a direct call must not read past the buffer either
    link.RxIndex = 0;
    feed(link, hex("01 03 0E 00 00 01 10 00 EF E9"));
    QCOMPARE(link.RxIndex, quint8(0));
}

void tst_receive::receiveEventHandsOneByte()
{
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    Recorder rec(link);
    QSignalSpy events(&link, &Hexedit::receiveEvent);
    port.inject(hex("01 03 0E"));
    QCOMPARE(events.count(), 1);
    QVERIFY(link.DrainTimer().isActive());
    QCOMPARE(link.DrainTimer().interval(), 1);
    QCOMPARE(rec.log, QStringLiteral("1 "));
    QCOMPARE(port.bytesWaiting(), 2);

    // An event with nothing to read still counts as one and starts the drain.
    link.DrainTimer().stop();
    port.clearInput();
    link.OnBytesReceived();
    QCOMPARE(events.count(), 2);
    QVERIFY(link.DrainTimer().isActive());
    QCOMPARE(rec.log, QStringLiteral("1 "));
}

void tst_receive::drainTick_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("logged");
    QTest::addColumn<bool>("running");
    QTest::newRow("nothing") << 0 << 0 << 0 << false;
    QTest::newRow("1") << 1 << 0 << 1 << true;
    QTest::newRow("200") << 200 << 199 << 1 << true;
    QTest::newRow("201") << 201 << 0 << 0 << true;
    QTest::newRow("250") << 250 << 0 << 0 << true;
}

void tst_receive::drainTick()
{
    QFETCH(int, waiting);
    QFETCH(int, left);
    QFETCH(int, logged);
    QFETCH(bool, running);
    LoopbackPort port;
    port.open();
    port.inject(QByteArray(waiting, '\x20')); // nobody listens yet
    Hexedit link(port);
    QSignalSpy log(&link, &Hexedit::trafficLog);
    link.DrainTimer().start();
    link.DrainTick();
    QCOMPARE(port.bytesWaiting(), left);
    QCOMPARE(log.count(), logged);
    QCOMPARE(link.DrainTimer().isActive(), running);
    // Whatever was left, the drain ends by itself once the input is empty.
    for (int ticks = 0; link.DrainTimer().isActive() && ticks < 1000; ++ticks)
        link.DrainTick();
    QVERIFY(!link.DrainTimer().isActive());
    QCOMPARE(port.bytesWaiting(), 0);
}

QTEST_GUILESS_MAIN(tst_receive)
void tst_receive::echoingLine()
{
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    Recorder rec(link);
    auto readParameter = [&] { // P0.06 of drive 1, whose value is 0
        link.SlaveAddress = 1;
        link.FunctionCode = 3;
        link.RegisterHigh = 0;
        link.RegisterLow = 6;
        passAnswerTimeout(link); // a poll rhythm passes between requests
        QVERIFY(link.SendRequest());
    };
    auto readStatus = [&] {
        passAnswerTimeout(link);
        QVERIFY(link.SendPollRequest(1, 0));
    };
    const QByteArray parameterZero = hex("01 03 00 06 00 00 A5 CB");
    const QByteArray status = hex("01 03 0E 00 00 01 10 00 EF E9");

    // A line that does not echo: the answer of a parameter at 0 is the very
    // bytes of its read, and it is the drive's answer.
    readParameter();
    QCOMPARE(link.TxFrame, parameterZero);
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 1);
    // A late frame of another parameter after it proves no echo: the next
    // answer of that shape is still shown.
    feed(link, Hexedit::WithCrc(hex("01 03 00 07 00 05")));
    readParameter();
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 3);
    rec.decoded.removeLast();
    rec.decoded.removeLast();

    // The adapter starts hearing itself; a status read coming back is no answer.
    readStatus();
    feed(link, link.TxFrame);
    feed(link, status);
    QCOMPARE(rec.decoded.size(), 2);
    QVERIFY(rec.decoded.last().startsWith(u"status 1"));

    // Now the first copy of a parameter read is the echo, the second the answer;
    // a silent drive leaves only the echo, and nothing is shown.
    readParameter();
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 2);
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 3);
    readParameter();
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 3);

    // An adapter that does not echo again: the answer comes first and counts.
    readStatus();
    feed(link, status);
    readParameter();
    feed(link, parameterZero);
    QCOMPARE(rec.decoded.size(), 5);
}

#include "tst_receive.moc"
