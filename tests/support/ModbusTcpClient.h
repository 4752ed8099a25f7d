// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModbusTcpFrames.h"
#include "WaitUntil.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpSocket>
#include <optional>

// A Modbus TCP client that says exactly what the test gives it: requests as
// PDUs for a unit, sent at once (several may wait for their answers), and
// the answers' PDUs by transaction id. For the far end's side of what a
// server does with pipelined, refused or unanswered requests.
class ModbusTcpClient
{
public:
    bool connectTo(quint16 port, int limitMs = 3000)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return waitUntil([&] { return m_socket.state() == QAbstractSocket::ConnectedState; },
                         limitMs);
    }
    // The transaction id the request went with.
    quint16 send(quint8 unit, const QByteArray& pdu)
    {
        const quint16 transaction = m_next++;
        m_socket.write(ModbusTcp::encode({transaction, 0, unit, pdu}));
        return transaction;
    }
    // A read of count registers from reg (count 0: the drives' single read).
    quint16 read(quint8 unit, quint16 reg, quint16 count)
    {
        const char pdu[] = {0x03, char(reg >> 8), char(reg & 0xFF), char(count >> 8),
                            char(count & 0xFF)};
        return send(unit, QByteArray(pdu, sizeof pdu));
    }
    // The answer to a transaction, nullopt when none came within the limit.
    std::optional<QByteArray> answer(quint16 transaction, int limitMs = 10000)
    {
        waitUntil(
            [&] {
                pull();
                return m_answers.contains(transaction) || closed();
            },
            limitMs);
        pull();
        if (!m_answers.contains(transaction))
            return std::nullopt;
        return m_answers.value(transaction);
    }
    // Answers so far.
    int answered()
    {
        pull();
        return int(m_answers.size());
    }
    const QHash<quint16, QByteArray>& answers()
    {
        pull();
        return m_answers;
    }
    bool closed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    QTcpSocket& socket() { return m_socket; }

private:
    void pull()
    {
        m_stream.feed(m_socket.readAll());
        while (const std::optional<ModbusTcp::Adu> adu = m_stream.next())
            m_answers.insert(adu->transaction, adu->pdu);
    }

    QTcpSocket m_socket;
    ModbusTcp::StreamSplitter m_stream;
    QHash<quint16, QByteArray> m_answers;
    quint16 m_next = 1;
};
