// SPDX-License-Identifier: GPL-3.0-or-later
#include "TcpBusServer.h"

#include <QTcpSocket>

TcpBusServer::TcpBusServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpBusServer::onNewConnection);
}

bool TcpBusServer::listen(quint16 port)
{
    // Loopback only: the simulator is for this machine, never for the network.
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString TcpBusServer::portName() const
{
    return m_scheme + QStringLiteral("127.0.0.1:%1").arg(port());
}

bool TcpBusServer::write(const QByteArray& bytes)
{
    return m_client && m_client->state() == QAbstractSocket::ConnectedState &&
           m_client->write(bytes) == bytes.size();
}

void TcpBusServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const QString peer =
            socket->peerAddress().toString() + u':' + QString::number(socket->peerPort());
        if (m_client) {
            emit clientRefused(QStringLiteral("refused %1: the line is taken").arg(peer));
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->state() == QAbstractSocket::UnconnectedState)
                socket->deleteLater();
            continue;
        }
        m_client = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket == m_client)
                emit received(socket->readAll());
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, peer] {
            if (socket == m_client) {
                m_client = nullptr;
                emit clientChanged(QStringLiteral("%1 went").arg(peer));
            }
            socket->deleteLater();
        });
        emit clientChanged(QStringLiteral("%1 connected").arg(peer));
    }
}
