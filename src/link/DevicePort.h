// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QSerialPort>

// A real serial device through QSerialPort.
//
// Port names: "COMn" is the Windows port of that number and /dev/ttyS(n-1)
// elsewhere; any other name (a device path such as /dev/ttyUSB0) is used as given.
class DevicePort : public SerialPort
{
    Q_OBJECT
public:
    explicit DevicePort(QObject* parent = nullptr);
    ~DevicePort() override;

    // The name QSerialPort is given for a port name the user chose; empty when
    // the name cannot stand for any port ("COM0", "COMx", "").
    static QString SystemPortName(const QString& name);

    OpenError open() override;
    void close() override;
    bool isOpen() const override { return m_serial.isOpen(); }
    qint64 bytesWaiting() const override;
    void takePending() override;
    std::optional<int> adapterLatencyMs() const override { return m_latencyMs; }
    std::optional<quint8> readByte() override;
    bool write(const QByteArray& block) override;
    void clearInput() override;
    void clearOutput() override;
    void setBufferSizes(int inputSize, int outputSize) override;

protected:
    bool applySettings(const SerialSettings& settings) override;

private:
    std::optional<int> m_latencyMs;
    bool configure(const SerialSettings& settings);
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_serial;
};
