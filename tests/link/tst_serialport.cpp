// SPDX-License-Identifier: GPL-3.0-or-later
// The real device path, run against pseudo-terminals: the test holds the
// master side and plays the drive, the port under test opens the slave.
#include "DevicePort.h"
#include "Hexedit.h"
#include "LoopbackPort.h"
#include "UsbLatency.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

class Pty
{
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }
    int master() const { return m_master; }

    bool send(const QByteArray& bytes)
    {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Everything the port wrote so far.
    QByteArray received()
    {
        char chunk[256];
        for (ssize_t n; (n = ::read(m_master, chunk, sizeof chunk)) > 0;)
            m_received.append(chunk, n);
        return m_received;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
    QByteArray m_received;
};

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

QByteArray readAllBytes(SerialPort& port)
{
    QByteArray bytes;
    while (const std::optional<quint8> b = port.readByte())
        bytes.append(char(*b));
    return bytes;
}

} // namespace

class tst_serialport : public QObject
{
    Q_OBJECT

private slots:
    void systemPortName_data();
    void systemPortName();
    void bytesBothWays();
    void lineSettingsReachTheDevice();
    void openedTwice();
    void notAPort_data();
    void notAPort();
    void reopenAfterClose();
    void vanishedFarEnd();
    void replyThroughTheLink();
    void floodLeavesThePortListening();
    void stalledLineRefusesWrites();
    void usbLatencyTimerIsFoundAndAllowedFor();
};

void tst_serialport::systemPortName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("system");
    QTest::newRow("COM1") << "COM1"
                          << "/dev/ttyS0";
    QTest::newRow("COM12") << "COM12"
                           << "/dev/ttyS11";
    QTest::newRow("COM16") << "COM16"
                           << "/dev/ttyS15";
    QTest::newRow("com3") << "com3"
                          << "/dev/ttyS2";
    QTest::newRow("COM0") << "COM0"
                          << "";
    QTest::newRow("COM") << "COM"
                         << "";
    QTest::newRow("COMx") << "COMx"
                          << "";
    QTest::newRow("COM-1") << "COM-1"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("/dev/ttyUSB0") << "/dev/ttyUSB0"
                                  << "/dev/ttyUSB0";
    QTest::newRow("by-id path") << "/dev/serial/by-id/usb-x-if00"
                                << "/dev/serial/by-id/usb-x-if00";
}

void tst_serialport::systemPortName()
{
    QFETCH(QString, name);
    QFETCH(QString, system);
    QCOMPARE(DevicePort::SystemPortName(name), system);
}

void tst_serialport::bytesBothWays()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    QSignalSpy received(&port, &SerialPort::bytesReceived);
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QVERIFY(port.isOpen());

    // Every byte value passes untouched: no echo, no CR/LF mapping, no XON/XOFF.
    const QByteArray all = everyByteValue();
    QVERIFY(pty.send(all));
    QTRY_COMPARE(port.bytesWaiting(), qint64(all.size()));
    QVERIFY(received.count() >= 1);
    QCOMPARE(readAllBytes(port), all);
    QCOMPARE(port.bytesWaiting(), 0);

    QVERIFY(port.write(all));
    QTRY_COMPARE(pty.received().size(), all.size());
    QCOMPARE(pty.received(), all);

    port.close();
    QVERIFY(!port.isOpen());
    QVERIFY(!port.write(all));
    QVERIFY(!port.readByte());
    QCOMPARE(port.bytesWaiting(), 0);
}

void tst_serialport::lineSettingsReachTheDevice()
{
    // A pseudo-terminal keeps 8 data bits without parity whatever it is asked
    // (there is no wire); speed and stop bits still reach it.
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QVERIFY(port.setSettings(QStringLiteral("1200,O,7,2")));
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    termios t{};
    QCOMPARE(::tcgetattr(pty.master(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B1200));
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(CSTOPB));
    QCOMPARE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), tcflag_t(0));
    QCOMPARE(t.c_lflag & (ICANON | ECHO), tcflag_t(0));

    // Changed while open: applied at once.
    QVERIFY(port.setSettings(QStringLiteral("19200,E,8,1")));
    QCOMPARE(::tcgetattr(pty.master(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B19200));
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(port.settings(), QStringLiteral("19200,E,8,1"));

    QVERIFY(port.setSettings(QStringLiteral("38400,S,5,1.5")));
    QCOMPARE(::tcgetattr(pty.master(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B38400));

    QVERIFY(!port.setSettings(QStringLiteral("9600,E,9,1")));
    QCOMPARE(port.settings(), QStringLiteral("38400,S,5,1.5"));
    QCOMPARE(::tcgetattr(pty.master(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B38400));
    QVERIFY(port.isOpen());
}

void tst_serialport::openedTwice()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QCOMPARE(port.open(), SerialPort::OpenError::PortBusy);
    QCOMPARE(SerialPort::errorNumber(SerialPort::OpenError::PortBusy), 8005);

    // Another program (here: another port object) holding the device.
    DevicePort other;
    other.setPortName(pty.slavePath());
    QCOMPARE(other.open(), SerialPort::OpenError::PortBusy);
    QVERIFY(!other.isOpen());
    QVERIFY(!other.errorString().isEmpty());

    // The first one is still open and working.
    QVERIFY(port.isOpen());
    QVERIFY(pty.send("\x07"));
    QTRY_COMPARE(port.bytesWaiting(), 1);
}

void tst_serialport::notAPort_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("does not exist") << "/dev/vfdtool-no-such-port";
    QTest::newRow("COM0") << "COM0";
    QTest::newRow("/dev/null") << "/dev/null";
    QTest::newRow("plain file") << "file";
    QTest::newRow("directory") << "dir";
}

void tst_serialport::notAPort()
{
    QFETCH(QString, path);
    QTemporaryFile file;
    QTemporaryDir dir;
    if (path == u"file") {
        QVERIFY(file.open());
        path = file.fileName();
    } else if (path == u"dir") {
        path = dir.path();
    }
    DevicePort port;
    port.setPortName(path);
    QCOMPARE(port.open(), SerialPort::OpenError::InvalidPort);
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());
    QCOMPARE(SerialPort::errorNumber(SerialPort::OpenError::InvalidPort), 8002);
}

void tst_serialport::reopenAfterClose()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    port.close();
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QVERIFY(pty.send("\x01\x02"));
    QTRY_COMPARE(port.bytesWaiting(), 2);
    // Emptying the input leaves an open, quiet port: nothing counts as lost.
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    port.clearInput();
    QCOMPARE(port.bytesWaiting(), 0);
    QTest::qWait(20);
    QCOMPARE(lost.count(), 0);
    QVERIFY(port.isOpen());
}

void tst_serialport::vanishedFarEnd()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    pty.closeMaster();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());
    // Once said is enough: no second report, however long the loop runs on.
    QTest::qWait(50);
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port.write("\x01"));
    QVERIFY(!port.readByte());
}

void tst_serialport::replyThroughTheLink()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    Hexedit link(port);
    QSignalSpy status(&link, &Hexedit::statusReceived);

    link.SlaveAddress = 1;
    link.FunctionCode = 3;
    link.RegisterHigh = 0x0E;
    link.RegisterLow = 0x00;
    QVERIFY(link.SendRequest());
    QTRY_COMPARE(pty.received(), QByteArray::fromHex("01030E0000004722"));

    QVERIFY(pty.send(QByteArray::fromHex("01030E0000001420BD31")));
    QTRY_COMPARE(status.count(), 1);
    const auto reply = status.at(0).at(0).value<StatusReply>();
    QVERIFY(reply.reverse);
    QVERIFY(reply.running);
    QVERIFY(reply.fault);
    QTRY_VERIFY(!link.DrainTimer().isActive());
}

void tst_serialport::floodLeavesThePortListening()
{
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    Hexedit link(port);
    QSignalSpy status(&link, &Hexedit::statusReceived);
    auto spin = [&link] {
        QCoreApplication::processEvents();
        link.DrainTick();
    };

    // Far more noise than the port buffers: the backlog is thrown away...
    const QByteArray noise(8000, '\xFF');
    qsizetype sent = 0;
    for (int spins = 0; sent < noise.size() && spins < 200000; ++spins) {
        const ssize_t n =
            ::write(pty.master(), noise.constData() + sent, size_t(noise.size() - sent));
        if (n > 0)
            sent += n;
        spin();
    }
    QCOMPARE(sent, noise.size());
    for (int quiet = 0, spins = 0; quiet < 50 && spins < 200000; ++spins) {
        spin();
        quiet = port.bytesWaiting() == 0 ? quiet + 1 : 0;
    }
    QCOMPARE(port.bytesWaiting(), 0);

    // ...and the port still hears the next reply.
    link.RxIndex = 0;
    QVERIFY(pty.send(QByteArray::fromHex("01030E0000001420BD31")));
    QTRY_VERIFY((spin(), status.count() == 1));
}

void tst_serialport::stalledLineRefusesWrites()
{
    // The far end stops taking bytes. Frames must not queue up without end in
    // the program, to reach a drive long after a newer command was chosen.
    Pty pty;
    QVERIFY(pty.ok());
    DevicePort port;
    port.setPortName(pty.slavePath());
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    const QByteArray frame = QByteArray::fromHex("01102000000204001213 88C73D");
    int accepted = 0;
    bool refused = false;
    for (int i = 0; i < 100000 && !refused; ++i) {
        if (port.write(frame))
            ++accepted;
        else
            refused = true;
        if (i % 16 == 0)
            QCoreApplication::processEvents();
    }
    QVERIFY(refused);
    // Once the line moves again, writes go through again.
    QTRY_VERIFY(!pty.received().isEmpty() && port.write(frame));
    QVERIFY(accepted > 0);
}

// A fake sysfs tree: the timer is found by the kernel's name of the device,
// also through a by-id link; what is not a number is no timer; the link's
// answer time-out grows by it.
void tst_serialport::usbLatencyTimerIsFoundAndAllowedFor()
{
    QTemporaryDir sys;
    auto put = [&](const QString& path, const QByteArray& text) {
        QVERIFY(QDir().mkpath(QFileInfo(sys.filePath(path)).path()));
        QFile f(sys.filePath(path));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    put(QStringLiteral("class/tty/ttyUSB0/device/latency_timer"), "16\n");
    put(QStringLiteral("bus/usb-serial/devices/ttyUSB1/latency_timer"), "1\n");
    put(QStringLiteral("class/tty/ttyUSB2/device/latency_timer"), "sixteen\n");
    QCOMPARE(UsbLatency::read(QStringLiteral("/dev/ttyUSB0"), sys.path()), std::optional<int>(16));
    QCOMPARE(UsbLatency::read(QStringLiteral("ttyUSB1"), sys.path()), std::optional<int>(1));
    QCOMPARE(UsbLatency::read(QStringLiteral("/dev/ttyUSB2"), sys.path()), std::nullopt);
    QCOMPARE(UsbLatency::read(QStringLiteral("/dev/ttyS0"), sys.path()), std::nullopt);
    QCOMPARE(UsbLatency::read(QStringLiteral(".."), sys.path()), std::nullopt);

    // A by-id name is a link to the node; the node's name finds the timer.
    QTemporaryDir dev;
    QFile node(dev.filePath(QStringLiteral("ttyUSB0")));
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();
    const QString byId = dev.filePath(QStringLiteral("usb-adapter-if00-port0"));
    QVERIFY(QFile::link(node.fileName(), byId));
    QCOMPARE(UsbLatency::read(byId, sys.path()), std::optional<int>(16));

    const QString advice = UsbLatency::advice(byId, 16);
    QVERIFY(advice.contains(QStringLiteral("ttyUSB0")) && advice.contains(QStringLiteral("16 ms")));
    QVERIFY(advice.contains(QStringLiteral("latency_timer")));

    class AdapterPort : public LoopbackPort
    {
    public:
        std::optional<int> adapterLatencyMs() const override { return 16; }
    };
    LoopbackPort plainPort;
    AdapterPort adapterPort;
    Hexedit plain(plainPort);
    Hexedit adapter(adapterPort);
    const QByteArray read = Hexedit::ShortFrame(1, 0x03, 0x0003, 0);
    QCOMPARE(adapter.AnswerTimeoutMs(read) - plain.AnswerTimeoutMs(read), 16);
}

QTEST_GUILESS_MAIN(tst_serialport)
#include "tst_serialport.moc"
