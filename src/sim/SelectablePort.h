// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DevicePort.h"
#include "ModbusTcpPort.h"
#include "SerialPort.h"
#include "SimulatedPort.h"
#include "TcpPort.h"

#include <memory>

// The port the program works with: the port name "SIM" (in any case) opens the
// simulated drives 1..3 (answering only at 9600,E,8,1), "tcp://HOST:PORT" drives behind a
// serial-to-Ethernet gateway in transparent mode, "mbtcp://HOST:PORT" behind one in Modbus TCP
// mode, any other name a real serial device. Which one is used
// is decided when the port is opened; settings, buffer sizes and signals pass
// through to it.
class SelectablePort : public SerialPort
{
    Q_OBJECT
public:
    explicit SelectablePort(QObject* parent = nullptr);
    ~SelectablePort() override;

    static bool isSimulatorName(const QString& name);

    // The simulated line, made on first use and kept, so the drives go on
    // running while the port is closed; tests reach in through it.
    SimulatedPort& simulator();
    // The gateway connections (transparent, Modbus TCP), each made on first use.
    TcpPort& gateway();
    ModbusTcpPort& modbusGateway();
    // The port in use while open; nullptr while closed.
    SerialPort* active() const { return m_active; }

    OpenError open() override;
    void close() override;
    bool isOpen() const override;
    bool isReady() const override;
    qint64 bytesWaiting() const override;
    void takePending() override;
    std::optional<int> adapterLatencyMs() const override;
    bool isNetworkLink() const override;
    std::optional<quint8> readByte() override;
    bool write(const QByteArray& block) override;
    void clearInput() override;
    void clearOutput() override;
    void setBufferSizes(int inputSize, int outputSize) override;

protected:
    bool applySettings(const SerialSettings& settings) override;

private:
    void adopt(SerialPort& port);
    // The one place a port name decides which kind of port stands behind it.
    SerialPort& portFor(const QString& name);

    std::unique_ptr<DevicePort> m_device;
    std::unique_ptr<SimulatedPort> m_simulator;
    std::unique_ptr<TcpPort> m_gateway;
    std::unique_ptr<ModbusTcpPort> m_modbusGateway;
    SerialPort* m_active = nullptr;
};
