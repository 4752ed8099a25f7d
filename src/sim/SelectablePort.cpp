// SPDX-License-Identifier: GPL-3.0-or-later
#include "SelectablePort.h"

SelectablePort::SelectablePort(QObject* parent)
    : SerialPort(parent), m_device(std::make_unique<DevicePort>())
{
    adopt(*m_device);
}

SelectablePort::~SelectablePort()
{
    m_active = nullptr;
}

bool SelectablePort::isSimulatorName(const QString& name)
{
    return name.trimmed().compare(QStringLiteral("SIM"), Qt::CaseInsensitive) == 0;
}

void SelectablePort::adopt(SerialPort& port)
{
    // Only the port in use speaks for us. A lost device has closed itself, so
    // from then on the port counts as closed.
    connect(&port, &SerialPort::bytesReceived, this, [this, &port] {
        if (&port == m_active)
            emit bytesReceived();
    });
    connect(&port, &SerialPort::ready, this, [this, &port] {
        if (&port == m_active)
            emit ready();
    });
    connect(&port, &SerialPort::deviceLost, this, [this, &port] {
        if (&port == m_active) {
            setErrorString(port.errorString());
            m_active = nullptr;
            emit deviceLost();
        }
    });
}

SimulatedPort& SelectablePort::simulator()
{
    if (!m_simulator) {
        m_simulator = std::make_unique<SimulatedPort>();
        // The simulated drives keep the settings a new drive leaves the
        // factory with, as the README tells a newcomer: a port opened at any
        // other settings hears nothing, so the settings search finds these.
        m_simulator->setDriveSettings(SerialSettings::parse(QStringLiteral("9600,E,8,1")));
        adopt(*m_simulator);
    }
    return *m_simulator;
}

TcpPort& SelectablePort::gateway()
{
    if (!m_gateway) {
        m_gateway = std::make_unique<TcpPort>();
        adopt(*m_gateway);
    }
    return *m_gateway;
}

ModbusTcpPort& SelectablePort::modbusGateway()
{
    if (!m_modbusGateway) {
        m_modbusGateway = std::make_unique<ModbusTcpPort>();
        adopt(*m_modbusGateway);
    }
    return *m_modbusGateway;
}

SerialPort& SelectablePort::portFor(const QString& name)
{
    if (isSimulatorName(name))
        return simulator();
    const std::optional<TcpPort::Framing> framing = TcpPort::framingOf(name);
    if (!framing)
        return *m_device;
    return *framing == TcpPort::Framing::ModbusTcp ? modbusGateway() : gateway();
}

SerialPort::OpenError SelectablePort::open()
{
    if (m_active && m_active->isOpen()) {
        setErrorString(tr("The port is already open."));
        return OpenError::PortBusy;
    }
    SerialPort& chosen = portFor(portName());
    chosen.setPortName(portName());
    chosen.setSettings(settings());
    chosen.setBufferSizes(inputBufferSize(), outputBufferSize());
    const OpenError result = chosen.open();
    if (result != OpenError::None) {
        setErrorString(chosen.errorString());
        return result;
    }
    m_active = &chosen;
    return OpenError::None;
}

void SelectablePort::close()
{
    if (m_active)
        m_active->close();
    m_active = nullptr;
}

bool SelectablePort::isOpen() const
{
    return m_active && m_active->isOpen();
}

bool SelectablePort::isReady() const
{
    return m_active && m_active->isReady();
}

qint64 SelectablePort::bytesWaiting() const
{
    return m_active ? m_active->bytesWaiting() : 0;
}

std::optional<int> SelectablePort::adapterLatencyMs() const
{
    return m_active ? m_active->adapterLatencyMs() : std::nullopt;
}

bool SelectablePort::isNetworkLink() const
{
    return m_active && m_active->isNetworkLink();
}

void SelectablePort::takePending()
{
    if (m_active)
        m_active->takePending();
}

std::optional<quint8> SelectablePort::readByte()
{
    return m_active ? m_active->readByte() : std::nullopt;
}

bool SelectablePort::write(const QByteArray& block)
{
    return m_active && m_active->write(block);
}

void SelectablePort::clearInput()
{
    if (m_active)
        m_active->clearInput();
}

void SelectablePort::clearOutput()
{
    if (m_active)
        m_active->clearOutput();
}

void SelectablePort::setBufferSizes(int inputSize, int outputSize)
{
    SerialPort::setBufferSizes(inputSize, outputSize);
    if (m_active)
        m_active->setBufferSizes(inputSize, outputSize);
}

bool SelectablePort::applySettings(const SerialSettings& settings)
{
    // An open device may refuse; a closed one takes them on the next open.
    return !m_active || m_active->setSettings(settings.toString());
}
