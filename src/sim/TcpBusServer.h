// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// The simulated drives as a serial-to-Ethernet gateway in transparent mode
// shows them: a TCP server on the loopback address whose byte stream is the
// line. One client at a time, as such gateways serve it; a second one is let
// in and closed again at once, so it learns that the line is taken.
class TcpBusServer : public QObject
{
    Q_OBJECT
public:
    explicit TcpBusServer(QObject* parent = nullptr);

    // Listens on 127.0.0.1 at the port (0: any free one); false with
    // errorString() when it cannot.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    // The port name a client opens: "tcp://127.0.0.1:PORT", or with the
    // scheme set for what is served over the connection.
    QString portName() const;
    void setScheme(const QString& scheme) { m_scheme = scheme; }
    QString errorString() const { return m_server.errorString(); }
    // Sends to the client, if one is connected.
    bool write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    // A client came or went; the line is quiet again and anything half heard
    // or not yet answered belongs to nobody.
    void clientChanged(const QString& text);
    // A second client was turned away; the first one keeps the line.
    void clientRefused(const QString& text);

private:
    void onNewConnection();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QString m_scheme = QStringLiteral("tcp://");
};
