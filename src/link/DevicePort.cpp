#include "DevicePort.h"

#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                   QSerialPort::EvenParity,
                                                   QSerialPort::SpaceParity, QSerialPort::MarkParity};
    static const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                  QSerialPort::TwoStop};
    return m_serial.setBaudRate(s.baudRate) &&
           m_serial.setDataBits(QSerialPort::DataBits(s.dataBits)) &&
           m_serial.setParity(parities[int(s.parity)]) &&
           m_serial.setStopBits(stops[int(s.stopBits)]) &&
           m_serial.setFlowControl(QSerialPort::NoFlowControl);
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
    m_serial.clearError();
    if (!m_serial.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_serial.error();
        setErrorString(m_serial.errorString());
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
            return OpenError::PortBusy;
#else
            return OpenError::PortBusy;
#endif
        case QSerialPort::UnsupportedOperationError:
            return OpenError::BadSettings;
        default:
            return OpenError::DeviceNotOpen;
        }
    }
    if (!configure(lineSettings())) {
        setErrorString(m_serial.errorString());
        m_serial.close();
        return OpenError::BadSettings;
    }
    m_serial.setReadBufferSize(inputBufferSize());
    m_serial.clear(QSerialPort::AllDirections);
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

std::optional<quint8> DevicePort::readByte()
{
    char c = 0;
    if (!m_serial.isOpen() || !m_serial.getChar(&c))
        return std::nullopt;
    return quint8(c);
}

bool DevicePort::write(const QByteArray& block)
{
    return m_serial.isOpen() && m_serial.write(block) == block.size();
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
    // A vanished device (adapter pulled, far end of a pseudo-terminal gone) keeps
    // raising errors while the port stays open; close at the first one and say
    // so exactly once.
    if (error != QSerialPort::ResourceError || !m_serial.isOpen())
        return;
    setErrorString(m_serial.errorString());
    m_serial.close();
    emit deviceLost();
}
