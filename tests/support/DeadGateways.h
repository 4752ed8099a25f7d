// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QTcpServer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Gateways that cannot be reached, all on the loopback: no network involved.

// A free loopback port with nothing listening on it: a connection is refused.
inline quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// A listener that never completes a connection: its accept queue is full, so
// the system drops every further handshake and a connect hangs as it does
// towards a gateway that is switched off.
class DeafListener
{
public:
    DeafListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        // One connection fills a queue of length 0; it is never accepted.
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(m_filler, reinterpret_cast<sockaddr*>(&address), size) != 0)
            m_port = 0;
    }
    ~DeafListener()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    DeafListener(const DeafListener&) = delete;
    DeafListener& operator=(const DeafListener&) = delete;
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};
