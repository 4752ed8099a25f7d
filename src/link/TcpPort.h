// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QTcpSocket>
#include <QTimer>
#include <optional>

// Drives behind a serial-to-Ethernet gateway in transparent mode: the same RTU
// frames as on the wire, carried over one TCP connection to "tcp://HOST:PORT".
// A gateway in Modbus TCP mode ("mbtcp://HOST:PORT") is reached through the
// same connection handling by ModbusTcpPort, which reframes what goes through.
//
// Opening starts the connection and returns at once, so the window never waits
// on the network. Until the gateway has answered nothing can be written (a
// request is refused, not queued to go out late). A connection that is refused,
// names an unknown host, gets no answer within the connect time-out, or is
// dropped later, ends as a serial device that goes away does: the port closes
// itself and "deviceLost" carries the reason in errorString(). A connection
// made says "ready".
class TcpPort : public SerialPort
{
    Q_OBJECT
public:
    static constexpr int DefaultConnectTimeoutMs = 3000;

    // What the gateway expects on the connection.
    enum class Framing
    {
        Rtu,       // transparent: RTU frames as on the wire, "tcp://"
        ModbusTcp, // Modbus TCP mode: header and unit id, no CRC, "mbtcp://"
    };

    struct Endpoint
    {
        QString host;
        quint16 port = 0;
        Framing framing = Framing::Rtu;
    };

    // The framing a name asks for by its scheme ("tcp://" or "mbtcp://", any
    // case), whether or not the rest of it is right; nullopt for no gateway.
    static std::optional<Framing> framingOf(const QString& name);
    // True for a name that asks for a gateway in either mode.
    static bool isTcpName(const QString& name) { return framingOf(name).has_value(); }
    // The scheme that names a framing, "tcp://" or "mbtcp://".
    static QString schemeOf(Framing framing);
    // Host, port and framing of "tcp://HOST:PORT" or "mbtcp://HOST:PORT" (an
    // IPv6 host in brackets); nullopt when the name is no such name, the host
    // is empty or the port not 1..65535.
    static std::optional<Endpoint> parseName(const QString& name);

    explicit TcpPort(QObject* parent = nullptr) : TcpPort(Framing::Rtu, parent) {}
    ~TcpPort() override;

    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    // True once the gateway has accepted the connection.
    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

    OpenError open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool isReady() const override { return m_open && isConnected(); }
    bool isNetworkLink() const override { return true; }
    qint64 bytesWaiting() const override;
    void takePending() override;
    std::optional<quint8> readByte() override;
    bool write(const QByteArray& block) override;
    void clearInput() override;
    void clearOutput() override {}

protected:
    // A port of another framing over the same connection handling.
    TcpPort(Framing framing, QObject* parent);
    QTcpSocket& socket() { return m_socket; }
    // New bytes on the connection; a transparent port hands them on as they are.
    virtual void socketReadable() { emit bytesReceived(); }

private:
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void onConnectTimeout();
    void lose(const QString& reason);
    QString where() const;

    QTcpSocket m_socket;
    QTimer m_connectTimer;
    Endpoint m_endpoint;
    Framing m_framing;
    int m_connectTimeoutMs = DefaultConnectTimeoutMs;
    bool m_open = false;
    // Set while open() starts the connection: a failure seen then is
    // reported by open() itself rather than as a lost device.
    bool m_starting = false;
    bool m_failedWhileStarting = false;
    bool m_polling = false; // inside takePending()
};
