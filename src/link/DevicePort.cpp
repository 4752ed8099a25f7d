// SPDX-License-Identifier: GPL-3.0-or-later
#include "DevicePort.h"
#include "ParityTable.h"
#include "UsbLatency.h"

#include "PortAccess.h"

#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// True when the path exists but is no character device (a plain file, a
// directory): whatever QSerialPort made of it, it names no serial port.
bool existsButIsNoDevice(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISCHR(info.st_mode);
}

// True when the far end of an open terminal is gone: a hung-up tty (USB
// adapter pulled, the other side of a pseudo-terminal closed) polls as HUP/ERR.
bool hungUp(int handle)
{
    pollfd probe{handle, POLLIN, 0};
    return ::poll(&probe, 1, 0) >= 0 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}
#endif

// True for an open pseudo-terminal (the side a program opens as its port).
bool isPseudoTerminal(const QSerialPort& serial)
{
#ifdef Q_OS_LINUX
    // Unix98 pseudo-terminal slaves have the majors 136 to 143.
    struct stat info = {};
    return serial.isOpen() && ::fstat(serial.handle(), &info) == 0 && S_ISCHR(info.st_mode) &&
           major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
#else
    Q_UNUSED(serial);
    return false;
#endif
}

// Which of our opening errors a QSerialPort failure is.
SerialPort::OpenError classifyOpenFailure(QSerialPort::SerialPortError error,
                                          const QString& systemName)
{
    using OpenError = SerialPort::OpenError;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenError::InvalidPort;
    case QSerialPort::OpenError:
        return OpenError::PortBusy;
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
        // QSerialPort says "permission" both when we may not open the device
        // and when another program holds it (busy, or its lock file). Only
        // the first is a matter of access rights the user can fix.
        if (::access(QFile::encodeName(systemName).constData(), R_OK | W_OK) != 0)
            return OpenError::PermissionDenied;
#endif
        return OpenError::PortBusy;
    case QSerialPort::UnsupportedOperationError:
        // The path opened, but refuses terminal control (a plain file, /dev/null):
        // it is no serial port.
        return OpenError::InvalidPort;
    default:
#ifdef Q_OS_UNIX
        if (existsButIsNoDevice(systemName))
            return OpenError::InvalidPort;
#endif
        return OpenError::DeviceNotOpen;
    }
}

} // namespace

DevicePort::DevicePort(QObject* parent) : SerialPort(parent)
{
    connect(&m_serial, &QSerialPort::readyRead, this, &SerialPort::bytesReceived);
    connect(&m_serial, &QSerialPort::errorOccurred, this, &DevicePort::onError);
}

DevicePort::~DevicePort()
{
    // Closing here, with our signals already disconnected by QObject, keeps a
    // late error from calling back into a half-destroyed port.
    m_serial.disconnect(this);
    m_serial.close();
}

QString DevicePort::SystemPortName(const QString& name)
{
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]{1,3})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = name.trimmed();
    const QRegularExpressionMatch match = comName.match(trimmed);
    if (match.hasMatch()) {
        const int number = match.captured(1).toInt();
        if (number < 1)
            return {};
#ifdef Q_OS_WIN
        return QStringLiteral("COM%1").arg(number);
#else
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
    }
    if (trimmed.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive))
        return {};
    return trimmed;
}

bool DevicePort::configure(const SerialSettings& s)
{
    static const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                  QSerialPort::TwoStop};
    const bool line = m_serial.setBaudRate(s.baudRate) &&
                      m_serial.setStopBits(stops[int(s.stopBits)]) &&
                      m_serial.setFlowControl(QSerialPort::NoFlowControl);
    const bool dataBits = m_serial.setDataBits(QSerialPort::DataBits(s.dataBits));
    const bool parity = m_serial.setParity(ParityTable::of(s.parity).device);
    // A pseudo-terminal has no wire: the kernel keeps it at 8 data bits without
    // parity and refuses anything else. The simulated drives are reached that way
    // with the ordinary "9600,E,8,1", so there the refusal is no error.
    return line && ((dataBits && parity) || isPseudoTerminal(m_serial));
}

bool DevicePort::applySettings(const SerialSettings& settings)
{
    if (!m_serial.isOpen())
        return true; // applied on open, where a refusal is reported
    if (configure(settings))
        return true;
    configure(lineSettings()); // put the device back as it was
    return false;
}

SerialPort::OpenError DevicePort::open()
{
    if (m_serial.isOpen()) {
        setErrorString(tr("The port is already open."));
        return OpenError::PortBusy;
    }
    const QString systemName = SystemPortName(portName());
    if (systemName.isEmpty()) {
        setErrorString(tr("\"%1\" names no serial port.").arg(portName()));
        return OpenError::InvalidPort;
    }
    m_serial.setPortName(systemName);
    // QSerialPort applies its line settings while it opens. Opening with plain
    // settings every terminal takes keeps a failure here about the device alone;
    // ours follow below, where a refusal is reported as BadSettings.
    configure(SerialSettings{9600, SerialSettings::Parity::None, 8, SerialSettings::StopBits::One});
    m_serial.clearError();
    if (!m_serial.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_serial.error();
        const OpenError result = classifyOpenFailure(error, systemName);
        if (result == OpenError::InvalidPort && error != QSerialPort::DeviceNotFoundError)
            setErrorString(tr("%1 is not a serial port.").arg(systemName));
        else if (result == OpenError::PermissionDenied)
            setErrorString(PermissionHelp(portName(), systemName));
        else
            setErrorString(m_serial.errorString());
        return result;
    }
    if (!configure(lineSettings())) {
        setErrorString(m_serial.errorString());
        m_serial.close();
        return OpenError::BadSettings;
    }
    m_serial.setReadBufferSize(inputBufferSize());
    m_serial.clear(QSerialPort::AllDirections);
    m_latencyMs = UsbLatency::read(systemName);
    return OpenError::None;
}

void DevicePort::close()
{
    if (m_serial.isOpen())
        m_serial.close();
}

qint64 DevicePort::bytesWaiting() const
{
    return m_serial.isOpen() ? m_serial.bytesAvailable() : 0;
}

void DevicePort::takePending()
{
    // The bytes sit in the system's buffer until the event loop gets round to
    // the port; a zero wait reads them now (and raises the usual event).
    if (m_serial.isOpen())
        m_serial.waitForReadyRead(0);
}

std::optional<quint8> DevicePort::readByte()
{
    char c = 0;
    if (!m_serial.isOpen() || !m_serial.getChar(&c))
        return std::nullopt;
    return quint8(c);
}

bool DevicePort::write(const QByteArray& block)
{
    // QSerialPort queues whatever it is given. On a stalled adapter, or a slow
    // line asked for more than it carries, frames would pile up and reach the
    // drive seconds late, an old set-point after a newer STOP. So, like a full
    // transmit buffer, a block that does not fit the output size is refused.
    if (!m_serial.isOpen() || m_serial.bytesToWrite() + block.size() > outputBufferSize())
        return false;
    return m_serial.write(block) == block.size();
}

void DevicePort::clearInput()
{
    if (m_serial.isOpen())
        m_serial.clear(QSerialPort::Input);
}

void DevicePort::clearOutput()
{
    if (m_serial.isOpen())
        m_serial.clear(QSerialPort::Output);
}

void DevicePort::setBufferSizes(int inputSize, int outputSize)
{
    SerialPort::setBufferSizes(inputSize, outputSize);
    if (m_serial.isOpen())
        m_serial.setReadBufferSize(inputSize);
}

void DevicePort::onError(QSerialPort::SerialPortError error)
{
    if (!m_serial.isOpen())
        return;
    // ResourceError: the device vanished (adapter pulled); QSerialPort has
    // stopped reading from it, so the port is of no further use.
    bool lost = error == QSerialPort::ResourceError;
#ifdef Q_OS_UNIX
    // A terminal whose far end hung up (the other side of a pseudo-terminal
    // closed) reads as end of file. QSerialPort reports that as a ReadError,
    // with whatever errno was left lying about, and keeps listening, so the
    // same error comes back on every pass of the event loop. Asking the line
    // whether it hung up tells that apart from a harmless empty read (input
    // emptied between the wake-up and the read).
    if (error == QSerialPort::ReadError && hungUp(m_serial.handle()))
        lost = true;
#endif
    if (!lost)
        return;
    // Close at the first sign and say so exactly once. A hang-up comes with a
    // stale errno, so its text would mislead; say what happened instead.
    setErrorString(error == QSerialPort::ResourceError ? m_serial.errorString()
                                                       : tr("The line was hung up."));
    m_serial.close();
    emit deviceLost();
}
