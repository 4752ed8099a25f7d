// SPDX-License-Identifier: GPL-3.0-or-later
// What a complete reply is decoded into, by the register block it answers.
#include "Hexedit.h"
#include "LoopbackPort.h"

#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class tst_decode : public QObject
{
    Q_OBJECT

private slots:
    void runningFactor();
    void runningValue_data();
    void runningValue();
    void status_data();
    void status();
    void replyKind_data();
    void replyKind();
};

void tst_decode::runningFactor()
{
    QCOMPARE(Hexedit::RunningFactor(4), 0.1f);
    QCOMPARE(Hexedit::RunningFactor(8), 0.01f);
    QCOMPARE(Hexedit::RunningFactor(16), 0.001f);
    for (const quint8 other : {0, 1, 2, 3, 12, 24, 31})
        QCOMPARE(Hexedit::RunningFactor(other), 1.0f);
}

void tst_decode::runningValue_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("raw");
    QTest::addColumn<float>("value");
    // Bytes 0..7 as the decoder reads them.
    QTest::newRow("01 03 0D 00 13 88 00 08")
        << hex("01 03 0D 00 13 88 00 08") << 0 << 5000 << 50.0f;
    QTest::newRow("01 03 0D 00 13 88 00 02")
        << hex("01 03 0D 00 13 88 00 02") << 0 << 5000 << 5000.0f;
    QTest::newRow("01 03 0D 03 13 88 00 04")
        << hex("01 03 0D 03 13 88 00 04") << 3 << 5000 << 500.0f;
    QTest::newRow("01 03 0D 04 05 AA 00 00")
        << hex("01 03 0D 04 05 AA 00 00") << 4 << 1450 << 1450.0f;
    QTest::newRow("01 03 0D 02 13 88 00 10") << hex("01 03 0D 02 13 88 00 10") << 2 << 5000 << 5.0f;
    QTest::newRow("01 03 0D 00 13 88 00 E8")
        << hex("01 03 0D 00 13 88 00 E8") << 0 << 5000 << 50.0f;
    QTest::newRow("01 03 0D 11 FF FF 00 00")
        << hex("01 03 0D 11 FF FF 00 00") << 17 << 65535 << 65535.0f;
    QTest::newRow("01 03 0D 1C 80 00 00 0C")
        << hex("01 03 0D 1C 80 00 00 0C") << 28 << 32768 << 32768.0f;
}

void tst_decode::runningValue()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, index);
    QFETCH(int, raw);
    QFETCH(float, value);
    LoopbackPort port;
    Hexedit link(port);
    QSignalSpy spy(&link, &Hexedit::runningValueReceived);
    std::copy(frame.begin(), frame.end(), link.RxBuffer.begin());
    link.DecodeResponse();
    QCOMPARE(spy.count(), 1);
    const auto reply = spy.at(0).at(0).value<RunningValueReply>();
    QCOMPARE(reply.address, quint8(1));
    QCOMPARE(int(reply.index), index);
    QCOMPARE(int(reply.raw), raw);
    QCOMPARE(int(reply.decimalCode), quint8(frame[7]) & 0x1F);
    QCOMPARE(reply.value, value);
}

void tst_decode::status_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<int>("number");
    QTest::newRow("01 03 0E 00 00 00 14 00")
        << hex("01 03 0E 00 00 00 14 00") << true << true << false << 0;
    QTest::newRow("01 03 0E 00 00 00 00 00")
        << hex("01 03 0E 00 00 00 00 00") << false << false << false << 0;
    QTest::newRow("01 03 0E 00 00 00 EB DF")
        << hex("01 03 0E 00 00 00 EB DF") << false << false << false << 0;
    QTest::newRow("01 03 0E 00 00 60 10 20")
        << hex("01 03 0E 00 00 60 10 20") << false << true << true << 3;
    QTest::newRow("01 03 0E 00 80 60 04 20")
        << hex("01 03 0E 00 80 60 04 20") << true << false << true << 3;
    QTest::newRow("01 03 0E 00 01 60 00 20")
        << hex("01 03 0E 00 01 60 00 20") << false << false << true << 11;
    QTest::newRow("01 03 0E 00 1F E0 00 20")
        << hex("01 03 0E 00 1F E0 00 20") << false << false << true << 255;
    QTest::newRow("01 03 0E 00 E0 1F 00 20")
        << hex("01 03 0E 00 E0 1F 00 20") << false << false << true << 0;
}

void tst_decode::status()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, reverse);
    QFETCH(bool, running);
    QFETCH(bool, fault);
    QFETCH(int, number);
    LoopbackPort port;
    Hexedit link(port);
    QSignalSpy spy(&link, &Hexedit::statusReceived);
    std::copy(frame.begin(), frame.end(), link.RxBuffer.begin());
    link.DecodeResponse();
    QCOMPARE(spy.count(), 1);
    const auto reply = spy.at(0).at(0).value<StatusReply>();
    QCOMPARE(reply.reverse, reverse);
    QCOMPARE(reply.running, running);
    QCOMPARE(reply.fault, fault);
    QCOMPARE(reply.faultNumber, number);
    QCOMPARE(int(reply.statusWord), (quint8(frame[4]) << 8) | quint8(frame[5]));
}

void tst_decode::replyKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("parameters");
    QTest::addColumn<int>("running");
    QTest::addColumn<int>("statuses");
    QTest::newRow("group 0") << 0x00 << 1 << 0 << 0;
    QTest::newRow("group A") << 0x0A << 1 << 0 << 0;
    QTest::newRow("0B") << 0x0B << 0 << 0 << 0;
    QTest::newRow("0C") << 0x0C << 0 << 0 << 0;
    QTest::newRow("0D") << 0x0D << 0 << 1 << 0;
    QTest::newRow("0E") << 0x0E << 0 << 0 << 1;
    QTest::newRow("0F") << 0x0F << 0 << 0 << 0;
    QTest::newRow("control echo 20") << 0x20 << 0 << 0 << 0;
    QTest::newRow("FF") << 0xFF << 0 << 0 << 0;
}

void tst_decode::replyKind()
{
    QFETCH(int, kind);
    QFETCH(int, parameters);
    QFETCH(int, running);
    QFETCH(int, statuses);
    LoopbackPort port;
    Hexedit link(port);
    QSignalSpy p(&link, &Hexedit::parameterReceived);
    QSignalSpy r(&link, &Hexedit::runningValueReceived);
    QSignalSpy s(&link, &Hexedit::statusReceived);
    const QByteArray frame = QByteArray(1, '\x03') + hex("03") + char(kind) + hex("05 01 F4 00 00");
    std::copy(frame.begin(), frame.end(), link.RxBuffer.begin());
    link.DecodeResponse();
    QCOMPARE(p.count(), parameters);
    QCOMPARE(r.count(), running);
    QCOMPARE(s.count(), statuses);
    if (parameters) {
        const auto reply = p.at(0).at(0).value<ParameterReply>();
        QCOMPARE(int(reply.group), kind);
        QCOMPARE(int(reply.index), 5);
        QCOMPARE(int(reply.raw), 500);
        QCOMPARE(int(reply.address), 3);
    }
}

QTEST_GUILESS_MAIN(tst_decode)
#include "tst_decode.moc"
