// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModbusTcpPort.h"

ModbusTcpPort::ModbusTcpPort(QObject* parent) : TcpPort(Framing::ModbusTcp, parent) {}

SerialPort::OpenError ModbusTcpPort::open()
{
    // A new connection: transaction ids and what was half received start afresh.
    if (!isOpen()) {
        m_frames.reset();
        m_received.clear();
    }
    return TcpPort::open();
}

void ModbusTcpPort::close()
{
    TcpPort::close();
    m_frames.reset();
    m_received.clear();
}

bool ModbusTcpPort::pull()
{
    if (!isOpen())
        return false;
    const QByteArray bytes = socket().readAll();
    if (bytes.isEmpty())
        return false;
    const QByteArray frames = m_frames.receive(bytes);
    m_received.insert(m_received.end(), frames.cbegin(), frames.cend());
    return !frames.isEmpty();
}

void ModbusTcpPort::socketReadable()
{
    if (pull())
        emit bytesReceived();
}

void ModbusTcpPort::takePending()
{
    // The base fetches what the system holds; it arrives through socketReadable.
    TcpPort::takePending();
    if (pull())
        emit bytesReceived();
}

qint64 ModbusTcpPort::bytesWaiting() const
{
    return isOpen() ? qint64(m_received.size()) : 0;
}

std::optional<quint8> ModbusTcpPort::readByte()
{
    if (!isOpen() || m_received.empty())
        return std::nullopt;
    const quint8 byte = m_received.front();
    m_received.pop_front();
    return byte;
}

bool ModbusTcpPort::write(const QByteArray& block)
{
    const std::optional<ModbusTcp::ClientFraming::Request> request = m_frames.request(block);
    if (!request || !TcpPort::write(request->bytes))
        return false;
    m_frames.sent(*request);
    return true;
}

void ModbusTcpPort::clearInput()
{
    // What is on its way belongs to no request; the stream stays in step, so
    // the next reply is still found where it starts.
    pull();
    m_received.clear();
    m_frames.forget();
}
