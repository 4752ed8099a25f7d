// SPDX-License-Identifier: GPL-3.0-or-later
// The request side of the link: CRC-16, the three frame shapes and the value
// conversions at their rounding edges.
#include "LinkBench.h"

#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QString spaced(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

using Bench = LinkBench;

constexpr int kNone = -1; // "nothing is sent / no value" in the tables below

} // namespace

class tst_link : public QObject
{
    Q_OBJECT

private slots:
    void crc_data();
    void crc();
    void readFrame_data();
    void readFrame();
    void controlFrame_data();
    void controlFrame();
    void parameterWrite_data();
    void parameterWrite();
    void otherFunctionResendsLastFrame();
    void closedPortWritesNothing();
    void badControlValueNeverReusesOldSetpoint();
};

void tst_link::crc_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("\"123456789\"") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("01 03 0E 00 00 00") << hex("01030E000000") << 0x2247;
    QTest::newRow("01 10 20 00 00 02 04 00 12 13 88") << hex("0110200000020400121388") << 0x3DC7;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
}

void tst_link::crc()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(Hexedit::Crc16(reinterpret_cast<const quint8*>(bytes.constData()), bytes.size()),
             quint16(expected));
    Bench b;
    b.link.CalcRequestCrc(bytes);
    QCOMPARE(b.link.CrcLow, quint8(expected & 0xFF));
    QCOMPARE(b.link.CrcHigh, quint8(expected >> 8));
}

void tst_link::readFrame_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("reg");
    QTest::addRow("01 03 0E 00 00 00 47 22") << 1 << 0x0E00;
    QTest::addRow("1F 03 0A 0C 00 00 85 AF") << 31 << 0x0A0C;
    QTest::addRow("05 03 0D 14 00 00 06 E6") << 5 << 0x0D14;
}

void tst_link::readFrame()
{
    QFETCH(int, address);
    QFETCH(int, reg);
    Bench b;
    // Leftovers of an earlier write must not leak into the register count.
    b.link.ValueHigh = 0x12;
    b.link.ValueLow = 0x34;
    b.link.SlaveAddress = quint8(address);
    b.link.FunctionCode = 3;
    b.link.RegisterHigh = quint8(reg >> 8);
    b.link.RegisterLow = quint8(reg);
    QVERIFY(b.link.SendRequest());
    QCOMPARE(spaced(b.lastWritten()), QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(b.link.TxFrame, b.lastWritten());
}

void tst_link::controlFrame_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("setpoint"); // kNone: nothing may be sent

    QTest::addRow("01 10 20 00 00 02 04 00 12 13 88 C7 3D") << 1 << 0x12 << "50" << 5000;
    QTest::addRow("05 10 20 00 00 02 04 00 01 00 00 2E 9E") << 5 << 0x01 << "0" << 0;
    QTest::addRow("50.5") << 1 << 0x12 << "50.5" << 0x13BA;
    QTest::addRow("padded") << 1 << 0x12 << " 50 " << 5000;
    QTest::addRow("point first") << 1 << 0x12 << ".5" << 50;
    // "##0.00" rounds the decimal text half away from zero, then x100.
    QTest::addRow("0.125") << 1 << 0x12 << "0.125" << 13;
    QTest::addRow("0.005") << 1 << 0x12 << "0.005" << 1;
    QTest::addRow("0.004") << 1 << 0x12 << "0.004" << 0;
    QTest::addRow("1.005") << 1 << 0x12 << "1.005" << 101;
    QTest::addRow("2.675") << 1 << 0x12 << "2.675" << 268;
    QTest::addRow("just under a half") << 1 << 0x12 << "0.0049999999999" << 0;
    QTest::addRow("655.35") << 1 << 0x12 << "655.35" << 65535;
    QTest::addRow("655.354") << 1 << 0x12 << "655.354" << 65535;
    QTest::addRow("655.355") << 1 << 0x12 << "655.355" << kNone;
    QTest::addRow("655.36") << 1 << 0x12 << "655.36" << kNone;
    QTest::addRow("1000000") << 1 << 0x12 << "1000000" << kNone;
    QTest::addRow("negative") << 1 << 0x12 << "-1" << kNone;
    QTest::addRow("small negative") << 1 << 0x12 << "-0.001" << kNone;
    QTest::addRow("empty") << 1 << 0x12 << "" << kNone;
    QTest::addRow("abc") << 1 << 0x12 << "abc" << kNone;
    QTest::addRow("1e3") << 1 << 0x12 << "1e3" << kNone;
    QTest::addRow("inf") << 1 << 0x12 << "inf" << kNone;
    QTest::addRow("nan") << 1 << 0x12 << "nan" << kNone;
    QTest::addRow("unit typed") << 1 << 0x12 << "50Hz" << kNone;
    QTest::addRow("pasted text") << 1 << 0x12 << "50\nrm -rf" << kNone;
    QTest::addRow("full-width digits") << 1 << 0x12 << QStringLiteral("５０") << kNone;
}

void tst_link::controlFrame()
{
    QFETCH(int, address);
    QFETCH(int, command);
    QFETCH(QString, value);
    QFETCH(int, setpoint);
    QCOMPARE(Hexedit::ControlSetpoint(value),
             setpoint == kNone ? std::nullopt : std::optional<quint16>(quint16(setpoint)));

    Bench b;
    QCOMPARE(b.link.PrepareControlWrite(quint8(address), quint8(command), value),
             setpoint != kNone);
    QCOMPARE(b.link.SendRequest(), setpoint != kNone);
    if (setpoint == kNone) {
        QVERIFY(b.port.written().isEmpty());
        return;
    }
    const QByteArray body = QByteArray(1, char(address)) + hex("10200000020400") + char(command) +
                            char(setpoint >> 8) + char(setpoint & 0xFF);
    const QByteArray expected = Hexedit::WithCrc(body);
    QCOMPARE(spaced(b.lastWritten()), spaced(expected));
    if (QString::fromLatin1(QTest::currentDataTag()).count(u' ') > 5)
        QCOMPARE(spaced(b.lastWritten()), QString::fromLatin1(QTest::currentDataTag()));
}

void tst_link::parameterWrite_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<std::optional<double>>("scale");
    QTest::addColumn<int>("raw"); // kNone: nothing may be sent

    using S = std::optional<double>;
    QTest::addRow("01 06 00 05 13 BA 15 48") << "50.5" << S(0.01) << 0x13BA;
    QTest::addRow("50 at 0.01") << "50" << S(0.01) << 5000;
    QTest::addRow("0.3 at 0.1") << "0.3" << S(0.1) << 3;
    QTest::addRow("1.234 at 0.001") << "1.234" << S(0.001) << 1234;
    // A half goes to the even neighbour.
    QTest::addRow("0.5") << "0.5" << S(1.0) << 0;
    QTest::addRow("1.5") << "1.5" << S(1.0) << 2;
    QTest::addRow("2.5") << "2.5" << S(1.0) << 2;
    QTest::addRow("3.5") << "3.5" << S(1.0) << 4;
    QTest::addRow("65535") << "65535" << S(1.0) << 65535;
    QTest::addRow("655.35 at 0.01") << "655.35" << S(0.01) << 65535;
    QTest::addRow("65536") << "65536" << S(1.0) << kNone;
    QTest::addRow("655.36 at 0.01") << "655.36" << S(0.01) << kNone;
    QTest::addRow("negative") << "-1" << S(1.0) << kNone;
    QTest::addRow("reserved (no scale)") << "5" << S() << kNone;
    QTest::addRow("zero scale") << "5" << S(0.0) << kNone;
    QTest::addRow("empty") << "" << S(1.0) << kNone;
    QTest::addRow("abc") << "abc" << S(1.0) << kNone;
    QTest::addRow("1e3") << "1e3" << S(1.0) << kNone;
    QTest::addRow("inf") << "inf" << S(1.0) << kNone;
}

void tst_link::parameterWrite()
{
    QFETCH(QString, value);
    QFETCH(std::optional<double>, scale);
    QFETCH(int, raw);
    QCOMPARE(Hexedit::ParameterRaw(value, scale),
             raw == kNone ? std::nullopt : std::optional<quint16>(quint16(raw)));

    Bench b;
    b.link.SlaveAddress = 1;
    b.link.FunctionCode = 6;
    b.link.RegisterHigh = 0x00;
    b.link.RegisterLow = 0x05;
    b.link.ParameterScale = scale;
    QCOMPARE(b.link.SendRequest(value), raw != kNone);
    if (raw == kNone) {
        QVERIFY(b.port.written().isEmpty());
        return;
    }
    const QByteArray frame = b.lastWritten();
    QCOMPARE(frame.size(), 8);
    QCOMPARE(spaced(frame.left(4)), QStringLiteral("01 06 00 05"));
    QCOMPARE((quint8(frame[4]) << 8) | quint8(frame[5]), raw);
    if (QString::fromLatin1(QTest::currentDataTag()).startsWith(u"01 "))
        QCOMPARE(spaced(frame), QString::fromLatin1(QTest::currentDataTag()));
}

void tst_link::otherFunctionResendsLastFrame()
{
    Bench b;
    b.link.FunctionCode = 0x42;
    QVERIFY(!b.link.SendRequest()); // nothing built yet, nothing to repeat
    QVERIFY(b.port.written().isEmpty());

    QVERIFY(b.link.PrepareControlWrite(1, 0x12, QStringLiteral("50")));
    QVERIFY(b.link.SendRequest());
    const QByteArray first = b.lastWritten();
    b.link.SlaveAddress = 7;
    b.link.RegisterHigh = 0x0D;
    b.link.FunctionCode = 4;
    QVERIFY(b.link.SendRequest());
    QCOMPARE(b.port.written().size(), 2);
    QCOMPARE(spaced(b.lastWritten()), spaced(first));
}

void tst_link::closedPortWritesNothing()
{
    LoopbackPort port;
    Hexedit link(port);
    QSignalSpy sent(&link, &Hexedit::frameSent);
    link.SlaveAddress = 1;
    link.FunctionCode = 3;
    QVERIFY(!link.SendRequest());
    QVERIFY(link.PrepareControlWrite(1, 0x12, QStringLiteral("50")));
    QVERIFY(!link.SendRequest());
    QVERIFY(!link.SendPollRequest(1, 0));
    QVERIFY(port.written().isEmpty());
    QCOMPARE(sent.count(), 0);
    // Nothing went out, so no drive counts as addressed.
    QVERIFY(!link.LastRequestAddress());
}

void tst_link::badControlValueNeverReusesOldSetpoint()
{
    Bench b;
    QVERIFY(b.link.PrepareControlWrite(1, 0x12, QStringLiteral("50")));
    QVERIFY(b.link.SendRequest());
    b.port.clearWritten();
    for (const QString& bad : {QString(), QStringLiteral("abc"), QStringLiteral("700")}) {
        QVERIFY(!b.link.PrepareControlWrite(1, 0x12, bad));
        QVERIFY(!b.link.SendRequest());
        // A poll in between and the control write still stays unsendable.
        QVERIFY(b.link.SendPollRequest(1, 0));
        b.link.FunctionCode = 16;
        QVERIFY(!b.link.SendRequest());
    }
    for (const QByteArray& frame : b.port.written())
        QCOMPARE(quint8(frame[1]), quint8(3));
}

QTEST_GUILESS_MAIN(tst_link)
#include "tst_link.moc"
